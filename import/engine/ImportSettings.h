#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/TextEncoding.h"

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

// Everything the import wizard lets the operator set, as one value: the
// window edits it, templates are saved from it and loaded into it, and a
// source object is configured from it (DataImportSourceSetup.h). None of it
// needs a window, so an unattended import runs from the same value.

// The kinds of source, in the order the wizard offers them; a kind's number
// is the one templates store.
enum AllowedImport { aiXLS, aiDBF, aiXML, aiTXT, aiCSV };
constexpr int ImportKindCount = 5;

// A set of source kinds.
class AllowedImports
{
public:
    AllowedImports() = default;
    AllowedImports(std::initializer_list<AllowedImport> kinds);
    static AllowedImports all();

    bool contains(AllowedImport kind) const { return (m_bits & bit(kind)) != 0; }
    void include(AllowedImport kind) { m_bits |= bit(kind); }
    void exclude(AllowedImport kind) { m_bits &= ~bit(kind); }
    bool isEmpty() const { return m_bits == 0; }
    bool operator==(const AllowedImports &other) const = default;

private:
    static unsigned bit(AllowedImport kind) { return 1u << unsigned(kind); }
    unsigned m_bits = 0;
};

// The kind of that number (0 spreadsheet ... 4 delimited text); false when
// the number names none.
bool importKindFromNumber(int number, AllowedImport &kind);
// The file extension of a kind, with its dot: ".xls", ".dbf", ".xml", ".txt", ".csv".
QString importKindExtension(AllowedImport kind);
// Whether a file of that extension (with its dot, any case) is of the kind:
// the spreadsheet kind takes .xls, .xlsx, .xlsm and .ods workbooks.
bool importKindTakesExtension(AllowedImport kind, const QString &extension);
// The file dialog filter of a kind, in the message table's "text|pattern|..." form.
QString importKindFilter(AllowedImport kind);

// ---------------------------------------------------------------------------
// Single characters as operators type them and as templates store them
// ---------------------------------------------------------------------------

// What the wizard's boxes show: TAB and SPACE for 9 and 32, "#" and the code
// for other characters below 33, the character itself otherwise.
QString wizardCharText(QChar c);
// What leaving such a box applies: TAB is 9, SPACE 32, a single character is
// itself, "#" and a number is that code (0 when no number follows); anything
// else, the empty text included, keeps current.
QChar applyWizardCharText(const QString &text, QChar current);
// A template's form: the character itself from code 33 on, else "#" and its code.
QString encodeTemplateChar(QChar c);
// Reads it back: empty keeps current, one character is itself, "#" and digits
// is the character of that code ("#" and anything else is code 0); any other
// text keeps current.
QChar decodeTemplateChar(const QString &text, QChar current);

// ---------------------------------------------------------------------------
// The per-column maps of the source pages
// ---------------------------------------------------------------------------

// A text per destination column, the column found without regard to case.
class WizardColumnTexts
{
public:
    QString value(const QString &column) const;
    // An empty value unmaps the column.
    void setValue(const QString &column, const QString &value);
    void remove(const QString &column) { m_values.remove(column.toUpper()); }
    void clear() { m_values.clear(); }
    bool isEmpty() const { return m_values.isEmpty(); }
    int count() const { return int(m_values.size()); }
    bool operator==(const WizardColumnTexts &other) const = default;

private:
    QMap<QString, QString> m_values; // upper-case column -> value
};

// One line of the dBase or XML page: a destination column and a source field.
struct WizardFieldPair
{
    QString column;
    QString field;
    bool operator==(const WizardFieldPair &other) const = default;
};

// A fixed-width map read from a template. Positions are placed on the
// page's preview of the file, so they wait until that page is prepared.
struct WizardPendingTextMap
{
    QList<QPair<QString, QString>> entries; // destination column as written, "P;S"
    int skipLines = 0;
    bool operator==(const WizardPendingTextMap &other) const = default;
};

// ---------------------------------------------------------------------------
// The settings
// ---------------------------------------------------------------------------

class ImportSettings
{
public:
    ImportSettings();

