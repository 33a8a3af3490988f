#include "import/wizard/WizardPage.h"

#include "import/wizard/DelimitedPage.h"
#include "import/wizard/FieldPairsPage.h"
#include "import/wizard/FixedWidthPage.h"
#include "import/wizard/SpreadsheetPage.h"

WizardPage::WizardPage(
    AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent)
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

WizardPage *CreateWizardPage(
    AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent)
{
    switch (kind) {
    case aiXLS:
        return new SpreadsheetPage(settings, component, parent);
    case aiTXT:
        return new FixedWidthPage(settings, component, parent);
    case aiCSV:
        return new DelimitedPage(settings, component, parent);
    case aiDBF:
    case aiXML:
        break;
    }
    return new FieldPairsPage(kind, settings, component, parent);
}
