#include "import/template/SourceSetup.h"

#include "import/sources/text/TextImport.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::unique_ptr<ImportEngine> createImportSource(AllowedImport kind)
{
    switch (kind) {
    case aiXLS:
        return std::make_unique<WorkbookImport>();
    case aiDBF:
        return std::make_unique<DbfImport>();
    case aiXML:
        return std::make_unique<XmlImport>();
    case aiTXT:
    case aiCSV:
        return std::make_unique<TextImport>();
    }
    throw dataImportError(ImportMsg::UnknownImportSource);
}

namespace {

void configureKind(ImportEngine &source, const ImportSettings &s)
{
    switch (s.importType) {
    case aiXLS:
        if (auto *xls = dynamic_cast<WorkbookImport *>(&source)) {
            xls->setSkipFirstRows(s.xlsSkipRows);
            xls->setSkipFirstCols(s.xlsSkipCols);
            return;
        }
        break;
    case aiDBF:
        if (auto *dbf = dynamic_cast<DbfImport *>(&source)) {
            dbf->setSkipDeleted(s.skipDeleted);
            return;
        }
        break;
    case aiXML:
        if (auto *xml = dynamic_cast<XmlImport *>(&source)) {
            xml->setWriteOnFly(s.writeOnFly);
            return;
        }
        break;
    case aiTXT:
        if (auto *text = dynamic_cast<TextImport *>(&source)) {
            // The character 0 is what selects the fixed-width layout.
            text->setComma(QChar(0));
            text->setQuote(s.quote);
            text->setEncoding(s.textEncoding);
            ImportSettings placed = s;
            placed.applyPendingTxtMap();
            text->setSkipFirstRows(placed.txtSkipLines);
            return;
        }
        break;
    case aiCSV:
        if (auto *text = dynamic_cast<TextImport *>(&source)) {
            text->setComma(s.delimiter);
            text->setQuote(s.quote);
            text->setEncoding(s.textEncoding);
            text->setSkipFirstRows(s.csvSkipLines);
            return;
        }
        break;
    }
    throw dataImportError(ImportMsg::UnknownImportSource);
}

} // namespace

void configureImportSource(ImportEngine &source, const ImportSettings &s)
{
    source.setFileName(s.fileName);
    configureKind(source, s);

    source.setMap(s.map());
    source.setKeyColumns(s.keyColumns);
    source.setFormats(s.formats);

    FieldFormats &formats = source.fieldFormats();
    for (const QString &column : s.columns()) {
        const FieldFormat *format = s.fieldFormat(column);
        if (!format)
            continue;
        if (FieldFormat *existing = formats.findByName(column)) {
            *existing = *format;
            existing->fieldName = column;
        } else if (!format->isEmpty()) {
            formats.add(column) = *format;
        }
    }

    source.setCommitAfterDone(s.commitAfterDone);
    source.setCommitRecCount(s.commitRecCount);
    source.setImportRecCount(s.effectiveImportRecCount());
    source.setErrorLog(s.errorLog);
    source.setErrorLogFileName(wizardErrorLogFileName(s.errorLogFileName));
    source.setRewriteErrorLogFile(s.rewriteErrorLogFile);
    source.setShowErrorLog(s.showErrorLog);
    source.setImportMode(s.importMode);
    source.setAddType(s.addType);
}

QString wizardErrorLogFileName(const QString &name)
{
    if (name.isEmpty())
        return name;
    const QString programDir = QCoreApplication::applicationDirPath();
    if (!name.contains(QLatin1Char('/')))
        return programDir + QLatin1Char('/') + name;
    const QFileInfo info(name);
    if (info.isAbsolute() || info.dir().exists())
        return name;
    return programDir + QLatin1Char('/') + name;
}

QStringList destinationColumns(const ImportEngine &source)
{
    QStringList columns;
    for (int i = 0; i < source.destinationColumnCount(); ++i)
        columns << source.destinationColumnName(i);
    return columns;
}
