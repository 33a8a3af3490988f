// Zip workbook reader benchmark: the 65,535-row x 20-column workbook of the
// .xls benchmark saved as .xlsx, loaded and every cell's text read, beside
// python3-openpyxl reading the same file in read-only mode in the same run.
//
//   bench_XlsxRead [WORKBOOK.xlsx]
//
// Without a file the workbook is written once by LibreOffice (soffice) from
// a generated CSV and kept in the temporary directory. Each reader runs in a
// child process of its own, so that its peak memory is its own; times are
// the best of ChildRuns runs, from the start of the load to the last text,
// both as elapsed time and as processor time (the fairer figure on a
// machine others share).

#include "bench/support/ChildRuns.h"
#include "bench/support/ReadingWorkbook.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Read-only mode streams the rows, as this benchmark's own reader cannot;
// values become texts as the import would take them. With "values" the
// rows come as plain values, openpyxl's quickest road; without, as the cell
// objects its documentation iterates.
const char *const OpenpyxlImport = "import datetime, openpyxl\n";
const char *const OpenpyxlScript = R"(
values_only = sys.argv[2] == 'values'
book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
cells = chars = 0
for sheet in book.worksheets:
    for row in sheet.iter_rows(values_only=values_only):
        for value in row:
            if not values_only:
                value = value.value
            if value is None:
                continue
            if isinstance(value, datetime.datetime):
                text = '%02d/%02d/%04d' % (value.day, value.month, value.year)
            elif isinstance(value, float):
                text = '%.15g' % value
            else:
                text = str(value)
            cells += 1
            chars += len(text)
)";

void print(const char *what, const ChildRun &r)
{
    std::printf("%-36s %9.3f %9.3f %9.1f %10lld %9.2f\n", what, r.seconds, r.cpu, r.peakMb, static_cast<long long>(r.cells),
        r.seconds * 1e6 / ReadingRows);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const OwnReads own = runOwnReads(app, QStringLiteral("xlsx:Calc MS Excel 2007 XML"), QStringLiteral(".xlsx"));
    if (own.exitCode >= 0)
        return own.exitCode;
    const ChildRun &ours = own.everyCell;
    std::printf("%-36s %9s %9s %9s %10s %9s\n", "reader", "seconds", "cpu s", "peak MB", "cells", "us/row");
    print("WorkbookFile (.xlsx), every cell's text", ours);
    print("WorkbookFile (.xlsx), 20 range lists", own.ranges);

    auto openpyxlRun = [&](const char *how) { return bestPythonRun(OpenpyxlImport, OpenpyxlScript, { own.workbook, QLatin1String(how) }); };
    const ChildRun values = openpyxlRun("values");
    if (!values.ok) {
        std::printf("python3-openpyxl not available: no baseline (apt-get install python3-openpyxl)\n");
        return 0;
    }
    const ChildRun cellObjects = openpyxlRun("cells");
    print("python3-openpyxl read-only, values", values);
    if (cellObjects.ok)
        print("python3-openpyxl read-only, cells", cellObjects);
    // The target is set against openpyxl's quicker road.
    std::printf("speed: %.1f times openpyxl's elapsed time, %.1f times its processor time (target 10); "
                "peak memory: %.2f of openpyxl's (target 1.00 at most)\n",
        values.seconds / ours.seconds, values.cpu / ours.cpu, ours.peakMb / values.peakMb);
    if (cellObjects.ok)
        std::printf("against its cell objects: %.1f times its elapsed time, %.1f times its processor time\n",
            cellObjects.seconds / ours.seconds, cellObjects.cpu / ours.cpu);
    return 0;
}
