#include "import/sources/dbf/DbfReader.h"

#include "import/engine/ImportMessages.h"
#include "tests/import/ReaderTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/dbf/");

struct Field
{
    const char *name;
    char type;
    int length;
};

// A table written byte by byte: header, descriptors, terminator, records.
QByteArray makeTable(
    unsigned char version, quint32 records, const QList<Field> &fields, const QList<QByteArray> &rows, int headerLength = -1)
{
    QByteArray out(32, '\0');
    out[0] = char(version);
    qToLittleEndian<quint32>(records, out.data() + 4);
    const int hlen = headerLength >= 0 ? headerLength : 32 + 32 * int(fields.size()) + 1;
    qToLittleEndian<quint16>(quint16(hlen), out.data() + 8);
    for (const Field &f : fields) {
        QByteArray d(32, '\0');
        d.replace(0, qstrlen(f.name), f.name);
        d[11] = f.type;
        d[16] = char(f.length);
        out += d;
    }
    out += '\r';
    for (const QByteArray &row : rows)
        out += row;
    return out;
}

struct ReadTable
{
    QList<bool> deleted;
    QList<QStringList> rows;
};

ReadTable readAll(DbfReader &table)
{
    ReadTable result;
    while (!table.endOfTable()) {
        QStringList row;
        for (int i = 0; i < table.fieldCount(); ++i)
            row << table.readField(i);
        result.deleted << table.deleted();
        result.rows << row;
    }
    return result;
}

QString failureOf(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    try {
        DbfReader table(&buffer, nullptr);
        readAll(table);
    } catch (const ImportError &e) {
        return e.text();
    }
    return QString();
}

// A memory device that counts the bytes read from it.
class CountingBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 size) override
    {
        const qint64 n = QBuffer::readData(data, size);
        bytesRead += std::max<qint64>(n, 0);
        return n;
    }
};

// A random-access device whose every read fails.
class UnreadableDevice : public QIODevice
{
public:
    bool isSequential() const override { return false; }
    qint64 size() const override { return 1 << 20; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

TEST(DBFFile, FileNameRules)
{
    const struct
    {
        QString given, table;
    } tables[] = {
        { "DATA.TXT", "DATA.DBF" }, { "data.dbf", "data.dbf" }, { "x", "x.DBF" }, { "a.b.c", "a.b.DBF" }, { "dir.v2/x", "dir.v2/x.DBF" },
        { "name.", "name.DBF" }, { "dir/db.DBC", "dir/db.DBC" }, // a database container is a table itself
    };
    for (const auto &t : tables)
        EXPECT_EQ(DbfReader::tableFileName(t.given), t.table) << qPrintable(t.given);

    EXPECT_EQ(DbfReader::memoFileName("dir/a.b.dbf", 0x83), "dir/a.dbt");
    EXPECT_EQ(DbfReader::memoFileName("dir/a.b.dbf", 0x8B), "dir/a.fpt");
    EXPECT_EQ(DbfReader::memoFileName("dir.x/t.DBF", 0x03), "dir.x/t.fpt");
    EXPECT_EQ(DbfReader::memoFileName("dir/db.DBC", 0x30), "dir/db.dct");
}

TEST(DBFFile, DBaseTableWithMemo)
{
    DbfReader table(Fixtures + "people.dbf");
    ASSERT_TRUE(table.isOpen());
    EXPECT_EQ(table.version(), 0x83);
    ASSERT_EQ(table.fieldCount(), 5);
    EXPECT_EQ(table.recordCount(), 5);
    const QStringList names { "NAME", "AMOUNT", "BORN", "OK", "NOTE" };
    const QByteArray types("CNDLM");
    const int lengths[] = { 10, 8, 8, 1, 10 };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table.fieldName(i), names[i]);
        EXPECT_EQ(table.fieldType(i), types[i]);
        EXPECT_EQ(table.fieldLength(i), lengths[i]);
    }
    EXPECT_EQ(table.fieldDecimals(1), 2);
    EXPECT_EQ(table.fieldType(5), 0);
    EXPECT_EQ(table.recordNumber(), 0);

    const ReadTable read = readAll(table);
    EXPECT_EQ(read.deleted, (QList<bool> { false, true, false, false, false }));
    ASSERT_EQ(read.rows.size(), 5);
    EXPECT_EQ(table.recordNumber(), 5);
    EXPECT_EQ(read.rows[0].mid(0, 4), (QStringList { "Alpha     ", "   12.50", "20081231", "T" }));
    EXPECT_EQ(read.rows[1][2], "        ");
    EXPECT_EQ(read.rows[3][0], "  Delta   ");
    // Three blocks up to the end mark, the soft return made a real one.
    EXPECT_EQ(read.rows[0][4], QString(500, 'A') + "\r\n" + QString(510, 'B') + QString(300, 'C'));
    // A block with a pair of marks ends at the pair, past a single mark.
    EXPECT_EQ(read.rows[1][4], QStringLiteral("single end mark\x1Ajunk"));
    EXPECT_EQ(read.rows[2][4], QString());
    EXPECT_EQ(read.rows[3][4], "last memo");
    EXPECT_EQ(read.rows[4][4], QString()); // block past the end of the memo file
    EXPECT_EQ(table.readField(0), QString()); // nothing after the last record
}

