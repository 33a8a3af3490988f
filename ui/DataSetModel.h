#pragma once

#include "data/DataSet.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPointer>

class Field;

struct GridColumn
{
    QString fieldName;
    QString title;
    int width = 64;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor color = QColor(); // invalid: the grid's own
    bool stretch = false; // takes the room left in the grid
};

// Table model over a data set: it only translates the data set's signals,
// the data set stays the one owner of rows and current position.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSetModel(QObject *parent = nullptr);

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_dataSet; }
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    void setColumnColor(int column, const QColor &color);
    int columnOfField(const QString &fieldName) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Field *fieldAt(int column) const;
    void reset();

    QPointer<DataSet> m_dataSet;
    QList<GridColumn> m_columns;
    int m_rowCount = 0;
};
