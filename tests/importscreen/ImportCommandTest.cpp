#include "data/AutomaticCopies.h"
#include "data/Config.h"
#include "tests/importscreen/ImportScreenSupport.h"
#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>
#include <utility>

namespace {

ProgramRun cli(const QStringList &args)
{
    return runProgram(QStringLiteral(KESTRA_CLI), QStringList { QStringLiteral("import") } + args, 120000);
}

// A database with one company, closed so that the command can open it.
class ImportCommand : public ::testing::Test
{
protected:
    TestDatabase db;
    QTemporaryDir dir;

    void SetUp() override
    {
        db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                               "values ('0123456', 'A', 'M', '000', 'SOCIETE A', 2025)"));
        db.connection().close();
    }

    ProgramRun import(const QString &templateText, const QString &table, const QStringList &more = {})
    {
        const QString file = writeFile(dir, QStringLiteral("t.imp"), templateText);
        return cli(
            QStringList { QStringLiteral("--db"), db.directory(), QStringLiteral("--template"), file, QStringLiteral("--table"), table }
            + more);
    }

    // A copy of the database as it is now, in a directory of its own, for
    // a run that must start from it.
    QString freshCopy()
    {
        const QString d = dir.filePath(QStringLiteral("copy%1").arg(++m_copies));
        QDir().mkpath(d);
        EXPECT_TRUE(QFile::copy(db.path(), d + QStringLiteral("/Kestra.GDB")));
        return d;
    }

private:
    int m_copies = 0;
};

// The rows of a select on the database of a directory, as texts.
QList<QStringList> rowsIn(const QString &base, const QString &sql)
{
    Connection c;
    c.setDatabaseName(Config::databaseName(base));
    c.open();
    const QList<QStringList> rows = selectedRows(c, sql);
    c.close();
    return rows;
}

const QStringList ForCompanyA = { QStringLiteral("--company"), CompanyA, QStringLiteral("--year"), Year };

} // namespace

// The four roads an office takes: clients then invoices, from a delimited
// file and from the workbook, each from its template.
TEST_F(ImportCommand, DelimitedAndSpreadsheetTemplatesIntoBothTables)
{
    const QString clients
        = writeFile(dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM;ADRESSE\r\n201;Client A;Tunis\r\n202;Client B;Sfax\r\n"));
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"),
        invoicesCsv({ QStringLiteral("C1;10/02/2026;AUT-1;01/01/2026;10"), QStringLiteral("C2;10/11/2026;AUT-2;01/01/2026;20") }));
    struct Case
    {
        const char *name;
        QString templateText;
        QString table;
        QStringList more;
        QString counts;
        int rc = 0;
    };
    const QList<Case> cases = {
        { "delimited clients", csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3")), "TIERS", {},
            "Lignes insérées : 2\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 0\n" },
        // The template names another file: --file replaces it, the ranges stay.
        { "workbook clients", xlsTemplate(QStringLiteral("/nowhere/last-month.xls"), XlsClientsMap), "tiers",
            { QStringLiteral("--file"), workbookFixture() },
            "Lignes insérées : 4\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 0\n" },
        { "delimited invoices", csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys), "FACTURE", ForCompanyA,
            "Lignes insérées : 2\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 0\nFactures numérotées : 2\n" },
        // FV-2026-105 has no date, so no quarter: it is refused.
        { "workbook invoices", xlsTemplate(workbookFixture(), XlsInvoicesMap, PlaceholderKeys), "FACTURE", ForCompanyA,
            "Lignes insérées : 4\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 1\nFactures numérotées : 4\n", 3 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = import(c.templateText, c.table, c.more);
        EXPECT_EQ(run.rc, c.rc) << run.err.toStdString();
        EXPECT_EQ(run.out, c.counts);
    }

    EXPECT_EQ(committedRows(db, QStringLiteral("select CODE, NOMBENEFICIAIRE, DATEAUTORISATION from TIERS order by CODE")),
        (QList<QStringList> {
            { "101", "ATELIERS MECANIQUES DU SUD", "20/11/2025" },
            { "102", "IMPRIMERIE DE LA MEDINA", "05/01/2026" },
            { "103", "TRABELSI AMINA", "null" },
            { "104", "SOCIETA ADRIATICA IMPORT SRL", "30/06/2025" },
            { "201", "Client A", "null" },
            { "202", "Client B", "null" },
        }));
    // The company had no invoice that year: numbering starts at 1.
    EXPECT_EQ(committedRows(db,
                  QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, CODE, MONTANTTVA "
                                 "from FACTURE order by NUMEROORDRE")),
        (QList<QStringList> {
            { CompanyA, "2026", "1", "1", "C1", "10/02/2026", "null", "null" },
            { CompanyA, "2026", "4", "2", "C2", "10/11/2026", "null", "null" },
            { CompanyA, "2026", "1", "3", "FV-2026-101", "12/03/2026", "101", "191.9" },
            { CompanyA, "2026", "2", "4", "FV-2026-102", "03/04/2026", "102", "527.725" },
            { CompanyA, "2026", "3", "5", "FV-2026-103", "30/09/2026", "103", "33.6" },
            { CompanyA, "2026", "4", "6", "FV-2026-104", "01/10/2026", "104", "2302.8" },
        }));
}

