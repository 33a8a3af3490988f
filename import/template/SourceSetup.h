#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/ImportSettings.h"

#include <QString>
#include <QStringList>

#include <memory>

// Turning wizard settings into a running import, with or without the
// wizard's window. The window's Execute and an unattended import do the same:
//
//     ImportSettings defaults;                 // the owner's values
//     defaults.setColumns(columns);                       // DestinationColumns(...)
//     ImportSettings settings = defaults;
//     TemplateFile::load(templateFile, settings, defaults);
//     std::unique_ptr<ImportEngine> source = CreateImportSource(settings.ImportType);
//     source->SetDataSet(dataSet);                        // destinations are the caller's
//     ConfigureImportSource(*source, settings);
//     source->onNeedCommit = ...;                         // the caller commits
//     source->execute();

// A new source object of that kind (the reader its SourceKind entry
// names); both text kinds are TextImport.
std::unique_ptr<ImportEngine> createImportSource(AllowedImport kind);

// Configures source for settings.ImportType: the file name and the kind's
// options (skip counts, SkipDeleted, WriteOnFly, delimiter and quote, or the
// fixed-width layout), the map, key columns, formats, the field formats
// merged into those the source already has (an entry of a destination column
// is overwritten; a column's settings are added only when not all empty),
// commit, record count, error log, import mode and add type. Destinations and
// events are left to the caller. Raises ImportError "Unknown import
// source" when the source is not of the settings' kind.
void configureImportSource(ImportEngine &source, const ImportSettings &settings);

// Where the wizard puts its error log: a bare name goes to the program's
// directory, and so does a relative name whose directory does not exist; an
// absolute name, or a relative one whose directory exists, is used as it
// stands (the engine creates a missing directory).
QString wizardErrorLogFileName(const QString &name);

// The destination columns of a source whose destination is set, in order.
QStringList destinationColumns(const ImportEngine &source);
