#include "import/engine/DataImportCommon.h"

#include "core/DateTime.h"
#include "core/FormatSettings.h"
#include "data/DataSet.h"
#include "data/Field.h"
#include "tests/import/ReaderTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/TestDatabase.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

double day(int y, int m, int d)
{
    return DateTime::encodeDate(y, m, d);
}

TDataImportFormats formatsWith(char decimal, char thousand, const char *shortDate = "dd/mm/yyyy")
{
    TDataImportFormats f;
    f.DecimalSeparator = QLatin1Char(decimal);
    f.ThousandSeparator = QLatin1Char(thousand);
    f.DateSeparator = QLatin1Char('/');
    f.ShortDateFormat = QString::fromLatin1(shortDate);
    f.TimeSeparator = QLatin1Char(':');
    f.ShortTimeFormat = QStringLiteral("hh:nn");
    f.LongTimeFormat = QStringLiteral("hh:nn:ss");
    return f;
}

// English month names whatever the machine's locale, for the time of a test.
class EnglishMonths
{
public:
    EnglishMonths()
        : m_saved(ImportMonthNames())
    {
        ImportMonthNames().ShortNames = QStringList { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
        ImportMonthNames().LongNames = QStringList { "January", "February", "March", "April", "May", "June", "July", "August", "September",
            "October", "November", "December" };
    }
    ~EnglishMonths() { ImportMonthNames() = m_saved; }

private:
    TDataImportMonthNames m_saved;
};

} // namespace

// ---------------------------------------------------------------------------
// Conversion into fields of each kind, on a row being inserted
// ---------------------------------------------------------------------------

class ConvertValueTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_db = std::make_unique<TestDatabase>();
        s_values = std::make_unique<DataSet>(s_db->connection(), QStringLiteral("values"));
        s_values->setSql(QStringLiteral("select cast(null as varchar(20)) as S, cast(null as integer) as I, cast(null as smallint) as SI, "
                                        "cast(null as double precision) as F, cast(null as date) as D, cast(null as boolean) as B "
                                        "from rdb$database"));
        s_values->open();
        s_values->insert();
    }
    static void TearDownTestSuite()
    {
        s_values.reset();
        s_db.reset();
    }

    Field *field(const char *name) { return s_values->fieldByName(QString::fromLatin1(name)); }

    static std::unique_ptr<TestDatabase> s_db;
    static std::unique_ptr<DataSet> s_values;
};

std::unique_ptr<TestDatabase> ConvertValueTest::s_db;
std::unique_ptr<DataSet> ConvertValueTest::s_values;

struct ConvertCase
{
    char decimal;
    char thousand;
    const char *field;
    const char *text;
    QVariant expected; // invalid: null
    const char *error; // empty: success
};

// The field keeps what it held before a failed number.
const QVariant Kept = QStringLiteral("<kept>");

TEST_F(ConvertValueTest, SeparatorsBooleansNullsAndTypes)
{
    const QVariant null;
    const QList<ConvertCase> cases = {
        // Only the first point becomes the decimal separator; thousands go before the integer is read.
        { ',', ' ', "F", "1 234.5", 1234.5, "" },
        { ',', ' ', "F", "1.234.5", Kept, "'1.234.5' is not a valid floating point value" },
        { ',', '.', "I", "1.234,5", 1234, "" },
        { ',', '.', "F", "1.234,5", Kept, "'1.234,5' is not a valid floating point value" },
        { ',', ' ', "I", "12.9", 12, "" },
        { ',', ' ', "I", "-12.9", -12, "" },
        { '.', ',', "F", "1,234.25", 1234.25, "" },
        { ',', ' ', "F", "  3,5  ", 3.5, "" },
        // Booleans count as 1 and 0 where a number was expected.
        { ',', ' ', "I", "True", 1, "" },
        { ',', ' ', "I", "false", 0, "" },
        { ',', ' ', "SI", "TRUE", 1, "" },
        { ',', ' ', "I", "yes", Kept, "'yes' is not a valid floating point value" },
        { ',', ' ', "B", "true", true, "" },
        { ',', ' ', "B", "yes", false, "" },
        // "Null" in any case and field type; empty texts give null for numbers and dates.
        { ',', ' ', "S", "Null", null, "" },
        { ',', ' ', "I", " nULL ", null, "" },
        { ',', ' ', "F", "NULL", null, "" },
        { ',', ' ', "D", "null", null, "" },
        { ',', ' ', "B", "Null", null, "" },
        { ',', ' ', "I", "", null, "" },
        { ',', ' ', "F", " ", null, "" },
        { ',', ' ', "D", "", null, "" },
        { ',', ' ', "S", "As it is ", QStringLiteral("As it is "), "" },
        // An integer column refuses what it cannot hold instead of keeping the low bits.
        { ',', ' ', "I", "3000000000", Kept, "'3000000000' is not a valid integer value" },
        // Dates: the process parsing, then the format, then a day count.
        { ',', ' ', "D", "5/1/2008", QVariant::fromValue(TimeStamp { day(2008, 1, 5) }), "" },
        { ',', ' ', "D", "05/01/2008 10:30", QVariant::fromValue(TimeStamp { day(2008, 1, 5) + 10.5 / 24 }), "" },
        { ',', ' ', "D", "39448", QVariant::fromValue(TimeStamp { day(2008, 1, 1) }), "" },
        { ',', ' ', "D", "31/02/2008", null, "Wrong date format \"31/02/2008\"" },
        { ',', ' ', "D", "1e300", null, "Wrong date format \"1e300\"" },
    };
    for (const ConvertCase &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- '" + c.text + "'");
        TDataImportFormats formats = formatsWith(c.decimal, c.thousand);
        TDataImportFormatsGuard installed(formats);
        Field *f = field(c.field);
        f->setValue(1); // a value the conversion must replace
        const QVariant before = f->value();
        EXPECT_EQ(ConvertValue(f, QString::fromUtf8(c.text), formats), QString::fromUtf8(c.error));
        EXPECT_EQ(f->value(), c.expected == Kept ? before : c.expected);
    }
}