TEST_F(ImportCommand, WhatIsMissingIsSaidAndNothingIsWritten)
{
    const QString clients = writeFile(dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM\r\n1;Un\r\n"));
    const QString good = csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2"));
    struct Case
    {
        const char *name;
        QStringList args;
        int rc;
        QString message;
    };
    const QString goodFile = writeFile(dir, QStringLiteral("good.imp"), good);
    const QString base = db.directory();
    const QList<Case> cases = {
        { "no template", { "--db", base, "--template", dir.filePath("none.imp"), "--table", "TIERS" }, 1,
            "Modèle d'importation introuvable : " + dir.filePath("none.imp") },
        { "no source", { "--db", base, "--template", goodFile, "--table", "TIERS", "--file", dir.filePath("none.csv") }, 1,
            "Fichier source introuvable : " + dir.filePath("none.csv") },
        { "unknown company", { "--db", base, "--template", goodFile, "--table", "FACTURE", "--company", "9999999ZZZ999", "--year", Year },
            1, "Société introuvable : 9999999ZZZ999" },
        { "invoices without a company", { "--db", base, "--template", goodFile, "--table", "FACTURE" }, 2, "--company" },
        { "another table", { "--db", base, "--template", goodFile, "--table", "SOCIETE" }, 2, "Table incorrecte : SOCIETE" },
        { "no database", { "--db", dir.filePath("nobase"), "--template", goodFile, "--table", "TIERS" }, 1, "Base introuvable" },
        { "a template of no kind",
            { "--db", base, "--template", writeFile(dir, "bad.imp", "[FIRST_STEP]\nImportType=9\n"), "--table", "TIERS" }, 1,
            "Unknown import source" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
    }
    EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from TIERS")).value(0).value(0), QStringLiteral("0"));
}

TEST_F(ImportCommand, FailedRowsDoNotStopTheOthersAndTheLogIsNamed)
{
    const QString clients = writeFile(
        dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM\r\n1;Un\r\nabc;Pas un code\r\n2;Deux\r\n1;Doublon\r\n3;Trois\r\n"));
    const QString log = dir.filePath(QStringLiteral("logs/import.log"));
    const ProgramRun run
        = import(csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2"), errorLogTo(log)), QStringLiteral("TIERS"));
    EXPECT_EQ(run.rc, 3) << run.err.toStdString();
    EXPECT_EQ(run.out,
        QStringLiteral("Lignes insérées : 3\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 2\nJournal des erreurs : %1\n")
            .arg(log));
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Line 3:"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Line 5:"))) << text.toStdString();
    EXPECT_EQ(committedRows(db, QStringLiteral("select CODE, NOMBENEFICIAIRE from TIERS order by CODE")),
        (QList<QStringList> { { "1", "Un" }, { "2", "Deux" }, { "3", "Trois" } }));
}

// Invoices whose date is missing or cannot be read are refused, each a failed
// row with its message: the others are stamped and the command says rows
// failed.
TEST_F(ImportCommand, InvoicesWithoutADateAreRefused)
{
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"),
        invoicesCsv({ QStringLiteral("F1;12/03/2026;AUT;01/01/2026;10"), QStringLiteral("F2;31/02/2026;AUT;01/01/2026;20"),
            QStringLiteral("F3;hier;AUT;01/01/2026;30"), QStringLiteral("F4;;AUT;01/01/2026;40"),
            QStringLiteral("F5;05/05/2026;AUT;01/01/2026;50") }));
    const QString log = dir.filePath(QStringLiteral("import.log"));
    const ProgramRun run
        = import(csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + errorLogTo(log)), QStringLiteral("FACTURE"), ForCompanyA);
    EXPECT_EQ(run.rc, 3) << run.err.toStdString();
    EXPECT_EQ(run.out,
        QStringLiteral("Lignes insérées : 2\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 3\nFactures numérotées : 2\n"
                       "Journal des erreurs : %1\n")
            .arg(log));
    EXPECT_EQ(committedRows(db, QStringLiteral("select NUMEROFACTURE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROORDRE")),
        (QList<QStringList> { { "F1", "1", "1" }, { "F5", "2", "2" } }));
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(f.readAll());
    for (const QString &line :
        { QStringLiteral("Line 3: Wrong date format \"31/02/2026\""), QStringLiteral("Line 4: Wrong date format \"hier\""),
            QStringLiteral("Line 5: Field 'DATEFACTURE' must have a value"), QStringLiteral("3 error(s) found") })
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << "\n" << text.toStdString();
}

