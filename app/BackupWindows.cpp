#include "app/BackupWindows.h"

#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/Backup.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "ui/MessageBox.h"
#include "ui/OperationProgress.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

namespace BackupWindows {

namespace {

const QString BackupFilter = QStringLiteral("Sauvegardes Firebird (*.fbk);;Tous les fichiers (*)");

QString askBackupFile(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Sauvegarder la base"), suggested, BackupFilter);
}

QString askRestoreSource(QWidget *parent, const QString &directory)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Restaurer une sauvegarde"), directory, BackupFilter);
}

QString askRestoreTarget(QWidget *parent, const QString &suggested, bool onServer)
{
    if (onServer)
        return QInputDialog::getText(parent, QStringLiteral("Restaurer une sauvegarde"),
            QStringLiteral("Répertoire de la base restaurée sur le serveur\n(il doit y exister, accessible au serveur, sans Kestra.GDB) :"),
            QLineEdit::Normal, suggested);
    // The dialog chooses existing directories only: the suggested new one
    // is made for it, and removed again when another is chosen.
    QDir().mkpath(suggested);
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("Répertoire de la base restaurée (un répertoire sans Kestra.GDB)"), suggested);
    if (QDir(chosen) != QDir(suggested))
        QDir().rmdir(suggested);
    return chosen;
}

// The database directory of a database name ("DIR/Kestra.GDB").
QString directoryOf(const QString &databaseName)
{
    return databaseName.left(databaseName.lastIndexOf(QLatin1Char('/')));
}

QString describe(const Backup::Outcome &o)
{
    QString text = QStringLiteral("Fichier : %1").arg(o.file);
    if (o.size >= 0)
        text += QStringLiteral("\nTaille : %1").arg(QLocale(QLocale::French).formattedDataSize(o.size, 1, QLocale::DataSizeTraditionalFormat));
    if (o.figures)
        text += QStringLiteral("\nFactures : %1").arg(QLocale(QLocale::French).toString(o.figures->invoices()));
    if (!o.figuresMissing.isEmpty())
        text += QStringLiteral("\nRemarque : %1.").arg(o.figuresMissing);
    return text;
}

} // namespace

Choices &choices()
{
    static Choices c { askBackupFile, askRestoreSource, askRestoreTarget };
    return c;
}

void backup(QWidget *parent, DataModule &module)
{
    Connection &connection = *module.connection;
    const QString database = connection.databaseName();
    if (database.isEmpty()) {
        MessageBox::error(parent, QStringLiteral("Aucune base n'est ouverte : il n'y a rien à sauvegarder."));
        return;
    }
    const QString name = Backup::fileName(Backup::Kind::Manual, QDateTime::currentDateTime());
    QString file;
    if (Config::isServerDirectory(database)) {
        const QMessageBox::StandardButton where = MessageBox::show(parent, QMessageBox::Question, MessageBox::applicationCaption(),
            QStringLiteral("Écrire la sauvegarde sur le serveur, dans %1 ?\n\nNon : choisir un fichier sur ce poste.")
                .arg(Backup::defaultDirectory(database)),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (where == QMessageBox::Cancel)
            return;
        if (where == QMessageBox::No) {
            file = choices().backupFile(parent, QDir::home().filePath(name));
            if (file.isEmpty())
                return;
        }
    } else {
        const QString directory = Backup::defaultDirectory(database);
        QDir().mkpath(directory);
        file = choices().backupFile(parent, directory + QLatin1Char('/') + name);
        if (file.isEmpty())
            return;
    }
    try {
        // What the operator sees is what is saved.
        connection.commitRetaining();
        Backup::Outcome o;
        {
            OperationProgress progress(parent, QStringLiteral("Sauvegarde de la base"));
            o = Backup::backup(database, connection.credentials(), file, Backup::Kind::Manual, progress.callback());
        }
        MessageBox::information(parent, QStringLiteral("Sauvegarde terminée.\n") + describe(o));
    } catch (const Error &e) {
        MessageBox::error(parent, e.text());
    }
}

void restore(QWidget *parent, DataModule &module)
{
    const Connection &connection = *module.connection;
    const QString database = connection.databaseName();
    const bool onServer = Config::isServerDirectory(database);
    // The automatic copies are where a restore is most often looked for.
    const QString copies
        = database.isEmpty() ? QDir::homePath() : AutomaticCopies::directory(database, module.backupSettings);
    const QString source = choices().restoreSource(parent, copies);
    if (source.isEmpty())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm"));
    const QString suggested = database.isEmpty() ? QDir::home().filePath(QStringLiteral("Kestra-restauree-") + stamp)
                                                 : directoryOf(database) + QStringLiteral("-restauree-") + stamp;
    const bool suggestedExisted = QFileInfo::exists(suggested);
    QString target = choices().restoreTarget(parent, suggested, onServer).trimmed();
    if (target.isEmpty())
        return;
    while (target.size() > 1 && target.endsWith(QLatin1Char('/')))
        target.chop(1);
    const QString newDatabase = Config::databaseName(target);
    try {
        Backup::Outcome o;
        {
            OperationProgress progress(parent, QStringLiteral("Restauration de la sauvegarde"));
            o = Backup::restore(source, newDatabase, connection.credentials(), progress.callback());
        }
        const QString former = Config::readDatabaseDirectory(module.configurationPath());
        const QString question
            = QStringLiteral("La sauvegarde %1 a été restaurée dans %2 (%3 facture(s)).\n\n"
                             "Voulez-vous que Kestra travaille désormais sur cette base ?\n"
                             "Le fichier de configuration %4 désigne aujourd'hui %5 ; cette base-là reste en place, "
                             "et Rep=%5 dans ce fichier y ramène.")
                  .arg(source, newDatabase)
                  .arg(o.figures ? o.figures->invoices() : 0)
                  .arg(QFileInfo(module.configurationPath()).absoluteFilePath(), former);
        if (!MessageBox::confirm(parent, question, QMessageBox::No))
            return;
        if (!Config::writeDatabaseDirectory(target, module.configurationPath())) {
            MessageBox::error(parent,
                QStringLiteral("Le fichier de configuration %1 n'a pas pu être écrit : il désigne toujours %2.")
                    .arg(module.configurationPath(), former));
            return;
        }
        MessageBox::information(parent,
            QStringLiteral("La configuration désigne désormais %1 (auparavant %2).\nRedémarrez Kestra pour travailler sur la base restaurée.")
                .arg(target, former));
    } catch (const Error &e) {
        // The directory made for the dialog goes with the restore that failed.
        if (!suggestedExisted && !onServer && QDir(target) == QDir(suggested))
            QDir().rmdir(target);
        MessageBox::error(parent, e.text());
    }
}

} // namespace BackupWindows
