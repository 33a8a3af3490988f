#pragma once

#include <QString>

#include <memory>
#include <vector>

// Cell ranges of a workbook source: each imported column takes its values
// from a list of ranges written in a small language ("A2-A200;",
// "[Clients]B-COLFINISH;", "[:2]3-ROWFINISH;"). The k-th imported record
// takes the k-th cell of every column's ranges, in range order.

class WorkbookFile;
class XlsWorkSheet;
class MapRow;
class RangeMap;

// How many records an import takes when the columns yield different counts.
enum ImportRange { qirMax, qirMin };
// How the source's default sheet is named (kept with the settings only).
enum SheetIdType { qstNumber, qstName };

enum RangeDirection { rdForward = 0, rdBackward = 1, rdNotSet = 2 };
enum SheetSelector { ssDefault = 0, ssByName = 1, ssByNumber = 2 };
enum RangeKind { rkCol = 0, rkRow = 1, rkCell = 2, rkUndetermined = 3 };

class MapRange
{
public:
    explicit MapRange(MapRow *owner = nullptr);
    // A copy is free-standing: it has no owner.
    MapRange(const MapRange &other);
    MapRange &operator=(const MapRange &other);

    MapRow *owner() const { return m_owner; }
    void setOwner(MapRow *owner) { m_owner = owner; }
    WorkbookFile *file() const;

    RangeDirection direction() const { return m_direction; }
    void setDirection(RangeDirection direction) { m_direction = direction; }
    // The direction in force: a range without one runs from its start
    // towards its finish.
    bool isForward() const;

    SheetSelector sheetSelector() const { return m_sheetSelector; }
    int sheetNumber() const { return m_sheetNumber; }
    QString sheetName() const { return m_sheetName; }
    void setDefaultSheet();
    void setSheetNumber(int number);
    void setSheetName(const QString &name);
    bool sameSheetAs(const MapRange &other) const;

    // 1-based; 0 is an open end, found in the data when resolved.
    int startRow() const { return m_startRow; }
    int startCol() const { return m_startCol; }
    int finishRow() const { return m_finishRow; }
    int finishCol() const { return m_finishCol; }
    void setStartRow(int row);
    void setStartCol(int col);
    void setFinishRow(int row);
    void setFinishCol(int col);
    void setBounds(int startRow, int startCol, int finishRow, int finishCol);

    RangeKind kind() const { return m_kind; }
    // Cells the range yields once the owner's rows and columns are skipped.
    int count() const { return m_count; }
    void updateCount();

    // The worksheet the range was resolved to (0-based), -1 before.
    int sheetIndex() const { return m_sheetIndex; }
    // Fixes the sheet and the open ends against the owner's workbook (opened
    // when closed). Raises the resolution errors.
    void resolve();

    // The range as text, with its final ";" (empty for an undetermined one).
    QString text() const;
    // Whether the cell (1-based row and column) of the sheet given by number
    // (1-based) and name lies in the range; open ends count as they read.
    bool contains(int sheetNumber, const QString &sheetName, int row, int col) const;
    // Position (1-based) of cell n (1-based) of the range.
    bool cellPosition(int n, int &row, int &col) const;

private:
    void updateKind();
    int skipRows() const;
    int skipCols() const;

    MapRow *m_owner = nullptr;
    RangeDirection m_direction = rdNotSet;
    SheetSelector m_sheetSelector = ssDefault;
    int m_sheetNumber = 0;
    QString m_sheetName;
    int m_startRow = 0;
    int m_startCol = 0;
    int m_finishRow = 0;
    int m_finishCol = 0;
    RangeKind m_kind = rkUndetermined;
    int m_count = 0;
    int m_sheetIndex = -1;
};

// The ranges of one imported column, in text order.
class MapRow
{
public:
    explicit MapRow(RangeMap *list = nullptr, WorkbookFile *file = nullptr);
    ~MapRow();
    MapRow(const MapRow &) = delete;
    MapRow &operator=(const MapRow &) = delete;

    RangeMap *list() const { return m_list; }
    WorkbookFile *file() const { return m_file; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    int skipRows() const;
    int skipCols() const;

    int count() const { return int(m_ranges.size()); }
    MapRange *range(int i) const { return m_ranges[std::size_t(i)].get(); }
    // Takes the range, resolves it when the row has a workbook, counts it.
    MapRange *add(std::unique_ptr<MapRange> range);
    MapRange *insert(int index, std::unique_ptr<MapRange> range);
    void removeAt(int index);
    void move(int from, int to);
    void clear();

    // Sum of the ranges' counts.
    int total() const { return m_total; }
    void updateTotal();

    // Clears the row and reads the range list into it.
    void parse(const QString &text);
    QString text() const;
    // The text of cell n (from 1) as the import takes it: empty without a
    // workbook, beyond the total or where no cell is.
    QString cellText(int n) const;
    bool contains(int sheetNumber, const QString &sheetName, int row, int col) const;
    // Takes one cell out of the ranges that hold it.
    void removeCell(int sheetNumber, const QString &sheetName, int row, int col);
    // Joins neighbouring ranges that continue each other.
    void merge();

private:
    RangeMap *m_list;
    WorkbookFile *m_file;
    QString m_name;
    std::vector<std::unique_ptr<MapRange>> m_ranges;
    int m_total = 0;
};

// One MapRow per column of the import, in map order.
class RangeMap
{
public:
    explicit RangeMap(WorkbookFile *file = nullptr, int skipRows = 0, int skipCols = 0);
    ~RangeMap();
    RangeMap(const RangeMap &) = delete;
    RangeMap &operator=(const RangeMap &) = delete;

    WorkbookFile *file() const { return m_file; }
    int skipRows() const { return m_skipRows; }
    int skipCols() const { return m_skipCols; }

    int count() const { return int(m_rows.size()); }
    MapRow *row(int i) const { return m_rows[std::size_t(i)].get(); }
    // Index of the row of that name, without regard to case; -1 when none.
    int indexOf(const QString &name) const;
    // Adds the row of a map entry: its ranges parsed, resolved and counted.
    MapRow *add(const QString &name, const QString &rangeText);
    void clear();

    // Finds the rows with the smallest and the largest totals (the first one
    // on ties).
    void updateTotals();
    int minRowIndex() const { return m_minRow; }
    int maxRowIndex() const { return m_maxRow; }
    // Records to import: the largest total (qirMax) or the smallest (qirMin).
    int recordCount(ImportRange range) const;
    // Index of the last record to import (0-based), lowered to
    // importRecCount - 1 when that is given and smaller; -1 for none.
    int lastRecordIndex(ImportRange range, int importRecCount) const;
    // The text of record recordIndex (0-based) of a row.
    QString cellText(int rowIndex, int recordIndex) const;

private:
    WorkbookFile *m_file;
    int m_skipRows;
    int m_skipCols;
    std::vector<std::unique_ptr<MapRow>> m_rows;
    int m_minRow = -1;
    int m_maxRow = -1;
};

// Reads a range list into row (cleared first), or only checks it when row
// is null. Raises ImportError with the parser's messages.
void parseMapRow(const QString &text, MapRow *row);
