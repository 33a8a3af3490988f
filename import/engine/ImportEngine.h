#pragma once

#include "data/DataSet.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/engine/ImportDestinations.h"

#include <QFile>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class Field;

enum ImportDestination { qidDataSet, qidDBGrid, qidListView, qidStringGrid, qidUserDefined };
enum ImportMode { qimInsertAll, qimInsertNew, qimUpdate, qimUpdateOrInsert, qimDelete, qimDeleteOrInsert };
enum ImportAddType { qatAppend, qatInsert };

// What happened to the destination for the current row.
enum ImportRecordState { rsNone = 0, rsAdded = 1, rsEditing = 2, rsDeleted = 3 };

// One column of the import row.
class ImportColumn
{
public:
    QString name; // destination column, from the map (trimmed) or a field format
    QString value; // the current text
    int columnIndex = -1; // the destination column, -1 when unknown
    int mapIndex = -1; // the map line it comes from; -1 for a column a field format added

private:
    friend class ImportEngine;
    int m_format = -1; // its field format, found once per import
    int m_generator = -1; // its counter
};

// The import row: its columns in map order, found by name through a sorted
// index without regard to case.
class ImportRow
{
public:
    int count() const { return int(m_cols.size()); }
    ImportColumn *at(int i) const { return m_cols[size_t(i)].get(); }
    // The column of that name (binary search); null when none.
    ImportColumn *colByName(const QString &name) const;
    int indexOfName(const QString &name) const;

    // Appends a column; the index is sorted again by SortIndex.
    ImportColumn *add(const QString &name, int columnIndex, int mapIndex);
    void sortIndex();
    void clear();

private:
    struct IndexEntry
    {
        QString key; // upper case
        int column;
    };
    std::vector<std::unique_ptr<ImportColumn>> m_cols;
    std::vector<IndexEntry> m_index;
};

// The import engine: moves the rows of a source into a destination. Each
// kind of source derives from it and reads its file in the operations below;
// the engine owns the column map, the import row, the per-row cycle, the
// modes that change existing records by key, the commit rhythm, cancellation,
// the error list and the error log.
class ImportEngine
{
public:
    ImportEngine();
    virtual ~ImportEngine();
    ImportEngine(const ImportEngine &) = delete;
    ImportEngine &operator=(const ImportEngine &) = delete;

    // Runs one import. Raises ImportError on a bad setting (nothing read
    // or written then); an error the row loop cannot absorb is raised after
    // onAfterImport and the finish.
    void execute();
    // Asks the running import to stop: onImportCancel decides at the next row.
    void cancel() { m_canceled = true; }

    // Destinations. A data set that is destroyed is dropped; the widgets
    // behind the interfaces must be unset by their owner before they go.
    ::DataSet *dataSet() const { return m_dataSet.data(); }
    void setDataSet(::DataSet *dataSet) { m_dataSet = dataSet; }
    GridDestination *dbGrid() const { return m_dbGrid; }
    void setDbGrid(GridDestination *grid) { m_dbGrid = grid; }
    ListViewDestination *listView() const { return m_listView; }
    void setListView(ListViewDestination *listView) { m_listView = listView; }
    StringGridDestination *stringGrid() const { return m_stringGrid; }
    void setStringGrid(StringGridDestination *grid) { m_stringGrid = grid; }
    int gridCaptionRow() const { return m_gridCaptionRow; }
    void setGridCaptionRow(int row) { m_gridCaptionRow = row; }
    int gridStartRow() const { return m_gridStartRow; }
    void setGridStartRow(int row) { m_gridStartRow = row; }
    ImportDestination importDestination() const { return m_importDestination; }
    void setImportDestination(ImportDestination destination) { m_importDestination = destination; }

    ImportMode importMode() const { return m_importMode; }
    void setImportMode(ImportMode mode) { m_importMode = mode; }
    // Lines "destination column=where the source holds it" (each reader its own form).
    QStringList &map() { return m_map; }
    const QStringList &map() const { return m_map; }
    void setMap(const QStringList &map) { m_map = map; }
    // Name (trimmed) and value of map line i.
    QString mapName(int i) const;
    QString mapValue(int i) const;
    ImportFormats &formats() { return m_formats; }
    const ImportFormats &formats() const { return m_formats; }
    void setFormats(const ImportFormats &formats) { m_formats.assign(formats); }
    FieldFormats &fieldFormats() { return m_fieldFormats; }
    const FieldFormats &fieldFormats() const { return m_fieldFormats; }
    void setFieldFormats(const FieldFormats &formats) { m_fieldFormats = formats; }

