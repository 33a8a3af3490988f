#include "data/Config.h"

#include "core/Error.h"
#include "core/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace Config {

QString defaultPath()
{
    return QStringLiteral("../CheminBase.ini");
}

namespace {
const QString ConfigFile = QStringLiteral("kestra/CheminBase.ini");
} // namespace

QStringList searchPaths()
{
    QStringList paths { QDir::current().absoluteFilePath(defaultPath()) };
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        paths << QDir(dir).filePath(ConfigFile);
    return paths;
}

QString locate()
{
    for (const QString &path : searchPaths())
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    return QString();
}

QString userPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(ConfigFile);
}

void writeNew(const QString &iniPath, const QString &directory)
{
    const QFileInfo target(iniPath);
    auto failure = [&](const QString &why) {
        return Error(QCoreApplication::translate("Config", "La configuration n'a pas pu être enregistrée dans %1 : %2")
                         .arg(QDir::toNativeSeparators(iniPath), why));
    };
    if (target.exists())
        throw failure(QCoreApplication::translate("Config", "le fichier existe déjà."));
    if (!QDir().mkpath(target.absolutePath()))
        throw failure(QCoreApplication::translate("Config", "le dossier ne peut pas être créé."));
    // Written beside it, then renamed: the rename refuses to replace a file
    // that appeared meanwhile, and nobody reads a half-written one.
    // What an interrupted attempt left there is ours to drop.
    const QString partial = target.absoluteFilePath() + QStringLiteral(".nouveau");
    QFile::remove(partial);
    IniFile ini(partial);
    ini.writeString(QStringLiteral("CheminBase"), QStringLiteral("Rep"), directory);
    if (!ini.save()) {
        QFile::remove(partial);
        throw failure(QCoreApplication::translate("Config", "le fichier ne peut pas être écrit."));
    }
    if (!QFile::rename(partial, target.absoluteFilePath())) {
        QFile::remove(partial);
        throw failure(QCoreApplication::translate("Config", "le fichier existe déjà."));
    }
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
