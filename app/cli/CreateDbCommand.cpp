#include "app/cli/Commands.h"
#include "app/cli/NewDatabase.h"
#include "core/Error.h"
#include "data/Config.h"

int createDbCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString dir = line.argument();
    const bool demo = line.isSet(QStringLiteral("demo"));
    if (dir.isEmpty()) {
        err << line.usage();
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
