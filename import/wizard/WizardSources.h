#pragma once

#include "import/engine/ImportSettings.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class ImportEngine;
class ImportProgress;
class ImportWizard;

// The wizard window's import source objects, one per kind; kinds read by
// the same reader (both text kinds) share one, made with the window. Each event of a source reaches the
// progress dialog first, when there is one, then the component's event of
// the same name with the component as Sender (the window for commits).
class WizardSources
{
public:
    WizardSources(ImportWizard &component, QObject *window, std::function<ImportProgress *()> progress);
    ~WizardSources();

    ImportEngine *source(AllowedImport kind) const;

private:
    void route(ImportEngine &source);

    ImportWizard &m_component;
    QObject *m_window;
    std::function<ImportProgress *()> m_progress;
    std::vector<std::unique_ptr<ImportEngine>> m_owned;
    std::array<ImportEngine *, ImportKindCount> m_byKind {};
};
