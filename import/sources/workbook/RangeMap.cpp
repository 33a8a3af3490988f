#include "import/sources/workbook/RangeMap.h"

#include "core/Cp1252.h"
#include "import/sources/workbook/RangeLanguage.h"
#include "import/sources/workbook/WorkbookFile.h"

#include <algorithm>

// ---------------------------------------------------------------- row

MapRow::MapRow(RangeMap *list, WorkbookFile *file)
    : m_list(list)
    , m_file(file)
{
}

MapRow::~MapRow() = default;

int MapRow::skipRows() const
{
    return m_list ? m_list->skipRows() : 0;
}

int MapRow::skipCols() const
{
    return m_list ? m_list->skipCols() : 0;
}

MapRange *MapRow::add(std::unique_ptr<MapRange> range)
{
    return insert(count(), std::move(range));
}

MapRange *MapRow::insert(int index, std::unique_ptr<MapRange> range)
{
    range->setOwner(this);
    range->resolve();
    range->updateCount();
    MapRange *r = range.get();
    m_ranges.insert(m_ranges.begin() + std::clamp(index, 0, count()), std::move(range));
    updateTotal();
    return r;
}

void MapRow::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    m_ranges.erase(m_ranges.begin() + index);
    updateTotal();
}

void MapRow::move(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    auto range = std::move(m_ranges[std::size_t(from)]);
    m_ranges.erase(m_ranges.begin() + from);
    m_ranges.insert(m_ranges.begin() + to, std::move(range));
}

void MapRow::clear()
{
    m_ranges.clear();
    m_total = 0;
}

void MapRow::updateTotal()
{
    m_total = 0;
    for (const auto &r : m_ranges)
        m_total += r->count();
}

void MapRow::parse(const QString &text)
{
    parseMapRow(text, this);
}

QString MapRow::text() const
{
    QString out;
    for (const auto &r : m_ranges)
        out += r->text();
    return out;
}

QString MapRow::cellText(int n) const
{
    if (!m_file || n <= 0 || n > m_total)
        return QString();
    for (const auto &r : m_ranges) {
        if (n > r->count()) {
            n -= r->count();
            continue;
        }
        int row = 0, col = 0;
        XlsWorkSheet *sheet = m_file->workSheet(r->sheetIndex());
        if (!sheet || !r->cellPosition(n, row, col) || row < 1 || row > RangeLanguage::MaxRow || col < 1 || col > RangeLanguage::MaxCol)
            return QString();
        const QString text = sheet->cellText(row - 1, col - 1);
        // The import works in the program's single-byte character set.
        return Cp1252::toUnicode(Cp1252::fromUnicode(text));
    }
    return QString();
}

bool MapRow::contains(int sheetNumber, const QString &sheetName, int row, int col) const
{
    for (const auto &r : m_ranges)
        if (r->contains(sheetNumber, sheetName, row, col))
            return true;
    return false;
}

void MapRow::removeCell(int sheetNumber, const QString &sheetName, int row, int col)
{
    QString text;
    for (const auto &r : m_ranges) {
        if (!r->contains(sheetNumber, sheetName, row, col) || (r->kind() != rkCol && r->kind() != rkRow && r->kind() != rkCell)) {
            text += r->text();
            continue;
        }
        if (r->kind() == rkCell)
            continue; // the range was that cell
        const bool byRow = r->kind() == rkCol; // positions run along rows
        const int p = byRow ? row : col;
        const int start = byRow ? r->startRow() : r->startCol();
        const int finish = byRow ? r->finishRow() : r->finishCol();
        const int step = r->isForward() ? 1 : -1;
        MapRange changed(*r);
        auto setAlong = [&](MapRange &range, int s, int f) {
            if (byRow)
                range.setBounds(s, range.startCol(), f, range.finishCol());
            else
                range.setBounds(range.startRow(), s, range.finishRow(), f);
        };
        if (start > 0 && p == start) {
            setAlong(changed, start + step, finish);
            text += changed.text();
        } else if (finish > 0 && p == finish) {
            setAlong(changed, start, finish - step);
            text += changed.text();
        } else if (start > 0 && finish > 0) {
            MapRange after(*r);
            setAlong(changed, start, p - step);
            setAlong(after, p + step, finish);
            text += changed.text() + after.text();
        } else {
            text += r->text(); // an open end: the cell cannot be cut out
        }
    }
    if (text.isEmpty())
        clear();
    else
        parse(text);
}

