#include "data/Schema.h"

#include "data/Query.h"
#include "tests/support/TestDatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ColumnSpec
{
    const char *name;
    int fieldType; // catalogue codes: 14 CHAR, 37 VARCHAR, 8 INTEGER, 27 DOUBLE, 35 TIMESTAMP
    int length;
    bool notNull;
};

void expectColumns(Connection &connection, const char *table, std::initializer_list<ColumnSpec> expected)
{
    Query q(connection,
        QStringLiteral("select rf.RDB$FIELD_NAME, f.RDB$FIELD_TYPE, f.RDB$FIELD_LENGTH, rf.RDB$NULL_FLAG "
                       "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                       "where rf.RDB$RELATION_NAME = :t order by rf.RDB$FIELD_POSITION"));
    q.setParam(QStringLiteral("t"), QString::fromLatin1(table));
    const QVector<Row> rows = q.fetchAll();
    ASSERT_EQ(rows.size(), static_cast<int>(expected.size())) << table;
    int i = 0;
    for (const ColumnSpec &c : expected) {
        const Row &r = rows[i++];
        EXPECT_EQ(r[0].toString().trimmed(), QString::fromLatin1(c.name)) << table;
        EXPECT_EQ(r[1].toInt(), c.fieldType) << table << "." << c.name;
        EXPECT_EQ(r[2].toInt(), c.length) << table << "." << c.name;
        EXPECT_EQ(r[3].isValid() && r[3].toInt() == 1, c.notNull) << table << "." << c.name;
    }
}

// The declaration history, as made with the database or added to an older one.
void expectHistoryTable(Connection &connection)
{
    expectColumns(connection, "HISTORIQUE_DECLARATION",
        { { "IDENTIFIANT", 37, 13, true }, { "EXERCICE", 8, 4, true }, { "TRIMESTRE", 37, 10, true }, { "DATEGENERATION", 35, 8, true },
            { "POSTE", 37, 60, false }, { "NOMBREFACTURES", 8, 4, true }, { "TOTALPRIXVENTE", 27, 8, false }, { "TOTALFODEC", 27, 8, false },
            { "TOTALDROITCONSOMMATION", 27, 8, false }, { "TOTALTVA", 27, 8, false }, { "EMPREINTE", 14, 64, false },
            { "CHEMIN", 37, 1024, false } });
}

int scalar(Connection &connection, const QString &sql)
{
    Query q(connection, sql);
    const QVector<Row> rows = q.fetchAll();
    return rows.isEmpty() ? -1 : rows.first().value(0).toInt();
}

QString firstReleaseScript()
{
    QFile f(QStringLiteral(KESTRA_FIXTURES_DIR "/data/schema-first-release.sql"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

QStringList primaryKey(TestDatabase &db, const char *table)
{
    Query q(db.connection(),
        QStringLiteral(
            "select s.RDB$FIELD_NAME from RDB$RELATION_CONSTRAINTS c join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = c.RDB$INDEX_NAME "
            "where c.RDB$RELATION_NAME = :t and c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' order by s.RDB$FIELD_POSITION"));
    q.setParam(QStringLiteral("t"), QString::fromLatin1(table));
    QStringList out;
    for (const Row &r : q.fetchAll())
        out << r[0].toString().trimmed();
    return out;
}

} // namespace

TEST(Schema, TablesColumnsKeysAndProcedures)
{
    TestDatabase db;
    EXPECT_EQ(db.scalar(QStringLiteral("select MON$SQL_DIALECT from MON$DATABASE")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("select RDB$CHARACTER_SET_NAME from RDB$DATABASE")).toString().trimmed(), QStringLiteral("WIN1252"));

    expectColumns(db.connection(), "SOCIETE",
        { { "IDENTIFIANT", 37, 7, true }, { "CLE", 14, 1, true }, { "CATEGORIE", 14, 1, true }, { "ETABSECONDAIRE", 14, 3, true },
            { "RAISON_SOCIALE", 37, 40, false }, { "ACTIVITE", 37, 40, false }, { "VILLE", 37, 40, false }, { "RUE", 37, 72, false },
            { "NUMERO", 37, 4, false }, { "CODEPOSTAL", 37, 4, false }, { "LIENPAIE", 37, 150, false }, { "EXERCICE", 8, 4, false },
            { "ACTIVEON", 14, 1, false } });
    expectColumns(db.connection(), "TIERS",
        { { "CODE", 8, 4, true }, { "TYPEIDENTIFIANT", 14, 1, false }, { "PHYSIQUEMORALE", 14, 1, false }, { "IDENTIFIANT", 37, 13, false },
            { "NOMBENEFICIAIRE", 37, 40, false }, { "ADRESSE", 37, 120, false }, { "NUMEROAUTORISATION", 37, 20, false },
            { "DATEAUTORISATION", 35, 8, false } });
    expectColumns(db.connection(), "FACTURE",
        { { "IDENTIFIANT", 37, 13, true }, { "EXERCICE", 8, 4, true }, { "TRIMESTRE", 8, 4, true }, { "NUMEROORDRE", 8, 4, true },
            { "NUMEROFACTURE", 37, 20, false }, { "DATEFACTURE", 35, 8, false }, { "TYPEIDCLIENT", 14, 1, false },
            { "IDENTIFIANTCLIENT", 37, 13, false }, { "NOMPRENOMCLIENT", 37, 40, false }, { "ADRESSECLIENT", 37, 120, false },
            { "NUMEROAUTORISATION", 37, 20, false }, { "DATEAUTORISATION", 35, 8, false }, { "PRIXVENTE", 27, 8, false },
            { "TAUXFODEC", 27, 8, false }, { "MONTANTFODEC", 27, 8, false }, { "TAUXDROITCONSOMMATION", 27, 8, false },
            { "MONTANTDROITCONSOMMATION", 27, 8, false }, { "TAUXTVA", 27, 8, false }, { "MONTANTTVA", 27, 8, false },
            { "CODE", 8, 4, false } });
    expectColumns(db.connection(), "PARAMETRES", { { "EXERCICE", 8, 4, false } });
    expectHistoryTable(db.connection());

    EXPECT_EQ(primaryKey(db, "SOCIETE"), (QStringList { "IDENTIFIANT", "CLE", "CATEGORIE", "ETABSECONDAIRE" }));
    EXPECT_EQ(primaryKey(db, "TIERS"), (QStringList { "CODE" }));
    EXPECT_EQ(primaryKey(db, "FACTURE"), (QStringList { "IDENTIFIANT", "EXERCICE", "TRIMESTRE", "NUMEROORDRE" }));

    // The procedures do what the reset relies on.
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE) values ('1', 'A', 'M', '000')"));
    db.exec(QStringLiteral("insert into TIERS (CODE) values (1)"));
    db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE) values ('1AM000', 2008, 1, 1)"));
    db.exec(QStringLiteral("execute procedure INITIALISATIONMVT"));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from FACTURE")).toInt(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from TIERS")).toInt(), 1);
    db.exec(QStringLiteral("execute procedure INITIALISATION"));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from TIERS")).toInt(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 0);
}

