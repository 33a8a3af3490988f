#include "bench/support/ChildRuns.h"

#include "bench/support/ReadingWorkbook.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long processPeakKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int readAndReport(const QString &path, bool throughRanges)
{
    const long baseKb = processPeakKb();
    QElapsedTimer timer;
    timer.start();
    const double cpu = processCpuSeconds();
    const CellsRead read = readEveryCell(path, throughRanges);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%.4f %.4f %ld %lld %lld %ld\n", seconds, processCpuSeconds() - cpu, processPeakKb(), static_cast<long long>(read.cells),
        static_cast<long long>(read.chars), baseKb);
    return 0;
}

namespace {

// Set t, c and base before the body; print the child's line after it.
const char *const PythonRunHead = R"(
import sys, time, resource
def cpu():
    u = resource.getrusage(resource.RUSAGE_SELF)
    return u.ru_utime + u.ru_stime
base = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
t = time.perf_counter()
c = cpu()
)";

const char *const PythonRunTail = R"(
print('%.4f %.4f %d %d %d %d' % (time.perf_counter() - t, cpu() - c, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss, cells, chars, base))
)";

ChildRun runChild(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ChildRun run;
    if (!p.waitForFinished(1800000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        return run;
    }
    const QStringList f = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u' ');
    if (f.size() < 6)
        return run;
    run.seconds = f[0].toDouble();
    run.cpu = f[1].toDouble();
    run.peakMb = f[2].toDouble() / 1024.0;
    run.cells = f[3].toLongLong();
    run.baseMb = f[5].toDouble() / 1024.0;
    run.ok = true;
    return run;
}

} // namespace

ChildRun bestChildRun(const QString &program, const QStringList &args)
{
    ChildRun result;
    for (int i = 0; i < ChildRuns; ++i) {
        const ChildRun r = runChild(program, args);
        if (!r.ok)
            return r;
        result.seconds = result.ok ? std::min(result.seconds, r.seconds) : r.seconds;
        result.cpu = result.ok ? std::min(result.cpu, r.cpu) : r.cpu;
        result.peakMb = std::max(result.peakMb, r.peakMb);
        result.baseMb = std::max(result.baseMb, r.baseMb);
        result.cells = r.cells;
        result.ok = true;
    }
    return result;
}


OwnReads runOwnReads(const QCoreApplication &app, const QString &filter, const QString &extension)
{
    OwnReads own;
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--read")) {
        own.exitCode = readAndReport(args[2], args.size() >= 4 && args[3] == QLatin1String("ranges"));
        return own;
    }
    own.workbook = args.size() >= 2 ? args[1] : readingWorkbook(filter, extension);
    if (own.workbook.isEmpty()) {
        own.exitCode = 1;
        return own;
    }
    std::printf("workbook: %s (%.1f MB)\n", qPrintable(own.workbook), QFileInfo(own.workbook).size() / 1048576.0);
    const QString self = app.applicationFilePath();
    own.everyCell = bestChildRun(self, { QStringLiteral("--read"), own.workbook });
    own.ranges = bestChildRun(self, { QStringLiteral("--read"), own.workbook, QStringLiteral("ranges") });
    if (!own.everyCell.ok || !own.ranges.ok)
        own.exitCode = 1;
    return own;
}

ChildRun bestPythonRun(const char *imports, const char *body, const QStringList &args)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), { QStringLiteral("/usr/bin") });
    if (python.isEmpty())
        return ChildRun();
    const QString script = QString::fromLatin1(imports) + QString::fromLatin1(PythonRunHead) + QString::fromLatin1(body)
        + QString::fromLatin1(PythonRunTail);
    return bestChildRun(python, QStringList { QStringLiteral("-c"), script } + args);
}
