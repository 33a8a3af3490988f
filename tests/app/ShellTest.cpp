#include "app/CompanySelection.h"
#include "app/MainWindow.h"
#include "app/Windows.h"
#include "data/DataModule.h"
#include "declaration/DeclarationHistory.h"
#include "declaration/windows/DeclarationWindow.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct Shell
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    DataModule module;
    MainWindow *main = nullptr;
    QPointer<CompanySelection> selection;

    Shell()
    {
        MessageBox::resetRecord();
        module.connection->setDatabaseName(db.path());
    }
    void start()
    {
        main = new MainWindow;
        main->show();
        selection = new CompanySelection(module.companies, main, main->companyNameLabel, main->matriculeLabel, main->yearLabel);
        main->openChild(selection, false);
    }
    ~Shell() { delete main; }
};

QStringList texts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char('=') + a->text());
    return out;
}

} // namespace

TEST(Shell, MenuToolBarAndPanel)
{
    Shell s;
    s.start();
    MainWindow &m = *s.main;
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Kestra de la TVA"));
    QStringList menus;
    for (QAction *a : m.menuBar()->actions())
        menus << a->menu()->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(menus, (QStringList { "settingsMenu=Parametres", "entryMenu=Saisie", "declarationMenu=Déclaration", "exitMenu=Sortie" }));
    auto items = [&](const char *menu) { return texts(m.findChild<QMenu *>(QString::fromLatin1(menu))->actions()); };
    // The backups' two entries come beyond the menu as first built.
    EXPECT_EQ(items("settingsMenu"),
        (QStringList { "resetAction=Initialisation", "companiesAction=Sociétés", "-", "backupAction=Sauvegarder la base...",
            "restoreAction=Restaurer une sauvegarde..." }));
    // The import screen's entry comes beyond the menu as first built, with its shortcut.
    EXPECT_EQ(items("entryMenu"),
        (QStringList { "-", "invoicesAction=Saisie des Factures", "-", "clientsAction=Clients", "-", "importAction=Importation" }));
    EXPECT_EQ(items("declarationMenu"), (QStringList { "declarationAction=Génération du Fichier" }));
    EXPECT_EQ(items("exitMenu"), (QStringList { "quitAction=Quitter Application" }));

    QStringList buttons;
    for (QToolButton *b : m.findChild<QToolBar *>(QStringLiteral("toolBar"))->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
        if (b->objectName().endsWith(QLatin1String("Button")))
            buttons << b->objectName() + QLatin1Char('=') + b->text();
    EXPECT_EQ(buttons,
        (QStringList { "invoicesButton=Saisie des Factures", "importButton=Importation", "declarationButton=Génération Fichier",
            "companiesButton=Paramètres Société", "clientsButton=Clients", "resetButton=Initialisation",
            "calculatorButton=", "closeButton=Fermer" }));
    EXPECT_FALSE(m.findChild<QToolButton *>(QStringLiteral("calculatorButton"))->icon().isNull());
    for (const auto &[name, label] : { std::pair { "companyNameLabel", "Ste" }, std::pair { "matriculeLabel", "Matriculefiscal" },
             std::pair { "yearLabel", "Exercicecourant" } }) {
        QLabel *l = m.findChild<QLabel *>(QString::fromLatin1(name));
        ASSERT_NE(l, nullptr) << label;
        EXPECT_EQ(l->text(), QString::fromLatin1(label)); // their former names until a company is chosen
        EXPECT_TRUE(l->font().bold());
    }
    EXPECT_EQ(m.findChild<QLabel *>(QStringLiteral("titleLabel"))->text(), QStringLiteral("Kestra de la TVA"));
    EXPECT_TRUE(m.curMatricule.isEmpty());
    EXPECT_TRUE(m.curExercice.isEmpty());
}

TEST(Shell, ChoosingACompanyCopiesItAsStored)
{
    Shell s;
    s.db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, VILLE, RUE, NUMERO, "
                             "CODEPOSTAL, ACTIVITE, EXERCICE) "
                             "values ('0123456', 'A', 'M', '00', 'SOCIETE A     ', 'TUNIS ', 'RUE X', '12  ', '1000', 'COMMERCE', null)"));
    s.db.connection().commitRetaining();
    s.start();
    MainWindow &m = *s.main;
    QTest::mouseDClick(s.selection->grid->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_EQ(m.curIdentifiant, QStringLiteral("0123456"));
    EXPECT_EQ(m.curEtab, QStringLiteral("00 ")); // a fixed-width part keeps its blank
    EXPECT_EQ(m.curMatricule, QStringLiteral("0123456AM00 "));
    EXPECT_EQ(m.curExercice, QStringLiteral("0")); // no year
    EXPECT_EQ(m.curRaisonSociale, QStringLiteral("SOCIETE A     "));
    EXPECT_EQ(m.curVille, QStringLiteral("TUNIS "));
    EXPECT_EQ(m.curNumero, QStringLiteral("12  "));
    EXPECT_EQ(m.curActivite, QStringLiteral("COMMERCE"));
    EXPECT_EQ(m.companyNameLabel->text(), QStringLiteral("SOCIETE A"));
    EXPECT_EQ(m.matriculeLabel->text(), QStringLiteral("0123456"));
    EXPECT_EQ(m.yearLabel->text(), QStringLiteral("0"));
    QApplication::processEvents();
    EXPECT_TRUE(s.selection.isNull()); // closed and freed
    EXPECT_TRUE(m.mdiArea()->subWindowList().isEmpty());
}

