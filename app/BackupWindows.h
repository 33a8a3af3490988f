#pragma once

#include <QString>

#include <functional>

class QWidget;
class DataModule;

// The main window's "Sauvegarder la base..." and "Restaurer une sauvegarde...".
namespace BackupWindows {

// Where the operator is asked for a file or a directory: the toolkit's file
// dialogs, which a test replaces with its own answers. An empty answer is a
// cancel.
struct Choices
{
    // The backup file to write on this workstation, suggested as given.
    std::function<QString(QWidget *parent, const QString &suggested)> backupFile;
    // The backup to restore, looked for first in that directory.
    std::function<QString(QWidget *parent, const QString &directory)> restoreSource;
    // The new directory of the restored database: on this workstation for a
    // local database, named on its server ("serveur:/dir") for a server's.
    std::function<QString(QWidget *parent, const QString &suggested, bool onServer)> restoreTarget;
};
Choices &choices();

// Backs up the open database: for a local one into a file the operator
// chooses (Sauvegardes beside it suggested), for a server's on the server
// or, when the operator says so, into a file of this workstation. The
// outcome names the file, its size and its invoices.
void backup(QWidget *parent, DataModule &module);

// Restores a backup into a new database, never over one, then offers to
// make it the database of the configuration, the former one named.
void restore(QWidget *parent, DataModule &module);

} // namespace BackupWindows
