#include "import/engine/ImportSettings.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"

#include <QFileInfo>

// ---------------------------------------------------------------------------
// Kinds
// ---------------------------------------------------------------------------

AllowedImports::AllowedImports(std::initializer_list<AllowedImport> kinds)
{
    for (AllowedImport kind : kinds)
        include(kind);
}

AllowedImports AllowedImports::all()
{
    return { aiXLS, aiDBF, aiXML, aiTXT, aiCSV };
}

bool importKindFromNumber(int number, AllowedImport &kind)
{
    if (number < 0 || number >= ImportKindCount)
        return false;
    kind = AllowedImport(number);
    return true;
}

namespace {

// The file types of each kind, in the order of AllowedImport.
struct ImportKindFiles
{
    const char *extension; // what the wizard asks for
    std::initializer_list<const char *> alsoTaken;
    int filter; // message id of the file dialog's filter
};

const ImportKindFiles &importKindFiles(AllowedImport kind)
{
    static const ImportKindFiles files[ImportKindCount] = {
        { ".xls", { ".xlsx", ".xlsm", ".ods" }, ImportMsg::WorkbooksFilter },
        { ".dbf", {}, ImportMsg::DBFFilesFilter },
        { ".xml", {}, ImportMsg::XMLFilesFilter },
        { ".txt", {}, ImportMsg::TextFilesFilter },
        { ".csv", {}, ImportMsg::CSVFilesFilter },
    };
    return files[kind];
}

} // namespace

QString importKindExtension(AllowedImport kind)
{
    return QString::fromLatin1(importKindFiles(kind).extension);
}

bool importKindTakesExtension(AllowedImport kind, const QString &extension)
{
    const QString e = extension.toLower();
    if (e == importKindExtension(kind))
        return true;
    for (const char *other : importKindFiles(kind).alsoTaken)
        if (e == QLatin1String(other))
            return true;
    return false;
}

QString importKindFilter(AllowedImport kind)
{
    return loadMessage(importKindFiles(kind).filter);
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

QString wizardCharText(QChar c)
{
    if (c.unicode() == 9)
        return QStringLiteral("TAB");
    if (c.unicode() == 32)
        return QStringLiteral("SPACE");
    if (c.unicode() < 33)
        return QLatin1Char('#') + QString::number(c.unicode());
    return QString(c);
}

QChar applyWizardCharText(const QString &text, QChar current)
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

QString encodeTemplateChar(QChar c)
{
    if (c.unicode() < 33)
        return QLatin1Char('#') + QString::number(c.unicode());
    return QString(c);
}

QChar decodeTemplateChar(const QString &text, QChar current)
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

QString WizardColumnTexts::value(const QString &column) const
{
    return m_values.value(column.trimmed().toUpper());
}

void WizardColumnTexts::setValue(const QString &column, const QString &value)
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

ImportSettings::ImportSettings()
    : delimiter(defaultTextDelimiter())
{
}

void ImportSettings::setColumns(const QStringList &columns, const FieldFormats &initialFormats)
{
    m_columns = columns;
    FieldFormats formats;
    for (const QString &column : columns) {
        FieldFormat &format = formats.add(column);
        if (const FieldFormat *initial = initialFormats.findByName(column)) {
            format = *initial;
            format.fieldName = column;
        }
    }
    fieldFormats = formats;

    auto keepColumns = [this](QList<WizardFieldPair> &pairs) {
        QList<WizardFieldPair> kept;
        for (const WizardFieldPair &pair : pairs)
            if (!destinationColumn(pair.column).isEmpty())
                kept << pair;
        pairs = kept;
    };
    keepColumns(dbfPairs);
    keepColumns(xmlPairs);
    for (WizardColumnTexts *texts : { &xlsRanges, &txtPositions, &txtSizes, &csvColumns }) {
        WizardColumnTexts kept;
        for (const QString &column : columns)
            kept.setValue(column, texts->value(column));
        *texts = kept;
    }
    setKeyColumns(keyColumns);
}

QString ImportSettings::destinationColumn(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (const QString &column : m_columns)
        if (column.compare(wanted, Qt::CaseInsensitive) == 0)
            return column;
    return QString();
}

bool ImportSettings::setFileName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.compare(fileName, Qt::CaseInsensitive) == 0)
        return false;
    fileName = trimmed;
    if (importType == aiXLS) {
        xlsRanges.clear();
        xlsSkipCols = 0;
        xlsSkipRows = 0;
    }
    return true;
}

