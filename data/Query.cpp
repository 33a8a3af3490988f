#include "data/Query.h"

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/FbClient.h"
#include "data/SqlParameters.h"

#include <QDate>
#include <QDateTime>

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {

// Days between 17/11/1858 (the server's day 0) and 30/12/1899.
constexpr int ServerDayOffset = 15018;
constexpr double TimeUnitsPerDay = 864000000.0; // 1/10000 s

struct InputSlot
{
    unsigned type = 0;
    unsigned length = 0;
    int scale = 0;
    int subType = 0;
    unsigned charSet = 0;
};

struct InputLayout
{
    FbRef<IMessageMetadata> meta;
    QVector<unsigned> offsets;
    QVector<unsigned> nullOffsets;
    unsigned length = 0;
};

struct OutputSlot
{
    unsigned type = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    unsigned length = 0;
    int scale = 0;
    int subType = 0;
    unsigned charSet = 0;
};

unsigned bytesPerChar(unsigned charSet)
{
    switch (charSet & 0xFF) {
    case 3:
        return 3; // UNICODE_FSS
    case 4:
        return 4; // UTF8
    default:
        return 1;
    }
}

FieldType fieldTypeOf(unsigned type, int scale, int subType)
{
    switch (type) {
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldType::String;
    case SQL_SHORT:
        return scale ? FieldType::Bcd : FieldType::SmallInt;
    case SQL_LONG:
        return scale ? FieldType::Bcd : FieldType::Integer;
    case SQL_INT64:
        return scale ? FieldType::Bcd : FieldType::LargeInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldType::Float;
    case SQL_TIMESTAMP:
        return FieldType::DateTime;
    case SQL_TYPE_DATE:
        return FieldType::Date;
    case SQL_TYPE_TIME:
        return FieldType::Time;
    case SQL_BOOLEAN:
        return FieldType::Boolean;
    case SQL_BLOB:
        return subType == 1 ? FieldType::Memo : FieldType::Blob;
    default:
        return FieldType::Unknown;
    }
}

double timestampToDays(const unsigned char *p)
{
    ISC_DATE date;
    ISC_TIME time;
    std::memcpy(&date, p, 4);
    std::memcpy(&time, p + 4, 4);
    double days = static_cast<double>(date) - ServerDayOffset;
    double fraction = time / TimeUnitsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

void daysToTimestamp(double value, unsigned char *p)
{
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    auto units = static_cast<qint64>(std::llround(fraction * TimeUnitsPerDay));
    if (units >= static_cast<qint64>(TimeUnitsPerDay))
        units = static_cast<qint64>(TimeUnitsPerDay) - 1;
    ISC_DATE date = static_cast<ISC_DATE>(static_cast<qint64>(whole) + ServerDayOffset);
    ISC_TIME time = static_cast<ISC_TIME>(units);
    std::memcpy(p, &date, 4);
    std::memcpy(p + 4, &time, 4);
}

double scaled(qint64 v, int scale)
{
    return static_cast<double>(v) / std::pow(10.0, -scale);
}

} // namespace

struct Query::Impl
{
    FbRef<IStatement> statement;
    FbRef<IMessageMetadata> inMeta;
    FbRef<IMessageMetadata> outMeta;
    FbRef<IResultSet> cursor;
    unsigned type = 0;
    QVector<InputSlot> serverInputs;
    QHash<QByteArray, std::shared_ptr<InputLayout>> layouts;
    std::shared_ptr<InputLayout> currentLayout;
    QByteArray inBuffer;
    QVector<OutputSlot> outputs;
    QByteArray outBuffer;
    // One status for the row loop: a status is an allocation in the client.
    std::unique_ptr<FbStatus> fetchStatus;
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
    try {
        closeCursor();
    } catch (const Error &) {
        // The cursor goes with the statement below.
    }
    d->layouts.clear();
    d->currentLayout.reset();
    if (d->statement) {
        // free() would need a live attachment; release only drops our reference.
        d->statement.reset();
    }
}

void Query::setSql(const QString &sql)
{
    closeCursor();
    m_sql = sql;
    m_translated = translateNamedParameters(sql, m_placeNames);
    d->statement.reset();
    d->inMeta.reset();
    d->outMeta.reset();
    d->layouts.clear();
    d->currentLayout.reset();
    d->outputs.clear();
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
    ITransaction *tra = m_connection.transaction();
    IAttachment *att = m_connection.attachment();
    FbStatus st;
    QByteArray text = Cp1252::fromUnicode(m_translated);
    d->statement.reset(att->prepare(&st, tra, 0, text.constData(), 1, IStatement::PREPARE_PREFETCH_METADATA));
    d->type = d->statement->getType(&st);
    d->inMeta.reset(d->statement->getInputMetadata(&st));
    d->outMeta.reset(d->statement->getOutputMetadata(&st));

    const unsigned inCount = d->inMeta->getCount(&st);
    d->serverInputs.resize(static_cast<int>(inCount));
    for (unsigned i = 0; i < inCount; ++i) {
        InputSlot &s = d->serverInputs[static_cast<int>(i)];
        s.type = d->inMeta->getType(&st, i) & ~1u;
        s.length = d->inMeta->getLength(&st, i);
        s.scale = d->inMeta->getScale(&st, i);
        s.subType = d->inMeta->getSubType(&st, i);
        s.charSet = d->inMeta->getCharSet(&st, i);
    }

    const unsigned outCount = d->outMeta->getCount(&st);
    d->outputs.resize(static_cast<int>(outCount));
    m_columns.resize(static_cast<int>(outCount));
    for (unsigned i = 0; i < outCount; ++i) {
        OutputSlot &o = d->outputs[static_cast<int>(i)];
        o.type = d->outMeta->getType(&st, i) & ~1u;
        o.offset = d->outMeta->getOffset(&st, i);
        o.nullOffset = d->outMeta->getNullOffset(&st, i);
        o.length = d->outMeta->getLength(&st, i);
        o.scale = d->outMeta->getScale(&st, i);
        o.subType = d->outMeta->getSubType(&st, i);
        o.charSet = d->outMeta->getCharSet(&st, i);

        ColumnInfo &c = m_columns[static_cast<int>(i)];
        const char *alias = d->outMeta->getAlias(&st, i);
        const char *field = d->outMeta->getField(&st, i);
        c.name = QString::fromLatin1(alias && *alias ? alias : field);
        c.relation = QString::fromLatin1(d->outMeta->getRelation(&st, i));
        c.type = fieldTypeOf(o.type, o.scale, o.subType);
        c.fixed = o.type == SQL_TEXT;
        c.size = (o.type == SQL_TEXT || o.type == SQL_VARYING) ? static_cast<int>(o.length / bytesPerChar(o.charSet)) : 0;
        c.required = !d->outMeta->isNullable(&st, i);
        c.scale = o.scale;
    }
    d->outBuffer = QByteArray(static_cast<int>(d->outMeta->getMessageLength(&st)), 0);
}

bool Query::isSelect()
{
    prepare();
    return d->type == isc_info_sql_stmt_select || d->type == isc_info_sql_stmt_select_for_upd;
}

void Query::bindInput()
{
    const int count = static_cast<int>(d->serverInputs.size());
    QVector<InputSlot> chosen(count);
    QVector<const QVariant *> values(count);
    QVector<QByteArray> texts(count);
    QByteArray signature;
    signature.reserve(count * 12);
    static const QVariant Null;
    for (int i = 0; i < count; ++i) {
        const QString name = i < m_placeNames.size() ? m_placeNames[i] : QString();
        auto it = m_params.constFind(name);
        const QVariant &v = it != m_params.constEnd() ? *it : Null;
        values[i] = &v;
        const InputSlot &server = d->serverInputs[i];
        InputSlot s;
        const int typeId = v.isNull() ? QMetaType::UnknownType : v.metaType().id();
        if (!v.isValid() || v.isNull()) {
            s = server;
        } else if (isTimeStamp(v) || typeId == QMetaType::QDate || typeId == QMetaType::QDateTime) {
            s.type = SQL_TIMESTAMP;
            s.length = 8;
        } else if (typeId == QMetaType::Bool) {
            if (server.type == SQL_BOOLEAN) {
                s.type = SQL_BOOLEAN;
                s.length = 1;
            } else {
                s.type = SQL_SHORT;
                s.length = 2;
            }
        } else if (typeId == QMetaType::Int || typeId == QMetaType::LongLong || typeId == QMetaType::UInt || typeId == QMetaType::Short
            || typeId == QMetaType::Long) {
            s.type = SQL_INT64;
            s.length = 8;
        } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
            if (server.type == SQL_TIMESTAMP || server.type == SQL_TYPE_DATE) {
                s.type = SQL_TIMESTAMP; // a day count bound to a date
                s.length = 8;
            } else {
                s.type = SQL_DOUBLE;
                s.length = 8;
            }
        } else {
            texts[i] = Cp1252::fromUnicode(v.toString());
            s.type = SQL_VARYING;
            s.charSet = CharsetWin1252;
            unsigned wanted = static_cast<unsigned>(texts[i].size());
            unsigned declared = (server.type == SQL_TEXT || server.type == SQL_VARYING) ? server.length : 0;
            // Stable lengths keep the number of distinct layouts small.
            unsigned len = qMax(declared, ((wanted + 31) / 32) * 32);
            s.length = qMax(len, 1u);
            if (s.length > 32765)
                s.length = 32765;
            if (texts[i].size() > static_cast<int>(s.length))
                texts[i].truncate(static_cast<int>(s.length));
        }
        chosen[i] = s;
        signature.append(reinterpret_cast<const char *>(&s), sizeof s);
    }

    FbStatus st;
    auto it = d->layouts.constFind(signature);
    if (it == d->layouts.constEnd()) {
        auto layout = std::make_shared<InputLayout>();
        if (count > 0) {
            IMetadataBuilder *builder = d->inMeta->getBuilder(&st);
            FbRef<IMetadataBuilder> guard(builder);
            for (int i = 0; i < count; ++i) {
                const InputSlot &s = chosen[i];
                builder->setType(&st, static_cast<unsigned>(i), s.type + 1);
                builder->setLength(&st, static_cast<unsigned>(i), s.length);
                builder->setScale(&st, static_cast<unsigned>(i), s.scale);
                builder->setSubType(&st, static_cast<unsigned>(i), s.subType);
                builder->setCharSet(&st, static_cast<unsigned>(i), s.charSet);
            }
            layout->meta.reset(builder->getMetadata(&st));
        } else {
            d->inMeta->addRef();
            layout->meta.reset(d->inMeta.get());
        }
        layout->length = layout->meta->getMessageLength(&st);
        layout->offsets.resize(count);
        layout->nullOffsets.resize(count);
        for (int i = 0; i < count; ++i) {
            layout->offsets[i] = layout->meta->getOffset(&st, static_cast<unsigned>(i));
            layout->nullOffsets[i] = layout->meta->getNullOffset(&st, static_cast<unsigned>(i));
        }
        if (d->layouts.size() > 64)
            d->layouts.clear();
        it = d->layouts.insert(signature, layout);
    }
    d->currentLayout = *it;
    const InputLayout &layout = *d->currentLayout;
    d->inBuffer.fill(0, static_cast<int>(layout.length));
    auto *buf = reinterpret_cast<unsigned char *>(d->inBuffer.data());
    for (int i = 0; i < count; ++i) {
        const QVariant &v = *values[i];
        const InputSlot &s = chosen[i];
        unsigned char *p = buf + layout.offsets[i];
        short nullFlag = (!v.isValid() || v.isNull()) ? -1 : 0;
        std::memcpy(buf + layout.nullOffsets[i], &nullFlag, sizeof nullFlag);
        if (nullFlag)
            continue;
        switch (s.type) {
        case SQL_TIMESTAMP: {
            double days = 0;
            if (isTimeStamp(v))
                days = v.value<TimeStamp>().value;
            else if (v.metaType().id() == QMetaType::QDate)
                days = DateTime::fromQDate(v.toDate());
            else if (v.metaType().id() == QMetaType::QDateTime)
                days = DateTime::fromQDateTime(v.toDateTime());
            else
                days = v.toDouble();
            daysToTimestamp(days, p);
            break;
        }
        case SQL_BOOLEAN:
            *p = v.toBool() ? 1 : 0;
            break;
        case SQL_SHORT: {
            short b = v.toBool() ? 1 : 0;
            std::memcpy(p, &b, 2);
            break;
        }
        case SQL_INT64: {
            qint64 x = v.toLongLong();
            std::memcpy(p, &x, 8);
            break;
        }
        case SQL_DOUBLE: {
            double x = v.toDouble();
            std::memcpy(p, &x, 8);
            break;
        }
        case SQL_VARYING: {
            auto len = static_cast<unsigned short>(texts[i].size());
            std::memcpy(p, &len, 2);
            std::memcpy(p + 2, texts[i].constData(), len);
            break;
        }
        default:
            break;
        }
    }
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
    ITransaction *tra = m_connection.transaction();
    FbStatus st;
    const bool hasOutput = !d->outputs.isEmpty();
    d->statement->execute(&st, tra, d->currentLayout->meta.get(), d->inBuffer.data(), hasOutput ? d->outMeta.get() : nullptr,
        hasOutput ? d->outBuffer.data() : nullptr);
    m_rowsAffected = static_cast<qint64>(d->statement->getAffectedRecords(&st));
    m_outputRow.clear();
    if (hasOutput)
        decodeOutput(m_outputRow);
}

