#include "import/wizard/SheetGridAccessible.h"

#include "import/wizard/SheetGrid.h"

#include <QHeaderView>
#include <QPointer>
#include <QWindow>

namespace {

qint64 cellKey(int row, int col)
{
    return (qint64(row) + 1) << 32 | quint32(col + 1);
}

// One cell of the part shown, or a heading (row or column -1). It keeps the
// model row and column, not a tracked model index.
class SheetCell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    SheetCell(SheetGrid *grid, int row, int col)
        : m_grid(grid)
        , m_row(row)
        , m_col(col)
    {
    }

    int row() const { return m_row; }
    int col() const { return m_col; }

    bool isValid() const override { return !m_grid.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override { }

    QString text(QAccessible::Text t) const override
    {
        if (!m_grid || t != QAccessible::Name || (m_row < 0 && m_col < 0))
            return QString();
        const QAbstractItemModel *model = m_grid->model();
        if (m_row < 0)
            return model->headerData(m_col, Qt::Horizontal, Qt::DisplayRole).toString();
        if (m_col < 0)
            return model->headerData(m_row, Qt::Vertical, Qt::DisplayRole).toString();
        return model->index(m_row, m_col).data(Qt::DisplayRole).toString();
    }

    QAccessible::Role role() const override
    {
        if (m_row < 0)
            return m_col < 0 ? QAccessible::Pane : QAccessible::ColumnHeader;
        return m_col < 0 ? QAccessible::RowHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_grid)
            return s;
        if (role() == QAccessible::Cell) {
            s.focusable = true;
            s.focused = m_grid->hasFocus() && m_grid->currentIndex() == m_grid->model()->index(m_row, m_col);
        }
        if (!m_grid->isVisible())
            s.invisible = true;
        return s;
    }

    QRect rect() const override
    {
        if (!m_grid)
            return QRect();
        const QHeaderView *top = m_grid->horizontalHeader();
        const QHeaderView *left = m_grid->verticalHeader();
        if (m_row >= 0 && m_col >= 0) {
            const QRect r = m_grid->visualRect(m_grid->model()->index(m_row, m_col));
            return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        if (m_row < 0 && m_col >= 0)
            return QRect(top->viewport()->mapToGlobal(QPoint(top->sectionViewportPosition(m_col), 0)),
                QSize(top->sectionSize(m_col), top->height()));
        if (m_col < 0 && m_row >= 0)
            return QRect(left->viewport()->mapToGlobal(QPoint(0, left->sectionViewportPosition(m_row))),
                QSize(left->width(), left->sectionSize(m_row)));
        const int frame = m_grid->frameWidth();
        return QRect(m_grid->mapToGlobal(QPoint(frame, frame)), QSize(left->width(), top->height()));
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface && m_row >= 0 && m_col >= 0)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface: places in the part shown.
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return heading(-1, m_col); }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return heading(m_row, -1); }
    int columnIndex() const override
    {
        const SheetGridAccessible *t = grid();
        return t ? m_col - t->shown().firstCol : -1;
    }
    int rowIndex() const override
    {
        const SheetGridAccessible *t = grid();
        return t ? m_row - t->shown().firstRow : -1;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    SheetGridAccessible *grid() const { return dynamic_cast<SheetGridAccessible *>(parent()); }

    QList<QAccessibleInterface *> heading(int row, int col) const
    {
        if (const SheetGridAccessible *t = grid())
            if (QAccessibleInterface *h = t->cell(row, col))
                return { h };
        return {};
    }

    QPointer<SheetGrid> m_grid;
    int m_row;
    int m_col;
};

QAccessibleInterface *sheetGridFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SheetGrid"))
        if (auto *grid = qobject_cast<SheetGrid *>(object))
            return new SheetGridAccessible(grid);
    return nullptr;
}

} // namespace

SheetGridAccessible::SheetGridAccessible(SheetGrid *grid)
    : QAccessibleWidget(grid, QAccessible::Table)
{
}

SheetGridAccessible::~SheetGridAccessible()
{
    forgetCells();
}

void SheetGridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(sheetGridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

SheetGrid *SheetGridAccessible::grid() const
{
    return static_cast<SheetGrid *>(widget());
}

SheetGridAccessible::Shown SheetGridAccessible::shown() const
{
    Shown s;
    const SheetGrid *g = grid();
    if (!g || !g->model())
        return s;
    const int width = g->viewport()->width();
    const int height = g->viewport()->height();
    const int top = g->rowAt(0);
    const int left = g->columnAt(0);
    if (width <= 0 || height <= 0 || top < 0 || left < 0)
        return s;
    int bottom = g->rowAt(height - 1);
    if (bottom < 0)
        bottom = g->model()->rowCount() - 1;
    int right = g->columnAt(width - 1);
    if (right < 0)
        right = g->model()->columnCount() - 1;
    s.firstRow = top;
    s.rows = bottom - top + 1;
    s.firstCol = left;
    s.cols = right - left + 1;
    return s;
}

int SheetGridAccessible::childIndex(int row, int col) const
{
    const Shown s = shown();
    if (s.rows <= 0 || s.cols <= 0)
        return -1;
    if ((row >= 0 && (row < s.firstRow || row >= s.firstRow + s.rows)) || (col >= 0 && (col < s.firstCol || col >= s.firstCol + s.cols)))
        return -1;
    const int r = row < 0 ? 0 : row - s.firstRow + 1;
    const int c = col < 0 ? 0 : col - s.firstCol + 1;
    return r * (s.cols + 1) + c;
}

QAccessibleInterface *SheetGridAccessible::cell(int row, int col) const
{
    const qint64 key = cellKey(row, col);
    const auto it = m_cells.constFind(key);
    if (it != m_cells.constEnd())
        if (QAccessibleInterface *known = QAccessible::accessibleInterface(*it))
            return known;
    auto *made = new SheetCell(grid(), row, col);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

void SheetGridAccessible::forgetCells()
{
    const QHash<qint64, QAccessible::Id> cells = std::exchange(m_cells, {});
    for (QAccessible::Id id : cells)
        QAccessible::deleteAccessibleInterface(id);
}

void *SheetGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

int SheetGridAccessible::childCount() const
{
    const Shown s = shown();
    return s.rows > 0 && s.cols > 0 ? (s.rows + 1) * (s.cols + 1) : 0;
}

QAccessibleInterface *SheetGridAccessible::child(int index) const
{
    const Shown s = shown();
    if (index < 0 || index >= childCount())
        return nullptr;
    const int r = index / (s.cols + 1) - 1;
    const int c = index % (s.cols + 1) - 1;
    return cell(r < 0 ? -1 : s.firstRow + r, c < 0 ? -1 : s.firstCol + c);
}

int SheetGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *c = dynamic_cast<const SheetCell *>(child);
    return c && c->parent() == this ? childIndex(c->row(), c->col()) : -1;
}

QAccessibleInterface *SheetGridAccessible::childAt(int x, int y) const
{
    const SheetGrid *g = grid();
    if (!g)
        return nullptr;
    const QPoint global(x, y);
    const QPoint inCells = g->viewport()->mapFromGlobal(global);
    if (g->viewport()->rect().contains(inCells)) {
        const QModelIndex index = g->indexAt(inCells);
        return index.isValid() ? cell(index.row(), index.column()) : nullptr;
    }
    const QHeaderView *top = g->horizontalHeader();
    const QPoint inTop = top->viewport()->mapFromGlobal(global);
    if (top->viewport()->rect().contains(inTop)) {
        const int col = top->logicalIndexAt(inTop);
        return col >= 0 ? cell(-1, col) : nullptr;
    }
    const QHeaderView *left = g->verticalHeader();
    const QPoint inLeft = left->viewport()->mapFromGlobal(global);
    if (left->viewport()->rect().contains(inLeft)) {
        const int row = left->logicalIndexAt(inLeft);
        return row >= 0 ? cell(row, -1) : nullptr;
    }
    return nullptr;
}

QAccessibleInterface *SheetGridAccessible::focusChild() const
{
    const SheetGrid *g = grid();
    const QModelIndex current = g ? g->currentIndex() : QModelIndex();
    if (!current.isValid() || childIndex(current.row(), current.column()) < 0)
        return nullptr;
    return cell(current.row(), current.column());
}

QAccessibleInterface *SheetGridAccessible::caption() const
{
    return nullptr;
}

QAccessibleInterface *SheetGridAccessible::summary() const
{
    return nullptr;
}

QAccessibleInterface *SheetGridAccessible::cellAt(int row, int column) const
{
    const Shown s = shown();
    if (row < 0 || row >= s.rows || column < 0 || column >= s.cols)
        return nullptr;
    return cell(s.firstRow + row, s.firstCol + column);
}

int SheetGridAccessible::selectedCellCount() const
{
    return 0; // the grid selects nothing: the page keeps its own selection
}

QList<QAccessibleInterface *> SheetGridAccessible::selectedCells() const
{
    return {};
}

QString SheetGridAccessible::columnDescription(int column) const
{
    const SheetGrid *g = grid();
    return g ? g->model()->headerData(shown().firstCol + column, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
}

QString SheetGridAccessible::rowDescription(int row) const
{
    const SheetGrid *g = grid();
    return g ? g->model()->headerData(shown().firstRow + row, Qt::Vertical, Qt::DisplayRole).toString() : QString();
}

int SheetGridAccessible::columnCount() const
{
    return shown().cols;
}

int SheetGridAccessible::rowCount() const
{
    return shown().rows;
}

int SheetGridAccessible::selectedColumnCount() const
{
    return 0;
}

int SheetGridAccessible::selectedRowCount() const
{
    return 0;
}

QList<int> SheetGridAccessible::selectedColumns() const
{
    return {};
}

QList<int> SheetGridAccessible::selectedRows() const
{
    return {};
}

bool SheetGridAccessible::isColumnSelected(int) const
{
    return false;
}

bool SheetGridAccessible::isRowSelected(int) const
{
    return false;
}

bool SheetGridAccessible::selectRow(int)
{
    return false;
}

bool SheetGridAccessible::selectColumn(int)
{
    return false;
}

bool SheetGridAccessible::unselectRow(int)
{
    return false;
}

bool SheetGridAccessible::unselectColumn(int)
{
    return false;
}

void SheetGridAccessible::modelChange(QAccessibleTableModelChangeEvent *)
{
    forgetCells();
}