TEST_F(ConvertValueTest, OwnNullAndBooleanTextsAndUnknownTypes)
{
    TDataImportFormats formats = formatsWith(',', ' ');
    formats.NullValues = QStringList { QStringLiteral("-"), QStringLiteral("n/a") };
    formats.BooleanTrue = QStringList { QStringLiteral("O"), QStringLiteral("T") };
    formats.BooleanFalse = QStringList { QStringLiteral("N") };
    TDataImportFormatsGuard installed(formats);

    EXPECT_EQ(ConvertValue(field("S"), QStringLiteral(" N/A"), formats), QString());
    EXPECT_FALSE(field("S")->value().isValid());
    EXPECT_EQ(ConvertValue(field("I"), QStringLiteral("t"), formats), QString());
    EXPECT_EQ(field("I")->value(), QVariant(1));
    EXPECT_EQ(ConvertValue(field("I"), QStringLiteral("n"), formats), QString());
    EXPECT_EQ(field("I")->value(), QVariant(0));
    // "Null" is no longer a null text, but a float column still reads it as one.
    EXPECT_EQ(ConvertValue(field("S"), QStringLiteral("Null"), formats), QString());
    EXPECT_EQ(field("S")->value(), QVariant(QStringLiteral("Null")));
    EXPECT_EQ(ConvertValue(field("F"), QStringLiteral("null"), formats), QString());
    EXPECT_FALSE(field("F")->value().isValid());

    ColumnInfo odd;
    odd.name = QStringLiteral("ODD");
    odd.type = FieldType::Unknown;
    Field unknown(*s_values, 0, odd);
    EXPECT_EQ(ConvertValue(&unknown, QStringLiteral("x"), formats), QStringLiteral("Unknown field type"));
    EXPECT_EQ(ConvertValue(nullptr, QStringLiteral("x"), formats), QString());
}

// ---------------------------------------------------------------------------
// Dates by format
// ---------------------------------------------------------------------------

struct DateCase
{
    const char *text;
    const char *format;
    double expected; // 0: no date
};

