#include "core/Error.h"
#include "core/WorkingContext.h"
#include "data/DataModule.h"
#include "data/DataSet.h"
#include "data/Schema.h"
#include "declaration/DeclarationGeneration.h"
#include "declaration/DeclarationHistory.h"
#include "tests/importscreen/ImportScreenSupport.h"
#include "tests/support/TestServer.h"

#include <QProcess>
#include <QSignalSpy>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <latch>
#include <memory>
#include <thread>

namespace {

// One server for the whole program: starting one takes seconds.
TestServer *server = nullptr;

// Two workstations: two programs, each with its data module and its own
// connection to the one database on the server.
class TwoWorkstations : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!server)
            server = new TestServer;
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(server->isRunning()) << server->failure().toStdString();
        db = std::make_unique<TestDatabase>(server->prefix());
        db->exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                                "values ('0123456', 'A', 'M', '000', 'SOCIETE A', 2026)"));
        db->connection().commit();
        context.curIdentifiant = QStringLiteral("0123456");
        context.curCle = QStringLiteral("A");
        context.curCategorie = QStringLiteral("M");
        context.curEtab = QStringLiteral("000");
        context.curMatricule = CompanyA;
        context.curExercice = Year;
        for (auto *module : { &first, &second }) {
            *module = std::make_unique<DataModule>();
            (*module)->connection->setDatabaseName(db->path());
            (*module)->connection->open();
            (*module)->setNumberingCompany(context.curMatricule, context.curExercice);
        }
    }

    void TearDown() override
    {
        first.reset();
        second.reset();
        db.reset();
    }

    static void openInvoices(DataModule &module)
    {
        module.invoices->close();
        module.invoices->setParam(QStringLiteral("id"), CompanyA);
        module.invoices->setParam(QStringLiteral("ex"), Year);
        module.invoices->open();
    }

    // An invoice started as the invoice form starts it.
    static void startInvoice(DataModule &module, int quarter, const QString &number)
    {
        DataSet &f = *module.invoices;
        f.append();
        f.fieldByName(QStringLiteral("IDENTIFIANT"))->setValue(CompanyA);
        f.fieldByName(QStringLiteral("EXERCICE"))->setValue(2026);
        f.fieldByName(QStringLiteral("TRIMESTRE"))->setValue(quarter);
        f.fieldByName(QStringLiteral("NUMEROFACTURE"))->setValue(number);
    }

    std::unique_ptr<TestDatabase> db;
    WorkingContext context;
    std::unique_ptr<DataModule> first;
    std::unique_ptr<DataModule> second;
};

const QString Numbers = QStringLiteral("select NUMEROFACTURE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROORDRE");

} // namespace

// Both workstations start an invoice of the same company and year and are
// given the same number; the second to post takes the next one and says so,
// whether its quarter is the first one's or another.
TEST_F(TwoWorkstations, InvoicesStartedTogetherAreStoredUnderDistinctNumbers)
{
    for (int secondQuarter : { 1, 2 }) {
        SCOPED_TRACE(secondQuarter);
        db->exec(QStringLiteral("delete from FACTURE"));
        db->connection().commitRetaining();
        openInvoices(*first);
        openInvoices(*second);
        startInvoice(*first, 1, QStringLiteral("F-1"));
        startInvoice(*second, secondQuarter, QStringLiteral("F-2"));
        EXPECT_EQ(first->invoices->fieldByName(QStringLiteral("NUMEROORDRE"))->value().toInt(), 1);
        EXPECT_EQ(second->invoices->fieldByName(QStringLiteral("NUMEROORDRE"))->value().toInt(), 1);
        QSignalSpy firstTold(first.get(), &DataModule::orderNumberRetaken);
        QSignalSpy secondTold(second.get(), &DataModule::orderNumberRetaken);
        first->invoices->post();
        second->invoices->post();
        EXPECT_EQ(firstTold.count(), 0);
        ASSERT_EQ(secondTold.count(), 1);
        EXPECT_EQ(secondTold.at(0).at(0).toInt(), 1);
        EXPECT_EQ(secondTold.at(0).at(1).toInt(), 2);
        EXPECT_EQ(
            committedRows(*db, Numbers), (QList<QStringList> { { "F-1", "1", "1" }, { "F-2", QString::number(secondQuarter), "2" } }));
    }
}

