#include "import/wizard/WizardWindow.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/template/TemplateFile.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/ReplacementDialog.h"
#include "import/wizard/WizardPage.h"
#include "tests/wizard/PageDriving.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <gtest/gtest.h>

namespace {

// The operator's clicks and typing, and the controls found by name, come
// from the pages' driving helpers.
using PageDriving::click;
using PageDriving::find;
using PageDriving::type;

// Maps columns on the kind's page with the mouse, as lines "COLUMN=source"
// say: a field number for delimited text, "position;size" for fixed width.
void mapOnPage(WizardWindow &w, AllowedImport kind, const QString &lines)
{
    for (const QString &line : lines.split(QLatin1Char('\n'))) {
        const QString column = line.section(QLatin1Char('='), 0, 0);
        const QString source = line.section(QLatin1Char('='), 1);
        const int position = source.section(QLatin1Char(';'), 0, 0).toInt();
        if (kind == aiTXT)
            PageDriving::mapFixedWidth(*w.page(kind), column, position, source.section(QLatin1Char(';'), 1).toInt());
        else
            PageDriving::mapDelimited(*w.page(kind), column, source.toInt());
    }
}

// Once the import's progress dialog is done, lets check look at it and
// presses its OK, which the wizard waits for.
class ProgressCloser
{
public:
    explicit ProgressCloser(WizardWindow &w, std::function<void(ImportProgress &)> check = {})
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, &w, check] {
            ImportProgress *p = w.progress();
            if (!p || !p->isDone() || p == m_closed)
                return;
            m_closed = p;
            ++Closed;
            if (check)
                check(*p);
            QTest::mouseClick(p->button(), Qt::LeftButton);
        });
        m_timer.start(5);
    }
    int Closed = 0;

private:
    QTimer m_timer;
    QPointer<ImportProgress> m_closed;
};

