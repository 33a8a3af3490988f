#include "import/wizard/WizardSources.h"

#include "import/engine/ImportEngine.h"
#include "import/template/SourceSetup.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/ErrorLogOpener.h"

#include <QCoreApplication>
#include <QWidget>

WizardSources::WizardSources(ImportWizard &component, QObject *window, std::function<ImportProgress *()> progress)
    : m_component(component)
    , m_window(window)
    , m_progress(std::move(progress))
{
    m_impXLS = createImportSource(aiXLS);
    m_impDBF = createImportSource(aiDBF);
    m_impXML = createImportSource(aiXML);
    m_impASCII = createImportSource(aiCSV);
    for (ImportEngine *source : { m_impXLS.get(), m_impDBF.get(), m_impXML.get(), m_impASCII.get() })
        route(*source);
}

ImportEngine *WizardSources::Source(AllowedImport kind) const
{
    switch (kind) {
    case aiXLS:
        return m_impXLS.get();
    case aiDBF:
        return m_impDBF.get();
    case aiXML:
        return m_impXML.get();
    case aiTXT:
    case aiCSV:
        return m_impASCII.get();
    }
    return nullptr;
}

void WizardSources::route(ImportEngine &source)
{
    ImportWizard &c = m_component;
    source.onBeforeImport = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->BeforeImport(s->totalRecords());
        if (c.OnBeforeImport)
            c.OnBeforeImport(&c);
    };
    source.onAfterImport = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->AfterImport(s->canceled());
        if (c.OnAfterImport)
            c.OnAfterImport(&c);
    };
    source.onImportRecord = [this, &c](ImportEngine *s) {
        if (ImportProgress *p = m_progress())
            p->ImportRecord(s->recordState());
        if (c.OnImportRecord)
            c.OnImportRecord(&c);
    };
    source.onImportError = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->importFailed();
        if (c.OnImportError)
            c.OnImportError(&c);
    };
    source.onImportErrorAdv = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->ImportErrorAdv();
        if (c.OnImportErrorAdv)
            c.OnImportErrorAdv(&c);
    };
    source.onNeedCommit = [this, &c](ImportEngine *) {
        if (ImportProgress *p = m_progress())
            p->NeedCommit();
        if (c.OnNeedCommit)
            c.OnNeedCommit(m_window);
    };
    source.onImportCancel = [this, &c](ImportEngine *, bool &goOn) {
        if (ImportProgress *p = m_progress())
            goOn = p->AskContinue();
        if (c.OnImportCancel)
            c.OnImportCancel(&c, goOn);
        if (ImportProgress *p = m_progress())
            p->CancelAnswered(goOn);
    };
    source.onBeforePost = [&c](ImportEngine *s, ImportRow *row, bool &accept) {
        if (c.OnBeforePost)
            c.OnBeforePost(s, row, accept);
    };
    source.onDestinationLocate
        = [&c](ImportEngine *s, const QStringList &keyColumns, ImportRow *row, QString &keyFields, QVariant &keyValues) {
              if (c.OnDestinationLocate)
                  c.OnDestinationLocate(s, keyColumns, row, keyFields, keyValues);
          };
    // Once per row: the progress dialog's Cancel must be able to get through.
    source.onYield = [](ImportEngine *) { QCoreApplication::processEvents(); };
    source.onShowErrorLog = [this](const QString &path) { OpenErrorLog(path, qobject_cast<QWidget *>(m_window)); };
}

WizardSources::~WizardSources() = default;
