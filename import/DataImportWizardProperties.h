#pragma once

#include "import/DataImport.h"
#include "import/DataImportCommon.h"
#include "import/DataImportWizardSettings.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class DataSet;

// The import wizard's properties, all but its picture: the destinations and
// the settings a new wizard window starts from. The wizard component carries
// them; an unattended import sets the same ones without any window, so both
// start an import from the same settings.
class TDataImportWizardProperties
{
public:
    // The settings a new window starts from, over these destination columns.
    TDataImportWizardSettings InitialSettings(const QStringList &columns) const;
    // Copies the destinations into a source object.
    void ApplyDestination(TDataImport &source) const;

    TAllowedImports AllowedImports = TAllowedImports::All();
    // Destinations. A data set that is destroyed is dropped; the widgets
    // behind the interfaces must be unset by their owner before they go.
    QPointer<::DataSet> DataSet;
    IDataImportGrid *DBGrid = nullptr;
    IDataImportListView *ListView = nullptr;
    IDataImportStringGrid *StringGrid = nullptr;
    TImportDestination ImportDestination = qidDataSet;
    int GridCaptionRow = -1;
    int GridStartRow = -1;

    QString FileName;
    TDataImportFormats Formats;
    TDataImportFieldFormats FieldFormats;
    int ImportRecCount = 0;
    int CommitRecCount = 100;
    bool CommitAfterDone = true;
    bool ErrorLog = false;
    QString ErrorLogFileName = QStringLiteral("error.log");
    bool RewriteErrorLogFile = true;
    bool ShowErrorLog = false;
    bool ShowProgress = true;
    bool AutoChangeExtension = true;
    bool ShowHelpButton = true;
    bool CloseAfterImport = false;
    int TextViewerRows = 20;
    int CSVViewerRows = 20;
    int ExcelViewerRows = 256;
    int ExcelMaxColWidth = 130;
    bool ShowSaveLoadButtons = false;
    QString TemplateFileName;
    bool AutoLoadTemplate = false;
    bool AutoSaveTemplate = false;
    bool GoToLastPage = false;
    TImportMode ImportMode = qimInsertAll;
    TImportAddType AddType = qatInsert;
    QStringList KeyColumns;
    // Destination columns a row cannot go without (TDataImport::RequiredColumns).
    QStringList RequiredColumns;
    bool ConfirmOnCancel = true;
};
