#include "import/screen/ImportScreen.h"

#include "app/MainWindow.h"
#include "app/Windows.h"
#include "core/WorkingContext.h"
#include "data/AutomaticCopies.h"
#include "data/BackupRecord.h"
#include "data/DataModule.h"
#include "import/screen/ImportDestinationWidgets.h"
#include "import/sources/text/TextImport.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardWindow.h"
#include "tests/importscreen/ImportScreenSupport.h"
#include "tests/support/CurrentCellShown.h"
#include "tests/support/Restore.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/ScopedLanguage.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What the operator saw of one run of the wizard.
struct WizardRun
{
    bool opened = false;
    int step = -1;
    QString error; // a template the wizard refused
    QString state; // of the progress dialog when it finished
    int inserted = -1;
    int errors = -1;
    int processed = -1;
    int commited = -1;
    QString outcome; // of an abort
};

// Answers the next message box that opens, after check has looked at it,
// with its default button (Enter).
class BoxAnswerer
{
public:
    explicit BoxAnswerer(std::function<void(QMessageBox &)> check)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, check] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            m_timer.stop();
            ++Answered;
            check(*box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        m_timer.start(5);
    }
    int Answered = 0;

private:
    QTimer m_timer;
};

class ImportScreenTest : public ::testing::Test
{
protected:
    TestDatabase db;
    DataModule module;
    WorkingContext context;
    QTemporaryDir dir;
    std::unique_ptr<ImportScreen> screen;

    void SetUp() override
    {
        // A message nobody answers must not stop a test.
        MessageBox::resetRecord();
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        context.curIdentifiant = QStringLiteral("0123456");
        context.curCle = QStringLiteral("A");
        context.curCategorie = QStringLiteral("M");
        context.curEtab = QStringLiteral("000");
        context.curMatricule = CompanyA;
        context.curExercice = Year;
        module.connection->setDatabaseName(db.path());
        module.setNumberingCompany(context.curMatricule, context.curExercice);
    }
    void TearDown() override
    {
        screen.reset();
        MessageBox::setAutoAnswer(QMessageBox::NoButton);
        MessageBox::resetRecord();
    }

    // Rows written by the test become visible to the screen's connection.
    void seeded() { db.connection().commit(); }

    void open()
    {
        screen = std::make_unique<ImportScreen>(module, context);
        screen->show();
    }

    void chooseInvoices() { screen->tableCombo->setCurrentIndex(screen->tableCombo->findText(QStringLiteral("Factures"))); }

    // Presses "Imporation des Données"; in the wizard that opens, loads the
    // template, does what beforeExecute does, runs it, presses the progress
    // dialog's OK and quits.
    WizardRun importWith(const QString &templateText, const std::function<void(WizardWindow &)> &beforeExecute = {})
    {
        const QString file = writeFile(dir, QStringLiteral("import.imp"), templateText);
        WizardRun run;
        QPointer<ImportProgress> closed;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            WizardWindow *w = screen->wizard->window();
            ImportProgress *p = w ? w->progress() : nullptr;
            if (!p || !p->isDone() || p == closed)
                return;
            closed = p;
            run.state = p->state();
            run.inserted = p->inserted();
            run.errors = p->errors();
            run.processed = p->processed();
            run.commited = p->commited();
            run.outcome = p->outcome();
            QTest::mouseClick(p->button(), Qt::LeftButton);
        });
        closer.start(5);
        QTimer::singleShot(0, [&] {
            WizardWindow *w = screen->wizard->window();
            if (!w)
                return;
            run.opened = true;
            try {
                w->load(file);
            } catch (const Error &e) {
                run.error = e.text();
            }
            run.step = w->step();
            if (beforeExecute)
                beforeExecute(*w);
            if (run.error.isEmpty())
                w->executeImport();
            MessageBox::setNextAnswer(QMessageBox::Yes); // "Do you want to quit?"
            w->reject();
        });
        QTest::mouseClick(screen->importButton, Qt::LeftButton);
        return run;
    }

    // The same, aborted on the progress dialog as a clerk does it once rows
    // rows are processed or 3 s have gone: Cancel, then Yes in the question.
    WizardRun abortedImportWith(const QString &templateText, int rows, const std::function<void(WizardWindow &)> &beforeExecute)
    {
        QElapsedTimer clock;
        bool cancelled = false;
        QTimer aborter;
        QObject::connect(&aborter, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                if (cancelled && box->text() == QStringLiteral("Are you sure you want to abort import?")) {
                    MessageBox::setAutoAnswer(QMessageBox::Ok);
                    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                }
                return;
            }
            WizardWindow *w = screen->wizard->window();
            ImportProgress *p = w ? w->progress() : nullptr;
            if (cancelled || !p || !p->started() || p->isDone())
                return;
            if (!clock.isValid())
                clock.start();
            if (p->processed() < rows && clock.elapsed() < 3000)
                return;
            cancelled = true;
            MessageBox::setAutoAnswer(QMessageBox::NoButton); // the real question, answered above
            QTest::mouseClick(p->button(), Qt::LeftButton);
        });
        aborter.start(5);
        WizardRun run = importWith(templateText, beforeExecute);
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        EXPECT_TRUE(cancelled);
        return run;
    }

    int count(const QString &table) { return committedRows(db, QStringLiteral("select count(*) from ") + table).value(0).value(0).toInt(); }
};

} // namespace

