#pragma once

#include "data/Connection.h"

#include <QString>

// Where the database lies: one INI value, read once at start; and, when an
// installation sets them, the user the program connects as and how it keeps
// its backups.
namespace Config {

// "../CheminBase.ini" relative to the working directory.
QString defaultPath();

// Where the configuration is looked for, in this order: "../CheminBase.ini"
// of the working directory, then "kestra/CheminBase.ini" in the user's
// configuration directory ($XDG_CONFIG_HOME, ~/.config) and in the
// machine's ($XDG_CONFIG_DIRS, /etc/xdg), as desktop programs do.
QStringList searchPaths();
// The first of them that exists; empty when there is none.
QString locate();
// The configuration this run reads: the first found, else
// "../CheminBase.ini" (which then gives the defaults).
QString activePath();
// Where the program writes the configuration it makes: the user's own.
QString userPath();
// Writes a new configuration file whose Rep is directory, making its folder
// when needed. Never over an existing file: that, or a file that cannot be
// written, throws Error and leaves what was there as it was.
void writeNew(const QString &iniPath, const QString &directory);
// Section CheminBase, key Rep; the operator's reminder when file, section or
// key is missing. The value is used verbatim.
QString readDatabaseDirectory(const QString &iniPath = activePath());
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
Credentials readCredentials(const QString &iniPath = activePath());

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
BackupSettings readBackupSettings(const QString &iniPath = activePath());

// Writes Rep, leaving every other line of the file as it is; false when the
// file cannot be written.
bool writeDatabaseDirectory(const QString &directory, const QString &iniPath = activePath());

inline const QString MissingDirectory = QStringLiteral("Vérifier le chemin de la base!");
inline const QString DatabaseFileName = QStringLiteral("Kestra.GDB");

} // namespace Config
