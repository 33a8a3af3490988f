#include "import/wizard/WizardSources.h"

#include "import/engine/ImportEngine.h"
#include "import/template/SourceSetup.h"
#include "import/wizard/DataImportProgress.h"
#include "import/wizard/DataImportWizard.h"
#include "import/wizard/ErrorLogOpener.h"

#include <QCoreApplication>
#include <QWidget>

TWizardSources::TWizardSources(TDataImportWizard &component, QObject *window, std::function<TDataImportProgress *()> progress)
    : m_component(component)
    , m_window(window)
    , m_progress(std::move(progress))
{
    m_impXLS = createImportSource(aiXLS);
    m_impDBF = createImportSource(aiDBF);
    m_impXML = createImportSource(aiXML);
    m_impASCII = createImportSource(aiCSV);
    for (TDataImport *source : { m_impXLS.get(), m_impDBF.get(), m_impXML.get(), m_impASCII.get() })
        route(*source);
}

TDataImport *TWizardSources::Source(TAllowedImport kind) const
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

void TWizardSources::route(TDataImport &source)
{
    TDataImportWizard &c = m_component;
    source.onBeforeImport = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->BeforeImport(s->totalRecords());
        if (c.OnBeforeImport)
            c.OnBeforeImport(&c);
    };
    source.onAfterImport = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->AfterImport(s->canceled());
        if (c.OnAfterImport)
            c.OnAfterImport(&c);
    };
    source.onImportRecord = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->ImportRecord(s->recordState());
        if (c.OnImportRecord)
            c.OnImportRecord(&c);
    };
    source.onImportError = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->ImportError();
        if (c.OnImportError)
            c.OnImportError(&c);
    };
    source.onImportErrorAdv = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->ImportErrorAdv();
        if (c.OnImportErrorAdv)
            c.OnImportErrorAdv(&c);
    };
    source.onNeedCommit = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->NeedCommit();
        if (c.OnNeedCommit)
            c.OnNeedCommit(m_window);
    };
    source.onImportCancel = [this, &c](TDataImport *, bool &goOn) {
        if (TDataImportProgress *p = m_progress())
            goOn = p->AskContinue();
        if (c.OnImportCancel)
            c.OnImportCancel(&c, goOn);
        if (TDataImportProgress *p = m_progress())
            p->CancelAnswered(goOn);
    };
    source.onBeforePost = [&c](TDataImport *s, TDataImportRow *row, bool &accept) {
        if (c.OnBeforePost)
            c.OnBeforePost(s, row, accept);
    };
    source.onDestinationLocate
        = [&c](TDataImport *s, const QStringList &keyColumns, TDataImportRow *row, QString &keyFields, QVariant &keyValues) {
              if (c.OnDestinationLocate)
                  c.OnDestinationLocate(s, keyColumns, row, keyFields, keyValues);
          };
    // Once per row: the progress dialog's Cancel must be able to get through.
    source.onYield = [](TDataImport *) { QCoreApplication::processEvents(); };
    source.onShowErrorLog = [this](const QString &path) { OpenErrorLog(path, qobject_cast<QWidget *>(m_window)); };
}

TWizardSources::~TWizardSources() = default;