TEST_F(ImportScreenTest, OpensOnClientsAndTheTabsChooseTheDestinationKind)
{
    open();
    EXPECT_EQ(screen->tableCombo->currentText(), QStringLiteral("Clients"));
    EXPECT_EQ(screen->tableCombo->toolTip(), QStringLiteral("Veuillez importer les tables dans leur Ordre"));
    EXPECT_EQ(screen->shownTable, screen->clientsTable);
    EXPECT_TRUE(screen->clientsTable->isActive());
    EXPECT_EQ(screen->wizard->dataSet, screen->clientsTable);
    EXPECT_EQ(screen->clearQuery.sql(), QStringLiteral("delete FROM tiers"));
    EXPECT_EQ(screen->impMatricule, CompanyA);
    EXPECT_EQ(screen->impExercice, Year);
    // The "DBGrid" tab shows, but the kind stays the data set's until a tab is chosen.
    EXPECT_EQ(screen->destinationTabs->tabText(screen->destinationTabs->currentIndex()), QStringLiteral("DBGrid"));
    EXPECT_EQ(screen->wizard->importDestination, qidDataSet);

    const QList<QPair<QString, ImportDestination>> tabs
        = { { QStringLiteral("ListView"), qidListView }, { QStringLiteral("Dataset"), qidDataSet },
              { QStringLiteral("StringGrid"), qidStringGrid }, { QStringLiteral("DBGrid"), qidDBGrid } };
    for (const auto &[tab, kind] : tabs) {
        for (int i = 0; i < screen->destinationTabs->count(); ++i)
            if (screen->destinationTabs->tabText(i) == tab)
                screen->destinationTabs->setCurrentIndex(i);
        EXPECT_EQ(screen->wizard->importDestination, kind) << tab.toStdString();
    }

    chooseInvoices();
    EXPECT_EQ(screen->shownTable, screen->invoicesTable);
    EXPECT_TRUE(screen->invoicesTable->isActive());
    EXPECT_EQ(screen->destinationGrid->gridDataSet(), screen->invoicesTable);
    EXPECT_EQ(screen->clearQuery.sql(), QStringLiteral("delete FROM FACTURE"));
}

// Under French the screen's captions read correct French, its tabs still
// choose their destination, and the emptying question has Qt's French
// buttons.
TEST_F(ImportScreenTest, UnderFrenchTheScreenAndItsQuestion)
{
    ScopedLanguage french(Translations::Language::French);
    ASSERT_TRUE(french.complete());
    open();
    EXPECT_EQ(screen->importButton->text(), QStringLiteral("Importation des données"));
    EXPECT_EQ(screen->emptyButton->text(), QStringLiteral("Vider la table"));
    EXPECT_EQ(screen->tableLabel->text(), QStringLiteral("Table à importer"));
    EXPECT_EQ(screen->tableCombo->toolTip(), QStringLiteral("Veuillez importer les tables dans leur ordre"));
    const QList<QPair<QString, ImportDestination>> tabs = { { QStringLiteral("Liste"), qidListView },
        { QStringLiteral("Jeu de données"), qidDataSet }, { QStringLiteral("Tableau"), qidStringGrid }, { QStringLiteral("Grille"), qidDBGrid } };
    for (const auto &[tab, kind] : tabs) {
        int index = -1;
        for (int i = 0; i < screen->destinationTabs->count(); ++i)
            if (screen->destinationTabs->tabText(i) == tab)
                index = i;
        ASSERT_GE(index, 0) << tab.toStdString();
        screen->destinationTabs->setCurrentIndex(index);
        EXPECT_EQ(screen->wizard->importDestination, kind) << tab.toStdString();
    }
    const QString shots = qEnvironmentVariable("KESTRA_WIZARD_SHOTS");
    if (!shots.isEmpty())
        screen->grab().save(shots + QStringLiteral("/fr-import-screen.png"));

    MessageBox::setAutoAnswer(QMessageBox::NoButton);
    QString text;
    QStringList buttons;
    BoxAnswerer answerer([&](QMessageBox &box) {
        text = box.text();
        for (QAbstractButton *b : box.buttons())
            buttons << b->text();
        if (!shots.isEmpty())
            box.grab().save(shots + QStringLiteral("/fr-import-screen-question.png"));
    });
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(answerer.Answered, 1);
    EXPECT_EQ(text, QStringLiteral("Voulez-vous vider la table ?"));
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({ QStringLiteral("&Non"), QStringLiteral("&Oui") }));
}

