#include "data/Backup.h"

#include "core/Error.h"
#include "data/Config.h"
#include "data/FbClient.h"
#include "data/FbService.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Firebird;

namespace Backup {

namespace {

bool onServer(const QString &name)
{
    return Config::isServerDirectory(name);
}

qint64 totalRows(const DatabaseFigures &figures)
{
    qint64 n = 0;
    for (qint64 rows : figures.rows)
        n += rows;
    return n;
}

QString directoryOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : path.left(slash);
}

// What gbak's log says as it goes: the table whose rows it is writing or
// restoring, how many so far (it tells every 10,000 and at the end of each
// table), and whether a restore has made its database yet.
class EngineLog
{
public:
    EngineLog(const QString &verb, qint64 total, const ProgressCallback &progress)
        : m_table(QStringLiteral("%1 data for table (\\S+)").arg(verb))
        , m_count(QStringLiteral("(\\d+) records (written|restored)"))
        , m_total(total)
        , m_progress(progress)
        , m_verb(verb)
    {
    }

    void line(const QString &text)
    {
        if (!text.isEmpty()) {
            if (text.contains(QLatin1String("created database")))
                m_created = true;
            const QRegularExpressionMatch table = m_table.match(text);
            if (table.hasMatch()) {
                m_current = table.captured(1);
                m_done += m_currentRows;
                m_currentRows = 0;
            } else if (!m_current.isEmpty()) {
                const QRegularExpressionMatch count = m_count.match(text);
                if (count.hasMatch()) {
                    m_currentRows = count.captured(1).toLongLong();
                    m_rows.insert(m_current, m_currentRows);
                }
            }
        }
        if (m_progress) {
            const QString what = m_verb == QLatin1String("writing") ? QStringLiteral("Sauvegarde") : QStringLiteral("Restauration");
            m_progress({ m_current.isEmpty() ? what + QStringLiteral(" en cours...") : what + QStringLiteral(" de la table ") + m_current,
                m_done + m_currentRows, m_total });
        }
    }

    void setTotal(qint64 total) { m_total = total; }
    // Rows per table as the engine counted them.
    const QMap<QString, qint64> &rows() const { return m_rows; }
    bool created() const { return m_created; }

private:
    QRegularExpression m_table;
    QRegularExpression m_count;
    qint64 m_total;
    const ProgressCallback &m_progress;
    QString m_verb;
    QString m_current;
    qint64 m_done = 0;
    qint64 m_currentRows = 0;
    QMap<QString, qint64> m_rows;
    bool m_created = false;
};

// Makes what the engine wrote durable before the file is called a backup.
void syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw Error(QStringLiteral("La sauvegarde %1 n'a pas pu être écrite sur le disque.").arg(path));
    }
    ::close(fd);
}

// A file being written that disappears unless it is kept.
class PartialFile
{
public:
    explicit PartialFile(QString path)
        : m_path(std::move(path))
    {
        QFile::remove(m_path); // a leftover of an earlier failure
    }
    ~PartialFile()
    {
        if (!m_kept)
            QFile::remove(m_path);
    }
    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;
    const QString &path() const { return m_path; }
    void keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

// Where a backup of this workstation is written until it is whole: a name
// of this process's own, as two programs may back up at once.
QString partialName(const QString &file)
{
    return file + QStringLiteral(".partiel-%1").arg(QCoreApplication::applicationPid());
}

// Gives the whole backup its name, never taking one another program has
// just given (a link fails on an existing name). An automatic copy then
// takes the next free number; a file the operator named is not replaced.
QString place(const QString &partial, const QString &file, bool renumber)
{
    const QByteArray from = QFile::encodeName(partial);
    QString name = file;
    for (int n = 2;; ++n) {
        const QByteArray to = QFile::encodeName(name);
        if (::link(from.constData(), to.constData()) == 0) {
            QFile::remove(partial);
            return name;
        }
        // A disk without links (a FAT key): a name looked at, then taken.
        if ((errno == EPERM || errno == EOPNOTSUPP) && !QFileInfo::exists(name)) {
            if (::rename(from.constData(), to.constData()) == 0)
                return name;
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            errno = EEXIST;
        }
        if (errno != EEXIST || !renumber)
            throw Error(errno == EEXIST ? QStringLiteral("Le fichier %1 existe déjà : il n'a pas été remplacé.").arg(name)
                                        : QStringLiteral("La sauvegarde n'a pas pu être nommée %1.").arg(name));
        name = QString(file).replace(QRegularExpression(QStringLiteral("(_\\d+)?\\.fbk$")), QStringLiteral("_%1.fbk").arg(n));
    }
}

// Drops a database a failed restore left; a local file that the engine no
// longer opens is removed.
void dropDatabase(const QString &databaseName, const Credentials &credentials)
{
    try {
        FbClient &client = FbClient::instance();
        FbStatus status;
        FbOwned<IXpbBuilder> dpb(client.util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0));
        dpb->insertTag(&status, isc_dpb_utf8_filename);
        insertCredentials(dpb.get(), status, credentials);
        const QByteArray name = databaseName.toUtf8();
        FbRef<IAttachment> attachment(
            client.provider()->attachDatabase(&status, name.constData(), dpb->getBufferLength(&status), dpb->getBuffer(&status)));
        attachment.finish([&status](IAttachment *a) { a->dropDatabase(&status); });
    } catch (const Error &) {
        if (!onServer(databaseName))
            QFile::remove(databaseName);
    }
}

