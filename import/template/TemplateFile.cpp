#include "import/template/TemplateFile.h"

#include "core/Conversion.h"
#include "core/IniFile.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/sources/workbook/RangeMap.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString FirstStep = QStringLiteral("FIRST_STEP");
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
const QString BaseFormats = QStringLiteral("BASE_FORMATS");
const QString BooleanTrue = QStringLiteral("BOOLEAN_TRUE");
const QString BooleanFalse = QStringLiteral("BOOLEAN_FALSE");
const QString NullValues = QStringLiteral("NULL_VALUES");
const QString DataFormats = QStringLiteral("DATA_FORMATS_");
const QString Replacements = QStringLiteral("REPLACEMENTS_");
const QString LastStep = QStringLiteral("LAST_STEP");
const QString KeyColumnsSection = QStringLiteral("KeyColumns");

// ---------------------------------------------------------------- writing

class Writer
{
public:
    explicit Writer(IniFile &ini)
        : m_ini(ini)
    {
    }
    void text(const QString &section, const QString &key, const QString &value) { m_ini.writeString(section, key, value); }
    void integer(const QString &section, const QString &key, qint64 value) { text(section, key, QString::number(value)); }
    void boolean(const QString &section, const QString &key, bool value) { integer(section, key, value ? 1 : 0); }
    void character(const QString &section, const QString &key, QChar value) { text(section, key, encodeTemplateChar(value)); }
    // One key per line, with an empty value. A blank line cannot be a key.
    void lines(const QString &section, const QStringList &lines)
    {
        for (const QString &line : lines)
            if (!line.trimmed().isEmpty())
                text(section, line, QString());
    }

private:
    IniFile &m_ini;
};

void writeFieldFormat(Writer &w, const FieldFormat &format)
{
    const QString column = format.fieldName.toUpper();
    const QString section = DataFormats + column;
    if (format.generatorStep != 0) {
        // A counter ignores every other setting, its replacements included.
        w.integer(section, QStringLiteral("GeneratorValue"), format.generatorValue);
        w.integer(section, QStringLiteral("GeneratorStep"), format.generatorStep);
        return;
    }
    if (!format.constantValue.isEmpty())
        w.text(section, QStringLiteral("ConstantValue"), format.constantValue);
    if (format.constantValue.isEmpty() && !format.nullValue.isEmpty() && !format.defaultValue.isEmpty()) {
        w.text(section, QStringLiteral("NullValue"), format.nullValue);
        w.text(section, QStringLiteral("DefaultValue"), format.defaultValue);
    }
    if (!format.leftQuote.isEmpty())
        w.text(section, QStringLiteral("LeftQuote"), format.leftQuote);
    if (!format.rightQuote.isEmpty())
        w.text(section, QStringLiteral("RightQuote"), format.rightQuote);
    if (format.quoteAction != qaNone)
        w.integer(section, QStringLiteral("QuoteAction"), format.quoteAction);
    if (format.charCase != iccNone)
        w.integer(section, QStringLiteral("CharCase"), format.charCase);
    if (format.charSet != icsNone)
        w.integer(section, QStringLiteral("CharSet"), format.charSet);
    for (int i = 0; i < format.replacements.count(); ++i) {
        const FieldReplacement &r = format.replacements.at(i);
        const QString rs = Replacements + column + QLatin1Char('_') + QString::number(i);
        w.text(rs, QStringLiteral("TextToFind"), r.textToFind);
        w.text(rs, QStringLiteral("ReplaceWith"), r.replaceWith);
        w.boolean(rs, QStringLiteral("IgnoreCase"), r.ignoreCase);
    }
}

// ---------------------------------------------------------------- reading

