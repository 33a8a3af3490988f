#include "import/engine/ImportSettings.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "import/engine/ImportMessages.h"
#include "import/engine/DataImportCommon.h"

#include <QFileInfo>

// ---------------------------------------------------------------------------
// Kinds
// ---------------------------------------------------------------------------

TAllowedImports::TAllowedImports(std::initializer_list<TAllowedImport> kinds)
{
    for (TAllowedImport kind : kinds)
        Include(kind);
}

TAllowedImports TAllowedImports::All()
{
    return { aiXLS, aiDBF, aiXML, aiTXT, aiCSV };
}

bool ImportKindFromNumber(int number, TAllowedImport &kind)
{
    if (number < 0 || number >= ImportKindCount)
        return false;
    kind = TAllowedImport(number);
    return true;
}

QString ImportKindExtension(TAllowedImport kind)
{
    switch (kind) {
    case aiXLS:
        return QStringLiteral(".xls");
    case aiDBF:
        return QStringLiteral(".dbf");
    case aiXML:
        return QStringLiteral(".xml");
    case aiTXT:
        return QStringLiteral(".txt");
    case aiCSV:
        return QStringLiteral(".csv");
    }
    return QString();
}

bool ImportKindTakesExtension(TAllowedImport kind, const QString &extension)
{
    const QString e = extension.toLower();
    if (kind == aiXLS)
        return e == QLatin1String(".xls") || e == QLatin1String(".xlsx") || e == QLatin1String(".xlsm") || e == QLatin1String(".ods");
    return e == ImportKindExtension(kind);
}

QString ImportKindFilter(TAllowedImport kind)
{
    static const int ids[ImportKindCount] = { ImportMsg::WorkbooksFilter, ImportMsg::DBFFilesFilter, ImportMsg::XMLFilesFilter,
        ImportMsg::TextFilesFilter, ImportMsg::CSVFilesFilter };
    return LoadMessage(ids[kind]);
}

// ---------------------------------------------------------------------------
// Single characters
// ---------------------------------------------------------------------------

namespace {

// "#" and a number: the character of that code in the program's code page;
// 0 when no number follows; nothing for a code beyond the code page.
std::optional<QChar> hashCharacter(const QString &text)
{
    const QString digits = text.mid(1);
    bool allDigits = !digits.isEmpty();
    for (QChar c : digits)
        allDigits = allDigits && c.isDigit() && c.unicode() < 128;
    if (!allDigits)
        return QChar(0);
    bool ok = false;
    const int code = digits.toInt(&ok);
    if (!ok || code > 255)
        return std::nullopt;
    const char byte = char(code);
    const QString c = Cp1252::toUnicode(&byte, 1);
    return c.isEmpty() ? QChar(code) : c.at(0);
}

} // namespace

QString WizardCharText(QChar c)
{
    if (c.unicode() == 9)
        return QStringLiteral("TAB");
    if (c.unicode() == 32)
        return QStringLiteral("SPACE");
    if (c.unicode() < 33)
        return QLatin1Char('#') + QString::number(c.unicode());
    return QString(c);
}

QChar ApplyWizardCharText(const QString &text, QChar current)
{
    if (text == QLatin1String("TAB"))
        return QChar(9);
    if (text == QLatin1String("SPACE"))
        return QChar(32);
    if (text.size() == 1)
        return text.at(0);
    if (text.startsWith(QLatin1Char('#')))
        return hashCharacter(text).value_or(current);
    return current;
}

QString EncodeTemplateChar(QChar c)
{
    if (c.unicode() < 33)
        return QLatin1Char('#') + QString::number(c.unicode());
    return QString(c);
}

QChar DecodeTemplateChar(const QString &text, QChar current)
{
    if (text.isEmpty())
        return current;
    if (text.size() == 1)
        return text.at(0);
    if (text.startsWith(QLatin1Char('#')))
        return hashCharacter(text).value_or(current);
    return current;
}

// ---------------------------------------------------------------------------
// Column maps
// ---------------------------------------------------------------------------

QString TWizardColumnTexts::Value(const QString &column) const
{
    return m_values.value(column.trimmed().toUpper());
}

void TWizardColumnTexts::SetValue(const QString &column, const QString &value)
{
    const QString key = column.trimmed().toUpper();
    if (value.isEmpty())
        m_values.remove(key);
    else
        m_values.insert(key, value);
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

TDataImportWizardSettings::TDataImportWizardSettings()
    : Delimiter(DefaultTextDelimiter())
{
}

void TDataImportWizardSettings::SetColumns(const QStringList &columns, const TDataImportFieldFormats &initialFormats)
{
    m_columns = columns;
    TDataImportFieldFormats formats;
    for (const QString &column : columns) {
        TDataImportFieldFormat &format = formats.Add(column);
        if (const TDataImportFieldFormat *initial = initialFormats.FindByName(column)) {
            format = *initial;
            format.FieldName = column;
        }
    }
    FieldFormats = formats;

    auto keepColumns = [this](QList<TWizardFieldPair> &pairs) {
        QList<TWizardFieldPair> kept;
        for (const TWizardFieldPair &pair : pairs)
            if (!DestinationColumn(pair.Column).isEmpty())
                kept << pair;
        pairs = kept;
    };
    keepColumns(DBFPairs);
    keepColumns(XMLPairs);
    for (TWizardColumnTexts *texts : { &XLSRanges, &TXTPositions, &TXTSizes, &CSVColumns }) {
        TWizardColumnTexts kept;
        for (const QString &column : columns)
            kept.SetValue(column, texts->Value(column));
        *texts = kept;
    }
    SetKeyColumns(KeyColumns);
}

QString TDataImportWizardSettings::DestinationColumn(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (const QString &column : m_columns)
        if (column.compare(wanted, Qt::CaseInsensitive) == 0)
            return column;
    return QString();
}

bool TDataImportWizardSettings::SetFileName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.compare(FileName, Qt::CaseInsensitive) == 0)
        return false;
    FileName = trimmed;
    if (ImportType == aiXLS) {
        XLSRanges.Clear();
        XLSSkipCols = 0;
        XLSSkipRows = 0;
    }
    return true;
}

