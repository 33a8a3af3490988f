#include "invoices/InvoiceRules.h"

#include "core/WorkingContext.h"
#include "data/DataModule.h"
#include "invoices/InvoiceComputations.h"
#include "invoices/InvoiceStatements.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

TEST(InvoiceStatements, TextsOfTheList)
{
    EXPECT_EQ(InvoiceStatements::opening(),
        QStringLiteral("select * from FACTURE WHERE identifiant=:id and exercice=:ex Order by IDENTIFIANT,EXERCICE,TRIMeSTRE,NUMEROORDRE"));
    EXPECT_EQ(InvoiceStatements::sortedBy(QStringLiteral("NUMEROFACTURE")),
        QStringLiteral("select * from Facture  WHERE identifiant=:id and exercice=:ex  Order by NUMEROFACTURE"));
    struct Case
    {
        const char *title;
        const char *typed;
        const char *expected; // nullptr: typing changes nothing
    } cases[] = {
        { "N°Facture", "F12",
            "select * from facture WHERE identifiant=:id and exercice=:ex and Numerofacture LIKE 'F12%' Order by Numerofacture" },
        { "N°Facture", "", "select * from facture WHERE identifiant=:id and exercice=:ex Order by Numerofacture" },
        { "Trm", "2",
            "select * from facture WHERE identifiant=:id and exercice=:ex and Trimestre LIKE '2%' Order by  Identifiant,trimestre" },
        { "Trm", "", "select * from facture WHERE identifiant=:id and exercice=:ex Order by Identifiant,trimestre" },
        { "Nom Prénom Ou Raison Sociale", "L'A",
            "select * from facture WHERE identifiant=:id and exercice=:ex and Nomprenomclient LIKE 'L''A%' Order by Nomprenomclient" },
        { "Id.Bénéficiaire", "12",
            "select * from facture WHERE identifiant=:id and exercice=:ex and identifiantclient LIKE '12%' Order by identifiantclient" },
        { "Montant H.T", "12", nullptr },
        { "Date Fact.", "12", nullptr },
        { "", "12", nullptr },
    };
    for (const Case &c : cases) {
        const auto sql = InvoiceStatements::search(QString::fromUtf8(c.title), QString::fromUtf8(c.typed));
        if (c.expected) {
            ASSERT_TRUE(sql.has_value()) << c.title;
            EXPECT_EQ(*sql, QString::fromUtf8(c.expected));
        } else {
            EXPECT_FALSE(sql.has_value()) << c.title;
        }
    }
}

TEST(InvoiceRules, TaxComputationsOnlyWhileTheAmountIsZero)
{
    EXPECT_DOUBLE_EQ(InvoiceComputations::vatAmount(1000, 10, 0, 18), 181.8);

    TestDatabase db;
    DataModule module;
    module.connection->setDatabaseName(db.path());
    WorkingContext context;
    context.curMatricule = QStringLiteral("0123456AM000");
    context.curIdentifiant = context.curMatricule;
    context.curExercice = QStringLiteral("2008");
    module.setNumberingCompany(context.curMatricule, context.curExercice);
    DataSet &f = *module.invoices;
    f.setParam(QStringLiteral("id"), context.curMatricule);
    f.setParam(QStringLiteral("ex"), context.curExercice);
    f.open();
    f.append();
    auto set
        = [&](const char *field, const char *text) { f.fieldByName(QString::fromLatin1(field))->setAsString(QString::fromLatin1(text)); };
    auto value = [&](const char *field) { return f.fieldByName(QString::fromLatin1(field))->asFloat(); };

    // 1000, 1, 0, 18 entered in tab order
    set("PRIXVENTE", "1000");
    set("TAUXFODEC", "1");
    InvoiceRules::computeFodec(f);
    set("TAUXDROITCONSOMMATION", "0");
    InvoiceRules::computeDuty(f);
    set("TAUXTVA", "18");
    InvoiceRules::computeVat(f);
    EXPECT_DOUBLE_EQ(value("MONTANTFODEC"), 10.0);
    EXPECT_DOUBLE_EQ(value("MONTANTDROITCONSOMMATION"), 0.0);
    EXPECT_DOUBLE_EQ(value("MONTANTTVA"), 181.8);

    // A non-zero amount is never recomputed, whatever the price or rate.
    set("PRIXVENTE", "2000");
    set("TAUXTVA", "19");
    InvoiceRules::computeVat(f);
    EXPECT_DOUBLE_EQ(value("MONTANTTVA"), 181.8);
    // A zero amount is computed again at each leave, until it is not zero.
    InvoiceRules::computeDuty(f);
    EXPECT_DOUBLE_EQ(value("MONTANTDROITCONSOMMATION"), 0.0);
    set("TAUXDROITCONSOMMATION", "10");
    InvoiceRules::computeDuty(f);
    EXPECT_DOUBLE_EQ(value("MONTANTDROITCONSOMMATION"), 200.0);
    // Cleared to 0: recomputed.
    set("MONTANTTVA", "0");
    InvoiceRules::computeVat(f);
    EXPECT_DOUBLE_EQ(value("MONTANTTVA"), (2000 + 10 + 200) * 19 / 100.0);
    // Empty operands count as 0.
    set("MONTANTFODEC", "");
    set("PRIXVENTE", "");
    InvoiceRules::computeFodec(f);
    EXPECT_DOUBLE_EQ(value("MONTANTFODEC"), 0.0);

    // The quarter check.
    for (auto [text, valid] : { std::pair { "", false }, { "0", false }, { "5", false }, { "1", true }, { "4", true } }) {
        set("TRIMESTRE", text);
        EXPECT_EQ(InvoiceRules::quarterIsValid(f), valid) << text;
    }
    f.cancel();
}
