#pragma once

#include "app/context/CompanyChoice.h"
#include "core/WorkingContext.h"
#include "ui/ListWindow.h"

class DataSet;
class QLabel;

// Shown once, at start-up: the operator double-clicks the company to work on.
// The choice fills the working context for the rest of the run.
class CompanySelection : public ListWindow
{
    Q_OBJECT

public:
    // context and the three labels receive the choice.
    CompanySelection(
        DataSet *societes, WorkingContext *context, QLabel *ste, QLabel *matricule, QLabel *exercice, QWidget *parent = nullptr);

    static inline const QString &OpeningSql = CompanySelectionSql;
    // The statement the search box gives the company data set.
    static QString searchStatement(const QString &typed);

    void openList();
    void search();
    void chooseCurrentRow();

signals:
    // The working context holds the company chosen.
    void companyChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataSet *m_societes;
    WorkingContext *m_context;
    QLabel *m_ste;
    QLabel *m_matricule;
    QLabel *m_exercice;
};
