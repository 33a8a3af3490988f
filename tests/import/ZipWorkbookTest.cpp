// .xlsx and .ods workbooks read into the BIFF8 workbook model: LibreOffice's
// own files compared with the BIFF8 workbook of the same content, files
// written part by part for what LibreOffice does not write, damaged and
// hostile files, and the corpus of other programs' workbooks compared with
// an independent reader's dump.

#include "import/sources/workbook/ZipWorkbook.h"

#include "ZipTestPackage.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "tests/import/ReaderTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(KESTRA_FIXTURES_DIR "/") + name;
}

class ZipWorkbook : public ::testing::Test
{
protected:
    ScopedFormatSettings m_formats { readerTestFormats() };
};

// Every cell of a workbook as "sheet!A1 kind text", in sheet, row and
// column order, and the sheet names.
QStringList dump(WorkbookFile &file)
{
    QStringList out;
    for (int s = 0; s < file.workSheetCount(); ++s) {
        out << QStringLiteral("sheet %1").arg(file.workSheetName(s));
        const XlsRowList &rows = file.workSheet(s)->rows();
        for (int r = 0; r < rows.count(); ++r)
            for (int c = 0; c < rows.row(r)->count(); ++c) {
                BiffCell *cell = rows.row(r)->cell(c);
                out << QStringLiteral("%1!%2 %3 %4").arg(QString::number(s), cell->name(), cell->kindName(), cell->text());
            }
    }
    return out;
}

QStringList dumpFile(const QString &path)
{
    WorkbookFile file;
    file.setFileName(path);
    file.open();
    return dump(file);
}

// The message of a failed open of bytes ("" when it opened); a failed open
// leaves the file closed and empty.
QString openError(const QByteArray &bytes)
{
    WorkbookFile file;
    file.setFileName(QStringLiteral("w.xlsx"));
    try {
        file.openBuffer(bytes);
    } catch (const ImportError &e) {
        EXPECT_FALSE(file.isOpened());
        EXPECT_EQ(file.workSheetCount(), 0);
        return e.text();
    }
    EXPECT_TRUE(file.isOpened());
    return QString();
}

struct Opened
{
    WorkbookFile file;
    explicit Opened(const QByteArray &bytes)
    {
        file.setFileName(QStringLiteral("w.xlsx"));
        file.openBuffer(bytes);
    }
    QString text(int sheet, int row, int col) { return file.workSheet(sheet)->cellText(row, col); }
    QString kind(int sheet, int row, int col)
    {
        BiffCell *c = file.workSheet(sheet)->cell(row, col);
        return c ? c->kindName() : QStringLiteral("none");
    }
};

// The messages the zip readers give, beside the BIFF8 reader's.
bool isZipReaderMessage(const QString &text)
{
    // A flip in the first bytes leaves no zip: the BIFF8 reader answers.
    static const QRegularExpression known(QStringLiteral(
        "^(File .* (is damaged: .*|is refused: .*|is protected by a password|is neither an Excel nor an OpenDocument workbook"
        "|cannot be imported: .*|is not an Excel Workbook)"
        "|Error reading Excel records\\. File invalid|File is saved with an invalid Excel version|Error reading record"
        "|Record with ID 0x[0-9a-f]+ is invalid)$"));
    return known.match(text).hasMatch();
}

} // namespace

// ---------------------------------------------------------------- LibreOffice's files

TEST_F(ZipWorkbook, SameCellsAsTheBiffWorkbookOfTheSameContent)
{
    // One source saved by LibreOffice as .xls, .xlsx and .ods.
    const QStringList xls = dumpFile(fixture(QStringLiteral("xls/cells.xls")));
    ASSERT_GT(xls.size(), 60);
    for (const char *name : { "workbooks/cells.xlsx", "workbooks/cells.ods" }) {
        SCOPED_TRACE(name);
        QStringList expected = xls;
        // LibreOffice writes a formula's text result into .xls as 0.
        expected.replaceInStrings(QStringLiteral("0!B21 formula 0"), QStringLiteral("0!B21 formula Bonjour monde"));
        if (QString::fromLatin1(name).endsWith(QLatin1String(".ods"))) {
            // Cells with a format and no value are written out by the other
            // formats; an .ods keeps them as repeated empty cells, which
            // are no cells here.
            for (const char *blank : { "0!B26 other ", "0!C26 other ", "0!D26 other ", "0!E26 other " })
                expected.removeOne(QString::fromLatin1(blank));
        }
        EXPECT_EQ(dumpFile(fixture(QString::fromLatin1(name))), expected);
    }
}

