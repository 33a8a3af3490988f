#pragma once

#include <QSet>
#include <QString>
#include <QVariant>

class Connection;

// After an invoice import, the rows the import inserted take the working
// company, the fiscal year, the quarter of their invoice date and order
// numbers that continue the company's numbering of that year. The import
// fills the key columns with whatever the source or the field formats give,
// so the rows are found by their keys: those that were not in the table
// before the import. Every other row, of this company or of any other, and
// whatever the import brought besides the key (the authorisation number and
// date included), is left as it is.
//
// Usage: construct before the import, call Stamp after it.
class TInvoiceStamping
{
public:
    // Reads the keys the invoice table holds and the highest order number of
    // the company (its joined tax identifier) and the year (decimal text)
    // among them. Raises the database's errors.
    TInvoiceStamping(Connection &connection, const QString &matricule, const QString &exercice);

    // Stamps, in key order, every row whose key was not in the table when
    // this object was made: IDENTIFIANT := the company, EXERCICE := the year,
    // TRIMESTRE := the quarter of DATEFACTURE's month (4 without a date, as
    // the zero date falls in December), NUMEROORDRE := the highest number
    // read before the import + 1, + 2, ... Either every such row is stamped
    // or none: a failure (a year that is not an integer, a database error)
    // leaves the table as the import left it and is raised. Nothing is
    // committed. Returns the number of rows stamped.
    int Stamp();

    // The highest order number of the company and year before the import;
    // 0 when it had none.
    int HighestNumber() const { return m_highest; }

    static int QuarterOfMonth(int month);
    // The quarter of a date value as the database returns it; null is the zero date.
    static int QuarterOfDate(const QVariant &date);

private:
    Connection &m_connection;
    QString m_matricule;
    QString m_exercice;
    int m_highest = 0;
    QSet<QString> m_before;
};
