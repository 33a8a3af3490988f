#include "clients/ClientList.h"

#include "clients/ClientColumns.h"
#include "clients/ClientForm.h"
#include "clients/ClientStatements.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "ui/ChildWindows.h"
#include "ui/MessageBox.h"
#include "ui/WindowClose.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <memory>

namespace {

// Every client form open in the program: lists share the one client data
// set, so a form opened from one list binds all of them.
QList<QPointer<ClientForm>> &allForms()
{
    static QList<QPointer<ClientForm>> forms;
    return forms;
}

ClientForm *openFormOn(const QList<QPointer<ClientForm>> &forms, DataSet *tiers)
{
    for (const QPointer<ClientForm> &f : forms)
        if (f && f->isVisible() && f->dataSet() == tiers)
            return f;
    return nullptr;
}

void bringForward(QWidget *form)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget()); sub && sub->mdiArea()) {
        sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        form->raise();
        form->activateWindow();
    }
}

} // namespace

ClientList::ClientList(DataSet *tiers, QWidget *parent)
    : ListWindow(QStringLiteral("<<<  Saisie des Tiers >>>"), parent)
    , m_tiers(tiers)
{
    setObjectName(QStringLiteral("ClientList"));
    setWindowTitle(QStringLiteral("Tiers"));
    grid->setDataSet(tiers);
    grid->setColumns({ clientColumn("CODE", "Code", 70), clientColumn("NOMBENEFICIAIRE", "Nom Tiers", 300),
        clientColumn("TYPEIDENTIFIANT", "Type Id", 64), clientColumn("IDENTIFIANT", "Identifiant", 120),
        clientColumn("ADRESSE", "Adresse", 400) });
    // The list is used from the keyboard: it opens with the focus in the
    // grid, and Tab leaves the grid for the buttons.
    grid->setTabKeyNavigation(false);
    setFocusProxy(grid);

    addButton = addBarButton(QStringLiteral("addButton"), QStringLiteral("Ajouter"));
    editButton = addBarButton(QStringLiteral("editButton"), QStringLiteral("Modifier"));
    deleteButton = addBarButton(QStringLiteral("deleteButton"), QStringLiteral("Supprimer"));
    closeButton = addBarButton(QStringLiteral("closeButton"), QStringLiteral("Fermer"));
    for (QPushButton *b : { addButton, editButton, deleteButton, closeButton })
        b->setAutoDefault(true); // Enter presses the focused button

    connect(grid, &DBGrid::titleClicked, this, &ClientList::sortByColumn);
    connect(grid, &DBGrid::gridDoubleClicked, this, &ClientList::editRecord);
    connect(searchEdit, &QLineEdit::textChanged, this, &ClientList::search);
    connect(addButton, &QPushButton::clicked, this, &ClientList::addRecord);
    connect(editButton, &QPushButton::clicked, this, &ClientList::editRecord);
    connect(deleteButton, &QPushButton::clicked, this, &ClientList::deleteRecord);
    connect(closeButton, &QPushButton::clicked, this, &ClientList::closeList);
    if (tiers)
        connect(tiers, &DataSet::stateChanged, this, &ClientList::followEntryState);
    setMinimumSize(640, 400);
    openList();
    followEntryState();
}

bool ClientList::showEntryInProgress() const
{
    if (!m_tiers || !m_tiers->isEditing())
        return false;
    if (ClientForm *form = openFormOn(allForms(), m_tiers))
        bringForward(form);
    return true;
}

void ClientList::followEntryState()
{
    const bool inEntry = m_tiers && m_tiers->isEditing();
    grid->setNavigationLocked(inEntry);
    searchEdit->setEnabled(!inEntry);
}

QList<ClientForm *> ClientList::openForms() const
{
    QList<ClientForm *> out;
    for (const QPointer<ClientForm> &f : m_forms)
        if (f && f->isVisible())
            out << f;
    return out;
}

void ClientList::openList()
{
    // A list opened while a client is being entered shows the rows as they
    // are: re-reading them would drop that entry.
    if (m_tiers && m_tiers->isEditing())
        return;
    reopen(m_tiers, ClientStatements::listOpening());
}

void ClientList::sortByColumn(int column)
{
    if (showEntryInProgress())
        return;
    const GridColumn &c = grid->dataModel()->columns().at(column);
    grid->setAllColumnsColor(LightColour);
    searchLabel->setText(c.title);
    if (reopen(m_tiers, ClientStatements::sortedBy(c.fieldName)))
        paintSortColumn(column);
}

void ClientList::search()
{
    if (showEntryInProgress())
        return;
    if (const auto sql = ClientStatements::listSearch(searchLabel->text(), searchEdit->text()))
        reopen(m_tiers, *sql);
}

void ClientList::openForm(ClientForm *form)
{
    m_forms << form;
    allForms().removeAll(nullptr);
    allForms() << form;
    openBeside(this, form);
}

void ClientList::addRecord()
{
    if (showEntryInProgress())
        return;
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<ClientForm>(m_tiers);
    try {
        m_tiers->append();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    openForm(form.release());
}

void ClientList::editRecord()
{
    if (showEntryInProgress())
        return;
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<ClientForm>(m_tiers);
    try {
        m_tiers->edit();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    openForm(form.release());
}

void ClientList::deleteRecord()
{
    if (showEntryInProgress())
        return;
    if (!MessageBox::confirm(this, DeleteQuestion))
        return;
    try {
        m_tiers->remove();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ClientList::closeList()
{
    closeWindow(this);
}

void ClientList::releaseList()
{
    // Another list's form may still be entering a client: its row stays.
    if (!m_tiers || m_tiers->isEditing())
        return;
    m_tiers->close();
    m_tiers->setSql(ClientStatements::listClosing());
}

void ClientList::closeEvent(QCloseEvent *event)
{
    // The forms opened here close first, each by its own rule; one whose post
    // is refused keeps itself and this list open.
    for (ClientForm *form : openForms())
        closeWindow(form);
    if (!openForms().isEmpty()) {
        event->ignore();
        return;
    }
    releaseList();
    ListWindow::closeEvent(event);
}
