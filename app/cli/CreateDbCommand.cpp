#include "app/cli/Commands.h"
#include "app/cli/DemoData.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Schema.h"

#include <QDir>

int createDbCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString dir;
    bool demo = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a.startsWith(QLatin1String("--")) || !dir.isEmpty()) {
            err << "Argument inattendu : " << a << "\n";
            return 2;
        } else
            dir = a;
    }
    if (dir.isEmpty()) {
        err << "Utilisation : kestra-cli create-db DIR [--demo]\n";
        return 2;
    }
    // A server's directory is the server's to have: it must exist there,
    // writable by the server, and is named as the server sees it.
    const bool server = Config::isServerDirectory(dir);
    if (!server && !QDir().mkpath(dir)) {
        err << "Impossible de créer le répertoire " << dir << "\n";
        return 1;
    }
    const QString path = Config::databaseName(server ? dir : QDir(dir).absolutePath());
    try {
        // Made as the configured user, who then owns it.
        const Credentials credentials = Config::readCredentials();
        Schema::createDatabase(path, credentials);
        if (demo) {
            Connection connection;
            connection.setDatabaseName(path);
            connection.setCredentials(credentials);
            connection.open();
            DemoData::insert(connection);
            connection.close();
        }
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    out << path << "\n";
    return 0;
}
