#include "import/engine/ImportFormats.h"

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

ImportFormats formatsWith(char decimal, char thousand, const char *shortDate = "dd/mm/yyyy")
{
    ImportFormats f;
    f.decimalSeparator = QLatin1Char(decimal);
    f.thousandSeparator = QLatin1Char(thousand);
    f.dateSeparator = QLatin1Char('/');
    f.shortDateFormat = QString::fromLatin1(shortDate);
    f.timeSeparator = QLatin1Char(':');
    f.shortTimeFormat = QStringLiteral("hh:nn");
    f.longTimeFormat = QStringLiteral("hh:nn:ss");
    return f;
}

// English month names whatever the machine's locale, for the time of a test.
class EnglishMonths
{
public:
    EnglishMonths()
        : m_saved(importMonthNames())
    {
        importMonthNames().shortNames = QStringList { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
        importMonthNames().longNames = QStringList { "January", "February", "March", "April", "May", "June", "July", "August", "September",
            "October", "November", "December" };
    }
    ~EnglishMonths() { importMonthNames() = m_saved; }

private:
    MonthNames m_saved;
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
        ImportFormats formats = formatsWith(c.decimal, c.thousand);
        ImportFormatsGuard installed(formats);
        Field *f = field(c.field);
        f->setValue(1); // a value the conversion must replace
        const QVariant before = f->value();
        EXPECT_EQ(convertValue(f, QString::fromUtf8(c.text), formats), QString::fromUtf8(c.error));
        EXPECT_EQ(f->value(), c.expected == Kept ? before : c.expected);
    }
}

TEST_F(ConvertValueTest, OwnNullAndBooleanTextsAndUnknownTypes)
{
    ImportFormats formats = formatsWith(',', ' ');
    formats.nullValues = QStringList { QStringLiteral("-"), QStringLiteral("n/a") };
    formats.booleanTrue = QStringList { QStringLiteral("O"), QStringLiteral("T") };
    formats.booleanFalse = QStringList { QStringLiteral("N") };
    ImportFormatsGuard installed(formats);

    EXPECT_EQ(convertValue(field("S"), QStringLiteral(" N/A"), formats), QString());
    EXPECT_FALSE(field("S")->value().isValid());
    EXPECT_EQ(convertValue(field("I"), QStringLiteral("t"), formats), QString());
    EXPECT_EQ(field("I")->value(), QVariant(1));
    EXPECT_EQ(convertValue(field("I"), QStringLiteral("n"), formats), QString());
    EXPECT_EQ(field("I")->value(), QVariant(0));
    // "Null" is no longer a null text, but a float column still reads it as one.
    EXPECT_EQ(convertValue(field("S"), QStringLiteral("Null"), formats), QString());
    EXPECT_EQ(field("S")->value(), QVariant(QStringLiteral("Null")));
    EXPECT_EQ(convertValue(field("F"), QStringLiteral("null"), formats), QString());
    EXPECT_FALSE(field("F")->value().isValid());

    ColumnInfo odd;
    odd.name = QStringLiteral("ODD");
    odd.type = FieldType::Unknown;
    Field unknown(*s_values, 0, odd);
    EXPECT_EQ(convertValue(&unknown, QStringLiteral("x"), formats), QStringLiteral("Unknown field type"));
    EXPECT_EQ(convertValue(nullptr, QStringLiteral("x"), formats), QString());
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
        EXPECT_DOUBLE_EQ(parseDateByFormat(QString::fromLatin1(c.text), QString::fromLatin1(c.format)), c.expected);
    }
}

TEST(TryParseDateTime, StandardThenFormatThenDayCount)
{
    EnglishMonths english;
    ImportFormats formats = formatsWith(',', ' ', "dd-mmm-yy");
    formats.dateSeparator = QLatin1Char('-');
    ImportFormatsGuard installed(formats);
    double v = -1;
    EXPECT_TRUE(tryParseDateTime(QStringLiteral("05-Jan-08"), v)); // only the format reads month names
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 5));
    EXPECT_TRUE(tryParseDateTime(QStringLiteral("05-01-2008"), v));
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 5));
    EXPECT_TRUE(tryParseDateTime(QStringLiteral("0"), v)); // day 0 itself, as a count
    EXPECT_DOUBLE_EQ(v, 0.0);
    EXPECT_TRUE(tryParseDateTime(QStringLiteral("39448,5"), v));
    EXPECT_DOUBLE_EQ(v, day(2008, 1, 1) + 0.5);
    EXPECT_FALSE(tryParseDateTime(QStringLiteral("someday"), v));
}

