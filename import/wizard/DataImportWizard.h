#pragma once

#include "import/DataImport.h"
#include "import/DataImportCommon.h"
#include "import/DataImportWizardSettings.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class DataSet;
class TDataImportWizardF;

// The import wizard as its owner sees it: the owner sets a destination and
// the initial settings, hooks the events and calls Execute, which leads the
// operator through the four steps of TDataImportWizardF and runs the import.
class TDataImportWizard : public QObject
{
    Q_OBJECT

public:
    explicit TDataImportWizard(QObject *parent = nullptr);
    ~TDataImportWizard() override;

    // Shows the wizard modally and returns when it is closed. Raises
    // EDataImportError "Property AllowedImports can not contain empty set"
    // or the engine's message for a destination that is not set.
    void Execute();
    // Raises what Execute raises before it opens the window.
    void CheckProperties() const;

    // The settings a new window starts from, over these destination columns.
    TDataImportWizardSettings InitialSettings(const QStringList &columns) const;
    // Copies the destinations into a source object.
    void ApplyDestination(TDataImport &source) const;

    // -- Properties ---------------------------------------------------------
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
    QPixmap Picture;
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
    bool ConfirmOnCancel = true;

    // -- Events -------------------------------------------------------------
    // Sender is this component, except for OnNeedCommit (the wizard's window)
    // and OnBeforePost and OnDestinationLocate (the running source object).
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    TNotifyEvent OnBeforeImport;
    TNotifyEvent OnAfterImport;
    TNotifyEvent OnImportRecord;
    TNotifyEvent OnImportError;
    TNotifyEvent OnImportErrorAdv;
    TNotifyEvent OnNeedCommit;
    std::function<void(QObject *Sender, bool &Continue)> OnImportCancel;
    std::function<void(TDataImport *Sender, TDataImportRow *Row, bool &Accept)> OnBeforePost;
    std::function<void(TDataImport *Sender, const QStringList &KeyColumns, TDataImportRow *Row, QString &KeyFields, QVariant &KeyValues)>
        OnDestinationLocate;
    // Before a template is loaded, with its file name.
    std::function<void(QObject *Sender, const QString &FileName)> OnLoadTemplate;

    // The window while Execute shows it (tests and owners that drive it).
    TDataImportWizardF *Window() const;

private:
    QPointer<TDataImportWizardF> m_window;
};
