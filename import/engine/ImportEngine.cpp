#include "import/engine/ImportEngine.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Formatting.h"
#include "data/DataSet.h"
#include "import/engine/TextEncoding.h"

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

int ImportRow::indexOfName(const QString &name) const
{
    const QString key = indexKey(name);
    auto it = std::lower_bound(m_index.begin(), m_index.end(), key, [](const IndexEntry &e, const QString &k) { return e.key < k; });
    if (it == m_index.end() || it->key != key)
        return -1;
    return it->column;
}

ImportColumn *ImportRow::colByName(const QString &name) const
{
    const int i = indexOfName(name);
    return i < 0 ? nullptr : m_cols[size_t(i)].get();
}

ImportColumn *ImportRow::add(const QString &name, int columnIndex, int mapIndex)
{
    auto col = std::make_unique<ImportColumn>();
    col->name = name.trimmed();
    col->columnIndex = columnIndex;
    col->mapIndex = mapIndex;
    m_index.push_back(IndexEntry { indexKey(name), int(m_cols.size()) });
    m_cols.push_back(std::move(col));
    return m_cols.back().get();
}

void ImportRow::sortIndex()
{
    // Stable, so that of two columns with one name the first is found.
    std::stable_sort(m_index.begin(), m_index.end(), [](const IndexEntry &a, const IndexEntry &b) { return a.key < b.key; });
}

void ImportRow::clear()
{
    m_cols.clear();
    m_index.clear();
}

// ---------------------------------------------------------------------------
// Settings and destinations
// ---------------------------------------------------------------------------

ImportEngine::ImportEngine() = default;

ImportEngine::~ImportEngine()
{
    if (m_log.isOpen())
        m_log.close();
}

void ImportEngine::setFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    fileNameChanged();
}

QString ImportEngine::mapName(int i) const
{
    const QString &line = m_map.at(i);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return (eq < 0 ? line : line.left(eq)).trimmed();
}