QString existingDatabaseMessage(const QString &databaseName)
{
    return QStringLiteral("La base %1 existe déjà : une sauvegarde se restaure dans une base nouvelle, jamais sur une base existante.")
        .arg(databaseName);
}

DatabaseFigures figuresOf(const QString &databaseName, const Credentials &credentials)
{
    Connection connection;
    connection.setDatabaseName(databaseName);
    connection.setCredentials(credentials);
    connection.open();
    DatabaseFigures figures = DatabaseFigures::read(connection);
    connection.close();
    return figures;
}

// Restores file into the new database databaseName and gives back the
// file's record; whatever the engine made is dropped when it fails.
std::optional<BackupRecord> restoreInto(
    const QString &file, const QString &databaseName, const Credentials &credentials, const ProgressCallback &progress)
{
    const bool fileOnServer = onServer(file);
    const bool databaseOnServer = onServer(databaseName);
    std::optional<BackupRecord> record;
    QString madeDirectory; // by this restore, removed again when it fails
    if (fileOnServer) {
        if (!databaseOnServer || FbService::serverPrefix(file) != FbService::serverPrefix(databaseName))
            throw Error(QStringLiteral("La sauvegarde %1 se trouve sur un serveur : elle ne se restaure que sur ce même serveur.").arg(file));
    } else {
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable())
            throw Error(QStringLiteral("La sauvegarde %1 est introuvable ou illisible.").arg(file));
        try {
            record = BackupRecord::readFor(file);
        } catch (const Error &e) {
            throw Error(e.text()
                + QStringLiteral("\nRien n'a été restauré. Pour restaurer la sauvegarde sans le contrôle que ce relevé permet, supprimez-le."));
        }
        QString why;
        if (record && !record->matches(file, &why))
            throw Error(QStringLiteral("La sauvegarde %1 est endommagée : %2. Rien n'a été restauré.").arg(file, why));
    }
    if (!databaseOnServer) {
        if (QFileInfo::exists(databaseName))
            throw Error(existingDatabaseMessage(databaseName));
        if (!QFileInfo::exists(directoryOf(databaseName))) {
            if (!QDir().mkpath(directoryOf(databaseName)))
                throw Error(QStringLiteral("Impossible de créer le répertoire %1.").arg(directoryOf(databaseName)));
            madeDirectory = directoryOf(databaseName);
        }
    }

    EngineLog log(QStringLiteral("restoring"), record && record->figures ? totalRows(*record->figures) : 0, progress);
    try {
        FbService service(FbService::serverPrefix(databaseName), credentials);
        const QString target = FbService::pathOnEngine(databaseName);
        if (!fileOnServer) {
            // The engine reads the file from this process, a server's as an
            // embedded one: the end of a cut file is then an error, where
            // the engine reading a file itself would ask a terminal for the
            // next volume of a backup written on several.
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly))
                throw Error(QStringLiteral("La sauvegarde %1 est illisible : %2").arg(file, input.errorString()));
            service.startRestore(FbService::Stdin, target);
            service.run([&log](const QString &line) { log.line(line); }, {}, &input);
        } else {
            service.startRestore(FbService::pathOnEngine(file), target);
            service.run([&log](const QString &line) { log.line(line); });
        }
    } catch (const Error &e) {
        // Only a database this restore made is dropped: one that was there
        // before made the engine refuse before creating anything.
        const auto removeDirectory = qScopeGuard([&] {
            if (!madeDirectory.isEmpty())
                QDir().rmdir(madeDirectory);
        });
        if (log.created() || (!databaseOnServer && QFileInfo::exists(databaseName))) {
            dropDatabase(databaseName, credentials);
            throw Error(
                QStringLiteral("La sauvegarde %1 n'a pas pu être restaurée : %2\nLa base commencée a été supprimée.").arg(file, e.text()));
        }
        if (e.text().contains(QLatin1String("already exists")))
            throw Error(existingDatabaseMessage(databaseName));
        throw Error(QStringLiteral("La sauvegarde %1 n'a pas pu être restaurée : %2\nAucune base n'a été créée.").arg(file, e.text()));
    }
    return record;
}

} // namespace

