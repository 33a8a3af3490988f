#include "import/DataImport.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Formatting.h"
#include "data/DataSet.h"
#include "import/TextEncoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>

// ---------------------------------------------------------------------------
// The import row
// ---------------------------------------------------------------------------

namespace {

QString indexKey(const QString &name)
{
    return name.trimmed().toUpper();
}

} // namespace

int TDataImportRow::IndexOfName(const QString &name) const
{
    const QString key = indexKey(name);
    auto it = std::lower_bound(m_index.begin(), m_index.end(), key, [](const IndexEntry &e, const QString &k) { return e.key < k; });
    if (it == m_index.end() || it->key != key)
        return -1;
    return it->column;
}

TDataImportCol *TDataImportRow::ColByName(const QString &name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? nullptr : m_cols[size_t(i)].get();
}

TDataImportCol *TDataImportRow::Add(const QString &name, int columnIndex, int mapIndex)
{
    auto col = std::make_unique<TDataImportCol>();
    col->Name = name.trimmed();
    col->ColumnIndex = columnIndex;
    col->MapIndex = mapIndex;
    m_index.push_back(IndexEntry { indexKey(name), int(m_cols.size()) });
    m_cols.push_back(std::move(col));
    return m_cols.back().get();
}

void TDataImportRow::SortIndex()
{
    // Stable, so that of two columns with one name the first is found.
    std::stable_sort(m_index.begin(), m_index.end(), [](const IndexEntry &a, const IndexEntry &b) { return a.key < b.key; });
}

void TDataImportRow::Clear()
{
    m_cols.clear();
    m_index.clear();
}

// ---------------------------------------------------------------------------
// Settings and destinations
// ---------------------------------------------------------------------------

TDataImport::TDataImport() = default;

TDataImport::~TDataImport()
{
    if (m_log.isOpen())
        m_log.close();
}

void TDataImport::SetFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    FileNameChanged();
}

QString TDataImport::MapName(int i) const
{
    const QString &line = m_map.at(i);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return (eq < 0 ? line : line.left(eq)).trimmed();
}