    bool errorLog() const { return m_errorLog; }
    void setErrorLog(bool on) { m_errorLog = on; }
    QString errorLogFileName() const { return m_errorLogFileName; }
    void setErrorLogFileName(const QString &name) { m_errorLogFileName = name; }
    bool rewriteErrorLogFile() const { return m_rewriteErrorLogFile; }
    void setRewriteErrorLogFile(bool on) { m_rewriteErrorLogFile = on; }
    bool showErrorLog() const { return m_showErrorLog; }
    void setShowErrorLog(bool on) { m_showErrorLog = on; }

    int importRecCount() const { return m_importRecCount; }
    void setImportRecCount(int count) { m_importRecCount = count; }
    int commitRecCount() const { return m_commitRecCount; }
    void setCommitRecCount(int count) { m_commitRecCount = count; }
    bool commitAfterDone() const { return m_commitAfterDone; }
    void setCommitAfterDone(bool on) { m_commitAfterDone = on; }
    ImportAddType addType() const { return m_addType; }
    void setAddType(ImportAddType type) { m_addType = type; }
    QStringList &keyColumns() { return m_keyColumns; }
    const QStringList &keyColumns() const { return m_keyColumns; }
    void setKeyColumns(const QStringList &columns) { m_keyColumns = columns; }
    // Destination columns a row cannot go without (data set destinations):
    // a value of theirs that cannot be converted, or none at all once the
    // row is written, fails the row with that message instead of posting it
    // without the value.
    const QStringList &requiredColumns() const { return m_requiredColumns; }
    void setRequiredColumns(const QStringList &columns) { m_requiredColumns = columns; }

    // The source file; every reader has one.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name);
    // Leading source rows that are not data.
    int skipFirstRows() const { return m_skipFirstRows; }
    void setSkipFirstRows(int rows) { m_skipFirstRows = rows; }

    // State of the running (or last) import.
    int lineNumber() const { return m_lineNumber; }
    int importedCount() const { return m_importedCount; }
    int errorCount() const { return int(m_errors.size()); }
    // Values that could not be converted in rows that were still written.
    int valueErrorCount() const { return m_valueErrorCount; }
    const QStringList &errors() const { return m_errors; }
    ImportRecordState recordState() const { return m_recordState; }
    bool canceled() const { return m_canceled; }
    int totalRecords() const { return m_totalRecords; }
    ImportRow &row() { return m_row; }
    // The log file as opened (the program's directory put before a bare name).
    QString errorLogPath() const;

    // The columns of the current destination.
    int destinationColumnCount() const;
    QString destinationColumnName(int index) const;
    int destinationColumnIndex(const QString &name) const;

    static QString loadMessage(int id) { return ::loadMessage(id); }

    // Events; Sender is this engine.
    using NotifyEvent = std::function<void(ImportEngine *Sender)>;
    using RowEvent = std::function<void(ImportEngine *Sender, ImportRow *Row)>;
    NotifyEvent onBeforeImport;
    NotifyEvent onAfterImport;
    RowEvent onImportRowComplete;
    std::function<void(ImportEngine *Sender, ImportRow *Row, bool &Accept)> onBeforePost;
    RowEvent onAfterPost;
    NotifyEvent onImportRecord;
    NotifyEvent onImportError;
    NotifyEvent onImportErrorAdv;
    NotifyEvent onNeedCommit;
    std::function<void(ImportEngine *Sender, bool &Continue)> onImportCancel;
    std::function<void(ImportEngine *Sender, const QStringList &KeyColumns, ImportRow *Row, QString &KeyFields, QVariant &KeyValues)>
        onDestinationLocate;
    RowEvent onUserDefinedImport;
    // Called once per row so that the caller can keep its windows alive (the
    // wizard processes pending window messages here, which is how its cancel
    // button reaches Cancel).
    NotifyEvent onYield;
    // Opens the log for ShowErrorLog; unset, the desktop's opener is started.
    std::function<void(const QString &path)> onShowErrorLog;

protected:
    // The operations of a source, in the order they are met.
    // Prepares the import; a reader that opens its file here calls this after.
    virtual void prepareImport();
    virtual void openSource() = 0;
    virtual bool hasMoreRows() = 0;
    // Whether the current source row is not data; the first SkipFirstRows
    // skipped rows are the leading rows already counted in LineNumber.
    virtual bool skipRow() { return false; }
    // Sets every row value, SetValue for the mapped ones, then ApplyFieldFormat
    // for every column.
    virtual void fillImportRow() = 0;
    // One row against the destination: 0 go on, 1 failed or skipped, 2 stop.
    virtual int importRow();
    virtual void nextRow() { }
    // The final commit; readers release their source after calling it.
    virtual void closeSource();
    // Restores what the import changed and closes the log; readers free
    // their file objects and call it.
    virtual void finishImport();
    virtual void fileNameChanged() { }
    // The engine's checks; readers add theirs after calling it.
    virtual void checkProperties();