// The template's commit rhythm holds, also where the screen's wizard would
// keep "Commit when done": each commit is counted by the database itself.
TEST_F(ImportCommand, CommitsAsTheTemplateSays)
{
    db.connection().ensureOpen();
    db.exec(QStringLiteral("create table COMMITS (N integer)"));
    db.connection().commit();
    db.exec(QStringLiteral("create trigger COUNT_COMMITS on transaction commit as begin insert into COMMITS values (1); end"));
    db.connection().close();
    const QString clients
        = writeFile(dir, QStringLiteral("clients.csv"), QStringLiteral("CODE;NOM\r\n1;a\r\n2;b\r\n3;c\r\n4;d\r\n5;e\r\n"));
    struct Case
    {
        QString lastStep;
        int commits; // the engine's, then the command's final one
    };
    const QList<Case> cases = {
        { QStringLiteral("CommitAfterDone=0\nCommitRecCount=2"), 3 + 1 },
        { QStringLiteral("CommitAfterDone=1\nCommitRecCount=2"), 1 + 1 },
    };
    int table = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lastStep.toStdString());
        // Reading commits once more: the count includes that read.
        const int before = committedRows(db, QStringLiteral("select count(*) from COMMITS")).value(0).value(0).toInt() + 1;
        const ProgramRun run = import(csvTemplate(clients, QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2"),
                                          QStringLiteral("[LAST_STEP]\n%1\n[DATA_FORMATS_CODE]\nGeneratorValue=%2\nGeneratorStep=1\n")
                                              .arg(c.lastStep)
                                              .arg(++table * 100)),
            QStringLiteral("TIERS"));
        EXPECT_EQ(run.rc, 0) << run.err.toStdString();
        EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from COMMITS")).value(0).value(0).toInt() - before, c.commits);
    }
    EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from TIERS")).value(0).value(0), QStringLiteral("10"));
}

// Invoices are committed once, with their stamping, whatever commit rhythm
// the template asks for: no commit ever makes unstamped rows durable.
TEST_F(ImportCommand, InvoicesAreCommittedOnlyWithTheirStamping)
{
    db.connection().ensureOpen();
    db.exec(QStringLiteral("create table COMMITS (N integer)"));
    db.connection().commit();
    db.exec(QStringLiteral("create trigger COUNT_COMMITS on transaction commit as begin insert into COMMITS values (1); end"));
    db.connection().close();
    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << QStringLiteral("F%1;10/0%1/2026;AUT;01/01/2026;10").arg(i);
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv(lines));
    const int before = committedRows(db, QStringLiteral("select count(*) from COMMITS")).value(0).value(0).toInt() + 1;
    const ProgramRun run = import(
        csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + QStringLiteral("[LAST_STEP]\nCommitAfterDone=0\nCommitRecCount=2\n")),
        QStringLiteral("FACTURE"), ForCompanyA);
    EXPECT_EQ(run.rc, 0) << run.err.toStdString();
    // The stamping's commit, then the command's final one.
    EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from COMMITS")).value(0).value(0).toInt() - before, 2);
    EXPECT_EQ(committedRows(db, QStringLiteral("select NUMEROFACTURE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROORDRE")),
        (QList<QStringList> { { "F1", "1", "1" }, { "F2", "1", "2" }, { "F3", "1", "3" }, { "F4", "2", "4" }, { "F5", "2", "5" } }));
}