class Reader
{
public:
    explicit Reader(const IniFile &ini)
        : m_ini(ini)
    {
    }
    bool has(const QString &section, const QString &key) const { return m_ini.hasKey(section, key); }
    QString text(const QString &section, const QString &key, const QString &def) const { return m_ini.readString(section, key, def); }
    // A malformed number is the default.
    qint64 integer(const QString &section, const QString &key, qint64 def) const
    {
        qint64 value = 0;
        return tryStrToInt64(text(section, key, QString()), value) ? value : def;
    }
    int integer32(const QString &section, const QString &key, int def) const
    {
        int value = 0;
        return tryStrToInt(text(section, key, QString()), value) ? value : def;
    }
    bool boolean(const QString &section, const QString &key, bool def) const { return integer32(section, key, def ? 1 : 0) != 0; }
    QChar character(const QString &section, const QString &key, QChar def, QChar current) const
    {
        return decodeTemplateChar(text(section, key, encodeTemplateChar(def)), current);
    }
    QStringList keys(const QString &section) const { return m_ini.keys(section); }
    QStringList sections() const { return m_ini.sections(); }

private:
    const IniFile &m_ini;
};

// A stored enumeration: the template's number when it names a value, else def.
template <typename E> E enumeration(const Reader &r, const QString &section, const QString &key, E def, int count)
{
    const int n = r.integer32(section, key, int(def));
    return n >= 0 && n < count ? E(n) : def;
}

QList<WizardFieldPair> readPairs(const Reader &r, const QString &section, const ImportSettings &s)
{
    QList<WizardFieldPair> pairs;
    for (const QString &key : r.keys(section))
        if (!s.destinationColumn(key).isEmpty())
            pairs << WizardFieldPair { key, r.text(section, key, QString()) };
    return pairs;
}

void readDataFormats(const Reader &r, const QString &section, FieldFormat &format)
{
    format.replacements.clear();
    format.generatorValue = r.integer(section, QStringLiteral("GeneratorValue"), format.generatorValue);
    format.generatorStep = r.integer(section, QStringLiteral("GeneratorStep"), format.generatorStep);
    format.constantValue = r.text(section, QStringLiteral("ConstantValue"), format.constantValue);
    format.nullValue = r.text(section, QStringLiteral("NullValue"), format.nullValue);
    format.defaultValue = r.text(section, QStringLiteral("DefaultValue"), format.defaultValue);
    format.leftQuote = r.text(section, QStringLiteral("LeftQuote"), format.leftQuote);
    format.rightQuote = r.text(section, QStringLiteral("RightQuote"), format.rightQuote);
    format.quoteAction = enumeration(r, section, QStringLiteral("QuoteAction"), format.quoteAction, 3);
    format.charCase = enumeration(r, section, QStringLiteral("CharCase"), format.charCase, 5);
    format.charSet = enumeration(r, section, QStringLiteral("CharSet"), format.charSet, 3);
}

// The column of a REPLACEMENTS_<column>_<n> section; empty when the name
// does not end with "_" and digits.
QString replacementColumn(const QString &section)
{
    static const QRegularExpression tail(QStringLiteral("_\\d+$"));
    const QString rest = section.mid(Replacements.size());
    const QRegularExpressionMatch m = tail.match(rest);
    return m.hasMatch() ? rest.left(m.capturedStart()) : QString();
}

} // namespace

