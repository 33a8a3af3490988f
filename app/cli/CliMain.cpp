// kestra-cli: the register's work that needs no screen.

#include "app/cli/Commands.h"
#include "core/CharacterType.h"
#include "core/Translations.h"
#include "data/Config.h"

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

// A help anywhere on a command's line is answered before anything is read:
// even given as an option's value, it asks for help.
int runCommand(const CliCommand &c, const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (std::any_of(args.cbegin(), args.cend(), isHelp)) {
        out << commandHelp(c.usage, c.syntax);
        return 0;
    }
    CommandLine line(c.syntax);
    if (!line.parse(args)) {
        err << c.syntax.refusal << line.refused() << "\n";
        if (c.syntax.usageAfterRefusal)
            err << c.syntax.usage;
        return 2;
    }
    const int rc = c.run(line, out, err);
    out.flush();
    err.flush();
    return rc;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    useUtf8CharacterType();
    Translations::install(app, Translations::choose(Config::configuredLanguage(), Translations::systemLanguages()));
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
    for (const CliCommand &c : cliCommands())
        if (c.name == command)
            return runCommand(c, args, out, err);
    err << "Commande inconnue : " << command << "\n";
    usage(err);
    return 2;
}
