#include "data/DataSet.h"

#include "core/DateTime.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/WorkingContext.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "data/RowStore.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/TestDatabase.h"

#include <QSignalSpy>

#include <gtest/gtest.h>
#include <random>

namespace {

// A data module on a test database, with a chosen company and year.
struct Module
{
    TestDatabase db;
    WorkingContext context;
    DataModule module;

    Module()
    {
        module.connection->setDatabaseName(db.path());
        choose("0123456", "A", "M", "000", "2008");
    }

    void choose(const char *id, const char *cle, const char *cat, const char *etab, const char *year)
    {
        context.curIdentifiant = QString::fromLatin1(id);
        context.curCle = QString::fromLatin1(cle);
        context.curCategorie = QString::fromLatin1(cat);
        context.curEtab = QString::fromLatin1(etab);
        context.curMatricule = context.curIdentifiant + context.curCle + context.curCategorie + context.curEtab;
        context.curExercice = QString::fromLatin1(year);
        module.setNumberingCompany(context.curMatricule, context.curExercice);
    }

    // Starts an invoice as the invoice list does and posts it in a quarter.
    int addInvoice(int quarter)
    {
        DataSet &f = *module.invoices;
        f.setParam(QStringLiteral("id"), context.curMatricule);
        f.setParam(QStringLiteral("ex"), context.curExercice);
        f.open();
        f.append();
        f.fieldByName(QStringLiteral("IDENTIFIANT"))->setValue(context.curMatricule);
        f.fieldByName(QStringLiteral("EXERCICE"))->setAsString(context.curExercice);
        f.fieldByName(QStringLiteral("TRIMESTRE"))->setValue(quarter);
        const int number = f.fieldByName(QStringLiteral("NUMEROORDRE"))->asInteger();
        f.post();
        return number;
    }
};

int count(TestDatabase &db, const QString &sql)
{
    return db.scalar(sql).toInt();
}

} // namespace

TEST(Numbering, OrderNumbersRunOnThroughTheYear)
{
    Module m;
    EXPECT_EQ(m.addInvoice(1), 1); // first invoice of the company and year
    for (int i = 2; i <= 5; ++i)
        EXPECT_EQ(m.addInvoice(1), i);
    EXPECT_EQ(m.addInvoice(2), 6); // whatever the quarter

    // Another company and another year start at 1 and do not disturb the first.
    m.choose("7654321", "B", "P", "001", "2008");
    m.module.invoices->close();
    EXPECT_EQ(m.addInvoice(1), 1);
    m.choose("0123456", "A", "M", "000", "2009");
    m.module.invoices->close();
    EXPECT_EQ(m.addInvoice(1), 1);
    m.choose("0123456", "A", "M", "000", "2008");
    m.module.invoices->close();
    EXPECT_EQ(m.addInvoice(3), 7);
}

TEST(Numbering, TheHighestNumberIsReusedAGapStays)
{
    Module m;
    for (int i = 1; i <= 5; ++i)
        m.addInvoice(1);
    DataSet &f = *m.module.invoices;
    ASSERT_TRUE(f.locate(QStringLiteral("NUMEROORDRE"), 5));
    f.remove();
    EXPECT_EQ(m.addInvoice(1), 5); // the deleted highest number comes back
    ASSERT_TRUE(f.locate(QStringLiteral("NUMEROORDRE"), 3));
    f.remove();
    EXPECT_EQ(m.addInvoice(1), 6); // a gap in the middle is never filled
    m.db.connection().commit();
    EXPECT_EQ(count(m.db, QStringLiteral("select count(*) from FACTURE where NUMEROORDRE = 3")), 0);
}

TEST(Numbering, AFailedQueryLeavesTheRowStartedWithoutNumber)
{
    Module m;
    m.choose("", "", "", "", ""); // no company chosen: the year is an empty text
    DataSet &f = *m.module.invoices;
    f.setParam(QStringLiteral("id"), QString());
    f.setParam(QStringLiteral("ex"), QStringLiteral("0"));
    f.open();
    EXPECT_THROW(f.append(), DbError);
    EXPECT_EQ(f.state(), DataSetState::Insert);
    EXPECT_TRUE(f.fieldByName(QStringLiteral("NUMEROORDRE"))->isNull());
    f.cancel();
    EXPECT_EQ(f.recordCount(), 0);
}

TEST(DataSet, DeletionsBecomeDurableWithTheNextPostAnywhereOrAtTheEnd)
{
    Module m;
    m.db.exec(QStringLiteral("insert into TIERS (CODE) values (1)"));
    m.db.exec(QStringLiteral("insert into TIERS (CODE) values (2)"));
    m.db.connection().commitRetaining();

    DataSet &t = *m.module.clients;
    t.open();
    ASSERT_TRUE(t.locate(QStringLiteral("CODE"), QStringLiteral("1")));
    t.remove();
    auto other = m.db.otherConnection();
    auto visible = [&] {
        Query q(*other, QStringLiteral("select count(*) from TIERS"));
        q.execute();
        const int n = q.outputRow().value(0).toInt();
        other->commit(); // see the latest committed state next time
        return n;
    };
    EXPECT_EQ(visible(), 2); // not yet committed
    m.addInvoice(1); // a post in another data set commits it
    EXPECT_EQ(visible(), 1);

    t.first();
    t.remove();
    m.module.connection->close(); // the end of the program
    EXPECT_EQ(visible(), 0);
}