void TemplateFile::save(const QString &fileName, const ImportSettings &s)
{
    if (fileName.trimmed().isEmpty())
        return;
    IniFile ini(fileName);
    for (const QString &section : ini.sections())
        ini.eraseSection(section);
    Writer w(ini);

    w.integer(FirstStep, QStringLiteral("ImportType"), s.importType);
    w.text(FirstStep, QStringLiteral("FileName"), s.fileName);
    w.boolean(FirstStep, QStringLiteral("GoToLastPage"), s.goToLastPage);
    w.boolean(FirstStep, QStringLiteral("AutoSaveTemplate"), s.autoSaveTemplate);

    switch (s.importType) {
    case aiXLS:
        for (const QString &column : s.columns())
            if (const QString ranges = s.xlsRanges.value(column); !ranges.isEmpty())
                w.text(XlsMap, column, ranges);
        w.integer(XlsOptions, QStringLiteral("SkipCols"), s.xlsSkipCols);
        w.integer(XlsOptions, QStringLiteral("SkipRows"), s.xlsSkipRows);
        break;
    case aiDBF:
        w.boolean(DbfOptions, QStringLiteral("SkipDeleted"), s.skipDeleted);
        for (const WizardFieldPair &pair : s.dbfPairs)
            w.text(DbfMap, pair.column, pair.field);
        break;
    case aiXML:
        w.boolean(XmlOptions, QStringLiteral("WriteOnFly"), s.writeOnFly);
        for (const WizardFieldPair &pair : s.xmlPairs)
            w.text(XmlMap, pair.column, pair.field);
        break;
    case aiTXT: {
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
        break;
    }
    case aiCSV:
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
        break;
    }

    const ImportFormats &f = s.formats;
    for (const BaseFormatField &field : baseFormatFields()) {
        const QString key = QString::fromLatin1(field.key);
        if (field.separator)
            w.character(BaseFormats, key, f.*field.separator);
        else
            w.text(BaseFormats, key, f.*field.format);
    }
    w.lines(BooleanTrue, f.booleanTrue);
    w.lines(BooleanFalse, f.booleanFalse);
    w.lines(NullValues, f.nullValues);

    for (const QString &column : s.columns())
        if (const FieldFormat *format = s.fieldFormat(column))
            writeFieldFormat(w, *format);

    w.boolean(LastStep, QStringLiteral("CommitAfterDone"), s.commitAfterDone);
    w.integer(LastStep, QStringLiteral("CommitRecCount"), s.commitRecCount);
    w.integer(LastStep, QStringLiteral("ImportRecCount"), s.effectiveImportRecCount());
    w.boolean(LastStep, QStringLiteral("CloseAfterImport"), s.closeAfterImport);
    w.boolean(LastStep, QStringLiteral("EnableErrorLog"), s.errorLog);
    w.text(LastStep, QStringLiteral("ErrorLogFileName"), s.errorLogFileName);
    w.boolean(LastStep, QStringLiteral("RewriteErrorLogFile"), s.rewriteErrorLogFile);
    w.boolean(LastStep, QStringLiteral("ShowErrorLog"), s.showErrorLog);
    w.integer(LastStep, QStringLiteral("ImportMode"), s.importMode);
    w.integer(LastStep, QStringLiteral("AddType"), s.addType);

    w.lines(KeyColumnsSection, s.keyColumns);

    if (!ini.save())
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 cannot be written"), fileName));
}

