#pragma once

#include <QString>

// Where the database lies: one INI value, read once at start.
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

inline const QString MissingDirectory = QStringLiteral("Vérifier le chemin de la base!");
inline const QString DatabaseFileName = QStringLiteral("Kestra.GDB");

} // namespace Config