void TDataImportWizardSettings::SetImportType(TAllowedImport kind, bool autoChangeExtension)
{
    const bool changed = kind != ImportType;
    ImportType = kind;
    if (changed && autoChangeExtension && !FileName.isEmpty()) {
        const QFileInfo info(FileName);
        const QString suffix = info.suffix();
        QString base = FileName;
        // A workbook of another format is still one of the kind.
        if (!suffix.isEmpty() && ImportKindTakesExtension(kind, QLatin1Char('.') + suffix))
            return;
        // Only the last name's extension: a dot in a directory is not one.
        if (!suffix.isEmpty() && !info.completeBaseName().isEmpty())
            base.chop(suffix.size() + 1);
        // Not SetFileName: the ranges stay with the workbook they were made on.
        FileName = base + ImportKindExtension(kind);
    }
}

bool TDataImportWizardSettings::SetDelimiter(QChar c)
{
    if (c == Delimiter)
        return false;
    Delimiter = c;
    CSVColumns.Clear();
    return true;
}

bool TDataImportWizardSettings::SetQuote(QChar c)
{
    if (c == Quote)
        return false;
    Quote = c;
    CSVColumns.Clear();
    return true;
}

void TDataImportWizardSettings::ApplyPendingTXTMap()
{
    if (!PendingTXTMap)
        return;
    const TWizardPendingTextMap pending = *PendingTXTMap;
    PendingTXTMap.reset();
    for (const auto &[name, value] : pending.Entries) {
        const QString column = DestinationColumn(name);
        if (column.isEmpty())
            continue;
        const qsizetype semicolon = value.indexOf(QLatin1Char(';'));
        int p = 0;
        int s = 0;
        if (semicolon < 0 || !tryStrToInt(value.left(semicolon).trimmed(), p) || !tryStrToInt(value.mid(semicolon + 1).trimmed(), s))
            continue;
        TXTPositions.SetValue(column, QString::number(p));
        TXTSizes.SetValue(column, QString::number(s));
    }
    TXTSkipLines = pending.SkipLines;
}

QStringList TDataImportWizardSettings::Map(TAllowedImport kind) const
{
    QStringList lines;
    auto line = [](const QString &column, const QString &value) { return column + QLatin1Char('=') + value; };
    switch (kind) {
    case aiXLS:
        for (const QString &column : m_columns)
            if (const QString ranges = XLSRanges.Value(column); !ranges.isEmpty())
                lines << line(column, ranges);
        break;
    case aiTXT: {
        if (PendingTXTMap) {
            TDataImportWizardSettings placed = *this;
            placed.ApplyPendingTXTMap();
            return placed.Map(kind);
        }
        for (const QString &column : m_columns) {
            int size = 0;
            if (tryStrToInt(TXTSizes.Value(column), size) && size > 0)
                lines << line(column, TXTPositions.Value(column) + QLatin1Char(';') + QString::number(size));
        }
        break;
    }
    case aiCSV:
        for (const QString &column : m_columns) {
            int number = 0;
            if (tryStrToInt(CSVColumns.Value(column), number) && number > 0)
                lines << line(column, QString::number(number));
        }
        break;
    case aiDBF:
        for (const TWizardFieldPair &pair : DBFPairs)
            lines << line(pair.Column, pair.Field);
        break;
    case aiXML:
        for (const TWizardFieldPair &pair : XMLPairs)
            lines << line(pair.Column, pair.Field);
        break;
    }
    return lines;
}

bool TDataImportWizardSettings::MapIsEmpty(TAllowedImport kind) const
{
    switch (kind) {
    case aiTXT: {
        if (PendingTXTMap) {
            TDataImportWizardSettings placed = *this;
            placed.ApplyPendingTXTMap();
            return placed.MapIsEmpty(kind);
        }
        for (const QString &column : m_columns) {
            int size = 0;
            if (tryStrToInt(TXTSizes.Value(column), size) && size >= 0)
                return false;
        }
        return true;
    }
    case aiXLS:
    case aiCSV:
    case aiDBF:
    case aiXML:
        break;
    }
    return Map(kind).isEmpty();
}

TDataImportFieldFormat *TDataImportWizardSettings::FieldFormat(const QString &column)
{
    return FieldFormats.FindByName(column.trimmed());
}

const TDataImportFieldFormat *TDataImportWizardSettings::FieldFormat(const QString &column) const
{
    return FieldFormats.FindByName(column.trimmed());
}

void TDataImportWizardSettings::SetKeyColumns(const QStringList &columns)
{
    QStringList keys;
    for (const QString &name : columns) {
        const QString column = DestinationColumn(name);
        if (!column.isEmpty() && !keys.contains(column))
            keys << column;
    }
    KeyColumns = keys;
}

void TDataImportWizardSettings::SetImportRecCount(int count)
{
    ImportRecCount = count;
    ImportAllRecords = count <= 0;
}