// A database damaged before imports were made whole: rows committed under
// the placeholder key. The next import says where they are and still runs;
// the operator then stamps them for a company, or deletes them, by asking.
TEST_F(ImportCommand, InvoicesLeftUnstampedAreReportedThenStampedOrDeleted)
{
    db.connection().ensureOpen();
    insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("A1"));
    for (int i = 1; i <= 3; ++i)
        insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, i, QStringLiteral("LOST-%1").arg(i), QStringLiteral("2026-0%1-10").arg(3 * i));
    db.connection().close();
    const QString invoices
        = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv({ QStringLiteral("NEW;10/02/2026;AUT;01/01/2026;10") }));
    // The new import's placeholder keys are those of the rows left behind.
    const ProgramRun run = import(csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys), QStringLiteral("FACTURE"), ForCompanyA);
    EXPECT_EQ(run.rc, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Attention : 3 facture(s)"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("IMPORT / 0 / T0 : 3"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("kestra-cli unstamped --db %1 --stamp").arg(db.directory()))) << run.err.toStdString();

    auto unstamped = [&](const QStringList &more) {
        QProcess p;
        p.start(QStringLiteral(KESTRA_CLI), QStringList { QStringLiteral("unstamped"), QStringLiteral("--db"), db.directory() } + more);
        p.waitForFinished(60000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
    };
    const QString keys = QStringLiteral("select NUMEROFACTURE, IDENTIFIANT, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROFACTURE");
    const QList<QStringList> listed = committedRows(db, keys);
    auto [rc, text] = unstamped({});
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(text.contains(QStringLiteral("IMPORT / 0 / T0 : 3"))) << text.toStdString();
    EXPECT_EQ(committedRows(db, keys), listed); // listing changes nothing
    std::tie(rc, text) = unstamped({ QStringLiteral("--stamp"), QStringLiteral("--company"), CompanyA });
    EXPECT_EQ(rc, 2); // a year is needed too

    std::tie(rc, text) = unstamped({ QStringLiteral("--stamp"), QStringLiteral("--company"), CompanyA, QStringLiteral("--year"), Year });
    EXPECT_EQ(rc, 0) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Factures numérotées : 3"))) << text.toStdString();
    EXPECT_EQ(committedRows(db, keys),
        (QList<QStringList> {
            { "A1", CompanyA, "1", "1" },
            { "LOST-1", CompanyA, "1", "3" },
            { "LOST-2", CompanyA, "2", "4" },
            { "LOST-3", CompanyA, "3", "5" },
            { "NEW", CompanyA, "1", "2" },
        }));

    db.connection().ensureOpen();
    insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, 1, QStringLiteral("LOST-4"));
    db.connection().close();
    std::tie(rc, text) = unstamped({ QStringLiteral("--delete") });
    EXPECT_EQ(rc, 0) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Factures supprimées : 1"))) << text.toStdString();
    std::tie(rc, text) = unstamped({});
    EXPECT_TRUE(text.contains(QStringLiteral("Aucune facture en attente"))) << text.toStdString();
}

