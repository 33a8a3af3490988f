#include "data/Config.h"

#include "core/IniFile.h"

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

QString databaseName(const QString &directory)
{
    return directory + QLatin1Char('/') + DatabaseFileName;
}

} // namespace Config
