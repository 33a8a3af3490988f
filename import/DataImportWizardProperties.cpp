#include "import/DataImportWizardProperties.h"

#include "data/DataSet.h"

TDataImportWizardSettings TDataImportWizardProperties::InitialSettings(const QStringList &columns) const
{
    TDataImportWizardSettings s;
    s.SetColumns(columns, FieldFormats);
    for (int k = 0; k < ImportKindCount; ++k)
        if (AllowedImports.Contains(TAllowedImport(k))) {
            s.ImportType = TAllowedImport(k);
            break;
        }
    s.FileName = FileName.trimmed();
    s.GoToLastPage = GoToLastPage;
    s.AutoSaveTemplate = AutoSaveTemplate;
    s.Formats = Formats;
    s.CommitAfterDone = CommitAfterDone;
    s.CommitRecCount = CommitRecCount;
    s.SetImportRecCount(ImportRecCount);
    s.CloseAfterImport = CloseAfterImport;
    s.ErrorLog = ErrorLog;
    s.ErrorLogFileName = ErrorLogFileName;
    s.RewriteErrorLogFile = RewriteErrorLogFile;
    s.ShowErrorLog = ShowErrorLog;
    s.ImportMode = ImportMode;
    s.AddType = AddType;
    s.SetKeyColumns(KeyColumns);
    return s;
}

void TDataImportWizardProperties::ApplyDestination(TDataImport &source) const
{
    source.SetDataSet(DataSet.data());
    source.SetDBGrid(DBGrid);
    source.SetListView(ListView);
    source.SetStringGrid(StringGrid);
    source.SetImportDestination(ImportDestination);
    source.SetGridCaptionRow(GridCaptionRow);
    source.SetGridStartRow(GridStartRow);
    source.SetRequiredColumns(RequiredColumns);
}
