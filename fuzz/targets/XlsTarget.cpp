// Workbook records: a compound document or a bare record stream, opened and
// every cell read the ways the import and the wizard read it.

#include "fuzz/FuzzTarget.h"
#include "import/sources/workbook/WorkbookFile.h"

#include <QByteArray>

KESTRA_FUZZ_TARGET(xls)
{
    WorkbookFile file;
    try {
        file.openBuffer(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const ImportError &) {
        return;
    }
    for (int s = 0; s < file.workSheetCount(); ++s) {
        XlsWorkSheet *sheet = file.workSheet(s);
        file.workSheetName(s);
        XlsRowList &rows = sheet->rows();
        for (int r = 0; r < rows.count(); ++r) {
            XlsRow *row = rows.row(r);
            for (int c = 0; c < row->count(); ++c) {
                BiffCell *cell = row->cell(c);
                cell->kindName();
                cell->text();
                cell->variant();
                if (BiffFormula *formula = cell->asFormula())
                    formula->tokens();
                try {
                    cell->dateTime();
                } catch (const ImportError &) {
                }
                int lowest = 0, highest = 0;
                sheet->rowExtent(cell->row(), lowest, highest);
                sheet->colExtent(cell->column(), lowest, highest);
            }
        }
    }
}
