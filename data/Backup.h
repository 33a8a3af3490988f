#pragma once

#include "data/BackupRecord.h"
#include "data/Connection.h"
#include "data/DatabaseFigures.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// Backups of the database in Firebird's own format, made and restored by
// the engine itself through the service manager of the client library: the
// same operation as gbak, consistent while the program and other
// workstations go on writing (the backup reads one snapshot of the
// database). A file named "host:/path" lies on the database's server and is
// written or read there; any other file lies on this workstation (a
// server's backup then streams to it, and a restore streams from it).
namespace Backup {

// Where a long operation stands; total 0 when it is not known.
struct Progress
{
    QString text;
    qint64 done = 0;
    qint64 total = 0;
};
using ProgressCallback = std::function<void(const Progress &)>;

enum class Kind { Manual, BeforeReset, BeforeImport };
QString kindText(Kind kind); // as the record and the messages say it

struct Outcome
{
    QString file; // a local path, or "host:/path" on the server
    qint64 size = -1; // in bytes; -1 for a file on the server
    // What it holds, when known.
    std::optional<DatabaseFigures> figures;
    // Where they could not be known, why.
    QString figuresMissing;

    bool onServer() const;
    // "FILE (N octets, N factures)" as the operator reads it.
    QString describe() const;
};

// "Sauvegardes" beside the database, on its server for a server's database.
QString defaultDirectory(const QString &databaseName);
// "Kestra_YYYY-MM-DD_HH-MM-SS.fbk", with the reason of an automatic copy.
QString fileName(Kind kind, const QDateTime &when);

// Backs up the database of that name into file (empty: the default name in
// the default directory). Never over an existing file of this workstation.
// A local file appears only whole, with its record beside it; a failure
// leaves neither and raises Error saying why.
Outcome backup(const QString &databaseName, const Credentials &credentials, const QString &file, Kind kind,
    const ProgressCallback &progress = {});

// Restores file into a new database of that name, never over an existing
// one. A file whose record says it was damaged or cut since is refused
// before anything is made; a file the engine cannot restore, or whose
// restored rows and amounts differ from its record, leaves no database
// behind. Throws Error saying why.
Outcome restore(const QString &file, const QString &databaseName, const Credentials &credentials, const ProgressCallback &progress = {});

struct Verification
{
    DatabaseFigures restored;
    std::optional<DatabaseFigures> recorded;
    QString recordMissing; // why there is nothing to compare with
    QStringList differences;
    bool ok() const { return differences.isEmpty(); }
};
// Restores file into a temporary database, compares its rows and amounts
// with what the backup recorded, and removes the copy. Throws Error when
// the file cannot be restored at all.
Verification verify(const QString &file, const Credentials &credentials, const ProgressCallback &progress = {});

} // namespace Backup
