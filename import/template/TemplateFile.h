#pragma once

#include "import/engine/ImportSettings.h"

#include <QString>

// The wizard's template file (conventionally ".imp"): an INI file in the
// program's code page holding every setting of the four steps, so that a
// recurring import is set up once. Sections, in the order they are written:
// FIRST_STEP; the map and options of the chosen kind only (XLS_MAP and
// XLS_OPTIONS, DBF_OPTIONS and DBF_MAP, XML_OPTIONS and XML_MAP, TXT_MAP and
// ASCII_OPTIONS, CSV_MAP and CSV_OPTIONS); BASE_FORMATS; BOOLEAN_TRUE,
// BOOLEAN_FALSE and NULL_VALUES; DATA_FORMATS_<COLUMN> with its
// REPLACEMENTS_<COLUMN>_<n>; LAST_STEP; KeyColumns.
class TemplateFile
{
public:
    // Writes settings to fileName; whatever the file held before is dropped.
    // Nothing happens for a blank name. Raises ImportError when the file
    // cannot be written.
    static void save(const QString &fileName, const ImportSettings &settings);

    // Applies the template to settings; what it does not name keeps its
    // value. component holds the owner's own settings: the defaults of
    // missing keys, and the flags a template may only switch on (a flag the
    // owner already set stays set). Raises ImportError "File %s does
    // not exist" or "Unknown import source" (a kind missing from allowed, or
    // no kind at all) and the range parser's errors of a spreadsheet map;
    // settings are then left as they were. Unknown sections and keys,
    // columns the destination does not have and malformed numbers are passed
    // over.
    static void load(const QString &fileName, ImportSettings &settings, const ImportSettings &component,
        AllowedImports allowed = AllowedImports::all());
};
