#include "import/engine/ImportEngine.h"

#include "core/DateTime.h"
#include "core/FormatSettings.h"
#include "data/DbError.h"
#include "tests/import/DataImportTestSupport.h"
#include "tests/import/ReaderTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScopedLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Log time stamps ("dd/mm/yyyy hh:nn") replaced by "T", each checked to lie
// within the import.
QByteArray withoutStamps(QByteArray log, const QDateTime &from, const QDateTime &to)
{
    static const QRegularExpression stamp(QStringLiteral("(\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d)"));
    QString text = QString::fromLatin1(log);
    auto it = stamp.globalMatch(text);
    while (it.hasNext()) {
        const QDateTime t = QDateTime::fromString(it.next().captured(1), QStringLiteral("dd/MM/yyyy HH:mm"));
        EXPECT_GE(t.addSecs(60), from);
        EXPECT_LE(t, to);
    }
    text.replace(stamp, QStringLiteral("T"));
    return text.toLatin1();
}

} // namespace

class DataImportEngine : public ::testing::Test
{
protected:
    ScopedFormatSettings formatsGuard;
    InvoiceFixture fx;
    TestImportSource source;

    void SetUp() override { fx.configure(source); }

    void addRows(int from, int to)
    {
        for (int i = from; i <= to; ++i)
            source.Rows << InvoiceFixture::invoiceRow(i);
    }
};

// ---------------------------------------------------------------------------
// Settings are checked before anything is read or written
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, CheckMessages)
{
    TestListView list;
    TestStringGrid grid(2, 2);
    TestDBGrid dbGrid;
    struct Case
    {
        const char *name;
        std::function<void()> setup;
        QString message;
    };
    const QList<Case> cases = {
        { "no data set", [&] { source.setDataSet(nullptr); }, "DataSet is not defined" },
        { "no grid", [&] { source.setImportDestination(qidDBGrid); }, "DBGrid is not defined" },
        { "grid without data set",
            [&] {
                source.setImportDestination(qidDBGrid);
                source.setDbGrid(&dbGrid);
            },
            "DataSet is not defined" },
        { "no list", [&] { source.setImportDestination(qidListView); }, "ListView is not defined" },
        { "no text grid", [&] { source.setImportDestination(qidStringGrid); }, "StrinGrid is not defined" },
        { "no file name", [&] { source.setFileName(QString()); }, "File name is not specified" },
        { "missing file", [&] { source.setFileName(fx.dir.path() + "/none.txt"); }, "File " + fx.dir.path() + "/none.txt does not exist" },
        { "empty map", [&] { source.setMap({}); }, "Map is empty" },
        { "unknown column", [&] { source.map() << "  NOPE =3"; },
            "Column NOPE is defined in the MAP is not found in the import destination" },
        { "no key columns", [&] { source.setImportMode(qimUpdate); }, "Key columns are not defined" },
        { "unknown key column",
            [&] {
                source.setImportMode(qimDelete);
                source.setKeyColumns({ "NUMEROORDRE", "NOKEY" });
            },
            "Key column NOKEY is not found in the import destination" },
        // Formats that name themselves could show no date: refused before a row is read.
        { "short date format naming itself", [&] { source.formats().shortDateFormat = "c"; },
            "Date or time format \"c\" refers to itself" },
        { "long time format naming itself", [&] { source.formats().longTimeFormat = "hh tt"; },
            "Date or time format \"hh tt\" refers to itself" },
    };
    source.Rows << InvoiceFixture::invoiceRow(1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        source.setImportDestination(qidDataSet);
        source.setImportMode(qimInsertAll);
        source.setKeyColumns({});
        source.setDbGrid(nullptr);
        fx.configure(source);
        c.setup();
        try {
            source.execute();
            ADD_FAILURE() << "no error";
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), c.message);
        }
    }
    EXPECT_EQ(source.OpenCount, 0);
    EXPECT_EQ(fx.count(), 0);

    // A user-defined import takes any column name.
    source.setImportDestination(qidUserDefined);
    source.setImportMode(qimInsertAll);
    fx.configure(source);
    source.map() << "ANYTHING=5";
    QStringList seen;
    source.onUserDefinedImport = [&](ImportEngine *sender, ImportRow *row) {
        seen << row->colByName("anything")->value;
        sender->cancel();
    };
    source.Rows << InvoiceFixture::invoiceRow(2);
    source.execute();
    EXPECT_EQ(seen, QStringList { "F1" }); // cancelled after the first row
    EXPECT_TRUE(source.canceled());
    EXPECT_EQ(fx.count(), 0);
}

