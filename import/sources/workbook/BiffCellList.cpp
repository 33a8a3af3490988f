#include "import/sources/workbook/BiffCellList.h"

#include "import/sources/workbook/BiffCell.h"
#include "import/sources/workbook/XlsArena.h"

#include <algorithm>

BiffCellList::BiffCellList(bool byColumn, const XlsArena &arena)
    : m_arena(&arena)
    , m_byColumn(byColumn)
{
}

BiffCell *BiffCellList::at(quint32 handle) const
{
    return static_cast<BiffCell *>(m_arena->record(handle));
}

int BiffCellList::keyOf(quint32 handle) const
{
    const BiffCell *cell = at(handle);
    return m_byColumn ? cell->column() : cell->row();
}

void BiffCellList::add(BiffCell *cell)
{
    const int key = m_byColumn ? cell->column() : cell->row();
    if (m_items.empty()) {
        m_number = m_byColumn ? cell->row() : cell->column();
        m_lowest = m_highest = key;
    } else {
        if (key < m_lastKey)
            m_sorted = false;
        m_lowest = std::min(m_lowest, key);
        m_highest = std::max(m_highest, key);
    }
    m_lastKey = key;
    m_items.push_back(m_arena->handleOf(cell));
}

void BiffCellList::sort()
{
    if (m_sorted)
        return;
    std::stable_sort(m_items.begin(), m_items.end(), [this](quint32 a, quint32 b) { return keyOf(a) < keyOf(b); });
    m_sorted = true;
}

BiffCell *BiffCellList::find(int position)
{
    sort();
    // Of two records at one place the later one wins, as it would on screen.
    auto it = std::upper_bound(m_items.begin(), m_items.end(), position, [this](int p, quint32 c) { return p < keyOf(c); });
    if (it == m_items.begin())
        return nullptr;
    --it;
    return keyOf(*it) == position ? at(*it) : nullptr;
}

int BiffCellList::lowerBound(int position)
{
    sort();
    auto it = std::lower_bound(m_items.begin(), m_items.end(), position, [this](quint32 c, int p) { return keyOf(c) < p; });
    return int(it - m_items.begin());
}

BiffCell *BiffCellList::cell(int i)
{
    sort();
    return at(m_items[std::size_t(i)]);
}

XlsRow *XlsRowList::row(int index) const
{
    if (index >= 0 && std::size_t(index) < m_rows.size() && m_rows[std::size_t(index)].index == index)
        return m_rows[std::size_t(index)].row.get();
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), index, [](const Entry &e, int i) { return e.index < i; });
    return it != m_rows.end() && it->index == index ? it->row.get() : &m_empty;
}

XlsRow *XlsRowList::grow(int index)
{
    if (m_rows.empty() || m_rows.back().index < index) {
        m_rows.push_back({ index, std::make_unique<XlsRow>(m_arena) });
        return m_rows.back().row.get();
    }
    if (m_rows.back().index == index)
        return m_rows.back().row.get();
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), index, [](const Entry &e, int i) { return e.index < i; });
    if (it == m_rows.end() || it->index != index)
        it = m_rows.insert(it, { index, std::make_unique<XlsRow>(m_arena) });
    return it->row.get();
}

void XlsRowList::squeeze()
{
    m_rows.shrink_to_fit();
    for (auto &entry : m_rows)
        entry.row->squeeze();
}

XlsCol *XlsColList::col(int index) const
{
    int lowest, highest;
    if (!extent(index, lowest, highest))
        return &m_empty;
    std::unique_ptr<XlsCol> &column = m_gathered[index];
    if (!column) {
        column = std::make_unique<XlsCol>(m_rows.arena());
        for (int r = lowest; r <= highest; ++r) {
            XlsRow *row = m_rows.row(r);
            for (int i = row->lowerBound(index); i < row->count() && row->cell(i)->column() == index; ++i)
                column->add(row->cell(i));
        }
    }
    return column.get();
}

void XlsColList::add(BiffCell *cell)
{
    const int index = cell->column();
    if (index >= count())
        m_extents.resize(std::size_t(index) + 1);
    Extent &e = m_extents[std::size_t(index)];
    if (e.lowest < 0) {
        e.lowest = e.highest = cell->row();
    } else {
        e.lowest = std::min(e.lowest, cell->row());
        e.highest = std::max(e.highest, cell->row());
    }
    const auto gathered = m_gathered.find(index);
    if (gathered != m_gathered.end())
        gathered->second->add(cell);
}

bool XlsColList::extent(int index, int &lowest, int &highest) const
{
    lowest = highest = -1;
    if (index < 0 || index >= count() || m_extents[std::size_t(index)].lowest < 0)
        return false;
    lowest = m_extents[std::size_t(index)].lowest;
    highest = m_extents[std::size_t(index)].highest;
    return true;
}

void XlsColList::squeeze()
{
    for (auto &entry : m_gathered)
        entry.second->squeeze();
}

void XlsColList::clear()
{
    m_extents.clear();
    m_gathered.clear();
}
