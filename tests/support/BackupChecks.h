#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class Connection;

// What a backup must hold, checked alike on the embedded engine and on a
// server.
namespace BackupChecks {

// Every row of every table of the program, each value as text, rows in
// the order of all their columns: two databases that hold the same rows
// give equal maps.
QMap<QString, QList<QStringList>> everyRow(Connection &connection);
QMap<QString, QList<QStringList>> everyRow(const QString &databaseName);

// A file's bytes (none when it cannot be read); a file written with bytes.
QByteArray fileBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);

// Invoice NUMEROORDRE from..to of the company "BACKUP", year 2026, each
// with its own amounts; not committed.
void insertInvoices(Connection &connection, int from, int to);

// A backup taken while a second connection inserts and commits invoices,
// and a third holds an insert it commits only once the backup has begun,
// into file (a local path or the server's "host:/path"), restored into a
// new database in restoreDirectory: the restored invoices are exactly those
// committed before the backup's snapshot, a run of the numbers in the
// order they were committed. serverPrefix: "" or the test server's.
void backupWhileOthersCommit(const QString &serverPrefix, const QString &file, const QString &restoreDirectory);

} // namespace BackupChecks
