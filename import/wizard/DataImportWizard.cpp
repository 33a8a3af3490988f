#include "import/wizard/DataImportWizard.h"

#include "data/DataSet.h"
#include "import/engine/ImportMessages.h"
#include "import/wizard/DataImportProgress.h"
#include "import/wizard/DataImportWizardForm.h"

#include <QWidget>

TDataImportWizard::TDataImportWizard(QObject *parent)
    : QObject(parent)
{
}

TDataImportWizard::~TDataImportWizard() = default;

void TDataImportWizard::CheckProperties() const
{
    if (allowedImports.isEmpty())
        throw dataImportError(ImportMsg::AllowedImportsEmpty);
    switch (importDestination) {
    case qidDataSet:
        if (!dataSet)
            throw dataImportError(ImportMsg::DataSetNotDefined);
        break;
    case qidDBGrid:
        if (!dbGrid)
            throw dataImportError(ImportMsg::DBGridNotDefined);
        break;
    case qidListView:
        if (!listView)
            throw dataImportError(ImportMsg::ListViewNotDefined);
        break;
    case qidStringGrid:
        if (!stringGrid)
            throw dataImportError(ImportMsg::StringGridNotDefined);
        break;
    case qidUserDefined:
        break;
    }
}

void TDataImportWizard::Execute()
{
    CheckProperties();
    TDataImportWizardF window(*this, qobject_cast<QWidget *>(parent()));
    m_window = &window;
    window.exec();
}

TDataImportWizardF *TDataImportWizard::Window() const
{
    return m_window.data();
}

const TDataImport *TDataImportWizard::RunningSource() const
{
    return m_window ? m_window->RunningSource() : nullptr;
}

void TDataImportWizard::ShowAbortOutcome(int discarded, int kept)
{
    if (TDataImportProgress *progress = m_window ? m_window->Progress() : nullptr)
        progress->ShowAbortOutcome(discarded, kept);
}
