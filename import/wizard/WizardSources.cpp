#include "import/wizard/WizardSources.h"

#include "import/DataImport.h"
#include "import/DataImportSourceSetup.h"
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
    m_impXLS = CreateImportSource(aiXLS);
    m_impDBF = CreateImportSource(aiDBF);
    m_impXML = CreateImportSource(aiXML);
    m_impASCII = CreateImportSource(aiCSV);
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
    source.OnBeforeImport = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->BeforeImport(s->TotalRecords());
        if (c.OnBeforeImport)
            c.OnBeforeImport(&c);
    };
    source.OnAfterImport = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->AfterImport(s->Canceled());
        if (c.OnAfterImport)
            c.OnAfterImport(&c);
    };
    source.OnImportRecord = [this, &c](TDataImport *s) {
        if (TDataImportProgress *p = m_progress())
            p->ImportRecord(s->RecordState());
        if (c.OnImportRecord)
            c.OnImportRecord(&c);
    };
    source.OnImportError = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->ImportError();
        if (c.OnImportError)
            c.OnImportError(&c);
    };
    source.OnImportErrorAdv = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->ImportErrorAdv();
        if (c.OnImportErrorAdv)
            c.OnImportErrorAdv(&c);
    };
    source.OnNeedCommit = [this, &c](TDataImport *) {
        if (TDataImportProgress *p = m_progress())
            p->NeedCommit();
        if (c.OnNeedCommit)
            c.OnNeedCommit(m_window);
    };
    source.OnImportCancel = [this, &c](TDataImport *, bool &goOn) {
        if (TDataImportProgress *p = m_progress())
            goOn = p->AskContinue();
        if (c.OnImportCancel)
            c.OnImportCancel(&c, goOn);
        if (TDataImportProgress *p = m_progress())
            p->CancelAnswered(goOn);
    };
    source.OnBeforePost = [&c](TDataImport *s, TDataImportRow *row, bool &accept) {
        if (c.OnBeforePost)
            c.OnBeforePost(s, row, accept);
    };
    source.OnDestinationLocate
        = [&c](TDataImport *s, const QStringList &keyColumns, TDataImportRow *row, QString &keyFields, QVariant &keyValues) {
              if (c.OnDestinationLocate)
                  c.OnDestinationLocate(s, keyColumns, row, keyFields, keyValues);
          };
    // Once per row: the progress dialog's Cancel must be able to get through.
    source.OnYield = [](TDataImport *) { QCoreApplication::processEvents(); };
    source.OnShowErrorLog = [this](const QString &path) { OpenErrorLog(path, qobject_cast<QWidget *>(m_window)); };
}

TWizardSources::~TWizardSources() = default;