// ---------------------------------------------------------------------------
// Field formats
// ---------------------------------------------------------------------------

TEST(ApplyFieldFormat, CounterIgnoresTheSource)
{
    FieldFormat format;
    format.fieldName = QStringLiteral("CODE");
    format.generatorValue = 100;
    format.generatorStep = 10;
    format.constantValue = QStringLiteral("never");
    ValueGenerator counter(format.fieldName, format.generatorValue, format.generatorStep);
    QStringList values;
    for (const char *source : { "7", "", "abc" }) {
        QString v = QString::fromLatin1(source);
        applyFieldFormat(v, format, &counter);
        values << v;
    }
    EXPECT_EQ(values, QStringList({ "110", "120", "130" }));
}

struct FormatCase
{
    const char *name;
    std::function<void(FieldFormat &)> setup;
    QList<QPair<QString, QString>> values; // source, result, row after row
};

TEST(ApplyFieldFormat, SubstitutionConstantReplacementsQuotesAndCase)
{
    const QList<FormatCase> cases = {
        { "null value to empty default, every row",
            [](FieldFormat &f) {
                f.nullValue = QStringLiteral("N/A");
                f.defaultValue = QStringLiteral("''");
            },
            { { "n/a", "" }, { "x", "x" }, { "N/A", "" }, { "", "" } } },
        { "empty source to a default",
            [](FieldFormat &f) {
                f.nullValue = QStringLiteral("''");
                f.defaultValue = QStringLiteral("0");
            },
            { { "", "0" }, { "5", "5" } } },
        { "null value without default changes nothing", [](FieldFormat &f) { f.nullValue = QStringLiteral("N/A"); },
            { { "N/A", "N/A" } } },
        { "constant skips the replacements, quotes and case still apply",
            [](FieldFormat &f) {
                f.constantValue = QStringLiteral("abc");
                f.replacements.add(QStringLiteral("a"), QStringLiteral("X"));
                f.quoteAction = qaAdd;
                f.leftQuote = QStringLiteral("[");
                f.rightQuote = QStringLiteral("]");
                f.charCase = iccUpper;
            },
            { { "zzz", "[ABC]" }, { "", "[ABC]" } } },
        { "empty constant", [](FieldFormat &f) { f.constantValue = QStringLiteral("''"); }, { { "zzz", "" } } },
        { "substituted default skips the replacements",
            [](FieldFormat &f) {
                f.nullValue = QStringLiteral("-");
                f.defaultValue = QStringLiteral("aa");
                f.replacements.add(QStringLiteral("a"), QStringLiteral("b"));
            },
            { { "-", "aa" }, { "a-a", "b-b" } } },
        { "replacements in order",
            [](FieldFormat &f) {
                f.replacements.add(QStringLiteral("St."), QStringLiteral("Saint"), true);
                f.replacements.add(QStringLiteral("Saint"), QStringLiteral("S"));
            },
            { { "st. Louis", "S Louis" } } },
        { "quotes removed once each, exactly",
            [](FieldFormat &f) {
                f.quoteAction = qaRemove;
                f.leftQuote = QStringLiteral("'");
                f.rightQuote = QStringLiteral("'");
            },
            { { "'abc'", "abc" }, { "''abc''", "'abc'" }, { "abc'", "abc" }, { "x", "x" } } },
        { "upper first", [](FieldFormat &f) { f.charCase = iccUpperFirst; }, { { "éric DUPONT", "Éric DUPONT" } } },
        { "upper first word", [](FieldFormat &f) { f.charCase = iccUpperFirstWord; },
            { { "  jean  de la-fontaine", "  Jean  De La-fontaine" } } },
        { "lower", [](FieldFormat &f) { f.charCase = iccLower; }, { { "ÉCOLE", "école" } } },
        // OEM 0x82 is é; read through the program's code page it arrives as U+201A.
        { "OEM to ANSI", [](FieldFormat &f) { f.charSet = icsAnsi; },
            { { QString(QChar(0x201A)) + "t" + QChar(0x201A), "été" }, { "", "" } } },
        { "ANSI to OEM", [](FieldFormat &f) { f.charSet = icsOem; },
            { { "été", QString(QChar(0x201A)) + "t" + QChar(0x201A) } } },
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(c.name);
        FieldFormat format;
        format.fieldName = QStringLiteral("COL");
        c.setup(format);
        const FieldFormat before = format;
        for (const auto &[source, result] : c.values) {
            QString v = source;
            applyFieldFormat(v, format);
            EXPECT_EQ(v, result) << "from " << source.toStdString();
        }
        // The format itself is never changed by applying it.
        EXPECT_EQ(format.nullValue, before.nullValue);
        EXPECT_EQ(format.defaultValue, before.defaultValue);
    }
}