// From the keyboard: on every tab, Tab and Shift+Tab take the focus out of
// the grid to the controls around it, and a grid with rows shows where its
// current cell is for the arrows.
TEST_F(ImportScreenTest, TabLeavesEveryGrid)
{
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'UN')"));
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (2, 'DEUX')"));
    seeded();
    open();
    screen->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        QTest::keyClick(focused, key, modifiers);
    };
    struct Case
    {
        int tab;
        QAbstractItemView *grid;
        bool rows;
    };
    const QList<Case> cases = {
        { ImportScreen::TabDataSet, screen->dataSetGrid, true },
        { ImportScreen::TabDBGrid, screen->destinationGrid, true },
        { ImportScreen::TabListView, screen->destinationList, false },
        { ImportScreen::TabStringGrid, screen->destinationStringGrid, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(screen->destinationTabs->tabText(c.tab).toStdString());
        screen->destinationTabs->setCurrentIndex(c.tab);
        c.grid->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.grid->hasFocus());
        EXPECT_EQ(currentCellShown(*c.grid), c.rows);
        press(Qt::Key_Tab);
        EXPECT_FALSE(c.grid->hasFocus());
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_TRUE(c.grid->hasFocus());
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_FALSE(c.grid->hasFocus());
    }
    // The buttons are reached from the grid.
    screen->destinationTabs->setCurrentIndex(ImportScreen::TabDBGrid);
    screen->destinationGrid->setFocus(Qt::TabFocusReason);
    QList<QWidget *> reached;
    for (int i = 0; i < 10 && !reached.contains(screen->importButton); ++i) {
        press(Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    EXPECT_TRUE(reached.contains(screen->importButton));
}

TEST_F(ImportScreenTest, EmptyingAsksFirstAndEmptiesOnlyTheChosenTable)
{
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'UN')"));
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (2, 'DEUX')"));
    insertInvoice(db, CompanyA, 2026, 1, 1);
    insertInvoice(db, CompanyB, 2025, 4, 1);
    seeded();
    open();

    // The real question, answered by its default button.
    MessageBox::setAutoAnswer(QMessageBox::NoButton);
    QString text, caption;
    bool noIsDefault = false;
    BoxAnswerer answerer([&](QMessageBox &box) {
        text = box.text();
        caption = box.windowTitle();
        noIsDefault = box.defaultButton() == box.button(QMessageBox::No);
    });
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(answerer.Answered, 1);
    EXPECT_EQ(text, QStringLiteral("Voulez-vous vider la table ?"));
    EXPECT_EQ(caption, QStringLiteral("Confirmation"));
    EXPECT_TRUE(noIsDefault);
    EXPECT_EQ(count(QStringLiteral("TIERS")), 2);

    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("TIERS")), 0);
    EXPECT_EQ(count(QStringLiteral("FACTURE")), 2);
    // The grids show the emptied table again, ready for the import.
    EXPECT_TRUE(screen->clientsTable->isActive());
    EXPECT_EQ(screen->clientsTable->recordCount(), 0);

    chooseInvoices();
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("FACTURE")), 0);
    EXPECT_TRUE(screen->invoicesTable->isActive());

    // The list and the text grid are emptied without a question; the
    // grid's captions stay.
    const int asked = MessageBox::count();
    screen->destinationList->addItem(2);
    screen->destinationTabs->setCurrentIndex(ImportScreen::TabListView);
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(screen->destinationList->itemCount(), 0);
    screen->destinationStringGrid->setCell(1, 1, QStringLiteral("x"));
    screen->destinationStringGrid->setCell(3, 4, QStringLiteral("y"));
    screen->destinationTabs->setCurrentIndex(ImportScreen::TabStringGrid);
    QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
    EXPECT_EQ(MessageBox::count(), asked);
    EXPECT_EQ(screen->destinationStringGrid->cell(1, 1), QString());
    EXPECT_EQ(screen->destinationStringGrid->cell(3, 4), QString());
    QStringList captions;
    for (int c = 0; c < 4; ++c)
        captions << screen->destinationStringGrid->cell(c, 0);
    EXPECT_EQ(captions, (QStringList { "CODE", "IDENTIFIANT", "NOMBENEFICIAIRE", "ADRESSE" }));
}

