#include "import/template/TemplateFile.h"

#include "core/Conversion.h"
#include "core/IniFile.h"
#include "import/engine/ImportMessages.h"
#include "import/template/SourceKind.h"
#include "import/template/TemplateReader.h"
#include "import/template/TemplateWriter.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString FirstStep = QStringLiteral("FIRST_STEP");
const QString BaseFormats = QStringLiteral("BASE_FORMATS");
const QString BooleanTrue = QStringLiteral("BOOLEAN_TRUE");
const QString BooleanFalse = QStringLiteral("BOOLEAN_FALSE");
const QString NullValues = QStringLiteral("NULL_VALUES");
const QString DataFormats = QStringLiteral("DATA_FORMATS_");
const QString Replacements = QStringLiteral("REPLACEMENTS_");
const QString LastStep = QStringLiteral("LAST_STEP");
const QString KeyColumnsSection = QStringLiteral("KeyColumns");

void writeFieldFormat(TemplateWriter &w, const FieldFormat &format)
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

void readDataFormats(const TemplateReader &r, const QString &section, FieldFormat &format)
{
    format.replacements.clear();
    format.generatorValue = r.integer(section, QStringLiteral("GeneratorValue"), format.generatorValue);
    format.generatorStep = r.integer(section, QStringLiteral("GeneratorStep"), format.generatorStep);
    format.constantValue = r.text(section, QStringLiteral("ConstantValue"), format.constantValue);
    format.nullValue = r.text(section, QStringLiteral("NullValue"), format.nullValue);
    format.defaultValue = r.text(section, QStringLiteral("DefaultValue"), format.defaultValue);
    format.leftQuote = r.text(section, QStringLiteral("LeftQuote"), format.leftQuote);
    format.rightQuote = r.text(section, QStringLiteral("RightQuote"), format.rightQuote);
    format.quoteAction = r.enumeration(section, QStringLiteral("QuoteAction"), format.quoteAction, 3);
    format.charCase = r.enumeration(section, QStringLiteral("CharCase"), format.charCase, 5);
    format.charSet = r.enumeration(section, QStringLiteral("CharSet"), format.charSet, 3);
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

// ---------------------------------------------------------------- steps

void saveFirstStep(TemplateWriter &w, const ImportSettings &s)
{
    w.integer(FirstStep, QStringLiteral("ImportType"), s.importType);
    w.text(FirstStep, QStringLiteral("FileName"), s.fileName);
    w.boolean(FirstStep, QStringLiteral("GoToLastPage"), s.goToLastPage);
    w.boolean(FirstStep, QStringLiteral("AutoSaveTemplate"), s.autoSaveTemplate);
}

void saveFormats(TemplateWriter &w, const ImportSettings &s)
{
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
}

void saveLastStep(TemplateWriter &w, const ImportSettings &s)
{
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
}

// FIRST_STEP: the file name, the flags and the kind, which must be allowed.
void loadFirstStep(const TemplateReader &r, ImportSettings &s, const ImportSettings &component, AllowedImports allowed)
{
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
}

void loadBaseFormats(const TemplateReader &r, ImportSettings &s, const ImportSettings &component)
{
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
}

void loadFieldFormats(const TemplateReader &r, ImportSettings &s)
{
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
}

void loadLastStep(const TemplateReader &r, ImportSettings &s, const ImportSettings &component)
{
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
    s.importMode = r.enumeration(LastStep, QStringLiteral("ImportMode"), component.importMode, 6);
    s.addType = r.enumeration(LastStep, QStringLiteral("AddType"), component.addType, 2);
}

} // namespace

void TemplateFile::save(const QString &fileName, const ImportSettings &s)
{
    if (fileName.trimmed().isEmpty())
        return;
    IniFile ini(fileName);
    for (const QString &section : ini.sections())
        ini.eraseSection(section);
    TemplateWriter w(ini);

    // In the order the sections have always been written.
    saveFirstStep(w, s);
    sourceKind(s.importType).saveSections(w, s);
    saveFormats(w, s);
    saveLastStep(w, s);
    w.lines(KeyColumnsSection, s.keyColumns);

    if (!ini.save())
        throw ImportError(
            translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 cannot be written"), fileName));
}

void TemplateFile::load(const QString &fileName, ImportSettings &settings, const ImportSettings &component, AllowedImports allowed)
{
    if (!QFileInfo(fileName).isFile())
        throw dataImportError(ImportMsg::FileDoesNotExist, { fileName });
    const IniFile ini(fileName);
    const TemplateReader r(ini);
    // Worked on a copy: a refused template changes nothing.
    ImportSettings s = settings;

    loadFirstStep(r, s, component, allowed);
    sourceKind(s.importType).loadSections(r, s);
    loadBaseFormats(r, s, component);
    loadFieldFormats(r, s);
    loadLastStep(r, s, component);
    s.keyColumns.clear();
    s.setKeyColumns(r.keys(KeyColumnsSection));

    settings = s;
}
