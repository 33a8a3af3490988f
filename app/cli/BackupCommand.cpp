// kestra-cli backup and restore: Firebird's own backup of the database,
// taken while others work, its check, and its restore into a new database.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "core/Error.h"
#include "data/Backup.h"
#include "data/Config.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

#include <unistd.h>

namespace {

// A local file made absolute, a server's ("host:/path") as it is.
QString fileArgument(const QString &file)
{
    return file.isEmpty() || Config::isServerDirectory(file) ? file : QDir().absoluteFilePath(file);
}

// On a terminal, where a long operation stands, at most twice a second.
Backup::ProgressCallback terminalProgress(QTextStream &err)
{
    if (!::isatty(STDERR_FILENO))
        return {};
    auto shown = std::make_shared<QElapsedTimer>();
    return [&err, shown](const Backup::Progress &p) {
        if (shown->isValid() && shown->elapsed() < 500)
            return;
        shown->start();
        const QLocale fr(QLocale::French);
        err << "\r\033[K" << p.text;
        if (p.total > 0)
            err << " : " << fr.toString(p.done) << " / " << fr.toString(p.total) << " lignes";
        err.flush();
    };
}

void endProgress(QTextStream &err)
{
    if (::isatty(STDERR_FILENO)) {
        err << "\r\033[K";
        err.flush();
    }
}

void printFigures(const DatabaseFigures &figures, const std::optional<DatabaseFigures> &recorded, QTextStream &out)
{
    for (auto it = figures.rows.cbegin(); it != figures.rows.cend(); ++it) {
        out << "Table " << it.key() << " : " << it.value() << " ligne(s)";
        if (recorded)
            out << " (enregistré : " << (recorded->rows.contains(it.key()) ? QString::number(recorded->rows.value(it.key())) : QStringLiteral("-"))
                << ")";
        out << "\n";
    }
    for (auto it = figures.amounts.cbegin(); it != figures.amounts.cend(); ++it) {
        out << "Somme " << it.key() << " : " << QString::number(it.value(), 'f', 3);
        if (recorded && recorded->amounts.contains(it.key()))
            out << " (enregistré : " << QString::number(recorded->amounts.value(it.key()), 'f', 3) << ")";
        out << "\n";
    }
}

int verify(const QString &file, QTextStream &out, QTextStream &err)
{
    try {
        const Backup::Verification v = Backup::verify(fileArgument(file), Config::readCredentials(), terminalProgress(err));
        endProgress(err);
        out << "Sauvegarde : " << fileArgument(file) << "\n";
        out << "Restauration d'essai : réussie\n";
        printFigures(v.restored, v.recorded, out);
        if (!v.recorded) {
            out << "Rien à comparer : " << v.recordMissing << ".\n";
            return 0;
        }
        if (v.ok()) {
            out << "Vérification : conforme à ce que la sauvegarde avait enregistré.\n";
            return 0;
        }
        err << "La sauvegarde ne contient pas ce qu'elle avait enregistré :\n" << v.differences.join(QLatin1Char('\n')) << "\n";
        return 1;
    } catch (const Error &e) {
        endProgress(err);
        err << e.text() << "\n";
        return 1;
    }
}

} // namespace

int backupCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString db = line.value(QStringLiteral("db"));
    const QString file = line.value(QStringLiteral("out"));
    const QString verifyFile = line.value(QStringLiteral("verify"));
    if (!verifyFile.isEmpty()) {
        if (!db.isEmpty() || !file.isEmpty()) {
            err << line.usage();
            return 2;
        }
        return verify(verifyFile, out, err);
    }
    if (db.isEmpty()) {
        err << line.usage();
        return 2;
    }
    if (!checkDatabase(db, err))
        return 1;
    try {
        const Backup::Outcome o = Backup::backup(
            databaseNameOf(db), Config::readCredentials(), fileArgument(file), Backup::Kind::Manual, terminalProgress(err));
        endProgress(err);
        out << "Sauvegarde : " << o.file << "\n";
        if (o.size >= 0)
            out << "Taille : " << o.size << " octets\n";
        if (o.figures)
            out << "Factures : " << o.figures->invoices() << "\n";
        if (!o.figuresMissing.isEmpty())
            out << "Remarque : " << o.figuresMissing << "\n";
        return 0;
    } catch (const Error &e) {
        endProgress(err);
        err << e.text() << "\n";
        return 1;
    }
}

int restoreCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString from = line.value(QStringLiteral("from"));
    const QString db = line.value(QStringLiteral("db"));
    if (from.isEmpty() || db.isEmpty()) {
        err << line.usage();
        return 2;
    }
    try {
        const Backup::Outcome o
            = Backup::restore(fileArgument(from), databaseNameOf(db), Config::readCredentials(), terminalProgress(err));
        endProgress(err);
        out << "Base restaurée : " << o.file << "\n";
        if (o.figures)
            out << "Factures : " << o.figures->invoices() << "\n";
        return 0;
    } catch (const Error &e) {
        endProgress(err);
        err << e.text() << "\n";
        return 1;
    }
}
