#include "import/sources/workbook/WorkbookBuilder.h"
#include "import/sources/workbook/WorkbookFile.h"

#include "XlsTestStream.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "tests/import/ReaderTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <malloc.h>

namespace {

using S = XlsTestStream;

QString fixture(const char *name)
{
    return QStringLiteral(KESTRA_FIXTURES_DIR "/xls/") + QLatin1String(name);
}

// The texts below are written with these settings in force.
class XlsReader : public ::testing::Test
{
protected:
    ScopedFormatSettings m_formats { readerTestFormats() };
};

// The message of a failed open ("" when it opened); a failed open leaves the
// file closed.
QString openError(const QByteArray &bytes)
{
    WorkbookFile file;
    try {
        file.openBuffer(bytes);
    } catch (const ImportError &e) {
        EXPECT_FALSE(file.isOpened());
        return e.text();
    }
    EXPECT_TRUE(file.isOpened());
    return QString();
}

bool isReaderMessage(const QString &text)
{
    static const QRegularExpression known(
        QStringLiteral("^(File name is not defined|File .* does not exist|File .* is not an Excel Workbook"
                       "|Error reading Excel records\\. File invalid|File is saved with an invalid Excel version"
                       "|Error reading record|Record with ID 0x[0-9a-f]+ is invalid|Invalid Column \\(\\d+\\)"
                       "|Formula at Row \\d+, column \\d+ is not supported\\. Token Id: 0x[ 0-9a-f]+)$"));
    return known.match(text).hasMatch();
}

// A workbook of one sheet "Feuil1" whose globals are given.
QByteArray oneSheet(const std::function<void(S &)> &cells, const QStringList &sst = {}, const QList<int> &xfFormats = { 0 },
    const QList<QPair<int, QString>> &formats = {}, bool dates1904 = false)
{
    S s;
    s.globals({ QStringLiteral("Feuil1") }, sst, xfFormats, formats, dates1904).beginSheet();
    cells(s);
    return s.eof().bytes();
}

// Bytes the allocator has handed out and not taken back.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct Opened
{
    WorkbookFile file;
    explicit Opened(const QByteArray &bytes) { file.openBuffer(bytes); }
    XlsWorkSheet *sheet(int i = 0) { return file.workSheet(i); }
};

} // namespace

// ---------------------------------------------------------------- a workbook LibreOffice wrote

