#include "import/wizard/WizardKind.h"

#include "import/engine/ImportMessages.h"
#include "import/wizard/DelimitedPage.h"
#include "import/wizard/FieldPairsPage.h"
#include "import/wizard/FixedWidthPage.h"
#include "import/wizard/SpreadsheetPage.h"

#include <iterator>

namespace {

template <typename Page> WizardPage *createPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
{
    return new Page(settings, component, parent);
}

// dBase and XML map fields to columns on the same page.
template <AllowedImport Kind> WizardPage *createPairsPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
{
    return new FieldPairsPage(Kind, settings, component, parent);
}

const WizardKind kinds[] = {
    { aiXLS, "rbXLS", ImportMsg::KindSpreadsheet, &createPage<SpreadsheetPage> },
    { aiDBF, "rbDBF", ImportMsg::KindDBF, &createPairsPage<aiDBF> },
    { aiXML, "rbXML", ImportMsg::KindXML, &createPairsPage<aiXML> },
    { aiTXT, "rbTXT", ImportMsg::KindText, &createPage<FixedWidthPage> },
    { aiCSV, "rbCSV", ImportMsg::KindCSV, &createPage<DelimitedPage> },
};
static_assert(std::size(kinds) == ImportKindCount, "one entry per kind");

} // namespace

const WizardKind &wizardKind(AllowedImport kind)
{
    return kinds[kind];
}
