#pragma once

#include "data/DataSet.h"
#include "import/DataImportCommon.h"
#include "import/DataImportMessages.h"
#include "import/ImportDestinations.h"

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

enum TImportDestination { qidDataSet, qidDBGrid, qidListView, qidStringGrid, qidUserDefined };
enum TImportMode { qimInsertAll, qimInsertNew, qimUpdate, qimUpdateOrInsert, qimDelete, qimDeleteOrInsert };
enum TImportAddType { qatAppend, qatInsert };

// What happened to the destination for the current row.
enum TImportRecordState { rsNone = 0, rsAdded = 1, rsEditing = 2, rsDeleted = 3 };

// One column of the import row.
class TDataImportCol
{
public:
    QString Name; // destination column, from the map (trimmed) or a field format
    QString Value; // the current text
    int ColumnIndex = -1; // the destination column, -1 when unknown
    int MapIndex = -1; // the map line it comes from; -1 for a column a field format added

private:
    friend class TDataImport;
    int m_format = -1; // its field format, found once per import
    int m_generator = -1; // its counter
};

// The import row: its columns in map order, found by name through a sorted
// index without regard to case.
class TDataImportRow
{
public:
    int Count() const { return int(m_cols.size()); }
    TDataImportCol *Items(int i) const { return m_cols[size_t(i)].get(); }
    // The column of that name (binary search); null when none.
    TDataImportCol *ColByName(const QString &name) const;
    int IndexOfName(const QString &name) const;

    // Appends a column; the index is sorted again by SortIndex.
    TDataImportCol *Add(const QString &name, int columnIndex, int mapIndex);
    void SortIndex();
    void Clear();

private:
    struct IndexEntry
    {
        QString key; // upper case
        int column;
    };
    std::vector<std::unique_ptr<TDataImportCol>> m_cols;
    std::vector<IndexEntry> m_index;
};

// The import engine: moves the rows of a source into a destination. Each
// kind of source derives from it and reads its file in the operations below;
// the engine owns the column map, the import row, the per-row cycle, the
// modes that change existing records by key, the commit rhythm, cancellation,
// the error list and the error log.
class TDataImport
{
public:
    TDataImport();
    virtual ~TDataImport();
    TDataImport(const TDataImport &) = delete;
    TDataImport &operator=(const TDataImport &) = delete;

    // Runs one import. Raises EDataImportError on a bad setting (nothing read
    // or written then); an error the row loop cannot absorb is raised after
    // OnAfterImport and the finish.
    void Execute();
    // Asks the running import to stop: OnImportCancel decides at the next row.
    void Cancel() { m_canceled = true; }

    // Destinations. A data set that is destroyed is dropped; the widgets
    // behind the interfaces must be unset by their owner before they go.
    ::DataSet *DataSet() const { return m_dataSet.data(); }
    void SetDataSet(::DataSet *dataSet) { m_dataSet = dataSet; }
    IDataImportGrid *DBGrid() const { return m_dbGrid; }
    void SetDBGrid(IDataImportGrid *grid) { m_dbGrid = grid; }
    IDataImportListView *ListView() const { return m_listView; }
    void SetListView(IDataImportListView *listView) { m_listView = listView; }
    IDataImportStringGrid *StringGrid() const { return m_stringGrid; }
    void SetStringGrid(IDataImportStringGrid *grid) { m_stringGrid = grid; }
    int GridCaptionRow() const { return m_gridCaptionRow; }
    void SetGridCaptionRow(int row) { m_gridCaptionRow = row; }
    int GridStartRow() const { return m_gridStartRow; }
    void SetGridStartRow(int row) { m_gridStartRow = row; }
    TImportDestination ImportDestination() const { return m_importDestination; }
    void SetImportDestination(TImportDestination destination) { m_importDestination = destination; }

    TImportMode ImportMode() const { return m_importMode; }
    void SetImportMode(TImportMode mode) { m_importMode = mode; }
    // Lines "destination column=where the source holds it" (each reader its own form).
    QStringList &Map() { return m_map; }
    const QStringList &Map() const { return m_map; }
    void SetMap(const QStringList &map) { m_map = map; }
    // Name (trimmed) and value of map line i.
    QString MapName(int i) const;
    QString MapValue(int i) const;
    TDataImportFormats &Formats() { return m_formats; }
    const TDataImportFormats &Formats() const { return m_formats; }
    void SetFormats(const TDataImportFormats &formats) { m_formats.Assign(formats); }
    TDataImportFieldFormats &FieldFormats() { return m_fieldFormats; }
    const TDataImportFieldFormats &FieldFormats() const { return m_fieldFormats; }
    void SetFieldFormats(const TDataImportFieldFormats &formats) { m_fieldFormats = formats; }

