#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/ImportFormats.h"
#include "import/template/WizardProperties.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class DataSet;
class WizardWindow;

// The import wizard as its owner sees it: the owner sets a destination and
// the initial settings, hooks the events and calls Execute, which leads the
// operator through the four steps of WizardWindow and runs the import.
class ImportWizard : public QObject, public WizardProperties
{
    Q_OBJECT

public:
    explicit ImportWizard(QObject *parent = nullptr);
    ~ImportWizard() override;

    // Shows the wizard modally and returns when it is closed. Raises
    // ImportError "Property AllowedImports can not contain empty set"
    // or the engine's message for a destination that is not set.
    void execute();
    // Raises what Execute raises before it opens the window.
    void checkProperties() const;

    // -- Properties ---------------------------------------------------------
    // Those of WizardProperties, and the first page's picture,
    // which needs the GUI library.
    QPixmap picture;

    // -- Events -------------------------------------------------------------
    // Sender is this component, except for onNeedCommit (the wizard's window)
    // and onBeforePost and onDestinationLocate (the running source object).
    using NotifyEvent = std::function<void(QObject *Sender)>;
    NotifyEvent onBeforeImport;
    NotifyEvent onAfterImport;
    NotifyEvent onImportRecord;
    NotifyEvent onImportError;
    NotifyEvent onImportErrorAdv;
    NotifyEvent onNeedCommit;
    std::function<void(QObject *Sender, bool &Continue)> onImportCancel;
    std::function<void(ImportEngine *Sender, ImportRow *Row, bool &Accept)> onBeforePost;
    std::function<void(ImportEngine *Sender, const QStringList &KeyColumns, ImportRow *Row, QString &KeyFields, QVariant &KeyValues)>
        onDestinationLocate;
    // Before a template is loaded, with its file name.
    std::function<void(QObject *Sender, const QString &FileName)> onLoadTemplate;

    // The window while Execute shows it (tests and owners that drive it).
    WizardWindow *window() const;
    // The source object of the running import (null between imports): an
    // owner reads what happened to the current row there.
    const ImportEngine *runningSource() const;
    // Tells the progress dialog, if there is one, what the owner made of an
    // aborted import: the rows it took back and those it keeps.
    void showAbortOutcome(int discarded, int kept);

private:
    QPointer<WizardWindow> m_window;
};