    // Building blocks of the readers.
    // Stores text, trimmed, in the row column of that name (nothing when none).
    void setValue(const QString &name, const QString &text);
    void setValue(ImportColumn *col, const QString &text);
    void applyFieldFormat(ImportColumn *col);
    // Applies every column's field format.
    void applyFieldFormats();
    // Whether the column takes a value from the source: it comes from the
    // map and its destination column exists (any column for qidUserDefined).
    bool isMappedColumn(const ImportColumn *col) const;
    void processRow();
    void cancelRecord();
    void logError(const QString &message);
    void logError(const std::exception &error);
    void logFieldError(const QString &text);
    void doNeedCommit();
    void setTotalRecords(int count) { m_totalRecords = count; }
    // A text bound for the database with a character its WIN1252 cannot
    // hold becomes a value error rather than a "?" (sources reading Unicode).
    void setRefuseUnencodable(bool on) { m_refuseUnencodable = on; }

    // Parts of ImportRow for readers that add their own checks.
    // Asks onImportCancel when a cancel is pending; true when the import stops.
    bool checkCancel();
    // ProcessRow; a failure is cancelled, logged and gives 1.
    int processRowLogged();
    // The commit rhythm and the record limit after a row whose result is r.
    int afterRow(int r);

private:
    void runRowLoop();
    void buildImportRow();
    void openLog();
    void writeLogLine(const QString &line);
    QString logTimeStamp() const;
    void suspendUpdates();
    void resumeUpdates();
    void undoPrepare();
    ::DataSet *destinationDataSet() const;
    Field *destinationField(const ImportColumn *col) const;
    bool locateByKey();
    bool locateInListView();
    bool locateInStringGrid();
    void addRecord();
    void editRecord();
    void deleteRecord();
    void writeValues();
    void postRecord();

    QPointer<::DataSet> m_dataSet;
    GridDestination *m_dbGrid = nullptr;
    ListViewDestination *m_listView = nullptr;
    StringGridDestination *m_stringGrid = nullptr;
    int m_gridCaptionRow = -1;
    int m_gridStartRow = -1;
    ImportDestination m_importDestination = qidDataSet;
    ImportMode m_importMode = qimInsertAll;
    QStringList m_map;
    ImportFormats m_formats;
    FieldFormats m_fieldFormats;
    bool m_errorLog = false;
    QString m_errorLogFileName = QStringLiteral("error.log");
    bool m_rewriteErrorLogFile = true;
    bool m_showErrorLog = false;
    int m_importRecCount = 0;
    int m_commitRecCount = 100;
    bool m_commitAfterDone = true;
    ImportAddType m_addType = qatInsert;
    QStringList m_keyColumns;
    QStringList m_requiredColumns;
    QString m_fileName;
    int m_skipFirstRows = 0;
    bool m_refuseUnencodable = false;

    int m_lineNumber = 1;
    int m_importedCount = 0;
    QStringList m_errors;
    int m_valueErrorCount = 0;
    ImportRecordState m_recordState = rsNone;
    bool m_canceled = false;
    int m_totalRecords = 0;
    int m_leadingSkipped = 0;
    int m_currentItem = -1;
    int m_currentGridRow = -1;
    int m_writeGridRow = -1; // the text grid row the current row goes to
    int m_locatedGridRow = -1;
    QPointer<::DataSet> m_suspendedDataSet;
    ListViewDestination *m_suspendedListView = nullptr;
    bool m_rowSeen = false;
    ImportRow m_row;
    ValueGenerators m_generators;
    QFile m_log;
};
