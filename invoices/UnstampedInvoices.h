#pragma once

#include <QList>
#include <QString>

class Connection;

// Invoices that an import left behind unstamped: an import that failed or was
// killed before its rows were stamped, in the days when its rows became
// durable before their stamping. They wait in the invoice table under the
// placeholder key the import gave them, out of every company's register and
// declarations, and the same import run again collides with them. They are
// told by a key no stamped or typed invoice has: a quarter other than 1 to 4,
// or a year that is not a four-digit year.
namespace UnstampedInvoices {

struct Group
{
    QString identifiant; // as stored, trailing blanks aside
    int exercice = 0;
    int trimestre = 0;
    int count = 0;
};

// Grouped by their placeholder company, year and quarter.
QList<Group> find(Connection &connection);
int total(const QList<Group> &groups);
// "IMPORT / 0 / T0 : 30000", one group a line.
QString describe(const QList<Group> &groups);

// Stamps them as an import's rows are stamped: the company (its joined tax
// identifier), the year, the quarter of their invoice date, numbers after
// the company's highest one in the order of their keys; commits. Returns the
// number stamped. All or nothing: a failure is raised and changes nothing.
int stamp(Connection &connection, const QString &matricule, const QString &exercice);
// Deletes them and commits. Returns the number deleted.
int remove(Connection &connection);

} // namespace UnstampedInvoices