TEST_F(ZipWorkbook, LibreOfficeFeatures)
{
    const QStringList expected = {
        QStringLiteral("sheet Visible"),
        QStringLiteral("0!A1 string riche"),
        QStringLiteral("0!B1 string Gras et normal"), // a span inside the paragraph
        QStringLiteral("0!A2 string paragraphes"),
        QStringLiteral("0!B2 string ligne 1\nligne 2"), // two paragraphs
        QStringLiteral("0!A3 string spéciaux"),
        QStringLiteral("0!B3 string R&D <test> «€»"),
        QStringLiteral("0!A4 string pourcentage"),
        QStringLiteral("0!B4 number 0,15"),
        QStringLiteral("0!A5 string monnaie"),
        QStringLiteral("0!B5 number 1234,5"),
        QStringLiteral("0!A6 string répété"),
        QStringLiteral("0!B6 number 7"), // one cell repeated over three columns
        QStringLiteral("0!C6 number 7"),
        QStringLiteral("0!D6 number 7"),
        QStringLiteral("0!A7 string ligne"), // one row repeated three times
        QStringLiteral("0!B7 number 5"),
        QStringLiteral("0!A8 string ligne"),
        QStringLiteral("0!B8 number 5"),
        QStringLiteral("0!A9 string ligne"),
        QStringLiteral("0!B9 number 5"),
        QStringLiteral("0!A10 string fusion"), // A10:B11 merged
        QStringLiteral("0!B10 other "),
        QStringLiteral("0!C10 number 1"),
        QStringLiteral("0!A11 other "),
        QStringLiteral("0!B11 other "),
        QStringLiteral("0!C11 number 2"),
        QStringLiteral("0!A12 string   espaces"),
        QStringLiteral("0!A13 number 1"), // LibreOffice keeps an unformatted TRUE as 1
        QStringLiteral("0!B13 datetime 01:30:00"),
        QStringLiteral("0!C13 datetime 15/03/2024 13:45:00"),
        QStringLiteral("0!D13 datetime 30/12/1899"),
        QStringLiteral("0!A14 formula ab"),
        QStringLiteral("0!B14 formula 14"),
        QStringLiteral("sheet Cachée"), // hidden, and read as in .xls
        QStringLiteral("1!A1 string secret"),
        QStringLiteral("sheet Dernière"),
        QStringLiteral("2!A1 number 1"),
    };
    EXPECT_EQ(dumpFile(fixture(QStringLiteral("workbooks/features.xlsx"))), expected);
    EXPECT_EQ(dumpFile(fixture(QStringLiteral("workbooks/features.ods"))), expected);

    // The 1904 date system: the same date either way.
    for (const char *name : { "workbooks/dates1904.xlsx", "workbooks/dates1904.ods" })
        EXPECT_EQ(dumpFile(fixture(QString::fromLatin1(name))),
            QStringList({ QStringLiteral("sheet Dates"), QStringLiteral("0!A1 datetime 15/03/2024"), QStringLiteral("0!B1 number 12") }))
            << name;
}

TEST_F(ZipWorkbook, KindToldByContentNotByName)
{
    // A workbook renamed is still read for what it is.
    QDir dir(QDir::temp().filePath(QStringLiteral("kestra-zipworkbook-names")));
    QDir().mkpath(dir.path());
    const QList<QPair<QString, QString>> renamed = {
        { QStringLiteral("workbooks/cells.xlsx"), QStringLiteral("from-xlsx.xls") },
        { QStringLiteral("workbooks/cells.ods"), QStringLiteral("from-ods.xlsx") },
        { QStringLiteral("xls/cells.xls"), QStringLiteral("from-xls.ods") },
    };
    for (const auto &[from, to] : renamed) {
        const QString path = dir.filePath(to);
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(fixture(from), path));
        EXPECT_EQ(dumpFile(path).value(2), QStringLiteral("0!B1 string Bonjour")) << qPrintable(to);
        WorkbookFile file;
        file.setFileName(path);
        file.openBuffer(fileBytes(path));
        EXPECT_EQ(file.workSheetName(1), QStringLiteral("Feuil2"));
    }
    dir.removeRecursively();
}

// ---------------------------------------------------------------- what LibreOffice does not write