    bool ErrorLog() const { return m_errorLog; }
    void SetErrorLog(bool on) { m_errorLog = on; }
    QString ErrorLogFileName() const { return m_errorLogFileName; }
    void SetErrorLogFileName(const QString &name) { m_errorLogFileName = name; }
    bool RewriteErrorLogFile() const { return m_rewriteErrorLogFile; }
    void SetRewriteErrorLogFile(bool on) { m_rewriteErrorLogFile = on; }
    bool ShowErrorLog() const { return m_showErrorLog; }
    void SetShowErrorLog(bool on) { m_showErrorLog = on; }

    int ImportRecCount() const { return m_importRecCount; }
    void SetImportRecCount(int count) { m_importRecCount = count; }
    int CommitRecCount() const { return m_commitRecCount; }
    void SetCommitRecCount(int count) { m_commitRecCount = count; }
    bool CommitAfterDone() const { return m_commitAfterDone; }
    void SetCommitAfterDone(bool on) { m_commitAfterDone = on; }
    TImportAddType AddType() const { return m_addType; }
    void SetAddType(TImportAddType type) { m_addType = type; }
    QStringList &KeyColumns() { return m_keyColumns; }
    const QStringList &KeyColumns() const { return m_keyColumns; }
    void SetKeyColumns(const QStringList &columns) { m_keyColumns = columns; }
    // Destination columns a row cannot go without (data set destinations):
    // a value of theirs that cannot be converted, or none at all once the
    // row is written, fails the row with that message instead of posting it
    // without the value.
    const QStringList &RequiredColumns() const { return m_requiredColumns; }
    void SetRequiredColumns(const QStringList &columns) { m_requiredColumns = columns; }

    // The source file; every reader has one.
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &name);
    // Leading source rows that are not data.
    int SkipFirstRows() const { return m_skipFirstRows; }
    void SetSkipFirstRows(int rows) { m_skipFirstRows = rows; }

    // State of the running (or last) import.
    int LineNumber() const { return m_lineNumber; }
    int ImportedCount() const { return m_importedCount; }
    int ErrorCount() const { return int(m_errors.size()); }
    // Values that could not be converted in rows that were still written.
    int ValueErrorCount() const { return m_valueErrorCount; }
    const QStringList &Errors() const { return m_errors; }
    TImportRecordState RecordState() const { return m_recordState; }
    bool Canceled() const { return m_canceled; }
    int TotalRecords() const { return m_totalRecords; }
    TDataImportRow &Row() { return m_row; }
    // The log file as opened (the program's directory put before a bare name).
    QString ErrorLogPath() const;

    // The columns of the current destination.
    int DestinationColumnCount() const;
    QString DestinationColumnName(int index) const;
    int DestinationColumnIndex(const QString &name) const;

    static QString LoadMessage(int id) { return ::LoadMessage(id); }

    // Events; Sender is this engine.
    using TNotifyEvent = std::function<void(TDataImport *Sender)>;
    using TRowEvent = std::function<void(TDataImport *Sender, TDataImportRow *Row)>;
    TNotifyEvent OnBeforeImport;
    TNotifyEvent OnAfterImport;
    TRowEvent OnImportRowComplete;
    std::function<void(TDataImport *Sender, TDataImportRow *Row, bool &Accept)> OnBeforePost;
    TRowEvent OnAfterPost;
    TNotifyEvent OnImportRecord;
    TNotifyEvent OnImportError;
    TNotifyEvent OnImportErrorAdv;
    TNotifyEvent OnNeedCommit;
    std::function<void(TDataImport *Sender, bool &Continue)> OnImportCancel;
    std::function<void(TDataImport *Sender, const QStringList &KeyColumns, TDataImportRow *Row, QString &KeyFields, QVariant &KeyValues)>
        OnDestinationLocate;
    TRowEvent OnUserDefinedImport;
    // Called once per row so that the caller can keep its windows alive (the
    // wizard processes pending window messages here, which is how its cancel
    // button reaches Cancel).
    TNotifyEvent OnYield;
    // Opens the log for ShowErrorLog; unset, the desktop's opener is started.
    std::function<void(const QString &path)> OnShowErrorLog;

