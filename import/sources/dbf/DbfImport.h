#pragma once

#include "import/engine/ImportEngine.h"

#include <QHash>
#include <QList>

#include <memory>
#include <vector>

class DbfReader;

// dBase tables (dBase and FoxPro, with their memo files). A map value is the
// name of a table field, without regard to case. Date fields reach the
// conversion written in the import's date format; other fields as their text.
class DbfImport : public ImportEngine
{
public:
    DbfImport();
    ~DbfImport() override;

    // Records marked as deleted are not imported.
    bool skipDeleted() const { return m_skipDeleted; }
    void setSkipDeleted(bool skip) { m_skipDeleted = skip; }

protected:
    // Opens the table (the record count is the import's total), then the engine's part.
    void prepareImport() override;
    void openSource() override;
    bool hasMoreRows() override;
    // Reads the next record, every field of it.
    void fillImportRow() override;
    // The leading SkipFirstRows records and, with SkipDeleted, deleted ones are skipped here.
    int importRow() override;
    void closeSource() override;
    void finishImport() override;

private:
    bool m_skipDeleted = true;
    std::unique_ptr<DbfReader> m_table;
    QHash<QString, QList<int>> m_sources; // upper-case field name -> map lines
    std::vector<ImportColumn *> m_columns; // by map line; null when not imported
    std::vector<char> m_filled; // by map line: set from a field of the current record
};
