#include "import/wizard/WizardPage.h"

WizardPage::WizardPage(AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_settings(settings)
    , m_component(component)
{
}

bool WizardPage::isMapEmpty() const
{
    return m_settings.mapIsEmpty(m_kind);
}
