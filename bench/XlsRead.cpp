// Workbook reader benchmark: a 65,535-row x 20-column workbook of strings,
// numbers and dates, loaded and every cell's text read, beside python3-xlrd
// reading the same file in the same run.
//
//   bench_XlsRead [WORKBOOK.xls]
//
// Without a file the workbook is written once by LibreOffice (soffice) from a
// generated CSV and kept in the temporary directory. Each reader runs in a
// child process of its own, so that its peak memory is its own; times are
// the best of ChildRuns runs, from the start of the load to the last text.

#include "bench/support/ChildRuns.h"
#include "bench/support/ReadingWorkbook.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

const char *const XlrdImport = "import xlrd\n";
const char *const XlrdScript = R"(
book = xlrd.open_workbook(sys.argv[1])
cells = chars = 0
for sheet in book.sheets():
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            kind = sheet.cell_type(r, c)
            value = sheet.cell_value(r, c)
            if kind == xlrd.XL_CELL_DATE:
                y, m, d, hh, mm, ss = xlrd.xldate_as_tuple(value, book.datemode)
                text = '%02d/%02d/%04d' % (d, m, y)
            elif kind == xlrd.XL_CELL_NUMBER:
                text = '%.15g' % value
            else:
                text = str(value)
            cells += 1
            chars += len(text)
)";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const OwnReads own = runOwnReads(app, QStringLiteral("xls:MS Excel 97"), QStringLiteral(".xls"));
    if (own.exitCode >= 0)
        return own.exitCode;
    const QString &workbook = own.workbook;
    const ChildRun &ours = own.everyCell;
    const ChildRun &ranges = own.ranges;
    std::printf("%-34s %9s %10s %10s\n", "reader", "seconds", "peak MB", "cells");
    std::printf(
        "%-34s %9.3f %10.1f %10lld\n", "WorkbookFile, every cell's text", ours.seconds, ours.peakMb, static_cast<long long>(ours.cells));
    std::printf(
        "%-34s %9.3f %10.1f %10lld\n", "WorkbookFile, 20 range lists", ranges.seconds, ranges.peakMb, static_cast<long long>(ranges.cells));

    const ChildRun xlrd = bestPythonRun(XlrdImport, XlrdScript, { workbook });
    if (!xlrd.ok) {
        std::printf("python3-xlrd not available: no baseline (apt-get install python3-xlrd)\n");
        return 0;
    }
    std::printf(
        "%-34s %9.3f %10.1f %10lld\n", "python3-xlrd, every cell's text", xlrd.seconds, xlrd.peakMb, static_cast<long long>(xlrd.cells));
    // Per cell and per row, each reader by its own figures; the bytes per
    // cell are the peak over the process's own footprint before the load
    // (libraries, interpreter).
    const double fileBytes = double(QFileInfo(workbook).size());
    auto perCell = [&](const char *name, const ChildRun &r) {
        std::printf("%-34s %6.2f M cells/s %7.1f bytes/cell (base %.1f MB) %6.2f us/row\n", name, r.cells / r.seconds / 1e6,
            (r.peakMb - r.baseMb) * 1048576.0 / double(r.cells), r.baseMb, r.seconds * 1e6 / double(ReadingRows));
    };
    perCell("WorkbookFile, every cell's text", ours);
    perCell("python3-xlrd, every cell's text", xlrd);
    std::printf("file: %.1f bytes/cell\n", fileBytes / double(ours.cells));
    std::printf("speed: %.1f times xlrd (target 10); peak memory: %.2f of xlrd's (target 0.50 at most)\n", xlrd.seconds / ours.seconds,
        ours.peakMb / xlrd.peakMb);
    return 0;
}
