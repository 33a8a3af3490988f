#include "import/wizard/DataImportWizardPage.h"

#include "import/wizard/DelimitedPage.h"
#include "import/wizard/FieldPairsPage.h"
#include "import/wizard/FixedWidthPage.h"
#include "import/wizard/SpreadsheetPage.h"

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
    return m_settings.mapIsEmpty(m_kind);
}

TDataImportWizardPage *CreateWizardPage(
    TAllowedImport kind, TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent)
{
    switch (kind) {
    case aiXLS:
        return new TSpreadsheetPage(settings, component, parent);
    case aiTXT:
        return new TFixedWidthPage(settings, component, parent);
    case aiCSV:
        return new TDelimitedPage(settings, component, parent);
    case aiDBF:
    case aiXML:
        break;
    }
    return new TFieldPairsPage(kind, settings, component, parent);
}
