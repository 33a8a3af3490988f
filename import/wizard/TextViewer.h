#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QPair>
#include <QStringList>

// The fixed-width page's view of a text file: its first lines in a
// fixed-pitch font under a ruler of character positions, with the column
// separators the operator places. Position p is the boundary before
// character p + 1 (0-based), so no separator stands at 0. A double click
// adds or removes a separator, a separator is dragged boundary by boundary
// (dropped onto another one or onto position 0 it goes), and a click between
// two separators selects that region.
class TextViewer : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TextViewer(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);
    const QStringList &lines() const { return m_lines; }
    // Lines at the top drawn as skipped.
    void setSkippedLines(int count);

    const QList<int> &separators() const { return m_separators; }
    // Adds separators (positions above 0; duplicates are ignored).
    void addSeparators(const QList<int> &positions);

    // The selected region [left, right), none while left is -1.
    int selectionLeft() const { return m_selLeft; }
    int selectionRight() const { return m_selRight; }
    bool hasSelection() const { return m_selLeft >= 0; }
    // Programmatic: no signal.
    void setSelection(int left, int right);
    void clearSelection();
    // Regions of mapped columns, tinted.
    void setMappedRegions(const QList<QPair<int, int>> &regions);

    // Geometry, in viewport coordinates: where boundary p is drawn, the
    // boundary nearest to x, and a point inside character c of line l
    // (both 0-based), for the mouse and for tests.
    int boundaryX(int position) const;
    int boundaryAt(int x) const;
    QPoint charPoint(int c, int line = 0) const;
    int rulerHeight() const;

signals:
    void separatorAdded(int position);
    void separatorRemoved(int position);
    void separatorDragStarted(int position);
    void separatorDragged(int from, int to);
    void separatorDropped(int position, bool removed);
    // A click selected (or, on the selected region, deselected) a region.
    void regionClicked(int left, int right, bool selected);
    // A double click followed the click that selected or deselected a
    // region: that click is taken back (the selection already is).
    void regionClickUndone();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int charWidth() const;
    int lineHeight() const;
    int margin() const { return 6; }
    int charAt(int x) const;
    // The separator within 3 pixels of x, -1 when none.
    int separatorNear(int x) const;
    void updateScrollBars();

    QStringList m_lines;
    int m_width = 0; // longest line, in characters
    int m_skipped = 0;
    QList<int> m_separators; // sorted, each above 0
    QList<QPair<int, int>> m_mapped;
    int m_selLeft = -1;
    int m_selRight = -1;

    // A press: on a separator it may become a drag, elsewhere a click.
    bool m_pressed = false;
    int m_pressChar = -1;
    int m_dragFrom = -1; // the separator pressed on
    int m_dragAt = -1; // where it is now, out of m_separators while dragged
    int m_dragLow = 0;
    int m_dragHigh = 0;
    bool m_dragMoved = false;
    bool m_afterDoubleClick = false;
    // The selection before the last region click, for a double click.
    bool m_undoable = false;
    int m_undoLeft = -1;
    int m_undoRight = -1;
};
