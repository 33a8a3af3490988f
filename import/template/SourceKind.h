#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/ImportSettings.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <span>

class TemplateReader;
class TemplateWriter;

// What the program knows of one import source kind: its reader and its
// template sections. A new kind is a value of AllowedImport, its entry here
// (SourceKind.cpp), its file types (importKindFiles in
// import/engine/ImportSettings.cpp, which the settings need to change a file's
// extension), its wizard page (import/wizard/WizardKind.cpp) and its
// kestra-cli preview (app/cli/PreviewCommand.cpp), each a table keyed by the
// kind; nothing else chooses by kind.
struct SourceKind
{
    AllowedImport kind;
    // kestra-cli's name of the kind (preview --kind).
    const char *name;
    // A new reader of the kind; kinds with the same factory share one reader
    // object in the wizard.
    std::unique_ptr<ImportEngine> (*create)();
    // Sets the kind's options on source; false when source is not this kind's reader.
    bool (*configure)(ImportEngine &source, const ImportSettings &settings);
    // The kind's map and options in a template file, written after FIRST_STEP.
    void (*saveSections)(TemplateWriter &w, const ImportSettings &settings);
    void (*loadSections)(const TemplateReader &r, ImportSettings &settings);
};

// Every kind, in the order the wizard lists them (that of AllowedImport).
std::span<const SourceKind> sourceKinds();
// Raises ImportError "Unknown import source" for a number that names no kind.
const SourceKind &sourceKind(AllowedImport kind);
// The kind of that kestra-cli name, or nullptr.
const SourceKind *sourceKindNamed(const QString &name);