// Pictures of the wizard for a person to look at, when asked for.
void shoot(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("KESTRA_WIZARD_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

class Wizard : public ::testing::Test
{
protected:
    ClientsFixture fx;
    ImportWizard wizard;
    int commits = 0;

    void SetUp() override
    {
        MessageBox::resetRecord();
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        wizard.dataSet = &fx.tiers;
        wizard.onNeedCommit = [this](QObject *) {
            ++commits;
            fx.db.connection().commitRetaining();
        };
    }
    void TearDown() override
    {
        MessageBox::setAutoAnswer(QMessageBox::NoButton);
        MessageBox::resetRecord();
    }

    // A window on the delimited kind with clients.csv mapped, on step 3.
    void prepareCsv(WizardWindow &w, int rows = 3)
    {
        fx.clientsCsv(rows);
        click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
        type(find<QLineEdit>(w, QStringLiteral("edFileName")), fx.path(QStringLiteral("clients.csv")));
        type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        mapOnPage(w, aiCSV, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3"));
        type(find<QLineEdit>(*w.page(aiCSV), QStringLiteral("edSkipLines")), QStringLiteral("1"));
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        click(find<QPushButton>(w, QStringLiteral("bNext")));
    }
};

} // namespace

// ---------------------------------------------------------------------------
// The whole road
// ---------------------------------------------------------------------------

TEST_F(Wizard, ImportsADelimitedFileThroughTheFourSteps)
{
    fx.clientsCsv(3);
    WizardWindow w(wizard);
    w.show();
    auto *next = find<QPushButton>(w, QStringLiteral("bNext"));
    auto *back = find<QPushButton>(w, QStringLiteral("bBack"));
    auto *execute = find<QPushButton>(w, QStringLiteral("bOk"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Import data wizard"));
    EXPECT_EQ(execute->text(), QStringLiteral("&Execute"));
    EXPECT_EQ(w.step(), 0);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(execute->isEnabled());
    // The spreadsheet is offered first; the text boxes serve delimited files only.
    EXPECT_TRUE(find<QRadioButton>(w, QStringLiteral("rbXLS"))->isChecked());
    EXPECT_FALSE(find<QComboBox>(w, QStringLiteral("cbComma"))->isEnabled());

    click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
    EXPECT_TRUE(find<QComboBox>(w, QStringLiteral("cbComma"))->isEnabled());
    type(find<QLineEdit>(w, QStringLiteral("edFileName")), fx.path(QStringLiteral("clients.csv")));
    type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Import data wizard - Import from clients.csv"));
    EXPECT_TRUE(next->isEnabled());
    shoot(w, QStringLiteral("step0"));

    click(next);
    ASSERT_EQ(w.step(), 1);
    EXPECT_EQ(find<QLabel>(w, QStringLiteral("laStep1"))->text(), QStringLiteral("Step 1 of 3"));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(next->isEnabled()); // nothing mapped yet
    EXPECT_FALSE(execute->isEnabled());
    WizardPage *page = w.page(aiCSV);
    const QAbstractItemModel *preview = find<QTableView>(*page, QStringLiteral("sgCSV"))->model();
    EXPECT_EQ(preview->index(0, 1).data().toString(), QStringLiteral("NOM"));
    EXPECT_EQ(preview->index(1, 1).data().toString(), QStringLiteral("Client 1"));
    mapOnPage(w, aiCSV, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3"));
    type(find<QLineEdit>(*page, QStringLiteral("edSkipLines")), QStringLiteral("1"));
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(execute->isEnabled());
    shoot(w, QStringLiteral("step1"));

    click(next);
    ASSERT_EQ(w.step(), 2);
    EXPECT_EQ(find<QLabel>(w, QStringLiteral("laStep2"))->text(), QStringLiteral("Step 2 of 3"));
    // Names in capitals, through the column's tuning.
    auto *fields = find<QListWidget>(w, QStringLiteral("lstFields"));
    fields->setCurrentItem(fields->findItems(QStringLiteral("NOMBENEFICIAIRE"), Qt::MatchExactly).value(0));
    find<QComboBox>(w, QStringLiteral("cbCharCase"))->setCurrentIndex(iccUpper);
    shoot(w, QStringLiteral("step2"));
    find<QTabWidget>(w, QStringLiteral("pcFormats"))->setCurrentIndex(1);
    shoot(w, QStringLiteral("step2-data-formats"));

    click(next);
    ASSERT_EQ(w.step(), 3);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(execute->isEnabled());
    shoot(w, QStringLiteral("step3"));

    QString state, caption, button;
    int inserted = -1, processed = -1, commited = -1;
    ProgressCloser closer(w, [&](ImportProgress &p) {
        state = p.state();
        caption = p.windowTitle();
        button = p.button()->text();
        inserted = p.inserted();
        processed = p.processed();
        commited = p.commited();
        shoot(p, QStringLiteral("progress"));
    });
    click(execute);
    EXPECT_EQ(closer.Closed, 1);
    EXPECT_EQ(state, QStringLiteral("Finished"));
    EXPECT_EQ(caption, QStringLiteral("Import finished"));
    EXPECT_EQ(button, QStringLiteral("OK"));
    EXPECT_EQ(inserted, 3);
    EXPECT_EQ(processed, 3);
    EXPECT_EQ(commited, 3);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(fx.committed(),
        (QMap<int, QString> { { 1, QStringLiteral("CLIENT 1") }, { 2, QStringLiteral("CLIENT 2") }, { 3, QStringLiteral("CLIENT 3") } }));
    // The wizard stays for another run; its dialog is gone.
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.progress());
    EXPECT_TRUE(execute->isEnabled());
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

// ---------------------------------------------------------------------------
// Opening and the first step's checks
// ---------------------------------------------------------------------------

TEST_F(Wizard, ExecuteRefusesWhatCannotImport)
{
    struct Case
    {
        const char *name;
        std::function<void()> setup;
        QString message;
    };
    GridDestination *noGrid = nullptr;
    const QList<Case> cases = {
        { "no kind", [&] { wizard.allowedImports = {}; }, QStringLiteral("Property AllowedImports can not contain empty set") },
        { "no data set", [&] { wizard.dataSet = nullptr; }, QStringLiteral("DataSet is not defined") },
        { "no grid",
            [&] {
                wizard.importDestination = qidDBGrid;
                wizard.dbGrid = noGrid;
            },
            QStringLiteral("DBGrid is not defined") },
        { "no list", [&] { wizard.importDestination = qidListView; }, QStringLiteral("ListView is not defined") },
        { "no text grid", [&] { wizard.importDestination = qidStringGrid; }, QStringLiteral("StrinGrid is not defined") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        wizard.allowedImports = AllowedImports::all();
        wizard.dataSet = &fx.tiers;
        wizard.importDestination = qidDataSet;
        c.setup();
        try {
            wizard.execute();
            ADD_FAILURE() << "opened";
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), c.message);
        }
    }
}

TEST_F(Wizard, OpensOnTheFirstAllowedKind)
{
    wizard.allowedImports = { aiXML, aiTXT, aiCSV };
    wizard.confirmOnCancel = false;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        WizardWindow *w = wizard.window();
        ASSERT_TRUE(w);
        seen = true;
        EXPECT_TRUE(w->isModal());
        EXPECT_TRUE(find<QRadioButton>(*w, QStringLiteral("rbXML"))->isChecked());
        EXPECT_FALSE(find<QRadioButton>(*w, QStringLiteral("rbXLS"))->isEnabled());
        EXPECT_FALSE(find<QRadioButton>(*w, QStringLiteral("rbDBF"))->isEnabled());
        EXPECT_TRUE(find<QRadioButton>(*w, QStringLiteral("rbCSV"))->isEnabled());
        // Template buttons only when asked for.
        EXPECT_FALSE(find<QPushButton>(*w, QStringLiteral("bLoadTemplate"))->isVisibleTo(w));
        w->reject();
    });
    wizard.execute();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(wizard.window());
}

TEST_F(Wizard, NextChecksTheSourceAndThePage)
{
    fx.clientsCsv(1, QStringLiteral("Clients.csv"));
    fx.write(QStringLiteral("empty.xml"),
        QStringLiteral("<?xml version=\"1.0\"?>\n<DATAPACKET><METADATA><FIELDS></FIELDS></METADATA></DATAPACKET>"));
    struct Case
    {
        const char *name;
        AllowedImport kind;
        QString file;
        std::function<void()> setup;
        QString message;
    };
    const QList<Case> cases = {
        { "missing file", aiCSV, fx.path(QStringLiteral("none.csv")), [] {},
            QStringLiteral("File %1 does not exist").arg(fx.path(QStringLiteral("none.csv"))) },
        { "wrong extension", aiXLS, fx.path(QStringLiteral("Clients.csv")), [&] { wizard.autoChangeExtension = false; },
            QStringLiteral("Wrong file type, must be \".xls\"") },
        { "closed destination", aiCSV, fx.path(QStringLiteral("Clients.csv")), [&] { fx.tiers.close(); },
            QStringLiteral("Cannot perform this operation on a closed Import Destination") },
        // The page cannot be prepared: back to the first step.
        { "no XML fields", aiXML, fx.path(QStringLiteral("empty.xml")), [] {}, QStringLiteral("XML field list is empty") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        wizard.autoChangeExtension = true;
        if (!fx.tiers.isActive())
            fx.tiers.open();
        c.setup();
        WizardWindow w(wizard);
        w.show();
        click(find<QRadioButton>(w, QLatin1String(c.kind == aiXLS ? "rbXLS" : c.kind == aiXML ? "rbXML" : "rbCSV")));
        type(find<QLineEdit>(w, QStringLiteral("edFileName")), c.file);
        MessageBox::resetRecord();
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        EXPECT_EQ(MessageBox::lastText(), c.message);
        EXPECT_EQ(w.step(), 0);
    }
}

// A file with nothing to import is refused at Next, in every kind, rather
// than shown empty and imported as nothing.
TEST_F(Wizard, AFileWithoutRowsIsRefusedAtNext)
{
    const QString fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");
    // people.dbf cut after its field descriptions: a table without records.
    QFile people(fixtures + QStringLiteral("dbf/people.dbf"));
    ASSERT_TRUE(people.open(QIODevice::ReadOnly));
    QByteArray table = people.readAll();
    const int headerLength = quint8(table[8]) | quint8(table[9]) << 8;
    table = table.left(headerLength) + char(0x1A);
    table.replace(4, 4, QByteArray(4, '\0'));
    QFile nobody(fx.path(QStringLiteral("nobody.dbf")));
    ASSERT_TRUE(nobody.open(QIODevice::WriteOnly));
    nobody.write(table);
    nobody.close();
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("dbf/people.dbt"), fx.path(QStringLiteral("nobody.dbt"))));
    const QString fieldsOnly
        = QStringLiteral("<?xml version=\"1.0\"?>\n<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"Code\"/></FIELDS></METADATA>"
                         "<ROWDATA></ROWDATA></DATAPACKET>\n");
    struct Case
    {
        AllowedImport kind;
        QString file;
    };
    const QList<Case> cases = {
        { aiCSV, fx.write(QStringLiteral("empty.csv"), QString()) },
        { aiCSV, fx.write(QStringLiteral("blank.csv"), QStringLiteral("\r\n  \r\n\r\n")) },
        { aiTXT, fx.write(QStringLiteral("empty.txt"), QString()) },
        { aiXLS, fixtures + QStringLiteral("wizard/empty.xls") },
        { aiXLS, fixtures + QStringLiteral("wizard/empty.xlsx") },
        { aiXLS, fixtures + QStringLiteral("wizard/empty.ods") },
        { aiDBF, fx.path(QStringLiteral("nobody.dbf")) },
        { aiXML, fx.write(QStringLiteral("fields.xml"), fieldsOnly) },
    };
    static const char *const kinds[ImportKindCount] = { "rbXLS", "rbDBF", "rbXML", "rbTXT", "rbCSV" };
    wizard.autoChangeExtension = false;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        WizardWindow w(wizard);
        w.show();
        click(find<QRadioButton>(w, QString::fromLatin1(kinds[c.kind])));
        type(find<QLineEdit>(w, QStringLiteral("edFileName")), c.file);
        if (c.kind == aiCSV)
            type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
        MessageBox::resetRecord();
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        EXPECT_EQ(MessageBox::count(), 1);
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("File %1 holds no rows").arg(c.file));
        EXPECT_EQ(w.step(), 0);
    }
}

