#include "import/wizard/DataImportWizard.h"

#include "data/DataSet.h"
#include "import/DataImportMessages.h"
#include "import/wizard/DataImportWizardForm.h"

#include <QWidget>

TDataImportWizard::TDataImportWizard(QObject *parent)
    : QObject(parent)
{
}

TDataImportWizard::~TDataImportWizard() = default;

void TDataImportWizard::CheckProperties() const
{
    if (AllowedImports.IsEmpty())
        throw DataImportError(24130);
    switch (ImportDestination) {
    case qidDataSet:
        if (!DataSet)
            throw DataImportError(24000);
        break;
    case qidDBGrid:
        if (!DBGrid)
            throw DataImportError(24010);
        break;
    case qidListView:
        if (!ListView)
            throw DataImportError(24020);
        break;
    case qidStringGrid:
        if (!StringGrid)
            throw DataImportError(24030);
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
