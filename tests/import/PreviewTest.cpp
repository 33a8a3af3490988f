// kestra-cli preview, run as operators and other tools run it: the readers'
// records as tab-separated UTF-8 lines.

#include "tests/import/ReaderTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

class Preview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_cli = QCoreApplication::applicationDirPath() + "/../../app/kestra-cli";
        if (!QFileInfo(m_cli).isExecutable())
            GTEST_FAIL() << "kestra-cli is not built next to the tests (" << qPrintable(m_cli) << "): build the kestra-cli target";
        ASSERT_TRUE(m_dir.isValid());
    }

    CliRun preview(const QStringList &args, const QString &locale = QStringLiteral("fr_FR.UTF-8"))
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", locale);
        process.setProcessEnvironment(env);
        process.start(m_cli, QStringList { "preview" } + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QString m_cli;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Preview, DelimitedText)
{
    const CliRun run = preview({ Fixtures + "text/clients.csv", "--delimiter", ";", "--skip", "1" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
        "C1\tDupont; Fils\t12,5\n"
        "C2\tsay \"hi\"\t3\n"
        "C3\tx\"y\t-1\n"
        "C4\ta\t7\n");

    // Tabs, backslashes and line breaks inside values are escaped.
    const QString escapes = write("escapes.csv", "'a\tb'|c\\d|'x\ry'\n");
    EXPECT_EQ(preview({ escapes, "--delimiter", "|", "--quote", "'" }).out, "a\\tb\tc\\\\d\txy\n");
    const QString tabs = write("tabs.txt", "1\t\"2\t3\"\n");
    EXPECT_EQ(preview({ tabs, "--kind", "csv", "--delimiter", "TAB", "--quote", "#0" }).out, "1\t\"2\t3\"\n");
}

TEST_F(Preview, DefaultDelimiterFollowsTheLocale)
{
    const QString file = write("mixed.csv", "a,b;c\n");
    EXPECT_EQ(preview({ file }, "fr_FR.UTF-8").out, "a,b\tc\n");
    EXPECT_EQ(preview({ file }, "en_US.UTF-8").out, "a\tb;c\n");
}

TEST_F(Preview, FixedWidthText)
{
    const CliRun run = preview({ Fixtures + "text/clients.txt" });
    EXPECT_EQ(run.exitCode, 0);
    // The blank line is left out; Ctrl-Z ends the file.
    EXPECT_EQ(run.out, "C1  Dupont    00012\nC2  Martin    00003\nC3  Ben Ali   00100\n");
    EXPECT_EQ(preview({ Fixtures + "text/clients.txt", "--skip", "2" }).out, "C3  Ben Ali   00100\n");
}

TEST_F(Preview, DBaseTable)
{
    const CliRun run = preview({ Fixtures + "dbf/people.dbf", "--skip", "1" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(run.out,
        "#\tNAME:C:10:0\tAMOUNT:N:8:2\tBORN:D:8:0\tOK:L:1:0\tNOTE:M:10:0\n"
        "*\tBeta\t3.00\t\tF\tsingle end mark\x1Ajunk\n"
        "\tGamma\t\t19991301\t?\t\n"
        "\tDelta\t-1.25\t20000229\tt\tlast memo\n"
        "\tEpsilon\t0.00\t20240101\tN\t\n");
    const QString first = preview({ Fixtures + "dbf/people.dbf" }).out.section('\n', 1, 1);
    EXPECT_EQ(first, "\tAlpha\t12.50\t20081231\tT\t" + QString(500, 'A') + "\\r\\n" + QString(510, 'B') + QString(300, 'C'));
}

TEST_F(Preview, XmlDataPacket)
{
    const CliRun run = preview({ Fixtures + "xml/packet.xml", "--skip", "2" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
        "#\tCode\tName\tAmount\n"
        "C3\ta < b\t\n"
        "C4\tsay \"hi\"\t-1\n"
        "C5\t><\t7\n");
}

TEST_F(Preview, UnreadableFilesGiveTheReadersMessage)
{
    const struct
    {
        QString file;
        QString message;
    } cases[] = {
        { m_dir.filePath("none.dbf"), "File open error\n" },
        { m_dir.filePath("none.xml"), "File " + m_dir.filePath("none.xml") + " not found\n" },
        { write("short.dbf", "\x03\x01"), "Table file is invalid!\n" },
        { write("text.xml", "<?xml version=\"1.0\"?><DATAPACKET>text</DATAPACKET>"), "Unexpected symbol t at position 34\n" },
    };
    for (const auto &c : cases) {
        const CliRun run = preview({ c.file });
        EXPECT_EQ(run.exitCode, 1) << qPrintable(c.file);
        EXPECT_EQ(run.err, c.message);
    }
    const CliRun missing = preview({ m_dir.filePath("none.csv") });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty());

    // Records read before the damage are shown, then the message: here the
    // header (193 bytes) and two whole records of 38 bytes.
    QFile people(Fixtures + "dbf/people.dbf");
    ASSERT_TRUE(people.open(QIODevice::ReadOnly));
    const QString cut = write("cut.dbf", people.readAll().left(193 + 38 * 2 + 10));
    const CliRun partial = preview({ cut });
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_EQ(partial.err, "Table file is invalid!\n");
    EXPECT_EQ(partial.out.count('\n'), 3);
}

// Workbooks that once made the .xlsx reader gather 100 MB before refusing
// a text, or place data whose cell reference names no cell of a sheet, as
// fuzzing found them: each is refused with the reader's message.
TEST_F(Preview, HostileWorkbooksAreRefusedWithTheReadersMessage)
{
    const QString regressions = Fixtures + "../../fuzz/regressions/xls/";
    const struct
    {
        const char *file;
        QString message;
    } cases[] = {
        { "xlsx-inline-text-100mb", "cannot be imported: cell A1 of sheet S1 holds more than 65535 characters" },
        { "xlsx-shared-string-100mb", "is damaged: shared string 0 holds more than 65535 characters" },
        { "xlsx-ref-row-overflow", "cannot be imported: sheet S1 holds data in cell A99999999999, beyond row 65536 or column IV" },
        { "xlsx-ref-column-overflow", "cannot be imported: sheet S1 holds data in cell ZZZZZZZZZZZZZZZ1, beyond row 65536 or column IV" },
    };
    for (const auto &c : cases) {
        const QString file = regressions + QLatin1String(c.file);
        ASSERT_TRUE(QFileInfo::exists(file)) << c.file;
        const CliRun run = preview({ file });
        EXPECT_EQ(run.exitCode, 1) << c.file;
        EXPECT_EQ(run.err, "File " + file + " " + c.message + "\n") << c.file;
        EXPECT_EQ(run.out, QString()) << c.file;
    }
}

TEST_F(Preview, DateFormatNamingItselfIsRefused)
{
    for (const char *format : { "c", "ddddd", "dd/mm ddddd" }) {
        const CliRun run = preview({ Fixtures + "xls/cells.xls", "--date-format", format });
        EXPECT_EQ(run.exitCode, 2) << format;
        EXPECT_EQ(run.err, QStringLiteral("Date or time format \"%1\" refers to itself\n").arg(QLatin1String(format)));
        EXPECT_EQ(run.out, QString());
    }
}

TEST_F(Preview, LongDelimitedLineIsWrittenFieldByField)
{
    const QString file = write("long.csv", "a;b\n" + QByteArray(2000000, ';') + "x\n");
    const CliRun run = preview({ file, "--delimiter", ";" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "a\tb\n" + QString(2000000, '\t') + "x\n");
}

// The monthly clients as a bank or a supplier sends them: UTF-8, with and
// without a byte-order mark, read as UTF-8 when the mark or --encoding says
// so and as the single-byte code page otherwise.
TEST_F(Preview, Utf8TextWithAndWithoutAMark)
{
    const QByteArray line = "1;Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale\n";
    const QString marked = write("marked.csv",
        "\xEF\xBB\xBF"
        "CODE;NOM\n"
            + line);
    const QString bare = write("bare.csv", "CODE;NOM\n" + line);
    const QString oem = write("oem.txt", "Caf\x82\n");
    EXPECT_EQ(preview({ marked, "--delimiter", ";" }).out, QStringLiteral("CODE\tNOM\n1\tSociété Générale\n"));
    EXPECT_EQ(preview({ bare, "--delimiter", ";", "--encoding", "utf-8" }).out, QStringLiteral("CODE\tNOM\n1\tSociété Générale\n"));
    EXPECT_EQ(preview({ bare, "--delimiter", ";", "--skip", "1" }).out, QStringLiteral("1\tSociÃ©tÃ© GÃ©nÃ©rale\n"));
    EXPECT_EQ(preview({ oem, "--encoding", "oem-850" }).out, QStringLiteral("Café\n"));
    const CliRun wrong = preview({ bare, "--encoding", "latin9" });
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.err, QStringLiteral("Argument incorrect : latin9\n"));
}

// Workbooks of every format, whatever their names, in the one output form.
TEST_F(Preview, WorkbooksOfEveryFormat)
{
    const CliRun xls = preview({ Fixtures + "wizard/clients.xls" });
    ASSERT_EQ(xls.exitCode, 0) << qPrintable(xls.err);
    EXPECT_TRUE(xls.out.startsWith(QStringLiteral("#\tClients\tFeuil1\tTrous\n"))) << qPrintable(xls.out.left(80));
    QFile xlsx(Fixtures + "wizard/clients.xlsx");
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    const QString renamed = write("clients.dat", xlsx.readAll());
    for (const QString &file : { Fixtures + "wizard/clients.xlsx", Fixtures + "wizard/clients.ods", renamed }) {
        const CliRun run = preview({ file });
        EXPECT_EQ(run.exitCode, 0) << qPrintable(file) << qPrintable(run.err);
        EXPECT_EQ(run.out, xls.out) << qPrintable(file);
    }
    const CliRun ranges = preview({ Fixtures + "wizard/clients.ods", "--ranges", "[Clients]E2-E4" });
    EXPECT_EQ(ranges.out, preview({ Fixtures + "wizard/clients.xls", "--ranges", "[Clients]E2-E4" }).out);
    EXPECT_EQ(ranges.out.count('\n'), 3);

    const CliRun damaged = preview({ write("damaged.xlsx", "PK\x03\x04 truncated") });
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err, "File " + m_dir.filePath("damaged.xlsx") + " is damaged: its zip container cannot be read\n");
}
