#include "core/DateTime.h"
#include "import/sources/text/TextImport.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"
#include "tests/import/DataImportTestSupport.h"
#include "tests/import/ReaderTestSupport.h"
#include "tests/import/XlsTestStream.h"
#include "tests/support/ScopedFormatSettings.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The lines of a log after its start line, time stamps left out.
QStringList logLines(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QString text = QString::fromLatin1(f.readAll());
    text.replace(QRegularExpression(QStringLiteral("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d - ")), QString());
    return text.split(QStringLiteral("\r\n"));
}

// Invoice rows as stored: order number -> (invoice number, price, date, code).
struct Stored
{
    QString number;
    QVariant price;
    QVariant date;
    QVariant code;
};

QMap<int, Stored> storedInvoices(TestDatabase &db)
{
    Query q(db.connection(), QStringLiteral("select NUMEROORDRE, NUMEROFACTURE, PRIXVENTE, DATEFACTURE, CODE from FACTURE"));
    q.open();
    QMap<int, Stored> rows;
    Row row;
    while (q.fetch(row))
        rows.insert(row[0].toInt(), Stored { row[1].toString(), row[2], row[3], row[4] });
    return rows;
}

QVariant date(int y, int m, int d)
{
    return QVariant::fromValue(TimeStamp { DateTime::encodeDate(y, m, d) });
}

// The company, year and quarter every invoice needs, as constants.
void addInvoiceConstants(ImportEngine &source)
{
    source.fieldFormats().add(QStringLiteral("IDENTIFIANT")).constantValue = QStringLiteral("0123456AM000");
    source.fieldFormats().add(QStringLiteral("EXERCICE")).constantValue = QStringLiteral("2008");
    source.fieldFormats().add(QStringLiteral("TRIMESTRE")).constantValue = QStringLiteral("1");
}

struct DbfField
{
    const char *name;
    char type;
    int length;
};

// A dBase III table: header, descriptors, records ("*" first for a deleted one).
QByteArray dbfTable(const QList<DbfField> &fields, const QList<QStringList> &records)
{
    int recordLength = 1;
    for (const DbfField &f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    QByteArray out(32, '\0');
    out[0] = 0x03;
    out[1] = 108;
    out[2] = 1;
    out[3] = 1;
    const quint32 count = quint32(records.size());
    for (int i = 0; i < 4; ++i)
        out[4 + i] = char((count >> (8 * i)) & 0xFF);
    out[8] = char(headerLength & 0xFF);
    out[9] = char(headerLength >> 8);
    out[10] = char(recordLength & 0xFF);
    out[11] = char(recordLength >> 8);
    for (const DbfField &f : fields) {
        QByteArray d(32, '\0');
        const QByteArray name(f.name);
        d.replace(0, name.size(), name);
        d[11] = f.type;
        d[16] = char(f.length);
        out += d;
    }
    out += char(0x0D);
    for (const QStringList &record : records) {
        const bool deleted = record.value(0) == QLatin1String("*");
        out += deleted ? '*' : ' ';
        for (int i = 0; i < fields.size(); ++i) {
            QByteArray v = record.value(i + (deleted ? 1 : 0)).toLatin1().left(fields[i].length);
            const QByteArray pad(fields[i].length - v.size(), ' ');
            out += fields[i].type == 'N' ? pad + v : v + pad;
        }
    }
    out += char(0x1A);
    return out;
}

} // namespace

class DataImportReaders : public ::testing::Test
{
protected:
    ScopedFormatSettings formatsGuard;
    InvoiceFixture fx;

    void configureTarget(ImportEngine &source, const QString &file)
    {
        source.setDataSet(&fx.invoices);
        source.setFileName(file);
        ImportFormats formats;
        formats.decimalSeparator = QLatin1Char(',');
        formats.thousandSeparator = QLatin1Char(' ');
        formats.dateSeparator = QLatin1Char('/');
        formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
        formats.timeSeparator = QLatin1Char(':');
        formats.shortTimeFormat = QStringLiteral("hh:nn");
        source.setFormats(formats);
        source.setErrorLog(true);
        source.setErrorLogFileName(fx.dir.path() + QStringLiteral("/import.log"));
        addInvoiceConstants(source);
    }
};

