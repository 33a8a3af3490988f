#include "import/wizard/WizardStepPage.h"

#include <QAbstractButton>

TWizardStepPage::TWizardStepPage(TDataImportWizardSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
}

TWizardStepPage::~TWizardStepPage()
{
    // The children outlive the derived page's members: what they signal on
    // the way out must reach nobody.
    for (QObject *child : findChildren<QObject *>())
        child->blockSignals(true);
}

void TWizardStepPage::storeWhenToggled(QAbstractButton *button, bool TDataImportWizardSettings::*setting)
{
    connect(button, &QAbstractButton::toggled, this, [this, setting](bool on) {
        if (!m_showing)
            m_settings.*setting = on;
    });
}
