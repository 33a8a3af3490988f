#include "core/Conversion.h"
#include "data/DataSet.h"
#include "import/engine/TextEncoding.h"
#include "import/engine/ImportEngine.h"

#include <algorithm>

// The destination the engine writes into: its columns, then one row
// located, added, edited or deleted there and its values written.

// ---------------------------------------------------------------------------
// Destination columns
// ---------------------------------------------------------------------------

int ImportEngine::destinationColumnCount() const
{
    switch (m_importDestination) {
    case qidDataSet:
        return m_dataSet ? m_dataSet->fieldCount() : 0;
    case qidDBGrid:
        return m_dbGrid ? m_dbGrid->columnCount() : 0;
    case qidListView:
        return m_listView ? m_listView->columnCount() : 0;
    case qidStringGrid:
        return m_stringGrid ? m_stringGrid->colCount() : 0;
    case qidUserDefined:
        break;
    }
    return 0;
}

QString ImportEngine::destinationColumnName(int index) const
{
    if (index < 0 || index >= destinationColumnCount())
        return QString();
    switch (m_importDestination) {
    case qidDataSet:
        return m_dataSet->field(index)->fieldName();
    case qidDBGrid:
        return m_dbGrid->columnTitle(index);
    case qidListView:
        return m_listView->columnCaption(index);
    case qidStringGrid:
        if (m_gridCaptionRow >= 0)
            return m_stringGrid->cell(index, m_gridCaptionRow);
        return QString::number(index);
    case qidUserDefined:
        break;
    }
    return QString();
}

int ImportEngine::destinationColumnIndex(const QString &name) const
{
    switch (m_importDestination) {
    case qidDataSet: {
        if (!m_dataSet)
            return -1;
        const Field *f = m_dataSet->findField(name);
        return f ? f->index() : -1;
    }
    case qidDBGrid:
        if (!m_dbGrid)
            return -1;
        for (int i = 0; i < m_dbGrid->columnCount(); ++i)
            if (m_dbGrid->columnTitle(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    case qidListView:
        if (!m_listView)
            return -1;
        for (int i = 0; i < m_listView->columnCount(); ++i)
            if (m_listView->columnCaption(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    case qidStringGrid: {
        if (!m_stringGrid)
            return -1;
        int number = 0;
        if (tryStrToInt(name, number) && number >= 0)
            return number < m_stringGrid->colCount() ? number : -1;
        if (m_gridCaptionRow >= 0)
            for (int i = 0; i < m_stringGrid->colCount(); ++i)
                if (m_stringGrid->cell(i, m_gridCaptionRow) == name)
                    return i;
        return -1;
    }
    case qidUserDefined:
        break;
    }
    return -1;
}

Field *ImportEngine::destinationField(const ImportColumn *col) const
{
    if (m_importDestination == qidDataSet) {
        if (!m_dataSet || col->columnIndex < 0 || col->columnIndex >= m_dataSet->fieldCount())
            return nullptr;
        return m_dataSet->field(col->columnIndex);
    }
    ::DataSet *ds = destinationDataSet();
    if (!ds || col->columnIndex < 0 || col->columnIndex >= m_dbGrid->columnCount())
        return nullptr;
    return ds->findField(m_dbGrid->columnFieldName(col->columnIndex));
}

// ---------------------------------------------------------------------------
// One row against the destination
// ---------------------------------------------------------------------------

void ImportEngine::processRow()
{
    const bool found = m_importMode != qimInsertAll && locateByKey();
    auto accept = [this] {
        bool ok = true;
        if (onBeforePost)
            onBeforePost(this, &m_row, ok);
        return ok;
    };
    switch (m_importMode) {
    case qimInsertAll:
        if (accept())
            addRecord();
        break;
    case qimInsertNew:
        if (!found && accept())
            addRecord();
        break;
    case qimUpdate:
        if (found && accept())
            editRecord();
        break;
    case qimUpdateOrInsert:
        if (found) {
            if (accept())
                editRecord();
        } else if (accept()) {
            addRecord();
        }
        break;
    case qimDelete:
        if (found && accept())
            deleteRecord();
        break;
    case qimDeleteOrInsert:
        if (found) {
            if (accept())
                deleteRecord();
        } else if (accept()) {
            addRecord();
        }
        break;
    }
    if (m_recordState == rsAdded || m_recordState == rsEditing) {
        writeValues();
        postRecord();
    }
    if (onAfterPost)
        onAfterPost(this, &m_row);
    ++m_importedCount;
    if (onImportRecord)
        onImportRecord(this);
    ++m_lineNumber;
}

bool ImportEngine::locateByKey()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = destinationDataSet();
        if (!ds)
            throw dataImportError(ImportMsg::DataSetNotDefined);
        QStringList fields;
        QVariantList values;
        for (const QString &key : m_keyColumns) {
            const ImportColumn *col = m_row.colByName(key);
            if (!col)
                continue;
            fields << (m_importDestination == qidDBGrid ? m_dbGrid->columnFieldName(col->columnIndex) : col->name);
            values << col->value;
        }
        QString keyFields = fields.join(QLatin1Char(';'));
        QVariant keyValues = values.size() == 1 ? values.first() : QVariant(values);
        if (onDestinationLocate)
            onDestinationLocate(this, m_keyColumns, &m_row, keyFields, keyValues);
        if (m_importDestination == qidDataSet) {
            try {
                return ds->locate(keyFields, keyValues);
            } catch (const std::exception &) {
                return false;
            }
        }
        return ds->locate(keyFields, keyValues);
    }
    case qidListView:
        return locateInListView();
    case qidStringGrid:
        return locateInStringGrid();
    case qidUserDefined:
        break;
    }
    return false;
}

bool ImportEngine::locateInListView()
{
    for (int item = 0; item < m_listView->itemCount(); ++item) {
        bool match = true;
        for (const QString &key : m_keyColumns) {
            const ImportColumn *col = m_row.colByName(key);
            if (!col)
                return false;
            const QString text = col->columnIndex == 0 ? m_listView->itemCaption(item) : m_listView->subItem(item, col->columnIndex - 1);
            if (col->value.compare(text, Qt::CaseInsensitive) != 0) {
                match = false;
                break;
            }
        }
        if (match) {
            m_currentItem = item;
            return true;
        }
    }
    return false;
}

bool ImportEngine::locateInStringGrid()
{
    for (int row = 0; row < m_stringGrid->rowCount(); ++row) {
        if (row == m_gridCaptionRow)
            continue;
        bool match = true;
        for (const QString &key : m_keyColumns) {
            const ImportColumn *col = m_row.colByName(key);
            if (!col)
                return false;
            if (col->value.compare(m_stringGrid->cell(col->columnIndex, row), Qt::CaseInsensitive) != 0) {
                match = false;
                break;
            }
        }
        if (match) {
            m_locatedGridRow = row;
            return true;
        }
    }
    return false;
}

void ImportEngine::addRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = destinationDataSet();
        if (!ds)
            throw dataImportError(ImportMsg::DataSetNotDefined);
        if (m_addType == qatAppend)
            ds->append();
        else
            ds->insert();
        break;
    }
    case qidListView:
        m_currentItem = m_listView->addItem(std::max(0, m_row.count() - 1));
        break;
    case qidStringGrid: {
        int row = m_currentGridRow;
        if (row == -1)
            row = m_stringGrid->rowCount() - 1;
        // Neither an empty grid nor a start past its end may lose the row,
        // and the caption row is never written over.
        if (row < 0)
            row = 0;
        if (row == m_gridCaptionRow)
            ++row;
        if (m_stringGrid->rowCount() <= row)
            m_stringGrid->setRowCount(row + 1);
        m_currentGridRow = row;
        m_writeGridRow = row;
        break;
    }
    case qidUserDefined:
        return;
    }
    m_recordState = rsAdded;
}

