#include "import/sources/workbook/WorkbookImport.h"

#include "import/sources/workbook/WorkbookFile.h"

TDataImportXLS::TDataImportXLS() = default;

TDataImportXLS::~TDataImportXLS()
{
    release();
}

void TDataImportXLS::release()
{
    // The map rows refer to the workbook: they go first.
    m_rows.reset();
    m_file.reset();
}

void TDataImportXLS::PrepareImport()
{
    release();
    try {
        m_file = std::make_unique<TxlsFile>();
        m_file->setFileName(FileName());
        m_file->open();
        m_rows = std::make_unique<TMapRowList>(m_file.get(), SkipFirstRows(), m_skipFirstCols);
        for (int i = 0; i < Map().size(); ++i)
            m_rows->add(MapName(i), MapValue(i));
        m_rows->updateTotals();
        SetTotalRecords(m_rows->recordCount(m_importRange));
        TDataImport::PrepareImport();
    } catch (...) {
        release();
        throw;
    }
}

void TDataImportXLS::OpenSource()
{
    m_lastRecord = m_rows->lastRecordIndex(m_importRange, ImportRecCount());
    m_currentRecord = 0;
}

bool TDataImportXLS::HasMoreRows()
{
    return m_currentRecord <= m_lastRecord;
}

void TDataImportXLS::FillImportRow()
{
    for (int i = 0; i < Row().Count(); ++i) {
        TDataImportCol *col = Row().Items(i);
        col->Value.clear();
        // Map rows were made in map order: a column's map line is its row.
        if (IsMappedColumn(col))
            SetValue(col, m_rows->cellText(col->MapIndex, m_currentRecord));
    }
    ApplyFieldFormats();
}

void TDataImportXLS::NextRow()
{
    ++m_currentRecord;
}

void TDataImportXLS::FinishImport()
{
    // The workbook goes even when the engine's finish fails.
    struct Release
    {
        TDataImportXLS *self;
        ~Release() { self->release(); }
    } release { this };
    TDataImport::FinishImport();
}