TEST(DBFFile, FoxProMemos)
{
    DbfReader table(Fixtures + "foxmemo.dbf");
    const ReadTable read = readAll(table);
    QStringList memos;
    for (const QStringList &row : read.rows)
        memos << row[1];
    EXPECT_EQ(memos,
        (QStringList { "FoxPro memo text that is longer than one block of sixty-four bytes, all of it.", "(Picture)", "", "Error!!!",
            "tail", "Error!!!" }));
}

TEST(DBFFile, VisualFoxProBinaryPointersStopAtTheTerminator)
{
    DbfReader table(Fixtures + "vfp.dbf");
    ASSERT_EQ(table.fieldCount(), 2); // the back-link area is not read as fields
    const ReadTable read = readAll(table);
    EXPECT_EQ(read.rows, (QList<QStringList> { { "V1  ", "vfp memo!" }, { "V2  ", "" } }));
    EXPECT_EQ(read.deleted, (QList<bool> { false, true }));
}

TEST(DBFFile, MemoFileLookup)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + "/";

    // DATA.TXT is opened as DATA.DBF, found whatever the case of the names.
    ASSERT_TRUE(QFile::copy(Fixtures + "people.dbf", path + "data.dbf"));
    ASSERT_TRUE(QFile::copy(Fixtures + "people.dbt", path + "DATA.DBT"));
    {
        DbfReader table(path + "DATA.TXT");
        EXPECT_EQ(readAll(table).rows[3][4], "last memo");
    }
    // Without its memo file the table reads with empty memos.
    ASSERT_TRUE(QFile::remove(path + "DATA.DBT"));
    {
        DbfReader table(path + "DATA.TXT");
        const ReadTable read = readAll(table);
        ASSERT_EQ(read.rows.size(), 5);
        for (const QStringList &row : read.rows)
            EXPECT_EQ(row[4], QString());
    }
    // dBase IV (0x8B) looks for ".fpt": the ".dbt" beside it is not read.
    ASSERT_TRUE(QFile::copy(Fixtures + "dbase4.dbf", path + "dbase4.dbf"));
    ASSERT_TRUE(QFile::copy(Fixtures + "dbase4.dbt", path + "dbase4.dbt"));
    {
        DbfReader table(path + "dbase4.dbf");
        EXPECT_EQ(readAll(table).rows, (QList<QStringList> { { "k1", "" } }));
    }
    QFile fpt(path + "dbase4.fpt");
    ASSERT_TRUE(fpt.open(QIODevice::WriteOnly));
    QByteArray memo(512, '\0');
    qToBigEndian<quint16>(512, memo.data() + 6);
    memo += QByteArray::fromHex("00000001 00000005") + "found";
    fpt.write(memo);
    fpt.close();
    {
        DbfReader table(path + "dbase4.dbf");
        EXPECT_EQ(readAll(table).rows, (QList<QStringList> { { "k1", "found" } }));
    }
}

TEST(DBFFile, UnreadableMemoGivesTheErrorText)
{
    for (const QString &name : { QStringLiteral("people"), QStringLiteral("foxmemo") }) {
        QFile file(Fixtures + name + ".dbf");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        UnreadableDevice memo;
        memo.open(QIODevice::ReadOnly);
        DbfReader table(&file, &memo);
        EXPECT_EQ(readAll(table).rows[0][name == "people" ? 4 : 1], name == "people" ? "ERROR!!!" : "Error!!!");
    }
}

TEST(DBFFile, DescriptorNamesAndTypes)
{
    QByteArray bytes = makeTable(0x03, 1, { { "  nm ", 'c', 3 }, { "ABCDEFGHIJ", 'n', 2 } }, { " abc12" });
    bytes[32 + 32 + 10] = 'K'; // no zero byte after ten name characters
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    DbfReader table(&buffer, nullptr);
    EXPECT_EQ(table.fieldName(0), "NM");
    EXPECT_EQ(table.fieldType(0), 'C');
    EXPECT_EQ(table.fieldName(1), "ABCDEFGHIJ");
    EXPECT_EQ(table.fieldType(1), 'N');
    EXPECT_EQ(readAll(table).rows, (QList<QStringList> { { "abc", "12" } }));
}