TEST_F(XlsReader, LibreOfficeWorkbookCellsAndTexts)
{
    const QByteArray bytes = fileBytes(fixture("cells.xls"));
    ASSERT_FALSE(bytes.isEmpty());
    // The records the cases below stand on are really in the file.
    const QMap<quint16, int> counts = S::recordCounts(Xls::workbookStream(bytes));
    EXPECT_EQ(counts.value(XlsRecordId::Sst), 1);
    EXPECT_GE(counts.value(XlsRecordId::Continue), 2);
    EXPECT_GE(counts.value(XlsRecordId::MulRk), 1);
    EXPECT_GE(counts.value(XlsRecordId::MulBlank), 1);
    EXPECT_GE(counts.value(XlsRecordId::ShrFmla), 1);
    EXPECT_GE(counts.value(XlsRecordId::BoolErr), 2);

    WorkbookFile file;
    file.setFileName(fixture("cells.xls"));
    file.open();
    ASSERT_EQ(file.workSheetCount(), 3);
    EXPECT_EQ(file.workSheetName(0), QStringLiteral("Données"));
    EXPECT_EQ(file.workSheetName(1), QStringLiteral("Feuil2"));
    EXPECT_EQ(file.workSheetName(2), QStringLiteral("Vide"));
    EXPECT_EQ(file.workSheetIndex(QStringLiteral("DONNÉES")), 0);
    EXPECT_EQ(file.workSheetIndex(QStringLiteral("feuil2")), 1);
    EXPECT_EQ(file.workSheetIndex(QStringLiteral("Feuil9")), -1);

    QString longLatin, longGreek;
    for (int i = 0; i < 360; ++i)
        longLatin += QStringLiteral("Ligne %1 du long texte; ").arg(i, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < 220; ++i)
        longGreek += QStringLiteral("Κείμενο %1 αλφα βήτα; ").arg(i, 3, 10, QLatin1Char('0'));

    struct Case
    {
        const char *cell;
        const char *kind;
        QString text;
    };
    const Case cases[] = {
        { "B1", "string", QStringLiteral("Bonjour") },
        { "B2", "string", QStringLiteral("Gabès Ñandú") },
        { "B3", "string", QStringLiteral("Ελληνικά") },
        { "B4", "string", longLatin }, // over CONTINUE records, 8-bit
        { "B5", "string", longGreek }, // over CONTINUE records, UTF-16
        { "B6", "number", QStringLiteral("42") },
        { "B7", "number", QStringLiteral("-17") },
        { "B8", "number", QStringLiteral("12,5") },
        { "B9", "number", QStringLiteral("0,01") },
        { "B10", "number", QStringLiteral("1E20") },
        { "B11", "number", QStringLiteral("1,5E-9") },
        { "B12", "number", QStringLiteral("3,14159265358979") },
        { "B13", "datetime", QStringLiteral("15/03/2024") }, // dd/mm/yyyy
        { "B14", "datetime", QStringLiteral("15/03/2024") }, // yyyy-mm-dd: the settings' date format wins
        { "B15", "datetime", QStringLiteral("15/03/2024 13:45:30") },
        { "B16", "datetime", QStringLiteral("13:45:30") },
        { "B17", "number", QStringLiteral("-1234,5") }, // #,##0.00;[RED]-#,##0.00
        { "B18", "boolean", QStringLiteral("true") },
        { "B19", "boolean", QStringLiteral("false") },
        { "B20", "formula", QStringLiteral("84") },
        { "B22", "formula", QStringLiteral("True") },
        { "B23", "formula", QString() }, // =1/0
        { "B24", "formula", QStringLiteral("45367") }, // a date by its format, a number by its formula
        { "B25", "number", QStringLiteral("1") }, // MULRK
        { "E25", "number", QStringLiteral("4,5") },
        { "F25", "number", QStringLiteral("-5") },
        { "B26", "other", QString() }, // MULBLANK
        { "E26", "other", QString() },
        { "F26", "number", QStringLiteral("7") },
        { "C27", "formula", QStringLiteral("1") }, // shared formula =B27*10+1
        { "C30", "formula", QStringLiteral("31") },
    };
    XlsWorkSheet *sheet = file.workSheet(0);
    for (const Case &c : cases) {
        const QString name = QLatin1String(c.cell);
        const int col = name[0].unicode() - 'A';
        const int row = name.mid(1).toInt() - 1;
        BiffCell *cell = sheet->cell(row, col);
        ASSERT_NE(cell, nullptr) << c.cell;
        EXPECT_EQ(cell->name(), name);
        EXPECT_EQ(cell->kindName(), QLatin1String(c.kind)) << c.cell;
        EXPECT_EQ(cell->text(), c.text) << c.cell;
    }
    EXPECT_EQ(sheet->cell(12, 1)->dateTime(), 45366.0);

    // The shared formula's relative reference, made absolute for C28: B28.
    auto *c28 = sheet->cell(27, 2)->asFormula();
    ASSERT_TRUE(c28->refersToSharedFormula());
    EXPECT_EQ(c28->tokens().mid(2, 5).toHex(), QByteArray("441b0001c0"));

    // Extents count blank formatted cells.
    int lo = 0, hi = 0;
    ASSERT_TRUE(sheet->rowExtent(25, lo, hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 5);
    ASSERT_TRUE(sheet->colExtent(2, lo, hi));
    EXPECT_EQ(lo, 24);
    EXPECT_EQ(hi, 29);
    EXPECT_FALSE(sheet->colExtent(7, lo, hi));

    XlsWorkSheet *second = file.workSheet(1);
    EXPECT_EQ(second->cellText(11, 2), QStringLiteral("12,25"));
    EXPECT_EQ(second->cellText(11, 0), QStringLiteral("r12a"));
    EXPECT_EQ(second->cell(10, 0), nullptr); // an empty row inside the used area
    EXPECT_EQ(second->cell(7, 1), nullptr); // an empty cell inside the used area
    EXPECT_EQ(file.workSheet(2)->cellCount(), 0);

    file.close();
    EXPECT_FALSE(file.isOpened());
    EXPECT_EQ(file.workSheetCount(), 0);
    file.open(); // again after close
    EXPECT_EQ(file.workSheet(0)->cellText(0, 1), QStringLiteral("Bonjour"));
}

TEST_F(XlsReader, EmbeddedChartStopsTheOpen)
{
    const QByteArray stream = Xls::workbookStream(fileBytes(fixture("embedded-chart.xls")));
    // The chart's substream sits inside the worksheet's.
    EXPECT_EQ(S::recordCounts(stream).value(XlsRecordId::Bof), 3);
    WorkbookFile file;
    file.setFileName(fixture("embedded-chart.xls"));
    try {
        file.open();
        FAIL() << "opened";
    } catch (const WorkbookError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Error reading Excel records. File invalid"));
    }
    EXPECT_FALSE(file.isOpened());
}

// ---------------------------------------------------------------- values and texts

TEST_F(XlsReader, RkValues)
{
    const struct
    {
        quint32 rk;
        double value;
    } cases[] = {
        { 0x00000003, 0.0 }, // integer 0 / 100
        { 0x00000192, 100.0 }, // integer 100
        { 0x00000193, 1.0 }, // 100 / 100
        { 0xFFFFFFEA, -6.0 }, // negative integer
        { 0x3FF00000, 1.0 }, // high bits of a double
        { 0x3FF00001, 0.01 }, // 1.0 / 100
        { 0xC0240000, -10.0 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(Xls::decodeRk(c.rk), c.value) << std::hex << c.rk;

    Opened wb(oneSheet([](S &s) { s.rk(0, 0, 0, 0x00000193).rk(0, 1, 0, 0x3FF00001); }));
    EXPECT_EQ(wb.sheet()->cellText(0, 0), QStringLiteral("1"));
    EXPECT_EQ(wb.sheet()->cellText(0, 1), QStringLiteral("0,01"));
}

TEST_F(XlsReader, DateFormatTest)
{
    const struct
    {
        const char *format;
        bool date;
    } strings[] = {
        { "dd/mm/yyyy", true },
        { "yyyy\\-mm\\-dd", true },
        { "hh:mm", true },
        { "[h]:mm:ss", true },
        { "[$-40C]d mmmm yyyy", true },
        { "General", false },
        { "0.00", false },
        { "#,##0.00;[Red]-#,##0.00", false }, // "d" of a colour name is no day
        { "\"Day \"0", false },
        { "0\\d", false },
        { "#,##0 _D_H", false },
    };
    for (const auto &c : strings)
        EXPECT_EQ(Xls::isDateFormatString(QString::fromLatin1(c.format)), c.date) << c.format;

    // Through the XF: a FORMAT record's string, else the built-in number.
    const QList<int> xfFormats = { 0, 14, 22, 45, 164, 165, 3 };
    const QList<QPair<int, QString>> formats = { { 164, QStringLiteral("#,##0.00;[Red]-#,##0.00") }, { 165, QStringLiteral("d-mmm") } };
    Opened wb(oneSheet(
        [](S &s) {
            for (int xf = 0; xf < 7; ++xf)
                s.number(0, xf, xf, 45366.0);
        },
        {}, xfFormats, formats));
    const char *kinds[] = { "number", "datetime", "datetime", "number", "number", "datetime", "number" };
    for (int xf = 0; xf < 7; ++xf)
        EXPECT_EQ(wb.sheet()->cell(0, xf)->kindName(), QLatin1String(kinds[xf])) << xf;
    EXPECT_EQ(wb.sheet()->cellText(0, 1), QStringLiteral("15/03/2024"));
    EXPECT_EQ(wb.sheet()->cellText(0, 2), QStringLiteral("15/03/2024"));
    EXPECT_EQ(wb.sheet()->cellText(0, 4), QStringLiteral("45366"));
}

TEST_F(XlsReader, CellTextsByKind)
{
    const QByteArray date = S::numberResult(45366);
    Opened wb(oneSheet(
        [&](S &s) {
            s.number(0, 0, 1, 45366.0) // built-in 14
                .number(1, 0, 1, 0.0) // a date-formatted 0 is a date
                .number(2, 0, 1, 0.5) // no whole part: the time alone
                .number(3, 0, 1, 45366.25)
                .formula(4, 0, 1, date) // formula results are never dates
                .boolErr(5, 0, 0, 1, false)
                .boolErr(6, 0, 0, 0, false)
                .boolErr(7, 0, 0, 0x07, true)
                .boolErr(8, 0, 0, 0x2A, true)
                .boolErr(9, 0, 0, 0x99, true) // unknown code
                .formula(10, 0, 0, S::specialResult(1, 1))
                .formula(11, 0, 0, S::specialResult(1, 0))
                .formula(12, 0, 0, S::specialResult(0))
                .string(QStringLiteral("résultat"))
                .formula(13, 0, 0, S::specialResult(0)) // a text result without its STRING
                .formula(14, 0, 0, S::specialResult(2, 0x07)) // error
                .labelSst(15, 0, 0, 1)
                .label(16, 0, 0, QStringLiteral("écrit en LABEL"))
                .blank(17, 0, 1)
                .number(18, 0, 0, -0.000123)
                .number(19, 0, 0, 123456789012345678.0)
                .number(20, 0, 1, 1e300); // beyond any date: the number
        },
        { QStringLiteral("zéro"), QStringLiteral("un") }, { 0, 14 }));
    const char *texts[] = { "15/03/2024", "30/12/1899", "12:00:00", "15/03/2024 06:00:00", "45366", "true", "false", "#DIV/0!", "#N/A",
        "#NULL!", "True", "False", "résultat", "", "", "un", "écrit en LABEL", "", "-0,000123", "1,23456789012346E17", "1E300" };
    for (int row = 0; row < int(std::size(texts)); ++row)
        EXPECT_EQ(wb.sheet()->cellText(row, 0), QString::fromUtf8(texts[row])) << row;
    EXPECT_EQ(wb.sheet()->cell(16, 0)->kind(), XlsCellKind::String);
    EXPECT_EQ(wb.sheet()->cell(7, 0)->variant(), QVariant(QStringLiteral("#DIV/0!")));
    EXPECT_EQ(wb.sheet()->cell(5, 0)->variant(), QVariant(true));
    EXPECT_TRUE(wb.sheet()->cell(5, 0)->boolean());
    EXPECT_FALSE(wb.sheet()->cell(14, 0)->variant().isValid());
    EXPECT_EQ(wb.sheet()->cell(15, 0)->variant(), QVariant(QStringLiteral("un")));
}

TEST_F(XlsReader, NumberTextsMatchTheGeneralFormat)
{
    // The reader's quick path gives exactly floatToStr's text.
    Opened wb(oneSheet([](S &s) {
        quint64 x = 88172645463325252ull;
        for (int i = 0; i < 2000; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            const double v = double(qint64(x % 2000000001ull) - 1000000000) / std::pow(10.0, double(x % 23));
            s.number(i, 0, 0, i % 3 == 0 ? std::trunc(v) : v);
        }
    }));
    for (int i = 0; i < 2000; ++i) {
        BiffCell *c = wb.sheet()->cell(i, 0);
        ASSERT_EQ(c->text(), floatToStr(c->number())) << i;
    }
}

TEST_F(XlsReader, DateSystem1904)
{
    Opened wb(oneSheet([](S &s) { s.number(0, 0, 1, 44269.0).number(1, 0, 1, 0.75).number(2, 0, 0, 44269.0); }, {}, { 0, 14 }, {}, true));
    EXPECT_EQ(wb.sheet()->cellText(0, 0), QStringLiteral("15/03/2025"));
    EXPECT_EQ(wb.sheet()->cellText(1, 0), QStringLiteral("18:00:00"));
    EXPECT_EQ(wb.sheet()->cellText(2, 0), QStringLiteral("44269")); // a plain number is not shifted
    EXPECT_EQ(wb.sheet()->cell(0, 0)->dateTime(), 45731.0);
}

TEST_F(XlsReader, MulRkAndMulBlankExpand)
{
    Opened wb(oneSheet([](S &s) {
        s.mulRk(3, 1, { { 0, 0x192 }, { 1, 0x193 }, { 0, 0x3FF00000 }, { 1, 0x00000003 } }).mulBlank(4, 2, { 0, 1, 0 }).rk(3, 6, 0, 0x192);
    }));
    XlsWorkSheet *sheet = wb.sheet();
    const char *texts[] = { "100", "1", "1", "0" };
    for (int col = 1; col <= 4; ++col) {
        BiffCell *c = sheet->cell(3, col);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->id(), XlsRecordId::Rk);
        EXPECT_EQ(c->xfIndex(), (col - 1) % 2);
        EXPECT_EQ(c->text(), QLatin1String(texts[col - 1]));
    }
    EXPECT_EQ(sheet->cell(3, 5), nullptr);
    int lo, hi;
    ASSERT_TRUE(sheet->rowExtent(3, lo, hi));
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 6);
    ASSERT_TRUE(sheet->rowExtent(4, lo, hi));
    EXPECT_EQ(lo, 2);
    EXPECT_EQ(hi, 4);
    EXPECT_EQ(sheet->cell(4, 3)->xfIndex(), 1);
    EXPECT_EQ(sheet->cell(4, 3)->kind(), XlsCellKind::Other);
}

TEST_F(XlsReader, LookupsSortLazilyAndCheckBounds)
{
    Opened wb(oneSheet([](S &s) {
        s.number(2, 5, 0, 3).number(2, 1, 0, 1).number(2, 3, 0, 2).number(0, 0, 0, 9).number(2, 3, 0, 4); // C: a later record wins
    }));
    XlsWorkSheet *sheet = wb.sheet();
    EXPECT_EQ(sheet->cellText(2, 1), QStringLiteral("1"));
    EXPECT_EQ(sheet->cellText(2, 3), QStringLiteral("4"));
    EXPECT_EQ(sheet->cellText(2, 5), QStringLiteral("3"));
    EXPECT_EQ(sheet->rows().row(2)->cell(0)->column(), 1); // enumerated in column order
    EXPECT_EQ(sheet->cell(1, 0), nullptr); // a row without cells
    EXPECT_EQ(sheet->cell(500, 200), nullptr); // beyond the used area
    EXPECT_EQ(sheet->cellText(2, 2), QString());

    const struct
    {
        int row, col;
        const char *message;
    } bad[] = { { 70000, 0, "Invalid Row (70000)" }, { -1, 0, "Invalid Row (-1)" }, { 0, 256, "Invalid Column (256)" },
        { 0, -3, "Invalid Column (-3)" } };
    for (const auto &b : bad) {
        try {
            sheet->cell(b.row, b.col);
            ADD_FAILURE() << b.message;
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), QLatin1String(b.message));
        }
    }
}