TEST(ParseDateByFormat, TokensMonthNamesAndFailures)
{
    EnglishMonths english;
    const QList<DateCase> cases = {
        { "5/1/2008", "dd/MM/yyyy", day(2008, 1, 5) }, { "05-Jan-08", "dd-MMM-yy", day(2008, 1, 5) },
        { "05-jan-08", "DD-MMM-YY", day(2008, 1, 5) }, { "5 May 2008", "dd mmmm yyyy", day(2008, 5, 5) },
        { "05 December 2008", "dd mmmm yyyy", 0 }, // longer than its format
        { "01/02/2008 03:15 PM", "dd/mm/yyyy hh:nn ap", day(2008, 2, 1) + 15.25 / 24 },
        { "01/02/2008 12:15 AM", "dd/mm/yyyy hh:nn ap", day(2008, 2, 1) + 0.25 / 24 },
        { "05-Foo-08", "dd-MMM-yy", 0 }, // a month the system does not know
        { "05/01/2008 10:30", "dd/MM/yyyy", 0 }, // longer than the format
        { "31/02/2008", "dd/mm/yyyy", 0 }, { "13/13/2008", "dd/mm/yyyy", 0 }, { "05/01/00", "dd/mm/yy", 0 }, // a field of zeros never reads
        { "05.01.2008", "dd/mm/yyyy", 0 }, // other separator
        { "", "dd/mm/yyyy", 0 }, { "1/1/8", "d/m/y", day(2008, 1, 1) }, { "118", "dmy", 0 }, // a format shorter than 5 characters
    };
    for (const DateCase &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " by " + c.format);
        EXPECT_DOUBLE_EQ(ParseDateByFormat(QString::fromLatin1(c.text), QString::fromLatin1(c.format)), c.expected);
    }
}

TEST(TryParseDateTime, StandardThenFormatThenDayCount)
{
    EnglishMonths english;
    TDataImportFormats formats = formatsWith(',', ' ', "dd-mmm-yy");
    formats.DateSeparator = QLatin1Char('-');
    TDataImportFormatsGuard installed(formats);
    double v = -1;
    EXPECT_TRUE(TryParseDateTime(QStringLiteral("05-Jan-08"), v)); // only the format reads month names
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 5));
    EXPECT_TRUE(TryParseDateTime(QStringLiteral("05-01-2008"), v));
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 5));
    EXPECT_TRUE(TryParseDateTime(QStringLiteral("0"), v)); // day 0 itself, as a count
    EXPECT_DOUBLE_EQ(v, 0.0);
    EXPECT_TRUE(TryParseDateTime(QStringLiteral("39448,5"), v));
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 1) + 0.5);
    EXPECT_FALSE(TryParseDateTime(QStringLiteral("someday"), v));
}

// ---------------------------------------------------------------------------
// Field formats
// ---------------------------------------------------------------------------

TEST(ApplyFieldFormat, CounterIgnoresTheSource)
{
    TDataImportFieldFormat format;
    format.FieldName = QStringLiteral("CODE");
    format.GeneratorValue = 100;
    format.GeneratorStep = 10;
    format.ConstantValue = QStringLiteral("never");
    TDataImportGenerator counter(format.FieldName, format.GeneratorValue, format.GeneratorStep);
    QStringList values;
    for (const char *source : { "7", "", "abc" }) {
        QString v = QString::fromLatin1(source);
        ApplyFieldFormat(v, format, &counter);
        values << v;
    }
    EXPECT_EQ(values, QStringList({ "110", "120", "130" }));
}

struct FormatCase
{
    const char *name;
    std::function<void(TDataImportFieldFormat &)> setup;
    QList<QPair<QString, QString>> values; // source, result, row after row
};

