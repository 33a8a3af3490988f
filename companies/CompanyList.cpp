#include "companies/CompanyList.h"

#include "companies/CompanyForm.h"
#include "companies/CompanyRules.h"
#include "companies/CompanyStatements.h"
#include "companies/PasswordDialog.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "ui/ChildWindows.h"
#include "ui/MessageBox.h"
#include "ui/WindowClose.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>

#include <memory>

namespace {
const QString SearchedTitle = QStringLiteral("Raison Sociale");

} // namespace

CompanyList::CompanyList(DataSet *societes, QWidget *parent)
    : ListWindow(QStringLiteral("<<<  Liste des Sociétés >>>"), parent)
    , gridMenu(new QMenu(this))
    , m_societes(societes)
{
    setObjectName(QStringLiteral("CompanyList"));
    setWindowTitle(QStringLiteral("Liste des Sociétés"));
    grid->setDataSet(societes);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    grid->setColumns({ { QStringLiteral("IDENTIFIANT"), QStringLiteral("Code"), 106, Qt::AlignCenter, QColor() },
        { QStringLiteral("RAISON_SOCIALE"), QStringLiteral("Raison Sociale"), 343, left, QColor() },
        { QStringLiteral("ACTIVEON"), QStringLiteral("Active O/N"), 64, left, QColor() } });
    grid->setColumnHidden(2, true);
    searchEdit->setToolTip(QStringLiteral("Début de la raison sociale, après un clic sur le titre « Raison Sociale »"));

    addButton = addBarButton(QStringLiteral("addButton"), QStringLiteral("Ajouter"));
    editButton = addBarButton(QStringLiteral("editButton"), QStringLiteral("Modifier"));
    deleteButton = addBarButton(QStringLiteral("deleteButton"), QStringLiteral("Supprimer"));
    closeButton = addBarButton(QStringLiteral("closeButton"), QStringLiteral("Fermer"));
    connect(addButton, &QPushButton::clicked, this, &CompanyList::addRecord);
    connect(editButton, &QPushButton::clicked, this, &CompanyList::editRecord);
    connect(deleteButton, &QPushButton::clicked, this, &CompanyList::deleteRecord);
    connect(closeButton, &QPushButton::clicked, this, &CompanyList::closeList);

    // The grid's context menu repeats the buttons.
    gridMenu->setObjectName(QStringLiteral("gridMenu"));
    gridMenu->addAction(QStringLiteral("Ajouter"), this, &CompanyList::addRecord);
    gridMenu->addAction(QStringLiteral("Modifier"), this, &CompanyList::editRecord);
    gridMenu->addAction(QStringLiteral("Supprimer"), this, &CompanyList::deleteRecord);
    gridMenu->addSeparator();
    gridMenu->addAction(QStringLiteral("Fermer"), this, &CompanyList::closeList);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { gridMenu->popup(grid->viewport()->mapToGlobal(pos)); });

    connect(searchEdit, &QLineEdit::textChanged, this, &CompanyList::search);
    connect(grid, &DBGrid::titleClicked, this, &CompanyList::sortByColumn);
    connect(grid, &DBGrid::gridDoubleClicked, this, &CompanyList::editRecord);
    setMinimumSize(520, 360);
}

void CompanyList::showEvent(QShowEvent *event)
{
    ListWindow::showEvent(event);
    // Once: a frame restored from its icon shows the list again.
    if (!m_shown) {
        m_shown = true;
        openList();
    }
}

void CompanyList::openList()
{
    // No statement of its own: whatever the data set holds, read again.
    reopenCompanies(m_societes->sql());
}

bool CompanyList::reopenCompanies(const QString &sql)
{
    try {
        m_societes->checkBrowseMode();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return false;
    }
    return reopen(m_societes, sql);
}

void CompanyList::sortByColumn(int column)
{
    const QList<GridColumn> &columns = grid->dataModel()->columns();
    if (column < 0 || column >= columns.size())
        return;
    grid->setAllColumnsColor(LightColour);
    const bool opened = reopenCompanies(CompanyStatements::sortStatement(columns[column].fieldName));
    searchLabel->setText(columns[column].title);
    if (opened)
        grid->setColumnColor(column, SortColour);
}

void CompanyList::search()
{
    // Only names are searched, and only once the operator chose that column.
    if (searchLabel->text() != SearchedTitle)
        return;
    reopenCompanies(CompanyStatements::searchStatement(searchEdit->text()));
}

void CompanyList::openForm(void (DataSet::*start)())
{
    // Owned here until shown: a refused start leaves no window behind.
    auto form = std::make_unique<CompanyForm>(m_societes);
    try {
        (m_societes->*start)();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    openBeside(this, form.release(), true);
}

void CompanyList::addRecord()
{
    openForm(&DataSet::append);
}

void CompanyList::editRecord()
{
    openForm(&DataSet::edit); // on an empty list this starts a new row
}

void CompanyList::deleteRecord()
{
    QString password;
    if (!PasswordDialog::ask(this, password) || !CompanyRules::deletionPasswordAccepted(password))
        return; // nothing is said
    try {
        m_societes->remove(); // a row still being typed is only discarded
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void CompanyList::closeList()
{
    closeWindow(this);
}
