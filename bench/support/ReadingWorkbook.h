#pragma once

#include <QString>
#include <QtGlobal>

// The workbook the reading benchmarks load: 65,535 rows of 20 columns,
// strings (one distinct text per cell in 5 columns of 20), whole and decimal
// numbers and dates, written by LibreOffice from a generated CSV and kept in
// the temporary directory between runs.
constexpr int ReadingRows = 65535;
constexpr int ReadingCols = 20;

// The workbook in a format: filter as soffice's --convert-to takes it,
// extension the file's ("xls:MS Excel 97", ".xls"). Empty when it cannot be
// written (a message is printed).
QString readingWorkbook(const QString &filter, const QString &extension);

// What reading a workbook's every cell text gave.
struct CellsRead
{
    qint64 cells = 0;
    qint64 chars = 0;
};

// Loads the workbook and reads every cell's text: row by row through the
// worksheets, or the import's way (throughRanges), one range list per
// column and the k-th cell of each.
CellsRead readEveryCell(const QString &path, bool throughRanges);
