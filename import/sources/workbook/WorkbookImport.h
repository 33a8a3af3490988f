#pragma once

#include "import/engine/ImportEngine.h"
#include "import/sources/workbook/RangeMap.h"

#include <memory>

class TxlsFile;

// Excel workbooks. A map value is a list of cell ranges ("A2-A200;",
// "[Clients]B-COLFINISH;"); record k takes the k-th cell of every column's
// ranges. SkipFirstRows and SkipFirstCols leave out the first rows and
// columns of every range.
class TDataImportXLS : public TDataImport
{
public:
    TDataImportXLS();
    ~TDataImportXLS() override;

    int SkipFirstCols() const { return m_skipFirstCols; }
    void SetSkipFirstCols(int cols) { m_skipFirstCols = cols; }
    // Records to import when the columns yield different counts: the largest or the smallest.
    TImportRange ImportRange() const { return m_importRange; }
    void SetImportRange(TImportRange range) { m_importRange = range; }
    // Kept with the settings; a range without a sheet always means the first worksheet.
    TSheetIDType DefaultSheetIDType() const { return m_defaultSheetIDType; }
    void SetDefaultSheetIDType(TSheetIDType type) { m_defaultSheetIDType = type; }
    int DefaultSheetNumber() const { return m_defaultSheetNumber; }
    void SetDefaultSheetNumber(int number) { m_defaultSheetNumber = number; }
    QString DefaultSheetName() const { return m_defaultSheetName; }
    void SetDefaultSheetName(const QString &name) { m_defaultSheetName = name; }

protected:
    // Loads the workbook and resolves every column's ranges, then the engine's part.
    void PrepareImport() override;
    void OpenSource() override;
    bool HasMoreRows() override;
    void FillImportRow() override;
    void NextRow() override;
    void FinishImport() override;

private:
    void release();

    int m_skipFirstCols = 0;
    TImportRange m_importRange = qirMax;
    TSheetIDType m_defaultSheetIDType = qstNumber;
    int m_defaultSheetNumber = 1;
    QString m_defaultSheetName;

    std::unique_ptr<TxlsFile> m_file;
    std::unique_ptr<TMapRowList> m_rows; // one per map line
    int m_lastRecord = -1;
    int m_currentRecord = 0;
};