TEST_F(XlsReader, AccessorsAKindDoesNotSupport)
{
    Opened wb(oneSheet([](S &s) { s.labelSst(6, 1, 0, 0).blank(0, 27, 0).number(1, 0, 0, 2); }, { QStringLiteral("x") }));
    BiffCell *label = wb.sheet()->cell(6, 1);
    auto message = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const ImportError &e) {
            return e.text();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { label->number(); }), QStringLiteral("Cannot access cell 'B7' as type Float"));
    EXPECT_EQ(message([&] { label->boolean(); }), QStringLiteral("Cannot access cell 'B7' as type Boolean"));
    EXPECT_EQ(message([&] { label->dateTime(); }), QStringLiteral("Cannot access cell 'B7' as type DateTime"));
    EXPECT_EQ(message([&] { label->setText(QStringLiteral("y")); }), QStringLiteral("Cannot access cell 'B7' as type String"));
    EXPECT_EQ(message([&] { wb.sheet()->cell(0, 27)->setVariant(1); }), QStringLiteral("Cannot access cell 'AB1' as type Variant"));
    BiffCell *number = wb.sheet()->cell(1, 0);
    number->setNumber(2.5);
    EXPECT_EQ(number->text(), QStringLiteral("2,5"));
}

// Every cell kind against every accessor: each kind answers with its own
// reading of its bytes or refuses, whichever record kind it was made as.
TEST_F(XlsReader, EachCellKindAnswersItsOwnAccessors)
{
    Opened wb(oneSheet(
        [](S &s) {
            s.number(0, 0, 0, 2.5)
                .rk(1, 0, 0, 0x00000192) // the integer 100
                .boolErr(2, 0, 0, 1, false)
                .boolErr(3, 0, 0, 7, true)
                .labelSst(4, 0, 0, 0)
                .label(5, 0, 0, QStringLiteral("lab"))
                .blank(6, 0, 0)
                .formula(7, 0, 0, S::numberResult(4));
        },
        { QStringLiteral("sst") }));
    auto outcome = [](const std::function<QString()> &f) {
        try {
            return f();
        } catch (const ImportError &e) {
            return e.text().section(QLatin1Char(' '), -1); // the type word of the refusal
        }
    };
    auto number = [](double v) { return QString::number(v); };
    const struct
    {
        int row;
        const char *kindName;
        const char *text;
        const char *number;
        const char *boolean;
        const char *dateTime;
        const char *setNumber;
        const char *setBoolean;
        const char *setDateTime;
    } cases[] = {
        { 0, "number", "2,5", "2.5", "Boolean", "2.5", "set", "Boolean", "set" },
        { 1, "number", "100", "100", "Boolean", "100", "Float", "Boolean", "DateTime" },
        { 2, "boolean", "true", "Float", "true", "DateTime", "Float", "set", "DateTime" },
        { 3, "boolean", "#DIV/0!", "Float", "false", "DateTime", "Float", "set", "DateTime" },
        { 4, "string", "sst", "Float", "Boolean", "DateTime", "Float", "Boolean", "DateTime" },
        { 5, "string", "lab", "Float", "Boolean", "DateTime", "Float", "Boolean", "DateTime" },
        { 6, "other", "", "Float", "Boolean", "DateTime", "Float", "Boolean", "DateTime" },
        { 7, "formula", "4", "Float", "Boolean", "DateTime", "Float", "Boolean", "DateTime" },
    };
    for (const auto &c : cases) {
        BiffCell *cell = wb.sheet()->cell(c.row, 0);
        ASSERT_NE(cell, nullptr) << c.row;
        EXPECT_EQ(cell->kindName(), QLatin1String(c.kindName)) << c.row;
        EXPECT_EQ(cell->text(), QString::fromUtf8(c.text)) << c.row;
        EXPECT_EQ(outcome([&] { return number(cell->number()); }), QLatin1String(c.number)) << c.row;
        EXPECT_EQ(outcome([&] { return QVariant(cell->boolean()).toString(); }), QLatin1String(c.boolean)) << c.row;
        EXPECT_EQ(outcome([&] { return number(cell->dateTime()); }), QLatin1String(c.dateTime)) << c.row;
        // The setters last: they change the cell.
        EXPECT_EQ(outcome([&] { return cell->setNumber(1), QStringLiteral("set"); }), QLatin1String(c.setNumber)) << c.row;
        EXPECT_EQ(outcome([&] { return cell->setBoolean(true), QStringLiteral("set"); }), QLatin1String(c.setBoolean)) << c.row;
        EXPECT_EQ(outcome([&] { return cell->setDateTime(1), QStringLiteral("set"); }), QLatin1String(c.setDateTime)) << c.row;
    }
    EXPECT_EQ(wb.sheet()->cell(0, 0)->number(), 1.0);
    EXPECT_TRUE(wb.sheet()->cell(3, 0)->boolean()); // an error cell set to a boolean is one
}