TEST(ApplyFieldFormat, SubstitutionConstantReplacementsQuotesAndCase)
{
    const QList<FormatCase> cases = {
        { "null value to empty default, every row",
            [](TDataImportFieldFormat &f) {
                f.NullValue = QStringLiteral("N/A");
                f.DefaultValue = QStringLiteral("''");
            },
            { { "n/a", "" }, { "x", "x" }, { "N/A", "" }, { "", "" } } },
        { "empty source to a default",
            [](TDataImportFieldFormat &f) {
                f.NullValue = QStringLiteral("''");
                f.DefaultValue = QStringLiteral("0");
            },
            { { "", "0" }, { "5", "5" } } },
        { "null value without default changes nothing", [](TDataImportFieldFormat &f) { f.NullValue = QStringLiteral("N/A"); },
            { { "N/A", "N/A" } } },
        { "constant skips the replacements, quotes and case still apply",
            [](TDataImportFieldFormat &f) {
                f.ConstantValue = QStringLiteral("abc");
                f.Replacements.Add(QStringLiteral("a"), QStringLiteral("X"));
                f.QuoteAction = qaAdd;
                f.LeftQuote = QStringLiteral("[");
                f.RightQuote = QStringLiteral("]");
                f.CharCase = iccUpper;
            },
            { { "zzz", "[ABC]" }, { "", "[ABC]" } } },
        { "empty constant", [](TDataImportFieldFormat &f) { f.ConstantValue = QStringLiteral("''"); }, { { "zzz", "" } } },
        { "substituted default skips the replacements",
            [](TDataImportFieldFormat &f) {
                f.NullValue = QStringLiteral("-");
                f.DefaultValue = QStringLiteral("aa");
                f.Replacements.Add(QStringLiteral("a"), QStringLiteral("b"));
            },
            { { "-", "aa" }, { "a-a", "b-b" } } },
        { "replacements in order",
            [](TDataImportFieldFormat &f) {
                f.Replacements.Add(QStringLiteral("St."), QStringLiteral("Saint"), true);
                f.Replacements.Add(QStringLiteral("Saint"), QStringLiteral("S"));
            },
            { { "st. Louis", "S Louis" } } },
        { "quotes removed once each, exactly",
            [](TDataImportFieldFormat &f) {
                f.QuoteAction = qaRemove;
                f.LeftQuote = QStringLiteral("'");
                f.RightQuote = QStringLiteral("'");
            },
            { { "'abc'", "abc" }, { "''abc''", "'abc'" }, { "abc'", "abc" }, { "x", "x" } } },
        { "upper first", [](TDataImportFieldFormat &f) { f.CharCase = iccUpperFirst; }, { { "éric DUPONT", "Éric DUPONT" } } },
        { "upper first word", [](TDataImportFieldFormat &f) { f.CharCase = iccUpperFirstWord; },
            { { "  jean  de la-fontaine", "  Jean  De La-fontaine" } } },
        { "lower", [](TDataImportFieldFormat &f) { f.CharCase = iccLower; }, { { "ÉCOLE", "école" } } },
        // OEM 0x82 is é; read through the program's code page it arrives as U+201A.
        { "OEM to ANSI", [](TDataImportFieldFormat &f) { f.CharSet = icsAnsi; },
            { { QString(QChar(0x201A)) + "t" + QChar(0x201A), "été" }, { "", "" } } },
        { "ANSI to OEM", [](TDataImportFieldFormat &f) { f.CharSet = icsOem; },
            { { "été", QString(QChar(0x201A)) + "t" + QChar(0x201A) } } },
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(c.name);
        TDataImportFieldFormat format;
        format.FieldName = QStringLiteral("COL");
        c.setup(format);
        const TDataImportFieldFormat before = format;
        for (const auto &[source, result] : c.values) {
            QString v = source;
            ApplyFieldFormat(v, format);
            EXPECT_EQ(v, result) << "from " << source.toStdString();
        }
        // The format itself is never changed by applying it.
        EXPECT_EQ(format.NullValue, before.NullValue);
        EXPECT_EQ(format.DefaultValue, before.DefaultValue);
    }
}

TEST(ApplyFieldFormat, OemAnsiRoundTripKeepsLength)
{
    QString all;
    for (int b = 32; b < 256; ++b)
        all += QChar(b);
    const QString ansi = OemToAnsi(all);
    EXPECT_EQ(ansi.size(), all.size());
    // Box drawing has no ANSI form: a question mark keeps the place.
    EXPECT_EQ(OemToAnsi(QString(QChar(0xC4))), QStringLiteral("?"));
    EXPECT_EQ(AnsiToOem(OemToAnsi(QStringLiteral("Société Générale"))), QStringLiteral("Société Générale"));
}

struct ReplaceCase
{
    const char *text;
    const char *find;
    const char *replace;
    bool ignoreCase;
    const char *expected;
};

TEST(ReplaceText, EveryOccurrenceWithoutOverlapOrRescan)
{
    const QList<ReplaceCase> cases = {
        { "aAbA", "a", "x", false, "xAbA" },
        { "aAbA", "a", "x", true, "xxbx" },
        { "aaa", "aa", "b", false, "ba" },
        { "abc", "b", "bb", false, "abbc" },
        { "ÉTÉ", "é", "e", true, "ÉTÉ" }, // only a to z ignore case
        { "abc", "", "x", false, "abc" },
        { "", "a", "x", false, "" },
        { "a.b.c", ".", "", false, "abc" },
    };
    for (const ReplaceCase &c : cases)
        EXPECT_EQ(ReplaceText(QString::fromUtf8(c.text), QString::fromUtf8(c.find), QString::fromUtf8(c.replace), c.ignoreCase),
            QString::fromUtf8(c.expected))
            << c.text << " / " << c.find;
}

