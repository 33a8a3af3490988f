#include "data/Config.h"

#include "core/IniFile.h"

#include <QRegularExpression>

namespace Config {

QString defaultPath()
{
    return QStringLiteral("../CheminBase.ini");
}

QString readDatabaseDirectory(const QString &iniPath)
{
    IniFile ini(iniPath);
    return ini.readString(QStringLiteral("CheminBase"), QStringLiteral("Rep"), MissingDirectory);
}

bool isServerDirectory(const QString &directory)
{
    // "host:/dir" or "host/port:/dir": a name without a slash (or with one
    // port after it) before the first colon.
    static const QRegularExpression server(QStringLiteral("^[^/:\\s]+(/[^/:\\s]+)?:."));
    return server.match(directory).hasMatch();
}

QString databaseName(const QString &directory)
{
    return directory + QLatin1Char('/') + DatabaseFileName;
}

} // namespace Config