// SIGINT or SIGTERM during a 65,000-row import, as Ctrl+C in a terminal or a
// shutdown sends them: the import stops, takes back what it wrote since it
// began or last committed, says so and exits with 128 + the signal. Each
// run starts from a copy of the database; its error log, a line per row
// here (no authorisation date reads), tells that rows are going in.
TEST_F(ImportCommand, AnInterruptedImportKeepsOnlyWhatItCommitted)
{
    db.connection().ensureOpen();
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (900001, 'ANCIEN')"));
    insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("OLD"));
    db.connection().close();

    constexpr int Rows = 65000;
    QStringList clientLines { QStringLiteral("CODE;NOM;DATE") }, invoiceLines;
    for (int i = 1; i <= Rows; ++i) {
        clientLines << QStringLiteral("%1;Client %1;hier").arg(i);
        invoiceLines << QStringLiteral("F%1;10/01/2026;AUT;hier;%1").arg(i);
    }
    const QString clients
        = writeFile(dir, QStringLiteral("clients.csv"), clientLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv(invoiceLines));
    const QString log = dir.filePath(QStringLiteral("import.log"));
    const QString logging = errorLogTo(log);
    const QString everyThousand = QStringLiteral("CommitAfterDone=0\nCommitRecCount=1000\n");
    const QString clientsMap = QStringLiteral("CODE=1\nNOMBENEFICIAIRE=2\nDATEAUTORISATION=3");
    struct Case
    {
        const char *name;
        int signal;
        QString table;
        QString templateText;
        bool keepsCommits; // the import's own commits stay
    };
    const QList<Case> cases = {
        { "clients committed at the end", SIGINT, QStringLiteral("TIERS"), csvTemplate(clients, clientsMap, logging), false },
        { "clients committed every 1000 rows", SIGTERM, QStringLiteral("TIERS"), csvTemplate(clients, clientsMap, logging + everyThousand),
            true },
        // Invoices are committed with their stamping only, whatever the template asks.
        { "invoices", SIGINT, QStringLiteral("FACTURE"), csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + logging + everyThousand),
            false },
        { "invoices", SIGTERM, QStringLiteral("FACTURE"), csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys + logging), false },
    };
    const QString clientsSql = QStringLiteral("select count(*), min(CODE), max(CODE) from TIERS where CODE <= %1").arg(Rows);
    const QString othersSql = QStringLiteral("select CODE, NOMBENEFICIAIRE from TIERS where CODE > %1").arg(Rows);
    const QString invoicesSql = QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE from FACTURE");
    const QList<QStringList> invoicesBefore = rowsIn(db.directory(), invoicesSql);
    const QList<QStringList> othersBefore = rowsIn(db.directory(), othersSql);
    static const QRegularExpression said(
        QStringLiteral("Importation interrompue \\((SIG[A-Z]+)\\) : (\\d+) ligne\\(s\\) annulée\\(s\\), (\\d+) ligne\\(s\\) "
                       "conservée\\(s\\) par les validations intermédiaires\\."));
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.signal == SIGINT ? " SIGINT" : " SIGTERM"));
        const QString base = freshCopy();
        QFile::remove(log);
        const QString templateFile = writeFile(dir, QStringLiteral("t.imp"), c.templateText);
        QProcess p;
        p.start(QStringLiteral(KESTRA_CLI),
            QStringList { QStringLiteral("import"), QStringLiteral("--db"), base, QStringLiteral("--template"), templateFile,
                QStringLiteral("--table"), c.table }
                + (c.table == QLatin1String("FACTURE") ? ForCompanyA : QStringList()));
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer waiting;
        waiting.start();
        while (QFileInfo(log).size() < 2000 * 40 && p.state() == QProcess::Running && waiting.elapsed() < 120000)
            QThread::msleep(10);
        ASSERT_EQ(p.state(), QProcess::Running) << "the import ended before the signal: " << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), c.signal);
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + c.signal) << err.toStdString();
        const QRegularExpressionMatch m = said.match(err);
        ASSERT_TRUE(m.hasMatch()) << err.toStdString();
        EXPECT_EQ(m.captured(1), c.signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"));
        const int discarded = m.captured(2).toInt(), kept = m.captured(3).toInt();
        // At least the rows the log showed went in; every thousandth row a
        // commit, or none before the end.
        EXPECT_GE(discarded + kept, 1000);
        if (c.keepsCommits) {
            EXPECT_EQ(kept % 1000, 0);
            EXPECT_LT(discarded, 1000);
        } else {
            EXPECT_EQ(kept, 0);
        }
        // The rows its commits kept, the first ones of the file, and nothing else.
        const QList<QStringList> imported = rowsIn(base, clientsSql);
        EXPECT_EQ(imported,
            (QList<QStringList> { { QString::number(kept), kept ? QStringLiteral("1") : QStringLiteral("null"),
                kept ? QString::number(kept) : QStringLiteral("null") } }));
        EXPECT_EQ(rowsIn(base, othersSql), othersBefore);
        EXPECT_EQ(rowsIn(base, invoicesSql), invoicesBefore);
    }
}

