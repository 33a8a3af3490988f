#pragma once

#include "data/Backup.h"
#include "data/Config.h"

#include <QStringList>

class Connection;

// The copies the program makes by itself before destructive work (the data
// reset, an invoice import), kept up to a set number, the oldest removed
// first. A backup made on request is never removed.
namespace AutomaticCopies {

// Sauvegardes beside a database of this workstation; for a server's
// database, a directory of this workstation (the configured one, or one
// named after the database in the user's data directory), where the copies
// can be counted and removed.
QString directory(const QString &databaseName, const Config::BackupSettings &settings);

// The automatic copies in that directory, oldest first.
QStringList list(const QString &directory);
// Removes the oldest beyond kept, each with its record.
void prune(const QString &directory, int kept);

// Makes a copy of the database and prunes. Throws Error saying why when the
// copy cannot be made: the work it guards must not start then.
Backup::Outcome make(const QString &databaseName, const Credentials &credentials, Backup::Kind kind,
    const Config::BackupSettings &settings, const Backup::ProgressCallback &progress = {});
// The same for the program's connection, whose pending work is committed
// first, so that the copy holds what the operator sees.
Backup::Outcome make(
    Connection &connection, Backup::Kind kind, const Config::BackupSettings &settings, const Backup::ProgressCallback &progress = {});

} // namespace AutomaticCopies
