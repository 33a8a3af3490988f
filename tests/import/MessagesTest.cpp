#include "import/engine/ImportMessages.h"

#include <gtest/gtest.h>

namespace {

// The hook is process-wide: it goes when the scope ends, whatever the
// assertions inside found.
class LookupHookGuard
{
public:
    explicit LookupHookGuard(MessageLookupHook hook) { setMessageLookupHook(std::move(hook)); }
    ~LookupHookGuard() { setMessageLookupHook({}); }
    LookupHookGuard(const LookupHookGuard &) = delete;
    LookupHookGuard &operator=(const LookupHookGuard &) = delete;
};

} // namespace

TEST(DataImportMessages, TableHookAndPlaceHolders)
{
    EXPECT_EQ(loadMessage(24070), QStringLiteral("Map is empty"));
    EXPECT_EQ(formatMessage(26140, { QStringLiteral("t"), QStringLiteral("2"), QStringLiteral("refused") }),
        QStringLiteral("t - Line 2: refused"));
    EXPECT_EQ(formatMessage(24004, { QStringLiteral("x") }), QStringLiteral("Wrong date format \"x\""));
    {
        LookupHookGuard hook([](int id) { return id == 24070 ? QStringLiteral("Carte vide") : QString(); });
        EXPECT_EQ(loadMessage(24070), QStringLiteral("Carte vide"));
        EXPECT_EQ(loadMessage(24000), QStringLiteral("DataSet is not defined"));
    }
    EXPECT_TRUE(loadMessage(1).isEmpty());
}
