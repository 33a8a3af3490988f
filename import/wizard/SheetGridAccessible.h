#pragma once

#include <QAccessibleWidget>
#include <QHash>

class SheetGrid;

// What assistive technologies read of a worksheet preview: the cells
// scrolled into view, with the letters and numbers of their columns and
// rows. The toolkit's own table would offer all 65,000 cells of the grid, and
// every cell a reader touched would cost the closing of the wizard a tracked
// model index, whose removal grows with their number: closing then took
// minutes. Here the table is the part shown; scrolling shows another part,
// and readers are told to read it again.
//
// Children are numbered as the toolkit numbers a table's: row by row, the
// first row the column headings, the first of each row its row heading, and
// child 0 the corner between them.
class SheetGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit SheetGridAccessible(SheetGrid *grid);
    ~SheetGridAccessible() override;

    // Makes the toolkit use this interface for every sheet grid.
    static void install();

    // The part of the grid shown: model rows and columns.
    struct Shown
    {
        int firstRow = 0;
        int rows = 0;
        int firstCol = 0;
        int cols = 0;
    };
    Shown shown() const;
    // The child that shows a model cell (-1 for a heading), -1 when it is
    // not shown.
    int childIndex(int row, int col) const;
    // The interface of a model cell (-1 for a heading), made once.
    QAccessibleInterface *cell(int row, int col) const;
    // What was shown is gone: its cells are dropped.
    void forgetCells();

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface: rows and columns of the part shown.
    QAccessibleInterface *caption() const override;
    QAccessibleInterface *summary() const override;
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

private:
    SheetGrid *grid() const;

    mutable QHash<qint64, QAccessible::Id> m_cells;
};