// A new file without what some columns were mapped to: those columns lose
// their mapping and the operator is told which; the others keep theirs.
TEST_F(Wizard, AMappingTheNewFileLacksIsNotCarriedOver)
{
    const QString fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");
    const QString threeColumns = fx.clientsCsv(2);
    const QString twoColumns = fx.write(QStringLiteral("deux.csv"), QStringLiteral("1;Un\r\n2;Deux\r\n"));
    const QString twoFields = fx.write(QStringLiteral("deux.xml"),
        QStringLiteral("<?xml version=\"1.0\"?>\n<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"Code\"/><FIELD "
                       "attrname=\"Name\"/></FIELDS></METADATA><ROWDATA><ROW Code=\"1\" Name=\"Un\"/></ROWDATA></DATAPACKET>\n"));
    struct Case
    {
        AllowedImport kind;
        QString first, second;
        QString mapping; // as mapped on the first file
        QStringList kept; // the map on the second
        QString message;
    };
    const QList<Case> cases = {
        { aiCSV, threeColumns, twoColumns, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3"),
            { QStringLiteral("CODE=1"), QStringLiteral("NOMBENEFICIAIRE=2") },
            QStringLiteral(
                "File deux.csv does not have what these columns were mapped to; they are no longer mapped: ADRESSE (Column_3)") },
        { aiXML, fixtures + QStringLiteral("xml/packet.xml"), twoFields, QString(),
            { QStringLiteral("CODE=Code"), QStringLiteral("TYPEIDENTIFIANT=Name") },
            QStringLiteral("File deux.xml does not have what these columns were mapped to; they are no longer mapped: "
                           "PHYSIQUEMORALE (Amount)") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.second.toStdString());
        WizardWindow w(wizard);
        w.show();
        click(find<QRadioButton>(w, QLatin1String(c.kind == aiXML ? "rbXML" : "rbCSV")));
        type(find<QLineEdit>(w, QStringLiteral("edFileName")), c.first);
        if (c.kind == aiCSV)
            type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        if (c.kind == aiCSV)
            mapOnPage(w, aiCSV, c.mapping);
        else
            click(find<QPushButton>(*w.page(aiXML), QStringLiteral("bXMLAutoFill")));
        click(find<QPushButton>(w, QStringLiteral("bBack")));
        type(find<QLineEdit>(w, QStringLiteral("edFileName")), c.second);
        MessageBox::resetRecord();
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        EXPECT_EQ(w.step(), 1);
        EXPECT_EQ(MessageBox::count(), 1);
        EXPECT_EQ(MessageBox::lastText(), c.message);
        EXPECT_EQ(w.settings().map(c.kind), c.kept);
        // Back and forth on the same file: nothing more to say.
        click(find<QPushButton>(w, QStringLiteral("bBack")));
        click(find<QPushButton>(w, QStringLiteral("bNext")));
        EXPECT_EQ(MessageBox::count(), 1);
    }
}