// Invoices of this company and year, of an earlier year and of another
// company are in the table; five are imported with any key the source
// gives. Only those five are stamped, numbered on from this company's
// highest number of the year.
TEST_F(ImportScreenTest, ImportedInvoicesAreStampedAndNothingElseIsTouched)
{
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'UN')"));
    insertInvoice(db, CompanyA, 2026, 1, 1);
    insertInvoice(db, CompanyA, 2026, 1, 2);
    insertInvoice(db, CompanyA, 2026, 3, 7);
    insertInvoice(db, CompanyA, 2025, 4, 9);
    insertInvoice(db, CompanyB, 2026, 1, 1);
    insertInvoice(db, CompanyB, 2026, 2, 2);
    seeded();
    const QString others = QStringLiteral("select * from FACTURE order by IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE");
    const QList<QStringList> before = committedRows(db, others);

    const QString source = writeFile(dir, QStringLiteral("factures.csv"),
        invoicesCsv({ QStringLiteral("F1;12/03/2026;AUT-1;01/01/2026;100.5"), QStringLiteral("F2;03/04/2026;AUT-2;02/01/2026;200"),
            QStringLiteral("F3;30/09/2026;AUT-3;03/01/2026;300"), QStringLiteral("F4;01/10/2026;AUT-4;04/01/2026;400"),
            QStringLiteral("F5;;AUT-5;05/01/2026;500") }));
    open();
    chooseInvoices();
    const WizardRun run = importWith(csvTemplate(source, CsvInvoicesMap, PlaceholderKeys));
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(run.error, QString());
    EXPECT_EQ(run.step, 3);
    EXPECT_EQ(run.state, QStringLiteral("Finished"));
    EXPECT_EQ(run.inserted, 4);
    EXPECT_EQ(run.errors, 1); // F5 has no date: no quarter to file it in
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Do you want to quit?")) << "the only box";
    EXPECT_EQ(MessageBox::count(), 1);

    EXPECT_EQ(count(QStringLiteral("TIERS")), 1);
    EXPECT_EQ(committedRows(db,
                  QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, NUMEROAUTORISATION, "
                                 "DATEAUTORISATION, PRIXVENTE from FACTURE where NUMEROFACTURE starting with 'F' order by NUMEROORDRE")),
        (QList<QStringList> {
            { CompanyA, "2026", "1", "8", "F1", "AUT-1", "01/01/2026", "100.5" },
            { CompanyA, "2026", "2", "9", "F2", "AUT-2", "02/01/2026", "200" },
            { CompanyA, "2026", "3", "10", "F3", "AUT-3", "03/01/2026", "300" },
            { CompanyA, "2026", "4", "11", "F4", "AUT-4", "04/01/2026", "400" },
        }));
    QList<QStringList> after = committedRows(db, others);
    after.erase(std::remove_if(after.begin(), after.end(), [](const QStringList &r) { return r.value(4).startsWith(u'F'); }), after.end());
    EXPECT_EQ(after, before);

    // The shared invoice data set shows this company's year; the grid the stamped table.
    EXPECT_EQ(module.invoices->sql(), ImportScreen::ImportedInvoicesSql);
    EXPECT_EQ(module.invoices->param(QStringLiteral("identifiant")), CompanyA);
    EXPECT_TRUE(module.invoices->isActive());
    ASSERT_TRUE(screen->invoicesTable->isActive());
    EXPECT_EQ(screen->invoicesTable->recordCount(), 10);
    EXPECT_FALSE(screen->invoicesTable->locate(QStringLiteral("IDENTIFIANT"), QStringLiteral("IMPORT")));
}

// Invoices an interrupted import once left unstamped are offered to the
// operator before the next invoice import: stamped for the working company,
// deleted, each on a question of its own; the import then runs as usual.
TEST_F(ImportScreenTest, InvoicesLeftUnstampedAreOfferedBeforeTheNextImport)
{
    struct Case
    {
        const char *name;
        QList<QMessageBox::StandardButton> answers; // to "stamp them?", then to "delete them?"
        QList<QStringList> invoices;
    };
    const QList<Case> cases = {
        { "stamped", { QMessageBox::Yes },
            { { "A1", CompanyA, "1", "1" }, { "LOST-1", CompanyA, "1", "2" }, { "LOST-2", CompanyA, "2", "3" },
                { "NEW", CompanyA, "1", "4" } } },
        { "deleted", { QMessageBox::No, QMessageBox::Yes }, { { "A1", CompanyA, "1", "1" }, { "NEW", CompanyA, "1", "2" } } },
        { "left", { QMessageBox::No, QMessageBox::No },
            { { "A1", CompanyA, "1", "1" }, { "LOST-1", "IMPORT", "0", "1" }, { "LOST-2", "IMPORT", "0", "2" },
                { "NEW", CompanyA, "1", "2" } } },
    };
    const QString source
        = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv({ QStringLiteral("NEW;12/03/2026;AUT-1;01/01/2026;100") }));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        db.exec(QStringLiteral("delete from FACTURE"));
        insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("A1"));
        insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, 1, QStringLiteral("LOST-1"), QStringLiteral("2026-02-01"));
        insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, 2, QStringLiteral("LOST-2"), QStringLiteral("2026-05-01"));
        seeded();
        MessageBox::resetRecord();
        open();
        chooseInvoices();
        for (QMessageBox::StandardButton answer : c.answers)
            MessageBox::setNextAnswer(answer);
        const WizardRun run = importWith(csvTemplate(source, CsvInvoicesMap, PlaceholderKeys));
        EXPECT_EQ(run.inserted, 1);
        EXPECT_EQ(committedRows(
                      db, QStringLiteral("select NUMEROFACTURE, IDENTIFIANT, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROFACTURE")),
            c.invoices);
        screen.reset();
    }
}

