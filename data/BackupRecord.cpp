#include "data/BackupRecord.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "core/IniFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

const QString Section = QStringLiteral("Sauvegarde");
const QString RowsSection = QStringLiteral("Lignes");
const QString AmountsSection = QStringLiteral("Montants");
const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

QString BackupRecord::pathFor(const QString &backupFile)
{
    return backupFile + QStringLiteral(".controle");
}

std::optional<BackupRecord> BackupRecord::readFor(const QString &backupFile)
{
    const QString path = pathFor(backupFile);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    if (!QFileInfo(path).isReadable())
        throw Error(QStringLiteral("Le relevé %1 de la sauvegarde est illisible.").arg(path));
    const IniFile ini(path);
    BackupRecord r;
    r.fileName = ini.readString(Section, QStringLiteral("Fichier"), QString());
    qint64 size = -1;
    if (!tryStrToInt64(ini.readString(Section, QStringLiteral("Taille"), QString()), size) || size < 0)
        throw Error(QStringLiteral("Le relevé %1 de la sauvegarde est incomplet : sa taille manque.").arg(path));
    r.size = size;
    r.fingerprint = ini.readString(Section, QStringLiteral("BLAKE2b-256"), QString()).trimmed().toLower().toLatin1();
    if (r.fingerprint.size() != 64)
        throw Error(QStringLiteral("Le relevé %1 de la sauvegarde est incomplet : son empreinte BLAKE2b-256 manque.").arg(path));
    r.taken = QDateTime::fromString(ini.readString(Section, QStringLiteral("Date"), QString()), DateFormat);
    r.database = ini.readString(Section, QStringLiteral("Base"), QString());
    r.kind = ini.readString(Section, QStringLiteral("Nature"), QString());
    if (ini.hasSection(RowsSection)) {
        DatabaseFigures figures;
        for (const QString &table : ini.keys(RowsSection)) {
            qint64 n = 0;
            if (!tryStrToInt64(ini.readString(RowsSection, table, QString()), n))
                throw Error(QStringLiteral("Le relevé %1 de la sauvegarde est illisible : lignes de %2.").arg(path, table));
            figures.rows.insert(table.toUpper(), n);
        }
        for (const QString &column : ini.keys(AmountsSection)) {
            bool ok = false;
            const double v = ini.readString(AmountsSection, column, QString()).toDouble(&ok);
            if (!ok)
                throw Error(QStringLiteral("Le relevé %1 de la sauvegarde est illisible : somme de %2.").arg(path, column));
            figures.amounts.insert(column.toUpper(), v);
        }
        r.figures = figures;
    }
    return r;
}

void BackupRecord::writeFor(const QString &backupFile) const
{
    const QString path = pathFor(backupFile);
    QFile::remove(path);
    IniFile ini(path);
    ini.writeString(Section, QStringLiteral("Fichier"), fileName);
    ini.writeString(Section, QStringLiteral("Taille"), QString::number(size));
    ini.writeString(Section, QStringLiteral("BLAKE2b-256"), QString::fromLatin1(fingerprint));
    ini.writeString(Section, QStringLiteral("Date"), taken.toString(DateFormat));
    ini.writeString(Section, QStringLiteral("Base"), database);
    ini.writeString(Section, QStringLiteral("Nature"), kind);
    if (figures) {
        for (auto it = figures->rows.cbegin(); it != figures->rows.cend(); ++it)
            ini.writeString(RowsSection, it.key(), QString::number(it.value()));
        for (auto it = figures->amounts.cbegin(); it != figures->amounts.cend(); ++it)
            ini.writeString(AmountsSection, it.key(), QString::number(it.value(), 'g', 17));
    }
    if (!ini.save())
        throw Error(QStringLiteral("Le relevé %1 de la sauvegarde n'a pas pu être écrit.").arg(path));
}

QByteArray BackupRecord::fileFingerprint(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("La sauvegarde %1 est illisible : %2").arg(path, f.errorString()));
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    if (!hash.addData(&f))
        throw Error(QStringLiteral("La sauvegarde %1 est illisible : %2").arg(path, f.errorString()));
    return hash.result().toHex();
}

bool BackupRecord::matches(const QString &backupFile, QString *why) const
{
    const qint64 actual = QFileInfo(backupFile).size();
    if (actual != size) {
        if (why)
            *why = QStringLiteral("elle compte %1 octets au lieu des %2 enregistrés à sa création").arg(actual).arg(size);
        return false;
    }
    if (fileFingerprint(backupFile) != fingerprint) {
        if (why)
            *why = QStringLiteral("son contenu n'est plus celui enregistré à sa création (empreinte BLAKE2b-256)");
        return false;
    }
    return true;
}