TEST_F(Wizard, WorkbooksOfEveryFormatAreTheSpreadsheetKind)
{
    // A workbook's own extension stays when the kind is chosen.
    WizardWindow w(wizard);
    w.show();
    auto *name = find<QLineEdit>(w, QStringLiteral("edFileName"));
    for (const char *file : { "Clients.xlsx", "Clients.ods", "Clients.XLSM" }) {
        click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
        type(name, fx.path(QString::fromLatin1(file)));
        click(find<QRadioButton>(w, QStringLiteral("rbXLS")));
        EXPECT_EQ(name->text(), fx.path(QString::fromLatin1(file)));
    }

    // At Next: any workbook's extension, or a workbook's content under
    // another name; text under a workbook's kind is still refused.
    const QString fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/wizard/");
    const QString renamed = fx.path(QStringLiteral("clients-from-excel.dat"));
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("clients.xlsx"), renamed));
    const QString text = fx.write(QStringLiteral("clients.data"), QStringLiteral("CODE;NOM\r\n"));
    wizard.autoChangeExtension = false;
    for (const QString &file : { fixtures + QStringLiteral("clients.xlsx"), fixtures + QStringLiteral("clients.ods"), renamed, text }) {
        SCOPED_TRACE(file.toStdString());
        WizardWindow x(wizard);
        x.show();
        click(find<QRadioButton>(x, QStringLiteral("rbXLS")));
        type(find<QLineEdit>(x, QStringLiteral("edFileName")), file);
        MessageBox::resetRecord();
        click(find<QPushButton>(x, QStringLiteral("bNext")));
        if (file == text) {
            EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Wrong file type, must be \".xls\""));
            EXPECT_EQ(x.step(), 0);
        } else {
            EXPECT_EQ(x.step(), 1) << MessageBox::lastText().toStdString();
        }
    }
}

TEST_F(Wizard, ChangingTheKindChangesTheExtension)
{
    WizardWindow w(wizard);
    w.show();
    click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
    auto *name = find<QLineEdit>(w, QStringLiteral("edFileName"));
    type(name, fx.path(QStringLiteral("Clients.csv")));
    click(find<QRadioButton>(w, QStringLiteral("rbXLS")));
    EXPECT_EQ(name->text(), fx.path(QStringLiteral("Clients.xls")));
    EXPECT_EQ(w.settings().fileName, fx.path(QStringLiteral("Clients.xls")));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Import data wizard - Import from Clients.xls"));
    click(find<QRadioButton>(w, QStringLiteral("rbTXT")));
    EXPECT_EQ(name->text(), fx.path(QStringLiteral("Clients.txt")));
}