// ---------------------------------------------------------------------------
// Record count and commit rhythm
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, ImportRecCountStopsTheImport)
{
    addRows(1, 25);
    source.setImportRecCount(10);
    source.execute();
    EXPECT_EQ(source.importedCount(), 10);
    EXPECT_EQ(fx.count(), 10);
}

TEST_F(DataImportEngine, CommitRhythm)
{
    addRows(1, 250);
    QList<int> commits;
    source.onNeedCommit = [&](ImportEngine *sender) {
        commits << sender->importedCount();
        fx.db.connection().commitRetaining();
    };
    source.setCommitAfterDone(false);
    source.setCommitRecCount(100);
    source.execute();
    EXPECT_EQ(commits, QList<int>({ 100, 200, 250 }));
    EXPECT_EQ(fx.count(), 250);

    // One request at the end; the rows of this run go in beside the others.
    source.Rows.clear();
    addRows(251, 500);
    commits.clear();
    source.setCommitAfterDone(true);
    source.execute();
    EXPECT_EQ(commits, QList<int>({ 250 }));
    EXPECT_EQ(fx.count(), 500);
}

// ---------------------------------------------------------------------------
// Rows the owner refuses, rows without a match
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, BeforePostRefusesARow)
{
    addRows(1, 3);
    int afterPost = 0, records = 0;
    QList<int> states;
    source.onBeforePost = [](ImportEngine *, ImportRow *row, bool &accept) { accept = row->colByName("NUMEROORDRE")->value != "2"; };
    source.onAfterPost = [&](ImportEngine *, ImportRow *) { ++afterPost; };
    source.onImportRecord = [&](ImportEngine *sender) {
        ++records;
        states << sender->recordState();
    };
    source.execute();
    EXPECT_EQ(afterPost, 3);
    EXPECT_EQ(records, 3);
    EXPECT_EQ(states, QList<int>({ rsAdded, rsNone, rsAdded }));
    EXPECT_EQ(source.importedCount(), 3);
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1, 3 }));
}

TEST_F(DataImportEngine, UpdateWithoutMatchWritesNothing)
{
    source.Rows << InvoiceFixture::invoiceRow(7);
    source.setImportMode(qimUpdate);
    source.setKeyColumns({ "NUMEROORDRE" });
    bool asked = false;
    source.onBeforePost = [&](ImportEngine *, ImportRow *, bool &) { asked = true; };
    source.execute();
    EXPECT_FALSE(asked);
    EXPECT_EQ(source.importedCount(), 1);
    EXPECT_EQ(source.recordState(), rsNone);
    EXPECT_EQ(fx.count(), 0);
}

// The six modes against invoices 1 and 2 (invoice numbers "old"), with source
// rows for invoices 2 and 3 (invoice numbers "new2", "new3").
TEST_F(DataImportEngine, SixModesOnKeyedRows)
{
    struct Case
    {
        ImportMode mode;
        QMap<int, QString> stored;
        QList<int> states; // of the rows processed
        int errors;
    };
    const QList<Case> cases = {
        { qimInsertAll, { { 1, "old" }, { 2, "old" }, { 3, "new3" } }, { rsAdded }, 1 }, // invoice 2 exists: refused
        { qimInsertNew, { { 1, "old" }, { 2, "old" }, { 3, "new3" } }, { rsNone, rsAdded }, 0 },
        { qimUpdate, { { 1, "old" }, { 2, "new2" } }, { rsEditing, rsNone }, 0 },
        { qimUpdateOrInsert, { { 1, "old" }, { 2, "new2" }, { 3, "new3" } }, { rsEditing, rsAdded }, 0 },
        { qimDelete, { { 1, "old" } }, { rsDeleted, rsNone }, 0 },
        { qimDeleteOrInsert, { { 1, "old" }, { 3, "new3" } }, { rsDeleted, rsAdded }, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        fx.db.exec("delete from FACTURE");
        for (int n : { 1, 2 })
            fx.db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE) "
                                      "values ('0123456AM000', 2008, 1, %1, 'old')")
                           .arg(n));
        fx.invoices.close();
        fx.invoices.open();

        TestImportSource modes;
        fx.configure(modes);
        modes.Rows << InvoiceFixture::invoiceRow(2, "new2") << InvoiceFixture::invoiceRow(3, "new3");
        modes.setImportMode(c.mode);
        modes.setKeyColumns({ "IDENTIFIANT", "exercice", "TRIMESTRE", "NUMEROORDRE" });
        modes.setErrorLog(true);
        modes.setErrorLogFileName(QString());
        QList<int> states;
        modes.onImportRecord = [&](ImportEngine *sender) { states << sender->recordState(); };
        modes.execute();
        EXPECT_EQ(fx.stored(), c.stored);
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(modes.errorCount(), c.errors);
    }
}

