#include "ui/DataSetModel.h"

#include "data/DataSet.h"

DataSetModel::DataSetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void DataSetModel::setDataSet(DataSet *dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (dataSet) {
        connect(dataSet, &DataSet::layoutReset, this, &DataSetModel::reset);
        connect(dataSet, &DataSet::rowInserted, this, [this](int row) {
            beginInsertRows(QModelIndex(), row, row);
            ++m_rowCount;
            endInsertRows();
        });
        connect(dataSet, &DataSet::rowRemoved, this, [this](int row) {
            beginRemoveRows(QModelIndex(), row, row);
            --m_rowCount;
            endRemoveRows();
        });
        connect(dataSet, &DataSet::rowChanged, this, [this](int row) {
            if (row >= 0 && row < m_rowCount && !m_columns.isEmpty())
                emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
        });
    }
    reset();
}

void DataSetModel::reset()
{
    beginResetModel();
    m_rowCount = m_dataSet && m_dataSet->isActive() ? m_dataSet->recordCount() : 0;
    endResetModel();
}

void DataSetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void DataSetModel::setColumnColor(int column, const QColor &color)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].color = color;
    if (m_rowCount > 0)
        emit dataChanged(index(0, column), index(m_rowCount - 1, column), { Qt::BackgroundRole });
}

int DataSetModel::columnOfField(const QString &fieldName) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

Field *DataSetModel::fieldAt(int column) const
{
    if (!m_dataSet || !m_dataSet->isActive() || column < 0 || column >= m_columns.size())
        return nullptr;
    return m_dataSet->findField(m_columns[column].fieldName);
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount)
        return QVariant();
    const GridColumn &c = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        Field *f = fieldAt(index.column());
        return f ? f->displayTextOf(m_dataSet->valueAt(index.row(), f->index())) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return QVariant(c.alignment);
    case Qt::BackgroundRole:
        return c.color.isValid() ? QVariant(c.color) : QVariant();
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()
        && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
        return m_columns[section].title;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}