// A post the server refuses gives the company's numbering back at once: the
// other workstation's invoice goes in without waiting for it.
TEST_F(TwoWorkstations, ARefusedPostDoesNotHoldTheNumbering)
{
    db->exec(QStringLiteral("create exception REFUSED 'refused by the test'"));
    db->connection().commit();
    db->exec(QStringLiteral(
        "create trigger REFUSE for FACTURE before insert as begin if (new.NUMEROFACTURE = 'BAD') then exception REFUSED; end"));
    db->connection().commit();
    openInvoices(*first);
    openInvoices(*second);
    startInvoice(*first, 1, QStringLiteral("BAD"));
    EXPECT_THROW(first->invoices->post(), Error);
    EXPECT_EQ(first->invoices->state(), DataSetState::Insert);
    startInvoice(*second, 1, QStringLiteral("F-2"));
    second->invoices->post();
    EXPECT_EQ(committedRows(*db, Numbers), (QList<QStringList> { { "F-2", "1", "1" } }));
}

// What one workstation posts, the other sees the next time its list is
// opened, without a restart.
TEST_F(TwoWorkstations, ARowPostedOnOneIsSeenOnTheOtherWhenItsListReopens)
{
    second->clients->open();
    EXPECT_EQ(second->clients->recordCount(), 0);
    first->clients->open();
    first->clients->append();
    first->clients->fieldByName(QStringLiteral("CODE"))->setValue(7);
    first->clients->fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->setValue(QStringLiteral("CLIENT SEPT"));
    first->clients->post();
    second->clients->close();
    second->clients->open();
    ASSERT_EQ(second->clients->recordCount(), 1);
    EXPECT_EQ(second->clients->fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("CLIENT SEPT"));
}

// A row deleted on one workstation while the other edits it: the other is
// told in the program's words, writes nothing and keeps what was typed.
TEST_F(TwoWorkstations, EditingARowTheOtherDeletedKeepsWhatWasTyped)
{
    db->exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (7, 'CLIENT SEPT')"));
    db->connection().commitRetaining();
    first->clients->open();
    first->clients->edit();
    first->clients->fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->setValue(QStringLiteral("TAPE A L'ECRAN"));
    second->clients->open();
    second->clients->remove();
    second->connection->commitRetaining();
    try {
        first->clients->post();
        ADD_FAILURE() << "posted";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("autre poste"))) << e.text().toStdString();
        EXPECT_FALSE(e.text().contains(QStringLiteral("SQL"))) << e.text().toStdString();
    }
    EXPECT_EQ(first->clients->state(), DataSetState::Edit);
    EXPECT_EQ(first->clients->fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("TAPE A L'ECRAN"));
    EXPECT_EQ(committedRows(*db, QStringLiteral("select count(*) from TIERS")).value(0).value(0), QStringLiteral("0"));
}

// Two unattended imports of thousands of invoices into the same company and
// year, started together: both succeed, and the company holds every invoice
// once, numbered without gap or repeat, none left under a placeholder key.
TEST_F(TwoWorkstations, ImportsStartedTogetherBothSucceedAndNumberEveryInvoiceOnce)
{
    first.reset();
    second.reset();
    db->connection().close();
    QTemporaryDir dir;
    constexpr int PerImport = 3000;
    QList<QProcess *> runs;
    for (int w = 0; w < 2; ++w) {
        QStringList lines;
        for (int i = 1; i <= PerImport; ++i)
            lines << QStringLiteral("W%1-%2;%3/%4/2026;AUT;01/01/2026;%5")
                         .arg(w)
                         .arg(i)
                         .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                         .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                         .arg(i);
        const QString source = writeFile(dir, QStringLiteral("w%1.csv").arg(w), invoicesCsv(lines));
        const QString templateFile = writeFile(dir, QStringLiteral("w%1.imp").arg(w), csvTemplate(source, CsvInvoicesMap, PlaceholderKeys));
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QStringLiteral(KESTRA_CLI),
            { QStringLiteral("import"), QStringLiteral("--db"), db->directory(), QStringLiteral("--template"), templateFile,
                QStringLiteral("--table"), QStringLiteral("FACTURE"), QStringLiteral("--company"), CompanyA, QStringLiteral("--year"),
                Year });
        runs << p;
    }
    for (QProcess *p : runs) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAll().toStdString();
        delete p;
    }
    const QList<QStringList> summary = committedRows(*db,
        QStringLiteral("select count(*), count(distinct NUMEROORDRE), min(NUMEROORDRE), max(NUMEROORDRE) from FACTURE where "
                       "IDENTIFIANT = '%1' and EXERCICE = 2026")
            .arg(CompanyA));
    EXPECT_EQ(summary.value(0),
        (QStringList { QString::number(2 * PerImport), QString::number(2 * PerImport), "1", QString::number(2 * PerImport) }));
    EXPECT_EQ(committedRows(*db,
                  QStringLiteral("select count(*) from FACTURE where IDENTIFIANT <> '%1' or TRIMESTRE not between 1 and 4").arg(CompanyA))
                  .value(0)
                  .value(0),
        QStringLiteral("0"));
}

