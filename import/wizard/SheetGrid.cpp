#include "import/wizard/SheetGrid.h"

#include "import/sources/workbook/WorkbookFile.h"
#include "import/wizard/SheetGridAccessible.h"
#include "ui/CurrentCell.h"

#include <QAccessible>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

const QColor MappedFill(255, 226, 160);
const QColor MappedLine(196, 106, 0);
const QColor PendingFill(184, 220, 255);
const QColor PendingLine(0, 84, 196);

} // namespace

// ---------------------------------------------------------------------------
// Model
// ---------------------------------------------------------------------------

SheetGridModel::SheetGridModel(int rows, QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
{
}

void SheetGridModel::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= ColumnCount)
        return;
    m_texts.insert(qint64(row) * ColumnCount + col, text);
}

QString SheetGridModel::text(int row, int col) const
{
    return m_texts.value(qint64(row) * ColumnCount + col);
}

int SheetGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SheetGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SheetGridModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole && index.isValid())
        return text(index.row(), index.column());
    return {};
}

QVariant SheetGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? Xls::columnLetters(section + 1) : QString::number(section + 1);
}

// ---------------------------------------------------------------------------
// Grid
// ---------------------------------------------------------------------------

SheetGrid::SheetGrid(int sheetIndex, const QString &sheetName, int rows, QWidget *parent)
    : QTableView(parent)
    , m_sheetIndex(sheetIndex)
    , m_sheetName(sheetName)
    , m_model(new SheetGridModel(rows, this))
{
    setObjectName(QStringLiteral("sgSheet%1").arg(sheetIndex));
    SheetGridAccessible::install();
    setModel(m_model);
    setItemDelegate(new SheetCellDelegate(this));
    // The page keeps its own selection; the view's would only confuse it.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    // Tab goes on to the wizard's buttons; the arrows move the current cell.
    setTabKeyNavigation(false);

    QHeaderView *top = horizontalHeader();
    top->setMinimumSectionSize(8);
    top->setDefaultSectionSize(64);
    top->setHighlightSections(false);
    top->setSectionsClickable(false);
    top->viewport()->installEventFilter(this);

    QHeaderView *left = verticalHeader();
    left->setMinimumSectionSize(8);
    left->setDefaultSectionSize(16);
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setHighlightSections(false);
    left->setSectionsClickable(false);
    left->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // 25 pixels, or what the longest row number needs.
    left->setFixedWidth(std::max(25, left->fontMetrics().horizontalAdvance(QString::number(rows)) + 10));
    left->viewport()->installEventFilter(this);
}

QPoint SheetGrid::cellPoint(int row, int col) const
{
    return visualRect(m_model->index(row - 1, col - 1)).center();
}

QPoint SheetGrid::columnHeaderPoint(int col) const
{
    const QHeaderView *h = horizontalHeader();
    return QPoint(h->sectionViewportPosition(col - 1) + h->sectionSize(col - 1) / 2, h->height() / 2);
}

QPoint SheetGrid::rowHeaderPoint(int row) const
{
    const QHeaderView *h = verticalHeader();
    return QPoint(h->width() / 2, h->sectionViewportPosition(row - 1) + h->sectionSize(row - 1) / 2);
}

void SheetGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid())
        emit cellClicked(index.row() + 1, index.column() + 1, event->modifiers());
}

void SheetGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_pending) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            emit applyPressed();
            return;
        case Qt::Key_Escape:
            // Not the wizard's: Escape here drops the selection only.
            event->accept();
            emit cancelPressed();
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

bool SheetGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QTableView::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const Qt::KeyboardModifiers modifiers = mouse->modifiers();
    const bool selecting = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    const QPoint pos = mouse->position().toPoint();
    if (watched == horizontalHeader()->viewport()) {
        const int col = horizontalHeader()->logicalIndexAt(pos);
        if (col >= 0)
            emit columnHeaderClicked(col + 1, modifiers);
    } else if (watched == verticalHeader()->viewport()) {
        const int row = verticalHeader()->logicalIndexAt(pos);
        if (row >= 0)
            emit rowHeaderClicked(row + 1, modifiers);
    } else {
        return false;
    }
    if (selecting)
        setFocus(Qt::MouseFocusReason); // for Enter and Escape
    // A plain press may still resize a column.
    return selecting;
}

void SheetGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Not the table view's own: it names the cell by its place among all the
    // grid's cells, where readers are offered only those shown.
    QAbstractItemView::currentChanged(current, previous);
    if (!QAccessible::isActive() || !current.isValid() || !hasFocus())
        return;
    auto *table = dynamic_cast<SheetGridAccessible *>(QAccessible::queryAccessibleInterface(this));
    const int child = table ? table->childIndex(current.row(), current.column()) : -1;
    if (child < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

void SheetGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    shownChanged();
}

void SheetGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    shownChanged();
}

void SheetGrid::shownChanged()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

// ---------------------------------------------------------------------------
// Painting the marks
// ---------------------------------------------------------------------------

SheetCellDelegate::SheetCellDelegate(SheetGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void SheetCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    const int marks = m_grid->marks(row, col);
    const QRect r = option.rect;
    if (marks & smPending)
        painter->fillRect(r, PendingFill);
    else if (marks & smMapped)
        painter->fillRect(r, MappedFill);

    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, plain, index);

    // A thick line on each edge where the marked area ends, run on into the
    // next cell where the area goes on, so that the outline has no gaps.
    auto outline = [&](int mark, const QColor &colour, int inset) {
        if (!(marks & mark))
            return;
        const bool up = m_grid->marks(row - 1, col) & mark;
        const bool down = m_grid->marks(row + 1, col) & mark;
        const bool left = m_grid->marks(row, col - 1) & mark;
        const bool right = m_grid->marks(row, col + 1) & mark;
        const int x1 = left ? r.left() : r.left() + inset;
        const int x2 = right ? r.right() + 1 : r.right() - inset;
        const int y1 = up ? r.top() : r.top() + inset;
        const int y2 = down ? r.bottom() + 1 : r.bottom() - inset;
        painter->save();
        painter->setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
        if (!up)
            painter->drawLine(x1, r.top() + inset, x2, r.top() + inset);
        if (!down)
            painter->drawLine(x1, r.bottom() - inset, x2, r.bottom() - inset);
        if (!left)
            painter->drawLine(r.left() + inset, y1, r.left() + inset, y2);
        if (!right)
            painter->drawLine(r.right() - inset, y1, r.right() - inset, y2);
        painter->restore();
    };
    outline(smMapped, MappedLine, 1);
    outline(smPending, PendingLine, 3);
    paintCurrentCellFrame(painter, option);
}

bool SheetCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    if (text.isEmpty() || option.fontMetrics.horizontalAdvance(text) + margins <= option.rect.width()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    return true;
}