// ---------------------------------------------------------------------------
// Text files
// ---------------------------------------------------------------------------

TEST_F(DataImportReaders, TextHeaderBlankLinesAndPhysicalLineNumbers)
{
    const QString file = fx.dir.path() + "/invoices.csv";
    writeFile(file,
        "order;number;price\r\n" // line 1: header
        "1;\"F;1\";12.5\r\n" // line 2
        "\r\n" // line 3: blank
        "1;F1bis;3\r\n" // line 4: the same order number, refused
        "   \r\n" // line 5: blanks only
        "2;F2;abc\r\n" // line 6: a price that does not convert
        "3;F3"); // line 7, without its line end
    TextImport source;
    configureTarget(source, file);
    source.setComma(QLatin1Char(';'));
    source.setSkipFirstRows(1);
    source.setMap({ "NUMEROORDRE=1", "NUMEROFACTURE=2", "PRIXVENTE=3" });
    source.execute();

    const QMap<int, Stored> rows = storedInvoices(fx.db);
    EXPECT_EQ(rows.keys(), QList<int>({ 1, 2, 3 }));
    EXPECT_EQ(rows[1].number, "F;1");
    EXPECT_EQ(rows[1].price, QVariant(12.5));
    EXPECT_FALSE(rows[2].price.isValid());
    EXPECT_FALSE(rows[3].price.isValid()); // a missing field is an empty text
    const QStringList log = logLines(fx.dir.path() + "/import.log");
    ASSERT_GE(log.size(), 4);
    EXPECT_TRUE(log[2].startsWith("Line 4: violation of PRIMARY or UNIQUE KEY constraint")) << log[2].toStdString();
    EXPECT_EQ(log.filter("Line 6: 'abc' is not a valid floating point value").size(), 1);
    EXPECT_EQ(source.errorCount(), 1);
}

TEST_F(DataImportReaders, TextInUtf8AndCharactersTheDatabaseCannotHold)
{
    const QString file = fx.dir.path() + "/invoices.csv";
    writeFile(file,
        "\xEF\xBB\xBF"
        "order;number;price\r\n"
        "1;Soci\xC3\xA9t\xC3\xA9 \xC5\x92;12,5\r\n" // Œ: the code page holds it
        "2;\xCE\xA9mega;3\r\n"); // Ω: it does not
    TextImport source;
    configureTarget(source, file);
    source.setComma(QLatin1Char(';'));
    source.setSkipFirstRows(1);
    source.setMap({ "NUMEROORDRE=1", "NUMEROFACTURE=2", "PRIXVENTE=3" });
    source.execute();

    const QMap<int, Stored> rows = storedInvoices(fx.db);
    EXPECT_EQ(rows.keys(), QList<int>({ 1, 2 }));
    EXPECT_EQ(rows[1].number, QStringLiteral("Société Œ"));
    // The value is refused, not stored as "?mega"; the rest of the row is.
    EXPECT_EQ(rows[2].number, QString());
    EXPECT_EQ(rows[2].price, QVariant(3.0));
    EXPECT_EQ(source.errorCount(), 0);
    const QStringList log = logLines(fx.dir.path() + "/import.log");
    EXPECT_EQ(log.filter(QStringLiteral("Line 3: Value \"?mega\" holds \"?\" (U+03A9), a character the database cannot store")).size(), 1)
        << log.join(QLatin1Char('\n')).toStdString();

    // OEM text, read as such when told.
    writeFile(file, "3;Caf\x82;1\r\n");
    TextImport oem;
    configureTarget(oem, file);
    oem.setComma(QLatin1Char(';'));
    oem.setEncoding(teOem850);
    oem.setMap({ "NUMEROORDRE=1", "NUMEROFACTURE=2", "PRIXVENTE=3" });
    oem.execute();
    EXPECT_EQ(storedInvoices(fx.db)[3].number, QStringLiteral("Café"));
}

