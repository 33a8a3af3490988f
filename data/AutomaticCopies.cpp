#include "data/AutomaticCopies.h"

#include "core/Error.h"
#include "data/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace AutomaticCopies {

namespace {

// "Kestra_YYYY-MM-DD_HH-MM-SS_avant-...": the time in the name orders them,
// the file's time tells two of one second apart.
const QRegularExpression &automaticName()
{
    static const QRegularExpression re(QStringLiteral("^Kestra_(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})_avant-[a-z]+(_\\d+)?\\.fbk$"));
    return re;
}

} // namespace

QString directory(const QString &databaseName, const Config::BackupSettings &settings)
{
    if (!Config::isServerDirectory(databaseName))
        return Backup::defaultDirectory(databaseName);
    if (!settings.localDirectory.isEmpty())
        return settings.localDirectory;
    QString name = databaseName;
    name.replace(QRegularExpression(QStringLiteral("[/:\\\\\\s]+")), QStringLiteral("_"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestra/Sauvegardes/") + name;
}

QStringList list(const QString &dir)
{
    QFileInfoList files = QDir(dir).entryInfoList({ QStringLiteral("Kestra_*_avant-*.fbk") }, QDir::Files);
    files.erase(std::remove_if(files.begin(), files.end(), [](const QFileInfo &f) { return !automaticName().match(f.fileName()).hasMatch(); }),
        files.end());
    std::sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const QString ta = automaticName().match(a.fileName()).captured(1);
        const QString tb = automaticName().match(b.fileName()).captured(1);
        if (ta != tb)
            return ta < tb;
        return a.lastModified() < b.lastModified();
    });
    QStringList out;
    for (const QFileInfo &f : std::as_const(files))
        out << f.absoluteFilePath();
    return out;
}

void prune(const QString &dir, int kept)
{
    const QStringList copies = list(dir);
    for (qsizetype i = 0; i + std::max(kept, 1) < copies.size(); ++i) {
        QFile::remove(copies[i]);
        QFile::remove(BackupRecord::pathFor(copies[i]));
    }
}

Backup::Outcome make(const QString &databaseName, const Credentials &credentials, Backup::Kind kind,
    const Config::BackupSettings &settings, const Backup::ProgressCallback &progress)
{
    const QString dir = directory(databaseName, settings);
    if (!QDir().mkpath(dir))
        throw Error(QStringLiteral("Impossible de créer le répertoire des copies %1.").arg(dir));
    const QString base = Backup::fileName(kind, QDateTime::currentDateTime());
    QString file = dir + QLatin1Char('/') + base;
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = dir + QLatin1Char('/') + QString(base).replace(QStringLiteral(".fbk"), QStringLiteral("_%1.fbk").arg(n));
    Backup::Outcome outcome = Backup::backup(databaseName, credentials, file, kind, progress);
    prune(dir, settings.automaticCopiesKept);
    return outcome;
}

Backup::Outcome make(Connection &connection, Backup::Kind kind, const Config::BackupSettings &settings, const Backup::ProgressCallback &progress)
{
    connection.commitRetaining();
    return make(connection.databaseName(), connection.credentials(), kind, settings, progress);
}

} // namespace AutomaticCopies
