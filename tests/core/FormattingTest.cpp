#include "core/Formatting.h"

#include "core/Decimal.h"

#include <gtest/gtest.h>

namespace {
FormatSettings french()
{
    FormatSettings fs;
    fs.decimalSeparator = QLatin1Char(',');
    fs.thousandSeparator = QLatin1Char(' ');
    return fs;
}
} // namespace

TEST(FormatFloat, MasksGroupWithoutLeadingBlanks)
{
    const FormatSettings fs = french();
    struct Case
    {
        const char *mask;
        double value;
        const char *expected;
    } cases[] = {
        { "# ### ##0.000", 0.0, "0,000" },
        { "# ### ##0.000", 12.5, "12,500" },
        { "# ### ##0.000", 1234.5, "1 234,500" },
        { "# ### ##0.000", 181.8, "181,800" },
        { "# ### ##0.000", 1234567.891, "1 234 567,891" },
        { "# ### ##0.000", 123456789012.0, "123 456 789 012,000" }, // wider than the mask: grouped on
        { "### ##0.000", 1002962.26, "1 002 962,260" },
        { "##0 00", 12345, "123 45" }, // an irregular mask fills its places
        { "# ### ##0.000", -1234.5, "-1 234,500" },
        { "# ### ##0.000", 2.0005, "2,001" }, // halves away from zero on the decimal value
        { "# ### ##0.000", -0.0004, "0,000" }, // no minus sign on a zero
        { "### ##0.000", 99999.9995, "100 000,000" },
        { "000000", 42, "000042" },
        { "000000", 1000000, "1000000" },
        { "0.##", 1.5, "1,5" },
        { "0.##", 2.0, "2" },
        { "#,##0.00", 1234567.456, "1 234 567,46" },
        { "0.00;(0.00);zero", -3.25, "(3,25)" },
        { "0.00;(0.00);zero", 0.0, "zero" },
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatFloat(QString::fromLatin1(c.mask), c.value, fs), QString::fromUtf8(c.expected)) << c.mask << " " << c.value;
}

TEST(Decimal, RoundsTheEighteenDigitValueHalfAwayFromZero)
{
    struct Case
    {
        long double value;
        long double expected;
    } cases[] = {
        { 2.5L, 3.0L },
        { -2.5L, -3.0L },
        { 0.4999L, 0.0L },
        { static_cast<long double>(1234.567) * 1000, 1234567.0L },
        { static_cast<long double>(1.0005) * 1000, 1000.0L }, // 1000.49999999999994 at 18 digits
        { static_cast<long double>(18.0) * 100, 1800.0L },
        { static_cast<long double>(0.5) * 100, 50.0L },
    };
    for (const Case &c : cases)
        EXPECT_EQ(roundHalfAway(c.value), c.expected) << static_cast<double>(c.value);
}

TEST(FormatDateTime, DatesTimesAndNames)
{
    FormatSettings fs = french();
    const double d = 39448.75; // 1 January 2008, 18:00
    EXPECT_EQ(formatDateTime(QStringLiteral("dd/mm/yyyy"), d, fs), QStringLiteral("01/01/2008"));
    EXPECT_EQ(formatDateTime(QStringLiteral("d-mmm-yy"), d, fs), QStringLiteral("1-Jan-08"));
    EXPECT_EQ(formatDateTime(QStringLiteral("hh:mm"), d, fs), QStringLiteral("18:00"));
    EXPECT_EQ(formatDateTime(QStringLiteral("h:nn am/pm"), d, fs), QStringLiteral("6:00 pm"));
    EXPECT_EQ(formatDateTime(QStringLiteral("ddmmyyyy"), 0.0, fs), QStringLiteral("30121899"));
    EXPECT_EQ(floatToStr(1234.5, fs), QStringLiteral("1234,5"));
    EXPECT_EQ(floatToStr(0.1, fs), QStringLiteral("0,1"));
}

TEST(FormatDateTime, FormatsThatNameEachOther)
{
    // c, ddddd, dddddd, t and tt stand for the settings' own formats.
    const double d = 45366.4375; // 15 March 2024, 10:30
    FormatSettings fs = french();
    fs.longDateFormat = QStringLiteral("'le' ddddd");
    fs.shortTimeFormat = QStringLiteral("tt");
    fs.longTimeFormat = QStringLiteral("hh:nn:ss");
    EXPECT_EQ(selfReferringDateTimeFormat(fs), QString());
    EXPECT_EQ(formatDateTime(QStringLiteral("dddddd"), d, fs), QStringLiteral("le 15/03/2024"));
    EXPECT_EQ(formatDateTime(QStringLiteral("c"), d, fs), QStringLiteral("15/03/2024 10:30:00"));
    EXPECT_EQ(formatDateTime(QStringLiteral("t"), d, fs), QStringLiteral("10:30:00"));

    // A format that comes back to itself, directly or through another, is
    // named; formatting with it still ends.
    const struct
    {
        const char *shortDate, *longDate, *shortTime, *longTime;
        const char *named;
    } cases[] = {
        { "c", "dddd d mmmm yyyy", "hh:nn", "hh:nn:ss", "c" }, { "dd ddddd", "dddd d mmmm yyyy", "hh:nn", "hh:nn:ss", "dd ddddd" },
        { "dd/mm/yyyy", "DDDDDD", "hh:nn", "hh:nn:ss", "DDDDDD" }, { "dd/mm/yyyy", "dddd d mmmm yyyy", "t", "hh:nn:ss", "t" },
        { "dd/mm/yyyy", "dddd d mmmm yyyy", "hh:nn", "c", "c" }, { "dddddd", "ddddd", "hh:nn", "hh:nn:ss", "dddddd" }, // through each other
        { "dd/mm/yyyy", "dddd d mmmm yyyy", "tt", "t", "tt" },
        { "dd/mm/yyyy 'c'", "dddd \"t\" yyyy", "c", "hh:nn:ss", "" }, // quoted letters, and c from a time format that names no loop
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shortDate + std::string(" | ") + c.longDate + " | " + c.shortTime + " | " + c.longTime);
        fs = french();
        fs.shortDateFormat = QString::fromLatin1(c.shortDate);
        fs.longDateFormat = QString::fromLatin1(c.longDate);
        fs.shortTimeFormat = QString::fromLatin1(c.shortTime);
        fs.longTimeFormat = QString::fromLatin1(c.longTime);
        EXPECT_EQ(selfReferringDateTimeFormat(fs), QString::fromLatin1(c.named));
        for (const char *mask : { "c", "ddddd", "dddddd", "t", "tt" })
            formatDateTime(QString::fromLatin1(mask), d, fs);
        dateTimeToStr(d, fs);
    }
}
