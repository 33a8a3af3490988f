#include "invoices/windows/InvoiceList.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "invoices/InvoiceStatements.h"
#include "invoices/windows/InvoiceForm.h"
#include "invoices/windows/PeriodDialog.h"
#include "invoices/windows/PeriodicStatement.h"
#include "ui/BoundEditors.h"
#include "ui/ChildWindows.h"
#include "ui/DateEdit.h"
#include "ui/MessageBox.h"
#include "ui/WindowClose.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <memory>

namespace {
const QString EntryInProgress = QStringLiteral("Une facture est en cours de saisie : validez-la ou annulez-la d'abord.");
}

InvoiceList::InvoiceList(DataSet *invoices, DataSet *clients, const QString &matricule, const QString &exercice, QWidget *parent)
    : ListWindow(QStringLiteral("<<<  Kestra de la TVA>>>"), parent)
    , LabelExercice(new QLabel(QStringLiteral("Exercice"), this))
    , DBEdit1(new DBEdit(this))
    , m_invoices(invoices)
    , m_clients(clients)
    , m_matricule(matricule)
    , m_exercice(exercice)
{
    setObjectName(QStringLiteral("Frmsaisie"));
    setWindowTitle(QStringLiteral("Saisie des Factures"));
    LabelExercice->setObjectName(QStringLiteral("LabelExercice"));
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setReadOnly(true);
    DBEdit1->setFocusPolicy(Qt::NoFocus);
    DBEdit1->setMaximumWidth(80);
    LabelExercice->setBuddy(DBEdit1);
    searchBar()->addWidget(LabelExercice);
    searchBar()->addWidget(DBEdit1);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setDataSet(invoices);
    DBGrid1->setColumns({ { QStringLiteral("TRIMESTRE"), QStringLiteral("Trm"), 40, Qt::AlignLeft | Qt::AlignVCenter },
        { QStringLiteral("DATEFACTURE"), QStringLiteral("Date Fact."), 82, Qt::AlignCenter },
        { QStringLiteral("NUMEROFACTURE"), QStringLiteral("N°Facture"), 100, right },
        { QStringLiteral("IDENTIFIANTCLIENT"), QStringLiteral("Id.Bénéficiaire"), 125, right },
        { QStringLiteral("NOMPRENOMCLIENT"), QStringLiteral("Nom Prénom Ou Raison Sociale"), 260, Qt::AlignLeft | Qt::AlignVCenter,
            QColor(), true },
        { QStringLiteral("PRIXVENTE"), QStringLiteral("Montant H.T"), 110, right },
        { QStringLiteral("MONTANTFODEC"), QStringLiteral("Montant Fodec"), 100, right },
        { QStringLiteral("MONTANTDROITCONSOMMATION"), QStringLiteral("MT Droit Cons."), 100, right },
        { QStringLiteral("MONTANTTVA"), QStringLiteral("Montant TVA"), 100, right } });
    DBEdit1->setField(invoices, QStringLiteral("EXERCICE"));

    BitBtn1 = addButton(QStringLiteral("BitBtn1"), QStringLiteral("Ajouter"));
    BitBtn3 = addButton(QStringLiteral("BitBtn3"), QStringLiteral("Modifier"));
    BitBtn2 = addButton(QStringLiteral("BitBtn2"), QStringLiteral("Supprimer"));
    BitBtn4 = addButton(QStringLiteral("BitBtn4"), QStringLiteral("Imprimer"));
    Button4 = addButton(QStringLiteral("Button4"), QStringLiteral("Fermer"));

    connect(DBGrid1, &DBGrid::titleClicked, this, &InvoiceList::DBGrid1TitleClick);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &InvoiceList::BitBtn3Click);
    connect(eValChampRech, &QLineEdit::textChanged, this, &InvoiceList::eValChampRechChange);
    connect(BitBtn1, &QPushButton::clicked, this, &InvoiceList::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &InvoiceList::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &InvoiceList::BitBtn2Click);
    connect(BitBtn4, &QPushButton::clicked, this, &InvoiceList::BitBtn4Click);
    connect(Button4, &QPushButton::clicked, this, &InvoiceList::Button4Click);
    connect(invoices, &DataSet::stateChanged, this, &InvoiceList::followState);
    FormCreate();
    followState();
}

bool InvoiceList::reopenWithParams(const QString &sql)
{
    return reopen(m_invoices, sql, { { QStringLiteral("id"), m_matricule }, { QStringLiteral("ex"), m_exercice } });
}

