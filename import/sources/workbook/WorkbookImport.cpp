#include "import/sources/workbook/WorkbookImport.h"

#include "import/sources/workbook/WorkbookFile.h"

WorkbookImport::WorkbookImport() = default;

WorkbookImport::~WorkbookImport()
{
    release();
}

void WorkbookImport::release()
{
    // The map rows refer to the workbook: they go first.
    m_rows.reset();
    m_file.reset();
}

void WorkbookImport::prepareImport()
{
    release();
    try {
        m_file = std::make_unique<WorkbookFile>();
        m_file->setFileName(fileName());
        m_file->open();
        m_rows = std::make_unique<RangeMap>(m_file.get(), skipFirstRows(), m_skipFirstCols);
        for (int i = 0; i < map().size(); ++i)
            m_rows->add(mapName(i), mapValue(i));
        m_rows->updateTotals();
        setTotalRecords(m_rows->recordCount(m_importRange));
        ImportEngine::prepareImport();
    } catch (...) {
        release();
        throw;
    }
}

void WorkbookImport::openSource()
{
    m_lastRecord = m_rows->lastRecordIndex(m_importRange, importRecCount());
    m_currentRecord = 0;
}

bool WorkbookImport::hasMoreRows()
{
    return m_currentRecord <= m_lastRecord;
}

void WorkbookImport::fillImportRow()
{
    for (int i = 0; i < row().count(); ++i) {
        ImportColumn *col = row().at(i);
        col->value.clear();
        // Map rows were made in map order: a column's map line is its row.
        if (isMappedColumn(col))
            setValue(col, m_rows->cellText(col->mapIndex, m_currentRecord));
    }
    applyFieldFormats();
}

void WorkbookImport::nextRow()
{
    ++m_currentRecord;
}

void WorkbookImport::finishImport()
{
    // The workbook goes even when the engine's finish fails.
    struct Release
    {
        WorkbookImport *self;
        ~Release() { self->release(); }
    } release { this };
    ImportEngine::finishImport();
}
