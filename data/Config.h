#pragma once

#include <QString>

// Where the database lies: one INI value, read once at start.
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
// Where the program writes the configuration it makes: the user's own.
QString userPath();
// Writes a new configuration file whose Rep is directory, making its folder
// when needed. Never over an existing file: that, or a file that cannot be
// written, throws Error and leaves what was there as it was.
void writeNew(const QString &iniPath, const QString &directory);
// Section CheminBase, key Rep; the operator's reminder when file, section or
// key is missing. The value is used verbatim.
QString readDatabaseDirectory(const QString &iniPath = defaultPath());
// Whether the directory names a Firebird server's directory, "host:/dir" or
// "host/port:/dir", rather than one of this machine.
bool isServerDirectory(const QString &directory);
// The directory followed by "/Kestra.GDB", nothing trimmed or checked.
QString databaseName(const QString &directory);

inline const QString MissingDirectory = QStringLiteral("Vérifier le chemin de la base!");
inline const QString DatabaseFileName = QStringLiteral("Kestra.GDB");

} // namespace Config
