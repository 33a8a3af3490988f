#include "import/template/SourceSetup.h"

#include "import/sources/text/TextImport.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::unique_ptr<TDataImport> CreateImportSource(TAllowedImport kind)
{
    switch (kind) {
    case aiXLS:
        return std::make_unique<TDataImportXLS>();
    case aiDBF:
        return std::make_unique<TDataImportDBF>();
    case aiXML:
        return std::make_unique<TDataImportXML>();
    case aiTXT:
    case aiCSV:
        return std::make_unique<TDataImportASCII>();
    }
    throw DataImportError(ImportMsg::UnknownImportSource);
}

namespace {

void configureKind(TDataImport &source, const TDataImportWizardSettings &s)
{
    switch (s.ImportType) {
    case aiXLS:
        if (auto *xls = dynamic_cast<TDataImportXLS *>(&source)) {
            xls->SetSkipFirstRows(s.XLSSkipRows);
            xls->SetSkipFirstCols(s.XLSSkipCols);
            return;
        }
        break;
    case aiDBF:
        if (auto *dbf = dynamic_cast<TDataImportDBF *>(&source)) {
            dbf->SetSkipDeleted(s.SkipDeleted);
            return;
        }
        break;
    case aiXML:
        if (auto *xml = dynamic_cast<TDataImportXML *>(&source)) {
            xml->SetWriteOnFly(s.WriteOnFly);
            return;
        }
        break;
    case aiTXT:
        if (auto *text = dynamic_cast<TDataImportASCII *>(&source)) {
            // The character 0 is what selects the fixed-width layout.
            text->SetComma(QChar(0));
            text->SetQuote(s.Quote);
            text->SetEncoding(s.TextEncoding);
            TDataImportWizardSettings placed = s;
            placed.ApplyPendingTXTMap();
            text->SetSkipFirstRows(placed.TXTSkipLines);
            return;
        }
        break;
    case aiCSV:
        if (auto *text = dynamic_cast<TDataImportASCII *>(&source)) {
            text->SetComma(s.Delimiter);
            text->SetQuote(s.Quote);
            text->SetEncoding(s.TextEncoding);
            text->SetSkipFirstRows(s.CSVSkipLines);
            return;
        }
        break;
    }
    throw DataImportError(ImportMsg::UnknownImportSource);
}

} // namespace

void ConfigureImportSource(TDataImport &source, const TDataImportWizardSettings &s)
{
    source.SetFileName(s.FileName);
    configureKind(source, s);

    source.SetMap(s.Map());
    source.SetKeyColumns(s.KeyColumns);
    source.SetFormats(s.Formats);

    TDataImportFieldFormats &formats = source.FieldFormats();
    for (const QString &column : s.Columns()) {
        const TDataImportFieldFormat *format = s.FieldFormat(column);
        if (!format)
            continue;
        if (TDataImportFieldFormat *existing = formats.FindByName(column)) {
            *existing = *format;
            existing->FieldName = column;
        } else if (!format->IsEmpty()) {
            formats.Add(column) = *format;
        }
    }

    source.SetCommitAfterDone(s.CommitAfterDone);
    source.SetCommitRecCount(s.CommitRecCount);
    source.SetImportRecCount(s.EffectiveImportRecCount());
    source.SetErrorLog(s.ErrorLog);
    source.SetErrorLogFileName(WizardErrorLogFileName(s.ErrorLogFileName));
    source.SetRewriteErrorLogFile(s.RewriteErrorLogFile);
    source.SetShowErrorLog(s.ShowErrorLog);
    source.SetImportMode(s.ImportMode);
    source.SetAddType(s.AddType);
}

QString WizardErrorLogFileName(const QString &name)
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

QStringList DestinationColumns(const TDataImport &source)
{
    QStringList columns;
    for (int i = 0; i < source.DestinationColumnCount(); ++i)
        columns << source.DestinationColumnName(i);
    return columns;
}