void Query::open()
{
    closeCursor();
    prepare();
    bindInput();
    ITransaction *tra = m_connection.transaction();
    FbStatus st;
    d->cursor.reset(d->statement->openCursor(&st, tra, d->currentLayout->meta.get(), d->inBuffer.data(), d->outMeta.get(), 0));
}

bool Query::isOpen() const
{
    return static_cast<bool>(d->cursor);
}

bool Query::fetch(Row &row)
{
    if (!d->cursor)
        return false;
    if (!d->fetchStatus)
        d->fetchStatus = std::make_unique<FbStatus>();
    if (d->cursor->fetchNext(d->fetchStatus.get(), d->outBuffer.data()) != IStatus::RESULT_OK) {
        closeCursor();
        return false;
    }
    decodeOutput(row);
    return true;
}

void Query::decodeOutput(Row &row)
{
    if (!d->fetchStatus)
        d->fetchStatus = std::make_unique<FbStatus>();
    FbStatus &st = *d->fetchStatus; // for blobs only
    const int n = static_cast<int>(d->outputs.size());
    // A fresh row: the previous one may be shared with whoever kept it, and
    // detaching would copy values only to overwrite them.
    row = Row(n);
    const auto *buf = reinterpret_cast<const unsigned char *>(d->outBuffer.constData());
    for (int i = 0; i < n; ++i) {
        const OutputSlot &o = d->outputs[i];
        short nullFlag;
        std::memcpy(&nullFlag, buf + o.nullOffset, 2);
        if (nullFlag) {
            row[i] = QVariant();
            continue;
        }
        const unsigned char *p = buf + o.offset;
        switch (o.type) {
        case SQL_VARYING: {
            unsigned short len;
            std::memcpy(&len, p, 2);
            row[i] = Cp1252::toUnicode(reinterpret_cast<const char *>(p + 2), len);
            break;
        }
        case SQL_TEXT:
            row[i] = Cp1252::toUnicode(reinterpret_cast<const char *>(p), o.length);
            break;
        case SQL_SHORT: {
            qint16 x;
            std::memcpy(&x, p, 2);
            row[i] = o.scale ? QVariant(scaled(x, o.scale)) : QVariant(static_cast<int>(x));
            break;
        }
        case SQL_LONG: {
            qint32 x;
            std::memcpy(&x, p, 4);
            row[i] = o.scale ? QVariant(scaled(x, o.scale)) : QVariant(static_cast<int>(x));
            break;
        }
        case SQL_INT64: {
            qint64 x;
            std::memcpy(&x, p, 8);
            row[i] = o.scale ? QVariant(scaled(x, o.scale)) : QVariant(x);
            break;
        }
        case SQL_FLOAT: {
            float x;
            std::memcpy(&x, p, 4);
            row[i] = static_cast<double>(x);
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double x;
            std::memcpy(&x, p, 8);
            row[i] = x;
            break;
        }
        case SQL_TIMESTAMP:
            row[i] = QVariant::fromValue(TimeStamp { timestampToDays(p) });
            break;
        case SQL_TYPE_DATE: {
            ISC_DATE x;
            std::memcpy(&x, p, 4);
            row[i] = QVariant::fromValue(TimeStamp { static_cast<double>(x) - ServerDayOffset });
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME x;
            std::memcpy(&x, p, 4);
            row[i] = QVariant::fromValue(TimeStamp { x / TimeUnitsPerDay });
            break;
        }
        case SQL_BOOLEAN:
            row[i] = *p != 0;
            break;
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            FbRef<IBlob> blob(m_connection.attachment()->openBlob(&st, m_connection.transaction(), &id, 0, nullptr));
            QByteArray data;
            char chunk[16384];
            for (;;) {
                unsigned got = 0;
                int r = blob->getSegment(&st, sizeof chunk, chunk, &got);
                if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT)
                    data.append(chunk, static_cast<int>(got));
                else
                    break;
            }
            blob->close(&st);
            blob.detach();
            row[i] = o.subType == 1 ? QVariant(Cp1252::toUnicode(data)) : QVariant(data);
            break;
        }
        default:
            row[i] = QVariant();
            break;
        }
    }
}

void Query::closeCursor()
{
    if (!d || !d->cursor)
        return;
    IResultSet *cursor = d->cursor.detach();
    FbStatus st;
    try {
        cursor->close(&st); // releases on success
    } catch (const DbError &) {
        cursor->release();
        throw;
    }
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