// A date that cannot be converted: an invoice without it would be filed in
// the fourth quarter and declared there, so it is refused as a failed row
// with its message; a client keeps coming in without the value. Either way
// the log says what was lost, and the dialog's Processed adds up its own
// counters.
TEST_F(ImportScreenTest, AnInvoiceWithoutItsDateIsRefusedAClientLosesOnlyTheValue)
{
    const QString log = dir.filePath(QStringLiteral("import.log"));
    const QString logging = errorLogTo(log);
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"),
        invoicesCsv({ QStringLiteral("F1;12/03/2026;AUT-1;01/01/2026;100"), QStringLiteral("F2;31/02/2026;AUT-2;01/01/2026;200"),
            QStringLiteral("F3;hier;AUT-3;01/01/2026;300"), QStringLiteral("F4;;AUT-4;01/01/2026;400"),
            QStringLiteral("F5;01/10/2026;AUT-5;01/01/2026;500") }));
    const QString clients = writeFile(
        dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM;AUTORISATION;DATE\r\n1;UN;AUT-1;01/01/2026\r\n2;DEUX;AUT-2;hier\r\n"));
    struct Case
    {
        const char *name;
        bool invoices;
        QString templateText;
        int inserted, errors, processed;
        QStringList logLines; // beside the start and end lines
        QString rowsSql;
        QList<QStringList> rows;
    };
    const QList<Case> cases = {
        { "invoices", true, csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + logging), 2, 3, 5,
            { QStringLiteral("Line 3: Wrong date format \"31/02/2026\""), QStringLiteral("Line 4: Wrong date format \"hier\""),
                QStringLiteral("Line 5: Field 'DATEFACTURE' must have a value"), QStringLiteral("3 error(s) found") },
            QStringLiteral("select NUMEROFACTURE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROORDRE"),
            { { "F1", "1", "1" }, { "F5", "4", "2" } } },
        { "clients", false,
            csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nNUMEROAUTORISATION=3\nDATEAUTORISATION=4"), logging), 2, 1, 3,
            { QStringLiteral("Line 3: Wrong date format \"hier\""), QStringLiteral("1 value(s) could not be converted") },
            QStringLiteral("select CODE, NUMEROAUTORISATION, DATEAUTORISATION from TIERS order by CODE"),
            { { "1", "AUT-1", "01/01/2026" }, { "2", "AUT-2", "null" } } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        if (c.invoices)
            chooseInvoices();
        const WizardRun run = importWith(c.templateText);
        EXPECT_EQ(run.state, QStringLiteral("Finished"));
        EXPECT_EQ(run.inserted, c.inserted);
        EXPECT_EQ(run.errors, c.errors);
        EXPECT_EQ(run.processed, c.processed);
        EXPECT_EQ(committedRows(db, c.rowsSql), c.rows);
        QFile file(log);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        for (const QString &line : c.logLines)
            EXPECT_TRUE(text.contains(line)) << line.toStdString() << "\n" << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("No error found"))) << text.toStdString();
        screen.reset();
    }
}

