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
    , yearLabel(new QLabel(QStringLiteral("Exercice"), this))
    , yearEdit(new DBEdit(this))
    , m_invoices(invoices)
    , m_clients(clients)
    , m_matricule(matricule)
    , m_exercice(exercice)
{
    setObjectName(QStringLiteral("InvoiceList"));
    setWindowTitle(QStringLiteral("Saisie des Factures"));
    yearLabel->setObjectName(QStringLiteral("yearLabel"));
    yearEdit->setObjectName(QStringLiteral("yearEdit"));
    yearEdit->setReadOnly(true);
    yearEdit->setFocusPolicy(Qt::NoFocus);
    yearEdit->setMaximumWidth(80);
    yearLabel->setBuddy(yearEdit);
    searchBar()->addWidget(yearLabel);
    searchBar()->addWidget(yearEdit);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    grid->setDataSet(invoices);
    grid->setColumns({ { QStringLiteral("TRIMESTRE"), QStringLiteral("Trm"), 40, Qt::AlignLeft | Qt::AlignVCenter },
        { QStringLiteral("DATEFACTURE"), QStringLiteral("Date Fact."), 82, Qt::AlignCenter },
        { QStringLiteral("NUMEROFACTURE"), QStringLiteral("N°Facture"), 100, right },
        { QStringLiteral("IDENTIFIANTCLIENT"), QStringLiteral("Id.Bénéficiaire"), 125, right },
        { QStringLiteral("NOMPRENOMCLIENT"), QStringLiteral("Nom Prénom Ou Raison Sociale"), 260, Qt::AlignLeft | Qt::AlignVCenter,
            QColor(), true },
        { QStringLiteral("PRIXVENTE"), QStringLiteral("Montant H.T"), 110, right },
        { QStringLiteral("MONTANTFODEC"), QStringLiteral("Montant Fodec"), 100, right },
        { QStringLiteral("MONTANTDROITCONSOMMATION"), QStringLiteral("MT Droit Cons."), 100, right },
        { QStringLiteral("MONTANTTVA"), QStringLiteral("Montant TVA"), 100, right } });
    yearEdit->setField(invoices, QStringLiteral("EXERCICE"));

    addButton = addBarButton(QStringLiteral("addButton"), QStringLiteral("Ajouter"));
    editButton = addBarButton(QStringLiteral("editButton"), QStringLiteral("Modifier"));
    deleteButton = addBarButton(QStringLiteral("deleteButton"), QStringLiteral("Supprimer"));
    printButton = addBarButton(QStringLiteral("printButton"), QStringLiteral("Imprimer"));
    closeButton = addBarButton(QStringLiteral("closeButton"), QStringLiteral("Fermer"));

    connect(grid, &DBGrid::titleClicked, this, &InvoiceList::sortByColumn);
    connect(grid, &DBGrid::gridDoubleClicked, this, &InvoiceList::editRecord);
    connect(searchEdit, &QLineEdit::textChanged, this, &InvoiceList::search);
    connect(addButton, &QPushButton::clicked, this, &InvoiceList::addRecord);
    connect(editButton, &QPushButton::clicked, this, &InvoiceList::editRecord);
    connect(deleteButton, &QPushButton::clicked, this, &InvoiceList::deleteRecord);
    connect(printButton, &QPushButton::clicked, this, &InvoiceList::askPeriodAndPrint);
    connect(closeButton, &QPushButton::clicked, this, &InvoiceList::closeList);
    connect(invoices, &DataSet::stateChanged, this, &InvoiceList::followState);
    openList();
    followState();
}

bool InvoiceList::reopenWithParams(const QString &sql)
{
    return reopen(m_invoices, sql, { { QStringLiteral("id"), m_matricule }, { QStringLiteral("ex"), m_exercice } });
}

void InvoiceList::followState()
{
    const bool editing = m_invoices->isEditing();
    grid->setNavigationLocked(editing);
    for (QWidget *w : { static_cast<QWidget *>(addButton), static_cast<QWidget *>(editButton), static_cast<QWidget *>(deleteButton),
             static_cast<QWidget *>(printButton), static_cast<QWidget *>(searchEdit) })
        w->setEnabled(!editing);
}

bool InvoiceList::refuseWhileEditing()
{
    if (!m_invoices->isEditing())
        return false;
    MessageBox::information(this, EntryInProgress);
    return true;
}

void InvoiceList::openList()
{
    if (m_invoices->isEditing())
        return; // another list's form is entering an invoice: leave it be
    reopenWithParams(InvoiceStatements::opening());
}

void InvoiceList::sortByColumn(int column)
{
    if (refuseWhileEditing())
        return;
    grid->setAllColumnsColor(LightColour);
    const GridColumn c = grid->dataModel()->columns().value(column);
    reopenWithParams(InvoiceStatements::sortedBy(c.fieldName));
    searchLabel->setText(c.title);
    grid->setColumnColor(column, SortColour);
}

void InvoiceList::search()
{
    if (m_invoices->isEditing())
        return;
    if (const auto sql = InvoiceStatements::search(searchLabel->text(), searchEdit->text()))
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

void InvoiceList::addRecord()
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

void InvoiceList::editRecord()
{
    if (refuseWhileEditing())
        return;
    startForm([this] {
        if (!m_invoices->isActive())
            throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
        m_invoices->edit();
    });
}

void InvoiceList::deleteRecord()
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

void InvoiceList::askPeriodAndPrint()
{
    if (refuseWhileEditing())
        return;
    PeriodDialog dialog(this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const QString du = dialog.fromDateEdit->text();
    const QString au = dialog.toDateEdit->text();
    if (!accepted)
        return;
    printStatement(du, au, [this](PeriodicStatement &statement) {
        // A refused job is told over the preview, which stays open; a print
        // to a file says where the file went.
        statement.report.preview(this, [](QWidget *over, const PrintOutcome &outcome) {
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

void InvoiceList::closeList()
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
