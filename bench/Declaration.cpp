// The declaration of one quarter of 100,000 invoices, with its checks, beside
// a plain loop that fetches the same rows through the client library and
// writes 331-character lines; then the same quarter with every invoice
// listed by the checks. Run: build-bench/bench/bench_Declaration [rows]

#include "bench/support/BenchDatabase.h"
#include "bench/support/PlainCursor.h"
#include "core/WorkingContext.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "declaration/DeclarationGeneration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ibase.h>
#include <limits>
#include <sys/resource.h>

namespace {

// The processor time this process has used, in ms (the embedded engine works
// in it too): on a machine shared with other work it varies far less than the
// elapsed time.
double cpuMs()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

constexpr int Runs = 5;

// The best elapsed and processor times of the runs taken.
struct Timing
{
    double wallMs = std::numeric_limits<double>::max();
    double cpuMs = std::numeric_limits<double>::max();
    QElapsedTimer wall;
    double cpuAtStart = 0;

    void start()
    {
        cpuAtStart = ::cpuMs();
        wall.start();
    }
    void stop()
    {
        wallMs = std::min(wallMs, wall.nsecsElapsed() / 1e6);
        cpuMs = std::min(cpuMs, ::cpuMs() - cpuAtStart);
    }
};

// Fetches the quarter's rows and writes one fixed line per row, formatting
// numbers with printf: what any program must do at the least.
void plainLoop(const QString &dbPath, const QString &outPath, int &count, Timing &timing)
{
    PlainCursor cursor(dbPath);
    timing.start();
    cursor.open("select * from FACTURE where IDENTIFIANT='0123456AM000' and TRIMESTRE=1 and EXERCICE=2008 order by NUMEROORDRE");
    const std::vector<PlainCursor::Column> &columns = cursor.columns();
    FILE *f = std::fopen(outPath.toLocal8Bit().constData(), "wb");
    char line[1024];
    count = 0;
    while (cursor.next()) {
        int pos = 0;
        for (const PlainCursor::Column &c : columns) {
            const unsigned char *p = cursor.row() + c.offset;
            if (c.type == SQL_VARYING) {
                unsigned short len;
                std::memcpy(&len, p, 2);
                std::memcpy(line + pos, p + 2, len);
                pos += len;
            } else if (c.type == SQL_TEXT) {
                std::memcpy(line + pos, p, c.length);
                pos += static_cast<int>(c.length);
            } else if (c.type == SQL_DOUBLE) {
                double d;
                std::memcpy(&d, p, 8);
                pos += std::snprintf(line + pos, 32, "%015lld", static_cast<long long>(std::llround(d * 1000)));
            } else if (c.type == SQL_LONG) {
                int v;
                std::memcpy(&v, p, 4);
                pos += std::snprintf(line + pos, 16, "%06d", v);
            } else if (c.type == SQL_TIMESTAMP) {
                int v;
                std::memcpy(&v, p, 4);
                pos += std::snprintf(line + pos, 16, "%08d", v);
            }
            if (pos > 900)
                break;
        }
        line[pos++] = '\r';
        line[pos++] = '\n';
        std::fwrite(line, 1, static_cast<size_t>(pos), f);
        ++count;
    }
    std::fclose(f);
    timing.stop();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = invoiceDatabase(dir.path(), rows, 1);
    Connection c;
    c.setDatabaseName(path);
    c.open();
    WorkingContext ctx;
    ctx.curIdentifiant = QStringLiteral("0123456");
    ctx.curCle = QStringLiteral("A");
    ctx.curCategorie = QStringLiteral("M");
    ctx.curEtab = QStringLiteral("000");
    ctx.curMatricule = QStringLiteral("0123456AM000");
    ctx.curExercice = QStringLiteral("2008");
    for (QString *s : { &ctx.curRaisonSociale, &ctx.curActivite, &ctx.curVille })
        *s = QStringLiteral("X").leftJustified(40);
    ctx.curRue = QStringLiteral("X").leftJustified(72);
    ctx.curNumero = QStringLiteral("1   ");
    ctx.curCodePostal = QStringLiteral("1000");
    DeclarationGeneration generation(c);

    // Warm the page cache, then the best of a few runs of each, taken in
    // turns so that what else the machine does weighs on both alike.
    int plainCount = 0;
    const QString plainPath = dir.filePath(QStringLiteral("plain.txt"));
    Timing plain, gen;
    plainLoop(path, plainPath, plainCount, plain);
    plain = Timing();
    generation.generate(dir.path(), QStringLiteral("T1"), ctx);
    long growth = 0;
    for (int run = 0; run < Runs; ++run) {
        plainLoop(path, plainPath, plainCount, plain);
        const long before = residentKiB();
        gen.start();
        generation.generate(dir.path(), QStringLiteral("T1"), ctx);
        gen.stop();
        growth = std::max(growth, residentKiB() - before);
    }
    const int cleanAnomalies = static_cast<int>(generation.lastPass().anomalies.size());
    const QString firstAnomaly = cleanAnomalies ? DeclarationChecks::lineText(generation.lastPass().anomalies.first()) : QString();

    // The worst a register gives the checks: every invoice's VAT a dinar off
    // its computation, so that each one is listed.
    {
        Query wrong(c, QStringLiteral("update FACTURE set MONTANTTVA = MONTANTTVA + 1"));
        wrong.execute();
        c.commitRetaining();
    }
    generation.generate(dir.path(), QStringLiteral("T1"), ctx); // warm
    Timing worst;
    long worstGrowth = 0;
    for (int run = 0; run < Runs; ++run) {
        const long before = residentKiB();
        worst.start();
        generation.generate(dir.path(), QStringLiteral("T1"), ctx);
        worst.stop();
        worstGrowth = std::max(worstGrowth, residentKiB() - before);
    }
    const int worstAnomalies = static_cast<int>(generation.lastPass().anomalies.size());

    std::printf("invoices                     %d (best of %d runs)\n", plainCount, Runs);
    std::printf("plain loop                   %8.1f ms  %9.0f rows/s  %6.2f us per row\n", plain.wallMs, plainCount / plain.wallMs * 1000,
        plain.wallMs * 1000 / qMax(1, plainCount));
    std::printf("declaration generation       %8.1f ms  %9.0f rows/s  %6.2f us per row\n", gen.wallMs, plainCount / gen.wallMs * 1000,
        gen.wallMs * 1000 / qMax(1, plainCount));
    std::printf("ratio of rates               %8.2f (target: at least 0.7)\n", plain.wallMs / gen.wallMs);
    std::printf("processor time: plain loop   %8.1f ms, generation %.1f ms, ratio %.2f\n", plain.cpuMs, gen.cpuMs,
        plain.cpuMs / gen.cpuMs);
    std::printf("memory growth while writing  %8ld KiB\n", growth);
    std::printf("anomalies found              %8d  %s\n", cleanAnomalies, qPrintable(firstAnomaly));
    std::printf("every invoice listed         %8.1f ms  %9.0f rows/s  %6.2f us per row\n", worst.wallMs, plainCount / worst.wallMs * 1000,
        worst.wallMs * 1000 / qMax(1, plainCount));
    std::printf("ratio of rates, all listed   %8.2f (processor time: %.2f)\n", plain.wallMs / worst.wallMs, plain.cpuMs / worst.cpuMs);
    std::printf("memory growth, all listed    %8ld KiB for %d anomalies\n", worstGrowth, worstAnomalies);
    return 0;
}
