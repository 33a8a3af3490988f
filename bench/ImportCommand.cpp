// kestra-cli import of a 65,535-row workbook of invoices from a template into
// the invoice table, end to end: the process, the workbook, the engine, the
// stamping of the imported rows and the commits (every 100 rows, as the
// template says). Beside it, in the same run, the plain loop of prepared
// inserts of the engine benchmark on a fresh database of the same kind.
// Prints both rates and their ratio (target: at least 0.30).
//
//   build-bench/bench/bench_ImportCommand [WORKBOOK.xls [KESTRA-CLI]]
//
// Without a workbook one is written once by LibreOffice (soffice) from a
// generated CSV and kept in the temporary directory for later runs; its
// invoices have the columns of the template below.

#include "bench/support/PlainInserts.h"
#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rows = 65535;

// The workbook's columns, A to P: every invoice column but the four of the
// key, which the template gives placeholders and the stamping replaces.
QStringList sheetColumns()
{
    return InvoiceColumns.mid(4); // a function: the column list is another file's static
}

QString makeWorkbook()
{
    const QString dir = QDir::temp().filePath(QStringLiteral("kestra-bench"));
    QDir().mkpath(dir);
    const QString xls = dir + QStringLiteral("/invoices-65535.xls");
    if (QFileInfo::exists(xls))
        return xls;
    const QString csv = dir + QStringLiteral("/invoices-65535.csv");
    QFile out(csv);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    QTextStream ts(&out);
    ts << sheetColumns().join(QLatin1Char(',')) << '\n';
    const QDate first(2008, 1, 1);
    for (int i = 1; i <= Rows; ++i) {
        // Dates through the year, so that every quarter gets invoices.
        ts << "F" << QString::number(i).rightJustified(6, QLatin1Char('0')) << ',' << first.addDays(i % 365).toString(Qt::ISODate)
           << ",1,1234567ABC000,\"Client " << i % 5000 << "\",\"12 rue de la Kasbah, Tunis\",A-2008-17,2008-01-01,1234.567,1,12.346,0,0,"
           << "18,224.44," << i % 1000 << '\n';
    }
    out.close();
    // UTF-8 comma-separated text, quoted strings, ISO dates recognised.
    if (!convertCsvToXls(csv, dir))
        return QString();
    QFile::remove(csv);
    return xls;
}

QString writeTemplate(const QString &dir, const QString &workbook)
{
    QString text = QStringLiteral("[FIRST_STEP]\nImportType=0\nFileName=%1\n[XLS_MAP]\n").arg(workbook);
    for (int c = 0; c < sheetColumns().size(); ++c)
        text += QStringLiteral("%1=%2-COLFINISH;\n").arg(sheetColumns()[c], QChar(u'A' + c) + QStringLiteral("2"));
    text += QStringLiteral("[BASE_FORMATS]\nShortDateFormat=dd/mm/yyyy\nDateSeparator=/\nDecimalSeparator=.\nThousandSeparator=#32\n"
                           "[DATA_FORMATS_IDENTIFIANT]\nConstantValue=IMPORT\n[DATA_FORMATS_EXERCICE]\nConstantValue=0\n"
                           "[DATA_FORMATS_TRIMESTRE]\nConstantValue=0\n[DATA_FORMATS_NUMEROORDRE]\nGeneratorValue=1\nGeneratorStep=1\n"
                           "[LAST_STEP]\nCommitAfterDone=0\nCommitRecCount=100\n");
    const QString path = dir + QStringLiteral("/invoices.imp");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toLatin1());
    return path;
}

QString freshDatabase(const QString &dir)
{
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/Kestra.GDB");
    QFile::remove(path);
    Schema::createDatabase(path);
    Connection c;
    c.setDatabaseName(path);
    c.open();
    Query q(c,
        QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                       "values ('0123456', 'A', 'M', '000', 'BENCH', 2008)"));
    q.execute();
    c.close();
    return path;
}

struct CommandRun
{
    double ms = 0;
    bool ok = false;
};

