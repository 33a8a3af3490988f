#include "ui/CurrentCell.h"

#include <QPainter>

void paintCurrentCellFrame(QPainter *painter, const QStyleOptionViewItem &option)
{
    if (!(option.state & QStyle::State_HasFocus))
        return;
    // In the colour of the text, which stands out on a selected row too.
    const bool selected = option.state & QStyle::State_Selected;
    const QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->setPen(QPen(colour, 1, Qt::DashLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    painter->restore();
}

void CurrentCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, plain, index);
    paintCurrentCellFrame(painter, option);
}