void ImportSettings::setImportType(AllowedImport kind, bool autoChangeExtension)
{
    const bool changed = kind != importType;
    importType = kind;
    if (changed && autoChangeExtension && !fileName.isEmpty()) {
        const QFileInfo info(fileName);
        const QString suffix = info.suffix();
        QString base = fileName;
        // A workbook of another format is still one of the kind.
        if (!suffix.isEmpty() && importKindTakesExtension(kind, QLatin1Char('.') + suffix))
            return;
        // Only the last name's extension: a dot in a directory is not one.
        if (!suffix.isEmpty() && !info.completeBaseName().isEmpty())
            base.chop(suffix.size() + 1);
        // Not SetFileName: the ranges stay with the workbook they were made on.
        fileName = base + importKindExtension(kind);
    }
}

bool ImportSettings::setDelimiter(QChar c)
{
    if (c == delimiter)
        return false;
    delimiter = c;
    csvColumns.clear();
    return true;
}

bool ImportSettings::setQuote(QChar c)
{
    if (c == quote)
        return false;
    quote = c;
    csvColumns.clear();
    return true;
}

void ImportSettings::applyPendingTxtMap()
{
    if (!pendingTxtMap)
        return;
    const WizardPendingTextMap pending = *pendingTxtMap;
    pendingTxtMap.reset();
    for (const auto &[name, value] : pending.entries) {
        const QString column = destinationColumn(name);
        if (column.isEmpty())
            continue;
        const qsizetype semicolon = value.indexOf(QLatin1Char(';'));
        int p = 0;
        int s = 0;
        if (semicolon < 0 || !tryStrToInt(value.left(semicolon).trimmed(), p) || !tryStrToInt(value.mid(semicolon + 1).trimmed(), s))
            continue;
        txtPositions.setValue(column, QString::number(p));
        txtSizes.setValue(column, QString::number(s));
    }
    txtSkipLines = pending.skipLines;
}

QStringList ImportSettings::map(AllowedImport kind) const
{
    QStringList lines;
    auto line = [](const QString &column, const QString &value) { return column + QLatin1Char('=') + value; };
    switch (kind) {
    case aiXLS:
        for (const QString &column : m_columns)
            if (const QString ranges = xlsRanges.value(column); !ranges.isEmpty())
                lines << line(column, ranges);
        break;
    case aiTXT: {
        if (pendingTxtMap) {
            ImportSettings placed = *this;
            placed.applyPendingTxtMap();
            return placed.map(kind);
        }
        for (const QString &column : m_columns) {
            int size = 0;
            if (tryStrToInt(txtSizes.value(column), size) && size > 0)
                lines << line(column, txtPositions.value(column) + QLatin1Char(';') + QString::number(size));
        }
        break;
    }
    case aiCSV:
        for (const QString &column : m_columns) {
            int number = 0;
            if (tryStrToInt(csvColumns.value(column), number) && number > 0)
                lines << line(column, QString::number(number));
        }
        break;
    case aiDBF:
        for (const WizardFieldPair &pair : dbfPairs)
            lines << line(pair.column, pair.field);
        break;
    case aiXML:
        for (const WizardFieldPair &pair : xmlPairs)
            lines << line(pair.column, pair.field);
        break;
    }
    return lines;
}

bool ImportSettings::mapIsEmpty(AllowedImport kind) const
{
    switch (kind) {
    case aiTXT: {
        if (pendingTxtMap) {
            ImportSettings placed = *this;
            placed.applyPendingTxtMap();
            return placed.mapIsEmpty(kind);
        }
        for (const QString &column : m_columns) {
            int size = 0;
            if (tryStrToInt(txtSizes.value(column), size) && size >= 0)
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
    return map(kind).isEmpty();
}

FieldFormat *ImportSettings::fieldFormat(const QString &column)
{
    return fieldFormats.findByName(column.trimmed());
}

const FieldFormat *ImportSettings::fieldFormat(const QString &column) const
{
    return fieldFormats.findByName(column.trimmed());
}

void ImportSettings::setKeyColumns(const QStringList &columns)
{
    QStringList keys;
    for (const QString &name : columns) {
        const QString column = destinationColumn(name);
        if (!column.isEmpty() && !keys.contains(column))
            keys << column;
    }
    keyColumns = keys;
}

void ImportSettings::setImportRecCount(int count)
{
    importRecCount = count;
    importAllRecords = count <= 0;
}
