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
class TImportDBGrid : public DBGrid, public IDataImportGrid
{
    Q_OBJECT

public:
    explicit TImportDBGrid(QWidget *parent = nullptr);

    int ColumnCount() const override;
    QString ColumnTitle(int column) const override;
    QString ColumnFieldName(int column) const override;
    ::DataSet *GridDataSet() const override;
};

// A list in report style: items with a caption and sub-items under captioned
// columns. It starts without columns.
class TImportListView : public QTreeWidget, public IDataImportListView
{
    Q_OBJECT

public:
    explicit TImportListView(QWidget *parent = nullptr);

    void SetColumns(const QStringList &captions);
    // Removes every item at once.
    void ClearItems();

    int ColumnCount() const override;
    QString ColumnCaption(int column) const override;
    int ItemCount() const override;
    QString ItemCaption(int item) const override;
    void SetItemCaption(int item, const QString &text) override;
    QString SubItem(int item, int subItem) const override;
    void SetSubItem(int item, int subItem, const QString &text) override;
    int AddItem(int subItemCount) override;
    void DeleteItem(int item) override;
    void BeginUpdate() override;
    void EndUpdate() override;

private:
    void showColumns(int count);
    QStringList m_captions;
    int m_updating = 0;
};

// A grid of texts whose first FixedRows rows are captions: shown apart and
// not edited in place.
class TImportStringGrid : public QTableWidget, public IDataImportStringGrid
{
    Q_OBJECT

public:
    static constexpr int FixedRows = 1;

    explicit TImportStringGrid(QWidget *parent = nullptr);

    // Empties every cell below the caption rows.
    void ClearCells();

    int ColCount() const override { return columnCount(); }
    int RowCount() const override { return rowCount(); }
    void SetRowCount(int rows) override;
    QString Cell(int column, int row) const override;
    void SetCell(int column, int row, const QString &text) override;
};