TEST(ApplyFieldFormat, OemAnsiRoundTripKeepsLength)
{
    QString all;
    for (int b = 32; b < 256; ++b)
        all += QChar(b);
    const QString ansi = oemToAnsi(all);
    EXPECT_EQ(ansi.size(), all.size());
    // Box drawing has no ANSI form: a question mark keeps the place.
    EXPECT_EQ(oemToAnsi(QString(QChar(0xC4))), QStringLiteral("?"));
    EXPECT_EQ(ansiToOem(oemToAnsi(QStringLiteral("Société Générale"))), QStringLiteral("Société Générale"));
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
        EXPECT_EQ(replaceText(QString::fromUtf8(c.text), QString::fromUtf8(c.find), QString::fromUtf8(c.replace), c.ignoreCase),
            QString::fromUtf8(c.expected))
            << c.text << " / " << c.find;
}

TEST(DataImportFormats, InstallRestoreAndCopy)
{
    const ScopedFormatSettings guard;
    const FormatSettings before = FormatSettings::current();
    ImportFormats formats = formatsWith('!', '~', "yyyy-mm-dd");
    formats.installFormats();
    formats.installFormats(); // twice keeps the process's own values to restore
    EXPECT_EQ(FormatSettings::current().decimalSeparator, QLatin1Char('!'));
    EXPECT_EQ(FormatSettings::current().shortDateFormat, QStringLiteral("yyyy-mm-dd"));
    ImportFormats copy(formats);
    EXPECT_FALSE(copy.installed());
    EXPECT_EQ(copy.thousandSeparator, QLatin1Char('~'));
    copy.restoreFormats(); // nothing saved in the copy
    EXPECT_EQ(FormatSettings::current().decimalSeparator, QLatin1Char('!'));
    formats.restoreFormats();
    EXPECT_EQ(FormatSettings::current().decimalSeparator, before.decimalSeparator);
    EXPECT_EQ(FormatSettings::current().shortDateFormat, before.shortDateFormat);
    EXPECT_EQ(FormatSettings::current().timeSeparator, before.timeSeparator);

    ImportFormats fresh;
    EXPECT_EQ(fresh.booleanTrue, QStringList { "True" });
    EXPECT_EQ(fresh.booleanFalse, QStringList { "False" });
    EXPECT_EQ(fresh.nullValues, QStringList { "Null" });
}

TEST(DataImportFormats, InstallingSetsTheEightAndRestoringPutsBackOnlyThem)
{
    const ScopedFormatSettings guard;
    ImportFormats formats;
    formats.decimalSeparator = QLatin1Char('!');
    formats.thousandSeparator = QLatin1Char('~');
    formats.dateSeparator = QLatin1Char('-');
    formats.timeSeparator = QLatin1Char('h');
    formats.shortDateFormat = QStringLiteral("yyyy-mm-dd");
    formats.longDateFormat = QStringLiteral("dddd yyyy");
    formats.shortTimeFormat = QStringLiteral("hh'h'nn");
    formats.longTimeFormat = QStringLiteral("hh'h'nn'm'ss");
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
    formats.installFormats();
    for (const Setting &setting : settings)
        EXPECT_EQ(setting.value(FormatSettings::current()), setting.installed) << setting.name;

    // The import owns the eight only: what changed meanwhile beside them stays.
    FormatSettings during = FormatSettings::current();
    during.listSeparator = QLatin1Char('|');
    FormatSettings::setCurrent(during);
    formats.restoreFormats();
    for (const Setting &setting : settings)
        EXPECT_EQ(setting.value(FormatSettings::current()), setting.value(before)) << setting.name;
    EXPECT_EQ(FormatSettings::current().listSeparator, QLatin1Char('|'));
}

TEST(DataImportReplacements, DisplayTextAndSameValues)
{
    FieldReplacements list;
    list.add(QStringLiteral("St."), QStringLiteral("Saint"), true);
    EXPECT_EQ(list.at(0).displayText(), QStringLiteral("St. - Saint"));
    EXPECT_TRUE(list.contains(QStringLiteral("St."), QStringLiteral("Saint"), true));
    EXPECT_FALSE(list.contains(QStringLiteral("st."), QStringLiteral("Saint"), true));
    EXPECT_FALSE(list.contains(QStringLiteral("St."), QStringLiteral("Saint"), false));
}
