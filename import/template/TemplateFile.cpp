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
    void character(const QString &section, const QString &key, QChar value) { text(section, key, EncodeTemplateChar(value)); }
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

void writeFieldFormat(Writer &w, const TDataImportFieldFormat &format)
{
    const QString column = format.FieldName.toUpper();
    const QString section = DataFormats + column;
    if (format.GeneratorStep != 0) {
        // A counter ignores every other setting, its replacements included.
        w.integer(section, QStringLiteral("GeneratorValue"), format.GeneratorValue);
        w.integer(section, QStringLiteral("GeneratorStep"), format.GeneratorStep);
        return;
    }
    if (!format.ConstantValue.isEmpty())
        w.text(section, QStringLiteral("ConstantValue"), format.ConstantValue);
    if (format.ConstantValue.isEmpty() && !format.NullValue.isEmpty() && !format.DefaultValue.isEmpty()) {
        w.text(section, QStringLiteral("NullValue"), format.NullValue);
        w.text(section, QStringLiteral("DefaultValue"), format.DefaultValue);
    }
    if (!format.LeftQuote.isEmpty())
        w.text(section, QStringLiteral("LeftQuote"), format.LeftQuote);
    if (!format.RightQuote.isEmpty())
        w.text(section, QStringLiteral("RightQuote"), format.RightQuote);
    if (format.QuoteAction != qaNone)
        w.integer(section, QStringLiteral("QuoteAction"), format.QuoteAction);
    if (format.CharCase != iccNone)
        w.integer(section, QStringLiteral("CharCase"), format.CharCase);
    if (format.CharSet != icsNone)
        w.integer(section, QStringLiteral("CharSet"), format.CharSet);
    for (int i = 0; i < format.Replacements.Count(); ++i) {
        const TDataImportReplacement &r = format.Replacements.Items(i);
        const QString rs = Replacements + column + QLatin1Char('_') + QString::number(i);
        w.text(rs, QStringLiteral("TextToFind"), r.TextToFind);
        w.text(rs, QStringLiteral("ReplaceWith"), r.ReplaceWith);
        w.boolean(rs, QStringLiteral("IgnoreCase"), r.IgnoreCase);
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
        return DecodeTemplateChar(text(section, key, EncodeTemplateChar(def)), current);
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

QList<TWizardFieldPair> readPairs(const Reader &r, const QString &section, const TDataImportWizardSettings &s)
{
    QList<TWizardFieldPair> pairs;
    for (const QString &key : r.keys(section))
        if (!s.DestinationColumn(key).isEmpty())
            pairs << TWizardFieldPair { key, r.text(section, key, QString()) };
    return pairs;
}

void readDataFormats(const Reader &r, const QString &section, TDataImportFieldFormat &format)
{
    format.Replacements.Clear();
    format.GeneratorValue = r.integer(section, QStringLiteral("GeneratorValue"), format.GeneratorValue);
    format.GeneratorStep = r.integer(section, QStringLiteral("GeneratorStep"), format.GeneratorStep);
    format.ConstantValue = r.text(section, QStringLiteral("ConstantValue"), format.ConstantValue);
    format.NullValue = r.text(section, QStringLiteral("NullValue"), format.NullValue);
    format.DefaultValue = r.text(section, QStringLiteral("DefaultValue"), format.DefaultValue);
    format.LeftQuote = r.text(section, QStringLiteral("LeftQuote"), format.LeftQuote);
    format.RightQuote = r.text(section, QStringLiteral("RightQuote"), format.RightQuote);
    format.QuoteAction = enumeration(r, section, QStringLiteral("QuoteAction"), format.QuoteAction, 3);
    format.CharCase = enumeration(r, section, QStringLiteral("CharCase"), format.CharCase, 5);
    format.CharSet = enumeration(r, section, QStringLiteral("CharSet"), format.CharSet, 3);
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

void TDataImportTemplate::Save(const QString &fileName, const TDataImportWizardSettings &s)
{
    if (fileName.trimmed().isEmpty())
        return;
    IniFile ini(fileName);
    for (const QString &section : ini.sections())
        ini.eraseSection(section);
    Writer w(ini);

    w.integer(FirstStep, QStringLiteral("ImportType"), s.ImportType);
    w.text(FirstStep, QStringLiteral("FileName"), s.FileName);
    w.boolean(FirstStep, QStringLiteral("GoToLastPage"), s.GoToLastPage);
    w.boolean(FirstStep, QStringLiteral("AutoSaveTemplate"), s.AutoSaveTemplate);

    switch (s.ImportType) {
    case aiXLS:
        for (const QString &column : s.Columns())
            if (const QString ranges = s.XLSRanges.Value(column); !ranges.isEmpty())
                w.text(XlsMap, column, ranges);
        w.integer(XlsOptions, QStringLiteral("SkipCols"), s.XLSSkipCols);
        w.integer(XlsOptions, QStringLiteral("SkipRows"), s.XLSSkipRows);
        break;
    case aiDBF:
        w.boolean(DbfOptions, QStringLiteral("SkipDeleted"), s.SkipDeleted);
        for (const TWizardFieldPair &pair : s.DBFPairs)
            w.text(DbfMap, pair.Column, pair.Field);
        break;
    case aiXML:
        w.boolean(XmlOptions, QStringLiteral("WriteOnFly"), s.WriteOnFly);
        for (const TWizardFieldPair &pair : s.XMLPairs)
            w.text(XmlMap, pair.Column, pair.Field);
        break;
    case aiTXT: {
        // A map loaded but never placed on the page is still the map.
        TDataImportWizardSettings placed = s;
        placed.ApplyPendingTXTMap();
        for (const QString &column : placed.Columns()) {
            int size = 0;
            if (tryStrToInt(placed.TXTSizes.Value(column), size) && size > 0)
                w.text(TxtMap, column, placed.TXTPositions.Value(column) + QLatin1Char(';') + QString::number(size));
        }
        w.integer(AsciiOptions, QStringLiteral("SkipLines"), placed.TXTSkipLines);
        // Only where it is not the single-byte reading every template had.
        if (placed.TextEncoding != teWindows1252)
            w.integer(AsciiOptions, QStringLiteral("Encoding"), placed.TextEncoding);
        break;
    }
    case aiCSV:
        for (const QString &column : s.Columns()) {
            int number = 0;
            if (tryStrToInt(s.CSVColumns.Value(column), number) && number > 0)
                w.integer(CsvMap, column, number);
        }
        w.integer(CsvOptions, QStringLiteral("SkipLines"), s.CSVSkipLines);
        w.character(CsvOptions, QStringLiteral("Delimiter"), s.Delimiter);
        w.character(CsvOptions, QStringLiteral("Quote"), s.Quote);
        if (s.TextEncoding != teWindows1252)
            w.integer(CsvOptions, QStringLiteral("Encoding"), s.TextEncoding);
        break;
    }

    const TDataImportFormats &f = s.Formats;
    for (const TBaseFormatField &field : BaseFormatFields()) {
        const QString key = QString::fromLatin1(field.Key);
        if (field.Separator)
            w.character(BaseFormats, key, f.*field.Separator);
        else
            w.text(BaseFormats, key, f.*field.Format);
    }
    w.lines(BooleanTrue, f.BooleanTrue);
    w.lines(BooleanFalse, f.BooleanFalse);
    w.lines(NullValues, f.NullValues);

    for (const QString &column : s.Columns())
        if (const TDataImportFieldFormat *format = s.FieldFormat(column))
            writeFieldFormat(w, *format);

    w.boolean(LastStep, QStringLiteral("CommitAfterDone"), s.CommitAfterDone);
    w.integer(LastStep, QStringLiteral("CommitRecCount"), s.CommitRecCount);
    w.integer(LastStep, QStringLiteral("ImportRecCount"), s.EffectiveImportRecCount());
    w.boolean(LastStep, QStringLiteral("CloseAfterImport"), s.CloseAfterImport);
    w.boolean(LastStep, QStringLiteral("EnableErrorLog"), s.ErrorLog);
    w.text(LastStep, QStringLiteral("ErrorLogFileName"), s.ErrorLogFileName);
    w.boolean(LastStep, QStringLiteral("RewriteErrorLogFile"), s.RewriteErrorLogFile);
    w.boolean(LastStep, QStringLiteral("ShowErrorLog"), s.ShowErrorLog);
    w.integer(LastStep, QStringLiteral("ImportMode"), s.ImportMode);
    w.integer(LastStep, QStringLiteral("AddType"), s.AddType);

    w.lines(KeyColumnsSection, s.KeyColumns);

    if (!ini.save())
        throw EDataImportError(QStringLiteral("File %1 cannot be written").arg(fileName));
}

void TDataImportTemplate::Load(
    const QString &fileName, TDataImportWizardSettings &settings, const TDataImportWizardSettings &component, TAllowedImports allowed)
{
    if (!QFileInfo(fileName).isFile())
        throw DataImportError(ImportMsg::FileDoesNotExist, { fileName });
    const IniFile ini(fileName);
    const Reader r(ini);
    // Worked on a copy: a refused template changes nothing.
    TDataImportWizardSettings s = settings;

    // The file name as if typed, while the previous kind is still chosen.
    s.SetFileName(r.text(FirstStep, QStringLiteral("FileName"), QString()));
    if (!component.GoToLastPage)
        s.GoToLastPage = r.boolean(FirstStep, QStringLiteral("GoToLastPage"), false);
    if (!component.AutoSaveTemplate)
        s.AutoSaveTemplate = r.boolean(FirstStep, QStringLiteral("AutoSaveTemplate"), false);
    TAllowedImport kind = aiXLS;
    if (!ImportKindFromNumber(r.integer32(FirstStep, QStringLiteral("ImportType"), 0), kind) || !allowed.Contains(kind))
        throw DataImportError(ImportMsg::UnknownImportSource);
    s.ImportType = kind;

    switch (kind) {
    case aiXLS:
        for (const QString &key : r.keys(XlsMap)) {
            const QString column = s.DestinationColumn(key);
            if (column.isEmpty())
                continue;
            // Kept as written: no workbook, so open ends stay open.
            TMapRow row;
            row.parse(r.text(XlsMap, key, QString()));
            s.XLSRanges.SetValue(column, row.text());
        }
        s.XLSSkipCols = r.integer32(XlsOptions, QStringLiteral("SkipCols"), 0);
        s.XLSSkipRows = r.integer32(XlsOptions, QStringLiteral("SkipRows"), 0);
        break;
    case aiDBF:
        s.SkipDeleted = r.boolean(DbfOptions, QStringLiteral("SkipDeleted"), true);
        s.DBFPairs = readPairs(r, DbfMap, s);
        break;
    case aiXML:
        s.WriteOnFly = r.boolean(XmlOptions, QStringLiteral("WriteOnFly"), false);
        s.XMLPairs = readPairs(r, XmlMap, s);
        break;
    case aiTXT: {
        TWizardPendingTextMap pending;
        for (const QString &key : r.keys(TxtMap))
            pending.Entries.append({ key, r.text(TxtMap, key, QString()) });
        pending.SkipLines = r.integer32(AsciiOptions, QStringLiteral("SkipLines"), 0);
        s.PendingTXTMap = pending;
        s.TextEncoding = enumeration(r, AsciiOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
        break;
    }
    case aiCSV:
        s.SetDelimiter(r.character(CsvOptions, QStringLiteral("Delimiter"), DefaultTextDelimiter(), s.Delimiter));
        s.SetQuote(r.character(CsvOptions, QStringLiteral("Quote"), QLatin1Char('"'), s.Quote));
        s.CSVSkipLines = r.integer32(CsvOptions, QStringLiteral("SkipLines"), 0);
        // Templates older than the key read their files as single-byte text.
        s.TextEncoding = enumeration(r, CsvOptions, QStringLiteral("Encoding"), teWindows1252, TextEncodingCount);
        for (const QString &key : r.keys(CsvMap)) {
            const QString column = s.DestinationColumn(key);
            const int number = r.integer32(CsvMap, key, 0);
            if (!column.isEmpty() && number > 0)
                s.CSVColumns.SetValue(column, QString::number(number));
        }
        break;
    }

    const TDataImportFormats &cf = component.Formats;
    TDataImportFormats &f = s.Formats;
    for (const TBaseFormatField &field : BaseFormatFields()) {
        const QString key = QString::fromLatin1(field.Key);
        if (field.Separator)
            f.*field.Separator = r.character(BaseFormats, key, cf.*field.Separator, f.*field.Separator);
        else
            f.*field.Format = r.text(BaseFormats, key, cf.*field.Format);
    }
    f.BooleanTrue = r.keys(BooleanTrue);
    f.BooleanFalse = r.keys(BooleanFalse);
    f.NullValues = r.keys(NullValues);

    // In file order: a DATA_FORMATS_ section empties its column's
    // replacements, so only the REPLACEMENTS_ sections after it count.
    for (const QString &section : r.sections()) {
        if (section.contains(DataFormats, Qt::CaseInsensitive)) {
            if (TDataImportFieldFormat *format = s.FieldFormat(section.mid(DataFormats.size())))
                readDataFormats(r, section, *format);
        } else if (section.startsWith(Replacements, Qt::CaseInsensitive)) {
            const QString column = replacementColumn(section);
            TDataImportFieldFormat *format = column.isEmpty() ? nullptr : s.FieldFormat(column);
            if (!format)
                continue;
            const QString find = r.text(section, QStringLiteral("TextToFind"), QString());
            const QString replace = r.text(section, QStringLiteral("ReplaceWith"), QString());
            const bool ignoreCase = r.boolean(section, QStringLiteral("IgnoreCase"), false);
            if (!format->Replacements.Contains(find, replace, ignoreCase))
                format->Replacements.Add(find, replace, ignoreCase);
        }
    }

    // A flag the owner set stays set; the others are the template's.
    if (!component.CommitAfterDone)
        s.CommitAfterDone = r.boolean(LastStep, QStringLiteral("CommitAfterDone"), component.CommitAfterDone);
    s.CommitRecCount = r.integer32(LastStep, QStringLiteral("CommitRecCount"), component.CommitRecCount);
    s.SetImportRecCount(r.integer32(LastStep, QStringLiteral("ImportRecCount"), component.EffectiveImportRecCount()));
    if (!component.CloseAfterImport)
        s.CloseAfterImport = r.boolean(LastStep, QStringLiteral("CloseAfterImport"), component.CloseAfterImport);
    s.ErrorLog = r.boolean(LastStep, QStringLiteral("EnableErrorLog"), component.ErrorLog);
    s.ErrorLogFileName = r.text(LastStep, QStringLiteral("ErrorLogFileName"), component.ErrorLogFileName);
    if (!component.RewriteErrorLogFile)
        s.RewriteErrorLogFile = r.boolean(LastStep, QStringLiteral("RewriteErrorLogFile"), component.RewriteErrorLogFile);
    if (!component.ShowErrorLog)
        s.ShowErrorLog = r.boolean(LastStep, QStringLiteral("ShowErrorLog"), true);
    s.ImportMode = enumeration(r, LastStep, QStringLiteral("ImportMode"), component.ImportMode, 6);
    s.AddType = enumeration(r, LastStep, QStringLiteral("AddType"), component.AddType, 2);

    s.KeyColumns.clear();
    s.SetKeyColumns(r.keys(KeyColumnsSection));

    settings = s;
}