void TemplateFile::load(
    const QString &fileName, ImportSettings &settings, const ImportSettings &component, AllowedImports allowed)
{
    if (!QFileInfo(fileName).isFile())
        throw dataImportError(ImportMsg::FileDoesNotExist, { fileName });
    const IniFile ini(fileName);
    const Reader r(ini);
    // Worked on a copy: a refused template changes nothing.
    ImportSettings s = settings;

    // The file name as if typed, while the previous kind is still chosen.
    s.setFileName(r.text(FirstStep, QStringLiteral("FileName"), QString()));
    if (!component.goToLastPage)
        s.goToLastPage = r.boolean(FirstStep, QStringLiteral("GoToLastPage"), false);
    if (!component.autoSaveTemplate)
        s.autoSaveTemplate = r.boolean(FirstStep, QStringLiteral("AutoSaveTemplate"), false);
    AllowedImport kind = aiXLS;
    if (!importKindFromNumber(r.integer32(FirstStep, QStringLiteral("ImportType"), 0), kind) || !allowed.contains(kind))
        throw dataImportError(ImportMsg::UnknownImportSource);
    s.importType = kind;

    switch (kind) {
    case aiXLS:
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
        break;
    case aiDBF:
        s.skipDeleted = r.boolean(DbfOptions, QStringLiteral("SkipDeleted"), true);
        s.dbfPairs = readPairs(r, DbfMap, s);
        break;
    case aiXML:
        s.writeOnFly = r.boolean(XmlOptions, QStringLiteral("WriteOnFly"), false);
        s.xmlPairs = readPairs(r, XmlMap, s);
        break;
    case aiTXT: {
        WizardPendingTextMap pending;
        for (const QString &key : r.keys(TxtMap))
            pending.entries.append({ key, r.text(TxtMap, key, QString()) });
        pending.skipLines = r.integer32(AsciiOptions, QStringLiteral("SkipLines"), 0);
        s.pendingTxtMap = pending;
        s.textEncoding = enumeration(r, AsciiOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
        break;
    }
    case aiCSV:
        s.setDelimiter(r.character(CsvOptions, QStringLiteral("Delimiter"), defaultTextDelimiter(), s.delimiter));
        s.setQuote(r.character(CsvOptions, QStringLiteral("Quote"), QLatin1Char('"'), s.quote));
        s.csvSkipLines = r.integer32(CsvOptions, QStringLiteral("SkipLines"), 0);
        // Templates older than the key read their files as single-byte text.
        s.textEncoding = enumeration(r, CsvOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
        for (const QString &key : r.keys(CsvMap)) {
            const QString column = s.destinationColumn(key);
            const int number = r.integer32(CsvMap, key, 0);
            if (!column.isEmpty() && number > 0)
                s.csvColumns.setValue(column, QString::number(number));
        }
        break;
    }

    const ImportFormats &cf = component.formats;
    ImportFormats &f = s.formats;
    for (const BaseFormatField &field : baseFormatFields()) {
        const QString key = QString::fromLatin1(field.key);
        if (field.separator)
            f.*field.separator = r.character(BaseFormats, key, cf.*field.separator, f.*field.separator);
        else
            f.*field.format = r.text(BaseFormats, key, cf.*field.format);
    }
    f.booleanTrue = r.keys(BooleanTrue);
    f.booleanFalse = r.keys(BooleanFalse);
    f.nullValues = r.keys(NullValues);

    // In file order: a DATA_FORMATS_ section empties its column's
    // replacements, so only the REPLACEMENTS_ sections after it count.
    for (const QString &section : r.sections()) {
        if (section.contains(DataFormats, Qt::CaseInsensitive)) {
            if (FieldFormat *format = s.fieldFormat(section.mid(DataFormats.size())))
                readDataFormats(r, section, *format);
        } else if (section.startsWith(Replacements, Qt::CaseInsensitive)) {
            const QString column = replacementColumn(section);
            FieldFormat *format = column.isEmpty() ? nullptr : s.fieldFormat(column);
            if (!format)
                continue;
            const QString find = r.text(section, QStringLiteral("TextToFind"), QString());
            const QString replace = r.text(section, QStringLiteral("ReplaceWith"), QString());
            const bool ignoreCase = r.boolean(section, QStringLiteral("IgnoreCase"), false);
            if (!format->replacements.contains(find, replace, ignoreCase))
                format->replacements.add(find, replace, ignoreCase);
        }
    }

    // A flag the owner set stays set; the others are the template's.
    if (!component.commitAfterDone)
        s.commitAfterDone = r.boolean(LastStep, QStringLiteral("CommitAfterDone"), component.commitAfterDone);
    s.commitRecCount = r.integer32(LastStep, QStringLiteral("CommitRecCount"), component.commitRecCount);
    s.setImportRecCount(r.integer32(LastStep, QStringLiteral("ImportRecCount"), component.effectiveImportRecCount()));
    if (!component.closeAfterImport)
        s.closeAfterImport = r.boolean(LastStep, QStringLiteral("CloseAfterImport"), component.closeAfterImport);
    s.errorLog = r.boolean(LastStep, QStringLiteral("EnableErrorLog"), component.errorLog);
    s.errorLogFileName = r.text(LastStep, QStringLiteral("ErrorLogFileName"), component.errorLogFileName);
    if (!component.rewriteErrorLogFile)
        s.rewriteErrorLogFile = r.boolean(LastStep, QStringLiteral("RewriteErrorLogFile"), component.rewriteErrorLogFile);
    if (!component.showErrorLog)
        s.showErrorLog = r.boolean(LastStep, QStringLiteral("ShowErrorLog"), true);
    s.importMode = enumeration(r, LastStep, QStringLiteral("ImportMode"), component.importMode, 6);
    s.addType = enumeration(r, LastStep, QStringLiteral("AddType"), component.addType, 2);

    s.keyColumns.clear();
    s.setKeyColumns(r.keys(KeyColumnsSection));

    settings = s;
}
