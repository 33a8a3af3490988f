#pragma once

#include <QString>

class DataSet;

// What the import engine needs of the destinations that are widgets: the
// engine stays free of any widget, and the import screen adapts its grid,
// list and text grid to these interfaces. Indexes count from 0.

// A data grid: its columns and the data set behind it, which receives the rows.
class IDataImportGrid
{
public:
    virtual ~IDataImportGrid() = default;
    virtual int ColumnCount() const = 0;
    // The column's title caption, which import maps name.
    virtual QString ColumnTitle(int column) const = 0;
    // The data set field the column shows.
    virtual QString ColumnFieldName(int column) const = 0;
    virtual DataSet *GridDataSet() const = 0;
};

// A list of items, each with a caption and sub-items, under captioned columns:
// column 0 shows the caption, column c > 0 sub-item c - 1.
class IDataImportListView
{
public:
    virtual ~IDataImportListView() = default;
    virtual int ColumnCount() const = 0;
    virtual QString ColumnCaption(int column) const = 0;

    virtual int ItemCount() const = 0;
    virtual QString ItemCaption(int item) const = 0;
    virtual void SetItemCaption(int item, const QString &text) = 0;
    // Empty for a sub-item the item does not have.
    virtual QString SubItem(int item, int subItem) const = 0;
    // Adds empty sub-items up to subItem when the item has fewer.
    virtual void SetSubItem(int item, int subItem, const QString &text) = 0;
    // Appends an item with an empty caption and subItemCount empty sub-items;
    // returns its index.
    virtual int AddItem(int subItemCount) = 0;
    virtual void DeleteItem(int item) = 0;

    // Screen updates held back while an import runs.
    virtual void BeginUpdate() { }
    virtual void EndUpdate() { }
};

// A grid of texts: cells by column and row.
class IDataImportStringGrid
{
public:
    virtual ~IDataImportStringGrid() = default;
    virtual int ColCount() const = 0;
    virtual int RowCount() const = 0;
    // New rows are empty; removed rows take their cells with them.
    virtual void SetRowCount(int rows) = 0;
    virtual QString Cell(int column, int row) const = 0;
    virtual void SetCell(int column, int row, const QString &text) = 0;
};