// From the keyboard alone: the selection opens with the focus in its grid,
// Down moves to the next company, Enter chooses it as a double-click does;
// Escape closes the window without a choice, from the grid or the search box.
TEST(Shell, SelectionByKeyboard)
{
    const struct
    {
        bool inSearchBox; // the operator clicked into the search box first
        QList<int> keys;
        const char *context; // curMatricule chosen; null: closed without a choice
    } cases[] = {
        { false, { Qt::Key_Down, Qt::Key_Return }, "0000002BM000" },
        { false, { Qt::Key_Enter }, "0000001AM000" },
        { false, { Qt::Key_Escape }, nullptr },
        { true, { Qt::Key_Escape }, nullptr },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.context ? c.context : "escape");
        Shell s;
        s.db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                                 "values ('0000001', 'A', 'M', '000', 'PREMIERE', 2024)"));
        s.db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                                 "values ('0000002', 'B', 'M', '000', 'SECONDE', 2025)"));
        s.db.connection().commitRetaining();
        s.start();
        QApplication::setActiveWindow(s.main);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), s.selection->grid);
        if (c.inSearchBox)
            QTest::mouseClick(s.selection->searchEdit, Qt::LeftButton);
        for (int key : c.keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QApplication::processEvents();
        EXPECT_TRUE(s.selection.isNull() || !s.selection->isVisible());
        EXPECT_TRUE(s.main->mdiArea()->subWindowList().isEmpty() || !s.main->mdiArea()->subWindowList().first()->isVisible());
        EXPECT_EQ(s.main->curMatricule, QString::fromLatin1(c.context ? c.context : ""));
        EXPECT_EQ(s.main->companyNameLabel->text(), QString::fromLatin1(!c.context ? "Ste" : c.context[6] == '2' ? "SECONDE" : "PREMIERE"));
    }
}

TEST(Shell, DoubleClickOnAnEmptyGridEmptiesTheContext)
{
    Shell s;
    s.start();
    MainWindow &m = *s.main;
    m.curRaisonSociale = QStringLiteral("x");
    emit s.selection->grid->gridDoubleClicked();
    EXPECT_TRUE(m.curIdentifiant.isEmpty());
    EXPECT_TRUE(m.curMatricule.isEmpty());
    EXPECT_TRUE(m.curRaisonSociale.isEmpty());
    EXPECT_EQ(m.curExercice, QStringLiteral("0"));
    EXPECT_EQ(m.yearLabel->text(), QStringLiteral("0"));
}

