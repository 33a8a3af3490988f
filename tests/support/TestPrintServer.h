#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A CUPS daemon of the test's own, as an office's print server is: the
// installed cupsd, with its configuration, spool, state and logs in a
// temporary directory, listening only on a socket there, keeping the files of
// its jobs (PreserveJobFiles). Its printers are virtual PDF printers (the
// generic PDF driver of cups-filters) whose device is a file of that
// directory. While the object lives, this process's printing client (and so
// the toolkit's print dialog) talks to it and to nothing else; the daemon is
// stopped when the object goes. Nothing of the machine's own printing, if
// any, is used or changed. Fails the test when it cannot start.
class TestPrintServer
{
public:
    TestPrintServer();
    ~TestPrintServer();
    TestPrintServer(const TestPrintServer &) = delete;
    TestPrintServer &operator=(const TestPrintServer &) = delete;

    bool isRunning() const { return m_daemon.state() == QProcess::Running; }
    // Why it did not start, or why the last command failed.
    const QString &failure() const { return m_failure; }

    // A queue that prints into outputOf(name), on paper of the size given
    // by default ("A4", "Letter"); the system default when asked.
    bool addPrinter(const QString &name, const QString &paper, bool makeDefault);
    QString outputOf(const QString &name) const;
    // As cupsreject does: the queue refuses new jobs.
    bool reject(const QString &name);

    struct Job
    {
        int id = 0;
        QString printer;
        QString title;
        int state = 0; // ipp_jstate_t: Completed, or 7 cancelled, 8 aborted
    };
    static constexpr int Completed = 9;
    // Every job the daemon knows, finished ones too.
    QList<Job> jobs() const;
    // Waits until the job has ended; its last state (0 when it did not end).
    int waitForJob(int id, int timeoutMs = 60000) const;
    // The document of a job as it was sent, kept in the spool.
    QString spoolFile(int id) const;
    // The daemon's log, to show when something went wrong.
    QString log() const;

private:
    bool start();
    bool run(const QString &program, const QStringList &args);

    QTemporaryDir m_root;
    QProcess m_daemon;
    QString m_socket;
    QString m_failure;
};