QString ImportEngine::mapValue(int i) const
{
    const QString &line = m_map.at(i);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString ImportEngine::errorLogPath() const
{
    if (m_errorLogFileName.isEmpty())
        return QString();
    if (!m_errorLogFileName.contains(QLatin1Char('/')))
        return QCoreApplication::applicationDirPath() + QLatin1Char('/') + m_errorLogFileName;
    return m_errorLogFileName;
}

::DataSet *ImportEngine::destinationDataSet() const
{
    if (m_importDestination == qidDataSet)
        return m_dataSet.data();
    if (m_importDestination == qidDBGrid && m_dbGrid)
        return m_dbGrid->gridDataSet();
    return nullptr;
}

// ---------------------------------------------------------------------------
// One import
// ---------------------------------------------------------------------------

void ImportEngine::execute()
{
    m_totalRecords = 0;
    checkProperties();
    prepareImport();

    // onAfterImport and the finish run whatever happened; the first failure
    // is the one the caller sees.
    std::exception_ptr failure;
    try {
        if (onBeforeImport)
            onBeforeImport(this);
        runRowLoop();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        if (onAfterImport)
            onAfterImport(this);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    try {
        finishImport();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void ImportEngine::checkProperties()
{
    switch (m_importDestination) {
    case qidDataSet:
        if (!m_dataSet)
            throw dataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidDBGrid:
        if (!m_dbGrid)
            throw dataImportError(ImportMsg::DBGridNotDefined);
        // A grid without its data set could only fail on every row.
        if (!m_dbGrid->gridDataSet())
            throw dataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidListView:
        if (!m_listView)
            throw dataImportError(ImportMsg::ListViewNotDefined);
        break;
    case qidStringGrid:
        if (!m_stringGrid)
            throw dataImportError(ImportMsg::StringGridNotDefined);
        break;
    case qidUserDefined:
        break;
    }
    if (m_fileName.isEmpty())
        throw dataImportError(ImportMsg::FileNameNotSpecified);
    if (!QFileInfo::exists(m_fileName))
        throw dataImportError(ImportMsg::FileDoesNotExist, { m_fileName });
    if (m_map.isEmpty())
        throw dataImportError(ImportMsg::MapIsEmpty);
    if (m_importDestination != qidUserDefined)
        for (int i = 0; i < m_map.size(); ++i)
            if (destinationColumnIndex(mapName(i)) < 0)
                throw dataImportError(ImportMsg::MapColumnNotInDestination, { mapName(i) });
    if (m_importMode != qimInsertAll) {
        if (m_keyColumns.isEmpty())
            throw dataImportError(ImportMsg::KeyColumnsNotDefined);
        for (const QString &key : m_keyColumns)
            if (destinationColumnIndex(key) < 0)
                throw dataImportError(ImportMsg::KeyColumnNotInDestination, { key });
    }
    // Such formats cannot show a date: every value and the log's time stamps
    // would lose theirs.
    const QString selfReferring = selfReferringDateTimeFormat(m_formats.settings());
    if (!selfReferring.isEmpty())
        throw dataImportError(ImportMsg::DateFormatRefersToItself, { selfReferring });
}

void ImportEngine::prepareImport()
{
    if (m_importRecCount > 0 && m_importRecCount < m_totalRecords)
        m_totalRecords = m_importRecCount;
    m_recordState = rsNone;
    m_importedCount = 0;
    m_errors.clear();
    m_valueErrorCount = 0;
    m_canceled = false;
    m_formats.installFormats();
    try {
        suspendUpdates();
        m_lineNumber = 1;
        m_currentItem = -1;
        m_currentGridRow = m_gridStartRow;
        m_writeGridRow = -1;
        m_locatedGridRow = -1;
        m_leadingSkipped = 0;
        m_rowSeen = false;
        buildImportRow();
        if (m_errorLog && !m_errorLogFileName.isEmpty())
            openLog();
    } catch (...) {
        // Nothing will finish this import: put the process back as it was.
        undoPrepare();
        throw;
    }
}

void ImportEngine::undoPrepare()
{
    if (m_log.isOpen())
        m_log.close();
    m_row.clear();
    m_generators.clear();
    resumeUpdates();
    m_formats.restoreFormats();
}

void ImportEngine::suspendUpdates()
{
    if (::DataSet *ds = destinationDataSet()) {
        ds->disableControls();
        m_suspendedDataSet = ds;
    } else if (m_importDestination == qidListView && m_listView) {
        m_listView->beginUpdate();
        m_suspendedListView = m_listView;
    }
}

void ImportEngine::resumeUpdates()
{
    if (m_suspendedDataSet)
        m_suspendedDataSet->enableControls();
    m_suspendedDataSet = nullptr;
    if (m_suspendedListView)
        m_suspendedListView->endUpdate();
    m_suspendedListView = nullptr;
}

void ImportEngine::buildImportRow()
{
    m_row.clear();
    m_generators.clear();
    for (int i = 0; i < m_map.size(); ++i) {
        const QString name = mapName(i);
        const int index = destinationColumnIndex(name);
        if (index < 0 && m_importDestination != qidUserDefined)
            continue;
        m_row.add(name, index, i);
    }
    m_row.sortIndex();

    for (const FieldFormat &format : m_fieldFormats) {
        ImportColumn *col = m_row.colByName(format.fieldName);
        if (!col && (format.generatorStep != 0 || !format.constantValue.isEmpty())) {
            // A constant or a counter fills a column the map does not name.
            const int index = destinationColumnIndex(format.fieldName.trimmed());
            if (index >= 0) {
                col = m_row.add(format.fieldName, index, -1);
                m_row.sortIndex();
            }
        }
        if (col && format.generatorStep != 0 && col->m_generator < 0)
            col->m_generator = m_generators.add(col->name, format.generatorValue, format.generatorStep);
    }
    for (int i = 0; i < m_row.count(); ++i) {
        ImportColumn *col = m_row.at(i);
        col->m_format = m_fieldFormats.indexOfName(col->name);
    }
}

void ImportEngine::runRowLoop()
{
    openSource();
    std::exception_ptr failure;
    try {
        m_lineNumber += m_skipFirstRows;
        while (hasMoreRows()) {
            m_recordState = rsNone;
            if (skipRow()) {
                // The leading rows were counted once, before the loop.
                if (!m_rowSeen && m_leadingSkipped < m_skipFirstRows)
                    ++m_leadingSkipped;
                else
                    ++m_lineNumber;
            } else {
                m_rowSeen = true;
                fillImportRow();
                if (m_importDestination == qidUserDefined) {
                    // The owner writes these rows, but a cancel must reach it all the same.
                    if (checkCancel())
                        break;
                    if (onUserDefinedImport)
                        onUserDefinedImport(this, &m_row);
                } else {
                    if (onImportRowComplete)
                        onImportRowComplete(this, &m_row);
                    if (importRow() == 2)
                        break;
                }
            }
            nextRow();
            // Also after a failed row: a file of failing rows must not take
            // the cancel button away.
            if (onYield)
                onYield(this);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        closeSource();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

int ImportEngine::importRow()
{
    const int r = checkCancel() ? 2 : processRowLogged();
    return afterRow(r);
}

bool ImportEngine::checkCancel()
{
    if (!m_canceled)
        return false;
    bool goOn = false;
    if (onImportCancel)
        onImportCancel(this, goOn);
    m_canceled = !goOn;
    return !goOn;
}

int ImportEngine::processRowLogged()
{
    try {
        processRow();
        return 0;
    } catch (const std::exception &e) {
        try {
            cancelRecord();
        } catch (const std::exception &) {
            // The row's own failure is the one worth reporting.
        }
        logError(e);
        return 1;
    }
}

int ImportEngine::afterRow(int r)
{
    const int done = errorCount() + m_importedCount;
    if (m_commitRecCount > 0 && !m_commitAfterDone && done % m_commitRecCount == 0)
        doNeedCommit();
    if (m_importRecCount > 0 && done > 0 && done % m_importRecCount == 0)
        r = 2;
    return r;
}

void ImportEngine::closeSource()
{
    if (m_canceled)
        return;
    if (m_commitAfterDone)
        doNeedCommit();
    else if (m_commitRecCount > 0 && (errorCount() + m_importedCount) % m_commitRecCount != 0)
        doNeedCommit();
}

void ImportEngine::doNeedCommit()
{
    if (onNeedCommit)
        onNeedCommit(this);
}

void ImportEngine::finishImport()
{
    m_formats.restoreFormats();
    m_row.clear();
    m_generators.clear();
    resumeUpdates();
    if (!m_log.isOpen())
        return;
    if (!m_errors.isEmpty())
        writeLogLine(QString());
    writeLogLine(formatMessage(ImportMsg::LogImportFinished, { logTimeStamp() }));
    // A value lost is no failed row, but neither is it "no error".
    if (m_errors.isEmpty() && m_valueErrorCount == 0)
        writeLogLine(loadMessage(ImportMsg::LogNoErrorFound));
    if (!m_errors.isEmpty())
        writeLogLine(formatMessage(ImportMsg::LogErrorsFound, { QString::number(errorCount()) }));
    if (m_valueErrorCount > 0)
        writeLogLine(formatMessage(ImportMsg::LogValuesNotConverted, { QString::number(m_valueErrorCount) }));
    writeLogLine(QString());
    m_log.close();
    if (m_showErrorLog) {
        const QString path = QFileInfo(m_log.fileName()).absoluteFilePath();
        if (onShowErrorLog)
            onShowErrorLog(path);
        else
            QProcess::startDetached(QStringLiteral("xdg-open"), { path });
    }
}

// ---------------------------------------------------------------------------
// Values of the row
// ---------------------------------------------------------------------------

void ImportEngine::setValue(const QString &name, const QString &text)
{
    if (ImportColumn *col = m_row.colByName(name))
        col->value = text.trimmed();
}

void ImportEngine::setValue(ImportColumn *col, const QString &text)
{
    if (col)
        col->value = text.trimmed();
}

void ImportEngine::applyFieldFormat(ImportColumn *col)
{
    if (!col)
        return;
    // The format found when the row was built, unless the list changed since.
    int k = col->m_format;
    if (k < 0 || k >= m_fieldFormats.count() || m_fieldFormats.at(k).fieldName.compare(col->name, Qt::CaseInsensitive) != 0)
        k = m_fieldFormats.indexOfName(col->name);
    if (k < 0)
        return;
    ValueGenerator *generator = nullptr;
    if (col->m_generator >= 0 && col->m_generator < m_generators.count())
        generator = &m_generators.at(col->m_generator);
    ::applyFieldFormat(col->value, m_fieldFormats.at(k), generator);
}

void ImportEngine::applyFieldFormats()
{
    for (int i = 0; i < m_row.count(); ++i)
        applyFieldFormat(m_row.at(i));
}

bool ImportEngine::isMappedColumn(const ImportColumn *col) const
{
    return col->mapIndex >= 0 && (col->columnIndex >= 0 || m_importDestination == qidUserDefined);
}