// The client form stores IDENTIFIANT blank-padded to 13 characters while the
// engine trims source values: the key still finds the stored client, in
// update mode and without adding a second copy in update-or-insert mode.
TEST_F(DataImportEngine, TextKeysIgnoreTrailingBlanksOfStoredRows)
{
    for (const ImportMode mode : { qimUpdate, qimUpdateOrInsert }) {
        SCOPED_TRACE(mode);
        fx.db.exec("delete from TIERS");
        fx.db.exec("insert into TIERS (CODE, IDENTIFIANT, NOMBENEFICIAIRE) values (1, '0000001      ', 'ANCIEN')");
        fx.db.exec("insert into TIERS (CODE, IDENTIFIANT, NOMBENEFICIAIRE) values (2, '1234567ABM000', 'AUTRE')");
        DataSet tiers(fx.db.connection(), QStringLiteral("Itiers"));
        tiers.setSql(QStringLiteral("select * from TIERS"));
        tiers.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
        tiers.open();

        TestImportSource clients;
        clients.setDataSet(&tiers);
        clients.setFileName(fx.sourceFile);
        clients.setMap({ "CODE=1", "IDENTIFIANT=2", "NOMBENEFICIAIRE=3" });
        clients.setImportMode(mode);
        clients.setKeyColumns({ "IDENTIFIANT" });
        clients.Rows << QStringList { "10", "0000001", "NOUVEAU" } << QStringList { "20", "1234567ABM000   ", "REMPLACE" };
        clients.execute();

        Query q(fx.db.connection(), QStringLiteral("select CODE, IDENTIFIANT, NOMBENEFICIAIRE from TIERS order by CODE"));
        q.open();
        QStringList rows;
        Row row;
        while (q.fetch(row))
            rows << QStringLiteral("%1|%2|%3").arg(row[0].toString(), row[1].toString(), row[2].toString());
        EXPECT_EQ(rows, (QStringList { "10|0000001|NOUVEAU", "20|1234567ABM000|REMPLACE" }));
    }
}

TEST_F(DataImportEngine, DestinationLocateMayChangeTheLookup)
{
    fx.db.exec(
        "insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE) values ('0123456AM000', 2008, 1, 1, 'A-1')");
    fx.invoices.close();
    fx.invoices.open();
    source.Rows << InvoiceFixture::invoiceRow(9, "a-1", "77");
    source.setImportMode(qimUpdate);
    source.setKeyColumns({ "NUMEROORDRE" });
    source.setMap({ "NUMEROFACTURE=5", "PRIXVENTE=6" });
    QString fieldsSeen;
    source.onDestinationLocate = [&](ImportEngine *, const QStringList &, ImportRow *row, QString &fields, QVariant &values) {
        fieldsSeen = fields;
        // Invoices found by their number (any case) rather than their order number.
        fields = "NUMEROFACTURE";
        values = row->colByName("NUMEROFACTURE")->value;
    };
    source.execute();
    EXPECT_EQ(fieldsSeen, QString()); // NUMEROORDRE is not a column of this map
    EXPECT_EQ(fx.db.scalar("select PRIXVENTE from FACTURE where NUMEROORDRE = 1").toDouble(), 77.0);
}

