#include "import/wizard/DataImportWizard.h"

#include "data/DataSet.h"
#include "import/DataImportMessages.h"
#include "import/wizard/DataImportWizardForm.h"

#include <QWidget>

TDataImportWizard::TDataImportWizard(QObject *parent)
    : QObject(parent)
{
}

TDataImportWizard::~TDataImportWizard() = default;

void TDataImportWizard::CheckProperties() const
{
    if (AllowedImports.IsEmpty())
        throw DataImportError(ImportMsg::AllowedImportsEmpty);
    switch (ImportDestination) {
    case qidDataSet:
        if (!DataSet)
            throw DataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidDBGrid:
        if (!DBGrid)
            throw DataImportError(ImportMsg::DBGridNotDefined);
        break;
    case qidListView:
        if (!ListView)
            throw DataImportError(ImportMsg::ListViewNotDefined);
        break;
    case qidStringGrid:
        if (!StringGrid)
            throw DataImportError(ImportMsg::StringGridNotDefined);
        break;
    case qidUserDefined:
        break;
    }
}

void TDataImportWizard::Execute()
{
    CheckProperties();
    TDataImportWizardF window(*this, qobject_cast<QWidget *>(parent()));
    m_window = &window;
    window.exec();
}

TDataImportWizardF *TDataImportWizard::Window() const
{
    return m_window.data();
}

TDataImportWizardSettings TDataImportWizard::InitialSettings(const QStringList &columns) const
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

void TDataImportWizard::ApplyDestination(TDataImport &source) const
{
    source.SetDataSet(DataSet.data());
    source.SetDBGrid(DBGrid);
    source.SetListView(ListView);
    source.SetStringGrid(StringGrid);
    source.SetImportDestination(ImportDestination);
    source.SetGridCaptionRow(GridCaptionRow);
    source.SetGridStartRow(GridStartRow);
}