TEST_F(Wizard, DelimiterAndQuoteBoxes)
{
    WizardWindow w(wizard);
    w.show();
    click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
    QLineEdit *comma = find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit();
    QLineEdit *quote = find<QComboBox>(w, QStringLiteral("cbQuote"))->lineEdit();
    struct Case
    {
        QString typed;
        QChar delimiter;
        QString shown;
    };
    const QList<Case> cases = {
        { QStringLiteral("#9"), QChar(9), QStringLiteral("TAB") },
        { QStringLiteral("ab"), QChar(9), QStringLiteral("TAB") },
        { QStringLiteral("|"), QLatin1Char('|'), QStringLiteral("|") },
        { QStringLiteral("SPACE"), QChar(32), QStringLiteral("SPACE") },
        { QStringLiteral("#1"), QChar(1), QStringLiteral("#1") },
        { QString(), defaultTextDelimiter(), QString(defaultTextDelimiter()) },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        type(comma, c.typed);
        EXPECT_EQ(w.settings().delimiter, c.delimiter);
        EXPECT_EQ(comma->text(), c.shown);
    }
    type(quote, QStringLiteral("'"));
    EXPECT_EQ(w.settings().quote, QLatin1Char('\''));
    type(quote, QString());
    EXPECT_EQ(w.settings().quote, QLatin1Char('"'));

    // Column numbers counted fields split the old way: a new delimiter drops them.
    w.settings().csvColumns.setValue(QStringLiteral("CODE"), QStringLiteral("1"));
    w.page(aiCSV)->settingsChanged();
    type(comma, QStringLiteral(","));
    EXPECT_TRUE(w.settings().csvColumns.isEmpty());
    EXPECT_TRUE(find<QTreeWidget>(*w.page(aiCSV), QStringLiteral("lvCSVFields"))->topLevelItem(0)->text(1).isEmpty());
}

// ---------------------------------------------------------------------------
// The last step and the import
// ---------------------------------------------------------------------------

TEST_F(Wizard, RecordCountAndErrorLog)
{
    wizard.showProgress = false;
    WizardWindow w(wizard);
    w.show();
    prepareCsv(w, 8);
    ASSERT_EQ(w.step(), 3);
    auto *all = find<QCheckBox>(w, QStringLiteral("chImportAllRecords"));
    auto *count = find<QLineEdit>(w, QStringLiteral("edImportRecCount"));
    EXPECT_TRUE(all->isChecked());
    EXPECT_FALSE(count->isEnabled());
    click(all);
    EXPECT_TRUE(count->isEnabled());
    type(count, QStringLiteral("5"));
    type(count, QStringLiteral("x")); // not a number: the previous count stays
    EXPECT_EQ(count->text(), QStringLiteral("5"));

    auto *log = find<QCheckBox>(w, QStringLiteral("chEnableErrorLog"));
    auto *logName = find<QLineEdit>(w, QStringLiteral("edErrorLogFileName"));
    EXPECT_FALSE(logName->isEnabled());
    click(log);
    EXPECT_TRUE(logName->isEnabled());
    type(logName, QStringLiteral("import.log"));

    // The log lands beside the program, which every test shares.
    const QString logPath = QCoreApplication::applicationDirPath() + QStringLiteral("/import.log");
    const auto removeLog = qScopeGuard([&] { QFile::remove(logPath); });
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    ImportEngine *source = w.source(aiCSV);
    EXPECT_EQ(source->importRecCount(), 5);
    EXPECT_EQ(fx.committed().size(), 5);
    EXPECT_EQ(source->errorLogFileName(), logPath);
    EXPECT_TRUE(QFile::exists(logPath));

    // Ticking "Import all records" again sends 0; a count of 0 ticks it.
    click(all);
    click(log);
    fx.db.exec(QStringLiteral("delete from TIERS"));
    fx.tiers.close();
    fx.tiers.open();
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(source->importRecCount(), 0);
    EXPECT_EQ(fx.committed().size(), 8);
    click(all);
    type(count, QStringLiteral("0"));
    EXPECT_TRUE(all->isChecked());
}

