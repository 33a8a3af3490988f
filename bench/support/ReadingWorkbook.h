#pragma once

#include <QString>

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