void InvoiceList::followState()
{
    const bool editing = m_invoices->isEditing();
    DBGrid1->setNavigationLocked(editing);
    for (QWidget *w : { static_cast<QWidget *>(BitBtn1), static_cast<QWidget *>(BitBtn3), static_cast<QWidget *>(BitBtn2),
             static_cast<QWidget *>(BitBtn4), static_cast<QWidget *>(eValChampRech) })
        w->setEnabled(!editing);
}

bool InvoiceList::refuseWhileEditing()
{
    if (!m_invoices->isEditing())
        return false;
    MessageBox::information(this, EntryInProgress);
    return true;
}

void InvoiceList::FormCreate()
{
    if (m_invoices->isEditing())
        return; // another list's form is entering an invoice: leave it be
    reopenWithParams(InvoiceStatements::opening());
}

void InvoiceList::DBGrid1TitleClick(int column)
{
    if (refuseWhileEditing())
        return;
    DBGrid1->setAllColumnsColor(LightColour);
    const GridColumn c = DBGrid1->dataModel()->columns().value(column);
    reopenWithParams(InvoiceStatements::sortedBy(c.fieldName));
    LabChpRech->setText(c.title);
    DBGrid1->setColumnColor(column, SortColour);
}

void InvoiceList::eValChampRechChange()
{
    if (m_invoices->isEditing())
        return;
    if (const auto sql = InvoiceStatements::search(LabChpRech->text(), eValChampRech->text()))
        reopenWithParams(*sql);
}

void InvoiceList::startForm(const std::function<void()> &startEditing)
{
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<InvoiceForm>(m_invoices, m_clients);
    m_lastForm = form.get();
    try {
        startEditing();
    } catch (const Error &e) {
        // Nothing was typed yet: the row goes back, so no half-made invoice is left behind.
        m_invoices->cancel();
        MessageBox::error(this, e.text());
        return;
    }
    InvoiceForm *shown = form.release();
    openBeside(this, shown);
    shown->start();
}

void InvoiceList::BitBtn1Click()
{
    if (refuseWhileEditing())
        return;
    startForm([this] {
        if (!m_invoices->isActive())
            reopenWithParams(InvoiceStatements::opening());
        m_invoices->append();
        m_invoices->fieldByName(QStringLiteral("IDENTIFIANT"))->setValue(m_matricule);
        int year = 0;
        if (!tryStrToInt(m_exercice, year))
            throw Error(invalidIntegerMessage(m_exercice));
        m_invoices->fieldByName(QStringLiteral("EXERCICE"))->setValue(year);
    });
}

void InvoiceList::BitBtn3Click()
{
    if (refuseWhileEditing())
        return;
    startForm([this] {
        if (!m_invoices->isActive())
            throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
        m_invoices->edit();
    });
}

void InvoiceList::BitBtn2Click()
{
    if (refuseWhileEditing())
        return;
    if (!MessageBox::confirm(this, QStringLiteral("Voulez-vous supprimer l'enregistrement en cours ?")))
        return;
    try {
        m_invoices->remove();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void InvoiceList::BitBtn4Click()
{
    if (refuseWhileEditing())
        return;
    PeriodDialog dialog(this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const QString du = dialog.AsDateDu->text();
    const QString au = dialog.AsDateAu->text();
    if (!accepted)
        return;
    printStatement(du, au, [this](PeriodicStatement &statement) {
        // A refused job is told over the preview, which stays open; a print
        // to a file says where the file went.
        statement.Report1.preview(this, [](QWidget *over, const PrintOutcome &outcome) {
            if (outcome.kind == PrintOutcome::Failed)
                MessageBox::error(over, outcome.text);
            else if (outcome.kind == PrintOutcome::SavedToFile)
                MessageBox::information(over, outcome.text);
        });
    });
}

bool InvoiceList::printStatement(const QString &du, const QString &au, const std::function<void(PeriodicStatement &)> &show)
{
    try {
        PeriodicStatement statement(m_invoices->connection());
        statement.setPeriodTexts(du, au);
        double from = 0;
        double to = 0;
        if (!tryStrToDate(du.trimmed(), from))
            throw Error(invalidDateMessage(du));
        if (!tryStrToDate(au.trimmed(), to))
            throw Error(invalidDateMessage(au));
        statement.open(m_matricule, m_exercice, from, to);
        show(statement);
        return true;
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return false;
    }
}

void InvoiceList::Button4Click()
{
    closeWindow(this);
}

void InvoiceList::closeEvent(QCloseEvent *event)
{
    // Closing would drop the invoice an open form is entering.
    if (m_invoices->isEditing()) {
        MessageBox::information(this, EntryInProgress);
        event->ignore();
        return;
    }
    m_invoices->close();
    ListWindow::closeEvent(event);
}
