#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "tests/import/ReaderTestSupport.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char *line;
    char quote;
    char separator;
    QStringList fields;
};

QStringList readAll(const QByteArray &bytes, QList<qint64> *numbers = nullptr)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TextLineReader reader(&buffer);
    QStringList lines;
    QString line;
    while (!reader.atEnd()) {
        EXPECT_TRUE(reader.readLine(line));
        lines << line;
        if (numbers)
            *numbers << reader.lineNumber();
    }
    EXPECT_FALSE(reader.readLine(line));
    return lines;
}

// The line rules written the plain way, byte by byte, to check the chunked
// reader against.
QStringList referenceLines(const QByteArray &bytes)
{
    QStringList lines;
    QString line;
    bool open = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == 26)
            break;
        open = true;
        if (c == '\n') {
            lines << line;
            line.clear();
            open = false;
        } else if (c == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                lines << line;
                line.clear();
                open = false;
                ++i;
            }
        } else {
            line += QChar(static_cast<unsigned char>(c));
        }
    }
    if (open)
        lines << line;
    return lines;
}

class FailingDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override
    {
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

TEST(SplitDelimitedLine, QuotesSeparatorsAndEmptyFields)
{
    const SplitCase cases[] = {
        { R"(a;"b;c";"d""e")", '"', ';', { "a", "b;c", "d\"e" } },
        { R"("x"y;z)", '"', ';', { "x", "z" } },
        { "a;;b;", '"', ';', { "a", "", "b", "" } },
        { R"("a";)", '"', ';', { "a", "" } },
        { R"("a";b)", 0, ';', { "\"a\"", "b" } },
        { "", '"', ';', { "" } },
        { R"("ab;c)", '"', ';', { "ab;c" } },
        { R"(a"b;"c")", '"', ';', { "a\"b", "c" } },
        { R"("";x)", '"', ';', { "", "x" } },
        { R"("a"")", '"', ';', { "a\"" } },
        { R"('it''s',2)", '\'', ',', { "it's", "2" } },
        { "1\t\"x\ty\"\t3", '"', '\t', { "1", "x\ty", "3" } },
        { R"("x" ;y)", '"', ';', { "x", "y" } },
    };
    for (const SplitCase &c : cases) {
        QStringList list { "left over" };
        splitDelimitedLine(QString::fromUtf8(c.line), QChar(c.quote), QChar(c.separator), list);
        EXPECT_EQ(list, c.fields) << c.line;
    }
}

TEST(SplitDelimitedLine, OnlyTheFieldsAsked)
{
    // The text source splits off no field after the last one it maps: a line
    // of millions of separators then costs no list of millions of fields.
    const struct
    {
        const char *line;
        qsizetype maxFields;
        QStringList fields;
    } cases[] = {
        { R"(a;"b;c";d)", 2, { "a", "b;c" } },
        { "a;b", 5, { "a", "b" } },
        { "a;b", 0, {} },
        { "a;b", -1, { "a", "b" } },
        { R"("x"y;z;w)", 1, { "x" } },
    };
    for (const auto &c : cases) {
        QStringList list { "left over" };
        splitDelimitedLine(QString::fromUtf8(c.line), QLatin1Char('"'), QLatin1Char(';'), list, c.maxFields);
        EXPECT_EQ(list, c.fields) << c.line << " max " << c.maxFields;
    }

    const QString separators(1000000, QLatin1Char(';'));
    QStringList list;
    splitDelimitedLine(separators, QLatin1Char('"'), QLatin1Char(';'), list, 3);
    EXPECT_EQ(list, (QStringList { "", "", "" }));
    qsizetype handed = 0;
    forEachDelimitedField(separators, QLatin1Char('"'), QLatin1Char(';'), [&](const QString &field) {
        EXPECT_TRUE(field.isEmpty());
        return ++handed < 10;
    });
    EXPECT_EQ(handed, 10);
    handed = 0;
    forEachDelimitedField(separators, QLatin1Char('"'), QLatin1Char(';'), [&](const QString &) { return ++handed > 0; });
    EXPECT_EQ(handed, separators.size() + 1);
}

TEST(TextLineReader, LineEndsCtrlZAndLastLine)
{
    const struct
    {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        { "a\nb\n", { "a", "b" } },
        { "a\r\nb", { "a", "b" } },
        { "a\rb\n", { "ab" } },
        { "a\r\r\nb\r", { "a", "b" } },
        { "a\nb\x1A"
          "c\nd",
            { "a", "b" } },
        { "a\n\x1A\nb", { "a" } },
        { "\x1A", {} },
        { "", {} },
        { "\n \n", { "", " " } },
        { "\x80\xE9", { QStringLiteral("\u20AC\u00E9") } },
    };
    for (const auto &c : cases)
        EXPECT_EQ(readAll(c.bytes), c.lines) << c.bytes.toHex().constData();

    // A CR as the last byte of the reader's 64 KiB chunk.
    const QByteArray full(64 * 1024 - 1, 'x');
    EXPECT_EQ(readAll(full + "\r\ny"), (QStringList { QString::fromLatin1(full), "y" }));
    EXPECT_EQ(readAll(full + "\rz\n"), (QStringList { QString::fromLatin1(full) + "z" }));
}

TEST(TextLineReader, PhysicalLineNumbersCountBlankLines)
{
    QList<qint64> numbers;
    const QStringList lines = readAll("head\n\n  \ndata\r\nlast", &numbers);
    EXPECT_EQ(lines, (QStringList { "head", "", "  ", "data", "last" }));
    EXPECT_EQ(numbers, (QList<qint64> { 1, 2, 3, 4, 5 }));
    EXPECT_TRUE(isBlankLine(lines[1]));
    EXPECT_TRUE(isBlankLine(lines[2]));
    EXPECT_FALSE(isBlankLine(lines[3]));
}

TEST(TextLineReader, LinesAcrossChunkBoundariesMatchThePlainRules)
{
    // Line ends and Ctrl-Z placed around the reader's 64 KiB chunks.
    QRandomGenerator random(20081231);
    const char specials[] = { '\n', '\r', 26 };
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes(200 * 1024 + random.bounded(1000), 'x');
        const int marks = random.bounded(1, 60);
        for (int k = 0; k < marks; ++k) {
            qsizetype at = random.bounded(bytes.size());
            if (k % 3 == 0)
                at = 64 * 1024 * random.bounded(1, 4) - random.bounded(2);
            bytes[at] = specials[random.bounded(round % 5 == 0 ? 3 : 2)];
        }
        ASSERT_EQ(readAll(bytes), referenceLines(bytes)) << "round " << round;
    }
}