TEST(XlsColumnLetters, Table)
{
    const struct
    {
        int column;
        const char *letters;
    } cases[] = { { 1, "A" }, { 26, "Z" }, { 27, "AA" }, { 52, "AZ" }, { 53, "BA" }, { 256, "IV" } };
    for (const auto &c : cases)
        EXPECT_EQ(Xls::columnLetters(c.column), QLatin1String(c.letters)) << c.column;
    EXPECT_EQ(Xls::cellName(6, 1), QStringLiteral("B7"));
}

// ---------------------------------------------------------------- shared strings over CONTINUE records

TEST_F(XlsReader, SharedStringsCrossContinueRecords)
{
    // String 1 starts in 8-bit characters and goes on in UTF-16 in the next
    // record; string 2 has rich-text runs and a phonetic block that straddle
    // the next boundary.
    QByteArray sst = S::le32(3) + S::le32(3) + S::string16(QStringLiteral("abc"));
    sst += S::le16(6) + char(0x00) + QByteArray("d\xe9j", 3);
    QByteArray cont1 = QByteArray(1, char(0x01)) + S::le16(0x00E0) + S::le16(0x03A9) + S::le16('!');
    cont1 += S::le16(2) + char(0x0C) + S::le16(2) + S::le32(3) + QByteArray("xy") + QByteArray(6, '\x11');
    QByteArray cont2 = QByteArray(2, '\x11') + QByteArray(3, '\x22');
    S s;
    s.bof(0x0005)
        .record(0x00E0, S::le16(0) + S::le16(0) + QByteArray(16, '\0'))
        .record(0x0085, S::le32(0) + QByteArray(2, '\0') + S::string8(QStringLiteral("S")))
        .record(0x00FC, sst)
        .record(0x003C, cont1)
        .record(0x003C, cont2)
        .eof()
        .beginSheet()
        .labelSst(0, 0, 0, 0)
        .labelSst(1, 0, 0, 1)
        .labelSst(2, 0, 0, 2)
        .labelSst(3, 0, 0, 1)
        .eof();
    Opened wb(s.bytes());
    EXPECT_EQ(wb.sheet()->cellText(0, 0), QStringLiteral("abc"));
    EXPECT_EQ(wb.sheet()->cellText(1, 0), QStringLiteral("déjàΩ!"));
    EXPECT_EQ(wb.sheet()->cellText(2, 0), QStringLiteral("xy"));
    const BiffSSTList &table = wb.file.workbook().globals().sst();
    ASSERT_EQ(table.count(), 3);
    EXPECT_TRUE(table.entry(1).wide); // widened
    EXPECT_FALSE(table.entry(0).wide);
    EXPECT_EQ(table.entry(1).refCount, 2u);

    // The same table without its last CONTINUE record runs out of data.
    S cut;
    cut.bof(0x0005).record(0x00FC, sst).record(0x003C, cont1).eof();
    EXPECT_EQ(openError(cut.bytes()), QStringLiteral("Error reading record"));
}

