// The program's backup and restore of a database of 100,000 invoices, beside
// Firebird's own gbak run on the same database in the same run: the same
// engine, embedded, does the work on both sides. The program's figures
// include what it adds (counting the database before and after, the fingerprint
// of the file, its record, the comparison after a restore); each figure is
// the best of five runs, taken in turns.
//
//   build-bench/bench/bench_Backup [rows]

#include "bench/support/BenchDatabase.h"
#include "core/Error.h"
#include "data/Backup.h"
#include "data/Config.h"
#include "data/Connection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr int Runs = 5;

// gbak as an administrator runs it; the embedded engine does not check the
// password.
double gbak(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ISC_USER"), Connection::UserName);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("gbak"), args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "gbak %s failed: %s\n", qPrintable(args.join(QLatin1Char(' '))), p.readAll().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

template <class F> double timed(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    QString path;
    try {
        path = invoiceDatabase(dir.path(), rows, 4);
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("invoices                 %d\n", rows);
    std::printf("database                 %.1f MB\n", QFileInfo(path).size() / 1e6);

    double ownBackup = std::numeric_limits<double>::max();
    double gbakBackup = std::numeric_limits<double>::max();
    double ownRestore = std::numeric_limits<double>::max();
    double gbakRestore = std::numeric_limits<double>::max();
    qint64 ownSize = 0;
    qint64 gbakSize = 0;
    try {
        for (int run = 0; run < Runs; ++run) {
            const QString own = dir.filePath(QStringLiteral("own-%1.fbk").arg(run));
            const QString plain = dir.filePath(QStringLiteral("gbak-%1.fbk").arg(run));
            ownBackup = std::min(ownBackup,
                timed([&] { Backup::backup(path, Credentials::defaults(), own, Backup::Kind::Manual); }));
            const double g = gbak({ QStringLiteral("-b"), path, plain });
            if (g < 0)
                return 1;
            gbakBackup = std::min(gbakBackup, g);
            ownSize = QFileInfo(own).size();
            gbakSize = QFileInfo(plain).size();

            const QString ownTarget = dir.filePath(QStringLiteral("own-%1/Kestra.GDB").arg(run));
            const QString plainTarget = dir.filePath(QStringLiteral("gbak-%1.GDB").arg(run));
            ownRestore = std::min(ownRestore, timed([&] { Backup::restore(own, ownTarget, Credentials::defaults()); }));
            const double r = gbak({ QStringLiteral("-c"), plain, plainTarget });
            if (r < 0)
                return 1;
            gbakRestore = std::min(gbakRestore, r);
            QFile::remove(ownTarget);
            QFile::remove(plainTarget);
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("backup file              %.1f MB (gbak: %.1f MB)\n", ownSize / 1e6, gbakSize / 1e6);
    std::printf("gbak -b                  %8.1f ms\n", gbakBackup);
    std::printf("program's backup         %8.1f ms\n", ownBackup);
    std::printf("ratio                    %8.2f (gbak time / program's; target: at least 0.9)\n", gbakBackup / ownBackup);
    std::printf("gbak -c                  %8.1f ms\n", gbakRestore);
    std::printf("program's restore        %8.1f ms\n", ownRestore);
    std::printf("ratio                    %8.2f (gbak time / program's)\n", gbakRestore / ownRestore);
    return 0;
}
