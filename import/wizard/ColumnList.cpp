#include "import/wizard/ColumnList.h"

#include <QDragEnterEvent>

ColumnList::ColumnList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
}

QStringList ColumnList::columns() const
{
    QStringList columns;
    for (int i = 0; i < count(); ++i)
        if (!item(i)->text().isEmpty())
            columns << item(i)->text();
    return columns;
}

bool ColumnList::accepts(const QDropEvent *event) const
{
    return event->source() == this || (m_partner && event->source() == m_partner);
}

void ColumnList::dragEnterEvent(QDragEnterEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragEnterEvent(event);
}

void ColumnList::dragMoveEvent(QDragMoveEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragMoveEvent(event);
}

void ColumnList::dropEvent(QDropEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    // Columns move, never copy: the other list gives up what this one takes.
    event->setDropAction(Qt::MoveAction);
    QListWidget::dropEvent(event);
}
