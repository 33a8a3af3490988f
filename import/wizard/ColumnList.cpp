#include "import/wizard/ColumnList.h"

#include <QDragEnterEvent>

TColumnList::TColumnList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
}

QStringList TColumnList::Columns() const
{
    QStringList columns;
    for (int i = 0; i < count(); ++i)
        if (!item(i)->text().isEmpty())
            columns << item(i)->text();
    return columns;
}

bool TColumnList::accepts(const QDropEvent *event) const
{
    return event->source() == this || (m_partner && event->source() == m_partner);
}

void TColumnList::dragEnterEvent(QDragEnterEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragEnterEvent(event);
}

void TColumnList::dragMoveEvent(QDragMoveEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragMoveEvent(event);
}

void TColumnList::dropEvent(QDropEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    // Columns move, never copy: the other list gives up what this one takes.
    event->setDropAction(Qt::MoveAction);
    QListWidget::dropEvent(event);
}
