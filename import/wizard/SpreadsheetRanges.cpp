#include "import/engine/ImportMessages.h"
#include "import/wizard/RangeEditor.h"
#include "import/wizard/SheetGrid.h"
#include "import/wizard/SpreadsheetPage.h"

#include <QApplication>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

// The spreadsheet page's range tools: the buttons that add, edit, move and
// fill ranges, and the selection made with the mouse on a sheet's grid.

namespace {

std::unique_ptr<MapRange> wholeLine(bool column, int position, const QString &sheetName)
{
    auto range = std::make_unique<MapRange>();
    range->setDirection(rdForward);
    range->setSheetName(sheetName);
    if (column)
        range->setBounds(0, position, 0, position);
    else
        range->setBounds(position, 0, position, 0);
    return range;
}

bool knownEnds(const MapRange &r)
{
    return r.startRow() > 0 && r.startCol() > 0 && r.finishRow() > 0 && r.finishCol() > 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Tool buttons
// ---------------------------------------------------------------------------

void SpreadsheetPage::addRange()
{
    const int field = currentField();
    SheetGrid *grid = activeGrid();
    if (field < 0 || !grid)
        return;
    MapRange range;
    range.setBounds(0, 1, 0, 1);
    range.setDirection(rdForward);
    range.setSheetName(grid->sheetName());
    QStringList names;
    for (int i = 0; i < m_file.workSheetCount(); ++i)
        names << m_file.workSheetName(i);
    RangeEditor dialog(range, names, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    MapRow &row = *m_rows[std::size_t(field)];
    row.add(std::make_unique<MapRange>(dialog.range()));
    storeField(field);
    showRanges({ row.count() - 1 });
}

void SpreadsheetPage::editRange()
{
    const int field = currentField();
    const QList<int> selected = selectedRanges();
    if (field < 0 || selected.size() != 1)
        return;
    MapRow &row = *m_rows[std::size_t(field)];
    MapRange *range = row.range(selected[0]);
    QStringList names;
    for (int i = 0; i < m_file.workSheetCount(); ++i)
        names << m_file.workSheetName(i);
    RangeEditor dialog(*range, names, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    *range = dialog.range();
    row.updateTotal();
    storeField(field);
    showRanges(selected);
}

void SpreadsheetPage::deleteRanges()
{
    const int field = currentField();
    const QList<int> selected = selectedRanges();
    if (field < 0 || selected.isEmpty())
        return;
    MapRow &row = *m_rows[std::size_t(field)];
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        row.removeAt(*it);
    storeField(field);
    showRanges();
}

void SpreadsheetPage::moveRange(int step)
{
    const int field = currentField();
    const QList<int> selected = selectedRanges();
    if (field < 0 || selected.size() != 1)
        return;
    MapRow &row = *m_rows[std::size_t(field)];
    const int to = selected[0] + step;
    if (to < 0 || to >= row.count())
        return;
    row.move(selected[0], to);
    storeField(field);
    showRanges({ to });
}

void SpreadsheetPage::autoFill(bool columns)
{
    SheetGrid *grid = activeGrid();
    XlsWorkSheet *sheet = grid ? m_file.workSheet(grid->sheetIndex()) : nullptr;
    if (!sheet)
        return;
    cancelPending();
    const int entries = columns ? sheet->cols().count() : sheet->rows().count();
    for (int i = 0; i < int(m_rows.size()); ++i) {
        MapRow &row = *m_rows[std::size_t(i)];
        row.clear();
        int lowest = 0, highest = 0;
        // A line of the used area without any cell would give a range the
        // import refuses: its destination column stays unmapped.
        const bool used = i < entries && (columns ? sheet->colExtent(i, lowest, highest) : sheet->rowExtent(i, lowest, highest));
        if (used)
            row.add(wholeLine(columns, i + 1, grid->sheetName()));
        settings().xlsRanges.setValue(settings().columns().value(i), row.text());
    }
    emit mapEdited();
    showRanges();
}

void SpreadsheetPage::clearFieldRanges()
{
    const int field = currentField();
    if (field < 0)
        return;
    m_rows[std::size_t(field)]->clear();
    storeField(field);
    showRanges();
}

void SpreadsheetPage::clearAllRanges()
{
    for (int i = 0; i < int(m_rows.size()); ++i) {
        m_rows[std::size_t(i)]->clear();
        settings().xlsRanges.setValue(settings().columns().value(i), QString());
    }
    emit mapEdited();
    showRanges();
}

// ---------------------------------------------------------------------------
// The selection on the grid
// ---------------------------------------------------------------------------

void SpreadsheetPage::cellClicked(int row, int col, Qt::KeyboardModifiers modifiers)
{
    SheetGrid *grid = activeGrid();
    if (!grid)
        return;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (!shift && !ctrl) {
        cancelPending();
        m_currentRow = row;
        m_currentCol = col;
        return;
    }
    const int sheetNumber = grid->sheetIndex() + 1;
    if (shift) {
        if (row != m_currentRow && col != m_currentCol) {
            cancelPending();
            return;
        }
        extendTo(row, col);
    } else {
        if (m_pending.contains(sheetNumber, grid->sheetName(), row, col)) {
            m_pending.removeCell(sheetNumber, grid->sheetName(), row, col);
            restoreSheetNames(m_pending);
        } else {
            auto cell = std::make_unique<MapRange>();
            cell->setSheetName(grid->sheetName());
            cell->setBounds(row, col, row, col);
            addPending(std::move(cell));
        }
        m_currentRow = row;
        m_currentCol = col;
    }
    pendingChanged();
}

void SpreadsheetPage::extendTo(int row, int col)
{
    SheetGrid *grid = activeGrid();
    const int sheetNumber = grid->sheetIndex() + 1;
    const QString name = grid->sheetName();
    const int anchorRow = m_currentRow;
    const int anchorCol = m_currentCol;

    // A click back inside the last range, which holds the current cell too:
    // the range is cut at the clicked cell on the side away from the
    // current one, as a selection from the current cell to there.
    const bool down = col == anchorCol;
    if (m_pending.count() > 0) {
        MapRange &last = *m_pending.range(m_pending.count() - 1);
        const bool along = down ? last.kind() == rkCol : last.kind() == rkRow;
        if (along && knownEnds(last) && last.contains(sheetNumber, name, row, col)
            && last.contains(sheetNumber, name, anchorRow, anchorCol)) {
            const int clicked = down ? row : col;
            const int anchor = down ? anchorRow : anchorCol;
            const int start = down ? last.startRow() : last.startCol();
            const int finish = down ? last.finishRow() : last.finishCol();
            // Which end lies on the clicked side of the current cell.
            const bool cutFinish = (clicked >= anchor) == (finish >= start);
            if (down)
                cutFinish ? last.setFinishRow(clicked) : last.setStartRow(clicked);
            else
                cutFinish ? last.setFinishCol(clicked) : last.setStartCol(clicked);
            return;
        }
    }
    // Otherwise every cell from the current one to the clicked one that is
    // not selected yet, top to bottom or left to right.
    const int from = down ? std::min(row, anchorRow) : std::min(col, anchorCol);
    const int to = down ? std::max(row, anchorRow) : std::max(col, anchorCol);
    for (int p = from; p <= to; ++p) {
        const int r = down ? p : row;
        const int c = down ? col : p;
        if (m_pending.contains(sheetNumber, name, r, c))
            continue;
        auto cell = std::make_unique<MapRange>();
        cell->setSheetName(name);
        cell->setBounds(r, c, r, c);
        addPending(std::move(cell));
    }
}

void SpreadsheetPage::headerClicked(bool column, int position, Qt::KeyboardModifiers modifiers)
{
    SheetGrid *grid = activeGrid();
    if (!grid)
        return;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    int &current = column ? m_currentCol : m_currentRow;
    if (!shift && !ctrl) {
        cancelPending();
        current = position;
        return;
    }
    const int sheetNumber = grid->sheetIndex() + 1;
    // The pending whole column (row) at p, -1 when there is none.
    auto present = [&](int p) {
        for (int i = 0; i < m_pending.count(); ++i) {
            const MapRange &r = *m_pending.range(i);
            const bool whole = column ? r.kind() == rkCol && r.startCol() == p && r.startRow() == 0 && r.finishRow() == 0
                                      : r.kind() == rkRow && r.startRow() == p && r.startCol() == 0 && r.finishCol() == 0;
            if (whole && r.contains(sheetNumber, grid->sheetName(), column ? 1 : p, column ? p : 1))
                return i;
        }
        return -1;
    };
    if (shift) {
        for (int p = std::min(current, position); p <= std::max(current, position); ++p)
            if (present(p) < 0)
                addPending(wholeLine(column, p, grid->sheetName()));
    } else {
        const int i = present(position);
        if (i >= 0)
            m_pending.removeAt(i);
        else
            addPending(wholeLine(column, position, grid->sheetName()));
        current = position;
    }
    pendingChanged();
}

void SpreadsheetPage::addPending(std::unique_ptr<MapRange> range)
{
    m_pending.add(std::move(range));
}

void SpreadsheetPage::pendingChanged()
{
    m_pending.merge();
    m_pendingList->clear();
    for (int i = 0; i < m_pending.count(); ++i)
        m_pendingList->addItem(m_pending.range(i)->text());
    const bool pending = m_pending.count() > 0;
    m_rangeStack->setCurrentWidget(pending ? m_pendingList : m_ranges);
    for (int i = 0; i < m_sheets->count(); ++i)
        if (SheetGrid *g = grid(i))
            g->setSelectionPending(pending);
    repaintGrids();
}

void SpreadsheetPage::applyPending()
{
    const int field = currentField();
    if (m_pending.count() == 0)
        return;
    if (field < 0) {
        QApplication::beep();
        return;
    }
    MapRow &row = *m_rows[std::size_t(field)];
    // Only ranges the operator chose in the list give way: those the page
    // selected itself after the last addition stay.
    const QList<int> selected = m_rangesChosen ? selectedRanges() : QList<int>();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        row.removeAt(*it);
    QList<int> added;
    for (int i = 0; i < m_pending.count(); ++i) {
        row.add(std::make_unique<MapRange>(*m_pending.range(i)));
        added << row.count() - 1;
    }
    m_pending.clear();
    pendingChanged();
    storeField(field);
    showRanges(added);
}

void SpreadsheetPage::cancelPending()
{
    if (m_pending.count() == 0)
        return;
    m_pending.clear();
    pendingChanged();
}