TEST_F(DataImportReaders, TextFixedWidthAndMapValues)
{
    const QString file = fx.dir.path() + "/invoices.txt";
    writeFile(file, "0007FACT-7    1234,5\n0008FACT-8\n");
    TextImport source;
    configureTarget(source, file);
    source.setComma(QChar(0));
    source.setMap({ "NUMEROORDRE=0;4", "NUMEROFACTURE=4;10", "PRIXVENTE=14;10" });
    source.execute();
    const QMap<int, Stored> rows = storedInvoices(fx.db);
    EXPECT_EQ(rows.keys(), QList<int>({ 7, 8 }));
    EXPECT_EQ(rows[7].number, "FACT-7");
    EXPECT_EQ(rows[7].price, QVariant(1234.5));
    EXPECT_FALSE(rows[8].price.isValid());

    // A fixed-width map value needs its start and its length: refused before any line is read.
    source.setMap({ "NUMEROORDRE=3" });
    try {
        source.execute();
        ADD_FAILURE() << "no error";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Missing definition of map"));
    }
    source.setComma(QLatin1Char(';'));
    source.setMap({ "NUMEROORDRE=first" });
    EXPECT_THROW(source.execute(), ImportError);
    EXPECT_EQ(fx.count(), 2);
}

// ---------------------------------------------------------------------------
// dBase tables
// ---------------------------------------------------------------------------

namespace {

const QList<DbfField> InvoiceFields = { { "NUMFAC", 'C', 10 }, { "DATEFAC", 'D', 8 }, { "PRIX", 'N', 10 }, { "PAYE", 'L', 1 } };

const QList<QStringList> InvoiceRecords = {
    { "F1", "20081231", "  12.50", "T" },
    { "F2", "", "3", "F" },
    { "*", "F3", "20080101", "1", "T" },
    { "F4", "20081332", "4", "T" },
    { "F5", "20080229", "5", "F" },
};

} // namespace