TEST(DBFFile, DamagedTables)
{
    const QList<Field> one { { "A", 'C', 4 } };
    const QString invalid = QStringLiteral("Table file is invalid!");
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString failure;
    } cases[] = {
        { "short header", QByteArray(10, '\3'), invalid },
        { "header longer than the file", makeTable(0x03, 0, one, {}, 4000), invalid },
        { "descriptors past the end", makeTable(0x03, 0, one, {}, 32 * 40).left(120), invalid },
        { "fewer records than declared", makeTable(0x03, 3, one, { " abcd" }), invalid },
        { "huge record count", makeTable(0x03, 0xFFFFFFFF, one, { " abcd", " ef" }), invalid },
        { "record count 0 with data", makeTable(0x03, 0, one, { " abcd" }), QString() },
        { "no fields", makeTable(0x03, 5, {}, { " ", " " }), QString() },
        { "header length below 32", makeTable(0x03, 5, one, { " abcd" }, 8), QString() },
    };
    for (const auto &c : cases)
        EXPECT_EQ(failureOf(c.bytes), c.failure) << c.what;

    QByteArray none = makeTable(0x03, 7, {}, { " " });
    QBuffer buffer(&none);
    buffer.open(QIODevice::ReadOnly);
    DbfReader table(&buffer, nullptr);
    EXPECT_EQ(table.fieldCount(), 0);
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.endOfTable());
}

TEST(DBFFile, EmptyUnopenableAndUnreadableFiles)
{
    QByteArray empty;
    QBuffer buffer(&empty);
    buffer.open(QIODevice::ReadOnly);
    DbfReader table(&buffer, nullptr);
    EXPECT_FALSE(table.isOpen());
    EXPECT_EQ(table.fieldCount(), -1);
    EXPECT_EQ(table.fieldType(0), 0);
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.endOfTable());

    try {
        DbfReader missing(QDir::tempPath() + "/no-such-table-here.dbf");
        FAIL() << "opened";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "File open error");
    }
    UnreadableDevice device;
    device.open(QIODevice::ReadOnly);
    try {
        DbfReader unreadable(&device, nullptr);
        FAIL() << "read";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "File read error!");
    }
}

TEST(DBFFile, DatabaseContainerOpenedByItsName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Visual FoxPro: binary memo pointers, the memo in ".DCT" beside the container.
    QByteArray record(" ");
    record += "OBJ1";
    record += QByteArray::fromHex("01000000");
    QFile dbc(dir.path() + "/Sales.DBC");
    ASSERT_TRUE(dbc.open(QIODevice::WriteOnly));
    dbc.write(makeTable(0x30, 1, { { "NAME", 'C', 4 }, { "PROPS", 'M', 4 } }, { record }));
    dbc.close();
    QByteArray memo(64, '\0');
    qToBigEndian<quint16>(64, memo.data() + 6);
    memo += QByteArray::fromHex("00000001 0000000a") + "properties";
    QFile dct(dir.path() + "/Sales.DCT");
    ASSERT_TRUE(dct.open(QIODevice::WriteOnly));
    dct.write(memo);
    dct.close();

    DbfReader table(dir.path() + "/Sales.DBC");
    EXPECT_EQ(readAll(table).rows, (QList<QStringList> { { "OBJ1", "properties" } }));
}

TEST(DBFFile, MemoBlocksAreReadOnceAndBounded)
{
    // Records that all point at one memo read it once.
    const int records = 2000;
    QList<QByteArray> rows;
    for (int i = 0; i < records; ++i)
        rows << " 1         ";
    QByteArray table = makeTable(0x83, records, { { "MEMO", 'M', 10 } }, rows);
    const QByteArray header(512, '\0'); // no next free block given
    QByteArray memo = header + QByteArray(20000, 'A'); // and no end mark
    {
        QBuffer tableDevice(&table);
        CountingBuffer memoDevice(&memo);
        tableDevice.open(QIODevice::ReadOnly);
        memoDevice.open(QIODevice::ReadOnly);
        DbfReader reader(&tableDevice, &memoDevice);
        const ReadTable read = readAll(reader);
        ASSERT_EQ(read.rows.size(), records);
        for (const QStringList &row : read.rows)
            ASSERT_EQ(row[0], QString(20000, 'A'));
        EXPECT_LT(memoDevice.bytesRead, 2 * memo.size());
    }

    // A memo without its end mark ends at the first free block the header
    // names, or after 64 KB when the header names none past it.
    const struct
    {
        quint32 nextFreeBlock;
        qsizetype memoBytes;
        qsizetype expected;
    } cases[] = {
        { 0, 200000, 65536 }, { 1, 200000, 65536 }, // names this very block: no bound from it
        { 3, 200000, 1024 }, { 3, 700, 700 }, // the end of the file comes first
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.nextFreeBlock);
        QByteArray one = makeTable(0x83, 1, { { "MEMO", 'M', 10 } }, { " 1         " });
        QByteArray dbt(512, '\0');
        qToLittleEndian<quint32>(c.nextFreeBlock, dbt.data());
        dbt += QByteArray(c.memoBytes, 'B');
        QBuffer tableDevice(&one), memoDevice(&dbt);
        tableDevice.open(QIODevice::ReadOnly);
        memoDevice.open(QIODevice::ReadOnly);
        DbfReader reader(&tableDevice, &memoDevice);
        EXPECT_EQ(readAll(reader).rows.value(0).value(0).size(), c.expected);
    }
}
