#include "import/template/ImportScreenWizard.h"

#include "import/template/WizardProperties.h"

void SetupImportScreenWizard(TDataImportWizardProperties &wizard)
{
    wizard.Formats.BooleanTrue = { QStringLiteral("True") };
    wizard.Formats.BooleanFalse = { QStringLiteral("False") };
    wizard.Formats.NullValues = { QStringLiteral("Null") };
    wizard.FieldFormats.Clear();
    wizard.ErrorLogFileName = QStringLiteral("error.log");
    wizard.ShowSaveLoadButtons = true;
    wizard.AddType = qatInsert;
    wizard.GridCaptionRow = 0;
    wizard.GridStartRow = 1;
    wizard.ImportDestination = qidDataSet;
}
