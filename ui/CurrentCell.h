#pragma once

#include <QStyledItemDelegate>

// Where the arrows are in a grid: a frame round the current cell while the
// grid has the focus. The style draws the focus of a cell only faintly, and
// not at all over a selected row, so a grid moved through cell by cell from
// the keyboard would not show which cell it is on.
void paintCurrentCellFrame(QPainter *painter, const QStyleOptionViewItem &option);

// The toolkit's drawing of a cell, with the frame of the current one.
class CurrentCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