namespace {

bool known(const MapRange &r)
{
    return r.startRow() > 0 && r.startCol() > 0 && r.finishRow() > 0 && r.finishCol() > 0;
}

// Joins next into prev when it continues it; true when it did.
bool join(MapRange &prev, const MapRange &next)
{
    if (!known(prev) || !known(next))
        return false;
    const RangeKind pk = prev.kind();
    const RangeKind nk = next.kind();
    if (pk == rkCol && prev.startCol() == next.startCol() && (nk == rkCell || (nk == rkCol && next.isForward() == prev.isForward()))) {
        const bool follows = prev.isForward() ? next.startRow() == prev.finishRow() + 1 : prev.finishRow() == next.startRow() + 1;
        if (follows)
            prev.setFinishRow(next.finishRow());
        return follows;
    }
    if (pk == rkRow && prev.startRow() == next.startRow() && (nk == rkCell || (nk == rkRow && next.isForward() == prev.isForward()))) {
        const bool follows = prev.isForward() ? next.startCol() == prev.finishCol() + 1 : prev.finishCol() == next.startCol() + 1;
        if (follows)
            prev.setFinishCol(next.finishCol());
        return follows;
    }
    if (pk == rkCell && nk == rkCol && prev.startCol() == next.startCol()) {
        const int step = next.isForward() ? 1 : -1;
        if (prev.startRow() == next.finishRow() + step) {
            prev.setStartRow(next.startRow());
            return true;
        }
        if (prev.startRow() == next.startRow() - step) {
            prev.setFinishRow(next.finishRow());
            return true;
        }
        return false;
    }
    if (pk == rkCell && nk == rkRow && prev.startRow() == next.startRow()) {
        const int step = next.isForward() ? 1 : -1;
        if (prev.startCol() == next.finishCol() + step) {
            prev.setStartCol(next.startCol());
            return true;
        }
        if (prev.startCol() == next.startCol() - step) {
            prev.setFinishCol(next.finishCol());
            return true;
        }
        return false;
    }
    if (pk == rkCell && nk == rkCell) {
        if (prev.startCol() == next.startCol() && std::abs(prev.startRow() - next.startRow()) == 1) {
            prev.setFinishRow(next.startRow());
            return true;
        }
        if (prev.startRow() == next.startRow() && std::abs(prev.startCol() - next.startCol()) == 1) {
            prev.setFinishCol(next.startCol());
            return true;
        }
    }
    return false;
}

} // namespace

void MapRow::merge()
{
    for (int i = count() - 1; i >= 1; --i) {
        MapRange &prev = *m_ranges[std::size_t(i - 1)];
        const MapRange &next = *m_ranges[std::size_t(i)];
        if (!prev.sameSheetAs(next))
            continue;
        const RangeKind before = prev.kind();
        if (!join(prev, next))
            continue;
        if (prev.kind() != before) {
            // Down a column or right along a row runs forward.
            const bool forward = prev.kind() == rkRow ? prev.startCol() <= prev.finishCol() : prev.startRow() <= prev.finishRow();
            prev.setDirection(forward ? rdForward : rdBackward);
        }
        prev.updateCount();
        m_ranges.erase(m_ranges.begin() + i);
    }
    updateTotal();
}

// ---------------------------------------------------------------- list

RangeMap::RangeMap(WorkbookFile *file, int skipRows, int skipCols)
    : m_file(file)
    , m_skipRows(skipRows)
    , m_skipCols(skipCols)
{
}

RangeMap::~RangeMap() = default;

int RangeMap::indexOf(const QString &name) const
{
    for (int i = 0; i < count(); ++i)
        if (QString::compare(m_rows[std::size_t(i)]->name(), name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

MapRow *RangeMap::add(const QString &name, const QString &rangeText)
{
    auto row = std::make_unique<MapRow>(this, m_file);
    row->setName(name);
    row->parse(rangeText);
    m_rows.push_back(std::move(row));
    return m_rows.back().get();
}

void RangeMap::clear()
{
    m_rows.clear();
    m_minRow = m_maxRow = -1;
}

void RangeMap::updateTotals()
{
    m_minRow = m_maxRow = -1;
    for (int i = 0; i < count(); ++i) {
        const int total = row(i)->total();
        if (m_minRow < 0 || total < row(m_minRow)->total())
            m_minRow = i;
        if (m_maxRow < 0 || total > row(m_maxRow)->total())
            m_maxRow = i;
    }
}

int RangeMap::recordCount(ImportRange range) const
{
    const int index = range == qirMin ? m_minRow : m_maxRow;
    return index < 0 ? 0 : row(index)->total();
}

int RangeMap::lastRecordIndex(ImportRange range, int importRecCount) const
{
    int last = recordCount(range) - 1;
    if (importRecCount > 0 && importRecCount - 1 < last)
        last = importRecCount - 1;
    return last;
}

QString RangeMap::cellText(int rowIndex, int recordIndex) const
{
    if (rowIndex < 0 || rowIndex >= count())
        return QString();
    return row(rowIndex)->cellText(recordIndex + 1);
}