// ---------------------------------------------------------------------------
// Field formats through the engine
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, CounterAndConstantFillUnmappedColumns)
{
    for (int i = 1; i <= 3; ++i)
        source.Rows << InvoiceFixture::invoiceRow(i, QString(), "1 234.5");
    source.setMap({ "IDENTIFIANT=1", "TRIMESTRE=3", "NUMEROFACTURE=5", "PRIXVENTE=6", "DATEFACTURE=7" });
    FieldFormat &counter = source.fieldFormats().add("numeroordre");
    counter.generatorValue = 100;
    counter.generatorStep = 10;
    source.fieldFormats().add("EXERCICE").constantValue = "2009";
    source.fieldFormats().add("NUMEROFACTURE").charCase = iccLower;
    source.execute();

    Query q(fx.db.connection(), "select NUMEROORDRE, EXERCICE, NUMEROFACTURE, PRIXVENTE, DATEFACTURE from FACTURE order by NUMEROORDRE");
    q.open();
    Row row;
    QList<int> numbers;
    while (q.fetch(row)) {
        numbers << row[0].toInt();
        EXPECT_EQ(row[1].toInt(), 2009);
        EXPECT_TRUE(row[2].toString().startsWith("f"));
        EXPECT_DOUBLE_EQ(row[3].toDouble(), 1234.5);
        EXPECT_DOUBLE_EQ(row[4].value<TimeStamp>().value, DateTime::encodeDate(2008, 1, 5));
    }
    EXPECT_EQ(numbers, QList<int>({ 110, 120, 130 }));
}

TEST_F(DataImportEngine, FormatsInstalledForTheImportOnly)
{
    const FormatSettings before = FormatSettings::current();
    source.Rows << InvoiceFixture::invoiceRow(1);
    QChar during;
    source.formats().decimalSeparator = QLatin1Char('#');
    source.onBeforeImport = [&](ImportEngine *) { during = FormatSettings::current().decimalSeparator; };
    source.execute();
    EXPECT_EQ(during, QLatin1Char('#'));
    EXPECT_EQ(FormatSettings::current().decimalSeparator, before.decimalSeparator);
    EXPECT_EQ(FormatSettings::current().shortDateFormat, before.shortDateFormat);
    EXPECT_FALSE(fx.invoices.controlsDisabled());
}

// ---------------------------------------------------------------------------
// The error log
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, RefusedRowLoggedInTheLogLayout)
{
    source.Rows << InvoiceFixture::invoiceRow(1) << InvoiceFixture::invoiceRow(1) << InvoiceFixture::invoiceRow(2);
    const QString log = fx.dir.path() + "/logs/deeper/import.log"; // directories made as needed
    source.setErrorLog(true);
    source.setErrorLogFileName(log);
    int errors = 0;
    source.onImportError = [&](ImportEngine *) { ++errors; };
    const QDateTime from = QDateTime::currentDateTime();
    source.execute();
    const QDateTime to = QDateTime::currentDateTime();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(source.errorCount(), 1);
    EXPECT_EQ(source.importedCount(), 2);
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1, 2 }));

    // The database's own words for the refusal.
    QString refusal;
    try {
        fx.db.exec("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, PRIXVENTE, DATEFACTURE) "
                   "values ('0123456AM000', 2008, 1, 1, 'F1', 10, '5-JAN-2008')");
    } catch (const DbError &e) {
        refusal = e.text();
    }
    ASSERT_FALSE(refusal.isEmpty());
    refusal.replace("\n", "\r\n");
    const QByteArray expected = "T - Import process started\r\n"
                                "\r\n"
                                "T - Line 2: "
        + refusal.toLatin1()
        + "\r\n"
          "\r\n"
          "T - Import process finished\r\n"
          "1 error(s) found\r\n"
          "\r\n";
    EXPECT_EQ(withoutStamps(readFile(log), from, to), expected);

    // Appending to the log of the first run.
    source.setRewriteErrorLogFile(false);
    source.Rows = { InvoiceFixture::invoiceRow(3) };
    source.execute();
    EXPECT_EQ(withoutStamps(readFile(log), from, QDateTime::currentDateTime()),
        expected + "T - Import process started\r\n\r\nT - Import process finished\r\nNo error found\r\n\r\n");
}

