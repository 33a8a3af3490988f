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

// "Kestra_YYYY-MM-DD_HH-MM-SS_avant-..._N.fbk": the time in the name orders
// them, and N, from 2 on, the copies of one second.
const QRegularExpression &automaticName()
{
    static const QRegularExpression re(QStringLiteral("^Kestra_(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})_avant-[a-z]+(?:_(\\d+))?\\.fbk$"));
    return re;
}

struct Copy
{
    QString path;
    QString time;
    int number = 1;
};

QList<Copy> copies(const QString &dir)
{
    QList<Copy> out;
    for (const QFileInfo &f : QDir(dir).entryInfoList({ QStringLiteral("Kestra_*_avant-*.fbk") }, QDir::Files)) {
        const QRegularExpressionMatch m = automaticName().match(f.fileName());
        if (m.hasMatch())
            out.append({ f.absoluteFilePath(), m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt() });
    }
    std::sort(out.begin(), out.end(), [](const Copy &a, const Copy &b) { return a.time != b.time ? a.time < b.time : a.number < b.number; });
    return out;
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
    QStringList out;
    for (const Copy &c : copies(dir))
        out << c.path;
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
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    // A copy of the same second as others comes after the last of them,
    // also when an earlier one has been removed since.
    int number = 0;
    for (const Copy &c : copies(dir))
        if (c.time == time)
            number = std::max(number, c.number);
    QString name = Backup::fileName(kind, now);
    if (number > 0)
        name.replace(QStringLiteral(".fbk"), QStringLiteral("_%1.fbk").arg(number + 1));
    const QString file = dir + QLatin1Char('/') + name;
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
