#include "data/InvoiceNumbering.h"

#include "core/Error.h"
#include "data/Query.h"

namespace InvoiceNumbering {

int highest(Connection &connection, const QString &matricule, const QVariant &exercice)
{
    Query q(connection, QStringLiteral("select max(NUMEROORDRE) from FACTURE where IDENTIFIANT = :codesociete and EXERCICE = :exercice"));
    q.setParam(QStringLiteral("codesociete"), matricule);
    q.setParam(QStringLiteral("exercice"), exercice);
    q.open();
    Row row;
    const int number = q.fetch(row) ? row.value(0).toInt() : 0;
    q.close();
    return number;
}

void lockCompany(Connection &connection, const QString &matricule)
{
    // The company's row is the one thing every workstation numbering its
    // invoices has in common. A workstation that held it and then committed
    // makes the wait end in an update conflict: the next attempt reads the
    // committed row and takes it.
    Query q(connection,
        QStringLiteral("select IDENTIFIANT from SOCIETE where IDENTIFIANT || CLE || CATEGORIE || ETABSECONDAIRE = :matricule with lock"));
    q.setParam(QStringLiteral("matricule"), matricule);
    for (int attempt = 1;; ++attempt) {
        try {
            q.open();
            Row row;
            while (q.fetch(row)) { }
            return;
        } catch (const DbError &e) {
            q.close();
            if (!e.isLockConflict())
                throw;
            if (e.hasLockTimeout() || attempt >= 20)
                throw Error(NumberingBusy);
        }
    }
}

} // namespace InvoiceNumbering
