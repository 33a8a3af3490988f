#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <initializer_list>

class Connection;

// What the commands share: their options, the fiscal year and the database
// they are given.

// "--name VALUE" sets *value; a switch "--name" without a value sets *flag.
struct CliOption
{
    const char *name;
    QString *value = nullptr;
    bool *flag = nullptr;
};

// Reads every argument as one of the options. An argument that is none of
// them, or an option without its value, is refused with "Argument incorrect"
// and the usage on err.
bool readOptions(const QStringList &args, std::initializer_list<CliOption> options, const QString &usage, QTextStream &err);

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
