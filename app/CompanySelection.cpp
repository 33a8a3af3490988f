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
    setObjectName(QStringLiteral("Frmsocieteselect"));
    setWindowTitle(QStringLiteral("Selection Société"));
    DBGrid1->setDataSet(societes);
    DBGrid1->setColumns({ { QStringLiteral("IDENTIFIANT"), QStringLiteral("Matricule"), 104 },
        { QStringLiteral("EXERCICE"), QStringLiteral("Exercice"), 54 },
        { QStringLiteral("RAISON_SOCIALE"), QStringLiteral("Nom Prénom"), 271 } });
    // The search box searches company names.
    eValChampRech->setToolTip(QStringLiteral("Début de la raison sociale"));
    eValChampRech->setAccessibleName(QStringLiteral("Raison sociale"));
    connect(eValChampRech, &QLineEdit::textChanged, this, &CompanySelection::eValChampRechChange);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &CompanySelection::DBGrid1DblClick);
    // Used from the keyboard too: the window opens with the focus in the grid,
    // where the arrows move, Enter chooses the row and Escape closes.
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->installEventFilter(this);
    eValChampRech->installEventFilter(this);
    setFocusProxy(DBGrid1);
    setMinimumSize(480, 380);
    FormCreate();
}

QString CompanySelection::searchStatement(const QString &typed)
{
    if (typed.isEmpty())
        return QStringLiteral("select * from societe Order by Raison_Sociale");
    return QStringLiteral("select * from societe Where ") + ListStatements::likeCondition(QStringLiteral("Raison_Sociale LIKE "), typed)
        + QStringLiteral(" Order by Raison_Sociale");
}

void CompanySelection::FormCreate()
{
    reopen(m_societes, OpeningSql);
}

void CompanySelection::eValChampRechChange()
{
    reopen(m_societes, searchStatement(eValChampRech->text()));
}

bool CompanySelection::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == DBGrid1 || watched == eValChampRech)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return ListWindow::eventFilter(watched, event);
        if (watched == DBGrid1 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            DBGrid1DblClick();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeWindow(this);
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

void CompanySelection::DBGrid1DblClick()
{
    chooseCompany(*m_societes, *m_context);
    m_ste->setText(trimControls(m_context->curRaisonSociale));
    m_exercice->setText(m_context->curExercice);
    m_matricule->setText(m_context->curIdentifiant);
    emit companyChosen();
    closeWindow(this);
}
