#include "app/cli/Arguments.h"

#include "core/Conversion.h"
#include "data/Config.h"
#include "data/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// kestra-cli has no single-dash options: "-x" is a value or a file name. The
// parser would read it as options, so it passes behind a mark no command
// line can hold (a NUL), taken off again on the way out.
const QChar Shield = QChar(u'\0');

bool isSingleDash(const QString &arg)
{
    return arg.startsWith(QLatin1Char('-')) && !arg.startsWith(QLatin1String("--"));
}

QString shielded(const QString &arg)
{
    return isSingleDash(arg) ? Shield + arg : arg;
}

QString unshielded(const QString &arg)
{
    return arg.startsWith(Shield) ? arg.mid(1) : arg;
}

QString optionSpelling(const CliOption &o)
{
    return QLatin1String("--") + o.name + (o.valueName.isEmpty() ? QString() : QLatin1Char(' ') + o.valueName);
}

} // namespace

CommandLine::CommandLine(const CliSyntax &syntax)
    : m_syntax(syntax)
{
    for (const CliOption &o : m_syntax.options)
        m_parser.addOption(QCommandLineOption(o.name, o.description, o.valueName));
}

bool CommandLine::parse(const QStringList &args)
{
    QStringList line { QStringLiteral("kestra-cli") };
    std::transform(args.cbegin(), args.cend(), std::back_inserter(line), shielded);
    const bool parsed = m_parser.parse(line);
    m_argument.clear();
    m_refused = firstRefused(args, parsed);
    return !m_refused;
}

QString CommandLine::value(const QString &name) const
{
    return unshielded(m_parser.value(name));
}

bool CommandLine::isSet(const QString &name) const
{
    return m_parser.isSet(name);
}

const CliOption *CommandLine::option(const QString &name) const
{
    for (const CliOption &o : m_syntax.options)
        if (o.name == name)
            return &o;
    return nullptr;
}

// The next value the parser gave the option, if there is one it accepts.
bool CommandLine::takeValue(const CliOption &option, QHash<QString, int> &taken) const
{
    const QStringList values = m_parser.values(option.name);
    const int k = taken[option.name]++;
    return k < values.size() && (!option.accepts || option.accepts(unshielded(values[k])));
}

// The command's own argument, once: a later one is refused unless the first
// was empty.
bool CommandLine::takeArgument(const QString &arg, const QStringList &positional, qsizetype &next)
{
    if (m_syntax.argumentName.isEmpty() || arg.startsWith(QLatin1String("--")) || !m_argument.isEmpty() || next >= positional.size()
        || positional[next] != shielded(arg))
        return false;
    ++next;
    m_argument = arg;
    return true;
}

// Follows the arguments in their order beside what the parser found in
// them: the options it recognised, in order, with their values, and the
// arguments it left over. The first argument that the two do not account for
// alike is the one refused.
std::optional<QString> CommandLine::firstRefused(const QStringList &args, bool parsed)
{
    const QStringList found = m_parser.optionNames();
    const QStringList positional = m_parser.positionalArguments();
    QHash<QString, int> taken;
    qsizetype nextOption = 0;
    qsizetype nextPositional = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const CliOption *o = nextOption < found.size() && arg == QLatin1String("--") + found[nextOption] ? option(found[nextOption]) : nullptr;
        if (o) {
            ++nextOption;
            if (o->valueName.isEmpty())
                continue;
            if (!takeValue(*o, taken))
                return arg;
            ++i; // its value
        } else if (!takeArgument(arg, positional, nextPositional)) {
            return arg;
        }
    }
    // Whatever the parser stumbled on is named above; this only keeps a
    // failed parse from passing unnoticed.
    if (!parsed)
        return args.isEmpty() ? QString() : args.last();
    return std::nullopt;
}

QString commandHelp(const QString &usage, const CliSyntax &syntax)
{
    QList<QPair<QString, QString>> rows;
    for (const CliOption &o : syntax.options)
        rows.append({ optionSpelling(o), o.description });
    rows.append({ QStringLiteral("-h, --help"), QStringLiteral("Affiche cette aide.") });
    qsizetype width = syntax.argumentName.size();
    for (const auto &row : rows)
        width = std::max(width, row.first.size());

    QString help = QLatin1String("Utilisation : kestra-cli ") + usage + QLatin1Char('\n');
    if (!syntax.argumentName.isEmpty())
        help += QLatin1String("\nArgument :\n  ") + syntax.argumentName.leftJustified(width + 2) + syntax.argumentDescription + QLatin1Char('\n');
    help += QLatin1String("\nOptions :\n");
    for (const auto &row : rows)
        help += QLatin1String("  ") + row.first.leftJustified(width + 2) + row.second + QLatin1Char('\n');
    return help;
}

bool checkYear(const QString &year, QTextStream &err)
{
    int yearNumber = 0;
    if (tryStrToInt(year, yearNumber) && year.size() == 4 && yearNumber >= 1000)
        return true;
    err << "Exercice incorrect : " << year << " (une année sur quatre chiffres)\n";
    return false;
}

bool checkDatabase(const QString &db, QTextStream &err)
{
    if (Config::isServerDirectory(db) || QFileInfo::exists(Config::databaseName(db)))
        return true;
    err << "Base introuvable : " << Config::databaseName(db) << "\n";
    return false;
}

void openDatabase(Connection &connection, const QString &db)
{
    connection.setDatabaseName(Config::databaseName(db));
    connection.setCredentials(Config::readCredentials());
    connection.open();
}

QString databaseNameOf(const QString &db)
{
    return Config::databaseName(Config::isServerDirectory(db) ? db : QDir(db).absolutePath());
}