// ---------------------------------------------------------------- containers and failures

TEST_F(XlsReader, CompoundDocumentStreams)
{
    const QByteArray book = oneSheet([](S &s) { s.number(0, 0, 0, 5); });
    Opened wb(S::compoundDocument({ { QStringLiteral("Other"), QByteArray("x") }, { QStringLiteral("Workbook"), book } }));
    EXPECT_EQ(wb.sheet()->cellText(0, 0), QStringLiteral("5"));

    // Only the exact name: an Excel 5 "Book" or another spelling is refused.
    WorkbookFile file;
    file.setFileName(QStringLiteral("ancien.xls"));
    for (const char *name : { "Book", "WorkBook", "BOOK" }) {
        try {
            file.openBuffer(S::compoundDocument({ { QLatin1String(name), book } }));
            ADD_FAILURE() << name;
        } catch (const WorkbookError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("File ancien.xls is not an Excel Workbook"));
        }
    }

    // Files: no name, no file, then a real one.
    file.setFileName(QString());
    EXPECT_THROW(file.open(), WorkbookError);
    const QString missing = QDir::temp().filePath(QStringLiteral("kestra-absent.xls"));
    file.setFileName(missing);
    try {
        file.open();
        ADD_FAILURE();
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File %1 does not exist").arg(missing));
    }
    try {
        WorkbookFile unnamed;
        unnamed.open();
        ADD_FAILURE();
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File name is not defined"));
    }
}

TEST_F(XlsReader, DamagedStreamsFailWithTheirMessages)
{
    const QString invalid = QStringLiteral("Error reading Excel records. File invalid");
    auto sheetWith = [](const std::function<void(S &)> &f) { return oneSheet(f, { QStringLiteral("a") }); };
    const QByteArray good = sheetWith([](S &s) { s.number(0, 0, 0, 1); });
    const QByteArray tokens0x02 = S::le16(5) + QByteArray::fromHex("0200000000");
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        { "empty", QByteArray(), invalid },
        { "zeros", QByteArray(64, '\0'), invalid },
        { "text", QByteArray("Attachment: not a workbook at all"), invalid },
        { "first record no BOF", S().record(0x0022, S::le16(0)).bytes(), invalid },
        { "BIFF5 BOF", S().bof(0x0005, 0x0500).eof().bytes(), QStringLiteral("File is saved with an invalid Excel version") },
        { "truncated record", good.left(good.size() - 3), invalid },
        { "globals without EOF", S().bof(0x0005).record(0x0022, S::le16(0)).bytes(), invalid },
        { "BOF inside globals", S().bof(0x0005).bof(0x0010).eof().eof().bytes(), invalid },
        { "chart sheet", S().globals({ QStringLiteral("G") }).bof(0x0020).record(0x1001, S::le16(0)).eof().bytes(), invalid },
        { "macro sheet", S().globals({ QStringLiteral("M") }).bof(0x0040).eof().bytes(), invalid },
        { "chart inside a sheet", sheetWith([](S &s) { s.number(0, 0, 0, 1).bof(0x0020).eof(); }), invalid },
        { "encrypted", S().bof(0x0005).record(0x002F, S::le16(1)).eof().bytes(), invalid },
        { "sheet without EOF", S().globals({ QStringLiteral("F") }).beginSheet().number(0, 0, 0, 1).bytes(), invalid },
        { "STRING before any formula", sheetWith([](S &s) { s.string(QStringLiteral("x")); }), invalid },
        { "STRING after a number",
            sheetWith([](S &s) { s.formula(0, 0, 0, S::specialResult(0)).number(1, 0, 0, 1).string(QStringLiteral("x")); }), invalid },
        { "string index beyond the table", sheetWith([](S &s) { s.labelSst(0, 0, 0, 1); }), invalid },
        { "cell of 3 bytes", sheetWith([](S &s) { s.record(0x0203, QByteArray(3, '\0')); }),
            QStringLiteral("Record with ID 0x203 is invalid") },
        { "NUMBER without its value", sheetWith([](S &s) { s.record(0x0203, QByteArray(8, '\0')); }),
            QStringLiteral("Record with ID 0x203 is invalid") },
        { "string count beyond the data",
            S().bof(0x0005).record(0x00FC, S::le32(0xFFFFFFFF) + S::le32(0xFFFFFFFF) + S::string16(QStringLiteral("a"))).eof().bytes(),
            QStringLiteral("Error reading record") },
        { "value beyond the last column", sheetWith([](S &s) { s.number(0, 256, 0, 1); }), QStringLiteral("Invalid Column (256)") },
        { "RK beyond the last column", sheetWith([](S &s) {
             s.mulRk(3, 254, { { 0, 0x193 }, { 0, 0x193 }, { 0, 0x193 } });
         }),
            QStringLiteral("Invalid Column (256)") },
        { "token 0x02 in a shared formula", sheetWith([&](S &s) {
             s.formula(0, 0, 0, S::numberResult(1), S::le16(5) + QByteArray::fromHex("0100000000"))
                 .record(0x04BC, QByteArray::fromHex("0000000000000100") + tokens0x02);
         }),
            QStringLiteral("Formula at Row 1, column 1 is not supported. Token Id: 0x 2") },
        { "truncated token in a shared formula", sheetWith([](S &s) {
             s.formula(0, 0, 0, S::numberResult(1), S::le16(5) + QByteArray::fromHex("0100000000"))
                 .record(0x04BC, QByteArray::fromHex("0000000000000100") + S::le16(3) + QByteArray::fromHex("1e01"));
         }),
            QStringLiteral("Record with ID 0x4bc is invalid") },
    };
    for (const auto &c : cases)
        EXPECT_EQ(openError(c.bytes), c.message) << c.what;
    EXPECT_EQ(openError(good), QString());
}