protected:
    // The operations of a source, in the order they are met.
    // Prepares the import; a reader that opens its file here calls this after.
    virtual void PrepareImport();
    virtual void OpenSource() = 0;
    virtual bool HasMoreRows() = 0;
    // Whether the current source row is not data; the first SkipFirstRows
    // skipped rows are the leading rows already counted in LineNumber.
    virtual bool SkipRow() { return false; }
    // Sets every row value, SetValue for the mapped ones, then ApplyFieldFormat
    // for every column.
    virtual void FillImportRow() = 0;
    // One row against the destination: 0 go on, 1 failed or skipped, 2 stop.
    virtual int ImportRow();
    virtual void NextRow() { }
    // The final commit; readers release their source after calling it.
    virtual void CloseSource();
    // Restores what the import changed and closes the log; readers free
    // their file objects and call it.
    virtual void FinishImport();
    virtual void FileNameChanged() { }
    // The engine's checks; readers add theirs after calling it.
    virtual void CheckProperties();

    // Building blocks of the readers.
    // Stores text, trimmed, in the row column of that name (nothing when none).
    void SetValue(const QString &name, const QString &text);
    void SetValue(TDataImportCol *col, const QString &text);
    void ApplyFieldFormat(TDataImportCol *col);
    // Applies every column's field format.
    void ApplyFieldFormats();
    // Whether the column takes a value from the source: it comes from the
    // map and its destination column exists (any column for qidUserDefined).
    bool IsMappedColumn(const TDataImportCol *col) const;
    void ProcessRow();
    void CancelRecord();
    void LogError(const QString &message);
    void LogError(const std::exception &error);
    void LogFieldError(const QString &text);
    void DoNeedCommit();
    void SetTotalRecords(int count) { m_totalRecords = count; }
    // A text bound for the database with a character its WIN1252 cannot
    // hold becomes a value error rather than a "?" (sources reading Unicode).
    void SetRefuseUnencodable(bool on) { m_refuseUnencodable = on; }

    // Parts of ImportRow for readers that add their own checks.
    // Asks OnImportCancel when a cancel is pending; true when the import stops.
    bool CheckCancel();
    // ProcessRow; a failure is cancelled, logged and gives 1.
    int ProcessRowLogged();
    // The commit rhythm and the record limit after a row whose result is r.
    int AfterRow(int r);

private:
    void RunRowLoop();
    void BuildImportRow();
    void OpenLog();
    void WriteLogLine(const QString &line);
    QString LogTimeStamp() const;
    void SuspendUpdates();
    void ResumeUpdates();
    void UndoPrepare();
    ::DataSet *DestinationDataSet() const;
    Field *DestinationField(const TDataImportCol *col) const;
    bool LocateByKey();
    bool LocateInListView();
    bool LocateInStringGrid();
    void AddRecord();
    void EditRecord();
    void DeleteRecord();
    void WriteValues();
    void PostRecord();

    QPointer<::DataSet> m_dataSet;
    IDataImportGrid *m_dbGrid = nullptr;
    IDataImportListView *m_listView = nullptr;
    IDataImportStringGrid *m_stringGrid = nullptr;
    int m_gridCaptionRow = -1;
    int m_gridStartRow = -1;
    TImportDestination m_importDestination = qidDataSet;
    TImportMode m_importMode = qimInsertAll;
    QStringList m_map;
    TDataImportFormats m_formats;
    TDataImportFieldFormats m_fieldFormats;
    bool m_errorLog = false;
    QString m_errorLogFileName = QStringLiteral("error.log");
    bool m_rewriteErrorLogFile = true;
    bool m_showErrorLog = false;
    int m_importRecCount = 0;
    int m_commitRecCount = 100;
    bool m_commitAfterDone = true;
    TImportAddType m_addType = qatInsert;
    QStringList m_keyColumns;
    QStringList m_requiredColumns;
    QString m_fileName;
    int m_skipFirstRows = 0;
    bool m_refuseUnencodable = false;

    int m_lineNumber = 1;
    int m_importedCount = 0;
    QStringList m_errors;
    int m_valueErrorCount = 0;
    TImportRecordState m_recordState = rsNone;
    bool m_canceled = false;
    int m_totalRecords = 0;
    int m_leadingSkipped = 0;
    int m_currentItem = -1;
    int m_currentGridRow = -1;
    int m_writeGridRow = -1; // the text grid row the current row goes to
    int m_locatedGridRow = -1;
    QPointer<::DataSet> m_suspendedDataSet;
    IDataImportListView *m_suspendedListView = nullptr;
    bool m_rowSeen = false;
    TDataImportRow m_row;
    TDataImportGenerators m_generators;
    QFile m_log;
};
