#include "import/DataImportMessages.h"

#include <gtest/gtest.h>

TEST(DataImportMessages, TableHookAndPlaceHolders)
{
    EXPECT_EQ(LoadMessage(24070), QStringLiteral("Map is empty"));
    EXPECT_EQ(FormatMessage(26140, { QStringLiteral("t"), QStringLiteral("2"), QStringLiteral("refused") }),
        QStringLiteral("t - Line 2: refused"));
    EXPECT_EQ(FormatMessage(24004, { QStringLiteral("x") }), QStringLiteral("Wrong date format \"x\""));
    SetMessageLookupHook([](int id) { return id == 24070 ? QStringLiteral("Carte vide") : QString(); });
    EXPECT_EQ(LoadMessage(24070), QStringLiteral("Carte vide"));
    EXPECT_EQ(LoadMessage(24000), QStringLiteral("DataSet is not defined"));
    SetMessageLookupHook({});
    EXPECT_TRUE(LoadMessage(1).isEmpty());
}
