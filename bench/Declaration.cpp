// The declaration of one quarter of 100,000 invoices, with its checks, beside
// a plain loop that fetches the same rows through the client library and
// writes 331-character lines; then the same quarter with every invoice
// listed by the checks. Run: build-bench/bench/bench_Declaration [rows]

#include "bench/support/BenchDatabase.h"
#include "bench/support/PlainCursor.h"
#include "core/WorkingContext.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "declaration/DeclarationGeneration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ibase.h>

namespace {

// Fetches the quarter's rows and writes one fixed line per row, formatting
// numbers with printf: what any program must do at the least.
double plainLoop(const QString &dbPath, const QString &outPath, int &count)
{
    PlainCursor cursor(dbPath);
    QElapsedTimer t;
    t.start();
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
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kestra.GDB"));
    Schema::createDatabase(path);
    {
        Connection c;
        c.setDatabaseName(path);
        c.open();
        fillInvoices(c, rows, 1);
    }
    int plainCount = 0;
    plainLoop(path, dir.filePath(QStringLiteral("plain.txt")), plainCount); // warm the page cache
    const double plainMs = plainLoop(path, dir.filePath(QStringLiteral("plain.txt")), plainCount);

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
    generation.generate(dir.path(), QStringLiteral("T1"), ctx); // warm
    const long before = residentKiB();
    QElapsedTimer t;
    t.start();
    generation.generate(dir.path(), QStringLiteral("T1"), ctx);
    const double genMs = t.nsecsElapsed() / 1e6;
    const long after = residentKiB();
    const int cleanAnomalies = static_cast<int>(generation.lastPass().anomalies.size());

    // The worst a register gives the checks: every invoice's VAT a dinar off
    // its computation, so that each one is listed.
    {
        Query wrong(c, QStringLiteral("update FACTURE set MONTANTTVA = MONTANTTVA + 1"));
        wrong.execute();
        c.commitRetaining();
    }
    generation.generate(dir.path(), QStringLiteral("T1"), ctx); // warm
    const long beforeWorst = residentKiB();
    t.restart();
    generation.generate(dir.path(), QStringLiteral("T1"), ctx);
    const double worstMs = t.nsecsElapsed() / 1e6;
    const long afterWorst = residentKiB();
    const int worstAnomalies = static_cast<int>(generation.lastPass().anomalies.size());

    std::printf("invoices                     %d\n", plainCount);
    std::printf("plain loop                   %8.1f ms  %9.0f rows/s  %6.2f us per row\n", plainMs, plainCount / plainMs * 1000,
        plainMs * 1000 / qMax(1, plainCount));
    std::printf("declaration generation       %8.1f ms  %9.0f rows/s  %6.2f us per row\n", genMs, plainCount / genMs * 1000,
        genMs * 1000 / qMax(1, plainCount));
    std::printf("ratio of rates               %8.2f (target: at least 0.7)\n", plainMs / genMs);
    std::printf("memory growth while writing  %8ld KiB\n", after - before);
    std::printf("anomalies found              %8d\n", cleanAnomalies);
    std::printf("every invoice listed         %8.1f ms  %9.0f rows/s  %6.2f us per row\n", worstMs, plainCount / worstMs * 1000,
        worstMs * 1000 / qMax(1, plainCount));
    std::printf("ratio of rates, all listed   %8.2f\n", plainMs / worstMs);
    std::printf("memory growth, all listed    %8ld KiB for %d anomalies\n", afterWorst - beforeWorst, worstAnomalies);
    return 0;
}
