#include "data/Query.h"

#include "core/Cp1252.h"
#include "data/Connection.h"
#include "data/ParameterBinding.h"
#include "data/RowDecoder.h"
#include "data/SqlParameters.h"
#include "data/Statement.h"

struct Query::Impl
{
    std::unique_ptr<Statement> statement;
    std::unique_ptr<ParameterBinding> binding;
    std::unique_ptr<RowDecoder> decoder;
    QByteArray outBuffer;

    unsigned char *message() { return reinterpret_cast<unsigned char *>(outBuffer.data()); }
};

Query::Query(Connection &connection, const QString &sql)
    : m_connection(connection)
    , d(std::make_unique<Impl>())
{
    setSql(sql);
    m_endingConnection = QObject::connect(&connection, &Connection::transactionEnding, [this] { closeCursor(); });
}

Query::~Query()
{
    QObject::disconnect(m_endingConnection);
}

void Query::setSql(const QString &sql)
{
    closeCursor();
    m_sql = sql;
    m_translated = translateNamedParameters(sql, m_placeNames);
    d->decoder.reset();
    d->binding.reset();
    d->statement.reset();
    m_columns.clear();
}

QStringList Query::paramNames() const
{
    QStringList out;
    for (const QString &n : m_placeNames)
        if (!out.contains(n))
            out << n;
    return out;
}

void Query::setParam(const QString &name, const QVariant &value)
{
    m_params.insert(name.toUpper(), value);
}

QVariant Query::param(const QString &name) const
{
    return m_params.value(name.toUpper());
}

void Query::clearParams()
{
    m_params.clear();
}

bool Query::isPrepared() const
{
    return static_cast<bool>(d->statement);
}

void Query::prepare()
{
    if (d->statement)
        return;
    auto statement = std::make_unique<Statement>(m_connection, Cp1252::fromUnicode(m_translated));
    d->binding = std::make_unique<ParameterBinding>(statement->inputMetadata());
    d->decoder = std::make_unique<RowDecoder>(m_connection, statement->outputMetadata());
    d->statement = std::move(statement);
    m_columns = d->decoder->columns();
    d->outBuffer = QByteArray(qsizetype(d->decoder->messageLength()), 0);
}

bool Query::isSelect()
{
    prepare();
    return d->statement->isSelect();
}

void Query::bindInput()
{
    QVector<const QVariant *> values(d->binding->count(), nullptr);
    for (int i = 0; i < values.size() && i < m_placeNames.size(); ++i) {
        auto it = m_params.constFind(m_placeNames[i]);
        if (it != m_params.constEnd())
            values[i] = &*it;
    }
    d->binding->bind(values);
}

void Query::execute()
{
    prepare();
    if (isSelect()) {
        open();
        Row row;
        m_outputRow = fetch(row) ? row : Row();
        closeCursor();
        m_rowsAffected = 0;
        return;
    }
    bindInput();
    m_rowsAffected = d->statement->execute(d->binding->metadata(), d->binding->buffer(), d->outBuffer.data());
    m_outputRow.clear();
    if (d->statement->hasOutput())
        d->decoder->decode(d->message(), m_outputRow);
}

void Query::open()
{
    closeCursor();
    prepare();
    bindInput();
    d->statement->openCursor(d->binding->metadata(), d->binding->buffer());
}

bool Query::isOpen() const
{
    return d->statement && d->statement->isOpen();
}

bool Query::fetch(Row &row)
{
    if (!isOpen() || !d->statement->fetch(d->outBuffer.data()))
        return false;
    d->decoder->decode(d->message(), row);
    return true;
}

bool Query::fetchPacked(const RowFormat &format, QByteArray &record)
{
    if (!isOpen() || !d->statement->fetch(d->outBuffer.data()))
        return false;
    record = d->decoder->pack(d->message(), format);
    return true;
}

void Query::closeCursor()
{
    if (d && d->statement)
        d->statement->closeCursor();
}

void Query::close()
{
    closeCursor();
}

QVector<Row> Query::fetchAll()
{
    QVector<Row> rows;
    if (!isOpen())
        open();
    Row row;
    while (fetch(row))
        rows.append(row);
    return rows;
}

int Query::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
