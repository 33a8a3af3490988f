#include "import/template/SourceSetup.h"

#include "import/engine/ImportMessages.h"
#include "import/template/SourceKind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::unique_ptr<ImportEngine> createImportSource(AllowedImport kind)
{
    return sourceKind(kind).create();
}

void configureImportSource(ImportEngine &source, const ImportSettings &s)
{
    source.setFileName(s.fileName);
    if (!sourceKind(s.importType).configure(source, s))
        throw dataImportError(ImportMsg::UnknownImportSource);

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