// A value that cannot be converted leaves its row posted without it; the
// log's summary then says how many values were lost, beside the failed
// rows it counts, and "No error found" only when nothing went wrong.
TEST_F(DataImportEngine, ConversionFailuresAreCountedInTheSummary)
{
    source.Rows << InvoiceFixture::invoiceRow(1, "F1", "abc") << InvoiceFixture::invoiceRow(2);
    const QString log = fx.dir.path() + "/import.log";
    source.setErrorLog(true);
    source.setErrorLogFileName(log);
    source.setShowErrorLog(true);
    QString shown;
    source.onShowErrorLog = [&](const QString &path) { shown = path; };
    int valueErrors = 0;
    source.onImportErrorAdv = [&](ImportEngine *) { ++valueErrors; };
    source.execute();
    EXPECT_EQ(shown, log);
    EXPECT_EQ(valueErrors, 1);
    EXPECT_EQ(source.errorCount(), 0);
    EXPECT_EQ(source.valueErrorCount(), 1);
    EXPECT_EQ(fx.count(), 2); // the row went in without its price
    EXPECT_FALSE(fx.db.scalar("select PRIXVENTE from FACTURE where NUMEROORDRE = 1").isValid());
    EXPECT_EQ(withoutStamps(readFile(log), QDateTime::currentDateTime().addSecs(-60), QDateTime::currentDateTime()),
        QByteArray("T - Import process started\r\n"
                   "\r\n"
                   "T - Line 1: 'abc' is not a valid floating point value\r\n"
                   "T - Import process finished\r\n"
                   "1 value(s) could not be converted\r\n"
                   "\r\n"));

    // Failed rows and lost values, each counted; then a clean run.
    struct Case
    {
        const char *name;
        QList<QStringList> rows;
        QByteArray summary;
    };
    const QList<Case> cases = {
        { "values only", { InvoiceFixture::invoiceRow(3, "F3", "x"), InvoiceFixture::invoiceRow(4, "F4", "y") },
            "2 value(s) could not be converted\r\n" },
        { "a failed row and a lost value", { InvoiceFixture::invoiceRow(5, "F5", "z"), InvoiceFixture::invoiceRow(5) },
            "1 error(s) found\r\n1 value(s) could not be converted\r\n" },
        { "nothing wrong", { InvoiceFixture::invoiceRow(6) }, "No error found\r\n" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        source.Rows = c.rows;
        source.execute();
        const QByteArray text = readFile(log);
        EXPECT_TRUE(text.endsWith("Import process finished\r\n" + c.summary + "\r\n")) << text.toStdString();
    }
}

// Columns a row cannot go without (an invoice's date, which files it in its
// quarter): a value of theirs that cannot be converted, or none at all,
// refuses the row with that message instead of posting it without. Other
// columns still lose only their value; a row the import changes keeps the
// value it has.
TEST_F(DataImportEngine, RequiredColumnRefusesRowsWithoutItsValue)
{
    auto row = [](int number, const QString &date, const QString &price = QStringLiteral("10")) {
        QStringList r = InvoiceFixture::invoiceRow(number, QString(), price);
        r[6] = date;
        return r;
    };
    source.Rows << row(1, "05/01/2008") << row(2, "31/02/2008") << row(3, "hier") << row(4, "") << row(5, "Null")
                << row(6, "06/01/2008", "abc");
    source.setRequiredColumns({ QStringLiteral("datefacture") });
    const QString log = fx.dir.path() + "/import.log";
    source.setErrorLog(true);
    source.setErrorLogFileName(log);
    int failed = 0, valueErrors = 0;
    source.onImportError = [&](ImportEngine *) { ++failed; };
    source.onImportErrorAdv = [&](ImportEngine *) { ++valueErrors; };
    source.execute();
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1, 6 }));
    EXPECT_FALSE(fx.db.scalar("select PRIXVENTE from FACTURE where NUMEROORDRE = 6").isValid());
    EXPECT_EQ(failed, 4);
    EXPECT_EQ(source.errorCount(), 4);
    EXPECT_EQ(valueErrors, 1);
    EXPECT_EQ(source.valueErrorCount(), 1);
    EXPECT_EQ(source.importedCount(), 2);
    EXPECT_EQ(withoutStamps(readFile(log), QDateTime::currentDateTime().addSecs(-60), QDateTime::currentDateTime()),
        QByteArray("T - Import process started\r\n"
                   "\r\n"
                   "T - Line 2: Wrong date format \"31/02/2008\"\r\n"
                   "T - Line 3: Wrong date format \"hier\"\r\n"
                   "T - Line 4: Field 'DATEFACTURE' must have a value\r\n"
                   "T - Line 5: Field 'DATEFACTURE' must have a value\r\n"
                   "T - Line 6: 'abc' is not a valid floating point value\r\n"
                   "\r\n"
                   "T - Import process finished\r\n"
                   "4 error(s) found\r\n"
                   "1 value(s) could not be converted\r\n"
                   "\r\n"));

    // Without the column in the map: an added row has no date, a changed
    // one keeps its own.
    source.setMap({ QStringLiteral("IDENTIFIANT=1"), QStringLiteral("EXERCICE=2"), QStringLiteral("TRIMESTRE=3"),
        QStringLiteral("NUMEROORDRE=4"), QStringLiteral("PRIXVENTE=6") });
    source.setKeyColumns({ "NUMEROORDRE" });
    source.setImportMode(qimUpdateOrInsert);
    source.Rows = { row(1, QString(), "99"), row(7, QString()) };
    source.execute();
    EXPECT_EQ(source.errorCount(), 1);
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1, 6 }));
    EXPECT_EQ(fx.db.scalar("select PRIXVENTE from FACTURE where NUMEROORDRE = 1").toDouble(), 99.0);
    EXPECT_TRUE(fx.db.scalar("select DATEFACTURE from FACTURE where NUMEROORDRE = 1").isValid());
}

