#include "clients/ClientPadding.h"
#include "clients/ClientStatements.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace ClientStatements;

TEST(ClientStatements, FixedTexts)
{
    EXPECT_EQ(listOpening(), QStringLiteral("select * from tiers Order by code"));
    EXPECT_EQ(listClosing(), QStringLiteral("select * from tiers Order by code "));
    EXPECT_EQ(pickerOpening(), QStringLiteral("select * from tiers Order by identifiant "));
    EXPECT_EQ(sortedBy(QStringLiteral("NOMBENEFICIAIRE")), QStringLiteral("select * from tiers Order by NOMBENEFICIAIRE"));
}

TEST(ClientStatements, SearchPerWindowAndColumn)
{
    enum Window { List, Picker };
    struct Case
    {
        Window window;
        const char *title;
        const char *typed;
        const char *expected; // null: typing changes nothing
    };
    const Case cases[] = {
        { List, "Code", "1", "select * from tiers Where Code LIKE '1%' Order by Code" },
        { List, "Code", "", "select * from tiers Order by Code" },
        { List, "Nom Tiers", "BEN", "select * from tiers Where Nombeneficiaire LIKE 'BEN%' Order by Nombeneficiaire" },
        { List, "Nom Tiers", "", "select * from tiers Order by Nombeneficiaire" },
        { List, "Identifiant", "07", "select * from tiers Where Identifiant LIKE '07%' Order by Identifiant" },
        { List, "Identifiant", "", "select * from tiers Order by Identifiant" },
        { List, "Nom Tiers", "L'A", "select * from tiers Where Nombeneficiaire LIKE 'L''A%' Order by Nombeneficiaire" },
        { List, "Nom Tiers", "'; delete from tiers; --",
            "select * from tiers Where Nombeneficiaire LIKE '''; delete from tiers; --%' Order by Nombeneficiaire" },
        { List, "Type Id", "1", nullptr },
        { List, "Adresse", "RUE", nullptr },
        { List, "", "A", nullptr },
        { List, "Nom ou Raison Sociale", "A", nullptr }, // the picker's title, not the list's
        { Picker, "Code", "1", "select * from tiers Where Code LIKE '1%' Order by Code" },
        { Picker, "Identifiant", "", "select * from tiers Order by Identifiant" },
        { Picker, "Nom ou Raison Sociale", "AL", "select * from tiers Where Nombeneficiaire LIKE 'AL%' Order by Nombeneficiaire" },
        { Picker, "Nom ou Raison Sociale", "", "select * from tiers Order by Nombeneficiaire" },
        { Picker, "Nom ou Raison Sociale", "D'A", "select * from tiers Where Nombeneficiaire LIKE 'D''A%' Order by Nombeneficiaire" },
        { Picker, "Nom Tiers", "A", nullptr }, // the list's title, not the picker's
        { Picker, "", "A", nullptr },
    };
    for (const Case &c : cases) {
        const QString title = QString::fromUtf8(c.title);
        const QString typed = QString::fromUtf8(c.typed);
        const std::optional<QString> sql = c.window == List ? listSearch(title, typed) : pickerSearch(title, typed);
        SCOPED_TRACE(std::string(c.window == List ? "list " : "picker ") + c.title + " / " + c.typed);
        if (c.expected)
            EXPECT_EQ(sql.value_or(QStringLiteral("<none>")), QString::fromUtf8(c.expected));
        else
            EXPECT_FALSE(sql.has_value()) << sql->toStdString();
    }
}

TEST(ClientPadding, FullWidthWithoutTrimming)
{
    struct Case
    {
        QString value;
        int width;
        QString expected;
    };
    const QString forty = QStringLiteral("SOCIETE TUNISIENNE DES INDUSTRIES DU VER");
    ASSERT_EQ(forty.size(), 40);
    const Case cases[] = {
        { QStringLiteral("1234567"), ClientPadding::IdentifierWidth, QStringLiteral("1234567      ") },
        { QString(), ClientPadding::AddressWidth, QString(120, QLatin1Char(' ')) },
        { QStringLiteral("BEN"), ClientPadding::NameWidth, QStringLiteral("BEN") + QString(37, QLatin1Char(' ')) },
        { forty, ClientPadding::NameWidth, forty },
        { QStringLiteral("  A B "), 8, QStringLiteral("  A B   ") },
        { QStringLiteral("TROP LONG"), 4, QStringLiteral("TROP LONG") },
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClientPadding::padded(c.value, c.width), c.expected) << c.value.toStdString();
}
