#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The reading benchmarks run each reader in a child process of its own, so
// that its peak memory is its own. A child prints one line:
// "seconds cpu-seconds peak-kB cells characters base-kB", the base being the
// peak before the load (libraries, interpreter).
struct ChildRun
{
    double seconds = 0;
    double cpu = 0;
    double peakMb = 0;
    double baseMb = 0;
    qint64 cells = 0;
    bool ok = false;
};

// Each figure is the best of this many runs, for every reader alike: on a
// machine others share, single runs of the same program vary by a third.
constexpr int ChildRuns = 5;

// Processor time and peak resident memory of this process so far.
double processCpuSeconds();
long processPeakKb();

// In a child: loads and reads the workbook every cell's text (see
// readEveryCell) and prints the line above.
int readAndReport(const QString &path, bool throughRanges);

// The best of ChildRuns runs of program: the least time, the highest peak.
// Not ok when a run fails (its error output is printed).
ChildRun bestChildRun(const QString &program, const QStringList &args);

// The same few lines that start each Python baseline's script and end it:
// it sets t, c and base and prints the line above from cells and chars.
extern const char *const PythonRunHead;
extern const char *const PythonRunTail;
