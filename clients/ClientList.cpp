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
    setObjectName(QStringLiteral("Frmtiersgrille"));
    setWindowTitle(QStringLiteral("Tiers"));
    DBGrid1->setDataSet(tiers);
    DBGrid1->setColumns({ clientColumn("CODE", "Code", 70), clientColumn("NOMBENEFICIAIRE", "Nom Tiers", 300),
        clientColumn("TYPEIDENTIFIANT", "Type Id", 64), clientColumn("IDENTIFIANT", "Identifiant", 120),
        clientColumn("ADRESSE", "Adresse", 400) });
    // The list is used from the keyboard: it opens with the focus in the
    // grid, and Tab leaves the grid for the buttons.
    DBGrid1->setTabKeyNavigation(false);
    setFocusProxy(DBGrid1);

    BitBtn1 = addButton(QStringLiteral("BitBtn1"), QStringLiteral("Ajouter"));
    BitBtn3 = addButton(QStringLiteral("BitBtn3"), QStringLiteral("Modifier"));
    BitBtn2 = addButton(QStringLiteral("BitBtn2"), QStringLiteral("Supprimer"));
    Button4 = addButton(QStringLiteral("Button4"), QStringLiteral("Fermer"));
    for (QPushButton *b : { BitBtn1, BitBtn3, BitBtn2, Button4 })
        b->setAutoDefault(true); // Enter presses the focused button

    connect(DBGrid1, &DBGrid::titleClicked, this, &ClientList::DBGrid1TitleClick);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &ClientList::BitBtn3Click);
    connect(eValChampRech, &QLineEdit::textChanged, this, &ClientList::eValChampRechChange);
    connect(BitBtn1, &QPushButton::clicked, this, &ClientList::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &ClientList::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &ClientList::BitBtn2Click);
    connect(Button4, &QPushButton::clicked, this, &ClientList::Button4Click);
    if (tiers)
        connect(tiers, &DataSet::stateChanged, this, &ClientList::followEntryState);
    setMinimumSize(640, 400);
    FormCreate();
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
    DBGrid1->setNavigationLocked(inEntry);
    eValChampRech->setEnabled(!inEntry);
}

QList<ClientForm *> ClientList::openForms() const
{
    QList<ClientForm *> out;
    for (const QPointer<ClientForm> &f : m_forms)
        if (f && f->isVisible())
            out << f;
    return out;
}

void ClientList::FormCreate()
{
    // A list opened while a client is being entered shows the rows as they
    // are: re-reading them would drop that entry.
    if (m_tiers && m_tiers->isEditing())
        return;
    reopen(m_tiers, ClientStatements::listOpening());
}

void ClientList::DBGrid1TitleClick(int column)
{
    if (showEntryInProgress())
        return;
    const GridColumn &c = DBGrid1->dataModel()->columns().at(column);
    DBGrid1->setAllColumnsColor(LightColour);
    LabChpRech->setText(c.title);
    if (reopen(m_tiers, ClientStatements::sortedBy(c.fieldName)))
        paintSortColumn(column);
}

void ClientList::eValChampRechChange()
{
    if (showEntryInProgress())
        return;
    if (const auto sql = ClientStatements::listSearch(LabChpRech->text(), eValChampRech->text()))
        reopen(m_tiers, *sql);
}

void ClientList::openForm(ClientForm *form)
{
    m_forms << form;
    allForms().removeAll(nullptr);
    allForms() << form;
    openBeside(this, form);
}

void ClientList::BitBtn1Click()
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

void ClientList::BitBtn3Click()
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

void ClientList::BitBtn2Click()
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

void ClientList::Button4Click()
{
    closeWindow(this);
}

void ClientList::FormClose()
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
    FormClose();
    ListWindow::closeEvent(event);
}