namespace {

// A device that gives one byte per read, as a slow pipe might.
class TrickleDevice : public QIODevice
{
public:
    explicit TrickleDevice(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }
    qint64 size() const override { return m_bytes.size(); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (m_pos >= m_bytes.size() || max <= 0)
            return 0;
        data[0] = m_bytes[m_pos++];
        return 1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

TEST(TextLineReader, EncodingsAndTheByteOrderMark)
{
    const QByteArray utf8 = "Soci\xC3\xA9t\xC3\xA9;G\xC3\xA9n\xC3\xA9rale \xE2\x82\xAC\r\n\xCE\xA9\n";
    const QString text = QStringLiteral("Société;Générale €");
    const struct
    {
        const char *what;
        QByteArray bytes;
        TextEncoding chosen;
        QStringList lines;
        TextEncoding read;
    } cases[] = {
        { "mark, single-byte chosen", "\xEF\xBB\xBF" + utf8, teWindows1252, { text, QStringLiteral("Ω") }, teUtf8 },
        { "mark, OEM chosen", "\xEF\xBB\xBF" + utf8, teOem850, { text, QStringLiteral("Ω") }, teUtf8 },
        { "UTF-8 chosen", utf8, teUtf8, { text, QStringLiteral("Ω") }, teUtf8 },
        { "no mark: single-byte reading", utf8, teWindows1252, { QStringLiteral("SociÃ©tÃ©;GÃ©nÃ©rale â‚¬"), QStringLiteral("Î©") },
            teWindows1252 },
        { "OEM 850", "Caf\x82 \x9C \xA6\n", teOem850, { QStringLiteral("Café £ ª") }, teOem850 },
        { "a mark further on is text",
            "a\n\xEF\xBB\xBF"
            "b",
            teWindows1252, { "a", QStringLiteral("ï»¿b") }, teWindows1252 },
        { "only a mark", "\xEF\xBB\xBF", teWindows1252, {}, teUtf8 },
        { "half a mark", "\xEF\xBB", teWindows1252, { QStringLiteral("ï»") }, teWindows1252 },
        { "invalid UTF-8",
            "a\xFF"
            "b",
            teUtf8, { QStringLiteral("a\uFFFDb") }, teUtf8 },
    };
    for (const auto &c : cases) {
        for (bool trickle : { false, true }) {
            SCOPED_TRACE(std::string(c.what) + (trickle ? ", a byte at a time" : ""));
            QByteArray copy = c.bytes;
            QBuffer buffer(&copy);
            TrickleDevice slow(c.bytes);
            QIODevice *device = trickle ? static_cast<QIODevice *>(&slow) : &buffer;
            device->open(QIODevice::ReadOnly);
            TextLineReader reader(device, c.chosen);
            QStringList lines;
            QString line;
            while (reader.readLine(line))
                lines << line;
            EXPECT_EQ(lines, c.lines);
            EXPECT_EQ(reader.encoding(), c.read);
        }
    }
}

TEST(TextEncodingNames, ForTheCommandLine)
{
    TextEncoding e = teWindows1252;
    for (const char *name : { "utf-8", "UTF8" }) {
        ASSERT_TRUE(textEncodingFromName(QLatin1String(name), e)) << name;
        EXPECT_EQ(e, teUtf8);
    }
    for (const char *name : { "oem-850", "cp850", "OEM", "850" }) {
        ASSERT_TRUE(textEncodingFromName(QLatin1String(name), e)) << name;
        EXPECT_EQ(e, teOem850);
    }
    for (const char *name : { "windows-1252", "CP1252", "ansi" }) {
        ASSERT_TRUE(textEncodingFromName(QLatin1String(name), e)) << name;
        EXPECT_EQ(e, teWindows1252);
    }
    EXPECT_FALSE(textEncodingFromName(QStringLiteral("latin9"), e));
    EXPECT_EQ(textEncodingName(teOem850), QStringLiteral("oem-850"));
    // What the database's WIN1252 holds and what it does not.
    EXPECT_EQ(firstUnencodableCharacter(QStringLiteral("Œuvre à 5 € ?")), -1);
    EXPECT_EQ(firstUnencodableCharacter(QStringLiteral("ab Ω")), 3);
    EXPECT_EQ(unencodableValueError(QStringLiteral("x 😀")),
        QStringLiteral("Value \"x 😀\" holds \"😀\" (U+1F600), a character the database cannot store"));
    EXPECT_EQ(unencodableValueError(QStringLiteral("Société")), QString());
}

TEST(TextLineReader, ReadErrorIsReported)
{
    FailingDevice device;
    device.open(QIODevice::ReadOnly);
    TextLineReader reader(&device);
    try {
        reader.atEnd();
        FAIL() << "no error";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Input/output error"));
    }
}

TEST(TextMap, ValueChecksAndCuts)
{
    EXPECT_NO_THROW(checkTextMapValues({ "1", "12", " 3" }, QLatin1Char(';')));
    EXPECT_NO_THROW(checkTextMapValues({ "0;3", "5;10" }, QChar(0)));
    const struct
    {
        QString value;
        QChar comma;
    } refused[] = {
        { "x", QLatin1Char(';') },
        { "", QLatin1Char(',') },
        { "1;2", QLatin1Char(';') },
        { "3", QChar(0) },
        { "a;3", QChar(0) },
        { "3;", QChar(0) },
        { "3;4;5", QChar(0) },
    };
    for (const auto &r : refused) {
        // A good value first: every value of the map is looked at.
        const QString good = r.comma == QChar(0) ? QStringLiteral("1;1") : QStringLiteral("1");
        try {
            checkTextMapValues({ good, r.value }, r.comma);
            ADD_FAILURE() << qPrintable(r.value) << " accepted";
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("Missing definition of map")) << qPrintable(r.value);
        }
    }

    const QString line = QStringLiteral("ABCDEFG");
    const struct
    {
        QString value;
        QString cut;
    } cuts[] = { { "0;3", "ABC" }, { "5;10", "FG" }, { "10;2", "" }, { "2;0", "" }, { "-2;4", "AB" }, { "x;3", "ABC" },
        { "2147483647;2147483647", "" } };
    for (const auto &c : cuts)
        EXPECT_EQ(cutFixedWidth(line, parseFixedWidthMapValue(c.value)), c.cut) << qPrintable(c.value);

    const QStringList fields { "a", "b" };
    EXPECT_EQ(delimitedField(fields, "1"), "a");
    EXPECT_EQ(delimitedField(fields, "2"), "b");
    for (const char *beyond : { "3", "0", "-1", "x" })
        EXPECT_EQ(delimitedField(fields, beyond), QString()) << beyond;
}

TEST(TextMap, DefaultDelimiterFollowsTheDecimalSeparator)
{
    FormatSettings comma;
    comma.decimalSeparator = QLatin1Char(',');
    FormatSettings point;
    point.decimalSeparator = QLatin1Char('.');
    EXPECT_EQ(defaultTextDelimiter(comma), QLatin1Char(';'));
    EXPECT_EQ(defaultTextDelimiter(point), QLatin1Char(','));
}
