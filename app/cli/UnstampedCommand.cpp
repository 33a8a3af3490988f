// kestra-cli unstamped: the invoices an interrupted import left under a
// placeholder key, listed, then stamped for a company or deleted on the
// operator's explicit word.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/CompanyLookup.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "invoices/UnstampedInvoices.h"

int unstampedCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString db = line.value(QStringLiteral("db"));
    const QString company = line.value(QStringLiteral("company"));
    const QString year = line.value(QStringLiteral("year"));
    const bool stamp = line.isSet(QStringLiteral("stamp"));
    const bool remove = line.isSet(QStringLiteral("delete"));
    if (db.isEmpty() || (stamp && remove) || (stamp && (company.isEmpty() || year.isEmpty()))
        || (!stamp && (!company.isEmpty() || !year.isEmpty()))) {
        err << line.usage();
        return 2;
    }
    if (stamp && !checkYear(year, err))
        return 2;
    if (!checkDatabase(db, err))
        return 1;

    try {
        Connection connection;
        openDatabase(connection, db);
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
            const int n = UnstampedInvoices::stamp(connection, context.curMatricule, year);
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
