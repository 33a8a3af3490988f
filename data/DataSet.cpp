#include "data/DataSet.h"

#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Connection.h"

namespace {
const QString NotEditing = QStringLiteral("Dataset not in edit or insert mode");
const QString EmptyDataSet = QStringLiteral("Cannot perform this operation on an empty dataset");
const QString ClosedDataSet = QStringLiteral("Cannot perform this operation on a closed dataset");
// Another workstation on the same database stood in the way of a write.
const QString RowGoneWhileEditing
    = QStringLiteral("Cet enregistrement a été supprimé ou sa clé a été changée sur un autre poste pendant votre saisie : rien n'a été "
                     "enregistré. Votre saisie reste à l'écran ; annulez-la puis rouvrez la liste pour voir l'état actuel.");
const QString RowGoneBeforeDeletion = QStringLiteral(
    "Cet enregistrement a déjà été supprimé ou sa clé a été changée sur un autre poste : rouvrez la liste pour voir l'état actuel.");
const QString RowBusyElsewhere = QStringLiteral(
    "Cet enregistrement est en cours d'enregistrement sur un autre poste : rien n'a été enregistré. Votre saisie reste à l'écran ; "
    "validez de nouveau dans un instant.");

// Text of a value for locating rows: numbers and dates as the operator types
// them; texts without trailing blanks, which the database ignores in
// comparisons too (the forms store codes blank-padded, imports trim them).
QString locateText(const Field &field, const QVariant &v)
{
    if (!v.isValid())
        return QString();
    QString text = v.metaType().id() == QMetaType::QString ? v.toString() : field.textOf(v);
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}
} // namespace

DataSet::DataSet(Connection &connection, const QString &name, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_select(std::make_unique<Query>(connection))
{
    setObjectName(name);
    // A hard commit ends the transaction: the data set closes like its cursor.
    connect(&connection, &Connection::transactionEnding, this, [this] { close(); });
}

DataSet::~DataSet() = default;

void DataSet::setSql(const QString &sql)
{
    close();
    m_select->setSql(sql);
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    m_select->setParam(name, value);
}

QVariant DataSet::param(const QString &name) const
{
    return m_select->param(name);
}

void DataSet::setUpdateTable(const QString &table, const QStringList &keyColumns)
{
    m_updateTable = table;
    m_keyColumns = keyColumns;
    m_insert.reset();
    m_modify.reset();
    m_delete.reset();
}

UpdateStatements DataSet::updateStatements() const
{
    QStringList columns;
    for (const auto &f : m_fields)
        columns << f->fieldName();
    return UpdateStatements::build(m_updateTable, columns, m_keyColumns);
}

void DataSet::setDisplayFormat(const QString &fieldName, const QString &mask)
{
    m_displayFormats.insert(fieldName.toUpper(), mask);
    if (Field *f = findField(fieldName))
        f->setDisplayFormat(mask);
}

void DataSet::open()
{
    if (isActive())
        return;
    m_select->open();
    // Fields follow the statement's columns; existing field objects are kept
    // by name so that views holding them stay valid.
    const QVector<ColumnInfo> &columns = m_select->columns();
    std::vector<std::unique_ptr<Field>> fields;
    for (int i = 0; i < columns.size(); ++i) {
        std::unique_ptr<Field> f;
        for (auto &old : m_fields)
            if (old && old->fieldName().compare(columns[i].name, Qt::CaseInsensitive) == 0) {
                f = std::move(old);
                break;
            }
        if (f)
            f->setInfo(columns[i], i);
        else
            f = std::make_unique<Field>(*this, i, columns[i]);
        f->setDisplayFormat(m_displayFormats.value(columns[i].name.toUpper()));
        fields.push_back(std::move(f));
    }
    m_fields.swap(fields);
    m_fieldIndex.clear();
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i)
        m_fieldIndex.insert(m_fields[static_cast<size_t>(i)]->fieldName().toUpper(), i);
    // A new column list means new update statements.
    m_insert.reset();
    m_modify.reset();
    m_delete.reset();

    m_rows.clear();
    m_format = RowFormat(columns);
    try {
        QByteArray record;
        while (m_select->fetchPacked(m_format, record))
            m_rows.append(std::move(record));
    } catch (...) {
        m_rows.clear();
        m_select->close();
        throw;
    }
    m_state = DataSetState::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    if (!controlsDisabled()) {
        emit layoutReset();
        emit stateChanged(m_state);
        emit currentChanged(m_current);
    }
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_select->close();
    m_rows.clear();
    m_editRow.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_state = DataSetState::Inactive;
    if (!controlsDisabled()) {
        emit layoutReset();
        emit stateChanged(m_state);
        emit currentChanged(m_current);
    }
}

