// Every fixture cut short at each length and with each byte damaged: the
// readers must end with one of their own messages or read it, never crash,
// hang or raise anything else.

#include "import/sources/dbf/DbfReader.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/sources/xml/XmlPacketReader.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <functional>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");

QByteArray fixture(const QString &name)
{
    QFile file(Fixtures + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
    return file.readAll();
}

// Runs read on every truncation of bytes and on every byte changed by each of
// the masks; returns how many runs ended in a reader's message.
int damageLoop(const QByteArray &bytes, const QList<unsigned char> &masks, const std::function<void(const QByteArray &)> &read,
    const std::function<bool(const QString &)> &known)
{
    int refused = 0;
    auto run = [&](const QByteArray &input, const char *how, qsizetype at) {
        try {
            read(input);
        } catch (const ImportError &e) {
            ++refused;
            EXPECT_TRUE(known(e.text())) << how << " at " << at << ": " << qPrintable(e.text());
        }
    };
    for (qsizetype n = 0; n <= bytes.size(); ++n)
        run(bytes.left(n), "cut", n);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        for (unsigned char mask : masks) {
            QByteArray damaged = bytes;
            damaged[i] = char(damaged[i] ^ mask);
            run(damaged, "flip", i);
        }
    return refused;
}

void readTable(const QByteArray &table, const QByteArray &memo)
{
    QByteArray t = table, m = memo;
    QBuffer tableDevice(&t), memoDevice(&m);
    tableDevice.open(QIODevice::ReadOnly);
    memoDevice.open(QIODevice::ReadOnly);
    DbfReader reader(&tableDevice, memo.isNull() ? nullptr : &memoDevice);
    while (!reader.endOfTable())
        for (int i = 0; i < reader.fieldCount(); ++i)
            reader.readField(i);
}

bool dbfMessage(const QString &text)
{
    return text == "File open error" || text == "File read error!" || text == "Table file is invalid!";
}

bool xmlMessage(const QString &text)
{
    static const QRegularExpression known(
        QStringLiteral("^(Unexpected symbol .* at position \\d+|XML header failed|Version attribute expected but "
                       "\\$s found|Unexpected attriute name .*|.* - corresponding tag not found|Tag at "
                       "position \\d+ is not closed|Tag .* is not closed)$"),
        QRegularExpression::DotMatchesEverythingOption);
    return known.match(text).hasMatch();
}

} // namespace

TEST(ReaderRobustness, DamagedTablesAndMemos)
{
    const struct
    {
        const char *table;
        const char *memo;
    } sets[] = { { "dbf/people.dbf", "dbf/people.dbt" }, { "dbf/foxmemo.dbf", "dbf/foxmemo.fpt" }, { "dbf/vfp.dbf", "dbf/vfp.fpt" },
        { "dbf/dbase4.dbf", nullptr } };
    for (const auto &set : sets) {
        SCOPED_TRACE(set.table);
        const QByteArray table = fixture(set.table);
        const QByteArray memo = set.memo ? fixture(set.memo) : QByteArray();
        const int refused = damageLoop(
            table, { 0x01, 0x80, 0xFF }, [&](const QByteArray &t) { readTable(t, memo); }, dbfMessage);
        EXPECT_GT(refused, 0); // the loop did reach the checks
        if (set.memo)
            damageLoop(
                memo, { 0xFF, 0x1A }, [&](const QByteArray &m) { readTable(table, m); }, [](const QString &) { return false; });
    }
}

TEST(ReaderRobustness, DamagedDataPackets)
{
    const QByteArray packet = fixture("xml/packet.xml");
    auto parse = [](const QByteArray &bytes) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        XmlPacketReader xml(&buffer);
        xml.parse();
        xml.rowCount();
        xml.fieldCount();
    };
    auto stream = [](const QByteArray &bytes) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        XmlPacketReader xml(&buffer);
        xml.parse(true);
        while (!xml.endOfText())
            xml.nextTag();
    };
    // Masks that turn bytes into the characters the scanner cares about.
    const QList<unsigned char> masks { 0xFF, 0x01, 0x20 };
    EXPECT_GT(damageLoop(packet, masks, parse, xmlMessage), 0);
    EXPECT_GT(damageLoop(packet, masks, stream, xmlMessage), 0);
    for (const char c : { '<', '>', '"', '\'', '/', '=', ' ' }) {
        for (qsizetype i = 0; i < packet.size(); ++i) {
            QByteArray damaged = packet;
            damaged[i] = c;
            try {
                parse(damaged);
            } catch (const ImportError &e) {
                EXPECT_TRUE(xmlMessage(e.text())) << qPrintable(e.text());
            }
        }
    }
}

TEST(ReaderRobustness, DamagedTextFiles)
{
    for (const char *name : { "text/clients.csv", "text/clients.txt" }) {
        const QByteArray text = fixture(name);
        int lines = 0;
        damageLoop(
            text, { 0xFF, 0x1A ^ 'C', '\r' ^ '1' },
            [&](const QByteArray &bytes) {
                QByteArray copy = bytes;
                QBuffer buffer(&copy);
                buffer.open(QIODevice::ReadOnly);
                TextLineReader reader(&buffer);
                QString line;
                QStringList fields;
                while (reader.readLine(line)) {
                    splitDelimitedLine(line, QLatin1Char('"'), QLatin1Char(';'), fields);
                    cutFixedWidth(line, parseFixedWidthMapValue(QStringLiteral("4;10")));
                    ++lines;
                }
            },
            [](const QString &) { return false; });
        EXPECT_GT(lines, 0);
    }
}

namespace {
// A device that never ends: the same byte forever.
class EndlessDevice : public QIODevice
{
public:
    explicit EndlessDevice(QByteArray start, char fill)
        : m_start(std::move(start))
        , m_fill(fill)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 size) override
    {
        for (qint64 i = 0; i < size; ++i, ++m_given)
            data[i] = m_given < m_start.size() ? m_start[m_given] : m_fill;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_start;
    char m_fill;
    qint64 m_given = 0;
};
} // namespace

TEST(ReaderRobustness, EndlessInputStopsAtALimit)
{
    EndlessDevice zeros({}, '\0');
    TextLineReader reader(&zeros);
    QString line;
    try {
        reader.readLine(line);
        FAIL() << "an endless line was read";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "Line 1 is too long");
    }

    EndlessDevice tag(R"(<?xml version="1.0"?> <ROW a=")", 'x');
    XmlPacketReader xml(&tag);
    xml.loadText(); // left to stream: the device has no end
    try {
        xml.nextTag();
        FAIL() << "an endless tag was read";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "Tag at position 23 is too long");
    }
}