// Every kind with fixed fields opens at the size of its fixed part and is
// refused, by its identifier, one byte short of it: no field is ever read as
// zeros past a record's end.
TEST_F(XlsReader, RecordsShorterThanTheirFixedPartAreRefused)
{
    enum class Where { FirstRecord, Globals, Sheet };
    const QByteArray head = S::le16(0) + S::le16(0) + S::le16(0); // row, column, XF
    const struct
    {
        const char *what;
        quint16 id;
        Where where;
        QByteArray data; // exactly the fixed part
    } cases[] = {
        { "BOF", 0x0809, Where::FirstRecord, S::le16(0x0600) + S::le16(0x0005) },
        { "BOUNDSHEET", 0x0085, Where::Globals, S::le32(0) + QByteArray(2, '\0') + S::string8(QString()) },
        { "XF", 0x00E0, Where::Globals, S::le16(0) + S::le16(0) },
        { "FORMAT", 0x041E, Where::Globals, S::le16(164) + S::string16(QString()) },
        { "SST", 0x00FC, Where::Globals, S::le32(0) + S::le32(0) },
        { "DATEMODE", 0x0022, Where::Globals, S::le16(1) },
        { "BLANK", 0x0201, Where::Sheet, head },
        { "NUMBER", 0x0203, Where::Sheet, head + S::leDouble(2.5) },
        { "RK", 0x027E, Where::Sheet, head + S::le32(0x193) },
        { "BOOLERR", 0x0205, Where::Sheet, head + QByteArray(1, '\1') + QByteArray(1, '\0') },
        { "LABELSST", 0x00FD, Where::Sheet, head + S::le32(0) },
        { "LABEL", 0x0204, Where::Sheet, head + S::string16(QString()) },
        { "FORMULA", 0x0006, Where::Sheet, head + S::numberResult(1) },
        { "SHRFMLA", 0x04BC, Where::Sheet, QByteArray(8, '\0') + S::le16(0) },
        { "MULRK", 0x00BD, Where::Sheet, S::le16(0) + S::le16(0) + S::le16(0) },
        { "MULBLANK", 0x00BE, Where::Sheet, S::le16(0) + S::le16(0) + S::le16(0) },
    };
    auto workbook = [](const auto &c, const QByteArray &data) {
        S s;
        if (c.where == Where::FirstRecord)
            s.record(c.id, data);
        else
            s.bof(0x0005);
        if (c.where == Where::Globals)
            s.record(c.id, data);
        s.record(0x00E0, S::le16(0) + S::le16(0) + QByteArray(16, '\0'))
            .record(0x0085, S::le32(0) + QByteArray(2, '\0') + S::string8(QStringLiteral("F")))
            .record(0x00FC, S::le32(1) + S::le32(1) + S::string16(QStringLiteral("a")))
            .eof()
            .beginSheet();
        if (c.where == Where::Sheet)
            s.record(c.id, data);
        return s.number(1, 0, 0, 7).eof().bytes();
    };
    for (const auto &c : cases) {
        EXPECT_EQ(openError(workbook(c, c.data)), QString()) << c.what << " at its fixed size";
        EXPECT_EQ(openError(workbook(c, c.data.chopped(1))), QString::asprintf("Record with ID 0x%x is invalid", unsigned(c.id)))
            << c.what << " one byte short";
    }
}

TEST_F(XlsReader, SharedFormulaTokensBecomeAbsolute)
{
    // =A1+B1 shared from C1, referred to by C3: relative references move two
    // rows down.
    const QByteArray shared = QByteArray::fromHex("0000020002020002") + S::le16(11) + QByteArray::fromHex("4c0000fec0")
        + QByteArray::fromHex("4c0000ffc0") + QByteArray(1, 0x03);
    Opened wb(oneSheet([&](S &s) {
        s.formula(0, 2, 0, S::numberResult(3), S::le16(5) + QByteArray::fromHex("0100000200")).record(0x04BC, shared);
        s.formula(2, 2, 0, S::numberResult(7), S::le16(5) + QByteArray::fromHex("0100000200"));
        s.formula(4, 0, 0, S::numberResult(1)); // a plain formula keeps its tokens
    }));
    auto *c3 = wb.sheet()->cell(2, 2)->asFormula();
    EXPECT_EQ(c3->tokens().toHex(),
        QByteArray("0b00"
                   "44020000c0"
                   "44020001c0"
                   "03"));
    auto *c1 = wb.sheet()->cell(0, 2)->asFormula();
    EXPECT_EQ(c1->tokens().toHex(),
        QByteArray("0b00"
                   "44000000c0"
                   "44000001c0"
                   "03"));
    EXPECT_EQ(c3->text(), QStringLiteral("7"));
    EXPECT_EQ(wb.sheet()->cell(4, 0)->asFormula()->tokens().toHex(), QByteArray("03001e0100"));
}

TEST_F(XlsReader, FormulasWithoutTheirSharedFormulaKeepTheirResult)
{
    // An array formula refers to an ARRAY record this reader does not keep;
    // the cached result is what the import reads, as for any formula.
    const QByteArray ptgExp = S::le16(5) + QByteArray::fromHex("0107000100");
    Opened wb(oneSheet([&](S &s) {
        s.formula(7, 1, 0, S::numberResult(42), ptgExp);
        s.formula(8, 1, 0, S::specialResult(0), ptgExp).string(QStringLiteral("array text"));
        s.number(9, 1, 0, 5);
    }));
    EXPECT_EQ(wb.sheet()->cellText(7, 1), QStringLiteral("42"));
    EXPECT_EQ(wb.sheet()->cellText(8, 1), QStringLiteral("array text"));
    EXPECT_EQ(wb.sheet()->cellText(9, 1), QStringLiteral("5"));
    EXPECT_EQ(wb.sheet()->cell(7, 1)->asFormula()->tokens(), ptgExp);
}

