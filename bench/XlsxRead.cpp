// Zip workbook reader benchmark: the 65,535-row x 20-column workbook of the
// .xls benchmark saved as .xlsx, loaded and every cell's text read, beside
// python3-openpyxl reading the same file in read-only mode in the same run.
//
//   bench_XlsxRead [WORKBOOK.xlsx]
//
// Without a file the workbook is written once by LibreOffice (soffice) from
// a generated CSV and kept in the temporary directory. Each reader runs in a
// child process of its own, so that its peak memory is its own; times are
// the best of three runs, from the start of the load to the last text, both
// as elapsed time and as processor time (the fairer figure on a machine
// others share).

#include "bench/support/ReadingWorkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Child: load, read, print "seconds cpu-seconds peak-kB cells characters".
int readOnce(const QString &path, bool throughRanges)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    const CellsRead read = readEveryCell(path, throughRanges);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf(
        "%.4f %.4f %ld %lld %lld\n", seconds, cpuSeconds() - cpu, peakKb(), static_cast<long long>(read.cells), static_cast<long long>(read.chars));
    return 0;
}

// Read-only mode streams the rows, as this benchmark's own reader cannot;
// values become texts as the import would take them. With "values" the
// rows come as plain values, openpyxl's quickest road; without, as the cell
// objects its documentation iterates.
const char *const OpenpyxlScript = R"(
import sys, time, resource, datetime, openpyxl
def cpu():
    u = resource.getrusage(resource.RUSAGE_SELF)
    return u.ru_utime + u.ru_stime
values_only = sys.argv[2] == 'values'
t = time.perf_counter()
c = cpu()
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
print('%.4f %.4f %d %d %d' % (time.perf_counter() - t, cpu() - c, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss, cells, chars))
)";

struct Run
{
    double seconds = 0;
    double cpu = 0;
    double peakMb = 0;
    qint64 cells = 0;
    bool ok = false;
};

Run runChild(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    Run run;
    if (!p.waitForFinished(1800000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        return run;
    }
    const QStringList f = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u' ');
    if (f.size() < 4)
        return run;
    run.seconds = f[0].toDouble();
    run.cpu = f[1].toDouble();
    run.peakMb = f[2].toDouble() / 1024.0;
    run.cells = f[3].toLongLong();
    run.ok = true;
    return run;
}

Run best(const QString &program, const QStringList &args, int times)
{
    Run result;
    for (int i = 0; i < times; ++i) {
        const Run r = runChild(program, args);
        if (!r.ok)
            return r;
        result.seconds = result.ok ? std::min(result.seconds, r.seconds) : r.seconds;
        result.cpu = result.ok ? std::min(result.cpu, r.cpu) : r.cpu;
        result.peakMb = std::max(result.peakMb, r.peakMb);
        result.cells = r.cells;
        result.ok = true;
    }
    return result;
}

void print(const char *what, const Run &r)
{
    std::printf("%-36s %9.3f %9.3f %9.1f %10lld %9.2f\n", what, r.seconds, r.cpu, r.peakMb, static_cast<long long>(r.cells),
        r.seconds * 1e6 / ReadingRows);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--read"))
        return readOnce(args[2], args.size() >= 4 && args[3] == QLatin1String("ranges"));

    const QString workbook
        = args.size() >= 2 ? args[1] : readingWorkbook(QStringLiteral("xlsx:Calc MS Excel 2007 XML"), QStringLiteral(".xlsx"));
    if (workbook.isEmpty())
        return 1;
    std::printf("workbook: %s (%.1f MB)\n", qPrintable(workbook), QFileInfo(workbook).size() / 1048576.0);

    const QString self = app.applicationFilePath();
    const Run ours = best(self, { QStringLiteral("--read"), workbook }, 3);
    const Run ranges = best(self, { QStringLiteral("--read"), workbook, QStringLiteral("ranges") }, 3);
    if (!ours.ok || !ranges.ok)
        return 1;
    std::printf("%-36s %9s %9s %9s %10s %9s\n", "reader", "seconds", "cpu s", "peak MB", "cells", "us/row");
    print("TxlsFile (.xlsx), every cell's text", ours);
    print("TxlsFile (.xlsx), 20 range lists", ranges);

    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), { QStringLiteral("/usr/bin") });
    auto openpyxlRun = [&](const char *how) {
        return python.isEmpty()
            ? Run()
            : best(python, { QStringLiteral("-c"), QString::fromLatin1(OpenpyxlScript), workbook, QLatin1String(how) }, 3);
    };
    const Run values = openpyxlRun("values");
    if (!values.ok) {
        std::printf("python3-openpyxl not available: no baseline (apt-get install python3-openpyxl)\n");
        return 0;
    }
    const Run cellObjects = openpyxlRun("cells");
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
