#include "companies/CompanyRules.h"

#include "companies/CompanyStatements.h"
#include "data/DataReset.h"

#include <gtest/gtest.h>

TEST(CompanyRules, PaddingToTheStoredWidth)
{
    struct Case
    {
        const char *column;
        const char *typed;
        int blanks; // expected blanks after the text
    };
    const Case cases[] = {
        { "RAISON_SOCIALE", "ABC", 37 },
        { "ACTIVITE", "", 40 },
        { "VILLE", "TUNIS", 35 },
        { "RUE", "", 72 },
        { "NUMERO", "12", 2 },
        { "CODEPOSTAL", "1000", 0 },
    };
    for (const Case &c : cases) {
        const QString typed = QString::fromLatin1(c.typed);
        EXPECT_EQ(CompanyRules::padToWidth(typed, CompanyRules::paddedWidth(QString::fromLatin1(c.column))),
            typed + QString(c.blanks, QLatin1Char(' ')))
            << c.column << " '" << c.typed << "'";
    }
    // A text already as long is left as it is; so is a column stored as typed.
    EXPECT_EQ(CompanyRules::padToWidth(QStringLiteral("10000"), 4), QStringLiteral("10000"));
    EXPECT_EQ(CompanyRules::padToWidth(QStringLiteral("AB  "), 4), QStringLiteral("AB  "));
    EXPECT_EQ(CompanyRules::paddedWidth(QStringLiteral("IDENTIFIANT")), 0);
    EXPECT_EQ(CompanyRules::paddedWidth(QStringLiteral("raison_sociale")), 40);
}

TEST(CompanyRules, PasswordsOfDeletionAndReset)
{
    struct Case
    {
        QString typed;
        bool deletion; // trimmed at both ends
        bool reset; // exactly as typed
    };
    const Case cases[] = {
        { QStringLiteral("quillbark"), true, true },
        { QStringLiteral(" quillbark"), true, false },
        { QStringLiteral("quillbark \t\r\n"), true, false },
        { QStringLiteral("\x01quillbark"), true, false },
        { QStringLiteral("QUILLBARK"), false, false },
        { QStringLiteral("Quillbark"), false, false },
        { QStringLiteral("quill bark"), false, false },
        { QStringLiteral("quillbark\u00a0"), false, false }, // a no-break space is not a blank here
        { QString(), false, false },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CompanyRules::deletionPasswordAccepted(c.typed), c.deletion) << c.typed.toStdString();
        EXPECT_EQ(DataReset::passwordAccepted(c.typed), c.reset) << c.typed.toStdString();
    }
}

TEST(CompanyStatements, SortAndSearchTexts)
{
    EXPECT_EQ(
        CompanyStatements::sortStatement(QStringLiteral("IDENTIFIANT")), QStringLiteral("select * from societe Order by IDENTIFIANT"));
    EXPECT_EQ(CompanyStatements::searchStatement(QString()), QStringLiteral("select * from societe Order by Raison_Sociale"));
    EXPECT_EQ(CompanyStatements::searchStatement(QStringLiteral("L'A")),
        QStringLiteral("select * from societe Where Raison_Sociale LIKE 'L''A%' Order by Raison_Sociale"));
}
