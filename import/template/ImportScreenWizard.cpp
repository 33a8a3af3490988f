#include "import/template/ImportScreenWizard.h"

#include "import/template/WizardProperties.h"

void setupImportScreenWizard(WizardProperties &wizard)
{
    wizard.formats.booleanTrue = { QStringLiteral("True") };
    wizard.formats.booleanFalse = { QStringLiteral("False") };
    wizard.formats.nullValues = { QStringLiteral("Null") };
    wizard.fieldFormats.clear();
    wizard.errorLogFileName = QStringLiteral("error.log");
    wizard.showSaveLoadButtons = true;
    wizard.addType = qatInsert;
    wizard.gridCaptionRow = 0;
    wizard.gridStartRow = 1;
    wizard.importDestination = qidDataSet;
}
