#pragma once

#include "import/engine/ImportDestinations.h"
#include "ui/DBGrid.h"

#include <QStringList>
#include <QTableWidget>
#include <QTreeWidget>

// The import screen's grid, list and text grid as the import engine sees
// them: each widget is its own destination.

// A data grid: the import writes into the data set it shows, through the
// columns it shows (mapped by their titles).
class ImportDataGrid : public DBGrid, public GridDestination
{
    Q_OBJECT

public:
    explicit ImportDataGrid(QWidget *parent = nullptr);

    int columnCount() const override;
    QString columnTitle(int column) const override;
    QString columnFieldName(int column) const override;
    ::DataSet *gridDataSet() const override;
};

// A list in report style: items with a caption and sub-items under captioned
// columns. It starts without columns.
class ImportListView : public QTreeWidget, public ListViewDestination
{
    Q_OBJECT

public:
    explicit ImportListView(QWidget *parent = nullptr);

    void setColumns(const QStringList &captions);
    // Removes every item at once.
    void clearItems();

    int columnCount() const override;
    QString columnCaption(int column) const override;
    int itemCount() const override;
    QString itemCaption(int item) const override;
    void setItemCaption(int item, const QString &text) override;
    QString subItem(int item, int subItem) const override;
    void setSubItem(int item, int subItem, const QString &text) override;
    int addItem(int subItemCount) override;
    void deleteItem(int item) override;
    void beginUpdate() override;
    void endUpdate() override;

private:
    void showColumns(int count);
    QStringList m_captions;
    int m_updating = 0;
};

// A grid of texts whose first FixedRows rows are captions: shown apart and
// not edited in place.
class ImportStringGrid : public QTableWidget, public StringGridDestination
{
    Q_OBJECT

public:
    static constexpr int FixedRows = 1;

    explicit ImportStringGrid(QWidget *parent = nullptr);

    // Empties every cell below the caption rows.
    void clearCells();

    int colCount() const override { return columnCount(); }
    int rowCount() const override { return QTableWidget::rowCount(); }
    void setRowCount(int rows) override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString &text) override;
};
