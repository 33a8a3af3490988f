#include "import/sources/workbook/RangeMap.h"

#include "XlsTestStream.h"
#include "core/FormatSettings.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookFile.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using S = XlsTestStream;

// The text of a parse: the ranges rendered back, or the error.
QString parsed(const QString &text)
{
    MapRow row;
    try {
        row.parse(text);
    } catch (const ImportError &e) {
        return QStringLiteral("! ") + e.text();
    }
    return row.text();
}

// Feuil1: B1..B50 hold 1..50; A2..A11 "n2".."n11"; C2..C6 200..600; row 3
// goes on from D3 to H3 (33..37); E1, E2 and a formatted blank cell at E10.
// Clients: A1, A2, then row 5 from B5 to D5.
QByteArray workbook()
{
    S s;
    QStringList sst;
    for (int i = 2; i <= 11; ++i)
        sst << QStringLiteral("n%1").arg(i);
    sst << QStringLiteral("Ελληνικά") << QStringLiteral("Sfax");
    s.globals({ QStringLiteral("Feuil1"), QStringLiteral("Clients") }, sst).beginSheet();
    for (int r = 1; r <= 50; ++r) {
        if (r >= 2 && r <= 11)
            s.labelSst(r - 1, 0, 0, quint32(r - 2));
        s.number(r - 1, 1, 0, r);
        if (r >= 2 && r <= 6)
            s.number(r - 1, 2, 0, r * 100);
        if (r == 3)
            for (int c = 3; c <= 7; ++c)
                s.number(2, c, 0, 30 + c);
    }
    s.number(0, 4, 0, 1).number(1, 4, 0, 2).blank(9, 4, 0);
    s.eof().beginSheet().labelSst(0, 0, 0, 10).labelSst(1, 0, 0, 11);
    for (int c = 1; c <= 3; ++c)
        s.number(4, c, 0, c);
    return s.eof().bytes();
}

class XlsRanges : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = FormatSettings::current();
        FormatSettings fs = m_saved;
        fs.decimalSeparator = QLatin1Char(',');
        FormatSettings::setCurrent(fs);
        m_file.openBuffer(workbook());
    }
    void TearDown() override { FormatSettings::setCurrent(m_saved); }

    // Every cell text the range list yields, joined by "|".
    QString cells(const QString &text, int skipRows = 0, int skipCols = 0)
    {
        RangeMap list(&m_file, skipRows, skipCols);
        MapRow *row = nullptr;
        try {
            row = list.add(QStringLiteral("F"), text);
        } catch (const ImportError &e) {
            return QStringLiteral("! ") + e.text();
        }
        QStringList out;
        for (int n = 1; n <= row->total(); ++n)
            out << row->cellText(n);
        return out.join(u'|');
    }

    WorkbookFile m_file;

private:
    FormatSettings m_saved;
};

QString numbers(int from, int to)
{
    QStringList out;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1)
        out << QString::number(i);
    return out.join(u'|');
}

} // namespace