// "Show error log after import": the log goes to the desktop's opener; when
// there is none, or it opens nothing, the operator is told where the log is.
TEST_F(Wizard, TheErrorLogIsShownOrItsPlaceIsSaid)
{
    // Openers of our own, first on the search path: none at all, one that
    // finds no program for text files, one that opens the log.
    QTemporaryDir bin;
    const QString opened = bin.filePath(QStringLiteral("opened.txt"));
    auto opener = [&](const QString &dir, const QString &script) {
        QDir().mkpath(bin.filePath(dir));
        if (script.isEmpty())
            return;
        QFile f(bin.filePath(dir + QStringLiteral("/xdg-open")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(script.toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    opener(QStringLiteral("none"), QString());
    opener(QStringLiteral("fails"), QStringLiteral("#!/bin/sh\nexit 3\n"));
    opener(QStringLiteral("opens"), QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(opened));
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    const QString log = fx.path(QStringLiteral("import.log"));
    struct Case
    {
        const char *dir;
        bool told;
    };
    for (const Case &c : { Case { "none", true }, Case { "fails", true }, Case { "opens", false } }) {
        SCOPED_TRACE(c.dir);
        qputenv("PATH", (bin.filePath(QString::fromLatin1(c.dir)) + QStringLiteral(":/usr/bin:/bin")).toLocal8Bit());
        QFile::remove(opened);
        WizardWindow w(wizard);
        w.show();
        prepareCsv(w);
        click(find<QCheckBox>(w, QStringLiteral("chEnableErrorLog")));
        type(find<QLineEdit>(w, QStringLiteral("edErrorLogFileName")), log);
        click(find<QCheckBox>(w, QStringLiteral("chShowErrorLog")));
        MessageBox::resetRecord();
        ProgressCloser closer(w);
        click(find<QPushButton>(w, QStringLiteral("bOk")));
        EXPECT_EQ(closer.Closed, 1);
        EXPECT_TRUE(QFile::exists(log));
        const QString where = QStringLiteral("No program could show the error log. It is %1").arg(log);
        if (c.told) {
            EXPECT_TRUE(QTest::qWaitFor([] { return MessageBox::count() > 0; }, 5000));
            EXPECT_EQ(MessageBox::lastText(), where);
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(opened); }, 5000));
            QFile o(opened);
            EXPECT_TRUE(o.open(QIODevice::ReadOnly));
            EXPECT_EQ(QString::fromUtf8(o.readAll()), log);
            QTest::qWait(200);
            EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
        }
    }
}

TEST_F(Wizard, CancelAnsweredNoThenYes)
{
    WizardWindow w(wizard);
    w.show();
    prepareCsv(w, 10);
    int rows = 0;
    // Cancel is pressed while rows are imported: the click waits for the
    // engine to let the interface handle its messages.
    wizard.onImportRecord = [&](QObject *sender) {
        EXPECT_EQ(sender, &wizard);
        ++rows;
        if (rows == 2 || rows == 5)
            QTimer::singleShot(0, [&] { click(w.progress()->button()); });
    };
    MessageBox::setNextAnswer(QMessageBox::No);
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QString state;
    ProgressCloser closer(w, [&](ImportProgress &p) { state = p.state(); });
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(MessageBox::count(), 2);
    EXPECT_EQ(MessageBox::lastCaption(), QStringLiteral("Are you sure..."));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Are you sure you want to abort import?"));
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(state, QStringLiteral("Aborted"));
    // An aborted import asks for no commit: the rows wait in the transaction.
    EXPECT_EQ(commits, 0);
    EXPECT_TRUE(fx.committed().isEmpty());
    EXPECT_EQ(fx.count(), 5);
}

TEST_F(Wizard, EventsReachTheOwner)
{
    fx.write(QStringLiteral("clients.csv"), QStringLiteral("1;Un\r\n2;Argentina\r\n1;Doublon\r\n3;Trois\r\n"));
    WizardWindow w(wizard);
    QStringList events;
    wizard.onBeforeImport = [&](QObject *s) { events << (s == &wizard ? "before" : "before?"); };
    wizard.onAfterImport = [&](QObject *s) { events << (s == &wizard ? "after" : "after?"); };
    wizard.onImportError = [&](QObject *s) { events << (s == &wizard ? "error" : "error?"); };
    wizard.onNeedCommit = [&](QObject *s) {
        events << (s == &w ? "commit" : "commit?");
        fx.db.connection().commitRetaining();
    };
    wizard.onBeforePost = [&](ImportEngine *s, ImportRow *row, bool &accept) {
        EXPECT_EQ(s, w.source(aiCSV));
        accept = row->colByName(QStringLiteral("NOMBENEFICIAIRE"))->value != QStringLiteral("Argentina");
    };
    w.show();
    click(find<QRadioButton>(w, QStringLiteral("rbCSV")));
    type(find<QLineEdit>(w, QStringLiteral("edFileName")), fx.path(QStringLiteral("clients.csv")));
    type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
    click(find<QPushButton>(w, QStringLiteral("bNext")));
    mapOnPage(w, aiCSV, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2"));
    int errors = -1, processed = -1;
    ProgressCloser closer(w, [&](ImportProgress &p) {
        errors = p.errors();
        processed = p.processed();
    });
    click(find<QPushButton>(w, QStringLiteral("bOk"))); // from the mapping step
    EXPECT_EQ(events, QStringList({ "before", "error", "commit", "after" }));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(processed, 4);
    EXPECT_EQ(fx.committed(), (QMap<int, QString> { { 1, QStringLiteral("Un") }, { 3, QStringLiteral("Trois") } }));
}

TEST_F(Wizard, AFailureIsShownAndTheWizardStays)
{
    WizardWindow w(wizard);
    w.show();
    prepareCsv(w);
    click(find<QRadioButton>(w, QStringLiteral("rbUpdate")));
    ProgressCloser closer(w);
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Key columns are not defined"));
    EXPECT_EQ(closer.Closed, 0);
    EXPECT_FALSE(w.progress());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.running());
    EXPECT_TRUE(find<QPushButton>(w, QStringLiteral("bOk"))->isEnabled());
}

TEST_F(Wizard, CloseAfterImport)
{
    wizard.confirmOnCancel = false;
    WizardWindow w(wizard);
    w.show();
    prepareCsv(w);
    click(find<QCheckBox>(w, QStringLiteral("chCloseAfterImport")));
    ProgressCloser closer(w);
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(closer.Closed, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(fx.committed().size(), 3);
}

TEST_F(Wizard, ClosingAsksAndSavesTheTemplate)
{
    wizard.templateFileName = fx.path(QStringLiteral("auto.imp"));
    WizardWindow w(wizard);
    w.show();
    click(find<QCheckBox>(w, QStringLiteral("chAutoSaveTemplate")));
    MessageBox::setNextAnswer(QMessageBox::No);
    click(find<QPushButton>(w, QStringLiteral("bCancel")));
    EXPECT_EQ(MessageBox::lastCaption(), QStringLiteral("Question"));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Do you want to quit?"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(QFile::exists(wizard.templateFileName));

    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(MessageBox::count(), 2);
    ASSERT_TRUE(QFile::exists(wizard.templateFileName));
    ImportSettings s;
    TemplateFile::load(wizard.templateFileName, s, s);
    EXPECT_TRUE(s.autoSaveTemplate);
}

TEST_F(Wizard, ATemplateRunsStraightFromTheLastStep)
{
    fx.write(QStringLiteral("clients.txt"), QStringLiteral("header\r\n00010Fixe Un     \r\n00011Fixe Deux   \r\n"));
    struct Case
    {
        const char *name;
        AllowedImport kind;
        QString map;
        int skip;
    };
    const QList<Case> cases = {
        { "delimited", aiCSV, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3"), 1 },
        // Positions need the file's lines: the page is prepared on the way.
        { "fixed width", aiTXT, QStringLiteral("CODE=0;5\nNOMBENEFICIAIRE=5;12"), 1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fx.db.exec(QStringLiteral("delete from TIERS"));
        fx.db.connection().commitRetaining();
        fx.tiers.close();
        fx.tiers.open();
        const QString templateFile = fx.path(QStringLiteral("%1.imp").arg(c.name));
        wizard.showProgress = false;
        wizard.autoLoadTemplate = false;
        wizard.templateFileName.clear();
        {
            // Set up once through the steps, and saved.
            WizardWindow w(wizard);
            w.show();
            if (c.kind == aiCSV) {
                prepareCsv(w);
            } else {
                click(find<QRadioButton>(w, QStringLiteral("rbTXT")));
                type(find<QLineEdit>(w, QStringLiteral("edFileName")), fx.path(QStringLiteral("clients.txt")));
                click(find<QPushButton>(w, QStringLiteral("bNext")));
                mapOnPage(w, aiTXT, c.map);
                type(find<QLineEdit>(*w.page(aiTXT), QStringLiteral("edSkipLines")), QString::number(c.skip));
                click(find<QPushButton>(w, QStringLiteral("bNext")));
                click(find<QPushButton>(w, QStringLiteral("bNext")));
            }
            w.settings().goToLastPage = true;
            w.save(templateFile);
        }
        wizard.autoLoadTemplate = true;
        wizard.templateFileName = templateFile;
        QString announced;
        wizard.onLoadTemplate = [&](QObject *sender, const QString &name) {
            EXPECT_EQ(sender, &wizard);
            announced = name;
        };
        WizardWindow w(wizard);
        w.show();
        EXPECT_EQ(announced, templateFile);
        EXPECT_EQ(w.step(), 3);
        EXPECT_TRUE(find<QLabel>(w, QStringLiteral("laTemplateFileName"))->toolTip().endsWith(QStringLiteral(".imp")));
        click(find<QPushButton>(w, QStringLiteral("bOk")));
        EXPECT_EQ(fx.committed().size(), c.kind == aiCSV ? 3 : 2);
        EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
    }
}

// ---------------------------------------------------------------------------
// Formats and key columns
// ---------------------------------------------------------------------------

TEST_F(Wizard, ColumnTuningEnablesWhatCanApply)
{
    WizardWindow w(wizard);
    w.show();
    auto *fields = find<QListWidget>(w, QStringLiteral("lstFields"));
    fields->setCurrentRow(4); // NOMBENEFICIAIRE
    auto *generatorStep = find<QLineEdit>(w, QStringLiteral("edGeneratorStep"));
    auto *constant = find<QLineEdit>(w, QStringLiteral("edConstantValue"));
    auto *nullValue = find<QLineEdit>(w, QStringLiteral("edNullValue"));
    auto *defaultValue = find<QLineEdit>(w, QStringLiteral("edDefaultValue"));
    auto *leftQuote = find<QLineEdit>(w, QStringLiteral("edLeftQuote"));
    auto *charCase = find<QComboBox>(w, QStringLiteral("cbCharCase"));
    auto enabled = [&] {
        QString s;
        for (QWidget *e : std::initializer_list<QWidget *> { generatorStep, constant, nullValue, defaultValue, leftQuote, charCase })
            s += e->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    EXPECT_EQ(enabled(), QStringLiteral("111111"));
    type(constant, QStringLiteral("X"));
    EXPECT_EQ(enabled(), QStringLiteral("010011"));
    type(constant, QString());
    type(nullValue, QStringLiteral("N/A"));
    EXPECT_EQ(enabled(), QStringLiteral("001111"));
    type(nullValue, QString());
    charCase->setCurrentIndex(iccLower);
    EXPECT_EQ(enabled(), QStringLiteral("011111"));
    charCase->setCurrentIndex(iccNone);
    type(generatorStep, QStringLiteral("1"));
    EXPECT_EQ(enabled(), QStringLiteral("100000"));
    EXPECT_FALSE(find<QPushButton>(w, QStringLiteral("bAddReplacement"))->isEnabled());
    EXPECT_EQ(w.settings().fieldFormat(QStringLiteral("NOMBENEFICIAIRE"))->generatorStep, 1);
    // Another column has its own settings.
    fields->setCurrentRow(0);
    EXPECT_EQ(generatorStep->text(), QStringLiteral("0"));
    EXPECT_EQ(enabled(), QStringLiteral("111111"));

    // Separators by the delimiter's character rule.
    auto *decimal = find<QLineEdit>(w, QStringLiteral("edDecimalSeparator"));
    type(decimal, QStringLiteral("#46"));
    EXPECT_EQ(w.settings().formats.decimalSeparator, QLatin1Char('.'));
    type(find<QLineEdit>(w, QStringLiteral("edThousandSeparator")), QStringLiteral("SPACE"));
    EXPECT_EQ(w.settings().formats.thousandSeparator, QLatin1Char(' '));
    type(decimal, QStringLiteral("xy"));
    EXPECT_EQ(decimal->text(), QStringLiteral("."));
}

TEST_F(Wizard, ReplacementDialogWantsATextToFind)
{
    WizardWindow w(wizard);
    w.show();
    find<QListWidget>(w, QStringLiteral("lstFields"))->setCurrentRow(5); // ADRESSE
    int shown = 0;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<ReplacementDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        ++shown;
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Replacement"));
        dialog->accept();
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Text to find must be defined"));
        EXPECT_TRUE(dialog->isVisible());
        QTest::keyClicks(find<QLineEdit>(*dialog, QStringLiteral("edTextToFind")), QStringLiteral("Av."));
        QTest::keyClicks(find<QLineEdit>(*dialog, QStringLiteral("edReplaceWith")), QStringLiteral("Avenue"));
        click(find<QCheckBox>(*dialog, QStringLiteral("chIgnoreCase")));
        dialog->accept();
    });
    click(find<QPushButton>(w, QStringLiteral("bAddReplacement")));
    EXPECT_EQ(shown, 1);
    auto *list = find<QTreeWidget>(w, QStringLiteral("lvReplacements"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Av."));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Avenue"));
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("Yes"));
    const FieldFormat *f = w.settings().fieldFormat(QStringLiteral("ADRESSE"));
    ASSERT_EQ(f->replacements.count(), 1);
    EXPECT_TRUE(f->replacements.at(0).ignoreCase);
    // A replacement is a setting too: the counter gives way.
    EXPECT_FALSE(find<QLineEdit>(w, QStringLiteral("edGeneratorStep"))->isEnabled());
    click(find<QPushButton>(w, QStringLiteral("bDelReplacement")));
    EXPECT_EQ(f->replacements.count(), 0);
    EXPECT_TRUE(find<QLineEdit>(w, QStringLiteral("edGeneratorStep"))->isEnabled());
}

TEST_F(Wizard, KeyColumnsMoveBetweenTheLists)
{
    wizard.keyColumns = { QStringLiteral("adresse"), QStringLiteral("UNKNOWN"), QStringLiteral("CODE") };
    WizardWindow w(wizard);
    w.show();
    prepareCsv(w);
    find<QTabWidget>(w, QStringLiteral("pcLastStep"))->setCurrentIndex(1);
    auto *available = find<QListWidget>(w, QStringLiteral("lstAvailableColumns"));
    auto *keys = find<QListWidget>(w, QStringLiteral("lstKeyColumns"));
    auto names = [](QListWidget *list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    };
    EXPECT_EQ(names(keys), QStringList({ "ADRESSE", "CODE" }));
    EXPECT_EQ(names(available).first(), QStringLiteral("TYPEIDENTIFIANT"));
    EXPECT_EQ(available->count(), 6);

    // Double click moves one column to the end of the other list.
    QListWidgetItem *code = keys->item(1);
    // As the toolkit's own tests do it: a click, then the double click.
    QTest::mouseClick(keys->viewport(), Qt::LeftButton, {}, keys->visualItemRect(code).center());
    QTest::mouseDClick(keys->viewport(), Qt::LeftButton, {}, keys->visualItemRect(code).center());
    EXPECT_EQ(names(keys), QStringList({ "ADRESSE" }));
    EXPECT_EQ(names(available).last(), QStringLiteral("CODE"));
    // One selected column goes where the other list's selection is.
    available->clearSelection();
    available->item(0)->setSelected(true); // TYPEIDENTIFIANT
    keys->item(0)->setSelected(true);
    click(find<QPushButton>(w, QStringLiteral("bSelectedToKeys")));
    EXPECT_EQ(names(keys), QStringList({ "TYPEIDENTIFIANT", "ADRESSE" }));
    // Several are appended.
    keys->clearSelection();
    available->item(0)->setSelected(true);
    available->item(1)->setSelected(true);
    keys->item(0)->setSelected(true);
    click(find<QPushButton>(w, QStringLiteral("bSelectedToKeys")));
    EXPECT_EQ(names(keys), QStringList({ "TYPEIDENTIFIANT", "ADRESSE", "PHYSIQUEMORALE", "IDENTIFIANT" }));
    EXPECT_EQ(w.settings().keyColumns, names(keys));
    click(find<QPushButton>(w, QStringLiteral("bAllToAvailable")));
    EXPECT_TRUE(w.settings().keyColumns.isEmpty());
    EXPECT_EQ(available->count(), 8);
    click(find<QPushButton>(w, QStringLiteral("bAllToKeys")));
    EXPECT_EQ(w.settings().keyColumns.size(), 8);
}