QString kindText(Kind kind)
{
    switch (kind) {
    case Kind::Manual:
        return QStringLiteral("manuelle");
    case Kind::BeforeReset:
        return QStringLiteral("avant initialisation");
    case Kind::BeforeImport:
        return QStringLiteral("avant importation");
    }
    return QString();
}

bool Outcome::onServer() const
{
    return Backup::onServer(file);
}

QString Outcome::describe() const
{
    QStringList parts;
    if (size >= 0)
        parts << QLocale(QLocale::French).formattedDataSize(size, 1, QLocale::DataSizeTraditionalFormat);
    if (figures)
        parts << QStringLiteral("%1 facture(s)").arg(figures->invoices());
    else if (!figuresMissing.isEmpty())
        parts << figuresMissing;
    return parts.isEmpty() ? file : QStringLiteral("%1 (%2)").arg(file, parts.join(QStringLiteral(", ")));
}

QString defaultDirectory(const QString &databaseName)
{
    return directoryOf(databaseName) + QStringLiteral("/Sauvegardes");
}

QString fileName(Kind kind, const QDateTime &when)
{
    QString name = QStringLiteral("Kestra_") + when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (kind == Kind::BeforeReset)
        name += QStringLiteral("_avant-initialisation");
    else if (kind == Kind::BeforeImport)
        name += QStringLiteral("_avant-importation");
    return name + QStringLiteral(".fbk");
}

