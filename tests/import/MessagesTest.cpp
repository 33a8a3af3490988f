#include "import/engine/ImportMessages.h"

#include <gtest/gtest.h>

namespace {

// The hook is process-wide: it goes when the scope ends, whatever the
// assertions inside found.
class LookupHookGuard
{
public:
    explicit LookupHookGuard(MessageLookupHook hook) { SetMessageLookupHook(std::move(hook)); }
    ~LookupHookGuard() { SetMessageLookupHook({}); }
    LookupHookGuard(const LookupHookGuard &) = delete;
    LookupHookGuard &operator=(const LookupHookGuard &) = delete;
};

} // namespace

TEST(DataImportMessages, TableHookAndPlaceHolders)
{
    EXPECT_EQ(LoadMessage(24070), QStringLiteral("Map is empty"));
    EXPECT_EQ(FormatMessage(26140, { QStringLiteral("t"), QStringLiteral("2"), QStringLiteral("refused") }),
        QStringLiteral("t - Line 2: refused"));
    EXPECT_EQ(FormatMessage(24004, { QStringLiteral("x") }), QStringLiteral("Wrong date format \"x\""));
    {
        LookupHookGuard hook([](int id) { return id == 24070 ? QStringLiteral("Carte vide") : QString(); });
        EXPECT_EQ(LoadMessage(24070), QStringLiteral("Carte vide"));
        EXPECT_EQ(LoadMessage(24000), QStringLiteral("DataSet is not defined"));
    }
    EXPECT_TRUE(LoadMessage(1).isEmpty());
}
