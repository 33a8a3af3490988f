#include "data/Connection.h"

#include "data/FbClient.h"
#include "data/Query.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {
void insertCompany(Connection &c, const char *identifiant)
{
    Query q(c,
        QStringLiteral(
            "insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE) values (:i, 'A', 'M', '000', 'X')"));
    q.setParam(QStringLiteral("i"), QString::fromLatin1(identifiant));
    q.execute();
}

int countCompanies(Connection &c)
{
    Query q(c, QStringLiteral("select count(*) from SOCIETE"));
    q.execute();
    return q.outputRow().value(0).toInt();
}
} // namespace

TEST(Connection, CommitRetainingKeepsAnOpenCursorReadable)
{
    TestDatabase db;
    for (const char *id : { "1", "2", "3" })
        insertCompany(db.connection(), id);
    db.connection().commitRetaining();

    Query cursor(db.connection(), QStringLiteral("select IDENTIFIANT from SOCIETE order by IDENTIFIANT"));
    cursor.open();
    Row row;
    ASSERT_TRUE(cursor.fetch(row));
    insertCompany(db.connection(), "9");
    db.connection().commitRetaining();
    ASSERT_TRUE(cursor.fetch(row));
    EXPECT_EQ(row[0].toString(), QStringLiteral("2"));
    auto other = db.otherConnection();
    EXPECT_EQ(countCompanies(*other), 4); // durable at once
}

TEST(Connection, HardCommitClosesOpenCursors)
{
    TestDatabase db;
    insertCompany(db.connection(), "1");
    Query cursor(db.connection(), QStringLiteral("select * from SOCIETE"));
    cursor.open();
    int endings = 0;
    QObject::connect(&db.connection(), &Connection::transactionEnding, [&] { ++endings; });
    db.connection().commit();
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(cursor.isOpen());
    EXPECT_EQ(countCompanies(db.connection()), 1); // a new transaction starts by itself
}

TEST(Connection, PendingWorkIsCommittedWhenTheConnectionCloses)
{
    TestDatabase db;
    insertCompany(db.connection(), "1");
    Query del(db.connection(), QStringLiteral("delete from SOCIETE"));
    del.execute(); // a deletion is not followed by a commit of its own
    insertCompany(db.connection(), "2");
    db.connection().close();
    auto other = db.otherConnection();
    Query q(*other, QStringLiteral("select IDENTIFIANT from SOCIETE"));
    const QVector<Row> rows = q.fetchAll();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("2"));
}

// A read snapshot sees this workstation's pending work (committed as it
// begins) and nothing another workstation commits while it lives; the
// shared transaction and its open cursors carry on untouched.
TEST(Connection, AReadSnapshotHoldsOwnWorkAndNothingCommittedDuringIt)
{
    TestDatabase db;
    insertCompany(db.connection(), "1");
    db.connection().commitRetaining();
    Query open(db.connection(), QStringLiteral("select IDENTIFIANT from SOCIETE"));
    open.open();
    Query del(db.connection(), QStringLiteral("delete from SOCIETE where IDENTIFIANT = '1'"));
    del.execute(); // pending
    insertCompany(db.connection(), "2"); // pending
    auto other = db.otherConnection();
    {
        Connection::ReadSnapshot snapshot(db.connection());
        insertCompany(*other, "3");
        other->commitRetaining();
        Query ids(db.connection(), QStringLiteral("select IDENTIFIANT from SOCIETE"));
        const QVector<Row> rows = ids.fetchAll();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0][0].toString(), QStringLiteral("2"));
    }
    EXPECT_EQ(countCompanies(db.connection()), 2); // reads committed work again
    EXPECT_EQ(countCompanies(*other), 2); // the pending work was made durable
    Row row;
    EXPECT_TRUE(open.isOpen());
    EXPECT_TRUE(open.fetch(row)); // the cursor of the shared transaction
    insertCompany(db.connection(), "4");
    db.connection().commitRetaining();
    EXPECT_EQ(countCompanies(*other), 3);
}

TEST(Connection, DuplicateKeyIsRefusedWithTheServersTextAndNothingChanges)
{
    TestDatabase db;
    insertCompany(db.connection(), "1234567");
    db.connection().commitRetaining();
    try {
        insertCompany(db.connection(), "1234567");
        FAIL() << "duplicate accepted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("violation of PRIMARY or UNIQUE KEY constraint"))) << e.what();
        EXPECT_TRUE(e.text().contains(QStringLiteral("SOCIETE"))) << e.what();
    }
    db.connection().commitRetaining();
    EXPECT_EQ(countCompanies(db.connection()), 1);
}

TEST(Connection, FailuresCarryTheClientLibrarysText)
{
    Connection c;
    c.setDatabaseName(QStringLiteral("Vérifier le chemin de la base!/Kestra.GDB"));
    try {
        c.open();
        FAIL() << "opened a missing database";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("Vérifier le chemin de la base!/Kestra.GDB"))) << e.what();
    }
    EXPECT_FALSE(c.isConnected());
}

TEST(Connection, MissingClientLibraryMessage)
{
    QString message;
    EXPECT_FALSE(FbClient::probe(QStringLiteral("libfbclient-absent.so.2"), &message));
    EXPECT_EQ(message,
        QStringLiteral(
            "Firebird library libfbclient-absent.so.2 not found in the path. Please install Firebird to use this functionality"));
    EXPECT_TRUE(FbClient::probe(QStringLiteral("libfbclient.so.2")));
    EXPECT_EQ(FbClient::missingLibraryMessage(QStringLiteral("libfbclient.so.2")),
        QStringLiteral("Firebird library libfbclient.so.2 not found in the path. Please install Firebird to use this functionality"));
}