// A process killed at any moment of a large invoice import: the database
// holds none of that import's rows or all of them stamped, it is sound, and
// the same import run again succeeds.
TEST_F(ImportCommand, AKilledImportLeavesNothingOrEverythingStamped)
{
    const QString gfix = QStandardPaths::findExecutable(QStringLiteral("gfix"));
    ASSERT_FALSE(gfix.isEmpty()) << "gfix (firebird3.0-utils) is needed to check the database";
    db.connection().ensureOpen();
    insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("OLD"));
    db.connection().close();

    constexpr int Rows = 30000;
    QStringList lines;
    lines.reserve(Rows);
    for (int i = 1; i <= Rows; ++i)
        lines << QStringLiteral("F%1;%2/%3/2026;AUT;01/01/2026;%4")
                     .arg(i)
                     .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                     .arg(i);
    const QString source = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv(lines));
    // The worst rhythm a template can ask for: a commit every thousand rows.
    const QString templateFile = writeFile(dir, QStringLiteral("t.imp"),
        csvTemplate(source, CsvInvoicesMap, PlaceholderKeys + QStringLiteral("[LAST_STEP]\nCommitAfterDone=0\nCommitRecCount=1000\n")));

    // Each run works on a copy of the database as it was before the import.
    auto start = [&](QProcess &p, const QString &base) {
        p.start(QStringLiteral(KESTRA_CLI),
            { QStringLiteral("import"), QStringLiteral("--db"), base, QStringLiteral("--template"), templateFile, QStringLiteral("--table"),
                QStringLiteral("FACTURE"), QStringLiteral("--company"), CompanyA, QStringLiteral("--year"), Year });
        EXPECT_TRUE(p.waitForStarted());
    };
    // Rows of the company, rows under any other key, distinct numbers.
    auto state = [&](const QString &base) {
        Connection c;
        c.setDatabaseName(Config::databaseName(base));
        c.open();
        Query q(c,
            QStringLiteral("select count(*), count(distinct NUMEROORDRE), max(NUMEROORDRE), (select count(*) from FACTURE where "
                           "IDENTIFIANT <> '%1' or EXERCICE <> 2026 or TRIMESTRE not between 1 and 4) from FACTURE where IDENTIFIANT = "
                           "'%1' and EXERCICE = 2026")
                .arg(CompanyA));
        q.open();
        Row row;
        q.fetch(row);
        q.close();
        c.close();
        return QList<int> { row.value(0).toInt(), row.value(1).toInt(), row.value(2).toInt(), row.value(3).toInt() };
    };
    const QList<int> untouched = { 1, 1, 1, 0 };
    const QList<int> imported = { Rows + 1, Rows + 1, Rows + 1, 0 };
    const QList<int> importedTwice = { 2 * Rows + 1, 2 * Rows + 1, 2 * Rows + 1, 0 };

    // How long a whole import takes here tells where to kill the others.
    QElapsedTimer clock;
    const QString whole = freshCopy();
    QProcess full;
    clock.start();
    start(full, whole);
    ASSERT_TRUE(full.waitForFinished(600000));
    const qint64 duration = clock.elapsed();
    ASSERT_EQ(full.exitCode(), 0) << full.readAllStandardError().toStdString();
    ASSERT_EQ(state(whole), imported);

    for (double at : { 0.05, 0.2, 0.35, 0.5, 0.65, 0.8, 0.9, 0.95, 0.98, 1.0 }) {
        SCOPED_TRACE(at);
        const QString base = freshCopy();
        QProcess p;
        start(p, base);
        QThread::msleep(qMax<qint64>(1, qint64(duration * at)));
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        const QList<int> after = state(base);
        EXPECT_TRUE(after == untouched || after == imported) << after[0] << " " << after[1] << " " << after[2] << " " << after[3];

        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(gfix,
            { QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"), Connection::UserName, Config::databaseName(base) });
        ASSERT_TRUE(check.waitForFinished(120000));
        // Pages the killed process had taken and not yet linked are left
        // as orphans: warnings, space a sweep of gfix -mend gives back.
        // Any count of errors is a damaged database.
        const QString report = QString::fromUtf8(check.readAll());
        EXPECT_EQ(check.exitCode(), 0) << report.toStdString();
        for (const QString &line : report.split(QLatin1Char('\n'))) {
            if (line.contains(QStringLiteral("Number of"))) {
                EXPECT_TRUE(line.contains(QStringLiteral("page warnings"))) << report.toStdString();
            }
        }

        QProcess again;
        start(again, base);
        ASSERT_TRUE(again.waitForFinished(600000));
        EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        EXPECT_EQ(state(base), after == untouched ? imported : importedTwice);
    }
}

// One month's clients and invoices as they arrive: a workbook saved by
// LibreOffice as .xls, .xlsx and .ods, and UTF-8 text (the clients with a
// byte-order mark, the invoices without one, their template saying UTF-8).
// Each form with its template gives the same rows, accents and the
// code page's Œ included.
TEST_F(ImportCommand, SameRowsFromEveryFormat)
{
    const QString fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/importscreen/");
    const QString csvClientsMap = QStringLiteral(
        "CODE=1\nTYPEIDENTIFIANT=2\nIDENTIFIANT=3\nNOMBENEFICIAIRE=4\nADRESSE=5\nNUMEROAUTORISATION=6\nDATEAUTORISATION=7");
    const QString csvInvoicesMap
        = QStringLiteral("NUMEROFACTURE=1\nDATEFACTURE=2\nCODE=3\nTYPEIDCLIENT=4\nIDENTIFIANTCLIENT=5\nNOMPRENOMCLIENT=6\nADRESSECLIENT=7\n"
                         "NUMEROAUTORISATION=8\nDATEAUTORISATION=9\nPRIXVENTE=10\nTAUXFODEC=11\nMONTANTFODEC=12\nTAUXDROITCONSOMMATION=13\n"
                         "MONTANTDROITCONSOMMATION=14\nTAUXTVA=15\nMONTANTTVA=16");
    const QString csvInvoices = QStringLiteral("[FIRST_STEP]\nImportType=4\nFileName=%1\n[CSV_MAP]\n%2\n"
                                               "[CSV_OPTIONS]\nSkipLines=1\nDelimiter=;\nEncoding=1\n")
                                    .arg(fixtures + QStringLiteral("monthly-invoices.csv"), csvInvoicesMap)
        + DayMonthYear + PlaceholderKeys;
    struct Form
    {
        const char *name;
        QString clients;
        QString invoices;
    };
    const QList<Form> forms = {
        { "xls", xlsTemplate(fixtures + QStringLiteral("monthly.xls"), XlsClientsMap),
            xlsTemplate(fixtures + QStringLiteral("monthly.xls"), XlsInvoicesMap, PlaceholderKeys) },
        { "xlsx", xlsTemplate(fixtures + QStringLiteral("monthly.xlsx"), XlsClientsMap),
            xlsTemplate(fixtures + QStringLiteral("monthly.xlsx"), XlsInvoicesMap, PlaceholderKeys) },
        { "ods", xlsTemplate(fixtures + QStringLiteral("monthly.ods"), XlsClientsMap),
            xlsTemplate(fixtures + QStringLiteral("monthly.ods"), XlsInvoicesMap, PlaceholderKeys) },
        { "csv", csvTemplate(fixtures + QStringLiteral("monthly-clients.csv"), csvClientsMap), csvInvoices },
    };
    const QString clientsSql = QStringLiteral("select * from TIERS order by CODE");
    const QString invoicesSql = QStringLiteral("select * from FACTURE order by NUMEROORDRE");
    QList<QStringList> firstClients, firstInvoices;
    for (const Form &form : forms) {
        SCOPED_TRACE(form.name);
        const ProgramRun clients = import(form.clients, QStringLiteral("TIERS"));
        EXPECT_EQ(clients.rc, 0) << clients.err.toStdString() << clients.out.toStdString();
        // FV-2026-304 has no date, in every form: refused, the others stamped.
        const ProgramRun invoices = import(form.invoices, QStringLiteral("FACTURE"), ForCompanyA);
        EXPECT_EQ(invoices.rc, 3) << invoices.err.toStdString() << invoices.out.toStdString();
        EXPECT_TRUE(invoices.out.contains(QStringLiteral("Lignes en échec : 1\n"))) << invoices.out.toStdString();
        const QList<QStringList> clientRows = committedRows(db, clientsSql);
        const QList<QStringList> invoiceRows = committedRows(db, invoicesSql);
        if (firstClients.isEmpty()) {
            firstClients = clientRows;
            firstInvoices = invoiceRows;
        } else {
            EXPECT_EQ(clientRows, firstClients);
            EXPECT_EQ(invoiceRows, firstInvoices);
        }
        // The next form starts from empty tables.
        auto other = db.otherConnection();
        Query(*other, QStringLiteral("delete from FACTURE")).execute();
        Query(*other, QStringLiteral("delete from TIERS")).execute();
        other->commit();
    }
    // And they are the rows of the month.
    EXPECT_EQ(firstClients,
        (QList<QStringList> {
            { "301", "1", "null", "1733333CAM000", "SOCIÉTÉ GÉNÉRALE DES ŒUVRES", "3 AVENUE HÉDI CHAKER 3000 SFAX", "AUT-8301",
                "01/12/2025" },
            { "302", "2", "null", "08765432", "BEN SALAH FRANÇOISE", "17 RUE DE L'ÉGLISE 4000 SOUSSE", "AUT-8302", "null" },
            { "303", "4", "null", "EXT00000FR09", "CAFÉ DES ARTS SARL", "9 QUAI D'ORSAY 75007 PARIS FRANCE", "AUT-8303", "14/02/2026" },
        }));
    ASSERT_EQ(firstInvoices.size(), 3);
    EXPECT_EQ(firstInvoices[0].mid(4, 6),
        QStringList(
            { "FV-2026-301", "15/01/2026", "1", "1733333CAM000", "SOCIÉTÉ GÉNÉRALE DES ŒUVRES", "3 AVENUE HÉDI CHAKER 3000 SFAX" }));
    EXPECT_EQ(firstInvoices[1].mid(12), QStringList({ "99.999", "0", "0", "0", "0", "7", "7", "302" }));
}

// An invoice import first copies the database beside it, unless the
// configuration (../CheminBase.ini, as the program reads it) turns that
// off; a copy that fails stops the import before it brings a row.
TEST_F(ImportCommand, InvoicesArePrecededByACopyThatMustSucceed)
{
    const QString invoices = writeFile(dir, QStringLiteral("factures.csv"), invoicesCsv({ QStringLiteral("F1;10/02/2026;AUT;01/01/2026;10") }));
    const QString templateFile = writeFile(dir, QStringLiteral("t.imp"), csvTemplate(invoices, CsvInvoicesMap, PlaceholderKeys));
    const QString copies = QFileInfo(db.path()).absolutePath() + QStringLiteral("/Sauvegardes");
    QDir().mkpath(dir.filePath(QStringLiteral("Programme")));
    struct Case
    {
        const char *name;
        QString configuration;
        bool copyFails;
        int rc;
        int copies;
        int invoices;
        QString said;
    } cases[] = {
        { "copy made", QString(), false, 0, 1, 1, QStringLiteral("Copie de la base avant l'importation : ") + copies },
        { "turned off", QStringLiteral("[Sauvegarde]\r\nAvantImportation=0\r\n"), false, 0, 0, 1, QString() },
        { "copy failing", QString(), true, 1, 0, 0,
            QStringLiteral("L'importation n'a pas été lancée : la copie de la base qui la précède a échoué.") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(copies).removeRecursively();
        db.connection().ensureOpen();
        db.exec(QStringLiteral("delete from FACTURE"));
        db.connection().close();
        writeFile(dir, QStringLiteral("CheminBase.ini"), c.configuration);
        if (c.copyFails) {
            QFile blocker(copies); // a file where the directory goes
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        const ProgramRun run = runProgram(QStringLiteral(KESTRA_CLI),
            QStringList { QStringLiteral("import"), QStringLiteral("--db"), db.directory(), QStringLiteral("--template"), templateFile,
                QStringLiteral("--table"), QStringLiteral("FACTURE") }
                + ForCompanyA,
            120000, dir.filePath(QStringLiteral("Programme")));
        EXPECT_EQ(run.rc, c.rc) << run.err.toStdString();
        if (c.said.isEmpty())
            EXPECT_FALSE(run.err.contains(QStringLiteral("Copie"))) << run.err.toStdString();
        else
            EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(AutomaticCopies::list(copies).size(), c.copies);
        EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from FACTURE")).value(0).value(0).toInt(), c.invoices);
        QFile::remove(copies);
    }
}