namespace {

// A backup is written on this workstation, or on the server of its
// database, never on another server; a local one never replaces a file.
void checkDestination(const QString &databaseName, const QString &file)
{
    const bool databaseOnServer = onServer(databaseName);
    if (onServer(file)) {
        if (!databaseOnServer || FbService::serverPrefix(file) != FbService::serverPrefix(databaseName))
            throw Error(QStringLiteral("%1 désigne un autre serveur que celui de la base : une sauvegarde s'écrit sur ce poste ou sur le "
                                       "serveur de la base.")
                            .arg(file));
        return;
    }
    if (QFileInfo::exists(file))
        throw Error(QStringLiteral("Le fichier %1 existe déjà : il n'a pas été remplacé.").arg(file));
    if (!QDir().mkpath(directoryOf(file)))
        throw Error(QStringLiteral("Impossible de créer le répertoire %1.").arg(directoryOf(file)));
}

// The server streams the backup to this workstation, into path; gives back
// its fingerprint, taken as it arrives.
QByteArray receiveBackup(FbService &service, const QString &source, const QString &path, const std::function<void()> &count,
    const ProgressCallback &progress)
{
    QFile stream(path);
    if (!stream.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Impossible d'écrire %1 : %2").arg(path, stream.errorString()));
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    qint64 received = 0;
    QString failure;
    service.startBackup(source, FbService::Stdout, false);
    service.run(
        [&](const QString &) {
            count();
            if (progress)
                progress({ QStringLiteral("Sauvegarde : %1 reçus")
                               .arg(QLocale(QLocale::French).formattedDataSize(received, 1, QLocale::DataSizeTraditionalFormat)),
                    received, 0 });
        },
        [&](const char *data, qint64 length) {
            if (failure.isEmpty() && stream.write(data, length) != length)
                failure = stream.errorString();
            hash.addData(QByteArrayView(data, length));
            received += length;
        });
    if (!failure.isEmpty() || !stream.flush())
        throw Error(QStringLiteral("Impossible d'écrire %1 : %2").arg(path, failure.isEmpty() ? stream.errorString() : failure));
    stream.close();
    return hash.result().toHex();
}

// The figures the backup holds: those counted before the engine ran when the
// rows it wrote, table by table, are those counted (or, without its log,
// when the database still counts the same); otherwise what can be told.
void settleFigures(Outcome &out, const DatabaseFigures &before, const QMap<QString, qint64> &written, Connection &counting)
{
    bool stable = true;
    if (written.isEmpty()) {
        stable = before.agreesWith(DatabaseFigures::read(counting));
    } else {
        for (auto it = before.rows.cbegin(); it != before.rows.cend(); ++it)
            if (written.value(it.key(), -1) != it.value())
                stable = false;
    }
    if (stable) {
        out.figures = before;
    } else if (!written.isEmpty()) {
        // The engine's own count is exact; the sums could not be taken as it saw them.
        DatabaseFigures rows;
        rows.rows = written;
        out.figures = rows;
        out.figuresMissing = QStringLiteral("la base a changé pendant la sauvegarde : les sommes des montants n'ont pas été relevées");
    } else {
        out.figuresMissing = QStringLiteral("la base a changé pendant la sauvegarde : ses lignes n'ont pas été comptées");
    }
}

// Gives a backup written on this workstation its name and its record
// beside it; without its record, the backup is not kept.
void keepWithRecord(Outcome &out, PartialFile &partial, const QByteArray &fingerprint, const QDateTime &taken, const QString &databaseName,
    Kind kind)
{
    syncFile(partial.path());
    out.file = place(partial.path(), out.file, kind != Kind::Manual);
    partial.keep();
    BackupRecord record;
    record.fileName = QFileInfo(out.file).fileName();
    record.size = QFileInfo(out.file).size();
    record.fingerprint = fingerprint;
    record.taken = taken;
    record.database = databaseName;
    record.kind = kindText(kind);
    record.figures = out.figures;
    try {
        record.writeFor(out.file);
    } catch (const Error &) {
        QFile::remove(out.file);
        QFile::remove(BackupRecord::pathFor(out.file));
        throw;
    }
    out.size = record.size;
}

} // namespace

Outcome backup(const QString &databaseName, const Credentials &credentials, const QString &file, Kind kind, const ProgressCallback &progress)
{
    const QDateTime taken = QDateTime::currentDateTime();
    Outcome out;
    out.file = file.isEmpty() ? defaultDirectory(databaseName) + QLatin1Char('/') + fileName(kind, taken) : file;
    const bool databaseOnServer = onServer(databaseName);
    const bool fileOnServer = onServer(out.file);
    checkDestination(databaseName, out.file);

    // The backup reads one snapshot, which no other transaction shares. The
    // figures are read in a snapshot taken just before the engine takes its
    // own (they are counted once the engine runs, as that snapshot saw the
    // database). They are the backup's when the rows the engine wrote,
    // table by table, are those counted; a streamed backup has no log, and
    // the database is counted once more after it instead. Only an amount
    // changed and committed within the moment between the two snapshots
    // would go unseen, and a later check would then report a sum, not
    // miss a loss.
    Connection counting;
    counting.setDatabaseName(databaseName);
    counting.setCredentials(credentials);
    counting.open();
    std::optional<Connection::ReadSnapshot> snapshot;
    snapshot.emplace(counting);
    std::optional<DatabaseFigures> before;

    FbService service(FbService::serverPrefix(databaseName), credentials);
    const QString source = FbService::pathOnEngine(databaseName);
    EngineLog log(QStringLiteral("writing"), 0, progress);
    const std::function<void()> count = [&] {
        if (!before) {
            before = DatabaseFigures::readInTransaction(counting);
            log.setTotal(totalRows(*before));
        }
    };
    const auto onLine = [&](const QString &line) {
        count();
        log.line(line);
    };
    QByteArray fingerprint;
    std::optional<PartialFile> partial;
    try {
        if (fileOnServer) {
            service.startBackup(source, FbService::pathOnEngine(out.file), true);
            service.run(onLine);
        } else if (databaseOnServer) {
            partial.emplace(partialName(out.file));
            fingerprint = receiveBackup(service, source, partial->path(), count, progress);
        } else {
            partial.emplace(partialName(out.file));
            service.startBackup(source, partial->path(), true);
            service.run(onLine);
            fingerprint = BackupRecord::fileFingerprint(partial->path());
        }
    } catch (const Error &e) {
        QString text = QStringLiteral("La sauvegarde de %1 a échoué : %2").arg(databaseName, e.text());
        if (fileOnServer)
            text += QStringLiteral("\nUn fichier incomplet %1 peut rester sur le serveur.").arg(out.file);
        throw Error(text);
    }

    count();
    snapshot.reset();
    settleFigures(out, *before, log.rows(), counting);
    counting.close();
    if (partial)
        keepWithRecord(out, *partial, fingerprint, taken, databaseName, kind);
    return out;
}

Outcome restore(const QString &file, const QString &databaseName, const Credentials &credentials, const ProgressCallback &progress)
{
    const std::optional<BackupRecord> record = restoreInto(file, databaseName, credentials, progress);
    Outcome out;
    out.file = databaseName;
    DatabaseFigures restored;
    try {
        restored = figuresOf(databaseName, credentials);
    } catch (const Error &e) {
        dropDatabase(databaseName, credentials);
        throw Error(QStringLiteral("La base restaurée depuis %1 est illisible : %2\nElle a été supprimée.").arg(file, e.text()));
    }
    if (record && record->figures) {
        const QStringList differences = restored.differencesFrom(*record->figures);
        if (!differences.isEmpty()) {
            dropDatabase(databaseName, credentials);
            throw Error(QStringLiteral("La base restaurée depuis %1 ne contient pas ce que la sauvegarde avait enregistré :\n%2\nElle a été "
                                       "supprimée.")
                            .arg(file, differences.join(QLatin1Char('\n'))));
        }
    }
    out.figures = restored;
    return out;
}

Verification verify(const QString &file, const Credentials &credentials, const ProgressCallback &progress)
{
    // The copy goes where nothing of the office lives: a temporary directory
    // here, or a name of its own beside a backup on the server.
    QTemporaryDir local;
    QString copy;
    if (onServer(file))
        copy = file + QStringLiteral(".verification-") + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".gdb");
    else if (local.isValid())
        copy = local.filePath(Config::DatabaseFileName);
    else
        throw Error(QStringLiteral("Aucun répertoire temporaire pour vérifier la sauvegarde."));

    Verification v;
    const std::optional<BackupRecord> record = restoreInto(file, copy, credentials, progress);
    try {
        v.restored = figuresOf(copy, credentials);
    } catch (const Error &e) {
        dropDatabase(copy, credentials);
        throw Error(QStringLiteral("La base restaurée depuis %1 est illisible : %2").arg(file, e.text()));
    }
    dropDatabase(copy, credentials);
    if (record && record->figures) {
        v.recorded = record->figures;
        v.differences = v.restored.differencesFrom(*record->figures);
    } else if (record) {
        v.recordMissing = QStringLiteral("la base changeait pendant la sauvegarde : ni ses lignes ni ses montants n'ont été relevés");
    } else {
        v.recordMissing = onServer(file) ? QStringLiteral("une sauvegarde écrite sur le serveur n'a pas de relevé à côté d'elle")
                                         : QStringLiteral("aucun relevé %1 à côté d'elle").arg(QFileInfo(BackupRecord::pathFor(file)).fileName());
    }
    return v;
}

} // namespace Backup
