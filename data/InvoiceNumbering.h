#pragma once

#include <QString>
#include <QVariant>

class Connection;

// The order numbers of a company's invoices run on through its fiscal year.
// Several workstations may number invoices of the same company at once (a
// typed invoice, an import being stamped): whoever numbers takes the
// company's numbering first, so that the highest number it reads stays the
// highest until its work is committed.
namespace InvoiceNumbering {

// The highest order number of the company (its joined tax identifier) and
// the year, 0 when it has none: every workstation's committed invoices and
// this transaction's own.
int highest(Connection &connection, const QString &matricule, const QVariant &exercice);

// Takes the company's numbering for the shared transaction, until it commits
// or rolls back to a savepoint taken before: another workstation that numbers
// invoices of the same company waits meanwhile. Waits for a workstation that
// holds it, and raises the program's message when that lasts beyond the
// connection's lock time-out. A company that is not in the register has
// nothing to hold.
void lockCompany(Connection &connection, const QString &matricule);

inline const QString NumberingBusy = QStringLiteral(
    "Un autre poste numérote en ce moment des factures de cette société : rien n'a été enregistré. Réessayez dans un instant.");

// What the operator is told when a new invoice was stored under another
// number than the one its form showed.
inline QString retakenMessage(int shown, int stored)
{
    return QStringLiteral("Le numéro d'ordre %1 venait d'être pris sur un autre poste : la facture est enregistrée sous le numéro %2.")
        .arg(shown)
        .arg(stored);
}

} // namespace InvoiceNumbering