TEST(DataImportFormats, InstallRestoreAndCopy)
{
    const ScopedFormatSettings guard;
    const FormatSettings before = FormatSettings::current();
    TDataImportFormats formats = formatsWith('!', '~', "yyyy-mm-dd");
    formats.InstallFormats();
    formats.InstallFormats(); // twice keeps the process's own values to restore
    EXPECT_EQ(FormatSettings::current().decimalSeparator, QLatin1Char('!'));
    EXPECT_EQ(FormatSettings::current().shortDateFormat, QStringLiteral("yyyy-mm-dd"));
    TDataImportFormats copy(formats);
    EXPECT_FALSE(copy.Installed());
    EXPECT_EQ(copy.ThousandSeparator, QLatin1Char('~'));
    copy.RestoreFormats(); // nothing saved in the copy
    EXPECT_EQ(FormatSettings::current().decimalSeparator, QLatin1Char('!'));
    formats.RestoreFormats();
    EXPECT_EQ(FormatSettings::current().decimalSeparator, before.decimalSeparator);
    EXPECT_EQ(FormatSettings::current().shortDateFormat, before.shortDateFormat);
    EXPECT_EQ(FormatSettings::current().timeSeparator, before.timeSeparator);

    TDataImportFormats fresh;
    EXPECT_EQ(fresh.BooleanTrue, QStringList { "True" });
    EXPECT_EQ(fresh.BooleanFalse, QStringList { "False" });
    EXPECT_EQ(fresh.NullValues, QStringList { "Null" });
}

TEST(DataImportFormats, InstallingSetsTheEightAndRestoringPutsBackOnlyThem)
{
    const ScopedFormatSettings guard;
    TDataImportFormats formats;
    formats.DecimalSeparator = QLatin1Char('!');
    formats.ThousandSeparator = QLatin1Char('~');
    formats.DateSeparator = QLatin1Char('-');
    formats.TimeSeparator = QLatin1Char('h');
    formats.ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    formats.LongDateFormat = QStringLiteral("dddd yyyy");
    formats.ShortTimeFormat = QStringLiteral("hh'h'nn");
    formats.LongTimeFormat = QStringLiteral("hh'h'nn'm'ss");
    struct Setting
    {
        const char *name;
        std::function<QString(const FormatSettings &)> value;
        QString installed;
    };
    const QList<Setting> settings = {
        { "decimal", [](const FormatSettings &s) { return QString(s.decimalSeparator); }, QStringLiteral("!") },
        { "thousand", [](const FormatSettings &s) { return QString(s.thousandSeparator); }, QStringLiteral("~") },
        { "date separator", [](const FormatSettings &s) { return QString(s.dateSeparator); }, QStringLiteral("-") },
        { "time separator", [](const FormatSettings &s) { return QString(s.timeSeparator); }, QStringLiteral("h") },
        { "short date", [](const FormatSettings &s) { return s.shortDateFormat; }, QStringLiteral("yyyy-mm-dd") },
        { "long date", [](const FormatSettings &s) { return s.longDateFormat; }, QStringLiteral("dddd yyyy") },
        { "short time", [](const FormatSettings &s) { return s.shortTimeFormat; }, QStringLiteral("hh'h'nn") },
        { "long time", [](const FormatSettings &s) { return s.longTimeFormat; }, QStringLiteral("hh'h'nn'm'ss") },
    };
    const FormatSettings before = FormatSettings::current();
    formats.InstallFormats();
    for (const Setting &setting : settings)
        EXPECT_EQ(setting.value(FormatSettings::current()), setting.installed) << setting.name;

    // The import owns the eight only: what changed meanwhile beside them stays.
    FormatSettings during = FormatSettings::current();
    during.listSeparator = QLatin1Char('|');
    FormatSettings::setCurrent(during);
    formats.RestoreFormats();
    for (const Setting &setting : settings)
        EXPECT_EQ(setting.value(FormatSettings::current()), setting.value(before)) << setting.name;
    EXPECT_EQ(FormatSettings::current().listSeparator, QLatin1Char('|'));
}

TEST(DataImportReplacements, DisplayTextAndSameValues)
{
    TDataImportReplacements list;
    list.Add(QStringLiteral("St."), QStringLiteral("Saint"), true);
    EXPECT_EQ(list.Items(0).DisplayText(), QStringLiteral("St. - Saint"));
    EXPECT_TRUE(list.Contains(QStringLiteral("St."), QStringLiteral("Saint"), true));
    EXPECT_FALSE(list.Contains(QStringLiteral("st."), QStringLiteral("Saint"), true));
    EXPECT_FALSE(list.Contains(QStringLiteral("St."), QStringLiteral("Saint"), false));
}
