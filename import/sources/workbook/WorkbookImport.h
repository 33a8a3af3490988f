#pragma once

#include "import/engine/ImportEngine.h"
#include "import/sources/workbook/RangeMap.h"

#include <memory>

class WorkbookFile;

// Excel workbooks. A map value is a list of cell ranges ("A2-A200;",
// "[Clients]B-COLFINISH;"); record k takes the k-th cell of every column's
// ranges. SkipFirstRows and SkipFirstCols leave out the first rows and
// columns of every range.
class WorkbookImport : public ImportEngine
{
public:
    WorkbookImport();
    ~WorkbookImport() override;

    int skipFirstCols() const { return m_skipFirstCols; }
    void setSkipFirstCols(int cols) { m_skipFirstCols = cols; }
    // Records to import when the columns yield different counts: the largest or the smallest.
    ImportRange importRange() const { return m_importRange; }
    void setImportRange(ImportRange range) { m_importRange = range; }
    // Kept with the settings; a range without a sheet always means the first worksheet.
    SheetIdType defaultSheetIdType() const { return m_defaultSheetIDType; }
    void setDefaultSheetIdType(SheetIdType type) { m_defaultSheetIDType = type; }
    int defaultSheetNumber() const { return m_defaultSheetNumber; }
    void setDefaultSheetNumber(int number) { m_defaultSheetNumber = number; }
    QString defaultSheetName() const { return m_defaultSheetName; }
    void setDefaultSheetName(const QString &name) { m_defaultSheetName = name; }

protected:
    // Loads the workbook and resolves every column's ranges, then the engine's part.
    void prepareImport() override;
    void openSource() override;
    bool hasMoreRows() override;
    void fillImportRow() override;
    void nextRow() override;
    void finishImport() override;

private:
    void release();

    int m_skipFirstCols = 0;
    ImportRange m_importRange = qirMax;
    SheetIdType m_defaultSheetIDType = qstNumber;
    int m_defaultSheetNumber = 1;
    QString m_defaultSheetName;

    std::unique_ptr<WorkbookFile> m_file;
    std::unique_ptr<RangeMap> m_rows; // one per map line
    int m_lastRecord = -1;
    int m_currentRecord = 0;
};
