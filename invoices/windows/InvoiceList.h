#pragma once

#include "invoices/windows/InvoiceForm.h"
#include "ui/ListWindow.h"

#include <QPointer>

#include <functional>

class DataSet;
class DBEdit;
class QPushButton;

// The invoices of the working company and year, searched and sorted by
// clicking a title and typing; leads to the invoice form, to deletion and
// to the periodic statement.
class InvoiceList : public ListWindow
{
    Q_OBJECT

public:
    // matricule and exercice are kept for the window's whole life.
    InvoiceList(DataSet *invoices, DataSet *clients, const QString &matricule, const QString &exercice, QWidget *parent = nullptr);

    void openList();
    void sortByColumn(int column);
    void search();
    void addRecord(); // Ajouter
    void editRecord(); // Modifier
    void deleteRecord(); // Supprimer
    void askPeriodAndPrint(); // Imprimer
    void closeList(); // Fermer

    QLabel *yearLabel;
    DBEdit *yearEdit;
    QPushButton *addButton;
    QPushButton *editButton;
    QPushButton *deleteButton;
    QPushButton *printButton;
    QPushButton *closeButton;

    // The periodic statement of a period typed as dates: the statement is
    // handed to `show` (the print preview), then destroyed. False when a
    // date or the query is refused, after its message.
    bool printStatement(const QString &du, const QString &au, const std::function<void(class PeriodicStatement &)> &show);

    // The form just opened by Ajouter or Modifier (tests drive it).
    InvoiceForm *lastForm() const { return m_lastForm; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool reopenWithParams(const QString &sql);
    // While a form edits a row, nothing here may move, re-query or delete.
    void followState();
    bool refuseWhileEditing();
    // Opens the entry form once startEditing put the data set in insert or
    // edit; a refusal is shown and leaves neither form nor row behind.
    void startForm(const std::function<void()> &startEditing);

    DataSet *m_invoices;
    DataSet *m_clients;
    QString m_matricule;
    QString m_exercice;
    QPointer<InvoiceForm> m_lastForm;
};