// A column's cells are the rows' own cell objects, in row order, records at
// one place in the order read; a column gathered once follows later cells.
TEST_F(XlsReader, ColumnsHoldTheRowsCells)
{
    Opened wb(oneSheet([](S &s) { s.number(5, 3, 0, 1).number(1, 0, 0, 2).number(1, 3, 0, 3).number(1, 3, 0, 4).number(3, 1, 0, 5); }));
    XlsWorkSheet *sheet = wb.sheet();
    XlsCol *col = sheet->cols().col(3);
    ASSERT_EQ(col->count(), 3);
    EXPECT_EQ(col->number(), 3);
    EXPECT_EQ(std::make_pair(col->lowest(), col->highest()), std::make_pair(1, 5));
    QStringList texts;
    for (int i = 0; i < col->count(); ++i)
        texts << col->cell(i)->text();
    EXPECT_EQ(texts, QStringList({ QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("1") }));
    EXPECT_EQ(col->find(1), sheet->cell(1, 3)); // the later record, the very object
    EXPECT_EQ(col->find(5), sheet->cell(5, 3));
    EXPECT_EQ(col->find(3), nullptr);
    EXPECT_TRUE(sheet->cols().col(2)->isEmpty());
    EXPECT_TRUE(sheet->cols().col(40)->isEmpty());
    EXPECT_EQ(sheet->cols().count(), 4);

    WorkbookFile file;
    WorkbookBuilder builder(file);
    XlsWorkSheet *built = builder.addWorkSheet(QStringLiteral("B"), false);
    builder.addNumber(built, 4, 0, 0, 10);
    ASSERT_EQ(built->cols().col(0)->count(), 1);
    builder.addNumber(built, 2, 0, 0, 20);
    builder.finish();
    XlsCol *later = built->cols().col(0);
    ASSERT_EQ(later->count(), 2);
    EXPECT_EQ(later->cell(0)->text(), QStringLiteral("20"));
    EXPECT_EQ(later->find(2), built->cell(2, 0));
    int lowest = 0, highest = 0;
    ASSERT_TRUE(built->colExtent(0, lowest, highest));
    EXPECT_EQ(std::make_pair(lowest, highest), std::make_pair(2, 4));
}

