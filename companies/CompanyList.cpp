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
    , PopupMenu1(new QMenu(this))
    , m_societes(societes)
{
    setObjectName(QStringLiteral("frmsocietes"));
    setWindowTitle(QStringLiteral("Liste des Sociétés"));
    DBGrid1->setDataSet(societes);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    DBGrid1->setColumns({ { QStringLiteral("IDENTIFIANT"), QStringLiteral("Code"), 106, Qt::AlignCenter, QColor() },
        { QStringLiteral("RAISON_SOCIALE"), QStringLiteral("Raison Sociale"), 343, left, QColor() },
        { QStringLiteral("ACTIVEON"), QStringLiteral("Active O/N"), 64, left, QColor() } });
    DBGrid1->setColumnHidden(2, true);
    eValChampRech->setToolTip(QStringLiteral("Début de la raison sociale, après un clic sur le titre « Raison Sociale »"));

    BitBtn1 = addButton(QStringLiteral("BitBtn1"), QStringLiteral("Ajouter"));
    BitBtn3 = addButton(QStringLiteral("BitBtn3"), QStringLiteral("Modifier"));
    BitBtn2 = addButton(QStringLiteral("BitBtn2"), QStringLiteral("Supprimer"));
    Button4 = addButton(QStringLiteral("Button4"), QStringLiteral("Fermer"));
    connect(BitBtn1, &QPushButton::clicked, this, &CompanyList::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &CompanyList::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &CompanyList::BitBtn2Click);
    connect(Button4, &QPushButton::clicked, this, &CompanyList::Button4Click);

    // The grid's context menu repeats the buttons.
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("Ajouter"), this, &CompanyList::BitBtn1Click);
    PopupMenu1->addAction(QStringLiteral("Modifier"), this, &CompanyList::BitBtn3Click);
    PopupMenu1->addAction(QStringLiteral("Supprimer"), this, &CompanyList::BitBtn2Click);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Fermer"), this, &CompanyList::Button4Click);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos)); });

    connect(eValChampRech, &QLineEdit::textChanged, this, &CompanyList::eValChampRechChange);
    connect(DBGrid1, &DBGrid::titleClicked, this, &CompanyList::DBGrid1TitleClick);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &CompanyList::BitBtn3Click);
    setMinimumSize(520, 360);
}

void CompanyList::showEvent(QShowEvent *event)
{
    ListWindow::showEvent(event);
    // Once: a frame restored from its icon shows the list again.
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void CompanyList::FormShow()
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

void CompanyList::DBGrid1TitleClick(int column)
{
    const QList<GridColumn> &columns = DBGrid1->dataModel()->columns();
    if (column < 0 || column >= columns.size())
        return;
    DBGrid1->setAllColumnsColor(LightColour);
    const bool opened = reopenCompanies(CompanyStatements::sortStatement(columns[column].fieldName));
    LabChpRech->setText(columns[column].title);
    if (opened)
        DBGrid1->setColumnColor(column, SortColour);
}

void CompanyList::eValChampRechChange()
{
    // Only names are searched, and only once the operator chose that column.
    if (LabChpRech->text() != SearchedTitle)
        return;
    reopenCompanies(CompanyStatements::searchStatement(eValChampRech->text()));
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

void CompanyList::BitBtn1Click()
{
    openForm(&DataSet::append);
}

void CompanyList::BitBtn3Click()
{
    openForm(&DataSet::edit); // on an empty list this starts a new row
}

void CompanyList::BitBtn2Click()
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

void CompanyList::Button4Click()
{
    closeWindow(this);
}