QString TDataImport::MapValue(int i) const
{
    const QString &line = m_map.at(i);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString TDataImport::ErrorLogPath() const
{
    if (m_errorLogFileName.isEmpty())
        return QString();
    if (!m_errorLogFileName.contains(QLatin1Char('/')))
        return QCoreApplication::applicationDirPath() + QLatin1Char('/') + m_errorLogFileName;
    return m_errorLogFileName;
}

::DataSet *TDataImport::DestinationDataSet() const
{
    if (m_importDestination == qidDataSet)
        return m_dataSet.data();
    if (m_importDestination == qidDBGrid && m_dbGrid)
        return m_dbGrid->GridDataSet();
    return nullptr;
}

int TDataImport::DestinationColumnCount() const
{
    switch (m_importDestination) {
    case qidDataSet:
        return m_dataSet ? m_dataSet->fieldCount() : 0;
    case qidDBGrid:
        return m_dbGrid ? m_dbGrid->ColumnCount() : 0;
    case qidListView:
        return m_listView ? m_listView->ColumnCount() : 0;
    case qidStringGrid:
        return m_stringGrid ? m_stringGrid->ColCount() : 0;
    case qidUserDefined:
        break;
    }
    return 0;
}

QString TDataImport::DestinationColumnName(int index) const
{
    if (index < 0 || index >= DestinationColumnCount())
        return QString();
    switch (m_importDestination) {
    case qidDataSet:
        return m_dataSet->field(index)->fieldName();
    case qidDBGrid:
        return m_dbGrid->ColumnTitle(index);
    case qidListView:
        return m_listView->ColumnCaption(index);
    case qidStringGrid:
        if (m_gridCaptionRow >= 0)
            return m_stringGrid->Cell(index, m_gridCaptionRow);
        return QString::number(index);
    case qidUserDefined:
        break;
    }
    return QString();
}

int TDataImport::DestinationColumnIndex(const QString &name) const
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
        for (int i = 0; i < m_dbGrid->ColumnCount(); ++i)
            if (m_dbGrid->ColumnTitle(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    case qidListView:
        if (!m_listView)
            return -1;
        for (int i = 0; i < m_listView->ColumnCount(); ++i)
            if (m_listView->ColumnCaption(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    case qidStringGrid: {
        if (!m_stringGrid)
            return -1;
        int number = 0;
        if (tryStrToInt(name, number) && number >= 0)
            return number < m_stringGrid->ColCount() ? number : -1;
        if (m_gridCaptionRow >= 0)
            for (int i = 0; i < m_stringGrid->ColCount(); ++i)
                if (m_stringGrid->Cell(i, m_gridCaptionRow) == name)
                    return i;
        return -1;
    }
    case qidUserDefined:
        break;
    }
    return -1;
}

Field *TDataImport::DestinationField(const TDataImportCol *col) const
{
    if (m_importDestination == qidDataSet) {
        if (!m_dataSet || col->ColumnIndex < 0 || col->ColumnIndex >= m_dataSet->fieldCount())
            return nullptr;
        return m_dataSet->field(col->ColumnIndex);
    }
    ::DataSet *ds = DestinationDataSet();
    if (!ds || col->ColumnIndex < 0 || col->ColumnIndex >= m_dbGrid->ColumnCount())
        return nullptr;
    return ds->findField(m_dbGrid->ColumnFieldName(col->ColumnIndex));
}

// ---------------------------------------------------------------------------
// One import
// ---------------------------------------------------------------------------

void TDataImport::Execute()
{
    m_totalRecords = 0;
    CheckProperties();
    PrepareImport();

    // OnAfterImport and the finish run whatever happened; the first failure
    // is the one the caller sees.
    std::exception_ptr failure;
    try {
        if (OnBeforeImport)
            OnBeforeImport(this);
        RunRowLoop();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        if (OnAfterImport)
            OnAfterImport(this);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    try {
        FinishImport();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TDataImport::CheckProperties()
{
    switch (m_importDestination) {
    case qidDataSet:
        if (!m_dataSet)
            throw DataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidDBGrid:
        if (!m_dbGrid)
            throw DataImportError(ImportMsg::DBGridNotDefined);
        // A grid without its data set could only fail on every row.
        if (!m_dbGrid->GridDataSet())
            throw DataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidListView:
        if (!m_listView)
            throw DataImportError(ImportMsg::ListViewNotDefined);
        break;
    case qidStringGrid:
        if (!m_stringGrid)
            throw DataImportError(ImportMsg::StringGridNotDefined);
        break;
    case qidUserDefined:
        break;
    }
    if (m_fileName.isEmpty())
        throw DataImportError(ImportMsg::FileNameNotSpecified);
    if (!QFileInfo::exists(m_fileName))
        throw DataImportError(ImportMsg::FileDoesNotExist, { m_fileName });
    if (m_map.isEmpty())
        throw DataImportError(ImportMsg::MapIsEmpty);
    if (m_importDestination != qidUserDefined)
        for (int i = 0; i < m_map.size(); ++i)
            if (DestinationColumnIndex(MapName(i)) < 0)
                throw DataImportError(ImportMsg::MapColumnNotInDestination, { MapName(i) });
    if (m_importMode != qimInsertAll) {
        if (m_keyColumns.isEmpty())
            throw DataImportError(ImportMsg::KeyColumnsNotDefined);
        for (const QString &key : m_keyColumns)
            if (DestinationColumnIndex(key) < 0)
                throw DataImportError(ImportMsg::KeyColumnNotInDestination, { key });
    }
    // Such formats cannot show a date: every value and the log's time stamps
    // would lose theirs.
    const QString selfReferring = selfReferringDateTimeFormat(m_formats.Settings());
    if (!selfReferring.isEmpty())
        throw DataImportError(ImportMsg::DateFormatRefersToItself, { selfReferring });
}

void TDataImport::PrepareImport()
{
    if (m_importRecCount > 0 && m_importRecCount < m_totalRecords)
        m_totalRecords = m_importRecCount;
    m_recordState = rsNone;
    m_importedCount = 0;
    m_errors.clear();
    m_valueErrorCount = 0;
    m_canceled = false;
    m_formats.InstallFormats();
    try {
        SuspendUpdates();
        m_lineNumber = 1;
        m_currentItem = -1;
        m_currentGridRow = m_gridStartRow;
        m_writeGridRow = -1;
        m_locatedGridRow = -1;
        m_leadingSkipped = 0;
        m_rowSeen = false;
        BuildImportRow();
        if (m_errorLog && !m_errorLogFileName.isEmpty())
            OpenLog();
    } catch (...) {
        // Nothing will finish this import: put the process back as it was.
        UndoPrepare();
        throw;
    }
}

void TDataImport::UndoPrepare()
{
    if (m_log.isOpen())
        m_log.close();
    m_row.Clear();
    m_generators.Clear();
    ResumeUpdates();
    m_formats.RestoreFormats();
}

void TDataImport::SuspendUpdates()
{
    if (::DataSet *ds = DestinationDataSet()) {
        ds->disableControls();
        m_suspendedDataSet = ds;
    } else if (m_importDestination == qidListView && m_listView) {
        m_listView->BeginUpdate();
        m_suspendedListView = m_listView;
    }
}

void TDataImport::ResumeUpdates()
{
    if (m_suspendedDataSet)
        m_suspendedDataSet->enableControls();
    m_suspendedDataSet = nullptr;
    if (m_suspendedListView)
        m_suspendedListView->EndUpdate();
    m_suspendedListView = nullptr;
}

void TDataImport::BuildImportRow()
{
    m_row.Clear();
    m_generators.Clear();
    for (int i = 0; i < m_map.size(); ++i) {
        const QString name = MapName(i);
        const int index = DestinationColumnIndex(name);
        if (index < 0 && m_importDestination != qidUserDefined)
            continue;
        m_row.Add(name, index, i);
    }
    m_row.SortIndex();

    for (const TDataImportFieldFormat &format : m_fieldFormats) {
        TDataImportCol *col = m_row.ColByName(format.FieldName);
        if (!col && (format.GeneratorStep != 0 || !format.ConstantValue.isEmpty())) {
            // A constant or a counter fills a column the map does not name.
            const int index = DestinationColumnIndex(format.FieldName.trimmed());
            if (index >= 0) {
                col = m_row.Add(format.FieldName, index, -1);
                m_row.SortIndex();
            }
        }
        if (col && format.GeneratorStep != 0 && col->m_generator < 0)
            col->m_generator = m_generators.Add(col->Name, format.GeneratorValue, format.GeneratorStep);
    }
    for (int i = 0; i < m_row.Count(); ++i) {
        TDataImportCol *col = m_row.Items(i);
        col->m_format = m_fieldFormats.IndexOfName(col->Name);
    }
}

void TDataImport::RunRowLoop()
{
    OpenSource();
    std::exception_ptr failure;
    try {
        m_lineNumber += m_skipFirstRows;
        while (HasMoreRows()) {
            m_recordState = rsNone;
            if (SkipRow()) {
                // The leading rows were counted once, before the loop.
                if (!m_rowSeen && m_leadingSkipped < m_skipFirstRows)
                    ++m_leadingSkipped;
                else
                    ++m_lineNumber;
            } else {
                m_rowSeen = true;
                FillImportRow();
                if (m_importDestination == qidUserDefined) {
                    // The owner writes these rows, but a cancel must reach it all the same.
                    if (CheckCancel())
                        break;
                    if (OnUserDefinedImport)
                        OnUserDefinedImport(this, &m_row);
                } else {
                    if (OnImportRowComplete)
                        OnImportRowComplete(this, &m_row);
                    if (ImportRow() == 2)
                        break;
                }
            }
            NextRow();
            // Also after a failed row: a file of failing rows must not take
            // the cancel button away.
            if (OnYield)
                OnYield(this);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        CloseSource();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

int TDataImport::ImportRow()
{
    const int r = CheckCancel() ? 2 : ProcessRowLogged();
    return AfterRow(r);
}

bool TDataImport::CheckCancel()
{
    if (!m_canceled)
        return false;
    bool goOn = false;
    if (OnImportCancel)
        OnImportCancel(this, goOn);
    m_canceled = !goOn;
    return !goOn;
}

int TDataImport::ProcessRowLogged()
{
    try {
        ProcessRow();
        return 0;
    } catch (const std::exception &e) {
        try {
            CancelRecord();
        } catch (const std::exception &) {
            // The row's own failure is the one worth reporting.
        }
        LogError(e);
        return 1;
    }
}

int TDataImport::AfterRow(int r)
{
    const int done = ErrorCount() + m_importedCount;
    if (m_commitRecCount > 0 && !m_commitAfterDone && done % m_commitRecCount == 0)
        DoNeedCommit();
    if (m_importRecCount > 0 && done > 0 && done % m_importRecCount == 0)
        r = 2;
    return r;
}

void TDataImport::CloseSource()
{
    if (m_canceled)
        return;
    if (m_commitAfterDone)
        DoNeedCommit();
    else if (m_commitRecCount > 0 && (ErrorCount() + m_importedCount) % m_commitRecCount != 0)
        DoNeedCommit();
}

void TDataImport::DoNeedCommit()
{
    if (OnNeedCommit)
        OnNeedCommit(this);
}

void TDataImport::FinishImport()
{
    m_formats.RestoreFormats();
    m_row.Clear();
    m_generators.Clear();
    ResumeUpdates();
    if (!m_log.isOpen())
        return;
    if (!m_errors.isEmpty())
        WriteLogLine(QString());
    WriteLogLine(FormatMessage(ImportMsg::LogImportFinished, { LogTimeStamp() }));
    // A value lost is no failed row, but neither is it "no error".
    if (m_errors.isEmpty() && m_valueErrorCount == 0)
        WriteLogLine(LoadMessage(ImportMsg::LogNoErrorFound));
    if (!m_errors.isEmpty())
        WriteLogLine(FormatMessage(ImportMsg::LogErrorsFound, { QString::number(ErrorCount()) }));
    if (m_valueErrorCount > 0)
        WriteLogLine(FormatMessage(ImportMsg::LogValuesNotConverted, { QString::number(m_valueErrorCount) }));
    WriteLogLine(QString());
    m_log.close();
    if (m_showErrorLog) {
        const QString path = QFileInfo(m_log.fileName()).absoluteFilePath();
        if (OnShowErrorLog)
            OnShowErrorLog(path);
        else
            QProcess::startDetached(QStringLiteral("xdg-open"), { path });
    }
}

// ---------------------------------------------------------------------------
// Values of the row
// ---------------------------------------------------------------------------

void TDataImport::SetValue(const QString &name, const QString &text)
{
    if (TDataImportCol *col = m_row.ColByName(name))
        col->Value = text.trimmed();
}

void TDataImport::SetValue(TDataImportCol *col, const QString &text)
{
    if (col)
        col->Value = text.trimmed();
}

void TDataImport::ApplyFieldFormat(TDataImportCol *col)
{
    if (!col)
        return;
    // The format found when the row was built, unless the list changed since.
    int k = col->m_format;
    if (k < 0 || k >= m_fieldFormats.Count() || m_fieldFormats.Items(k).FieldName.compare(col->Name, Qt::CaseInsensitive) != 0)
        k = m_fieldFormats.IndexOfName(col->Name);
    if (k < 0)
        return;
    TDataImportGenerator *generator = nullptr;
    if (col->m_generator >= 0 && col->m_generator < m_generators.Count())
        generator = &m_generators.Items(col->m_generator);
    ::ApplyFieldFormat(col->Value, m_fieldFormats.Items(k), generator);
}

void TDataImport::ApplyFieldFormats()
{
    for (int i = 0; i < m_row.Count(); ++i)
        ApplyFieldFormat(m_row.Items(i));
}

bool TDataImport::IsMappedColumn(const TDataImportCol *col) const
{
    return col->MapIndex >= 0 && (col->ColumnIndex >= 0 || m_importDestination == qidUserDefined);
}

// ---------------------------------------------------------------------------
// One row against the destination
// ---------------------------------------------------------------------------

void TDataImport::ProcessRow()
{
    const bool found = m_importMode != qimInsertAll && LocateByKey();
    auto accept = [this] {
        bool ok = true;
        if (OnBeforePost)
            OnBeforePost(this, &m_row, ok);
        return ok;
    };
    switch (m_importMode) {
    case qimInsertAll:
        if (accept())
            AddRecord();
        break;
    case qimInsertNew:
        if (!found && accept())
            AddRecord();
        break;
    case qimUpdate:
        if (found && accept())
            EditRecord();
        break;
    case qimUpdateOrInsert:
        if (found) {
            if (accept())
                EditRecord();
        } else if (accept()) {
            AddRecord();
        }
        break;
    case qimDelete:
        if (found && accept())
            DeleteRecord();
        break;
    case qimDeleteOrInsert:
        if (found) {
            if (accept())
                DeleteRecord();
        } else if (accept()) {
            AddRecord();
        }
        break;
    }
    if (m_recordState == rsAdded || m_recordState == rsEditing) {
        WriteValues();
        PostRecord();
    }
    if (OnAfterPost)
        OnAfterPost(this, &m_row);
    ++m_importedCount;
    if (OnImportRecord)
        OnImportRecord(this);
    ++m_lineNumber;
}

bool TDataImport::LocateByKey()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = DestinationDataSet();
        if (!ds)
            throw DataImportError(ImportMsg::DataSetNotDefined);
        QStringList fields;
        QVariantList values;
        for (const QString &key : m_keyColumns) {
            const TDataImportCol *col = m_row.ColByName(key);
            if (!col)
                continue;
            fields << (m_importDestination == qidDBGrid ? m_dbGrid->ColumnFieldName(col->ColumnIndex) : col->Name);
            values << col->Value;
        }
        QString keyFields = fields.join(QLatin1Char(';'));
        QVariant keyValues = values.size() == 1 ? values.first() : QVariant(values);
        if (OnDestinationLocate)
            OnDestinationLocate(this, m_keyColumns, &m_row, keyFields, keyValues);
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
        return LocateInListView();
    case qidStringGrid:
        return LocateInStringGrid();
    case qidUserDefined:
        break;
    }
    return false;
}

bool TDataImport::LocateInListView()
{
    for (int item = 0; item < m_listView->ItemCount(); ++item) {
        bool match = true;
        for (const QString &key : m_keyColumns) {
            const TDataImportCol *col = m_row.ColByName(key);
            if (!col)
                return false;
            const QString text = col->ColumnIndex == 0 ? m_listView->ItemCaption(item) : m_listView->SubItem(item, col->ColumnIndex - 1);
            if (col->Value.compare(text, Qt::CaseInsensitive) != 0) {
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

bool TDataImport::LocateInStringGrid()
{
    for (int row = 0; row < m_stringGrid->RowCount(); ++row) {
        if (row == m_gridCaptionRow)
            continue;
        bool match = true;
        for (const QString &key : m_keyColumns) {
            const TDataImportCol *col = m_row.ColByName(key);
            if (!col)
                return false;
            if (col->Value.compare(m_stringGrid->Cell(col->ColumnIndex, row), Qt::CaseInsensitive) != 0) {
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

void TDataImport::AddRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = DestinationDataSet();
        if (!ds)
            throw DataImportError(ImportMsg::DataSetNotDefined);
        if (m_addType == qatAppend)
            ds->append();
        else
            ds->insert();
        break;
    }
    case qidListView:
        m_currentItem = m_listView->AddItem(std::max(0, m_row.Count() - 1));
        break;
    case qidStringGrid: {
        int row = m_currentGridRow;
        if (row == -1)
            row = m_stringGrid->RowCount() - 1;
        // Neither an empty grid nor a start past its end may lose the row,
        // and the caption row is never written over.
        if (row < 0)
            row = 0;
        if (row == m_gridCaptionRow)
            ++row;
        if (m_stringGrid->RowCount() <= row)
            m_stringGrid->SetRowCount(row + 1);
        m_currentGridRow = row;
        m_writeGridRow = row;
        break;
    }
    case qidUserDefined:
        return;
    }
    m_recordState = rsAdded;
}

void TDataImport::EditRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid:
        DestinationDataSet()->edit();
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

void TDataImport::DeleteRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid:
        DestinationDataSet()->remove();
        break;
    case qidListView:
        m_listView->DeleteItem(m_currentItem);
        m_currentItem = -1;
        break;
    case qidStringGrid: {
        const int rows = m_stringGrid->RowCount();
        const int cols = m_stringGrid->ColCount();
        for (int r = m_locatedGridRow; r + 1 < rows; ++r)
            for (int c = 0; c < cols; ++c)
                m_stringGrid->SetCell(c, r, m_stringGrid->Cell(c, r + 1));
        m_stringGrid->SetRowCount(rows - 1);
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

void TDataImport::WriteValues()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        // The row's lost values are told once it is known to be written.
        QStringList lost;
        for (int i = 0; i < m_row.Count(); ++i) {
            const TDataImportCol *col = m_row.Items(i);
            Field *field = DestinationField(col);
            QString error = field && m_refuseUnencodable ? UnencodableValueError(col->Value) : QString();
            if (error.isEmpty())
                error = ConvertValue(field, col->Value, m_formats);
            if (error.isEmpty())
                continue;
            if (field && m_requiredColumns.contains(field->fieldName(), Qt::CaseInsensitive))
                throw Error(error);
            lost << error;
        }
        for (const QString &name : m_requiredColumns) {
            const Field *field = DestinationDataSet()->findField(name);
            if (field && field->isNull())
                throw Error(QStringLiteral("Field '%1' must have a value").arg(field->fieldName()));
        }
        for (const QString &error : lost)
            LogFieldError(error);
        break;
    }
    case qidListView:
        if (m_currentItem < 0)
            break;
        for (int i = 0; i < m_row.Count(); ++i) {
            const TDataImportCol *col = m_row.Items(i);
            if (col->ColumnIndex == 0)
                m_listView->SetItemCaption(m_currentItem, col->Value);
            else if (col->ColumnIndex > 0)
                m_listView->SetSubItem(m_currentItem, col->ColumnIndex - 1, col->Value);
        }
        break;
    case qidStringGrid:
        if (m_writeGridRow < 0)
            break;
        for (int i = 0; i < m_row.Count(); ++i) {
            const TDataImportCol *col = m_row.Items(i);
            if (col->ColumnIndex >= 0)
                m_stringGrid->SetCell(col->ColumnIndex, m_writeGridRow, col->Value);
        }
        break;
    case qidUserDefined:
        break;
    }
}

void TDataImport::PostRecord()
{
    switch (m_importDestination) {
    case qidDataSet:
    case qidDBGrid: {
        ::DataSet *ds = DestinationDataSet();
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

void TDataImport::CancelRecord()
{
    ::DataSet *ds = DestinationDataSet();
    if (ds && ds->isEditing())
        ds->cancel();
}

// ---------------------------------------------------------------------------
// Errors and the log
// ---------------------------------------------------------------------------

QString TDataImport::LogTimeStamp() const
{
    return formatDateTime(m_formats.ShortDateFormat + QLatin1Char(' ') + m_formats.ShortTimeFormat, DateTime::now(), m_formats.Settings());
}

void TDataImport::OpenLog()
{
    const QString path = ErrorLogPath();
    const QDir dir = QFileInfo(path).absoluteDir();
    if (!dir.exists() && !QDir().mkpath(dir.absolutePath()))
        throw Error(QStringLiteral("Cannot create directory \"%1\"").arg(QDir::toNativeSeparators(dir.absolutePath())));
    m_log.setFileName(path);
    const QIODevice::OpenMode mode = m_rewriteErrorLogFile ? QIODevice::WriteOnly | QIODevice::Truncate
                                                           : QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly;
    if (!m_log.open(mode))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), m_log.errorString()));
    WriteLogLine(FormatMessage(ImportMsg::LogImportStarted, { LogTimeStamp() }));
    WriteLogLine(QString());
}

void TDataImport::WriteLogLine(const QString &line)
{
    // A message of several lines keeps the file's CR LF line ends.
    QString text = line;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text += QLatin1String("\r\n");
    m_log.write(Cp1252::fromUnicode(text));
    m_log.flush();
}

void TDataImport::LogError(const QString &message)
{
    if (m_errorLog) {
        const QString line = FormatMessage(ImportMsg::LogLineError, { LogTimeStamp(), QString::number(m_lineNumber), message });
        m_errors << line;
        if (m_log.isOpen())
            WriteLogLine(line);
    }
    ++m_lineNumber;
    if (OnImportError)
        OnImportError(this);
}

void TDataImport::LogError(const std::exception &error)
{
    if (const auto *e = dynamic_cast<const Error *>(&error))
        LogError(e->text());
    else
        LogError(QString::fromLocal8Bit(error.what()));
}

void TDataImport::LogFieldError(const QString &text)
{
    ++m_valueErrorCount;
    if (m_errorLog && m_log.isOpen())
        WriteLogLine(FormatMessage(ImportMsg::LogLineError, { LogTimeStamp(), QString::number(m_lineNumber), text }));
    if (OnImportErrorAdv)
        OnImportErrorAdv(this);
}