TEST_F(ZipWorkbook, XlsxCellsByType)
{
    // Cell formats: 1 a built-in date, 2 a custom date mask, 3 a mask whose
    // letters are quoted or bracketed, 4 a built-in time.
    const QByteArray formats = "<numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/>"
                               "<numFmt numFmtId=\"165\" formatCode=\"&quot;days&quot; 0;[Red]0\"/>";
    const QByteArray xfs = "<xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/><xf numFmtId=\"21\"/>";
    const QList<QByteArray> strings = {
        "<t>plain</t>",
        "<r><rPr><b/></rPr><t>rich </t></r><r><t xml:space=\"preserve\">text </t></r>",
        "<t>Ruby</t><rPh sb=\"0\" eb=\"1\"><t>reading</t></rPh>",
        "<t>line_x000D_&#10;end _x005F_x000D_ _x00e9_</t>",
        "<t></t>",
    };
    const QByteArray sheet
        = "<row r=\"1\">"
          "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c>"
          "<c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c></row>"
          "<row r=\"2\"><c r=\"A2\"><v>42</v></c><c r=\"B2\"><v>-1.5E-3</v></c><c r=\"C2\" t=\"n\"><v> +7 </v></c>"
          "<c r=\"D2\"><v>12abc</v></c><c r=\"E2\" s=\"9\"><v>3</v></c></row>"
          "<row r=\"3\"><c r=\"A3\" s=\"1\"><v>45366</v></c><c r=\"B3\" s=\"2\"><v>45366.5</v></c>"
          "<c r=\"C3\" s=\"3\"><v>45366</v></c><c r=\"D3\" s=\"4\"><v>0.5</v></c>"
          "<c r=\"E3\" t=\"d\"><v>2024-03-15T12:00:00</v></c><c r=\"F3\" t=\"d\" s=\"1\"><v>2024-03-15</v></c>"
          "<c r=\"G3\" t=\"d\"><v>15 mars</v></c></row>"
          "<row r=\"4\"><c r=\"A4\" t=\"b\"><v>1</v></c><c r=\"B4\" t=\"b\"><v>0</v></c><c r=\"C4\" t=\"e\"><v>#DIV/0!</v></c>"
          "<c r=\"D4\" t=\"e\"><v>#N/A</v></c><c r=\"E4\" t=\"e\"><v>#SPILL!</v></c></row>"
          "<row r=\"5\"><c r=\"A5\" t=\"inlineStr\"><is><t>inline</t></is></c>"
          "<c r=\"B5\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>runs</t></r></is></c>"
          "<c r=\"C5\" t=\"str\"><v>a str</v></c><c r=\"D5\" t=\"inlineStr\"><is><t><![CDATA[<cdata>]]></t></is></c></row>"
          "<row r=\"6\"><c r=\"A6\"><f>1+1</f><v>2</v></c><c r=\"B6\" t=\"str\"><f>\"x\"</f><v>x</v></c>"
          "<c r=\"C6\" t=\"b\"><f>TRUE()</f><v>1</v></c><c r=\"D6\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
          "<c r=\"E6\"><f>A1</f></c><c r=\"F6\" s=\"1\"><f>A3</f><v>45366</v></c>"
          "<c r=\"G6\" t=\"s\"><f>A1</f><v>0</v></c></row>"
          "<row r=\"7\"><c r=\"A7\" s=\"1\"/><c r=\"B7\" t=\"s\"><v/></c><c r=\"C7\"></c></row>";
    Opened wb(ZipTest::xlsx({ sheet }, strings, xfs, formats));
    struct Case
    {
        int row, col;
        const char *kind;
        QString text;
    };
    const Case cases[] = {
        { 0, 0, "string", QStringLiteral("plain") },
        { 0, 1, "string", QStringLiteral("rich text ") },
        { 0, 2, "string", QStringLiteral("Ruby") }, // the phonetic reading is no text
        { 0, 3, "string", QStringLiteral("line\r\nend _x000D_ é") },
        { 0, 4, "string", QString() },
        { 1, 0, "number", QStringLiteral("42") },
        { 1, 1, "number", QStringLiteral("-0,0015") },
        { 1, 2, "number", QStringLiteral("7") },
        { 1, 3, "string", QStringLiteral("12abc") }, // no number: kept as the text it is
        { 1, 4, "number", QStringLiteral("3") }, // a cell format beyond the table
        { 2, 0, "datetime", QStringLiteral("15/03/2024") },
        { 2, 1, "datetime", QStringLiteral("15/03/2024 12:00:00") },
        { 2, 2, "number", QStringLiteral("45366") },
        { 2, 3, "datetime", QStringLiteral("12:00:00") },
        { 2, 4, "datetime", QStringLiteral("15/03/2024 12:00:00") }, // an ISO date
        { 2, 5, "datetime", QStringLiteral("15/03/2024") },
        { 2, 6, "string", QStringLiteral("15 mars") },
        { 3, 0, "boolean", QStringLiteral("true") },
        { 3, 1, "boolean", QStringLiteral("false") },
        { 3, 2, "boolean", QStringLiteral("#DIV/0!") },
        { 3, 3, "boolean", QStringLiteral("#N/A") },
        { 3, 4, "string", QStringLiteral("#SPILL!") }, // an error this program does not know
        { 4, 0, "string", QStringLiteral("inline") },
        { 4, 1, "string", QStringLiteral("inruns") },
        { 4, 2, "string", QStringLiteral("a str") },
        { 4, 3, "string", QStringLiteral("<cdata>") },
        { 5, 0, "formula", QStringLiteral("2") },
        { 5, 1, "formula", QStringLiteral("x") },
        { 5, 2, "formula", QStringLiteral("True") },
        { 5, 3, "formula", QString() }, // an error result, as in .xls
        { 5, 4, "formula", QString() }, // no cached result
        { 5, 5, "formula", QStringLiteral("45366") }, // never a date, as in .xls
        { 5, 6, "formula", QStringLiteral("plain") },
        { 6, 0, "other", QString() }, // formatted, empty
        { 6, 1, "other", QString() },
        { 6, 2, "other", QString() },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Xls::cellName(c.row, c.col).toStdString());
        EXPECT_EQ(wb.kind(0, c.row, c.col), QLatin1String(c.kind));
        EXPECT_EQ(wb.text(0, c.row, c.col), c.text);
    }
}

TEST_F(ZipWorkbook, XlsxPositionsWithoutReferences)
{
    // Rows and cells without "r" follow the ones before.
    Opened wb(ZipTest::xlsx({ "<row><c><v>1</v></c><c><v>2</v></c><c r=\"E1\"><v>5</v></c><c><v>6</v></c></row>"
                              "<row><c><v>7</v></c></row><row r=\"5\"><c><v>8</v></c><c r=\"C5\"><v>9</v></c></row>"
                              "<row><c r=\"B6\"><v>10</v></c></row>" }));
    EXPECT_EQ(dump(wb.file),
        QStringList({ QStringLiteral("sheet Sheet1"), QStringLiteral("0!A1 number 1"), QStringLiteral("0!B1 number 2"),
            QStringLiteral("0!E1 number 5"), QStringLiteral("0!F1 number 6"), QStringLiteral("0!A2 number 7"),
            QStringLiteral("0!A5 number 8"), QStringLiteral("0!C5 number 9"), QStringLiteral("0!B6 number 10") }));
}

