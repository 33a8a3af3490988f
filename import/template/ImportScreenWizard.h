#pragma once

class WizardProperties;

// The settings the import screen gives its wizard that need no window:
// formats, log name, template buttons, add type, grid rows and destination
// kind. kestra-cli import starts from the same, so that a template saved on
// the screen runs alike without it.
void setupImportScreenWizard(WizardProperties &wizard);
