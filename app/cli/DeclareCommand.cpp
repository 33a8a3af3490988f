// kestra-cli declare and check: the quarterly declaration without a screen,
// for one company or for every company of the database, and the checks that
// come before it.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/context/CompanyChoice.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "declaration/DeclarationGeneration.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <optional>

namespace {

// Exit codes of the checks: none found, warnings only, an error.
constexpr int NoAnomaly = 0;
constexpr int WarningsOnly = 4;
constexpr int AnError = 5;

struct DeclareRequest
{
    QString db;
    QString company; // a tax identifier, or "all"
    QString year;
    QString quarter;
    QString outDir; // declare only
    bool strict = false;

    bool allCompanies() const { return company == QLatin1String("all"); }
};

// The exit code of a request that cannot run: 2 for wrong arguments, 1 for
// an output directory or a database that is not there.
std::optional<int> readRequest(const CommandLine &line, DeclareRequest &r, bool writes, QTextStream &err)
{
    r.db = line.value(QStringLiteral("db"));
    r.company = line.value(QStringLiteral("company"));
    r.year = line.value(QStringLiteral("year"));
    r.quarter = line.value(QStringLiteral("quarter"));
    r.outDir = line.value(QStringLiteral("out"));
    r.strict = line.isSet(QStringLiteral("strict"));
    if (r.db.isEmpty() || r.company.isEmpty() || r.year.isEmpty() || r.quarter.isEmpty() || (writes && r.outDir.isEmpty())) {
        err << line.usage();
        return 2;
    }
    static const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
    if (!Quarters.contains(r.quarter)) {
        err << "Trimestre incorrect : " << r.quarter << " (T1, T2, T3 ou T4)\n";
        return 2;
    }
    if (!checkYear(r.year, err))
        return 2;
    if (writes) {
        QFileInfo outInfo(r.outDir);
        if (!outInfo.isDir() || !outInfo.isWritable()) {
            err << "Le répertoire " << r.outDir << " n'existe pas ou n'est pas accessible en écriture.\n";
            return 1;
        }
    }
    if (!checkDatabase(r.db, err))
        return 1;
    return std::nullopt;
}

QString matriculeOf(const DataSet &societes)
{
    WorkingContext c;
    chooseCompany(societes, c);
    return c.curMatricule;
}

// The sub-directory of a company: its tax identifier, without trailing blanks.
QString directoryName(const QString &matricule)
{
    QString name = matricule;
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return name;
}

// The rows of the companies the request names; a company is named by its tax
// identifier as stored or as its sub-directory is named.
QList<int> requestedCompanies(DataSet &societes, const DeclareRequest &request)
{
    QList<int> rows;
    for (int r = 0; r < societes.recordCount(); ++r) {
        societes.moveTo(r);
        const QString m = matriculeOf(societes);
        if (request.allCompanies() || m == request.company || directoryName(m) == request.company)
            rows << r;
    }
    return rows;
}

int checksCode(const DeclarationPass &pass)
{
    if (pass.errorCount > 0)
        return AnError;
    return pass.warningCount > 0 ? WarningsOnly : NoAnomaly;
}

// What the checks found in a company's quarter, as the anomaly list shows it.
void printAnomalies(const WorkingContext &context, const DeclareRequest &request, const DeclarationPass &pass, QTextStream &to)
{
    to << DeclarationChecks::listText(
        DeclarationChecks::headingText(context.curMatricule, request.quarter, request.year), pass.anomalies, pass.totals);
}

// Runs the request on each company it names; returns the exit code.
int runCompanies(const CommandLine &line, bool writes, QTextStream &err,
    const std::function<int(DeclarationGeneration &, const WorkingContext &, const DeclareRequest &)> &each)
{
    DeclareRequest request;
    if (const std::optional<int> rc = readRequest(line, request, writes, err))
        return *rc;
    int code = 0;
    try {
        Connection connection;
        openDatabase(connection, request.db);
        DataSet societes(connection, QStringLiteral("Isociete"));
        societes.setSql(CompanySelectionSql);
        societes.open();
        const QList<int> rows = requestedCompanies(societes, request);
        if (rows.isEmpty()) {
            err << (request.allCompanies() ? QStringLiteral("Aucune société dans la base.")
                                           : QStringLiteral("Société introuvable : ") + request.company)
                << "\n";
            return 1;
        }
        DeclarationGeneration generation(connection);
        for (int r : rows) {
            societes.moveTo(r);
            WorkingContext context;
            chooseCompany(societes, context);
            context.curExercice = request.year; // the year asked replaces the company's default year
            const int rc = each(generation, context, request);
            if (rc == 1)
                return 1;
            code = std::max(code, rc);
        }
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return code;
}

} // namespace

int declareCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    return runCompanies(line, true, err, [&](DeclarationGeneration &generation, const WorkingContext &context, const DeclareRequest &request) {
        QString directory = request.outDir;
        if (request.allCompanies()) {
            directory = QDir(request.outDir).filePath(directoryName(context.curMatricule));
            if (!QDir().mkpath(directory)) {
                err << "Impossible de créer le répertoire " << directory << "\n";
                return 1;
            }
        }
        const DeclarationPass &pass = generation.prepare(directory, request.quarter, context);
        if (!pass.anomalies.isEmpty())
            printAnomalies(context, request, pass, err);
        if (request.strict && !pass.anomalies.isEmpty()) {
            generation.discard();
            err << "Fichier non écrit (--strict) : " << pass.shownPath << "\n";
            return checksCode(pass);
        }
        generation.commit();
        out << pass.shownPath << "\n";
        if (!generation.keptAs().isEmpty())
            err << "Fichier précédent conservé : " << generation.keptAs() << "\n";
        err << "SHA-256 : " << generation.sha256() << "  " << pass.shownPath << "\n";
        if (!generation.historyError().isEmpty())
            err << generation.historyError() << "\n";
        return 0;
    });
}

int checkCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    return runCompanies(line, false, err, [&](DeclarationGeneration &generation, const WorkingContext &context, const DeclareRequest &request) {
        const DeclarationPass &pass = generation.check(request.quarter, context);
        printAnomalies(context, request, pass, out);
        return checksCode(pass);
    });
}
