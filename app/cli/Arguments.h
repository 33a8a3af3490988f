#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

class Connection;

// What the commands share: their options, the fiscal year and the database
// they are given.

// One option of a command: "--name VALUE", or a switch "--name" when it has
// no value name.
struct CliOption
{
    QString name;
    QString valueName; // empty for a switch
    QString description; // one line of the command's --help
    // A value it refuses makes the option itself the argument refused.
    std::function<bool(const QString &)> accepts = {};
};

// What a command reads on its line, and how it refuses what it does not.
struct CliSyntax
{
    QList<CliOption> options;
    QString argumentName; // the command's own argument ("DIR", "FILE"); empty when it takes none
    QString argumentDescription;
    QString refusal = QStringLiteral("Argument incorrect : "); // followed by the argument refused
    bool usageAfterRefusal = false;
    QString usage; // "Utilisation : kestra-cli ...", as a wrong call is answered
};

// A command's arguments read through QCommandLineParser and held to the
// grammar kestra-cli has always had: options spelled whole as "--name", a
// value in the argument after its option whatever it starts with, the last
// of an option given twice winning. The parser's own leniencies are refused
// ("--name=VALUE", single-dash options, "--" ending the options), and so is
// any argument beyond the command's own.
class CommandLine
{
public:
    explicit CommandLine(const CliSyntax &syntax);

    // False when an argument is none of the options, an option lacks its
    // value or gives one it refuses, or an argument comes that the command
    // does not take; refused() then names the first such argument.
    bool parse(const QStringList &args);
    QString refused() const { return m_refused.value_or(QString()); }

    QString value(const QString &name) const; // the last given, empty when none
    bool isSet(const QString &name) const;
    QString argument() const { return m_argument; }
    const QString &usage() const { return m_syntax.usage; }

private:
    const CliOption *option(const QString &name) const;
    bool takeValue(const CliOption &option, QHash<QString, int> &taken) const;
    bool takeArgument(const QString &arg, const QStringList &positional, qsizetype &next);
    std::optional<QString> firstRefused(const QStringList &args, bool parsed);

    CliSyntax m_syntax;
    QCommandLineParser m_parser;
    std::optional<QString> m_refused;
    QString m_argument;
};

// A command's --help: its usage line, its argument and its options.
QString commandHelp(const QString &usage, const CliSyntax &syntax);

// A fiscal year of four digits, from 1000 on; anything else is refused on err.
bool checkYear(const QString &year, QTextStream &err);

// A server's database is taken on trust; a local one must exist, or it is
// refused on err.
bool checkDatabase(const QString &db, QTextStream &err);

// Connects to the database of the directory db, as the user of the
// program's configuration.
void openDatabase(Connection &connection, const QString &db);
// The database name of a directory given on the command line: a local one
// made absolute, a server's as it is.
QString databaseNameOf(const QString &db);