void ImportEngine::editRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid:
        destinationDataSet()->edit();
        break;
    case qidStringGrid:
        // Changed where it was found; the add position stays where it was.
        m_writeGridRow = m_locatedGridRow;
        break;
    case qidListView:
        break;
    case qidUserDefined:
        return;
    }
    m_recordState = rsEditing;
}

void ImportEngine::deleteRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid:
        destinationDataSet()->remove();
        break;
    case qidListView:
        m_listView->deleteItem(m_currentItem);
        m_currentItem = -1;
        break;
    case qidStringGrid: {
        const int rows = m_stringGrid->rowCount();
        const int cols = m_stringGrid->colCount();
        for (int r = m_locatedGridRow; r + 1 < rows; ++r)
            for (int c = 0; c < cols; ++c)
                m_stringGrid->setCell(c, r, m_stringGrid->cell(c, r + 1));
        m_stringGrid->setRowCount(rows - 1);
        // The rows below moved up, the add position with them.
        if (m_currentGridRow > m_locatedGridRow)
            --m_currentGridRow;
        break;
    }
    case qidUserDefined:
        return;
    }
    m_recordState = rsDeleted;
}

void ImportEngine::writeValues()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        // The row's lost values are told once it is known to be written.
        QStringList lost;
        for (int i = 0; i < m_row.count(); ++i) {
            const ImportColumn *col = m_row.at(i);
            Field *field = destinationField(col);
            QString error = field && m_refuseUnencodable ? unencodableValueError(col->value) : QString();
            if (error.isEmpty())
                error = convertValue(field, col->value, m_formats);
            if (error.isEmpty())
                continue;
            if (field && m_requiredColumns.contains(field->fieldName(), Qt::CaseInsensitive))
                throw Error(error);
            lost << error;
        }
        for (const QString &name : m_requiredColumns) {
            const Field *field = destinationDataSet()->findField(name);
            if (field && field->isNull())
                throw Error(translatedText(
                    ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Field '%1' must have a value"), field->fieldName()));
        }
        for (const QString &error : lost)
            logFieldError(error);
        break;
    }
    case qidListView:
        if (m_currentItem < 0)
            break;
        for (int i = 0; i < m_row.count(); ++i) {
            const ImportColumn *col = m_row.at(i);
            if (col->columnIndex == 0)
                m_listView->setItemCaption(m_currentItem, col->value);
            else if (col->columnIndex > 0)
                m_listView->setSubItem(m_currentItem, col->columnIndex - 1, col->value);
        }
        break;
    case qidStringGrid:
        if (m_writeGridRow < 0)
            break;
        for (int i = 0; i < m_row.count(); ++i) {
            const ImportColumn *col = m_row.at(i);
            if (col->columnIndex >= 0)
                m_stringGrid->setCell(col->columnIndex, m_writeGridRow, col->value);
        }
        break;
    case qidUserDefined:
        break;
    }
}

void ImportEngine::postRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = destinationDataSet();
        if (ds && ds->isEditing())
            ds->post();
        break;
    }
    case qidStringGrid:
        if (m_recordState == rsAdded)
            m_currentGridRow = m_writeGridRow + 1;
        break;
    default:
        break;
    }
}

void ImportEngine::cancelRecord()
{
    ::DataSet *ds = destinationDataSet();
    if (ds && ds->isEditing())
        ds->cancel();
}
