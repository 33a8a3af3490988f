#pragma once

#include "import/sources/workbook/XlsList.h"

#include <QtGlobal>

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

class BiffCell;
class XlsArena;

// The cells of one row (ordered by column) or of one column (by row). A
// cell is held by its four-byte handle in the workbook's arena rather than
// by pointer: on a large sheet these lists are a fifth of all memory.
class BiffCellList
{
public:
    BiffCellList(bool byColumn, const XlsArena &arena);
    BiffCellList(const BiffCellList &) = delete;
    BiffCellList &operator=(const BiffCellList &) = delete;
    int count() const { return int(m_items.size()); }
    int number() const { return m_number; }
    bool isEmpty() const { return m_items.empty(); }
    int lowest() const { return m_lowest; }
    int highest() const { return m_highest; }
    void add(BiffCell *cell);
    // The cell at the given position along the list; nullptr when none.
    BiffCell *find(int position);
    // Index of the first cell at or after the position (count() when none).
    int lowerBound(int position);
    BiffCell *cell(int i);
    void squeeze() { m_items.shrink_to_fit(); }
    void reserve(std::size_t count) { m_items.reserve(count); }

private:
    BiffCell *at(quint32 handle) const;
    int keyOf(quint32 handle) const;
    void sort();

    std::vector<quint32> m_items;
    const XlsArena *m_arena;
    int m_number = -1;
    int m_lowest = -1;
    int m_highest = -1;
    int m_lastKey = -1; // of the cell added last
    bool m_byColumn; // a row: cells ordered by column
    bool m_sorted = true;
};

class XlsRow : public BiffCellList
{
public:
    explicit XlsRow(const XlsArena &arena)
        : BiffCellList(true, arena)
    {
    }
};

class XlsCol : public BiffCellList
{
public:
    explicit XlsCol(const XlsArena &arena)
        : BiffCellList(false, arena)
    {
    }
};

// The rows of a worksheet by row index. Only rows that hold cells are kept,
// so memory follows the cells present, not the highest index a record names;
// an index without cells answers with an empty row.
class XlsRowList : public XlsList
{
public:
    // The arena that holds the rows' cells.
    explicit XlsRowList(const XlsArena &arena)
        : m_arena(arena)
        , m_empty(arena)
    {
    }
    const XlsArena &arena() const { return m_arena; }
    // One past the highest row index that holds a cell.
    int count() const { return m_rows.empty() ? 0 : m_rows.back().index + 1; }
    XlsRow *row(int index) const;
    // The row at that index, made when it holds no cell yet.
    XlsRow *grow(int index);
    void squeeze();
    void clear() { m_rows.clear(); }

private:
    // By index; rows mostly come in order and without gaps, so the entry of
    // row i is mostly the i-th.
    struct Entry
    {
        int index;
        std::unique_ptr<XlsRow> row;
    };
    const XlsArena &m_arena;
    std::vector<Entry> m_rows;
    mutable XlsRow m_empty;
};

// The columns of a worksheet by column index. Each column's extent is kept
// as cells are added; its list of cells, which only a lookup by column
// needs, is gathered from the rows on first use and kept up to date from
// then on. The cells themselves are the rows' ones.
class XlsColList : public XlsList
{
public:
    explicit XlsColList(const XlsRowList &rows)
        : m_rows(rows)
        , m_empty(rows.arena())
    {
    }
    // One past the highest column index that holds a cell.
    int count() const { return int(m_extents.size()); }
    XlsCol *col(int index) const;
    // A cell just added to the rows.
    void add(BiffCell *cell);
    // Whether the column holds a cell, and its lowest and highest row.
    bool extent(int index, int &lowest, int &highest) const;
    void squeeze();
    void clear();

private:
    struct Extent
    {
        int lowest = -1;
        int highest = -1;
    };
    const XlsRowList &m_rows;
    std::vector<Extent> m_extents;
    mutable std::map<int, std::unique_ptr<XlsCol>> m_gathered;
    mutable XlsCol m_empty;
};