// Under French the operator reads the engine's messages in French, while the
// log keeps its lines as written: scripts and references read them.
TEST_F(DataImportEngine, UnderFrenchTheLogKeepsItsLinesAndTheOperatorReadsFrench)
{
    ScopedLanguage french(Translations::Language::French);
    QStringList refused = InvoiceFixture::invoiceRow(2);
    refused[6] = QStringLiteral("31/02/2008");
    source.Rows << InvoiceFixture::invoiceRow(1) << refused;
    source.setRequiredColumns({ QStringLiteral("DATEFACTURE") });
    const QString log = fx.dir.path() + "/import.log";
    source.setErrorLog(true);
    source.setErrorLogFileName(log);
    source.execute();
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1 }));
    EXPECT_EQ(withoutStamps(readFile(log), QDateTime::currentDateTime().addSecs(-60), QDateTime::currentDateTime()),
        QByteArray("T - Import process started\r\n"
                   "\r\n"
                   "T - Line 2: Wrong date format \"31/02/2008\"\r\n"
                   "\r\n"
                   "T - Import process finished\r\n"
                   "1 error(s) found\r\n"
                   "\r\n"));

    source.setMap({});
    try {
        source.execute();
        ADD_FAILURE() << "an empty map was taken";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Aucune correspondance de colonnes n'est définie"));
        EXPECT_EQ(e.sourceText(), QStringLiteral("Map is empty"));
    }
}

TEST_F(DataImportEngine, LogThatCannotBeOpenedStopsBeforeAnyRow)
{
    source.Rows << InvoiceFixture::invoiceRow(1);
    const FormatSettings before = FormatSettings::current();
    source.formats().decimalSeparator = QLatin1Char('#');
    source.setErrorLog(true);
    source.setRewriteErrorLogFile(false); // appending needs the file
    source.setErrorLogFileName(fx.dir.path() + "/missing.log");
    EXPECT_THROW(source.execute(), Error);
    EXPECT_EQ(source.OpenCount, 0);
    EXPECT_EQ(fx.count(), 0);
    // Nothing of the import stays behind.
    EXPECT_EQ(FormatSettings::current().decimalSeparator, before.decimalSeparator);
    EXPECT_FALSE(fx.invoices.controlsDisabled());
    EXPECT_FALSE(QFile::exists(fx.dir.path() + "/missing.log"));

    // A bare name lives beside the program.
    source.setErrorLogFileName("import.log");
    EXPECT_EQ(source.errorLogPath(), QCoreApplication::applicationDirPath() + "/import.log");
}

