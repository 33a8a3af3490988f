#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The import benchmarks' baseline: what any program must do at the least to
// put invoices into FACTURE. Prepared inserts with typed values, a
// commit-retaining every 100 rows and one at the end.
struct PlainInsertRun
{
    double ms = 0;
    std::vector<double> slices; // ms per tenth of the rows
    int commits = 0;
};

// FACTURE's columns in table order.
extern const QStringList InvoiceColumns;

PlainInsertRun plainInsertLoop(const QString &databasePath, int rows);

// Writes a CSV as an Excel 97 workbook with LibreOffice; false when soffice
// is missing or fails (a message is printed).
bool convertCsvToXls(const QString &csv, const QString &outDir);
// The same into another format: filter as soffice's --convert-to takes it
// ("xlsx:Calc MS Excel 2007 XML"), the file it writes ending in extension.
bool convertCsvToWorkbook(const QString &csv, const QString &outDir, const QString &filter, const QString &extension);
