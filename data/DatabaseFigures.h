#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class Connection;

// What a database holds, in figures a backup is checked by: the rows of
// every table and the sums of the invoice amounts.
struct DatabaseFigures
{
    QMap<QString, qint64> rows; // by table name
    QMap<QString, double> amounts; // by column of FACTURE

    // The invoice amount columns that are summed.
    static const QStringList AmountColumns;
    // The tables of the database (not the engine's), by name.
    static QStringList tables(Connection &connection);

    // Read in one snapshot of the connection's database (its own pending
    // work is committed first, as every read of one state does).
    static DatabaseFigures read(Connection &connection);
    // Read in the connection's transaction as it is: within a ReadSnapshot,
    // the database as it was when that began.
    static DatabaseFigures readInTransaction(Connection &connection);

    qint64 invoices() const { return rows.value(QStringLiteral("FACTURE")); }
    bool isEmpty() const { return rows.isEmpty(); }
    // Equal rows, and amounts equal to half a millime: a sum of the same
    // values in another order may differ in its last bits.
    bool agreesWith(const DatabaseFigures &other) const;
    // What differs from what was recorded, one line each in the program's
    // words; empty when they agree.
    QStringList differencesFrom(const DatabaseFigures &recorded) const;
};