TEST_F(DataImportEngine, WithoutLogFailuresAreNotCounted)
{
    source.Rows << InvoiceFixture::invoiceRow(1) << InvoiceFixture::invoiceRow(1) << InvoiceFixture::invoiceRow(2)
                << InvoiceFixture::invoiceRow(3);
    source.setImportRecCount(2);
    int errors = 0;
    source.onImportError = [&](ImportEngine *) { ++errors; };
    source.execute();
    // The refused row neither counts nor stops: two good rows are imported.
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(source.errorCount(), 0);
    EXPECT_EQ(fx.stored().keys(), QList<int>({ 1, 2 }));
}

// ---------------------------------------------------------------------------
// Cancel
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, CancelAnsweredYesAndNo)
{
    for (bool goOn : { true, false }) {
        SCOPED_TRACE(goOn ? "no: go on" : "yes: stop");
        fx.db.exec("delete from FACTURE");
        fx.invoices.close();
        fx.invoices.open();
        TestImportSource cancelled;
        fx.configure(cancelled);
        for (int i = 1; i <= 5; ++i)
            cancelled.Rows << InvoiceFixture::invoiceRow(i);
        int yields = 0, asked = 0, commits = 0, after = 0;
        // The wizard's cancel button is pressed while the second row is shown.
        cancelled.onYield = [&](ImportEngine *sender) {
            if (++yields == 2)
                sender->cancel();
        };
        cancelled.onImportCancel = [&](ImportEngine *, bool &cont) {
            ++asked;
            EXPECT_FALSE(cont);
            cont = goOn;
        };
        cancelled.onNeedCommit = [&](ImportEngine *) { ++commits; };
        cancelled.onAfterImport = [&](ImportEngine *) { ++after; };
        cancelled.execute();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(after, 1);
        EXPECT_EQ(cancelled.canceled(), !goOn);
        EXPECT_EQ(cancelled.importedCount(), goOn ? 5 : 2);
        EXPECT_EQ(commits, goOn ? 1 : 0); // no final commit after a stop
        EXPECT_EQ(fx.count(), goOn ? 5 : 2);
    }
}

TEST_F(DataImportEngine, ErrorFromTheLoopComesAfterTheFinish)
{
    addRows(1, 3);
    int after = 0;
    source.onAfterImport = [&](ImportEngine *) { ++after; };
    source.onImportRowComplete = [](ImportEngine *sender, ImportRow *) {
        if (sender->importedCount() == 1)
            throw ImportError("source broke");
    };
    const FormatSettings before = FormatSettings::current();
    source.formats().decimalSeparator = QLatin1Char('#');
    try {
        source.execute();
        ADD_FAILURE() << "no error";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("source broke"));
    }
    EXPECT_EQ(after, 1);
    EXPECT_EQ(FormatSettings::current().decimalSeparator, before.decimalSeparator);
    EXPECT_EQ(fx.count(), 1);
}

// ---------------------------------------------------------------------------
// Destinations that are not data sets
// ---------------------------------------------------------------------------

TEST_F(DataImportEngine, ListViewMatchesCaptionsAndAddsItems)
{
    TestListView list;
    list.Columns = { "Code", "Nom", "Ville" };
    source.setImportDestination(qidListView);
    source.setListView(&list);
    source.setMap({ "ville=3", "CODE=1" });
    source.Rows = { { "1", "Ben Ali", "Sfax" }, { "2", "Trabelsi", "Tunis" } };
    source.execute();
    ASSERT_EQ(list.Items.size(), 2);
    EXPECT_EQ(list.Items[0].caption, "1");
    EXPECT_EQ(list.Items[0].subItems, QStringList({ "", "Sfax" })); // "Nom" not mapped
    EXPECT_EQ(list.Items[1].caption, "2");
    EXPECT_EQ(list.Updating, 0);

    // Changed by key; the second row has no item and is left alone.
    source.setImportMode(qimUpdate);
    source.setKeyColumns({ "code" });
    source.setMap({ "Code=1", "Nom=2" });
    source.Rows = { { "2", "TRABELSI" }, { "9", "Nobody" } };
    source.execute();
    EXPECT_EQ(list.Items[1].subItems, QStringList({ "TRABELSI", "Tunis" }));
    EXPECT_EQ(list.Items.size(), 2);

    source.setImportMode(qimDelete);
    source.Rows = { { "1" } };
    source.execute();
    ASSERT_EQ(list.Items.size(), 1);
    EXPECT_EQ(list.Items[0].caption, "2");

    source.setMap({ "Pays=1" });
    EXPECT_THROW(source.execute(), ImportError);
}

