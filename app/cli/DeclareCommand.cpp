// kestra-cli declare: the quarterly declaration without a screen, for one
// company or for every company of the database.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/context/CompanyChoice.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "declaration/DeclarationGeneration.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

struct DeclareRequest
{
    QString db;
    QString company; // a tax identifier, or "all"
    QString year;
    QString quarter;
    QString outDir;

    bool allCompanies() const { return company == QLatin1String("all"); }
};

// The exit code of a request that cannot run: 2 for wrong arguments, 1 for
// an output directory or a database that is not there.
std::optional<int> readRequest(const QStringList &args, DeclareRequest &r, QTextStream &err)
{
    if (!readOptions(args,
            { { "--db", &r.db }, { "--company", &r.company }, { "--year", &r.year }, { "--quarter", &r.quarter }, { "--out", &r.outDir } },
            QString(), err))
        return 2;
    if (r.db.isEmpty() || r.company.isEmpty() || r.year.isEmpty() || r.quarter.isEmpty() || r.outDir.isEmpty()) {
        err << "Utilisation : kestra-cli declare --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4 --out DIR\n";
        return 2;
    }
    static const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
    if (!Quarters.contains(r.quarter)) {
        err << "Trimestre incorrect : " << r.quarter << " (T1, T2, T3 ou T4)\n";
        return 2;
    }
    if (!checkYear(r.year, err))
        return 2;
    QFileInfo outInfo(r.outDir);
    if (!outInfo.isDir() || !outInfo.isWritable()) {
        err << "Le répertoire " << r.outDir << " n'existe pas ou n'est pas accessible en écriture.\n";
        return 1;
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

// Writes the declaration of each of those companies and prints its path; 1
// when a company's sub-directory cannot be made.
int declareCompanies(
    Connection &connection, DataSet &societes, const QList<int> &rows, const DeclareRequest &request, QTextStream &out, QTextStream &err)
{
    DeclarationGeneration generation(connection);
    for (int r : rows) {
        societes.moveTo(r);
        WorkingContext context;
        chooseCompany(societes, context);
        context.curExercice = request.year; // the year asked replaces the company's default year
        QString directory = request.outDir;
        if (request.allCompanies()) {
            directory = QDir(request.outDir).filePath(directoryName(context.curMatricule));
            if (!QDir().mkpath(directory)) {
                err << "Impossible de créer le répertoire " << directory << "\n";
                return 1;
            }
        }
        out << generation.generate(directory, request.quarter, context) << "\n";
    }
    return 0;
}

} // namespace

int declareCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    DeclareRequest request;
    if (const std::optional<int> rc = readRequest(args, request, err))
        return *rc;
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
        if (const int rc = declareCompanies(connection, societes, rows, request, out, err))
            return rc;
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
