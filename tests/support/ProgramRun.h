#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end: exit code (-1 when it crashed or did not
// finish in time), standard output and error as UTF-8 text.
struct ProgramRun
{
    int rc = -1;
    QString out;
    QString err;
};

inline ProgramRun runProgram(const QString &program, const QStringList &args, int timeoutMs, const QString &workingDirectory = QString())
{
    QProcess p;
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(program, args);
    ProgramRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        run.err = program + QStringLiteral(" did not finish");
        return run;
    }
    run.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// Ends a server a test started: asked to stop, killed when it will not.
inline void stopProcess(QProcess &process, int graceMs = 15000)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(graceMs)) {
        process.kill();
        process.waitForFinished();
    }
}
