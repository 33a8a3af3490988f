#pragma once

#include "ui/ListWindow.h"

#include <QList>
#include <QPointer>

class DataSet;
class QPushButton;
class ClientForm;

// The client register: one list for all companies, searched and sorted
// through the shared client data set, leading to the client form.
class ClientList : public ListWindow
{
    Q_OBJECT

public:
    explicit ClientList(DataSet *tiers, QWidget *parent = nullptr);

    QPushButton *addButton;
    QPushButton *editButton;
    QPushButton *deleteButton;
    QPushButton *closeButton;

    static inline const QString DeleteQuestion = QStringLiteral("Voulez-vous supprimer l'enregistrement en cours ?");

    void openList();
    void sortByColumn(int column);
    void search();
    void addRecord();
    void editRecord();
    void deleteRecord();
    void closeList();
    void releaseList();

    // The forms this list opened and that are still open.
    QList<ClientForm *> openForms() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // While a client form edits the shared row, nothing here may move away
    // from it, re-query or delete: that would post or drop the entry. When a
    // client is being entered, brings its form forward and answers true.
    bool showEntryInProgress() const;
    void followEntryState();
    // Shows a form; `focus` gets the focus back when it closes.
    void openForm(ClientForm *form);

    DataSet *m_tiers;
    QList<QPointer<ClientForm>> m_forms;
};
