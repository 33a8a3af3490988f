#include "data/Query.h"

#include "core/DateTime.h"
#include "data/SqlParameters.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

TEST(SqlParameters, NamesOutsideLiteralsAndComments)
{
    struct Case
    {
        const char *sql;
        const char *translated;
        QStringList names;
    } cases[] = {
        { "select * from facture\nWHERE identifiant=:id and exercice=:ex", "select * from facture\nWHERE identifiant=? and exercice=?",
            { "ID", "EX" } },
        { "update T set A=:A where A=:OLD_A and B=:a", "update T set A=? where A=? and B=?", { "A", "OLD_A", "A" } },
        { "select ':x', \"a:b\" from T -- :c\nwhere x = :y /* :z */", "select ':x', \"a:b\" from T -- :c\nwhere x = ? /* :z */", { "Y" } },
        { "select 'l''a:b' from T where a=:p", "select 'l''a:b' from T where a=?", { "P" } },
    };
    for (const Case &c : cases) {
        QStringList names;
        EXPECT_EQ(translateNamedParameters(QString::fromLatin1(c.sql), names), QString::fromLatin1(c.translated));
        EXPECT_EQ(names, c.names) << c.sql;
    }
}

TEST(Query, ValuesTravelInTheirTypes)
{
    TestDatabase db;
    Query ins(db.connection(),
        QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, TYPEIDCLIENT, NOMPRENOMCLIENT, DATEFACTURE, "
                       "PRIXVENTE, CODE) "
                       "values (:id, :ex, :t, :n, :type, :nom, :d, :p, :code)"));
    ins.setParam(QStringLiteral("id"), QStringLiteral("0123456AM000"));
    ins.setParam(QStringLiteral("ex"), QStringLiteral("2008")); // a text for an integer column
    ins.setParam(QStringLiteral("t"), 1);
    ins.setParam(QStringLiteral("n"), qint64(7));
    ins.setParam(QStringLiteral("type"), QStringLiteral("1"));
    ins.setParam(QStringLiteral("nom"), QStringLiteral("Société Générale €"));
    ins.setParam(QStringLiteral("d"), QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3, 5) + 0.5 }));
    ins.setParam(QStringLiteral("p"), 1234.567);
    ins.setParam(QStringLiteral("code"), QVariant());
    ins.execute();
    EXPECT_EQ(ins.rowsAffected(), 1);

    Query sel(db.connection(), QStringLiteral("select * from facture\nWHERE identifiant=:id and exercice=:ex"));
    sel.setParam(QStringLiteral("ID"), QStringLiteral("0123456AM000"));
    sel.setParam(QStringLiteral("Ex"), QStringLiteral("2008"));
    const QVector<Row> rows = sel.fetchAll();
    ASSERT_EQ(rows.size(), 1);
    const Row &r = rows[0];
    auto col = [&](const char *name) { return r[sel.columnIndex(QString::fromLatin1(name))]; };
    EXPECT_EQ(col("EXERCICE").toInt(), 2008);
    EXPECT_EQ(col("NUMEROORDRE").toInt(), 7);
    EXPECT_EQ(col("NOMPRENOMCLIENT").toString(), QStringLiteral("Société Générale €"));
    EXPECT_EQ(col("TYPEIDCLIENT").toString(), QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(col("DATEFACTURE").value<TimeStamp>().value, DateTime::encodeDate(2008, 3, 5) + 0.5);
    EXPECT_EQ(col("PRIXVENTE").toDouble(), 1234.567);
    EXPECT_FALSE(col("CODE").isValid());
    EXPECT_FALSE(col("DATEAUTORISATION").isValid());

    const ColumnInfo &type = sel.columns()[sel.columnIndex(QStringLiteral("TYPEIDCLIENT"))];
    EXPECT_TRUE(type.fixed);
    EXPECT_EQ(type.size, 1);
    EXPECT_EQ(type.type, FieldType::String);
    const ColumnInfo &id = sel.columns()[sel.columnIndex(QStringLiteral("IDENTIFIANT"))];
    EXPECT_FALSE(id.fixed);
    EXPECT_EQ(id.size, 13);
    EXPECT_TRUE(id.required);
    EXPECT_EQ(sel.columns()[sel.columnIndex(QStringLiteral("DATEFACTURE"))].type, FieldType::DateTime);
    EXPECT_EQ(sel.columns()[sel.columnIndex(QStringLiteral("PRIXVENTE"))].type, FieldType::Float);
}

TEST(Query, FixedWidthTextKeepsItsPaddingAndEmptyTextFailsForANumber)
{
    TestDatabase db;
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE) values ('1', 'A', 'M', '0')"));
    EXPECT_EQ(db.scalar(QStringLiteral("select ETABSECONDAIRE from SOCIETE")).toString(), QStringLiteral("0  "));

    Query q(db.connection(), QStringLiteral("select count(*) from FACTURE where EXERCICE = :ex"));
    q.setParam(QStringLiteral("ex"), QString());
    EXPECT_THROW(q.fetchAll(), DbError);
    q.setParam(QStringLiteral("ex"), QStringLiteral("2008"));
    EXPECT_EQ(q.fetchAll().value(0).value(0).toInt(), 0);
}