TEST_F(ZipWorkbook, XlsxWorkbookStructure)
{
    using ZipTest::Parts;
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    Parts parts = ZipTest::xlsxParts({ "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>",
        "<row r=\"1\"><c r=\"A1\"><v>3</v></c></row>" });
    // Sheets in the workbook's order, not the parts'; a hidden one read; a
    // chart sheet left out; names with entities; the 1904 system.
    for (auto &[name, bytes] : parts) {
        if (name == QLatin1String("xl/workbook.xml"))
            bytes = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" + rel
                + "\"><workbookPr date1904=\"true\"/><sheets>"
                  "<sheet name=\"Trois &amp; plus\" sheetId=\"3\" r:id=\"rId3\"/>"
                  "<sheet name=\"Graphique\" sheetId=\"9\" r:id=\"rIdC\"/>"
                  "<sheet name=\"Un\" sheetId=\"1\" state=\"hidden\" r:id=\"rId1\"/>"
                  "<sheet name=\"Deux\" sheetId=\"2\" state=\"veryHidden\" r:id=\"rId2\"/></sheets></workbook>";
        if (name == QLatin1String("xl/_rels/workbook.xml.rels"))
            bytes.replace("</Relationships>",
                "<Relationship Id=\"rIdC\" Type=\"" + rel + "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/></Relationships>");
        // Part names differ in case from their references.
        if (name == QLatin1String("xl/worksheets/sheet3.xml"))
            name = QStringLiteral("xl/Worksheets/Sheet3.XML");
    }
    Opened wb(ZipTest::zip(parts));
    ASSERT_EQ(wb.file.workSheetCount(), 3);
    EXPECT_EQ(wb.file.workSheetName(0), QStringLiteral("Trois & plus"));
    EXPECT_EQ(wb.file.workSheetName(1), QStringLiteral("Un"));
    EXPECT_EQ(wb.file.workSheetName(2), QStringLiteral("Deux"));
    EXPECT_EQ(wb.text(0, 0, 0), QStringLiteral("3"));
    EXPECT_EQ(wb.text(1, 0, 0), QStringLiteral("1"));
    EXPECT_TRUE(wb.file.workbook().globals().dates1904());

    // The strict namespaces, another prefix, and a workbook found by the
    // package's relationships rather than by its usual name.
    const QByteArray strict = "http://purl.oclc.org/ooxml/spreadsheetml/main";
    const QByteArray strictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships";
    Opened s(ZipTest::zip({
        { "_rels/.rels",
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"r\" Type=\""
                + strictRel + "/officeDocument\" Target=\"/book/main.xml\"/></Relationships>" },
        { "book/main.xml",
            "<x:workbook xmlns:x=\"" + strict + "\" xmlns:rr=\"" + strictRel
                + "\"><x:sheets><x:sheet name=\"S\" rr:id=\"a\"/></x:sheets></x:workbook>" },
        { "book/_rels/main.xml.rels",
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"a\" Type=\""
                + strictRel + "/worksheet\" Target=\"../data/s%201.xml\"/><Relationship Id=\"t\" Type=\"" + strictRel
                + "/sharedStrings\" Target=\"strings.xml\"/></Relationships>" },
        { "book/strings.xml", "<x:sst xmlns:x=\"" + strict + "\"><x:si><x:t>strict</x:t></x:si></x:sst>" },
        { "data/s 1.xml",
            "<x:worksheet xmlns:x=\"" + strict
                + "\"><x:sheetData><x:row r=\"2\"><x:c r=\"B2\" t=\"s\"><x:v>0</x:v></x:c></x:row>"
                  "</x:sheetData></x:worksheet>" },
    }));
    EXPECT_EQ(s.file.workSheetName(0), QStringLiteral("S"));
    EXPECT_EQ(s.text(0, 1, 1), QStringLiteral("strict"));
}

TEST_F(ZipWorkbook, OdsCellsAndRepeats)
{
    const QByteArray styles = "<style:style style:name=\"ta2\" style:family=\"table\"><style:table-properties table:display=\"false\"/>"
                              "</style:style>";
    const QByteArray tables
        = "<table:table table:name=\"A\"><table:table-column table:number-columns-repeated=\"16384\"/>"
          "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>"
          "<table:table-cell office:value-type=\"float\" office:value=\"1.5\"/>"
          "<table:table-cell office:value-type=\"string\" office:string-value=\"attribute\"><text:p>shown</text:p></table:table-cell>"
          "<table:table-cell><text:p>no type</text:p></table:table-cell>"
          "<table:table-cell office:value-type=\"string\"><text:p>a<text:tab/>b<text:line-break/>c"
          "<text:note><text:note-body><text:p>note</text:p></text:note-body></text:note></text:p>"
          "<office:annotation><text:p>comment</text:p></office:annotation></table:table-cell>"
          "<table:table-cell office:value-type=\"float\" office:value=\"x\"><text:p>x?</text:p></table:table-cell>"
          "<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\">"
          "<text:p>#DIV/0!</text:p></table:table-cell>"
          "<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\"><text:p>#N/A</text:p></table:table-cell>"
          "<table:table-cell table:number-columns-repeated=\"16375\"/></table:table-row>"
          "<table:table-row-group><table:table-row table:number-rows-repeated=\"2\">"
          "<table:table-cell office:value-type=\"time\" office:time-value=\"PT36H\"/>"
          "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-15T00:00:00Z\"/>"
          "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/></table:table-row></table:table-row-group>"
          // A million empty rows at the end, as LibreOffice writes them: not made.
          "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell table:number-columns-repeated=\"16384\"/>"
          "</table:table-row></table:table>"
          "<table:table table:name=\"Hidden\" table:style-name=\"ta2\"/>";
    Opened wb(ZipTest::ods(tables, styles));
    EXPECT_EQ(dump(wb.file),
        QStringList({ QStringLiteral("sheet A"), QStringLiteral("0!C1 number 1,5"), QStringLiteral("0!D1 string attribute"),
            QStringLiteral("0!E1 string no type"), QStringLiteral("0!F1 string a\tb\nc"), QStringLiteral("0!G1 string x?"),
            QStringLiteral("0!H1 formula "), QStringLiteral("0!I1 boolean #N/A"), QStringLiteral("0!A2 datetime 31/12/1899 12:00:00"),
            QStringLiteral("0!B2 datetime 15/03/2024"), QStringLiteral("0!C2 boolean false"),
            QStringLiteral("0!A3 datetime 31/12/1899 12:00:00"), QStringLiteral("0!B3 datetime 15/03/2024"),
            QStringLiteral("0!C3 boolean false"), QStringLiteral("sheet Hidden") }));
    EXPECT_LT(wb.file.workSheet(0)->rows().count(), 10);
}

