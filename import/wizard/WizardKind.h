#pragma once

#include "import/engine/ImportSettings.h"

class ImportWizard;
class QWidget;
class WizardPage;

// The wizard's side of an import source kind (its reader and template
// sections are in import/template/SourceKind.cpp): the source page's choice
// of the kind and the page that maps its file. One entry per kind, in the
// order of AllowedImport, which is the order the source page lists them.
struct WizardKind
{
    AllowedImport kind;
    // The object name of the kind's radio button on the source page.
    const char *choiceName;
    // Message id of the kind's caption on the source page.
    int caption;
    // The page of the kind, owned by parent.
    WizardPage *(*createPage)(ImportSettings &settings, const ImportWizard &component, QWidget *parent);
};

const WizardKind &wizardKind(AllowedImport kind);
