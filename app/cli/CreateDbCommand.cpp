#include "app/cli/Commands.h"
#include "app/cli/NewDatabase.h"
#include "core/Error.h"
#include "data/Config.h"

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
    try {
        // Made as the configured user, who then owns it.
        out << NewDatabase::create(dir, demo, Config::readCredentials()) << "\n";
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
