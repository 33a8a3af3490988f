#include "import/wizard/WizardStepPage.h"

#include <QAbstractButton>

WizardStepPage::WizardStepPage(ImportSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
}

WizardStepPage::~WizardStepPage()
{
    // The children outlive the derived page's members: what they signal on
    // the way out must reach nobody.
    for (QObject *child : findChildren<QObject *>())
        child->blockSignals(true);
}

void WizardStepPage::storeWhenToggled(QAbstractButton *button, bool ImportSettings::*setting)
{
    connect(button, &QAbstractButton::toggled, this, [this, setting](bool on) {
        if (!m_showing)
            m_settings.*setting = on;
    });
}
