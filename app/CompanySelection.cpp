#include "app/CompanySelection.h"

#include "core/Text.h"
#include "data/DataSet.h"
#include "data/ListStatements.h"
#include "ui/WindowClose.h"

#include <QKeyEvent>
#include <QLabel>

CompanySelection::CompanySelection(
    DataSet *societes, WorkingContext *context, QLabel *ste, QLabel *matricule, QLabel *exercice, QWidget *parent)
    : ListWindow(QStringLiteral("<<<  Liste des Sociétés >>>"), parent)
    , m_societes(societes)
    , m_context(context)
    , m_ste(ste)
    , m_matricule(matricule)
    , m_exercice(exercice)
{
    setObjectName(QStringLiteral("CompanySelection"));
    setWindowTitle(QStringLiteral("Selection Société"));
    grid->setDataSet(societes);
    grid->setColumns({ { QStringLiteral("IDENTIFIANT"), QStringLiteral("Matricule"), 104 },
        { QStringLiteral("EXERCICE"), QStringLiteral("Exercice"), 54 },
        { QStringLiteral("RAISON_SOCIALE"), QStringLiteral("Nom Prénom"), 271 } });
    // The search box searches company names.
    searchEdit->setToolTip(QStringLiteral("Début de la raison sociale"));
    searchEdit->setAccessibleName(QStringLiteral("Raison sociale"));
    connect(searchEdit, &QLineEdit::textChanged, this, &CompanySelection::search);
    connect(grid, &DBGrid::gridDoubleClicked, this, &CompanySelection::chooseCurrentRow);
    // Used from the keyboard too: the window opens with the focus in the grid,
    // where the arrows move, Enter chooses the row and Escape closes.
    grid->setTabKeyNavigation(false);
    grid->installEventFilter(this);
    searchEdit->installEventFilter(this);
    setFocusProxy(grid);
    setMinimumSize(480, 380);
    openList();
}

QString CompanySelection::searchStatement(const QString &typed)
{
    if (typed.isEmpty())
        return QStringLiteral("select * from societe Order by Raison_Sociale");
    return QStringLiteral("select * from societe Where ") + ListStatements::likeCondition(QStringLiteral("Raison_Sociale LIKE "), typed)
        + QStringLiteral(" Order by Raison_Sociale");
}

void CompanySelection::openList()
{
    reopen(m_societes, OpeningSql);
}

void CompanySelection::search()
{
    reopen(m_societes, searchStatement(searchEdit->text()));
}

bool CompanySelection::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == grid || watched == searchEdit)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return ListWindow::eventFilter(watched, event);
        if (watched == grid && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            chooseCurrentRow();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeWindow(this);
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

void CompanySelection::chooseCurrentRow()
{
    chooseCompany(*m_societes, *m_context);
    m_ste->setText(trimControls(m_context->curRaisonSociale));
    m_exercice->setText(m_context->curExercice);
    m_matricule->setText(m_context->curIdentifiant);
    emit companyChosen();
    closeWindow(this);
}