TEST(DataSet, EditingAKeyPartRenamesTheRowInPlace)
{
    Module m;
    m.db.exec(QStringLiteral(
        "insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE) values ('0123456', 'A', 'M', '000', 'X')"));
    m.db.connection().commitRetaining();
    m.addInvoice(1);
    DataSet &s = *m.module.companies;
    s.open();
    s.edit();
    s.fieldByName(QStringLiteral("CLE"))->setAsString(QStringLiteral("B"));
    s.post();
    m.db.connection().commit(); // see what the module committed
    EXPECT_EQ(count(m.db, QStringLiteral("select count(*) from SOCIETE")), 1);
    EXPECT_EQ(m.db.scalar(QStringLiteral("select CLE from SOCIETE")).toString(), QStringLiteral("B"));
    // invoices keep the identifier they were filed under
    EXPECT_EQ(m.db.scalar(QStringLiteral("select IDENTIFIANT from FACTURE")).toString(), QStringLiteral("0123456AM000"));
}

TEST(DataSet, TheModifyStatementOfSocieteFollowsTheRule)
{
    Module m;
    m.module.companies->open();
    const UpdateStatements s = m.module.companies->updateStatements();
    EXPECT_EQ(s.modifySql,
        QStringLiteral(
            "update SOCIETE set IDENTIFIANT = :IDENTIFIANT, CLE = :CLE, CATEGORIE = :CATEGORIE, ETABSECONDAIRE = :ETABSECONDAIRE, "
            "RAISON_SOCIALE = :RAISON_SOCIALE, ACTIVITE = :ACTIVITE, VILLE = :VILLE, RUE = :RUE, NUMERO = :NUMERO, "
            "CODEPOSTAL = :CODEPOSTAL, LIENPAIE = :LIENPAIE, EXERCICE = :EXERCICE, ACTIVEON = :ACTIVEON "
            "where IDENTIFIANT = :OLD_IDENTIFIANT and CLE = :OLD_CLE and CATEGORIE = :OLD_CATEGORIE and ETABSECONDAIRE = "
            ":OLD_ETABSECONDAIRE"));
    EXPECT_EQ(s.deleteSql,
        QStringLiteral("delete from SOCIETE where IDENTIFIANT = :OLD_IDENTIFIANT and CLE = :OLD_CLE and CATEGORIE = :OLD_CATEGORIE and "
                       "ETABSECONDAIRE = :OLD_ETABSECONDAIRE"));
    EXPECT_TRUE(s.insertSql.startsWith(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE")));
}

TEST(DataSet, RefusedPostsKeepTheRowAsTypedAndCommitNothing)
{
    Module m;
    DataSet &t = *m.module.clients;
    t.open();
    int commits = 0;
    QObject::connect(m.module.connection, &Connection::committed, [&] { ++commits; });

    t.append();
    t.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->setAsString(QStringLiteral("SANS CODE"));
    try {
        t.post();
        FAIL() << "posted without a code";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Field 'CODE' must have a value"));
    }
    EXPECT_EQ(t.state(), DataSetState::Insert);
    EXPECT_EQ(t.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("SANS CODE"));
    t.fieldByName(QStringLiteral("CODE"))->setAsString(QStringLiteral("7"));
    t.post();
    EXPECT_EQ(commits, 1);

    t.append();
    t.fieldByName(QStringLiteral("CODE"))->setAsString(QStringLiteral("7")); // taken
    t.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->setAsString(QStringLiteral("DOUBLON"));
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), DataSetState::Insert);
    EXPECT_EQ(t.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("DOUBLON"));
    EXPECT_EQ(commits, 1);
    t.cancel();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(DataSet, FieldTextsAreConvertedOrRefusedInTheToolkitsWords)
{
    Module m;
    DataSet &f = *m.module.invoices;
    f.setParam(QStringLiteral("id"), m.context.curMatricule);
    f.setParam(QStringLiteral("ex"), m.context.curExercice);
    f.open();
    f.append();
    struct Case
    {
        const char *field;
        const char *text;
        const char *error; // nullptr: accepted
    } cases[] = {
        { "TRIMESTRE", "2", nullptr },
        { "TRIMESTRE", "deux", "'deux' is not a valid integer value for field 'TRIMESTRE'" },
        { "PRIXVENTE", "1234,5", nullptr },
        { "PRIXVENTE", "12a", "'12a' is not a valid floating point value for field 'PRIXVENTE'" },
        { "DATEFACTURE", "05/03/2008", nullptr },
        { "DATEFACTURE", "32/03/2008", "'32/03/2008' is not a valid date" },
    };
    {
        const ScopedFormatSettings french { FormatSettings() };
        for (const Case &c : cases) {
            Field *field = f.fieldByName(QString::fromLatin1(c.field));
            try {
                field->setAsString(QString::fromLatin1(c.text));
                EXPECT_EQ(c.error, nullptr) << c.field << " " << c.text;
            } catch (const Error &e) {
                ASSERT_NE(c.error, nullptr) << c.field << " " << c.text;
                EXPECT_EQ(e.text(), QString::fromLatin1(c.error));
            }
        }
        EXPECT_EQ(f.fieldByName(QStringLiteral("PRIXVENTE"))->displayText(), QStringLiteral("1 234,500"));
        EXPECT_EQ(f.fieldByName(QStringLiteral("DATEFACTURE"))->asString(), QStringLiteral("05/03/2008"));
        f.fieldByName(QStringLiteral("NOMPRENOMCLIENT"))->setAsString(QString(50, QLatin1Char('N')));
        EXPECT_EQ(f.fieldByName(QStringLiteral("NOMPRENOMCLIENT"))->asString().size(), 40);
    }
    f.cancel();

    f.close();
    f.open();
    EXPECT_THROW(f.fieldByName(QStringLiteral("TRIMESTRE"))->setValue(1), Error); // not editing
    try {
        f.remove();
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot perform this operation on an empty dataset"));
    }
}

TEST(DataSet, HardCommitClosesTheSharedDataSets)
{
    Module m;
    m.module.clients->open();
    m.module.companies->open();
    QSignalSpy reset(m.module.clients, &DataSet::layoutReset);
    m.module.connection->commit();
    EXPECT_FALSE(m.module.clients->isActive());
    EXPECT_FALSE(m.module.companies->isActive());
    EXPECT_EQ(reset.count(), 1);
}

TEST(RowStore, InsertionsAndRemovalsAnywhereKeepTheOrder)
{
    RowStore store;
    std::vector<int> model;
    std::mt19937 rng(7);
    for (int step = 0; step < 3000; ++step) {
        const int size = static_cast<int>(model.size());
        if (size > 0 && rng() % 3 == 0) {
            const int at = static_cast<int>(rng() % size);
            store.remove(at);
            model.erase(model.begin() + at);
        } else {
            const int at = size ? static_cast<int>(rng() % (size + 1)) : 0;
            store.insert(at, QByteArray::number(step));
            model.insert(model.begin() + at, step);
        }
    }
    ASSERT_EQ(store.size(), static_cast<int>(model.size()));
    for (int i = 0; i < store.size(); ++i)
        ASSERT_EQ(store.at(i).toInt(), model[static_cast<size_t>(i)]) << i;
}

// Rows are kept compact and made into values when asked for: every kind of
// column reads back from the data set as the query reads it, nulls, padded
// fixed texts, code-page characters and text blobs included; a posted row
// keeps what was typed.
TEST(DataSet, RowsKeptCompactReadBackAsTheQueryReadsThem)
{
    TestDatabase db;
    db.exec(QStringLiteral("create table KINDS (K integer not null primary key, S smallint, D double precision, N numeric(15,2), "
                           "T date, C char(5), V varchar(20), B boolean, M blob sub_type 1, X blob sub_type 0)"));
    db.connection().commit();
    db.exec(QStringLiteral("insert into KINDS values (1, -7, 2.5, 1234.56, '2026-03-15 10:30:00', 'ab', 'Société € œ', true, "
                           "'un texte long', 'bin')"));
    db.exec(QStringLiteral("insert into KINDS (K) values (2)"));
    db.connection().commitRetaining();

    Query q(db.connection(), QStringLiteral("select * from KINDS order by K"));
    const QVector<Row> fetched = q.fetchAll();
    DataSet ds(db.connection(), QStringLiteral("kinds"));
    ds.setSql(QStringLiteral("select * from KINDS order by K"));
    ds.setUpdateTable(QStringLiteral("KINDS"), { QStringLiteral("K") });
    ds.open();
    ASSERT_EQ(ds.recordCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < ds.fieldCount(); ++c) {
            SCOPED_TRACE(ds.field(c)->fieldName().toStdString());
            const QVariant expected = fetched[r][c];
            const QVariant kept = ds.valueAt(r, c);
            EXPECT_EQ(kept.isValid(), expected.isValid());
            EXPECT_EQ(kept.metaType(), expected.metaType());
            if (isTimeStamp(expected))
                EXPECT_EQ(kept.value<TimeStamp>().value, expected.value<TimeStamp>().value);
            else
                EXPECT_EQ(kept, expected);
        }
    EXPECT_EQ(ds.valueAt(0, 5).toString(), QStringLiteral("ab   "));

    ds.moveTo(1);
    ds.edit();
    ds.fieldByName(QStringLiteral("V"))->setValue(QStringLiteral("Ça coûte 5 €"));
    ds.fieldByName(QStringLiteral("D"))->setValue(0.1);
    ds.post();
    EXPECT_EQ(ds.valueAt(1, 6), QVariant(QStringLiteral("Ça coûte 5 €")));
    EXPECT_EQ(ds.valueAt(1, 2), QVariant(0.1));
    EXPECT_FALSE(ds.valueAt(1, 1).isValid());
}
