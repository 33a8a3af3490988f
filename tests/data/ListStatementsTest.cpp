#include "data/ListStatements.h"

#include "data/DataSet.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

TEST(ListStatements, TypedTextIsAlwaysALiteral)
{
    struct Case
    {
        const char *typed;
        const char *pattern;
    } cases[] = {
        { "ABC", "'ABC%'" },
        { "L'A", "'L''A%'" },
        { "'; delete from tiers; --", "'''; delete from tiers; --%'" },
        { "%_", "'%_%'" },
        { "", "'%'" },
    };
    for (const Case &c : cases)
        EXPECT_EQ(ListStatements::likePattern(QString::fromLatin1(c.typed)), QString::fromLatin1(c.pattern)) << c.typed;
    EXPECT_EQ(ListStatements::likeCondition(QStringLiteral("Raison_Sociale LIKE "), QStringLiteral("AB")),
        QStringLiteral("Raison_Sociale LIKE 'AB%'"));
}

TEST(ListStatements, QuotesCannotEndTheStatementEarly)
{
    TestDatabase db;
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'L''AMI')"));
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (2, 'LA MER')"));
    DataSet tiers(db.connection(), QStringLiteral("Itiers"));
    auto search = [&](const char *typed) {
        tiers.setSql(QStringLiteral("select * from tiers Where ")
            + ListStatements::likeCondition(QStringLiteral("Nombeneficiaire LIKE "), QString::fromLatin1(typed))
            + QStringLiteral(" Order by Nombeneficiaire"));
        tiers.open();
        return tiers.recordCount();
    };
    EXPECT_EQ(search("L'A"), 1);
    EXPECT_EQ(search("'; delete from tiers; --"), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from TIERS")).toInt(), 2);
    EXPECT_EQ(search("L_"), 2); // "_" stays the database's wildcard
}