TEST_F(DataImportEngine, StringGridCaptionRowStartRowAndGrowth)
{
    TestStringGrid grid(3, 2);
    grid.Cells[0] = QStringList { "Code", "Nom", "Ville" };
    source.setImportDestination(qidStringGrid);
    source.setStringGrid(&grid);
    source.setGridCaptionRow(0);
    source.setGridStartRow(1);
    source.setMap({ "Nom=2", "0=1" }); // by caption, exactly, or by column number
    EXPECT_EQ(source.destinationColumnIndex("nom"), -1);
    EXPECT_EQ(source.destinationColumnIndex("3"), -1);
    EXPECT_EQ(source.destinationColumnName(2), "Ville");
    source.Rows = { { "1", "Ben Ali" }, { "2", "Trabelsi" } };
    source.execute();
    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.Cells[1], QStringList({ "1", "Ben Ali", "" }));
    EXPECT_EQ(grid.Cells[2], QStringList({ "2", "Trabelsi", "" }));
    EXPECT_EQ(grid.Cells[0], QStringList({ "Code", "Nom", "Ville" }));

    // Changed rows stay where they are and new ones go after the last one written.
    source.setImportMode(qimUpdateOrInsert);
    source.setKeyColumns({ "0" });
    source.setGridStartRow(3);
    source.Rows = { { "1", "BEN ALI" }, { "3", "Jaziri" }, { "2", "TRABELSI" }, { "4", "Zouari" } };
    source.execute();
    EXPECT_EQ(grid.Cells,
        QList<QStringList>(
            { { "Code", "Nom", "Ville" }, { "1", "BEN ALI", "" }, { "2", "TRABELSI", "" }, { "3", "Jaziri", "" }, { "4", "Zouari", "" } }));

    // Deleting moves the rows below up; the caption row is never matched.
    source.setImportMode(qimDelete);
    source.Rows = { { "2" }, { "Code" } };
    source.execute();
    EXPECT_EQ(grid.Cells,
        QList<QStringList>({ { "Code", "Nom", "Ville" }, { "1", "BEN ALI", "" }, { "3", "Jaziri", "" }, { "4", "Zouari", "" } }));
}

TEST_F(DataImportEngine, StringGridWithoutStartRowWritesTheLastRow)
{
    TestStringGrid grid(2, 3);
    source.setImportDestination(qidStringGrid);
    source.setStringGrid(&grid);
    source.setMap({ "0=1", "1=2" });
    source.Rows = { { "a", "b" }, { "c", "d" } };
    source.execute();
    EXPECT_EQ(grid.Cells, QList<QStringList>({ { "", "" }, { "", "" }, { "a", "b" }, { "c", "d" } }));
    EXPECT_EQ(source.destinationColumnName(1), "1");

    // An empty grid loses no row.
    TestStringGrid empty(2, 0);
    source.setStringGrid(&empty);
    source.execute();
    EXPECT_EQ(empty.Cells, QList<QStringList>({ { "a", "b" }, { "c", "d" } }));
}

TEST_F(DataImportEngine, DBGridMatchesTitlesAndWritesItsDataSet)
{
    TestDBGrid grid;
    grid.Columns = { { "Société", "IDENTIFIANT" }, { "Exercice", "EXERCICE" }, { "Trim.", "TRIMESTRE" }, { "N° ordre", "NUMEROORDRE" },
        { "Prix", "PRIXVENTE" } };
    grid.Data = &fx.invoices;
    source.setImportDestination(qidDBGrid);
    source.setDbGrid(&grid);
    source.setMap({ "société=1", "EXERCICE=2", "Trim.=3", "N° ordre=4", "Prix=6" });
    source.Rows = { InvoiceFixture::invoiceRow(1, QString(), "2.5") };
    source.execute();
    EXPECT_EQ(fx.db.scalar("select PRIXVENTE from FACTURE where NUMEROORDRE = 1").toDouble(), 2.5);
    EXPECT_EQ(source.destinationColumnName(3), "N° ordre");

    source.setMap({ "PRIXVENTE=6" }); // a field name is not a title
    EXPECT_THROW(source.execute(), ImportError);
}