TEST_F(DataImportReaders, DbfDatesBooleansAndDeletedRecords)
{
    const QString file = fx.dir.path() + "/invoices.dbf";
    writeFile(file, dbfTable(InvoiceFields, InvoiceRecords));
    DbfImport source;
    configureTarget(source, file);
    source.setSkipDeleted(false);
    source.setMap({ "NUMEROFACTURE=numfac", "DATEFACTURE=DATEFAC", "PRIXVENTE= Prix ", "CODE=PAYE" });
    FieldFormat &counter = source.fieldFormats().add("NUMEROORDRE");
    counter.generatorStep = 1;
    source.formats().booleanTrue << "T";
    source.formats().booleanFalse << "F";
    int total = -1;
    source.onBeforeImport = [&](ImportEngine *sender) { total = sender->totalRecords(); };
    source.execute();
    EXPECT_EQ(total, 5);

    const QMap<int, Stored> rows = storedInvoices(fx.db);
    ASSERT_EQ(rows.keys(), QList<int>({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(rows[1].date, date(2008, 12, 31));
    EXPECT_EQ(rows[1].price, QVariant(12.5)); // the point read whatever the decimal separator
    EXPECT_EQ(rows[1].code, QVariant(1));
    EXPECT_FALSE(rows[2].date.isValid()); // a blank date
    EXPECT_EQ(rows[2].code, QVariant(0));
    EXPECT_EQ(rows[3].number, "F3"); // deleted, imported all the same
    EXPECT_FALSE(rows[4].date.isValid()); // no such day: refused, not taken for 30/12/1899
    EXPECT_EQ(rows[5].date, date(2008, 2, 29));
    EXPECT_EQ(logLines(fx.dir.path() + "/import.log").filter("Line 4: Wrong date format \"20081332\"").size(), 1);
}

TEST_F(DataImportReaders, DbfSkippedRecordsAndLineNumbers)
{
    const QString file = fx.dir.path() + "/invoices.dbf";
    writeFile(file, dbfTable(InvoiceFields, InvoiceRecords));
    DbfImport source;
    configureTarget(source, file);
    source.setSkipFirstRows(2);
    source.setMap({ "NUMEROFACTURE=NUMFAC", "DATEFACTURE=DATEFAC", "CODE=PAYE" });
    FieldFormat &counter = source.fieldFormats().add("NUMEROORDRE");
    counter.generatorStep = 1;
    source.execute();

    // Records 1 and 2 are leading rows and record 3 is deleted; the counter
    // went on through all of them.
    const QMap<int, Stored> rows = storedInvoices(fx.db);
    ASSERT_EQ(rows.keys(), QList<int>({ 4, 5 }));
    EXPECT_EQ(rows[4].number, "F4");
    EXPECT_FALSE(rows[4].code.isValid()); // "T" is no boolean text by default
    EXPECT_EQ(source.importedCount(), 2);
    // After the deleted record, line numbers are one lower than record numbers.
    const QStringList log = logLines(fx.dir.path() + "/import.log");
    EXPECT_EQ(log.filter("Line 3: Wrong date format \"20081332\"").size(), 1);
    EXPECT_EQ(log.filter("Line 3: 'T' is not a valid floating point value").size(), 1);
    EXPECT_EQ(log.filter("Line 4: 'F' is not a valid floating point value").size(), 1);
    EXPECT_EQ(log.filter("3 value(s) could not be converted").size(), 1);
    EXPECT_TRUE(log.filter("No error found").isEmpty());
}

// ---------------------------------------------------------------------------
// XML data packets
// ---------------------------------------------------------------------------

namespace {

QByteArray packet(const QByteArray &rows)
{
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n"
           "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"NUMEROORDRE\" fieldtype=\"i4\" /><FIELD attrname=\"NUMFAC\" fieldtype=\"string\" WIDTH=\"20\" />"
           "</FIELDS></METADATA>\n<ROWDATA>\n"
        + rows + "</ROWDATA></DATAPACKET>\n";
}

} // namespace

TEST_F(DataImportReaders, XmlSkippedRowsLineNumbersAndBothReadings)
{
    const QString file = fx.dir.path() + "/invoices.xml";
    writeFile(file,
        packet("<ROW NUMEROORDRE=\"1\" NUMFAC=\"F1\" />\n"
               "<ROW NUMEROORDRE=\"2\" NUMFAC=\"F2\" />\n"
               "<ROW NUMEROORDRE=\"3\" NUMFAC=\"A&amp;lt;B\" />\n"
               "<ROW NUMEROORDRE=\"3\" NUMFAC=\"again\" />\n"
               "<row numeroordre=\"5\" NUMFAC=\"F5\" />\n"));
    for (bool onFly : { false, true }) {
        SCOPED_TRACE(onFly ? "row by row" : "whole tree");
        fx.db.exec("delete from FACTURE");
        fx.invoices.close();
        fx.invoices.open();
        XmlImport source;
        configureTarget(source, file);
        source.setWriteOnFly(onFly);
        source.setSkipFirstRows(2);
        // Row by row the attribute is the column's own name: NUMFAC is not read.
        source.setMap({ "NUMEROORDRE=NUMEROORDRE", "NUMEROFACTURE=NUMFAC" });
        int total = -1;
        source.onBeforeImport = [&](ImportEngine *sender) { total = sender->totalRecords(); };
        source.execute();
        EXPECT_EQ(total, onFly ? 0 : 5);
        const QMap<int, Stored> rows = storedInvoices(fx.db);
        ASSERT_EQ(rows.keys(), QList<int>({ 3, 5 }));
        EXPECT_EQ(rows[3].number, onFly ? QString() : QStringLiteral("A<B"));
        EXPECT_EQ(source.errorCount(), 1);
        EXPECT_EQ(logLines(fx.dir.path() + "/import.log").filter(QRegularExpression("^Line 4: violation")).size(), 1);
    }
}

TEST_F(DataImportReaders, XmlFaultyTagStopsWhereItStands)
{
    const QString file = fx.dir.path() + "/invoices.xml";
    writeFile(file,
        packet("<ROW NUMEROORDRE=\"1\" />\n"
               "<ROW NUMEROORDRE=\"2\" />\n"
               "<ROW NUMEROORDRE=\"3\">text</ROW>\n"
               "<ROW NUMEROORDRE=\"4\" />\n"));
    for (bool onFly : { false, true }) {
        SCOPED_TRACE(onFly ? "row by row" : "whole tree");
        XmlImport source;
        configureTarget(source, file);
        source.setWriteOnFly(onFly);
        source.setMap({ "NUMEROORDRE=NUMEROORDRE" });
        int commits = 0;
        source.onNeedCommit = [&](ImportEngine *) { ++commits; };
        try {
            source.execute();
            ADD_FAILURE() << "no error";
        } catch (const ImportError &e) {
            EXPECT_TRUE(e.text().startsWith("Unexpected symbol t at position")) << e.text().toStdString();
        }
        // Read whole, the file fails before any row; row by row, the rows
        // before the faulty one are in, and committed.
        EXPECT_EQ(fx.count(), onFly ? 3 : 0);
        EXPECT_EQ(commits, onFly ? 1 : 0);
    }
}

// ---------------------------------------------------------------------------
// Excel workbooks
// ---------------------------------------------------------------------------

namespace {

// Feuil1: A2..A11 "n2".."n11", B2..B11 the numbers 2..11, C2..C6 prices 200.5..600.5.
QByteArray invoiceWorkbook()
{
    XlsTestStream s;
    QStringList sst;
    for (int r = 2; r <= 11; ++r)
        sst << QStringLiteral("n%1").arg(r);
    s.globals({ QStringLiteral("Feuil1") }, sst).beginSheet();
    for (int r = 2; r <= 11; ++r) {
        s.labelSst(r - 1, 0, 0, quint32(r - 2));
        s.number(r - 1, 1, 0, r);
        if (r <= 6)
            s.number(r - 1, 2, 0, r * 100 + 0.5);
    }
    return XlsTestStream::compoundDocument({ { QStringLiteral("Workbook"), s.eof().bytes() } });
}

} // namespace

TEST_F(DataImportReaders, XlsRecordsByLargestOrSmallestColumn)
{
    const QString file = fx.dir.path() + "/invoices.xls";
    writeFile(file, invoiceWorkbook());
    struct Case
    {
        ImportRange range;
        int importRecCount;
        QList<int> numbers;
    };
    for (const Case &c : { Case { qirMax, 0, { 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 } }, Case { qirMin, 0, { 2, 3, 4, 5, 6 } },
             Case { qirMax, 3, { 2, 3, 4 } } }) {
        SCOPED_TRACE(c.range == qirMax ? "largest" : "smallest");
        fx.db.exec("delete from FACTURE");
        fx.invoices.close();
        fx.invoices.open();
        WorkbookImport source;
        configureTarget(source, file);
        source.setImportRange(c.range);
        source.setImportRecCount(c.importRecCount);
        source.setMap({ "NUMEROFACTURE=a2-a11", "NUMEROORDRE=B2-B11;", "PRIXVENTE=C2-C6;" });
        source.execute();
        const QMap<int, Stored> rows = storedInvoices(fx.db);
        EXPECT_EQ(rows.keys(), c.numbers);
        EXPECT_EQ(rows.value(2).number, "n2");
        EXPECT_EQ(rows.value(2).price, QVariant(200.5));
        if (rows.contains(7)) {
            EXPECT_EQ(rows.value(6).price, QVariant(600.5));
            EXPECT_FALSE(rows.value(7).price.isValid()); // past the prices: empty
        }
        EXPECT_EQ(source.errorCount(), 0);
    }
}

TEST_F(DataImportReaders, XlsRangeErrorsStopBeforeAnyRecord)
{
    const QString file = fx.dir.path() + "/invoices.xls";
    writeFile(file, invoiceWorkbook());
    WorkbookImport source;
    configureTarget(source, file);
    const QChar decimal = FormatSettings::current().decimalSeparator;
    source.formats().decimalSeparator = QLatin1Char('#');
    for (const auto &[map, message] : { std::pair<const char *, const char *> { "B3-D9;", "Range B3-D9 is fail. It must be COL or ROW" },
             { "[Feuil2]A1-A3;", "Sheet with name FEUIL2 is not found in the source file" } }) {
        source.setMap({ "NUMEROORDRE=B2-B11;", QStringLiteral("PRIXVENTE=") + map });
        try {
            source.execute();
            ADD_FAILURE() << "no error";
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), QString::fromLatin1(message));
        }
    }
    EXPECT_EQ(fx.count(), 0);
    EXPECT_EQ(FormatSettings::current().decimalSeparator, decimal);
}