Field *DataSet::findField(const QString &fieldName) const
{
    auto it = m_fieldIndex.constFind(fieldName.toUpper());
    return it == m_fieldIndex.constEnd() ? nullptr : m_fields[static_cast<size_t>(*it)].get();
}

Field *DataSet::fieldByName(const QString &fieldName) const
{
    Field *f = findField(fieldName);
    if (!f)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(objectName(), fieldName));
    return f;
}

void DataSet::checkActive() const
{
    if (!isActive())
        throw Error(ClosedDataSet);
}

void DataSet::checkNotEmpty() const
{
    if (m_rows.isEmpty())
        throw Error(EmptyDataSet);
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (!controlsDisabled())
        emit stateChanged(state);
}

void DataSet::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    if (!controlsDisabled())
        emit currentChanged(row);
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void DataSet::last()
{
    checkActive();
    checkBrowseMode();
    setCurrent(m_rows.size() - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void DataSet::next()
{
    checkActive();
    checkBrowseMode();
    if (m_current + 1 < m_rows.size()) {
        setCurrent(m_current + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void DataSet::prior()
{
    checkActive();
    checkBrowseMode();
    if (m_current > 0) {
        setCurrent(m_current - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

void DataSet::moveTo(int row)
{
    checkActive();
    if (row < 0 || row >= m_rows.size() || row == m_current)
        return;
    checkBrowseMode();
    setCurrent(row);
    m_bof = m_eof = false;
}

bool DataSet::locate(const QString &fieldNames, const QVariant &values)
{
    checkActive();
    checkBrowseMode();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVariantList wanted = names.size() > 1 ? values.toList() : QVariantList { values };
    QList<Field *> fields;
    for (const QString &n : names)
        fields << fieldByName(n.trimmed());
    if (wanted.size() != fields.size())
        return false;
    QStringList texts;
    for (int i = 0; i < fields.size(); ++i)
        texts << locateText(*fields[i], wanted[i]);
    for (int r = 0; r < m_rows.size(); ++r) {
        const QByteArray &record = m_rows.at(r);
        bool match = true;
        for (int i = 0; i < fields.size() && match; ++i) {
            const QVariant v = m_format.value(record, fields[i]->index());
            if (!wanted[i].isValid())
                match = !v.isValid();
            else
                match = locateText(*fields[i], v).compare(texts[i], Qt::CaseInsensitive) == 0;
        }
        if (match) {
            setCurrent(r);
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

QVariant DataSet::valueAt(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= fieldCount())
        return QVariant();
    if (row == m_current && isEditing())
        return m_editRow.value(column);
    return m_format.value(m_rows.at(row), column);
}

QVariant DataSet::currentValue(int column) const
{
    if (isEditing())
        return m_editRow.value(column);
    if (m_current < 0)
        return QVariant();
    return m_format.value(m_rows.at(m_current), column);
}

void DataSet::setCurrentValue(int column, const QVariant &value)
{
    if (!isEditing())
        throw Error(NotEditing);
    m_editRow[column] = value;
    if (!controlsDisabled()) {
        emit fieldChanged(field(column));
        emit rowChanged(m_current);
    }
}

void DataSet::startRow(int position)
{
    checkActive();
    checkBrowseMode();
    m_rows.insert(position, QByteArray()); // every value null
    m_editRow = Row(fieldCount());
    m_state = DataSetState::Insert;
    m_current = position;
    m_bof = m_eof = false;
    if (!controlsDisabled()) {
        emit rowInserted(position);
        emit currentChanged(position);
        emit stateChanged(m_state);
    }
    if (afterInsert)
        afterInsert(*this);
}

void DataSet::append()
{
    checkActive();
    checkBrowseMode();
    startRow(m_rows.size());
}

void DataSet::insert()
{
    checkActive();
    checkBrowseMode();
    startRow(m_current < 0 ? 0 : m_current);
}

void DataSet::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (m_rows.isEmpty()) {
        insert();
        return;
    }
    m_editRow = m_format.unpack(m_rows.at(m_current));
    setState(DataSetState::Edit);
}

Query &DataSet::updateQuery(std::unique_ptr<Query> &query, const QString &sql)
{
    if (!query)
        query = std::make_unique<Query>(m_connection, sql);
    return *query;
}

void DataSet::bindRow(Query &query, const Row &values, const Row *oldValues)
{
    for (int i = 0; i < fieldCount(); ++i) {
        const QString &name = field(i)->fieldName();
        query.setParam(name, values.value(i));
        if (oldValues)
            query.setParam(QStringLiteral("OLD_") + name, oldValues->value(i));
    }
}

void DataSet::checkRequired() const
{
    for (int i = 0; i < fieldCount(); ++i)
        if (field(i)->isRequired() && !m_editRow.value(i).isValid())
            throw Error(QStringLiteral("Field '%1' must have a value").arg(field(i)->fieldName()));
}

void DataSet::post()
{
    if (!isEditing())
        throw Error(NotEditing);
    if (beforePost)
        beforePost(*this);
    checkRequired();
    if (m_updateTable.isEmpty())
        throw Error(QStringLiteral("Cannot modify a read-only dataset"));

    // Each statement is built once, when first needed.
    try {
        if (m_state == DataSetState::Insert) {
            Query &q = m_insert ? *m_insert : updateQuery(m_insert, updateStatements().insertSql);
            bindRow(q, m_editRow, nullptr);
            q.execute();
        } else {
            Query &q = m_modify ? *m_modify : updateQuery(m_modify, updateStatements().modifySql);
            const Row old = m_format.unpack(m_rows.at(m_current));
            bindRow(q, m_editRow, &old);
            q.execute();
            // The row is found by the key it had when read: another
            // workstation deleted it or gave it another key meanwhile.
            if (q.rowsAffected() == 0)
                throw Error(RowGoneWhileEditing);
        }
    } catch (const DbError &e) {
        if (postFailed)
            postFailed(*this, e);
        if (e.isLockConflict())
            throw Error(RowBusyElsewhere);
        throw;
    } catch (const Error &e) {
        if (postFailed)
            postFailed(*this, e);
        throw;
    }
    m_rows.at(m_current) = m_format.pack(m_editRow);
    m_editRow.clear();
    setState(DataSetState::Browse);
    if (!controlsDisabled())
        emit rowChanged(m_current);
    if (afterPost)
        afterPost(*this);
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    if (m_state == DataSetState::Insert) {
        const int removed = m_current;
        m_rows.remove(removed);
        m_editRow.clear();
        m_state = DataSetState::Browse;
        m_current = m_rows.isEmpty() ? -1 : qMin(removed, m_rows.size() - 1);
        if (!controlsDisabled()) {
            emit rowRemoved(removed);
            emit currentChanged(m_current);
            emit stateChanged(m_state);
        }
        return;
    }
    m_editRow.clear();
    setState(DataSetState::Browse);
    if (!controlsDisabled())
        emit rowChanged(m_current);
}

void DataSet::remove()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel(); // a row not yet stored is only discarded
        return;
    }
    checkNotEmpty();
    cancel();
    if (m_updateTable.isEmpty())
        throw Error(QStringLiteral("Cannot modify a read-only dataset"));
    Query &q = m_delete ? *m_delete : updateQuery(m_delete, updateStatements().deleteSql);
    const Row old = m_format.unpack(m_rows.at(m_current));
    for (int i = 0; i < fieldCount(); ++i)
        q.setParam(QStringLiteral("OLD_") + field(i)->fieldName(), old.value(i));
    try {
        q.execute();
    } catch (const DbError &e) {
        if (e.isLockConflict())
            throw Error(RowBusyElsewhere);
        throw;
    }
    if (q.rowsAffected() == 0)
        throw Error(RowGoneBeforeDeletion);
    const int removed = m_current;
    m_rows.remove(removed);
    m_current = m_rows.isEmpty() ? -1 : qMin(removed, m_rows.size() - 1);
    if (!controlsDisabled()) {
        emit rowRemoved(removed);
        emit currentChanged(m_current);
    }
}

void DataSet::checkBrowseMode()
{
    if (isEditing())
        post();
}

void DataSet::disableControls()
{
    ++m_disabled;
}

void DataSet::enableControls()
{
    if (m_disabled > 0 && --m_disabled == 0) {
        emit layoutReset();
        emit stateChanged(m_state);
        emit currentChanged(m_current);
    }
}