TEST(Schema, AnExistingFileIsNeverOverwritten)
{
    TestDatabase db;
    db.connection().close();
    auto digest = [&] {
        QFile f(db.path());
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    try {
        Schema::createDatabase(db.path());
        FAIL() << "an existing database was accepted";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().contains(db.path()));
    }
    EXPECT_EQ(digest(), before);
}

TEST(Schema, ScriptSplitsOnTheCurrentTerminator)
{
    const QStringList s = Schema::statements(
        QStringLiteral("create table A (X integer); /* c; */\nSET TERM ^ ;\ncreate procedure P as begin delete from A; end^\nSET TERM ; ^\n"
                       "insert into A values (';')"));
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s[1], QStringLiteral("create procedure P as begin delete from A; end"));
    EXPECT_EQ(s[2], QStringLiteral("insert into A values (';')"));
}

// A database made by the release before the declaration history gets the
// table the first time it is opened, and only then; what it held stays.
TEST(Schema, AnOlderDatabaseGetsTheHistoryTableOnceWhenOpened)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kestra.GDB"));
    const QString older = firstReleaseScript();
    ASSERT_FALSE(older.contains(QStringLiteral("HISTORIQUE_DECLARATION")));
    Schema::createDatabase(path, older);
    for (int opening = 1; opening <= 3; ++opening) {
        SCOPED_TRACE(opening);
        Connection c;
        c.setDatabaseName(path);
        c.open();
        EXPECT_EQ(c.upgradeError(), QString());
        EXPECT_EQ(scalar(c, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'HISTORIQUE_DECLARATION'")), 1);
        expectHistoryTable(c);
        EXPECT_EQ(scalar(c, QStringLiteral("select count(*) from FACTURE")), 1);
        EXPECT_EQ(scalar(c, QStringLiteral("select count(*) from SOCIETE")), 1);
        // It takes rows at once.
        Query(c, QStringLiteral("insert into HISTORIQUE_DECLARATION (IDENTIFIANT, EXERCICE, TRIMESTRE, DATEGENERATION, NOMBREFACTURES) "
                                "values ('0123456AM000', 2008, 'T1', '2008-04-20', 1)"))
            .execute();
        c.commit();
        EXPECT_EQ(scalar(c, QStringLiteral("select count(*) from HISTORIQUE_DECLARATION")), opening);
        c.close();
    }
}

// Opening a database that has every table commits nothing: the look is
// rolled back. (Commits are counted by the database itself.)
TEST(Schema, OpeningADatabaseThatHasEveryTableCommitsNothing)
{
    TestDatabase db;
    db.exec(QStringLiteral("create table COMMITS (N integer)"));
    db.connection().commit();
    db.exec(QStringLiteral("create trigger COUNT_COMMITS on transaction commit as begin insert into COMMITS values (1); end"));
    db.connection().commit();
    db.connection().close();
    auto commits = [&] {
        Connection c;
        c.setDatabaseName(db.path());
        c.open();
        const int n = scalar(c, QStringLiteral("select count(*) from COMMITS"));
        c.rollback();
        c.close();
        return n;
    };
    const int before = commits();
    for (int i = 0; i < 3; ++i) {
        Connection c;
        c.setDatabaseName(db.path());
        c.open();
        c.close();
    }
    EXPECT_EQ(commits(), before);
}

