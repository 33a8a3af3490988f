#pragma once

#include "ui/ListWindow.h"

class DataSet;
class QMenu;

// The declaring companies: sorted by a column title, searched by name, added,
// modified in the company form and deleted behind the administrator password.
// Everything shown is the shared company data set.
class CompanyList : public ListWindow
{
    Q_OBJECT

public:
    explicit CompanyList(DataSet *societes, QWidget *parent = nullptr);

    QPushButton *addButton;
    QPushButton *editButton;
    QPushButton *deleteButton;
    QPushButton *closeButton;
    QMenu *gridMenu;

public slots:
    void openList();
    void search();
    void sortByColumn(int column);
    void addRecord();
    void editRecord();
    void deleteRecord();
    void closeList();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Sorting and searching replace the statement: a row being typed in a
    // company form is posted first rather than lost with the old rows.
    bool reopenCompanies(const QString &sql);
    // Opens a form for the row that start() puts into insert or edit mode.
    void openForm(void (DataSet::*start)());

    DataSet *m_societes;
    bool m_shown = false;
};