// A database the first release made, on the server: an older program is at
// work on it, with a transaction open, while two workstations of this
// release open it at the very same moment; both add the history table, one
// finds it made by the other. Then both generate the quarter into the
// office's shared folder at once and each reads both records; the older
// program has gone on unhindered.
TEST_F(TwoWorkstations, AnOlderDatabaseIsUpgradedWhileOthersWorkThenBothDeclare)
{
    first.reset();
    second.reset();
    QFile script(QStringLiteral(KESTRA_FIXTURES_DIR "/data/schema-first-release.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const QString older = QString::fromUtf8(script.readAll());
    QTemporaryDir dir;

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        const QString path = server->prefix() + dir.filePath(QStringLiteral("older%1.gdb").arg(round));
        Schema::createDatabase(path, older);

        QProcess olderProgram;
        olderProgram.setProcessChannelMode(QProcess::MergedChannels);
        olderProgram.start(QStringLiteral("isql-fb"),
            { QStringLiteral("-q"), QStringLiteral("-user"), Connection::UserName, QStringLiteral("-password"), Connection::Password, path });
        ASSERT_TRUE(olderProgram.waitForStarted());
        olderProgram.write("set list on; select count(*) as FACTURES from FACTURE;\n");
        QByteArray said;
        while (!said.contains("FACTURES") && olderProgram.waitForReadyRead(30000))
            said += olderProgram.readAll();
        ASSERT_TRUE(said.contains("FACTURES")) << said.toStdString();

        // Two workstations open it together.
        QString errors[2];
        std::latch together(2);
        auto open = [&](int w) {
            Connection c;
            c.setDatabaseName(path);
            together.arrive_and_wait();
            try {
                c.open();
                errors[w] = c.upgradeError();
                c.close();
            } catch (const Error &e) {
                errors[w] = e.text();
            }
        };
        std::thread a(open, 0), b(open, 1);
        a.join();
        b.join();
        EXPECT_EQ(errors[0], QString());
        EXPECT_EQ(errors[1], QString());

        Connection one, other;
        for (Connection *c : { &one, &other }) {
            c->setDatabaseName(path);
            c->open();
            EXPECT_EQ(c->upgradeError(), QString());
        }
        Query tables(one, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'HISTORIQUE_DECLARATION'"));
        EXPECT_EQ(tables.fetchAll().value(0).value(0).toInt(), 1);

        // Both generate at once into the shared folder.
        const QString shared = dir.filePath(QStringLiteral("partage%1").arg(round));
        QDir().mkpath(shared);
        WorkingContext company = context;
        company.curExercice = QStringLiteral("2008");
        DeclarationGeneration onOne(one), onOther(other);
        const DeclarationPass &firstPass = onOne.prepare(shared, QStringLiteral("T1"), company);
        const DeclarationPass &otherPass = onOther.prepare(shared, QStringLiteral("T1"), company);
        EXPECT_EQ(firstPass.totals.count, 1);
        EXPECT_EQ(otherPass.totals.count, 1);
        onOther.commit();
        onOne.commit();
        EXPECT_EQ(onOne.historyError(), QString());
        EXPECT_EQ(onOther.historyError(), QString());
        EXPECT_FALSE(onOne.keptAs().isEmpty()); // the other's file, kept
        EXPECT_EQ(QDir(shared).entryList(QDir::Files | QDir::Hidden).size(), 2);
        for (Connection *c : { &one, &other }) {
            const QVector<DeclarationRecord> seen = DeclarationHistory::list(*c, CompanyA);
            ASSERT_EQ(seen.size(), 2);
            EXPECT_EQ(seen[0].empreinte, seen[1].empreinte); // the same register, the same file
            EXPECT_EQ(seen[0].nombreFactures, 1);
        }
        one.close();
        other.close();

        olderProgram.write("select count(*) as ENCORE from FACTURE;\ncommit;\nquit;\n");
        olderProgram.closeWriteChannel();
        ASSERT_TRUE(olderProgram.waitForFinished(60000));
        said += olderProgram.readAll();
        EXPECT_EQ(olderProgram.exitCode(), 0) << said.toStdString();
        EXPECT_TRUE(said.contains("ENCORE")) << said.toStdString();
        EXPECT_FALSE(said.contains("Statement failed")) << said.toStdString();
    }
}

