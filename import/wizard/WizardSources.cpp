#include "import/wizard/WizardSources.h"

#include "import/engine/ImportEngine.h"
#include "import/template/SourceKind.h"
#include "import/template/SourceSetup.h"
#include "import/wizard/ErrorLogOpener.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"

#include <QCoreApplication>
#include <QWidget>

WizardSources::WizardSources(ImportWizard &component, QObject *window, std::function<ImportProgress *()> progress)
    : m_component(component)
    , m_window(window)
    , m_progress(std::move(progress))
{
    for (const SourceKind &kind : sourceKinds()) {
        for (const SourceKind &earlier : sourceKinds().first(kind.kind))
            if (earlier.create == kind.create)
                m_byKind[kind.kind] = m_byKind[earlier.kind];
        if (m_byKind[kind.kind])
            continue;
        m_owned.push_back(kind.create());
        m_byKind[kind.kind] = m_owned.back().get();
        route(*m_owned.back());
    }
}

ImportEngine *WizardSources::source(AllowedImport kind) const
{
    return int(kind) >= 0 && int(kind) < ImportKindCount ? m_byKind[kind] : nullptr;
}

void WizardSources::route(ImportEngine &source)
{
    ImportWizard &c = m_component;
    source.onBeforeImport = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->beforeImport(s->totalRecords());
        if (c.onBeforeImport)
            c.onBeforeImport(&c);
    };
    source.onAfterImport = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->afterImport(s->canceled());
        if (c.onAfterImport)
            c.onAfterImport(&c);
    };
    source.onImportRecord = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->importRecord(s->recordState());
        if (c.onImportRecord)
            c.onImportRecord(&c);
    };
    source.onImportError = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->importFailed();
        if (c.onImportError)
            c.onImportError(&c);
    };
    source.onImportErrorAdv = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->importErrorAdv();
        if (c.onImportErrorAdv)
            c.onImportErrorAdv(&c);
    };
    source.onNeedCommit = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->needCommit();
        if (c.onNeedCommit)
            c.onNeedCommit(m_window);
    };
    source.onImportCancel = [this, &c](ImportEngine *, bool &goOn) {
        if (ImportProgress *p = m_progress())
            goOn = p->askContinue();
        if (c.onImportCancel)
            c.onImportCancel(&c, goOn);
        if (ImportProgress *p = m_progress())
            p->cancelAnswered(goOn);
    };
    source.onBeforePost = [&c](ImportEngine *s, ImportRow *row, bool &accept) {
        if (c.onBeforePost)
            c.onBeforePost(s, row, accept);
    };
    source.onDestinationLocate
        = [&c](ImportEngine *s, const QStringList &keyColumns, ImportRow *row, QString &keyFields, QVariant &keyValues) {
              if (c.onDestinationLocate)
                  c.onDestinationLocate(s, keyColumns, row, keyFields, keyValues);
          };
    // Once per row: the progress dialog's Cancel must be able to get through.
    source.onYield = [](ImportEngine *) { QCoreApplication::processEvents(); };
    source.onShowErrorLog = [this](const QString &path) { OpenErrorLog(path, qobject_cast<QWidget *>(m_window)); };
}

WizardSources::~WizardSources() = default;
