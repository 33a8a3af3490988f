#include "core/Conversion.h"

#include "core/DateTime.h"

#include <gtest/gtest.h>

TEST(Conversion, Integers)
{
    struct Case
    {
        const char *text;
        bool ok;
        int value;
    } cases[] = {
        { "12", true, 12 },
        { "  -7", true, -7 },
        { "+3", true, 3 },
        { "$1F", true, 31 },
        { "0x10", true, 16 },
        { "2147483647", true, 2147483647 },
        { "2147483648", false, 0 },
        { "12 ", false, 0 },
        { "", false, 0 },
        { "1.5", false, 0 },
        { "abc", false, 0 },
        { "-", false, 0 },
    };
    for (const Case &c : cases) {
        int v = 0;
        EXPECT_EQ(tryStrToInt(QString::fromLatin1(c.text), v), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(Conversion, FloatsFollowTheDecimalSeparator)
{
    FormatSettings fs;
    fs.decimalSeparator = QLatin1Char(',');
    struct Case
    {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        { "1234,5", true, 1234.5 },
        { " -0,25 ", true, -0.25 },
        { "1E3", true, 1000 },
        { "1,5e-1", true, 0.15 },
        { "1234.5", false, 0 },
        { "1 234,5", false, 0 },
        { ",", false, 0 },
        { "", false, 0 },
        { "1e", false, 0 },
    };
    for (const Case &c : cases) {
        double v = 0;
        EXPECT_EQ(tryStrToFloat(QString::fromLatin1(c.text), v, fs), c.ok) << c.text;
        if (c.ok)
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
}

TEST(Conversion, DatesInTheOrderOfTheShortFormat)
{
    FormatSettings dmy;
    dmy.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    FormatSettings ymd;
    ymd.shortDateFormat = QStringLiteral("yyyy-mm-dd");
    ymd.dateSeparator = QLatin1Char('-');
    double v = 0;
    ASSERT_TRUE(tryStrToDate(QStringLiteral("5/1/2008"), v, dmy));
    EXPECT_EQ(v, DateTime::encodeDate(2008, 1, 5));
    ASSERT_TRUE(tryStrToDate(QStringLiteral("2008-01-05"), v, ymd));
    EXPECT_EQ(v, DateTime::encodeDate(2008, 1, 5));
    EXPECT_FALSE(tryStrToDate(QStringLiteral("31/02/2008"), v, dmy));
    EXPECT_FALSE(tryStrToDate(QStringLiteral("05/01/2008 x"), v, dmy));
    ASSERT_TRUE(tryStrToDateTime(QStringLiteral("05/01/2008 13:30"), v, dmy));
    EXPECT_DOUBLE_EQ(v, DateTime::encodeDate(2008, 1, 5) + DateTime::encodeTime(13, 30, 0, 0));
    ASSERT_TRUE(tryStrToTime(QStringLiteral("1:15 PM"), v, dmy));
    EXPECT_DOUBLE_EQ(v, DateTime::encodeTime(13, 15, 0, 0));
}