// ---------------------------------------------------------------- beyond a BIFF8 sheet

TEST_F(ZipWorkbook, DataBeyondTheSheetIsRefusedFormattingDropped)
{
    // Formatted empty cells out there, or where no cell can be, hold
    // nothing to import.
    Opened blanks(ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1\" s=\"1\"/><c r=\"B0\" s=\"1\"/></row>"
                                  "<row r=\"1048576\"><c r=\"A1048576\" s=\"1\"/></row>" }));
    EXPECT_EQ(blanks.file.workSheet(0)->cellCount(), 1);

    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        { "column IW", ZipTest::xlsx({ "<row r=\"1\"><c r=\"IW1\"><v>1</v></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell IW1, beyond row 65536 or column IV") },
        { "row 65537", ZipTest::xlsx({ "<row r=\"65537\"><c r=\"A65537\" t=\"inlineStr\"><is><t>x</t></is></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell A65537, beyond row 65536 or column IV") },
        { "a formula without result far away", ZipTest::xlsx({ "<row r=\"1\"><c r=\"XFD1\"><f>1</f></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell XFD1, beyond row 65536 or column IV") },
        // A reference that is there but names no cell of a sheet: the data
        // cannot be placed, and placing it after the cell before would
        // import it in the wrong column or row.
        { "a row number of eleven digits", ZipTest::xlsx({ "<row><c r=\"A99999999999\"><v>1</v></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell A99999999999, beyond row 65536 or column IV") },
        { "fifteen column letters", ZipTest::xlsx({ "<row r=\"1\"><c r=\"ZZZZZZZZZZZZZZZ1\" t=\"str\"><v>x</v></c></row>" }),
            QStringLiteral(
                "File w.xlsx cannot be imported: sheet Sheet1 holds data in cell ZZZZZZZZZZZZZZZ1, beyond row 65536 or column IV") },
        { "three column letters", ZipTest::xlsx({ "<row r=\"1\"><c r=\"ZZZ1\"><v>1</v></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell ZZZ1, beyond row 65536 or column IV") },
        { "digits before the letters", ZipTest::xlsx({ "<row r=\"5\"><c r=\"1A\"><v>8</v></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell 1A, beyond row 65536 or column IV") },
        { "row 0", ZipTest::xlsx({ "<row r=\"1\"><c r=\"B0\" t=\"inlineStr\"><is><t>x</t></is></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: sheet Sheet1 holds data in cell B0, beyond row 65536 or column IV") },
        { "ods repeated into column IW",
            ZipTest::ods("<table:table table:name=\"T\"><table:table-row><table:table-cell table:number-columns-repeated=\"255\"/>"
                         "<table:table-cell office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"2\"/>"
                         "</table:table-row></table:table>"),
            QStringLiteral("File w.xlsx cannot be imported: sheet T holds data in cell IW1, beyond row 65536 or column IV") },
        { "ods rows repeated past 65536",
            ZipTest::ods(
                "<table:table table:name=\"T\"><table:table-row table:number-rows-repeated=\"65530\"/>"
                "<table:table-row table:number-rows-repeated=\"10\"><table:table-cell office:value-type=\"float\" office:value=\"1\"/>"
                "</table:table-row></table:table>"),
            QStringLiteral("File w.xlsx cannot be imported: sheet T holds data in cell A65537, beyond row 65536 or column IV") },
    };
    for (const Case &c : cases)
        EXPECT_EQ(openError(c.bytes), c.message) << c.what;
}

// ---------------------------------------------------------------- damage and hostility

TEST_F(ZipWorkbook, DamagedAndHostileFilesAreRefused)
{
    const QByteArray good = ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" });
    ZipTest::Parts noSheet = ZipTest::xlsxParts({ "" });
    noSheet.removeLast();
    ZipTest::Parts badXml = ZipTest::xlsxParts({ "<row r=\"1\"><c r=\"A1\"><v>1</v></row>" });
    // A sheet that inflates far beyond what its file could hold.
    ZipTest::Parts bomb = ZipTest::xlsxParts({ "" });
    bomb.last().second = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        + QByteArray(24 * 1024 * 1024, ' ') + "</sheetData></worksheet>";
    const QByteArray bombBytes = ZipTest::zip(bomb);
    ASSERT_LT(bombBytes.size(), 1024 * 1024);
    const QString hugeString(70000, QLatin1Char('x'));
    QByteArray manyCells = "<table:table table:name=\"T\">";
    manyCells += "<table:table-row table:number-rows-repeated=\"65536\"><table:table-cell office:value-type=\"float\" office:value=\"1\" "
                 "table:number-columns-repeated=\"256\"/></table:table-row></table:table>";
    const QByteArray encrypted = ZipTest::zip({ { "mimetype", "application/vnd.oasis.opendocument.spreadsheet" },
        { "META-INF/manifest.xml", "<manifest:manifest><manifest:encryption-data/></manifest:manifest>" },
        { "content.xml", QByteArray("\x93\x12\xff\x00garbage", 11) } });

    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        { "truncated", good.left(good.size() / 2), QStringLiteral("File w.xlsx is damaged: its zip container cannot be read") },
        { "only the signature", QByteArray("PK\x03\x04", 4), QStringLiteral("File w.xlsx is damaged: its zip container cannot be read") },
        { "another document", ZipTest::zip({ { "word/document.xml", "<document/>" } }),
            QStringLiteral("File w.xlsx is neither an Excel nor an OpenDocument workbook") },
        { "no workbook part but relationships", ZipTest::zip({ { "_rels/.rels", "<Relationships/>" }, { "xl/other.xml", "<a/>" } }),
            QStringLiteral("File w.xlsx is neither an Excel nor an OpenDocument workbook") },
        { "sheet part missing", ZipTest::zip(noSheet), QStringLiteral("File w.xlsx is damaged: part xl/worksheets/sheet1.xml is missing") },
        { "XML that does not parse", ZipTest::zip(badXml),
            QStringLiteral(
                "File w.xlsx is damaged: part xl/worksheets/sheet1.xml is not valid XML (Opening and ending tag mismatch: c line 1 "
                "and row, line 1)") },
        { "shared string beyond the table", ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>3</v></c></row>" }, { "<t>a</t>" }),
            QStringLiteral("File w.xlsx is damaged: cell A1 of sheet Sheet1 names shared string 3, which does not exist") },
        { "a text too long for a cell",
            ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + hugeString.toUtf8() + "</t></is></c></row>" }),
            QStringLiteral("File w.xlsx cannot be imported: cell A1 of sheet Sheet1 holds more than 65535 characters") },
        { "zip bomb", bombBytes,
            QStringLiteral("File w.xlsx is refused: part xl/worksheets/sheet1.xml inflates beyond %1 MB, too much for a file of this size")
                .arg((16 * 1024 * 1024 + 100 * bombBytes.size()) / (1024 * 1024)) },
        { "repeats past the cell limit", ZipTest::ods(manyCells),
            QStringLiteral("File w.xlsx is refused: it holds more than 4194304 cells") },
        { "encrypted document", encrypted, QStringLiteral("File w.xlsx is protected by a password") },
    };
    for (const Case &c : cases)
        EXPECT_EQ(openError(c.bytes), c.message) << c.what;
    EXPECT_EQ(openError(good), QString());
}

// A text is measured while it is gathered: one that grows beyond what a
// cell can hold is refused before the rest of it is read, here before the
// damage that follows it in the part is even reached. A text of the
// longest length allowed, every character escaped, still reads.
TEST_F(ZipWorkbook, TextsTooLongAreRefusedWhileGathered)
{
    const QByteArray huge(1024 * 1024, 'a');
    const QString cellTooLong = QStringLiteral("File w.xlsx cannot be imported: cell A1 of sheet Sheet1 holds more than 65535 characters");
    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        { "inline text", ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + huge + "</is></c></row>" }), cellTooLong },
        { "formula text", ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"str\"><f>A2</f><v>" + huge + "</c></row>" }), cellTooLong },
        { "number", ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\"><v>" + QByteArray(huge.size(), '7') + "</c></row>" }), cellTooLong },
        { "shared string", ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>" }, { "<t>" + huge }),
            QStringLiteral("File w.xlsx is damaged: shared string 0 holds more than 65535 characters") },
    };
    for (const Case &c : cases)
        EXPECT_EQ(openError(c.bytes), c.message) << c.what;

    QByteArray escaped;
    for (int i = 0; i < 65535; ++i)
        escaped += "_x0041_";
    Opened longest(ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + escaped
                                     + "</t></is></c>"
                                       "<c r=\"B1\" t=\"s\"><v>0</v></c></row>" },
        { "<t>" + escaped + "</t>" }));
    EXPECT_EQ(longest.text(0, 0, 0), QString(65535, QLatin1Char('A')));
    EXPECT_EQ(longest.text(0, 0, 1), QString(65535, QLatin1Char('A')));
}

