#include "import/template/SourceKind.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/sources/text/TextImport.h"
#include "import/sources/text/TextLineReader.h"
#include "import/sources/workbook/RangeMap.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"
#include "import/template/TemplateReader.h"
#include "import/template/TemplateWriter.h"

namespace {

// The kinds' template sections; their names are those every template has.
const QString XlsMap = QStringLiteral("XLS_MAP");
const QString XlsOptions = QStringLiteral("XLS_OPTIONS");
const QString DbfOptions = QStringLiteral("DBF_OPTIONS");
const QString DbfMap = QStringLiteral("DBF_MAP");
const QString XmlOptions = QStringLiteral("XML_OPTIONS");
const QString XmlMap = QStringLiteral("XML_MAP");
const QString TxtMap = QStringLiteral("TXT_MAP");
const QString AsciiOptions = QStringLiteral("ASCII_OPTIONS");
const QString CsvMap = QStringLiteral("CSV_MAP");
const QString CsvOptions = QStringLiteral("CSV_OPTIONS");

template <typename Reader> std::unique_ptr<ImportEngine> create()
{
    return std::make_unique<Reader>();
}

QList<WizardFieldPair> readPairs(const TemplateReader &r, const QString &section, const ImportSettings &s)
{
    QList<WizardFieldPair> pairs;
    for (const QString &key : r.keys(section))
        if (!s.destinationColumn(key).isEmpty())
            pairs << WizardFieldPair { key, r.text(section, key, QString()) };
    return pairs;
}

// ---------------------------------------------------------------- workbooks

bool configureWorkbook(ImportEngine &source, const ImportSettings &s)
{
    auto *xls = dynamic_cast<WorkbookImport *>(&source);
    if (!xls)
        return false;
    xls->setSkipFirstRows(s.xlsSkipRows);
    xls->setSkipFirstCols(s.xlsSkipCols);
    return true;
}

void saveWorkbook(TemplateWriter &w, const ImportSettings &s)
{
    for (const QString &column : s.columns())
        if (const QString ranges = s.xlsRanges.value(column); !ranges.isEmpty())
            w.text(XlsMap, column, ranges);
    w.integer(XlsOptions, QStringLiteral("SkipCols"), s.xlsSkipCols);
    w.integer(XlsOptions, QStringLiteral("SkipRows"), s.xlsSkipRows);
}

void loadWorkbook(const TemplateReader &r, ImportSettings &s)
{
    for (const QString &key : r.keys(XlsMap)) {
        const QString column = s.destinationColumn(key);
        if (column.isEmpty())
            continue;
        // Kept as written: no workbook, so open ends stay open.
        MapRow row;
        row.parse(r.text(XlsMap, key, QString()));
        s.xlsRanges.setValue(column, row.text());
    }
    s.xlsSkipCols = r.integer32(XlsOptions, QStringLiteral("SkipCols"), 0);
    s.xlsSkipRows = r.integer32(XlsOptions, QStringLiteral("SkipRows"), 0);
}

// ---------------------------------------------------------------- dBase tables

bool configureDbf(ImportEngine &source, const ImportSettings &s)
{
    auto *dbf = dynamic_cast<DbfImport *>(&source);
    if (!dbf)
        return false;
    dbf->setSkipDeleted(s.skipDeleted);
    return true;
}

void saveDbf(TemplateWriter &w, const ImportSettings &s)
{
    w.boolean(DbfOptions, QStringLiteral("SkipDeleted"), s.skipDeleted);
    for (const WizardFieldPair &pair : s.dbfPairs)
        w.text(DbfMap, pair.column, pair.field);
}

void loadDbf(const TemplateReader &r, ImportSettings &s)
{
    s.skipDeleted = r.boolean(DbfOptions, QStringLiteral("SkipDeleted"), true);
    s.dbfPairs = readPairs(r, DbfMap, s);
}

// ---------------------------------------------------------------- XML packets

bool configureXml(ImportEngine &source, const ImportSettings &s)
{
    auto *xml = dynamic_cast<XmlImport *>(&source);
    if (!xml)
        return false;
    xml->setWriteOnFly(s.writeOnFly);
    return true;
}

void saveXml(TemplateWriter &w, const ImportSettings &s)
{
    w.boolean(XmlOptions, QStringLiteral("WriteOnFly"), s.writeOnFly);
    for (const WizardFieldPair &pair : s.xmlPairs)
        w.text(XmlMap, pair.column, pair.field);
}

void loadXml(const TemplateReader &r, ImportSettings &s)
{
    s.writeOnFly = r.boolean(XmlOptions, QStringLiteral("WriteOnFly"), false);
    s.xmlPairs = readPairs(r, XmlMap, s);
}

// ---------------------------------------------------------------- fixed-width text

bool configureFixedWidth(ImportEngine &source, const ImportSettings &s)
{
    auto *text = dynamic_cast<TextImport *>(&source);
    if (!text)
        return false;
    // The character 0 is what selects the fixed-width layout.
    text->setComma(QChar(0));
    text->setQuote(s.quote);
    text->setEncoding(s.textEncoding);
    ImportSettings placed = s;
    placed.applyPendingTxtMap();
    text->setSkipFirstRows(placed.txtSkipLines);
    return true;
}

void saveFixedWidth(TemplateWriter &w, const ImportSettings &s)
{
    // A map loaded but never placed on the page is still the map.
    ImportSettings placed = s;
    placed.applyPendingTxtMap();
    for (const QString &column : placed.columns()) {
        int size = 0;
        if (tryStrToInt(placed.txtSizes.value(column), size) && size > 0)
            w.text(TxtMap, column, placed.txtPositions.value(column) + QLatin1Char(';') + QString::number(size));
    }
    w.integer(AsciiOptions, QStringLiteral("SkipLines"), placed.txtSkipLines);
    // Only where it is not the single-byte reading every template had.
    if (placed.textEncoding != teWindows1252)
        w.integer(AsciiOptions, QStringLiteral("Encoding"), placed.textEncoding);
}

void loadFixedWidth(const TemplateReader &r, ImportSettings &s)
{
    WizardPendingTextMap pending;
    for (const QString &key : r.keys(TxtMap))
        pending.entries.append({ key, r.text(TxtMap, key, QString()) });
    pending.skipLines = r.integer32(AsciiOptions, QStringLiteral("SkipLines"), 0);
    s.pendingTxtMap = pending;
    s.textEncoding = r.enumeration(AsciiOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
}

// ---------------------------------------------------------------- delimited text

bool configureDelimited(ImportEngine &source, const ImportSettings &s)
{
    auto *text = dynamic_cast<TextImport *>(&source);
    if (!text)
        return false;
    text->setComma(s.delimiter);
    text->setQuote(s.quote);
    text->setEncoding(s.textEncoding);
    text->setSkipFirstRows(s.csvSkipLines);
    return true;
}

void saveDelimited(TemplateWriter &w, const ImportSettings &s)
{
    for (const QString &column : s.columns()) {
        int number = 0;
        if (tryStrToInt(s.csvColumns.value(column), number) && number > 0)
            w.integer(CsvMap, column, number);
    }
    w.integer(CsvOptions, QStringLiteral("SkipLines"), s.csvSkipLines);
    w.character(CsvOptions, QStringLiteral("Delimiter"), s.delimiter);
    w.character(CsvOptions, QStringLiteral("Quote"), s.quote);
    if (s.textEncoding != teWindows1252)
        w.integer(CsvOptions, QStringLiteral("Encoding"), s.textEncoding);
}

void loadDelimited(const TemplateReader &r, ImportSettings &s)
{
    s.setDelimiter(r.character(CsvOptions, QStringLiteral("Delimiter"), defaultTextDelimiter(), s.delimiter));
    s.setQuote(r.character(CsvOptions, QStringLiteral("Quote"), QLatin1Char('"'), s.quote));
    s.csvSkipLines = r.integer32(CsvOptions, QStringLiteral("SkipLines"), 0);
    // Templates older than the key read their files as single-byte text.
    s.textEncoding = r.enumeration(CsvOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
    for (const QString &key : r.keys(CsvMap)) {
        const QString column = s.destinationColumn(key);
        const int number = r.integer32(CsvMap, key, 0);
        if (!column.isEmpty() && number > 0)
            s.csvColumns.setValue(column, QString::number(number));
    }
}

// In the order of AllowedImport: sourceKind() indexes it by the kind.
const SourceKind kinds[] = {
    { aiXLS, "xls", &create<WorkbookImport>, &configureWorkbook, &saveWorkbook, &loadWorkbook },
    { aiDBF, "dbf", &create<DbfImport>, &configureDbf, &saveDbf, &loadDbf },
    { aiXML, "xml", &create<XmlImport>, &configureXml, &saveXml, &loadXml },
    // Both text layouts are read by the one text reader.
    { aiTXT, "txt", &create<TextImport>, &configureFixedWidth, &saveFixedWidth, &loadFixedWidth },
    { aiCSV, "csv", &create<TextImport>, &configureDelimited, &saveDelimited, &loadDelimited },
};
static_assert(std::size(kinds) == ImportKindCount, "one entry per kind");

} // namespace

std::span<const SourceKind> sourceKinds()
{
    return kinds;
}

const SourceKind &sourceKind(AllowedImport kind)
{
    if (int(kind) < 0 || int(kind) >= ImportKindCount)
        throw dataImportError(ImportMsg::UnknownImportSource);
    return kinds[kind];
}

const SourceKind *sourceKindNamed(const QString &name)
{
    for (const SourceKind &k : kinds)
        if (name == QLatin1String(k.name))
            return &k;
    return nullptr;
}