TEST(Shell, SearchStatementsAndTypedQuotes)
{
    EXPECT_EQ(CompanySelection::searchStatement(QString()), QStringLiteral("select * from societe Order by Raison_Sociale"));
    EXPECT_EQ(CompanySelection::searchStatement(QStringLiteral("L'A")),
        QStringLiteral("select * from societe Where Raison_Sociale LIKE 'L''A%' Order by Raison_Sociale"));

    Shell s;
    s.db.exec(QStringLiteral(
        "insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE) values ('1', 'A', 'M', '000', 'L''AVENIR')"));
    s.db.exec(QStringLiteral(
        "insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE) values ('2', 'A', 'M', '000', 'LA MER')"));
    s.db.connection().commitRetaining();
    s.start();
    EXPECT_EQ(s.module.companies->sql(), CompanySelection::OpeningSql);
    EXPECT_EQ(s.module.companies->recordCount(), 2);
    QTest::keyClicks(s.selection->searchEdit, QStringLiteral("l'a"));
    EXPECT_EQ(s.module.companies->sql(), QStringLiteral("select * from societe Where Raison_Sociale LIKE 'L''A%' Order by Raison_Sociale"));
    EXPECT_EQ(s.module.companies->recordCount(), 1);
    s.selection->searchEdit->clear();
    EXPECT_EQ(s.module.companies->sql(), QStringLiteral("select * from societe Order by Raison_Sociale"));
    EXPECT_EQ(s.module.companies->fieldByName(QStringLiteral("RAISON_SOCIALE"))->asString(), QStringLiteral("L'AVENIR"));
}

TEST(Shell, CommandsWithoutWindowsAreDisabledAndNoneReopensTheSelection)
{
    Shell s;
    s.start();
    MainWindow &m = *s.main;
    // Every command that is enabled opens its own window, never the selection.
    for (QAction *a : m.findChildren<QAction *>())
        if (a->isEnabled() && !a->menu() && a->objectName() != QLatin1String("quitAction"))
            a->trigger();
    for (QToolButton *b : m.findChildren<QToolButton *>())
        if (b->isEnabled() && b->objectName() != QLatin1String("closeButton") && b->objectName() != QLatin1String("calculatorButton")
            && b->objectName().endsWith(QLatin1String("Button")))
            b->click();
    EXPECT_LE(m.findChildren<CompanySelection *>().size(), 1);
}

// The status bar shows the declaration due for the company chosen, then,
// once the window wrote it, when it was generated. (Last in this file: the
// commands stay wired to their windows afterwards.)
TEST(Shell, StatusBarShowsTheDeclarationDueThenWhenItWasGenerated)
{
    TestDatabase db;
    const QDate today = QDate::currentDate();
    const DeclarationHistory::Due due = DeclarationHistory::dueOn(today);
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                           "values ('0123456', 'A', 'M', '000', 'SOCIETE A', %1)")
                .arg(due.exercice));
    db.connection().commitRetaining();
    RunningProgram s(db.path());
    s.main->resize(1000, 600);
    EXPECT_EQ(s.main->declarationDueLabel->text(), QString()); // no company yet
    s.chooseFirstCompany();
    ASSERT_EQ(s.main->curMatricule, QStringLiteral("0123456AM000"));
    EXPECT_EQ(s.main->declarationDueLabel->text(), DeclarationHistory::dueText(due, std::nullopt, today));
    EXPECT_TRUE(s.main->statusBar()->isAncestorOf(s.main->declarationDueLabel));

    s.main->openDeclaration();
    DeclarationWindow *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<DeclarationWindow *>(w))
            window = d;
    ASSERT_NE(window, nullptr);
    QTemporaryDir out;
    window->quarterCombo->setCurrentText(due.trimestre());
    window->directoryEdit->setText(out.path());
    window->okButton->click();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Fichier de déclaration Crée"));
    const QString text = s.main->declarationDueLabel->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Déclaration %1 %2 générée le %3 à ")
                                    .arg(due.trimestre())
                                    .arg(due.exercice)
                                    .arg(today.toString(QStringLiteral("dd/MM/yyyy")))))
        << text.toStdString();
    s.main->grab().save(QDir::temp().filePath(QStringLiteral("kestra-status-bar.png")));
}

