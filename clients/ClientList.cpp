#include "clients/ClientList.h"

#include "clients/ClientColumns.h"
#include "clients/ClientForm.h"
#include "clients/ClientStatements.h"
#include "core/Error.h"
#include "data/DataModule.h"
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
QList<QPointer<TFrmtiersmaj>> &allForms()
{
    static QList<QPointer<TFrmtiersmaj>> forms;
    return forms;
}

TFrmtiersmaj *openFormOn(const QList<QPointer<TFrmtiersmaj>> &forms, DataSet *tiers)
{
    for (const QPointer<TFrmtiersmaj> &f : forms)
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

TFrmtiersgrille::TFrmtiersgrille(DataSet *tiers, QWidget *parent)
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

    connect(DBGrid1, &DBGrid::titleClicked, this, &TFrmtiersgrille::DBGrid1TitleClick);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &TFrmtiersgrille::BitBtn3Click);
    connect(eValChampRech, &QLineEdit::textChanged, this, &TFrmtiersgrille::eValChampRechChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmtiersgrille::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFrmtiersgrille::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmtiersgrille::BitBtn2Click);
    connect(Button4, &QPushButton::clicked, this, &TFrmtiersgrille::Button4Click);
    if (tiers)
        connect(tiers, &DataSet::stateChanged, this, &TFrmtiersgrille::followEntryState);
    setMinimumSize(640, 400);
    FormCreate();
    followEntryState();
}

QWidget *newClientList()
{
    return new TFrmtiersgrille(Datadeclaration->Itiers);
}

bool TFrmtiersgrille::showEntryInProgress() const
{
    if (!m_tiers || !m_tiers->isEditing())
        return false;
    if (TFrmtiersmaj *form = openFormOn(allForms(), m_tiers))
        bringForward(form);
    return true;
}

void TFrmtiersgrille::followEntryState()
{
    const bool inEntry = m_tiers && m_tiers->isEditing();
    DBGrid1->setNavigationLocked(inEntry);
    eValChampRech->setEnabled(!inEntry);
}

QList<TFrmtiersmaj *> TFrmtiersgrille::openForms() const
{
    QList<TFrmtiersmaj *> out;
    for (const QPointer<TFrmtiersmaj> &f : m_forms)
        if (f && f->isVisible())
            out << f;
    return out;
}

void TFrmtiersgrille::FormCreate()
{
    // A list opened while a client is being entered shows the rows as they
    // are: re-reading them would drop that entry.
    if (m_tiers && m_tiers->isEditing())
        return;
    reopen(m_tiers, ClientStatements::listOpening());
}

void TFrmtiersgrille::DBGrid1TitleClick(int column)
{
    if (showEntryInProgress())
        return;
    const GridColumn &c = DBGrid1->dataModel()->columns().at(column);
    DBGrid1->setAllColumnsColor(LightColour);
    LabChpRech->setText(c.title);
    if (reopen(m_tiers, ClientStatements::sortedBy(c.fieldName)))
        paintSortColumn(column);
}

void TFrmtiersgrille::eValChampRechChange()
{
    if (showEntryInProgress())
        return;
    if (const auto sql = ClientStatements::listSearch(LabChpRech->text(), eValChampRech->text()))
        reopen(m_tiers, *sql);
}

void TFrmtiersgrille::openForm(TFrmtiersmaj *form)
{
    m_forms << form;
    allForms().removeAll(nullptr);
    allForms() << form;
    openBeside(this, form);
}

void TFrmtiersgrille::BitBtn1Click()
{
    if (showEntryInProgress())
        return;
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<TFrmtiersmaj>(m_tiers);
    try {
        m_tiers->append();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    openForm(form.release());
}

void TFrmtiersgrille::BitBtn3Click()
{
    if (showEntryInProgress())
        return;
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<TFrmtiersmaj>(m_tiers);
    try {
        m_tiers->edit();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    openForm(form.release());
}

void TFrmtiersgrille::BitBtn2Click()
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

void TFrmtiersgrille::Button4Click()
{
    closeWindow(this);
}

void TFrmtiersgrille::FormClose()
{
    // Another list's form may still be entering a client: its row stays.
    if (!m_tiers || m_tiers->isEditing())
        return;
    m_tiers->close();
    m_tiers->setSql(ClientStatements::listClosing());
}

void TFrmtiersgrille::closeEvent(QCloseEvent *event)
{
    // The forms opened here close first, each by its own rule; one whose post
    // is refused keeps itself and this list open.
    for (TFrmtiersmaj *form : openForms())
        closeWindow(form);
    if (!openForms().isEmpty()) {
        event->ignore();
        return;
    }
    FormClose();
    ListWindow::closeEvent(event);
}
