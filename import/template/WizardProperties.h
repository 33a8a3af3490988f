#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportSettings.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class DataSet;

// The import wizard's properties, all but its picture: the destinations and
// the settings a new wizard window starts from. The wizard component carries
// them; an unattended import sets the same ones without any window, so both
// start an import from the same settings.
class WizardProperties
{
public:
    // The settings a new window starts from, over these destination columns.
    ImportSettings initialSettings(const QStringList &columns) const;
    // Copies the destinations into a source object.
    void applyDestination(ImportEngine &source) const;

    AllowedImports allowedImports = AllowedImports::all();
    // Destinations. A data set that is destroyed is dropped; the widgets
    // behind the interfaces must be unset by their owner before they go.
    QPointer<::DataSet> dataSet;
    GridDestination *dbGrid = nullptr;
    ListViewDestination *listView = nullptr;
    StringGridDestination *stringGrid = nullptr;
    ImportDestination importDestination = qidDataSet;
    int gridCaptionRow = -1;
    int gridStartRow = -1;

    QString fileName;
    ImportFormats formats;
    FieldFormats fieldFormats;
    int importRecCount = 0;
    int commitRecCount = 100;
    bool commitAfterDone = true;
    bool errorLog = false;
    QString errorLogFileName = QStringLiteral("error.log");
    bool rewriteErrorLogFile = true;
    bool showErrorLog = false;
    bool showProgress = true;
    bool autoChangeExtension = true;
    bool showHelpButton = true;
    bool closeAfterImport = false;
    int textViewerRows = 20;
    int csvViewerRows = 20;
    int excelViewerRows = 256;
    int excelMaxColWidth = 130;
    bool showSaveLoadButtons = false;
    QString templateFileName;
    bool autoLoadTemplate = false;
    bool autoSaveTemplate = false;
    bool goToLastPage = false;
    ImportMode importMode = qimInsertAll;
    ImportAddType addType = qatInsert;
    QStringList keyColumns;
    // Destination columns a row cannot go without (ImportEngine::RequiredColumns).
    QStringList requiredColumns;
    bool confirmOnCancel = true;
};