TEST(XlsRangeLanguage, ParsingAndErrors)
{
    const struct
    {
        const char *text;
        const char *result; // rendered back, or "! " and the message
    } cases[] = {
        { "b2-b5", "B2-B5;" },
        { "  A2-A200;  ", "A2-A200;" },
        { "B3", "B3;" },
        { "B40-B3;", "B40-B3;" },
        { "B3-H3;", "B3-H3;" },
        { "H3-B3;", "H3-B3;" },
        { "B3-COLFINISH;", "B3-COLFINISH;" },
        { "B3-COLSTART;", "B3-COLSTART;" },
        { "B3-ROWFINISH;", "B3-ROWFINISH;" },
        { "B3-ROWSTART;", "B3-ROWSTART;" },
        { "COLSTART-B40;", "COLSTART-B40;" },
        { "COLFINISH-B40;", "COLFINISH-B40;" },
        { "ROWSTART-H3;", "ROWSTART-H3;" },
        { "ROWFINISH-H3;", "ROWFINISH-H3;" },
        { "B-COLFINISH;", "B-COLFINISH;" },
        { "b-colstart", "B-COLSTART;" },
        { "3-ROWFINISH;", "3-ROWFINISH;" },
        { "3-ROWSTART;", "3-ROWSTART;" },
        { "[Clients]B-COLFINISH;", "[CLIENTS]B-COLFINISH;" },
        { "[:2]3-ROWFINISH;", "[:2]3-ROWFINISH;" },
        { "[Feuil 1]A1;", "[FEUIL 1]A1;" },
        { "A1;B2-B3;[:3]C4", "A1;B2-B3;[:3]C4;" },
        { "IV65536;AA1;", "IV65536;AA1;" },
        { "B03;", "B3;" },
        { "A1-A10; B1", "! The   symbol at position 8 is unknown" },
        { "A1#;", "! The # symbol at position 3 is unknown" },
        { "B;", "! The symbol ; at position 2 is unexpected" },
        { "3;", "! The symbol ; at position 2 is unexpected" },
        { "ABC1;", "! The symbol C at position 3 is unexpected" },
        { "B-COLFINISH5;", "! The symbol 5 at position 12 is unexpected" },
        { "A1-B;", "! The symbol ; at position 5 is unexpected" },
        { "[:X]A1;", "! The symbol X at position 3 is unexpected" },
        { "[]A1;", "! The symbol ] at position 2 is unexpected" },
        { "COLSTART-COLFINISH;", "! The symbol C at position 10 is unexpected" },
        { ";", "! Unexpected end of range" },
        { "A1;;", "! Unexpected end of range" },
        { "[Feuil1];", "! Unexpected end of range" },
        { "A1-5;", "! Letter expected but 5 found (position 4)" },
        { "A1-;", "! Letter expected but end of range found (position 4)" },
        { "A1-XYZ;", "! Expect COLSTART, COLFINISH, ROWSTART or ROWFINISH but XYZ found" },
        { "A1-IW3;", "! Expect COLSTART, COLFINISH, ROWSTART or ROWFINISH but IW found" },
        { "B-ROWFINISH;", "! Expect COLSTART or COLFINISH but ROWFINISH found" },
        { "3-COLFINISH;", "! Expect ROWSTART or ROWFINISH but COLFINISH found" },
        { "[Fe/uil]A1;", "! Illegal char / in sheet name at position 4" },
        { "[A:B]A1;", "! Illegal char : in sheet name at position 3" },
        { "IW1;", "! Column 257 is out of range [A..IV]" },
        { "A0;", "! Row 0 is out of range [1..65536]" },
        { "A65537;", "! Row 65537 is out of range [1..65536]" },
        { "B3-D9;", "! Range B3-D9 is fail. It must be COL or ROW" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(parsed(QString::fromUtf8(c.text)), QString::fromUtf8(c.result)) << c.text;

    // Checking alone keeps nothing.
    EXPECT_NO_THROW(parseMapRow(QStringLiteral("A1-A5;"), nullptr));
    EXPECT_THROW(parseMapRow(QStringLiteral("A1-C5;"), nullptr), ImportError);
}

TEST(XlsRangeLanguage, KindsAndDirections)
{
    MapRow row;
    row.parse(QStringLiteral("B3;B40-B3;B3-H3;B-COLFINISH;3-ROWSTART;COLFINISH-B40;[:2]A1;[x]A1;"));
    const struct
    {
        RangeKind kind;
        RangeDirection direction;
        int sr, sc, fr, fc;
        SheetSelector sheet;
    } expected[] = {
        { rkCell, rdNotSet, 3, 2, 3, 2, ssDefault },
        { rkCol, rdBackward, 40, 2, 3, 2, ssDefault },
        { rkRow, rdForward, 3, 2, 3, 8, ssDefault },
        { rkCol, rdForward, 0, 2, 0, 2, ssDefault },
        { rkRow, rdBackward, 3, 0, 3, 0, ssDefault },
        { rkCol, rdBackward, 0, 2, 40, 2, ssDefault },
        { rkCell, rdNotSet, 1, 1, 1, 1, ssByNumber },
        { rkCell, rdNotSet, 1, 1, 1, 1, ssByName },
    };
    ASSERT_EQ(row.count(), int(std::size(expected)));
    for (int i = 0; i < row.count(); ++i) {
        const MapRange *r = row.range(i);
        const auto &e = expected[i];
        EXPECT_EQ(r->kind(), e.kind) << i;
        EXPECT_EQ(r->direction(), e.direction) << i;
        EXPECT_EQ(r->startRow(), e.sr) << i;
        EXPECT_EQ(r->startCol(), e.sc) << i;
        EXPECT_EQ(r->finishRow(), e.fr) << i;
        EXPECT_EQ(r->finishCol(), e.fc) << i;
        EXPECT_EQ(r->sheetSelector(), e.sheet) << i;
    }
    EXPECT_EQ(row.range(6)->sheetNumber(), 2);
    EXPECT_EQ(row.range(7)->sheetName(), QStringLiteral("X"));
    // Without a workbook nothing is read.
    EXPECT_EQ(row.cellText(1), QString());

    MapRange r;
    EXPECT_EQ(r.kind(), rkUndetermined);
    EXPECT_EQ(r.direction(), rdNotSet);
    EXPECT_EQ(r.text(), QString());
    r.setBounds(2, 0, 0, 0);
    EXPECT_EQ(r.kind(), rkUndetermined);
}

TEST(XlsRangeLanguage, CountsWithSkips)
{
    const struct
    {
        const char *text;
        int skipRows, skipCols, count;
    } cases[] = {
        { "B3-B10;", 0, 0, 8 },
        { "B3-B10;", 5, 0, 5 },
        { "B3-B10;", 10, 0, 0 },
        { "B3-B10;", 0, 2, 0 },
        { "B10-B3;", 5, 0, 5 },
        { "B3-H3;", 0, 4, 4 },
        { "B3-H3;", 3, 0, 0 },
        { "B3;", 3, 0, 0 },
        { "B3;", 2, 1, 1 },
        { "B3;C3;B4-B5;", 0, 0, 4 },
    };
    for (const auto &c : cases) {
        RangeMap list(nullptr, c.skipRows, c.skipCols);
        EXPECT_EQ(list.add(QStringLiteral("X"), QLatin1String(c.text))->total(), c.count)
            << c.text << " " << c.skipRows << "/" << c.skipCols;
    }
}

TEST_F(XlsRanges, ResolvedAgainstTheWorkbook)
{
    const struct
    {
        const char *text;
        int skipRows, skipCols;
        QString cells;
    } cases[] = {
        { "B-COLFINISH;", 1, 0, numbers(2, 50) }, // 49 cells, the first from row 2
        { "B5-B20;", 1, 0, numbers(5, 20) },
        { "B40-B3;", 0, 0, numbers(40, 3) },
        { "B-COLSTART;", 0, 0, numbers(50, 1) },
        { "B3-COLFINISH;", 0, 0, numbers(3, 50) },
        { "B3-COLSTART;", 0, 0, numbers(3, 1) },
        { "COLSTART-B10;", 0, 0, numbers(1, 10) },
        { "COLFINISH-B45;", 0, 0, numbers(50, 45) },
        { "A-COLFINISH;", 0, 0, QStringLiteral("|n2|n3|n4|n5|n6|n7|n8|n9|n10|n11") }, // a column read down starts at row 1
        { "A-COLSTART;", 0, 0, QStringLiteral("n11|n10|n9|n8|n7|n6|n5|n4|n3|n2") },
        { "E-COLFINISH;", 0, 0, QStringLiteral("1|2|34|||||||") }, // the formatted blank cell ends the column
        { "3-ROWFINISH;", 0, 0, QStringLiteral("n3|3|300|33|34|35|36|37") },
        { "3-ROWFINISH;", 0, 2, QStringLiteral("300|33|34|35|36|37") },
        { "3-ROWSTART;", 0, 0, QStringLiteral("37|36|35|34|33|300|3|n3") },
        { "ROWFINISH-E3;", 0, 0, QStringLiteral("37|36|35|34") },
        { "A2-A11;", 0, 1, QString() },
        { "[:2]A1-A2;", 0, 0, QStringLiteral("????????|Sfax") }, // the import's single-byte character set
        { "[clients]5-ROWFINISH;[:1]B1;A12;", 0, 0, QStringLiteral("1|2|3|1|") },
        { "[Feuil9]A1-A3;", 0, 0, QStringLiteral("! Sheet with name FEUIL9 is not found in the source file") },
        { "[:3]A1;", 0, 0, QStringLiteral("! Sheet number 3 is not found in the source file") },
        { "[:0]A1;", 0, 0, QStringLiteral("! Sheet number 0 is not found in the source file") },
        { "Z-COLFINISH;", 0, 0, QStringLiteral("! Col 26 not found in the sheet ") },
        { "[Clients]40-ROWFINISH;", 0, 0, QStringLiteral("! Row 40 not found in the sheet CLIENTS") },
        { "[:2]F-COLFINISH;", 0, 0, QStringLiteral("! Col 6 not found in the sheet ") },
    };
    for (const auto &c : cases)
        EXPECT_EQ(cells(QLatin1String(c.text), c.skipRows, c.skipCols), c.cells) << c.text;

    // Resolved ends render as numbers.
    RangeMap list(&m_file);
    EXPECT_EQ(list.add(QStringLiteral("X"), QStringLiteral("B-COLFINISH;3-ROWSTART;[clients]A-COLSTART"))->text(),
        QStringLiteral("B1-B50;H3-A3;[CLIENTS]A2-A1;"));
}

TEST_F(XlsRanges, ClosedWorkbookIsOpenedByTheFirstRange)
{
    WorkbookFile file;
    file.setFileName(QStringLiteral(KESTRA_FIXTURES_DIR "/xls/cells.xls"));
    RangeMap list(&file);
    MapRow *row = list.add(QStringLiteral("X"), QStringLiteral("[Feuil2]C3-C7;[Données]B6"));
    EXPECT_TRUE(file.isOpened());
    EXPECT_EQ(row->total(), 6);
    EXPECT_EQ(row->cellText(1), QStringLiteral("300"));
    EXPECT_EQ(row->cellText(6), QStringLiteral("42"));
    EXPECT_EQ(row->cellText(7), QString());
    EXPECT_EQ(row->cellText(0), QString());
}

TEST(XlsRangeEditing, Membership)
{
    MapRow row;
    row.parse(QStringLiteral("B2-B5;[Clients]C3-COLFINISH;[:2]4-ROWSTART;COLSTART-D9;E7;"));
    const struct
    {
        int sheetNumber;
        const char *sheetName;
        int row, col;
        bool in;
    } cases[] = {
        { 1, "Feuil1", 2, 2, true },
        { 1, "Feuil1", 5, 2, true },
        { 1, "Feuil1", 6, 2, false },
        { 2, "Clients", 3, 2, false }, // no sheet named: the first one
        { 2, "clients", 900, 3, true }, // open finish, forward
        { 2, "clients", 2, 3, false },
        { 1, "Feuil1", 3, 3, false },
        { 2, "Other", 4, 1, true }, // [:2] by number, open start read backward: any column
        { 1, "Feuil1", 1, 4, true }, // COLSTART-D9
        { 1, "Feuil1", 9, 4, true },
        { 1, "Feuil1", 10, 4, false },
        { 1, "Feuil1", 7, 5, true },
        { 1, "Feuil1", 7, 6, false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(row.contains(c.sheetNumber, QLatin1String(c.sheetName), c.row, c.col), c.in)
            << c.sheetNumber << " " << c.sheetName << " " << c.row << "," << c.col;
}

TEST(XlsRangeEditing, RemovingACell)
{
    const struct
    {
        const char *ranges;
        int row, col;
        const char *result;
    } cases[] = {
        { "B2-B9;", 5, 2, "B2-B4;B6-B9;" },
        { "B2-B9;", 2, 2, "B3-B9;" },
        { "B2-B9;", 9, 2, "B2-B8;" },
        { "B9-B2;", 9, 2, "B8-B2;" },
        { "B9-B2;", 5, 2, "B9-B6;B4-B2;" },
        { "B9-B2;", 2, 2, "B9-B3;" },
        { "B2-B3;", 2, 2, "B3;" },
        { "B3-H3;", 3, 4, "B3-C3;E3-H3;" },
        { "C4;D5;", 4, 3, "D5;" },
        { "C4;", 4, 3, "" },
        { "B3-COLFINISH;", 3, 2, "B4-COLFINISH;" },
        { "B3-COLFINISH;", 8, 2, "B3-COLFINISH;" },
        { "COLSTART-B9;", 9, 2, "COLSTART-B8;" },
        { "[Clients]B2-B9;", 5, 2, "[CLIENTS]B2-B9;" }, // another sheet
        { "A1;B2-B9;C1;", 5, 2, "A1;B2-B4;B6-B9;C1;" },
    };
    for (const auto &c : cases) {
        MapRow row;
        row.parse(QLatin1String(c.ranges));
        row.removeCell(1, QStringLiteral("Feuil1"), c.row, c.col);
        EXPECT_EQ(row.text(), QLatin1String(c.result)) << c.ranges << " - " << c.row << "," << c.col;
    }
}

TEST(XlsRangeEditing, MergingNeighbours)
{
    const struct
    {
        const char *ranges;
        const char *result;
    } cases[] = {
        { "B2-B4;B5;", "B2-B5;" },
        { "B5;B6;", "B5-B6;" },
        { "B6;B5;", "B6-B5;" },
        { "B2;B3;B4;", "B2-B4;" },
        { "B1;B2-B4;", "B1-B4;" },
        { "B5;B2-B4;", "B2-B5;" },
        { "B2-B4;B5-B7;", "B2-B7;" },
        { "B9-B6;B5;", "B9-B5;" },
        { "B9-B6;B5-B2;", "B9-B2;" },
        { "B3;C3;D3-F3;", "B3-F3;" },
        { "B2-B4;B6;", "B2-B4;B6;" },
        { "B2-B4;C5;", "B2-B4;C5;" },
        { "B2-B4;B7-B5;", "B2-B4;B7-B5;" }, // opposite directions
        { "[A]B2;[A]B3;", "[A]B2-B3;" },
        { "[A]B2;[B]B3;", "[A]B2;[B]B3;" },
        { "[A]B2;B3;", "[A]B2;B3;" }, // a named sheet and the default one
        { "[:2]B2;[:2]B3;", "[:2]B2-B3;" },
        { "B2-COLFINISH;B5;", "B2-COLFINISH;B5;" },
    };
    for (const auto &c : cases) {
        MapRow row;
        row.parse(QLatin1String(c.ranges));
        row.merge();
        EXPECT_EQ(row.text(), QLatin1String(c.result)) << c.ranges;
    }
    MapRow row;
    row.parse(QStringLiteral("B5;B6;B7;"));
    row.merge();
    ASSERT_EQ(row.count(), 1);
    EXPECT_EQ(row.range(0)->direction(), rdForward);
    EXPECT_EQ(row.total(), 3);
}

TEST_F(XlsRanges, RecordsToImport)
{
    // NUMEROFACTURE over 10 cells, PRIXVENTE over 5.
    RangeMap list(&m_file);
    list.add(QStringLiteral("NUMEROFACTURE"), QStringLiteral("A2-A11;"));
    list.add(QStringLiteral("PRIXVENTE"), QStringLiteral("C2-C6;"));
    list.add(QStringLiteral("AUTRE"), QStringLiteral("B1-B10;"));
    list.updateTotals();
    EXPECT_EQ(list.maxRowIndex(), 0); // the first on ties
    EXPECT_EQ(list.minRowIndex(), 1);
    EXPECT_EQ(list.recordCount(qirMax), 10);
    EXPECT_EQ(list.recordCount(qirMin), 5);
    EXPECT_EQ(list.lastRecordIndex(qirMax, 0), 9);
    EXPECT_EQ(list.lastRecordIndex(qirMin, 0), 4);
    EXPECT_EQ(list.lastRecordIndex(qirMax, 3), 2); // ImportRecCount 3
    EXPECT_EQ(list.lastRecordIndex(qirMin, 30), 4);
    const int price = list.indexOf(QStringLiteral("prixVente"));
    ASSERT_EQ(price, 1);
    EXPECT_EQ(list.cellText(price, 0), QStringLiteral("200"));
    EXPECT_EQ(list.cellText(price, 4), QStringLiteral("600"));
    EXPECT_EQ(list.cellText(price, 5), QString()); // past its cells
    EXPECT_EQ(list.cellText(0, 9), QStringLiteral("n11"));
    EXPECT_EQ(list.indexOf(QStringLiteral("absent")), -1);

    RangeMap empty(&m_file);
    empty.updateTotals();
    EXPECT_EQ(empty.recordCount(qirMax), 0);
    EXPECT_EQ(empty.lastRecordIndex(qirMax, 3), -1);
}

TEST(XlsRangeEditing, RowListOperations)
{
    MapRow row;
    row.parse(QStringLiteral("A1;B1-B3;C1;"));
    row.move(2, 0);
    EXPECT_EQ(row.text(), QStringLiteral("C1;A1;B1-B3;"));
    row.removeAt(1);
    EXPECT_EQ(row.text(), QStringLiteral("C1;B1-B3;"));
    EXPECT_EQ(row.total(), 4);
    MapRange copy(*row.range(1));
    EXPECT_EQ(copy.owner(), nullptr);
    copy.setFinishRow(9);
    *row.range(1) = copy; // an edited copy goes back
    row.updateTotal();
    EXPECT_EQ(row.text(), QStringLiteral("C1;B1-B9;"));
    EXPECT_EQ(row.total(), 10);
    row.add(std::make_unique<MapRange>(copy));
    EXPECT_EQ(row.count(), 3);
}
