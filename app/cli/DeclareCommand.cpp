// kestra-cli declare: the quarterly declaration without a screen, for one
// company or for every company of the database.

#include "app/cli/Commands.h"
#include "app/context/CompanyChoice.h"
#include "core/Conversion.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "declaration/DeclarationGeneration.h"

#include <QDir>
#include <QFileInfo>

namespace {

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

} // namespace

int declareCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString db, company, year, quarter, outDir;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *target = a == QLatin1String("--db") ? &db
            : a == QLatin1String("--company")        ? &company
            : a == QLatin1String("--year")           ? &year
            : a == QLatin1String("--quarter")        ? &quarter
            : a == QLatin1String("--out")            ? &outDir
                                                     : nullptr;
        if (!target || i + 1 >= args.size()) {
            err << "Argument incorrect : " << a << "\n";
            return 2;
        }
        *target = args[++i];
    }
    if (db.isEmpty() || company.isEmpty() || year.isEmpty() || quarter.isEmpty() || outDir.isEmpty()) {
        err << "Utilisation : kestra-cli declare --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4 --out DIR\n";
        return 2;
    }
    static const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
    if (!Quarters.contains(quarter)) {
        err << "Trimestre incorrect : " << quarter << " (T1, T2, T3 ou T4)\n";
        return 2;
    }
    int yearNumber = 0;
    if (!tryStrToInt(year, yearNumber) || year.size() != 4 || yearNumber < 1000) {
        err << "Exercice incorrect : " << year << " (une année sur quatre chiffres)\n";
        return 2;
    }
    QFileInfo outInfo(outDir);
    if (!outInfo.isDir() || !outInfo.isWritable()) {
        err << "Le répertoire " << outDir << " n'existe pas ou n'est pas accessible en écriture.\n";
        return 1;
    }
    if (!Config::isServerDirectory(db) && !QFileInfo::exists(Config::databaseName(db))) {
        err << "Base introuvable : " << Config::databaseName(db) << "\n";
        return 1;
    }

    try {
        Connection connection;
        connection.setDatabaseName(Config::databaseName(db));
        connection.open();
        DataSet societes(connection, QStringLiteral("Isociete"));
        societes.setSql(QStringLiteral("select * from Societe Order by identifiant "));
        societes.open();

        QList<int> rows;
        for (int r = 0; r < societes.recordCount(); ++r) {
            societes.moveTo(r);
            const QString m = matriculeOf(societes);
            if (company == QLatin1String("all") || m == company || directoryName(m) == company)
                rows << r;
        }
        if (rows.isEmpty()) {
            err << (company == QLatin1String("all") ? QStringLiteral("Aucune société dans la base.")
                                                    : QStringLiteral("Société introuvable : ") + company)
                << "\n";
            return 1;
        }

        DeclarationGeneration generation(connection);
        for (int r : rows) {
            societes.moveTo(r);
            WorkingContext context;
            chooseCompany(societes, context);
            context.curExercice = year; // the year asked replaces the company's default year
            QString directory = outDir;
            if (company == QLatin1String("all")) {
                directory = QDir(outDir).filePath(directoryName(context.curMatricule));
                if (!QDir().mkpath(directory)) {
                    err << "Impossible de créer le répertoire " << directory << "\n";
                    return 1;
                }
            }
            out << generation.generate(directory, quarter, context) << "\n";
        }
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
