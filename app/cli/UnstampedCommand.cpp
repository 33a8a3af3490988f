// kestra-cli unstamped: the invoices an interrupted import left under a
// placeholder key, listed, then stamped for a company or deleted on the
// operator's explicit word.

#include "app/cli/Commands.h"
#include "app/cli/CompanyLookup.h"
#include "core/Conversion.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "import/UnstampedInvoices.h"

#include <QFileInfo>

namespace {

const QString Usage = QStringLiteral("Utilisation : kestra-cli unstamped --db DIR [--stamp --company MATRICULE --year ANNEE | --delete]\n");

} // namespace

int unstampedCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString db, company, year;
    bool stamp = false;
    bool remove = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--stamp")) {
            stamp = true;
            continue;
        }
        if (a == QLatin1String("--delete")) {
            remove = true;
            continue;
        }
        QString *target = a == QLatin1String("--db") ? &db
            : a == QLatin1String("--company")        ? &company
            : a == QLatin1String("--year")           ? &year
                                                     : nullptr;
        if (!target || i + 1 >= args.size()) {
            err << "Argument incorrect : " << a << "\n" << Usage;
            return 2;
        }
        *target = args[++i];
    }
    if (db.isEmpty() || (stamp && remove) || (stamp && (company.isEmpty() || year.isEmpty()))
        || (!stamp && (!company.isEmpty() || !year.isEmpty()))) {
        err << Usage;
        return 2;
    }
    int yearNumber = 0;
    if (stamp && (!tryStrToInt(year, yearNumber) || year.size() != 4 || yearNumber < 1000)) {
        err << "Exercice incorrect : " << year << " (une année sur quatre chiffres)\n";
        return 2;
    }
    if (!Config::isServerDirectory(db) && !QFileInfo::exists(Config::databaseName(db))) {
        err << "Base introuvable : " << Config::databaseName(db) << "\n";
        return 1;
    }

    try {
        Connection connection;
        connection.setDatabaseName(Config::databaseName(db));
        connection.open();
        const QList<UnstampedInvoices::Group> groups = UnstampedInvoices::find(connection);
        if (groups.isEmpty()) {
            out << "Aucune facture en attente de numérotation.\n";
            return 0;
        }
        out << "Factures laissées par une importation interrompue (société / exercice / trimestre : nombre) :\n"
            << UnstampedInvoices::describe(groups) << "\n";
        if (stamp) {
            WorkingContext context;
            if (!findCompany(connection, company, context)) {
                err << "Société introuvable : " << company << "\n";
                return 1;
            }
            const int n = UnstampedInvoices::stamp(
                connection, context.curIdentifiant + context.curCle + context.curCategorie + context.curEtab, year);
            out << "Factures numérotées : " << n << "\n";
        } else if (remove) {
            out << "Factures supprimées : " << UnstampedInvoices::remove(connection) << "\n";
        }
        connection.commit();
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
