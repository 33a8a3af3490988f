#include "app/cli/NewDatabase.h"

#include "app/cli/DemoData.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace NewDatabase {

QString create(const QString &directory, bool demo, const Credentials &credentials)
{
    // A server's directory must exist there, writable by the server, and is
    // named as the server sees it.
    const bool server = Config::isServerDirectory(directory);
    if (!server && !QDir().mkpath(directory))
        throw Error(QCoreApplication::translate("NewDatabase", "Impossible de créer le répertoire %1").arg(directory));
    const QString path = Config::databaseName(server ? directory : QDir(directory).absolutePath());
    Schema::createDatabase(path, credentials);
    if (demo) {
        try {
            Connection connection;
            connection.setDatabaseName(path);
            connection.setCredentials(credentials);
            connection.open();
            DemoData::insert(connection);
            connection.close();
        } catch (const Error &) {
            if (!server)
                QFile::remove(path);
            throw;
        }
    }
    return path;
}

} // namespace NewDatabase