// Records do not carry their section: it is known from where they lie, also
// when a sheet's cells fill more than one of the arena's blocks and when a
// BOF, read before its type was known, is given to its section. The rows
// hold their cells by handle, which must find each cell in whichever block
// it lies.
TEST_F(XlsReader, RecordsKnowTheirSection)
{
    S s;
    s.globals({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") }, { QStringLiteral("x") });
    s.beginSheet().number(0, 0, 0, 1).labelSst(0, 1, 0, 0).eof();
    s.beginSheet();
    // 160,000 cells: over two megabytes of records however small a cell is.
    for (int r = 0; r < 8000; ++r)
        for (int c = 0; c < 20; ++c)
            s.rk(r, c, 0, quint32(((r * 20 + c) << 2) | 0x02));
    s.eof();
    s.beginSheet().blank(3, 3, 0).eof();
    Opened wb(s.bytes());
    ASSERT_EQ(wb.file.workSheetCount(), 3);
    XlsWorkbook *workbook = &wb.file.workbook();
    EXPECT_EQ(workbook->globals().bof()->section(), &workbook->globals());
    EXPECT_EQ(workbook->globals().boundSheets().item(2)->section(), &workbook->globals());
    EXPECT_EQ(workbook->globals().boundSheets().item(2)->workbook(), workbook);
    qsizetype checked = 0, wrong = 0, wrongValue = 0;
    for (int i = 0; i < 3; ++i) {
        XlsWorkSheet *sheet = wb.sheet(i);
        EXPECT_EQ(sheet->bof()->section(), sheet) << i;
        EXPECT_EQ(sheet->eof()->section(), sheet) << i;
        for (int r = 0; r < sheet->rows().count(); ++r)
            for (int c = 0; c < sheet->rows().row(r)->count(); ++c) {
                const BiffCell *cell = sheet->rows().row(r)->cell(c);
                wrong += cell->workSheet() != sheet || cell->workbook() != workbook;
                if (i == 1)
                    wrongValue += cell->row() != r || cell->column() != c || cell->number() != r * 20 + c;
                ++checked;
            }
    }
    EXPECT_EQ(checked, 3 + 160000);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(wrongValue, 0);
    EXPECT_EQ(wb.sheet(1)->cellText(7999, 19), QStringLiteral("159999"));
    EXPECT_EQ(wb.sheet(1)->cols().col(19)->cell(7999)->text(), QStringLiteral("159999"));
    EXPECT_EQ(wb.sheet(0)->cellText(0, 1), QStringLiteral("x"));
}

TEST_F(XlsReader, RowsAndColumnsOnlyWhereCellsAre)
{
    // Blanks beyond the 256 columns are passed over; cells far down cost
    // no rows above them.
    Opened wb(oneSheet([](S &s) { s.blank(2, 300, 0).mulBlank(3, 254, { 0, 0, 0, 0 }).number(65535, 255, 0, 7).number(4, 0, 0, 1); }));
    XlsWorkSheet *sheet = wb.sheet();
    EXPECT_EQ(sheet->cellCount(), 4);
    EXPECT_EQ(sheet->rows().count(), 65536);
    EXPECT_EQ(sheet->cols().count(), 256);
    EXPECT_TRUE(sheet->rows().row(100)->isEmpty());
    int lowest = 0, highest = 0;
    EXPECT_FALSE(sheet->rowExtent(2, lowest, highest));
    ASSERT_TRUE(sheet->rowExtent(3, lowest, highest));
    EXPECT_EQ(std::make_pair(lowest, highest), std::make_pair(254, 255));
    ASSERT_TRUE(sheet->colExtent(255, lowest, highest));
    EXPECT_EQ(std::make_pair(lowest, highest), std::make_pair(3, 65535));
    EXPECT_EQ(sheet->cellText(65535, 255), QStringLiteral("7"));
    EXPECT_EQ(sheet->cell(4, 0)->text(), QStringLiteral("1"));

    // Two hundred sheets each with a cell in the last row and column: the
    // memory held follows the cells, not the highest row and column.
    S many;
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names << QStringLiteral("S%1").arg(i);
    many.globals(names);
    for (int i = 0; i < 200; ++i)
        many.beginSheet().number(65535, 255, 0, i).blank(65535, 65535, 0).eof();
    const std::size_t before = heapInUse();
    Opened big(many.bytes());
    ASSERT_EQ(big.file.workSheetCount(), 200);
    EXPECT_EQ(big.sheet(199)->cellText(65535, 255), QStringLiteral("199"));
    const std::size_t after = heapInUse();
    EXPECT_LT(after > before ? after - before : 0, std::size_t(8) << 20);
}

// ---------------------------------------------------------------- damaged copies of the fixtures

TEST_F(XlsReader, DamagedCopiesNeverCrash)
{
    QList<QByteArray> originals = { fileBytes(fixture("cells.xls")), fileBytes(fixture("embedded-chart.xls")) };
    originals << Xls::workbookStream(originals[0]); // the bare stream: every flip lands in records
    DamagedCopies copies(0x2545F4914F6CDD1Dull);
    int opened = 0, refused = 0;
    auto attempt = [&](const QByteArray &bytes) {
        WorkbookFile file;
        try {
            file.openBuffer(bytes);
        } catch (const ImportError &e) {
            ++refused;
            EXPECT_TRUE(isReaderMessage(e.text())) << e.text().toStdString();
            return;
        }
        ++opened;
        for (int i = 0; i < file.workSheetCount(); ++i) {
            XlsWorkSheet *sheet = file.workSheet(i);
            for (int r = 0; r < sheet->rows().count(); ++r)
                for (int c = 0; c < sheet->rows().row(r)->count(); ++c) {
                    BiffCell *cell = sheet->rows().row(r)->cell(c);
                    cell->text();
                    cell->variant();
                    if (cell->isFormula())
                        cell->asFormula()->tokens();
                }
        }
    };
    for (const QByteArray &original : originals) {
        ASSERT_FALSE(original.isEmpty());
        copies.forEach(original, 97, attempt);
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}

// ---------------------------------------------------------------- the corpus

namespace {

double cellNumber(const BiffCell *c)
{
    const QVariant v = c->variant();
    return v.typeId() == QMetaType::Double ? v.toDouble() : std::nan("");
}

} // namespace

TEST_F(XlsReader, CorpusReadsAsTheReferenceReader)
{
    const QDir xls(QStringLiteral(KESTRA_CORPUS_DIR "/xls"));
    const QDir ref(QStringLiteral(KESTRA_CORPUS_DIR "/xls_ref"));
    if (!xls.exists() || !ref.exists())
        GTEST_SKIP() << "corpus not found at " KESTRA_CORPUS_DIR;
    FormatSettings fs = FormatSettings::current();
    fs.decimalSeparator = QLatin1Char('.');
    FormatSettings::setCurrent(fs);

    int read = 0, refused = 0, compared = 0;
    for (const QString &name : xls.entryList({ QStringLiteral("*.xls") }, QDir::Files, QDir::Name)) {
        WorkbookFile file;
        file.setFileName(xls.filePath(name));
        try {
            file.open();
        } catch (const ImportError &e) {
            ++refused;
            EXPECT_TRUE(isReaderMessage(e.text())) << name.toStdString() << ": " << e.text().toStdString();
            continue;
        }
        ++read;
        QFile dump(ref.filePath(name + QStringLiteral(".txt")));
        if (!dump.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&dump);
        in.setEncoding(QStringConverter::Utf8);
        int mismatches = 0;
        while (!in.atEnd()) {
            const QStringList f = in.readLine().split(u'\t');
            if (f.size() < 5 || f[0].startsWith(u'#') || f[0] == QLatin1String("SHEET"))
                continue;
            bool ok = false;
            const int sheetIndex = f[0].toInt(&ok);
            if (!ok)
                continue;
            const int row = f[1].toInt(), col = f[2].toInt();
            const QString &type = f[3];
            QString value = f.mid(4).join(u'\t');
            XlsWorkSheet *sheet = file.workSheet(sheetIndex);
            BiffCell *cell = sheet && row <= 65535 && col <= 255 ? sheet->cell(row, col) : nullptr;
            QString expected, actual = cell ? cell->text() : QStringLiteral("<none>");
            if (type == QLatin1String("TEXT")) {
                expected = pythonString(value);
            } else if (type == QLatin1String("NUMBER")) {
                const double number = value.toDouble();
                // Where this reader sees a date format the value is compared.
                if (cell && cell->kind() == XlsCellKind::DateTime) {
                    expected = floatToStr(number);
                    actual = floatToStr(cellNumber(cell));
                } else {
                    expected = floatToStr(number);
                }
            } else if (type == QLatin1String("BOOLEAN")) {
                expected = value == QLatin1String("1") ? QStringLiteral("true") : QStringLiteral("false");
                actual = actual.toLower();
            } else if (type == QLatin1String("DATE")) {
                expected = floatToStr(value.section(u'\t', 0, 0).toDouble());
                actual = cell ? floatToStr(cellNumber(cell)) : actual;
            } else {
                continue;
            }
            ++compared;
            if (actual != expected && ++mismatches <= 5)
                ADD_FAILURE() << name.toStdString() << " sheet " << sheetIndex << " " << Xls::cellName(row, col).toStdString() << " "
                              << type.toStdString() << ": expected [" << expected.toStdString() << "] read [" << actual.toStdString()
                              << "]";
        }
    }
    std::cout << "[ corpus   ] " << read << " read, " << refused << " refused, " << compared << " cells compared" << std::endl;
    EXPECT_GT(read, 0);
}

// ---------------------------------------------------------------- kestra-cli preview

TEST(XlsPreview, CellsAndRangesAsTheImportTakesThem)
{
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../../app/kestra-cli");
    if (!QFileInfo(cli).isExecutable())
        GTEST_FAIL() << "kestra-cli is not built next to the tests: build the kestra-cli target";
    auto run = [&](const QStringList &args, int &code) {
        QProcess p;
        p.start(cli, QStringList { QStringLiteral("preview") } + args);
        EXPECT_TRUE(p.waitForFinished(30000));
        code = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
    };
    int code = -1;
    const QString cells = fixture("cells.xls");
    const QStringList lines = run(
        { cells, QStringLiteral("--decimal"), QStringLiteral("."), QStringLiteral("--date-format"), QStringLiteral("dd.mm.yyyy") }, code)
                                  .split(u'\n');
    EXPECT_EQ(code, 0);
    EXPECT_EQ(lines.value(0), QStringLiteral("#\tDonnées\tFeuil2\tVide"));
    for (const char *line : { "1\tB3\tstring\t????????", "1\tB8\tnumber\t12.5", "1\tB13\tdatetime\t15.03.2024", "1\tB18\tboolean\ttrue",
             "1\tB20\tformula\t84", "1\tE26\tother\t", "2\tD12\tstring\tr12d" })
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_LT(lines.indexOf(QStringLiteral("1\tB25\tnumber\t1")), lines.indexOf(QStringLiteral("1\tC25\tnumber\t2")));

    EXPECT_EQ(run({ cells, QStringLiteral("--ranges"), QStringLiteral("[feuil2]C5-C3;b13"), QStringLiteral("--date-format"),
                      QStringLiteral("dd/mm/yyyy") },
                  code),
        QStringLiteral("500\n400\n300\n15/03/2024\n"));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(run({ cells, QStringLiteral("--ranges"), QStringLiteral("B3-D9") }, code),
        QStringLiteral("Range B3-D9 is fail. It must be COL or ROW\n"));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(run({ fixture("embedded-chart.xls") }, code), QStringLiteral("Error reading Excel records. File invalid\n"));
    EXPECT_EQ(code, 1);
}
