#include "import/wizard/ImportWizard.h"

#include "data/DataSet.h"
#include "import/engine/ImportMessages.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/WizardWindow.h"

#include <QWidget>

ImportWizard::ImportWizard(QObject *parent)
    : QObject(parent)
{
}

ImportWizard::~ImportWizard() = default;

void ImportWizard::checkProperties() const
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

void ImportWizard::execute()
{
    checkProperties();
    WizardWindow window(*this, qobject_cast<QWidget *>(parent()));
    m_window = &window;
    window.exec();
}

WizardWindow *ImportWizard::window() const
{
    return m_window.data();
}

const ImportEngine *ImportWizard::runningSource() const
{
    return m_window ? m_window->runningSource() : nullptr;
}

void ImportWizard::showAbortOutcome(int discarded, int kept)
{
    if (ImportProgress *progress = m_window ? m_window->progress() : nullptr)
        progress->showAbortOutcome(discarded, kept);
}
