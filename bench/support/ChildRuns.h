#pragma once

#include <QCoreApplication>
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

// This program's own reader on a reading benchmark's workbook, run both
// ways as children of the program.
struct OwnReads
{
    QString workbook;
    ChildRun everyCell;
    ChildRun ranges;
    // Where main() stops with this code: in a child ("--read PATH
    // [ranges]", which reads and reports), or when the workbook cannot be
    // had or a run failed. -1 to go on.
    int exitCode = -1;
};
// The workbook is the program's first argument, else the reading workbook
// written in this format (see readingWorkbook); its name and size are
// printed.
OwnReads runOwnReads(const QCoreApplication &app, const QString &filter, const QString &extension);

// A Python baseline: its imports, then the body that reads sys.argv[1]
// counting cells and chars, timed and reported as a child's line. Not ok
// when python3 or the library is missing.
ChildRun bestPythonRun(const char *imports, const char *body, const QStringList &args);