// A part is inflated ahead of its parsing in chunks: a sheet of many
// chunks arrives whole and in order, and one whose compressed data is
// damaged midway is refused with its part named.
TEST_F(ZipWorkbook, LargePartsArriveWholeAndDamageMidwayIsNamed)
{
    QByteArray rows;
    for (int r = 1; r <= 40000; ++r) {
        rows += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < 5; ++c)
            rows += "<c><v>" + QByteArray::number(r * 10 + c) + "</v></c>";
        rows += "</row>";
    }
    ASSERT_GT(rows.size(), 4 * 1024 * 1024);
    const QByteArray bytes = ZipTest::xlsx({ rows });
    {
        Opened wb(bytes);
        XlsWorkSheet *sheet = wb.file.workSheet(0);
        EXPECT_EQ(sheet->cellCount(), 200000);
        qsizetype wrong = 0;
        for (int r = 0; r < 40000; ++r)
            for (int c = 0; c < 5; ++c)
                wrong += sheet->cellText(r, c) != QString::number((r + 1) * 10 + c);
        EXPECT_EQ(wrong, 0);
    }
    QByteArray damaged = bytes;
    const qsizetype sheetData = damaged.indexOf("xl/worksheets/sheet1.xml");
    ASSERT_GT(sheetData, 0);
    const qsizetype midway = sheetData + (damaged.size() - sheetData) / 2;
    for (qsizetype i = midway; i < midway + 64; ++i)
        damaged[i] = char(0xFF);
    // Inflating may fail or give bytes that do not parse: either way the
    // part is named.
    EXPECT_TRUE(openError(damaged).startsWith(QStringLiteral("File w.xlsx is damaged: part xl/worksheets/sheet1.xml ")));
}

