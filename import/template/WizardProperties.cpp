#include "import/template/WizardProperties.h"

#include "data/DataSet.h"

ImportSettings WizardProperties::initialSettings(const QStringList &columns) const
{
    ImportSettings s;
    s.setColumns(columns, fieldFormats);
    for (int k = 0; k < ImportKindCount; ++k)
        if (allowedImports.contains(AllowedImport(k))) {
            s.importType = AllowedImport(k);
            break;
        }
    s.fileName = fileName.trimmed();
    s.goToLastPage = goToLastPage;
    s.autoSaveTemplate = autoSaveTemplate;
    s.formats = formats;
    s.commitAfterDone = commitAfterDone;
    s.commitRecCount = commitRecCount;
    s.setImportRecCount(importRecCount);
    s.closeAfterImport = closeAfterImport;
    s.errorLog = errorLog;
    s.errorLogFileName = errorLogFileName;
    s.rewriteErrorLogFile = rewriteErrorLogFile;
    s.showErrorLog = showErrorLog;
    s.importMode = importMode;
    s.addType = addType;
    s.setKeyColumns(keyColumns);
    return s;
}

void WizardProperties::applyDestination(ImportEngine &source) const
{
    source.setDataSet(dataSet.data());
    source.setDbGrid(dbGrid);
    source.setListView(listView);
    source.setStringGrid(stringGrid);
    source.setImportDestination(importDestination);
    source.setGridCaptionRow(gridCaptionRow);
    source.setGridStartRow(gridStartRow);
    source.setRequiredColumns(requiredColumns);
}