    // The destination's columns, in destination order: what maps, field
    // formats and key columns name. Each column gets its own field format,
    // a copy of the entry of that name in initialFormats when there is one.
    // Maps, pairs and key columns naming other columns are dropped.
    void setColumns(const QStringList &columns, const FieldFormats &initialFormats = {});
    const QStringList &columns() const { return m_columns; }
    // The destination's spelling of a column named without regard to case;
    // empty when the destination has no such column.
    QString destinationColumn(const QString &name) const;

    // -- First step: the source ---------------------------------------------
    AllowedImport importType = aiXLS;
    QString fileName;
    QChar delimiter; // of delimited text; starts as the regional list separator
    QChar quote = QLatin1Char('"');
    bool goToLastPage = false;
    bool autoSaveTemplate = false;

    // The file name as typed: trimmed; the same name without regard to case
    // changes nothing (false). A new name for the spreadsheet kind empties
    // its ranges and skip counts, which belong to the workbook.
    bool setFileName(const QString &name);
    // Chooses the kind; with autoChangeExtension a file name gets the kind's
    // extension.
    void setImportType(AllowedImport kind, bool autoChangeExtension);
    // A new delimiter or quote empties the delimited map: its column numbers
    // counted fields split the old way. True when the character changed.
    bool setDelimiter(QChar c);
    bool setQuote(QChar c);

    // -- Second step: the map of each kind ----------------------------------
    // Spreadsheet: each column's ranges as text ("B2-B40;[Feuil1]C-COLFINISH;").
    WizardColumnTexts xlsRanges;
    int xlsSkipCols = 0;
    int xlsSkipRows = 0;
    // Fixed-width text: each column's position P (from 0) and size S, texts.
    WizardColumnTexts txtPositions;
    WizardColumnTexts txtSizes;
    int txtSkipLines = 0;
    // A template's fixed-width map not yet placed (see WizardPendingTextMap).
    std::optional<WizardPendingTextMap> pendingTxtMap;
    // Delimited text: each column's field number (from 1), text.
    WizardColumnTexts csvColumns;
    int csvSkipLines = 0;
    // Both text kinds: the file's character set when it has no UTF-8
    // byte-order mark.
    TextEncoding textEncoding = teWindows1252;
    // dBase and XML: pairs in the order they were made.
    QList<WizardFieldPair> dbfPairs;
    bool skipDeleted = true;
    QList<WizardFieldPair> xmlPairs;
    bool writeOnFly = false;

    // Puts a pending fixed-width map in place: every entry naming a
    // destination column with numeric P and S sets them, and the skip count
    // is taken.
    void applyPendingTxtMap();
    // The source's map lines for a kind, in destination order (pairs in
    // their order): ranges, "P;S" for a size above 0, a field number above
    // 0, a field name. A pending fixed-width map counts as placed.
    QStringList map(AllowedImport kind) const;
    QStringList map() const { return map(importType); }
    // Whether the wizard may go on from its mapping step: a column with a
    // range, with a numeric size of 0 or more, with a field number above 0,
    // or one pair.
    bool mapIsEmpty(AllowedImport kind) const;

    // -- Third step: formats ------------------------------------------------
    ImportFormats formats;
    // One per destination column, named as the destination names it.
    FieldFormats fieldFormats;
    // The field format of a destination column; null for another name.
    FieldFormat *fieldFormat(const QString &column);
    const FieldFormat *fieldFormat(const QString &column) const;

    // -- Last step: commit, record count, log, mode -------------------------
    bool commitAfterDone = true;
    int commitRecCount = 100;
    bool importAllRecords = true;
    int importRecCount = 0; // the count typed for "Import only first"
    bool closeAfterImport = false;
    bool errorLog = false;
    QString errorLogFileName = QStringLiteral("error.log");
    bool rewriteErrorLogFile = true;
    bool showErrorLog = false;
    ImportMode importMode = qimInsertAll;
    ImportAddType addType = qatInsert;
    // Destination columns only, in the operator's order.
    QStringList keyColumns;
    // Keeps the names that are destination columns, in their order, spelled
    // as the destination spells them.
    void setKeyColumns(const QStringList &columns);
    // The count the source is given: 0 (all) while "Import all records" is on.
    int effectiveImportRecCount() const { return importAllRecords ? 0 : importRecCount; }
    // The count as an initial value: 0 ticks "Import all records".
    void setImportRecCount(int count);

private:
    QStringList m_columns;
};