TEST_F(ZipWorkbook, DamagedCopiesNeverCrash)
{
    const QList<QByteArray> originals
        = { fileBytes(fixture(QStringLiteral("workbooks/features.xlsx"))), fileBytes(fixture(QStringLiteral("workbooks/features.ods"))),
              // Stored parts: every flip lands in the XML.
              ZipTest::xlsx({ "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>45366</v></c></row>" },
                  { "<t>a&amp;b</t>" }, "<xf numFmtId=\"14\"/>"),
              ZipTest::ods(
                  "<table:table table:name=\"T\"><table:table-row table:number-rows-repeated=\"3\"><table:table-cell "
                  "office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"3\"/></table:table-row></table:table>") };
    DamagedCopies copies(0x9E3779B97F4A7C15ull);
    int opened = 0, refused = 0;
    auto attempt = [&](const QByteArray &bytes) {
        WorkbookFile file;
        file.setFileName(QStringLiteral("w.xlsx"));
        try {
            file.openBuffer(bytes);
        } catch (const ImportError &e) {
            ++refused;
            EXPECT_TRUE(isZipReaderMessage(e.text())) << e.text().toStdString();
            return;
        }
        ++opened;
        for (const QString &line : dump(file))
            EXPECT_FALSE(line.isNull());
    };
    for (const QByteArray &original : originals) {
        ASSERT_FALSE(original.isEmpty());
        copies.forEach(original, 151, attempt);
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}

// ---------------------------------------------------------------- the corpus

namespace {

// A date, time or duration of the dump as a day count from 30/12/1899.
bool pythonDays(const QString &repr, double &days)
{
    static const QRegularExpression call(QStringLiteral(R"(^datetime\.(\w+)\((.*)\)$)"));
    const QRegularExpressionMatch m = call.match(repr);
    if (!m.hasMatch())
        return false;
    QList<double> n;
    QHash<QString, double> named;
    for (const QString &arg : m.captured(2).split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        if (arg.contains(u'='))
            named.insert(arg.section(u'=', 0, 0), arg.section(u'=', 1).toDouble());
        else
            n << arg.toDouble();
    }
    auto at = [&](int i) { return i < n.size() ? n[i] : 0.0; };
    const QString kind = m.captured(1);
    if (kind == QLatin1String("datetime") || kind == QLatin1String("date")) {
        days = double(QDate(1899, 12, 30).daysTo(QDate(int(at(0)), int(at(1)), int(at(2)))))
            + (at(3) * 3600 + at(4) * 60 + at(5) + at(6) / 1e6) / 86400.0;
        return true;
    }
    if (kind == QLatin1String("time")) {
        days = (at(0) * 3600 + at(1) * 60 + at(2) + at(3) / 1e6) / 86400.0;
        return true;
    }
    if (kind == QLatin1String("timedelta")) {
        days = named.value(QStringLiteral("days"))
            + (named.value(QStringLiteral("seconds")) + named.value(QStringLiteral("microseconds")) / 1e6) / 86400.0;
        return true;
    }
    return false;
}

// The number a cell holds: its value, or a formula's cached number.
bool cellNumber(BiffCell *cell, double &value, bool asDate)
{
    if (cell->isFormula()) {
        const QVariant r = cell->asFormula()->cachedResult();
        if (r.typeId() != QMetaType::Double)
            return false;
        value = r.toDouble();
        // A formula's number is never read as a date; its serial is the
        // workbook's own.
        if (asDate && cell->workSheet()->workbook()->globals().dates1904())
            value += 1462.0;
        return true;
    }
    if (cell->kind() != XlsCellKind::Number && cell->kind() != XlsCellKind::DateTime)
        return false;
    value = asDate ? cell->dateTime() : cell->number();
    return true;
}

bool close(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(b));
}

} // namespace

