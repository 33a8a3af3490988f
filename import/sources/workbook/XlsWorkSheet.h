#pragma once

#include "import/sources/workbook/BiffCellList.h"
#include "import/sources/workbook/BiffRecordList.h"
#include "import/sources/workbook/XlsSection.h"

#include <QString>

#include <memory>
#include <vector>

class BiffCell;
class BiffFormula;

class XlsWorkSheet : public XlsSheet
{
public:
    explicit XlsWorkSheet(XlsWorkbook *workbook);
    ~XlsWorkSheet() override;

    XlsRowList &rows() { return m_rows; }
    const XlsRowList &rows() const { return m_rows; }
    XlsColList &cols() { return m_cols; }
    BiffShrFmlaList &sharedFormulas() { return m_sharedFormulas; }

    void clear();
    void addCell(BiffCell *cell);
    // The cell at a 0-based position; nullptr for an empty position or one
    // beyond the used area. Raises "Invalid Row (%d)" / "Invalid Column (%d)".
    BiffCell *cell(int row, int column);
    // The text of the cell there (empty when there is none).
    QString cellText(int row, int column);
    // Extents: whether the row (column) holds any cell, and its lowest and
    // highest column (row).
    bool rowExtent(int row, int &lowest, int &highest) const;
    bool colExtent(int column, int &lowest, int &highest) const;
    // Cells of any record kind in all rows.
    qsizetype cellCount() const { return m_cellCount; }
    // Called at the sheet's EOF: ptgExp formulas take their shared formula's
    // tokens; one whose shared formula is not there keeps its own.
    void expandSharedFormulas();

private:
    XlsRowList m_rows; // made on the workbook's arena
    XlsColList m_cols { m_rows };
    BiffShrFmlaList m_sharedFormulas;
    std::vector<BiffFormula *> m_formulas;
    qsizetype m_cellCount = 0;
    int m_lastRow = -1;
};

class XlsSheetList
{
public:
    int count() const { return int(m_sheets.size()); }
    XlsSheet *sheet(int i) const { return m_sheets[std::size_t(i)].get(); }
    void add(std::unique_ptr<XlsSheet> sheet);
    void clear() { m_sheets.clear(); }

private:
    std::vector<std::unique_ptr<XlsSheet>> m_sheets;
};

// The worksheets again, not owning them.
class XlsWorkSheetList
{
public:
    int count() const { return int(m_sheets.size()); }
    XlsWorkSheet *sheet(int i) const { return m_sheets[std::size_t(i)]; }
    void add(XlsWorkSheet *sheet) { m_sheets.push_back(sheet); }
    void remove(XlsWorkSheet *sheet);
    void clear() { m_sheets.clear(); }

private:
    std::vector<XlsWorkSheet *> m_sheets;
};

