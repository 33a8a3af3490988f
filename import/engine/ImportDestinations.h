#pragma once

#include <QString>

class DataSet;

// What the import engine needs of the destinations that are widgets: the
// engine stays free of any widget, and the import screen adapts its grid,
// list and text grid to these interfaces. Indexes count from 0.

// A data grid: its columns and the data set behind it, which receives the rows.
class GridDestination
{
public:
    virtual ~GridDestination() = default;
    virtual int columnCount() const = 0;
    // The column's title caption, which import maps name.
    virtual QString columnTitle(int column) const = 0;
    // The data set field the column shows.
    virtual QString columnFieldName(int column) const = 0;
    virtual DataSet *gridDataSet() const = 0;
};

// A list of items, each with a caption and sub-items, under captioned columns:
// column 0 shows the caption, column c > 0 sub-item c - 1.
class ListViewDestination
{
public:
    virtual ~ListViewDestination() = default;
    virtual int columnCount() const = 0;
    virtual QString columnCaption(int column) const = 0;

    virtual int itemCount() const = 0;
    virtual QString itemCaption(int item) const = 0;
    virtual void setItemCaption(int item, const QString &text) = 0;
    // Empty for a sub-item the item does not have.
    virtual QString subItem(int item, int subItem) const = 0;
    // Adds empty sub-items up to subItem when the item has fewer.
    virtual void setSubItem(int item, int subItem, const QString &text) = 0;
    // Appends an item with an empty caption and subItemCount empty sub-items;
    // returns its index.
    virtual int addItem(int subItemCount) = 0;
    virtual void deleteItem(int item) = 0;

    // Screen updates held back while an import runs.
    virtual void beginUpdate() { }
    virtual void endUpdate() { }
};

// A grid of texts: cells by column and row.
class StringGridDestination
{
public:
    virtual ~StringGridDestination() = default;
    virtual int colCount() const = 0;
    virtual int rowCount() const = 0;
    // New rows are empty; removed rows take their cells with them.
    virtual void setRowCount(int rows) = 0;
    virtual QString cell(int column, int row) const = 0;
    virtual void setCell(int column, int row, const QString &text) = 0;
};