TEST_F(ZipWorkbook, CorpusReadsAsTheReferenceReader)
{
    const QDir xlsx(QStringLiteral(KESTRA_CORPUS_DIR "/xlsx"));
    const QDir ods(QStringLiteral(KESTRA_CORPUS_DIR "/ods"));
    const QDir ref(QStringLiteral(KESTRA_CORPUS_DIR "/xlsx_ref"));
    if (!xlsx.exists() || !ods.exists() || !ref.exists())
        GTEST_SKIP() << "corpus not found at " KESTRA_CORPUS_DIR;
    FormatSettings fs = FormatSettings::current();
    fs.decimalSeparator = QLatin1Char('.');
    FormatSettings::setCurrent(fs);

    QStringList files;
    for (const QString &name : xlsx.entryList({ QStringLiteral("*.xlsx"), QStringLiteral("*.xlsm") }, QDir::Files, QDir::Name))
        files << xlsx.filePath(name);
    for (const QString &name : ods.entryList({ QStringLiteral("*.ods") }, QDir::Files, QDir::Name))
        files << ods.filePath(name);
    ASSERT_GE(files.size(), 80);

    // Only the files the other reader read whole have a dump to compare.
    QSet<QString> dumped;
    QFile index(ref.filePath(QStringLiteral("INDEX.tsv")));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QByteArray &line : index.readAll().split('\n'))
        if (line.split('\t').value(1) == "OK")
            dumped.insert(QString::fromUtf8(line.split('\t').value(0)));

    int read = 0, refused = 0, compared = 0, formulaErrors = 0, formulaDates = 0, escapes = 0, durations = 0;
    // Where the date test of .xls workbooks and the other reader's disagree.
    int numbersAsDates = 0, datesAsNumbers = 0;
    for (const QString &path : files) {
        const QString name = QFileInfo(path).fileName();
        SCOPED_TRACE(name.toStdString());
        WorkbookFile file;
        file.setFileName(path);
        try {
            file.open();
        } catch (const ImportError &e) {
            ++refused;
            EXPECT_TRUE(isZipReaderMessage(e.text())) << e.text().toStdString();
            std::cout << "[ corpus   ] refused " << name.toStdString() << ": " << e.text().toStdString() << std::endl;
            continue;
        }
        ++read;
        // Every cell reads as text without failing.
        dump(file);

        QFile dumpFile(ref.filePath(name + QStringLiteral(".txt")));
        if (!dumped.contains(name) || !dumpFile.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&dumpFile);
        in.setEncoding(QStringConverter::Utf8);
        QSet<QString> listed;
        int mismatches = 0;
        auto mismatch = [&](const QString &what) {
            if (++mismatches <= 5)
                ADD_FAILURE() << name.toStdString() << " " << what.toStdString();
        };
        int sheets = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const QStringList f = line.split(u'\t');
            if (line.startsWith(QLatin1String("OPENPYXL_ERROR")) || line.startsWith(u'#'))
                continue;
            if (line.startsWith(QLatin1String("SHEET "))) {
                const int index = f[0].mid(6).toInt();
                if (file.workSheetName(index) != pythonString(f.value(1)))
                    mismatch(QStringLiteral("sheet %1 named %2, not %3").arg(index).arg(file.workSheetName(index), f.value(1)));
                ++sheets;
                continue;
            }
            if (f.size() < 5)
                continue;
            const int s = f[0].toInt(), row = f[1].toInt(), col = f[2].toInt();
            const QString type = f[3], value = f.mid(4).join(u'\t');
            const QString where = QStringLiteral("sheet %1 %2").arg(s).arg(ZipWorkbookLimits::cellName(row, col));
            listed.insert(QStringLiteral("%1/%2/%3").arg(s).arg(row).arg(col));
            XlsWorkSheet *sheet = file.workSheet(s);
            BiffCell *cell = sheet && row <= 65535 && col <= 255 ? sheet->cell(row, col) : nullptr;
            if (!cell) {
                mismatch(where + QStringLiteral(" missing, expected ") + value);
                continue;
            }
            ++compared;
            double number = 0;
            if (type == QLatin1String("n")) {
                if (!cellNumber(cell, number, false) || !close(number, value.toDouble(), 1e-12))
                    mismatch(where + QStringLiteral(" reads ") + cell->text() + QStringLiteral(", expected ") + value);
                else if (cell->kind() == XlsCellKind::DateTime)
                    ++numbersAsDates;
            } else if (type == QLatin1String("s")) {
                const QString expected = pythonString(value);
                if (cell->text() == expected)
                    continue;
                // The other reader leaves the format's "_xHHHH_" escapes as
                // they stand; Excel shows, and this reader reads, the character.
                static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
                QString unescaped = expected;
                for (QRegularExpressionMatch m = escape.match(unescaped); m.hasMatch(); m = escape.match(unescaped, m.capturedStart() + 1))
                    unescaped.replace(m.capturedStart(), m.capturedLength(), QChar(char16_t(m.captured(1).toUInt(nullptr, 16))));
                if (cell->text() == unescaped)
                    ++escapes;
                else
                    mismatch(where + QStringLiteral(" reads [") + cell->text() + QStringLiteral("], expected ") + value);
            } else if (type == QLatin1String("b")) {
                const QVariant v = cell->variant();
                if (v.typeId() != QMetaType::Bool || v.toBool() != (value == QLatin1String("True")))
                    mismatch(where + QStringLiteral(" reads ") + cell->text() + QStringLiteral(", expected ") + value);
            } else if (type == QLatin1String("d")) {
                double days = 0;
                // A duration ([h]:mm:ss) is a count of days, on no date
                // system; read as a date-time by the .xls rule.
                const bool duration = value.startsWith(QLatin1String("datetime.timedelta"));
                if (duration && pythonDays(value, days) && cellNumber(cell, number, false) && close(number, days, 1e-8))
                    ++durations;
                else if (!pythonDays(value, days) || !cellNumber(cell, number, true) || !close(number, days, 1e-8))
                    mismatch(where + QStringLiteral(" reads ") + cell->text() + QStringLiteral(", expected ") + value);
                else if (cell->isFormula())
                    ++formulaDates; // the same date, shown as a number by the .xls rule for formulas
                else if (!duration && cell->kind() != XlsCellKind::DateTime)
                    ++datesAsNumbers;
            } else if (type == QLatin1String("e")) {
                if (cell->isFormula() && !cell->asFormula()->cachedResult().isValid())
                    ++formulaErrors; // a formula's error reads as empty, as in .xls
                else if (cell->text() != pythonString(value))
                    mismatch(where + QStringLiteral(" reads ") + cell->text() + QStringLiteral(", expected ") + value);
            }
        }
        // The other reader knows no strict workbook: it saw none of its sheets.
        if (sheets == 0 && file.workSheetCount() > 0) {
            std::cout << "[ corpus   ] " << name.toStdString() << ": no sheet in the reference dump, " << file.workSheetCount()
                      << " read here" << std::endl;
            continue;
        }
        EXPECT_EQ(sheets, file.workSheetCount());
        // And nothing held here that the other reader does not list.
        for (int s = 0; s < file.workSheetCount(); ++s) {
            const XlsRowList &rows = file.workSheet(s)->rows();
            for (int r = 0; r < rows.count(); ++r)
                for (int c = 0; c < rows.row(r)->count(); ++c) {
                    BiffCell *cell = rows.row(r)->cell(c);
                    const bool empty = cell->kind() == XlsCellKind::Other
                        && (!cell->isFormula() || !cell->asFormula()->cachedResult().isValid());
                    if (!empty && !listed.contains(QStringLiteral("%1/%2/%3").arg(s).arg(cell->row()).arg(cell->column())))
                        mismatch(QStringLiteral("sheet %1 %2 holds [%3], not in the reference").arg(s).arg(cell->name(), cell->text()));
                }
        }
    }
    std::cout << "[ corpus   ] " << read << " read, " << refused << " refused, " << compared << " cells compared; " << formulaErrors
              << " formula errors read as empty, " << formulaDates << " formula dates read as numbers, " << escapes
              << " texts with _xHHHH_ escapes read as their characters, " << durations << " durations read as date-times; the date test "
              << "reads " << numbersAsDates << " of the other reader's numbers as dates and " << datesAsNumbers
              << " of its dates as numbers" << std::endl;
    EXPECT_GE(read, 80);
}
