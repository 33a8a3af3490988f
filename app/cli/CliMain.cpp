// kestra-cli: the register's work that needs no screen.

#include "app/cli/Commands.h"
#include "core/CharacterType.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {
void usage(QTextStream &err)
{
    err << "Utilisation :\n"
           "  kestra-cli create-db DIR [--demo]\n";
    for (const CliCommand &c : cliCommands())
        if (!c.usage.isEmpty() && c.name != QLatin1String("create-db"))
            err << "  kestra-cli " << c.usage << "\n";
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    useUtf8CharacterType();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        usage(err);
        return 2;
    }
    const QString command = args.takeFirst();
    for (const CliCommand &c : cliCommands()) {
        if (c.name == command) {
            int rc = c.run(args, out, err);
            out.flush();
            err.flush();
            return rc;
        }
    }
    err << "Commande inconnue : " << command << "\n";
    usage(err);
    return 2;
}
