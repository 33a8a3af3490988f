#pragma once

#include <QAbstractItemView>
#include <QImage>
#include <QItemSelectionModel>
#include <QPixmap>

// Whether a grid draws the frame of its current cell: a dashed line along
// the cell's top, in the colour of the cell's text, from its second pixel on.
inline bool currentCellShown(QAbstractItemView &grid)
{
    const QModelIndex current = grid.currentIndex();
    if (!current.isValid())
        return false;
    const QRect cell = grid.visualRect(current);
    const QImage shot = grid.viewport()->grab().toImage();
    const bool selected = grid.selectionModel() && grid.selectionModel()->isSelected(current);
    const QColor frame = grid.palette().color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    return shot.pixelColor(cell.left() + 2, cell.top() + 1) == frame && shot.pixelColor(cell.left() + 3, cell.top() + 1) == frame;
}
