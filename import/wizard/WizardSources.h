#pragma once

#include "import/engine/ImportSettings.h"

#include <functional>
#include <memory>

class QObject;
class TDataImport;
class TDataImportProgress;
class TDataImportWizard;

// The wizard window's import source objects, one per kind (both text kinds
// share one), made with the window. Each event of a source reaches the
// progress dialog first, when there is one, then the component's event of
// the same name with the component as Sender (the window for commits).
class TWizardSources
{
public:
    TWizardSources(TDataImportWizard &component, QObject *window, std::function<TDataImportProgress *()> progress);
    ~TWizardSources();

    TDataImport *Source(TAllowedImport kind) const;

private:
    void route(TDataImport &source);

    TDataImportWizard &m_component;
    QObject *m_window;
    std::function<TDataImportProgress *()> m_progress;
    std::unique_ptr<TDataImport> m_impXLS;
    std::unique_ptr<TDataImport> m_impDBF;
    std::unique_ptr<TDataImport> m_impXML;
    std::unique_ptr<TDataImport> m_impASCII;
};
