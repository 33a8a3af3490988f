// kestra-cli: the register's work that needs no screen.

#include "app/cli/Commands.h"
#include "core/CharacterType.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {
void usage(QTextStream &stream)
{
    stream << "Utilisation :\n"
              "  kestra-cli create-db DIR [--demo]\n";
    for (const CliCommand &c : cliCommands())
        if (!c.usage.isEmpty() && c.name != QLatin1String("create-db"))
            stream << "  kestra-cli " << c.usage << "\n";
    stream << "  kestra-cli COMMANDE --help\n"
              "  kestra-cli --version\n";
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
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
    // Asked for, the usage is an answer, not an error: on the standard output, exit 0.
    if (isHelp(command)) {
        usage(out);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        out << "kestra-cli " KESTRA_VERSION "\n";
        return 0;
    }
    for (const CliCommand &c : cliCommands()) {
        if (c.name == command) {
            if (std::any_of(args.cbegin(), args.cend(), isHelp)) {
                out << "Utilisation : kestra-cli " << c.usage << "\n";
                return 0;
            }
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
