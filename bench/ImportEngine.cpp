// The import engine moving invoices from a source held in memory into the
// invoice table through a data set, committing every 100 rows, beside a plain
// loop of prepared inserts on a fresh database of the same kind. Prints both
// rates, their ratio, and the time of each tenth of the engine's rows, which
// stays flat when no row costs more than the ones before it.
// Run: build-bench/bench/bench_ImportEngine [rows] [engine]
// ("engine" runs the engine alone, once: for a profiler).

#include "bench/support/PlainInserts.h"
#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "import/engine/ImportEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The texts of invoice i, as a source file would hold them.
QStringList invoiceTexts(int i)
{
    return { "0123456AM000", "2008", QString::number(i % 4 + 1), QString::number(i), QStringLiteral("F%1").arg(i, 6, 10, QLatin1Char('0')),
        "05/01/2008", "1", "1234567ABC000", QStringLiteral("Client %1").arg(i % 5000), "12 rue de la Kasbah, Tunis", "A-2008-17",
        "01/01/2008", "1 234,567", "1", "12,346", "0", "0", "18", "224,44", QString::number(i % 1000) };
}

// Rows held in memory; a map value is the number of a text in the row.
class MemorySource : public ImportEngine
{
public:
    std::vector<QStringList> Rows;

protected:
    void openSource() override { m_pos = 0; }
    bool hasMoreRows() override { return m_pos < Rows.size(); }
    void fillImportRow() override
    {
        const QStringList &texts = Rows[m_pos];
        for (int i = 0; i < row().count(); ++i) {
            ImportColumn *col = row().at(i);
            col->value.clear();
            if (isMappedColumn(col))
                setValue(col->name, texts.value(mapValue(col->mapIndex).toInt() - 1));
        }
        applyFieldFormats();
    }
    void nextRow() override { ++m_pos; }

private:
    size_t m_pos = 0;
};

QString freshDatabase(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile::remove(path);
    Schema::createDatabase(path);
    return path;
}

struct Run
{
    double ms = 0;
    std::vector<double> slices; // ms per tenth of the rows
    int imported = 0;
    int commits = 0;
};

Run engineLoop(const QString &path, const std::vector<QStringList> &rows)
{
    Connection c;
    c.setDatabaseName(path);
    c.open();
    DataSet invoices(c, QStringLiteral("ifacture"));
    invoices.setSql(QStringLiteral("select * from FACTURE"));
    invoices.setUpdateTable(QStringLiteral("FACTURE"), { "IDENTIFIANT", "EXERCICE", "TRIMESTRE", "NUMEROORDRE" });
    invoices.open();

    QTemporaryDir sourceDir;
    const QString sourceFile = sourceDir.filePath(QStringLiteral("source.txt"));
    QFile(sourceFile).open(QIODevice::WriteOnly);

    MemorySource source;
    source.Rows = rows;
    source.setDataSet(&invoices);
    source.setFileName(sourceFile);
    QStringList map;
    for (int i = 0; i < InvoiceColumns.size(); ++i)
        map << QStringLiteral("%1=%2").arg(InvoiceColumns[i]).arg(i + 1);
    source.setMap(map);
    ImportFormats formats;
    formats.decimalSeparator = QLatin1Char(',');
    formats.thousandSeparator = QLatin1Char(' ');
    formats.dateSeparator = QLatin1Char('/');
    formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    source.setFormats(formats);
    source.setCommitAfterDone(false);
    source.setCommitRecCount(100);

    Run run;
    const int tenth = std::max<int>(1, int(rows.size()) / 10);
    QElapsedTimer t, slice;
    source.onNeedCommit = [&](ImportEngine *) {
        c.commitRetaining();
        ++run.commits;
    };
    source.onImportRecord = [&](ImportEngine *sender) {
        if (sender->importedCount() % tenth == 0) {
            run.slices.push_back(slice.nsecsElapsed() / 1e6);
            slice.restart();
        }
    };
    t.start();
    slice.start();
    source.execute();
    run.ms = t.nsecsElapsed() / 1e6;
    run.imported = source.importedCount();
    if (source.errorCount() > 0 || run.imported != int(rows.size()))
        std::fprintf(stderr, "engine imported %d of %zu rows\n", run.imported, rows.size());
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;

    std::vector<QStringList> source;
    source.reserve(size_t(rows));
    for (int i = 1; i <= rows; ++i)
        source.push_back(invoiceTexts(i));

    if (argc > 2 && QByteArray(argv[2]) == "engine") {
        const Run run = engineLoop(freshDatabase(dir, QStringLiteral("engine.gdb")), source);
        std::printf("import engine: %.0f rows/s (%.0f ms)\n", run.imported / (run.ms / 1000.0), run.ms);
        return 0;
    }

    // Each side three times, alternately, on a fresh database each time: the disk is
    // shared, so the best run of each is the one least disturbed.
    Run plain, engine;
    plain.ms = engine.ms = 1e300;
    for (int round = 0; round < 3; ++round) {
        const PlainInsertRun p = plainInsertLoop(freshDatabase(dir, QStringLiteral("plain.gdb")), rows);
        if (p.ms < plain.ms) {
            plain.ms = p.ms;
            plain.slices = p.slices;
            plain.commits = p.commits;
            plain.imported = rows;
        }
        Run e = engineLoop(freshDatabase(dir, QStringLiteral("engine.gdb")), source);
        if (e.ms < engine.ms)
            engine = e;
    }

    const double plainRate = plain.imported / (plain.ms / 1000.0);
    const double engineRate = engine.imported / (engine.ms / 1000.0);
    std::printf("rows: %d, commit every 100 rows\n", rows);
    std::printf("plain prepared inserts: %10.0f rows/s (%.0f ms, %.1f us per row, %d commits)\n", plainRate, plain.ms, 1e6 / plainRate,
        plain.commits);
    std::printf("import engine:          %10.0f rows/s (%.0f ms, %.1f us per row, %d commit requests)\n", engineRate, engine.ms,
        1e6 / engineRate, engine.commits);
    std::printf("ratio engine / plain:   %10.2f (target 0.50)\n", engineRate / plainRate);
    for (const auto &[name, run] : { std::pair<const char *, const Run &> { "plain ", plain }, { "engine", engine } }) {
        std::printf("%s ms per tenth:", name);
        for (double s : run.slices)
            std::printf(" %.0f", s);
        if (run.slices.size() >= 2)
            std::printf("   (last / first %.2f)", run.slices.back() / run.slices.front());
        std::printf("\n");
    }
    return 0;
}
