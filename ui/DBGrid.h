#pragma once

#include "ui/DataSetModel.h"

#include <QTableView>

class DataSet;

// The grid of a list window: one row per record, whole-row selection that
// follows the data set's current row and moves it, read-only cells.
class DBGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_model->dataSet(); }
    DataSetModel *dataModel() const { return m_model; }
    void setColumns(const QList<GridColumn> &columns);
    void setColumnColor(int column, const QColor &color);
    void setAllColumnsColor(const QColor &color);
    // While an entry form edits the current row, the grid may not move it.
    void setNavigationLocked(bool locked);
    bool navigationLocked() const { return m_locked; }

signals:
    void titleClicked(int column);
    void gridDoubleClicked(); // on a row, a title or blank space

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followDataSet();

    DataSetModel *m_model;
    bool m_following = false;
    bool m_locked = false;
};
