#include "data/Config.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "core/Error.h"
#include "core/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

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

QString activePath()
{
    const QString found = locate();
    return found.isEmpty() ? defaultPath() : found;
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

namespace {

const QString CredentialsSection = QStringLiteral("Identifiants");

Credentials credentialsOf(const IniFile &ini)
{
    Credentials c = Credentials::defaults();
    c.user = ini.readString(CredentialsSection, QStringLiteral("Utilisateur"), c.user);
    c.password = ini.readString(CredentialsSection, QStringLiteral("MotDePasse"), c.password);
    return c;
}

} // namespace

Credentials readCredentials(const QString &iniPath)
{
    IniFile ini(iniPath);
    const QString file = ini.readString(CredentialsSection, QStringLiteral("Fichier"), QString());
    if (file.isEmpty())
        return credentialsOf(ini);
    const QString path = QFileInfo(iniPath).absoluteDir().absoluteFilePath(file);
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) || !QFileInfo(path).isReadable())
        throw Error(QStringLiteral("Le fichier d'identifiants %1 nommé par %2 est introuvable ou illisible.").arg(path, iniPath));
    // A password others can read is no longer Kestra's alone.
    if (st.st_mode & (S_IRWXG | S_IRWXO))
        throw Error(QStringLiteral("Le fichier d'identifiants %1 est accessible à d'autres utilisateurs que son propriétaire : "
                                   "il n'a pas été lu. Réservez-le à son propriétaire (chmod 600 %1).")
                        .arg(path));
    return credentialsOf(IniFile(path));
}

BackupSettings readBackupSettings(const QString &iniPath)
{
    const IniFile ini(iniPath);
    const QString section = QStringLiteral("Sauvegarde");
    BackupSettings settings;
    int kept = 0;
    // A count that is not a number, or less than one, keeps the default:
    // the copy just made must survive its own retention.
    if (tryStrToInt(ini.readString(section, QStringLiteral("CopiesAutomatiques"), QString()).trimmed(), kept) && kept >= 1)
        settings.automaticCopiesKept = kept;
    settings.copyBeforeImport = ini.readString(section, QStringLiteral("AvantImportation"), QStringLiteral("1")).trimmed() != QLatin1String("0");
    settings.localDirectory = ini.readString(section, QStringLiteral("Repertoire"), QString()).trimmed();
    return settings;
}

bool writeDatabaseDirectory(const QString &directory, const QString &iniPath)
{
    // Only the line of Rep changes: every other byte of the file, the
    // credentials it may hold among them, stays as the installation wrote it,
    // and the file is replaced whole or not at all, with its permissions.
    QFile in(iniPath);
    QByteArray text;
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return false;
        text = in.readAll();
        in.close();
    }
    const QByteArray eol = text.contains("\r\n") || text.isEmpty() ? QByteArray("\r\n") : QByteArray("\n");
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray value = "Rep=" + Cp1252::fromUnicode(directory);
    qsizetype section = -1;
    qsizetype insertAt = -1;
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        const QByteArray bare = lines[i].trimmed();
        if (bare.startsWith('[')) {
            if (section >= 0)
                break;
            if (bare.toLower() == "[cheminbase]") {
                section = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (section < 0)
            continue;
        if (!bare.isEmpty())
            insertAt = i + 1;
        const qsizetype equals = bare.indexOf('=');
        if (equals > 0 && bare.left(equals).trimmed().toLower() == "rep") {
            lines[i] = value + (lines[i].endsWith('\r') ? QByteArray("\r") : QByteArray());
            done = true;
        }
    }
    const QByteArray lineEnd = eol == "\r\n" ? QByteArray("\r") : QByteArray();
    if (!done && section >= 0)
        lines.insert(insertAt, value + lineEnd);
    else if (!done)
        lines.append({ "[CheminBase]" + lineEnd, value + lineEnd });
    QSaveFile out(iniPath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray &line : std::as_const(lines))
        out.write(line + "\n");
    return out.commit();
}

QString databaseName(const QString &directory)
{
    return directory + QLatin1Char('/') + DatabaseFileName;
}

} // namespace Config