// A 65,000-row import aborted on its progress dialog: nothing more of it is
// saved, whatever closes next, the screen then the program. What an
// intermediate commit saved before stays, the grid shows the table as it
// is, and the dialog says how many rows went and how many stay.
TEST_F(ImportScreenTest, AnAbortedImportSavesNothingMore)
{
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (900001, 'ANCIEN')"));
    insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("OLD"));
    seeded();
    constexpr int Rows = 65000;
    QStringList clientLines { QStringLiteral("CODE;NOM") }, invoiceLines;
    for (int i = 1; i <= Rows; ++i) {
        clientLines << QStringLiteral("%1;CLIENT %1").arg(i);
        invoiceLines << QStringLiteral("F%1;10/01/2026;AUT;01/01/2026;%1").arg(i);
    }
    const QString clients
        = writeFile(dir, QStringLiteral("clients.csv"), clientLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv(invoiceLines));
    const QString everyThousand = QStringLiteral("[LAST_STEP]\nCommitAfterDone=0\nCommitRecCount=1000\n");
    // "Commit when done" stays ticked on the screen's wizard whatever a
    // template says: the clerk unticks it on the last step.
    auto commitEach = [](WizardWindow &w) {
        auto *box = w.findChild<QCheckBox *>(QStringLiteral("chCommitAfterDone"));
        ASSERT_TRUE(box && box->isVisible() && box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        EXPECT_FALSE(box->isChecked());
    };
    struct Case
    {
        const char *name;
        bool invoices;
        QString templateText;
        std::function<void(WizardWindow &)> beforeExecute;
        bool keepsCommits; // the import's own commits stay
    };
    const QList<Case> cases = {
        { "clients committed at the end", false, csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2")), {}, false },
        { "clients committed every 1000 rows", false, csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2"), everyThousand),
            commitEach, true },
        // Invoices are committed with their stamping only, whatever the clerk asks.
        { "invoices", true, csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + everyThousand), commitEach, false },
    };
    const QString importedSql = QStringLiteral("select count(*), min(CODE), max(CODE) from TIERS where CODE <= %1").arg(Rows);
    const QString othersSql = QStringLiteral("select * from TIERS where CODE > %1").arg(Rows);
    const QString invoicesSql = QStringLiteral("select * from FACTURE");
    const QList<QStringList> othersBefore = committedRows(db, othersSql);
    const QList<QStringList> invoicesBefore = committedRows(db, invoicesSql);
    static const QRegularExpression said(QStringLiteral("^(\\d+) row\\(s\\) discarded, (\\d+) row\\(s\\) kept from intermediate commits$"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        db.exec(QStringLiteral("delete from TIERS where CODE <= %1").arg(Rows));
        seeded();
        open();
        if (c.invoices)
            chooseInvoices();
        const int shownBefore = screen->chosenTable()->recordCount();
        const WizardRun run = abortedImportWith(c.templateText, 20865, c.beforeExecute);
        EXPECT_EQ(run.state, QStringLiteral("Aborted"));
        const QRegularExpressionMatch m = said.match(run.outcome);
        ASSERT_TRUE(m.hasMatch()) << run.outcome.toStdString();
        const int discarded = m.captured(1).toInt(), kept = m.captured(2).toInt();
        EXPECT_EQ(discarded + kept, run.inserted);
        EXPECT_EQ(run.commited, kept);
        // Every thousandth row a commit; none when the import commits at its end.
        EXPECT_GE(run.inserted, c.keepsCommits ? 1000 : 1);
        EXPECT_EQ(kept, c.keepsCommits ? run.inserted / 1000 * 1000 : 0);
        EXPECT_EQ(screen->chosenTable()->recordCount(), shownBefore + kept);

        const QList<QStringList> imported { { QString::number(kept), kept ? QStringLiteral("1") : QStringLiteral("null"),
            kept ? QString::number(kept) : QStringLiteral("null") } };
        auto unchanged = [&](const char *when) {
            SCOPED_TRACE(when);
            EXPECT_EQ(committedRows(db, importedSql), imported);
            EXPECT_EQ(committedRows(db, othersSql), othersBefore);
            EXPECT_EQ(committedRows(db, invoicesSql), invoicesBefore);
        };
        unchanged("after the abort");
        screen.reset();
        unchanged("after closing the screen");
        module.connection->close(); // as the program ends: pending work committed
        unchanged("after closing the program");
    }
}

TEST_F(ImportScreenTest, ClientsImportCutsLongNamesAndTheBeforePostRuleRefusesArgentina)
{
    const QString longName = QStringLiteral("SOCIETE GENERALE DES GRANDS TRAVAUX DE LA MEDJERDA"); // 50 characters
    ASSERT_EQ(longName.size(), 50);
    const QString source = writeFile(dir, QStringLiteral("clients.csv"),
        QStringLiteral("CODE;NOM;ADRESSE\r\n1;%1;Tunis\r\n2;CLIENT DEUX;ARGENTINA\r\n3;CLIENT TROIS;argentine\r\n").arg(longName));
    const QString clientsTemplate = csvTemplate(source, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3"));
    struct Case
    {
        bool ticked;
        QList<int> codes;
    };
    for (const Case &c : { Case { false, { 1, 2, 3 } }, Case { true, { 1, 3 } } }) {
        SCOPED_TRACE(c.ticked ? "ticked" : "not ticked");
        // Emptied the operator's way, which also ends the screen's transaction.
        open();
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(screen->emptyButton, Qt::LeftButton);
        if (c.ticked)
            QTest::mouseClick(screen->useBeforePostCheck, Qt::LeftButton, {}, QPoint(8, screen->useBeforePostCheck->height() / 2));
        ASSERT_EQ(screen->useBeforePostCheck->isChecked(), c.ticked);
        const WizardRun run = importWith(clientsTemplate);
        EXPECT_EQ(run.state, QStringLiteral("Finished"));
        EXPECT_EQ(run.errors, 0);
        const QList<QStringList> rows = committedRows(db, QStringLiteral("select CODE, NOMBENEFICIAIRE from TIERS order by CODE"));
        QList<int> codes;
        for (const QStringList &r : rows)
            codes << r[0].toInt();
        EXPECT_EQ(codes, c.codes);
        EXPECT_EQ(rows.value(0).value(1), longName.left(40));
        // The shared client data set is reopened on its last row.
        EXPECT_TRUE(module.clients->isActive());
        EXPECT_EQ(module.clients->recNo(), module.clients->recordCount() - 1);
        screen.reset();
    }
}

// With "Factures" chosen, an import into the text grid reaches the grid
// only: the invoices in the table keep their keys.
TEST_F(ImportScreenTest, TextGridTakesTheRowsUnderItsCaptionsAndTheInvoicesStayAsTheyAre)
{
    insertInvoice(db, CompanyA, 2026, 2, 5);
    insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, 1); // an earlier import left unstamped
    seeded();
    const QString all = QStringLiteral("select * from FACTURE order by IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE");
    const QList<QStringList> before = committedRows(db, all);
    const QString source
        = writeFile(dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM;ADRESSE\r\n7;SEPT;Sfax\r\n8;HUIT;Sousse\r\n"));
    open();
    chooseInvoices();
    screen->destinationTabs->setCurrentIndex(ImportScreen::TabStringGrid);
    const WizardRun run = importWith(csvTemplate(source, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3")));
    EXPECT_EQ(run.state, QStringLiteral("Finished"));
    EXPECT_EQ(run.inserted, 2);
    ImportStringGrid &grid = *screen->destinationStringGrid;
    ASSERT_GE(grid.rowCount(), 3);
    EXPECT_EQ(
        QStringList({ grid.cell(0, 1), grid.cell(1, 1), grid.cell(2, 1), grid.cell(3, 1) }), QStringList({ "7", "", "SEPT", "Sfax" }));
    EXPECT_EQ(QStringList({ grid.cell(0, 2), grid.cell(2, 2), grid.cell(3, 2) }), QStringList({ "8", "HUIT", "Sousse" }));
    EXPECT_EQ(grid.cell(2, 0), QStringLiteral("NOMBENEFICIAIRE"));
    EXPECT_EQ(committedRows(db, all), before);
}

// The list adapter as the engine uses it: captions in column 0, sub-items after.
TEST(ImportListView, TakesRowsThroughTheEngine)
{
    QTemporaryDir dir;
    const QString source = writeFile(dir, QStringLiteral("l.csv"), QStringLiteral("1;Un;Tunis\r\n2;Deux;Sfax\r\n"));
    ImportListView list;
    list.setColumns({ QStringLiteral("CODE"), QStringLiteral("NOM"), QStringLiteral("VILLE") });
    TextImport source1;
    source1.setImportDestination(qidListView);
    source1.setListView(&list);
    source1.setFileName(source);
    source1.setComma(QLatin1Char(';'));
    source1.setMap({ QStringLiteral("CODE=1"), QStringLiteral("VILLE=3") });
    source1.execute();
    ASSERT_EQ(list.itemCount(), 2);
    EXPECT_EQ(list.itemCaption(1), QStringLiteral("2"));
    EXPECT_EQ(list.subItem(1, 0), QString());
    EXPECT_EQ(list.subItem(1, 1), QStringLiteral("Sfax"));
    EXPECT_EQ(list.subItem(1, 5), QString());
    list.deleteItem(0);
    EXPECT_EQ(list.itemCaption(0), QStringLiteral("2"));
    list.clearItems();
    EXPECT_EQ(list.itemCount(), 0);
    EXPECT_TRUE(list.updatesEnabled());
}

// The program's frame over a fresh database, with its windows registered,
// as the program starts; message boxes are answered OK and recorded.
struct ProgramFrame
{
    TestDatabase db;
    bool closed = (db.connection().close(), true); // the module opens it again
    RunningProgram program { db.path() };
    std::unique_ptr<MainWindow> &main = program.owner;
};

// The import screen from the keyboard: its menu entry under "Saisie", and
// its shortcut, from the frame.
TEST(ImportScreenWiring, TheMenuEntryAndItsShortcutOpenTheScreen)
{
    ProgramFrame frame;
    MainWindow *main = frame.main.get();
    auto screens = [] {
        QList<ImportScreen *> out;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *s = qobject_cast<ImportScreen *>(w))
                out << s;
        return out;
    };
    auto *entry = main->findChild<QAction *>(QStringLiteral("importAction"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_TRUE(entry->isEnabled());
    auto *saisie = main->findChild<QMenu *>(QStringLiteral("entryMenu"));
    ASSERT_TRUE(saisie);

    const QStringList ways = { QStringLiteral("menu"), QStringLiteral("shortcut") };
    for (const QString &way : ways) {
        SCOPED_TRACE(way.toStdString());
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        if (way == QLatin1String("menu")) {
            // The menu opened, its last entry chosen with the arrows, Enter.
            saisie->popup(main->mapToGlobal(QPoint(0, 0)));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(saisie));
            QTest::keyClick(saisie, Qt::Key_Up);
            EXPECT_EQ(saisie->activeAction(), entry);
            QTest::keyClick(saisie, Qt::Key_Return);
        } else {
            QTest::keyClick(main, Qt::Key_I, Qt::ControlModifier);
        }
        const QList<ImportScreen *> opened = screens();
        ASSERT_EQ(opened.size(), 1);
        EXPECT_TRUE(opened[0]->isVisible());
        QPointer<ImportScreen> watch(opened[0]);
        opened[0]->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(watch.isNull());
    }
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST(ImportScreenWiring, ImportationOpensTheScreenInItsOwnWindow)
{
    ProgramFrame frame;
    MainWindow *main = frame.main.get();
    main->curIdentifiant = QStringLiteral("0123456");
    main->curCle = QStringLiteral("A");
    main->curCategorie = QStringLiteral("M");
    main->curEtab = QStringLiteral("000");
    main->curExercice = Year;

    main->openImport();
    ImportScreen *screen = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *s = qobject_cast<ImportScreen *>(w))
            screen = s;
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->isWindow());
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->impMatricule, CompanyA);
    QPointer<ImportScreen> watch(screen);
    screen->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

// An invoice import into the database is preceded by a copy of it, unless
// the configuration turns that off; a copy that fails stops the import
// before its first row, saying why. Clients, and rows that only fill the
// grids, need none.
TEST_F(ImportScreenTest, AnInvoiceImportIsPrecededByACopyThatMustSucceed)
{
    insertInvoice(db, CompanyA, 2026, 1, 1);
    seeded();
    const QString copies = AutomaticCopies::directory(db.path(), module.backupSettings);
    const QString source = writeFile(dir, QStringLiteral("factures.csv"),
        invoicesCsv({ QStringLiteral("F1;12/03/2026;AUT-1;01/01/2026;100"), QStringLiteral("F2;03/04/2026;AUT-2;02/01/2026;200") }));
    const QString clients = writeFile(dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM\r\n31;Trente et un\r\n"));
    struct Case
    {
        const char *name;
        bool invoices;
        bool copyOn;
        bool copyFails; // Sauvegardes cannot be made: a file holds its name
        int tab;
        int copiesAfter;
        int invoicesAfter;
    } cases[] = {
        { "invoices", true, true, false, ImportScreen::TabDataSet, 1, 3 },
        { "invoices, the copy turned off", true, false, false, ImportScreen::TabDataSet, 0, 3 },
        { "invoices, the copy failing", true, true, true, ImportScreen::TabDataSet, 0, 1 },
        { "invoices into the text grid", true, true, false, ImportScreen::TabStringGrid, 0, 1 },
        { "clients", false, true, false, ImportScreen::TabDataSet, 0, 1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(copies).removeRecursively();
        QFile::remove(copies);
        db.exec(QStringLiteral("delete from FACTURE where NUMEROFACTURE starting with 'F'"));
        seeded();
        if (c.copyFails) {
            QFile blocker(copies);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        module.backupSettings.copyBeforeImport = c.copyOn;
        MessageBox::resetRecord();
        open();
        if (c.invoices)
            chooseInvoices();
        screen->destinationTabs->setCurrentIndex(c.tab);
        // The failure is shown as the operator sees it, and read there.
        QString told;
        std::unique_ptr<BoxAnswerer> answerer;
        if (c.copyFails) {
            MessageBox::setAutoAnswer(QMessageBox::NoButton);
            answerer = std::make_unique<BoxAnswerer>([&](QMessageBox &box) { told = box.text(); });
        }
        const WizardRun run = importWith(c.invoices ? csvTemplate(source, CsvInvoicesMap, PlaceholderKeys)
                                                    : csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2")));
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        ASSERT_TRUE(run.opened);
        if (c.copyFails) {
            EXPECT_TRUE(told.startsWith(ImportScreen::CopyFailedMessage.arg(QString()))) << told.toStdString();
            EXPECT_TRUE(told.contains(copies)) << told.toStdString();
        }
        const QStringList made = AutomaticCopies::list(copies);
        EXPECT_EQ(made.size(), c.copiesAfter);
        if (!made.isEmpty()) {
            // Taken before the rows went in.
            const std::optional<BackupRecord> record = BackupRecord::readFor(made.first());
            ASSERT_TRUE(record && record->figures);
            EXPECT_EQ(record->figures->invoices(), 1);
            EXPECT_EQ(record->kind, QStringLiteral("avant importation"));
        }
        EXPECT_EQ(count(QStringLiteral("FACTURE")), c.invoicesAfter);
        screen.reset();
    }
}