CommandRun commandRun(const QString &cli, const QString &dbDir, const QString &templateFile)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(cli,
        { QStringLiteral("import"), QStringLiteral("--db"), dbDir, QStringLiteral("--template"), templateFile, QStringLiteral("--table"),
            QStringLiteral("FACTURE"), QStringLiteral("--company"), QStringLiteral("0123456AM000"), QStringLiteral("--year"),
            QStringLiteral("2008") });
    CommandRun run;
    if (!p.waitForFinished(600000)) {
        std::fprintf(stderr, "kestra-cli did not finish\n");
        return run;
    }
    run.ms = t.nsecsElapsed() / 1e6;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString expected = QStringLiteral("Lignes insérées : %1\nLignes modifiées : 0\nLignes supprimées : 0\nLignes en échec : 0\n"
                                            "Factures numérotées : %1\n")
                                 .arg(Rows);
    run.ok = p.exitCode() == 0 && out == expected;
    if (!run.ok)
        std::fprintf(stderr, "kestra-cli: exit %d\n%s%s", p.exitCode(), qPrintable(out), p.readAllStandardError().constData());
    return run;
}

// What the import left: every row stamped for the company and year, numbered 1 to Rows.
bool checkStamped(const QString &path)
{
    Connection c;
    c.setDatabaseName(path);
    c.open();
    Query q(c,
        QStringLiteral("select count(*), min(NUMEROORDRE), max(NUMEROORDRE), count(distinct TRIMESTRE) from FACTURE "
                       "where IDENTIFIANT = '0123456AM000' and EXERCICE = 2008"));
    q.execute();
    const Row r = q.outputRow();
    c.close();
    const bool ok = r.value(0).toInt() == Rows && r.value(1).toInt() == 1 && r.value(2).toInt() == Rows && r.value(3).toInt() == 4;
    if (!ok)
        std::fprintf(stderr, "stamped rows: %d, numbers %d to %d, %d quarters\n", r.value(0).toInt(), r.value(1).toInt(),
            r.value(2).toInt(), r.value(3).toInt());
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString workbook = args.size() >= 2 ? args[1] : makeWorkbook();
    if (workbook.isEmpty())
        return 1;
    const QString cli = args.size() >= 3 ? args[2] : app.applicationDirPath() + QStringLiteral("/../app/kestra-cli");
    if (!QFileInfo(cli).isExecutable()) {
        std::fprintf(stderr, "kestra-cli not found at %s: build it (target kestra-cli) or give its path\n", qPrintable(cli));
        return 1;
    }
    std::printf("workbook: %s (%.1f MB), %d invoices\n", qPrintable(workbook), QFileInfo(workbook).size() / 1048576.0, Rows);

    QTemporaryDir dir;
    const QString templateFile = writeTemplate(dir.path(), workbook);
    // Each side three times, alternately, on a fresh database each time: the
    // disk is shared, so the best run of each is the one least disturbed.
    double plain = 1e300, command = 1e300;
    for (int round = 0; round < 3; ++round) {
        plain = std::min(plain, plainInsertLoop(freshDatabase(dir.filePath(QStringLiteral("plain"))), Rows).ms);
        const QString dbDir = dir.filePath(QStringLiteral("command"));
        const QString path = freshDatabase(dbDir);
        const CommandRun run = commandRun(cli, dbDir, templateFile);
        if (!run.ok || !checkStamped(path))
            return 1;
        command = std::min(command, run.ms);
    }
    const double plainRate = Rows / (plain / 1000.0);
    const double commandRate = Rows / (command / 1000.0);
    std::printf("plain prepared inserts:          %10.0f rows/s (%.0f ms, %.1f us per row)\n", plainRate, plain, 1e6 / plainRate);
    std::printf("kestra-cli import, stamping too: %10.0f rows/s (%.0f ms, %.1f us per row, whole process)\n", commandRate, command,
        1e6 / commandRate);
    std::printf("ratio import / plain:            %10.2f (target 0.30)\n", commandRate / plainRate);
    return 0;
}
