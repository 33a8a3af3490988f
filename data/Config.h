#pragma once

#include "data/Connection.h"

#include <QString>

// Where the database lies: one INI value, read once at start; and, when an
// installation sets them, the user the program connects as and how it keeps
// its backups.
namespace Config {

// "../CheminBase.ini" relative to the working directory.
QString defaultPath();
// Section CheminBase, key Rep; the operator's reminder when file, section or
// key is missing. The value is used verbatim.
QString readDatabaseDirectory(const QString &iniPath = defaultPath());
// Whether the directory names a Firebird server's directory, "host:/dir" or
// "host/port:/dir", rather than one of this machine.
bool isServerDirectory(const QString &directory);
// The directory followed by "/Kestra.GDB", nothing trimmed or checked.
QString databaseName(const QString &directory);

// The user and password to connect with: keys Utilisateur and MotDePasse of
// section Identifiants, in the configuration file itself or in the file its
// key Fichier names (relative to the configuration's directory), which only
// its owner may read. Without them, the defaults. A credentials file that is
// missing, unreadable or open to other users raises an Error naming it;
// nothing of its content is ever repeated.
Credentials readCredentials(const QString &iniPath = defaultPath());

// How backups are kept (section Sauvegarde).
struct BackupSettings
{
    // CopiesAutomatiques: automatic copies kept, the oldest removed first.
    int automaticCopiesKept = 10;
    // AvantImportation=0: no automatic copy before an invoice import (very
    // large databases). The data reset always makes one.
    bool copyBeforeImport = true;
    // Repertoire: where the automatic copies of a server's database go on
    // this workstation; empty for the default place.
    QString localDirectory;
};
BackupSettings readBackupSettings(const QString &iniPath = defaultPath());

// Writes Rep, leaving every other line of the file as it is; false when the
// file cannot be written.
bool writeDatabaseDirectory(const QString &directory, const QString &iniPath = defaultPath());

inline const QString MissingDirectory = QStringLiteral("Vérifier le chemin de la base!");
inline const QString DatabaseFileName = QStringLiteral("Kestra.GDB");

} // namespace Config
