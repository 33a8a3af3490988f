#include "import/sources/workbook/XlsWorkSheet.h"

#include "import/sources/workbook/BiffKind.h"
#include "import/sources/workbook/SharedFormulaTokens.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/XlsWorkbook.h"

#include <algorithm>

XlsWorkSheet::XlsWorkSheet(XlsWorkbook *workbook)
    : XlsSheet(workbook)
    , m_rows(workbook->arena())
{
}

XlsWorkSheet::~XlsWorkSheet()
{
    if (m_workbook)
        m_workbook->workSheets().remove(this);
}

void XlsWorkSheet::clear()
{
    m_rows.clear();
    m_cols.clear();
    m_sharedFormulas.clear();
    m_formulas.clear();
    m_cellCount = 0;
    m_lastRow = -1;
}

void XlsWorkSheet::addCell(BiffCell *cell)
{
    // Cells come row after row: a row left behind gives back its spare room.
    // A new row is given the size of the last one, which it most often has.
    XlsRow *row = m_rows.grow(cell->row());
    if (cell->row() != m_lastRow) {
        std::size_t expected = 0;
        if (m_lastRow >= 0 && m_lastRow < m_rows.count()) {
            expected = std::size_t(m_rows.row(m_lastRow)->count());
            m_rows.row(m_lastRow)->squeeze();
        }
        if (row->isEmpty())
            row->reserve(expected);
        m_lastRow = cell->row();
    }
    row->add(cell);
    m_cols.add(cell);
    ++m_cellCount;
    visitCell(*cell, BiffVisitor { [this](BiffFormula &formula) { m_formulas.push_back(&formula); }, [](BiffCell &) {} });
}

BiffCell *XlsWorkSheet::cell(int row, int column)
{
    if (row < 0 || row > 65535)
        throw ImportError(messageText(ImportMsg::XlsInvalidRow, { QString::number(row) }));
    if (column < 0 || column > 255)
        throw ImportError(messageText(ImportMsg::XlsInvalidColumn, { QString::number(column) }));
    if (row >= m_rows.count())
        return nullptr;
    return m_rows.row(row)->find(column);
}

QString XlsWorkSheet::cellText(int row, int column)
{
    BiffCell *c = cell(row, column);
    return c ? c->text() : QString();
}

bool XlsWorkSheet::rowExtent(int row, int &lowest, int &highest) const
{
    lowest = highest = -1;
    if (row < 0 || row >= m_rows.count() || m_rows.row(row)->isEmpty())
        return false;
    lowest = m_rows.row(row)->lowest();
    highest = m_rows.row(row)->highest();
    return true;
}

bool XlsWorkSheet::colExtent(int column, int &lowest, int &highest) const
{
    return m_cols.extent(column, lowest, highest);
}

void XlsWorkSheet::expandSharedFormulas()
{
    for (BiffFormula *f : m_formulas) {
        if (!f->refersToSharedFormula())
            continue;
        BiffShrFmla *shared = m_sharedFormulas.find(f->sharedFormulaKey());
        // An array formula (whose ARRAY record is not kept) or a shared
        // formula the writer left out: the cell keeps its own token and its
        // cached result, which is all the import reads.
        if (!shared)
            continue;
        QByteArray tokens(reinterpret_cast<const char *>(shared->data()) + 8, shared->dataSize() - 8);
        try {
            SharedFormulaTokens::makeAbsolute(tokens, f->row(), f->column(), shared->id());
        } catch (const TokenError &e) {
            throw ImportError(messageText(ImportMsg::XlsFormulaNotSupported,
                { QString::number(f->row() + 1), QString::number(f->column() + 1), QStringLiteral("%1").arg(e.tokenId(), 2, 16, QLatin1Char(' ')) }));
        }
        f->setTokens(tokens);
    }
}

void XlsSheetList::add(std::unique_ptr<XlsSheet> sheet)
{
    sheet->setIndex(count());
    m_sheets.push_back(std::move(sheet));
}

void XlsWorkSheetList::remove(XlsWorkSheet *sheet)
{
    m_sheets.erase(std::remove(m_sheets.begin(), m_sheets.end(), sheet), m_sheets.end());
}
