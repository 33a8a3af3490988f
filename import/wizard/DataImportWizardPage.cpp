#include "import/wizard/DataImportWizardPage.h"

#include "import/wizard/MapLinesPage.h"

TDataImportWizardPage::TDataImportWizardPage(
    TAllowedImport kind, TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_settings(settings)
    , m_component(component)
{
}

bool TDataImportWizardPage::IsMapEmpty() const
{
    return m_settings.MapIsEmpty(m_kind);
}

TDataImportWizardPage *CreateWizardPage(
    TAllowedImport kind, TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent)
{
    // Every kind starts on the line page; each gets its own page in time.
    return new TMapLinesPage(kind, settings, component, parent);
}
