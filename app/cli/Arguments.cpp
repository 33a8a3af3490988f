#include "app/cli/Arguments.h"

#include "core/Conversion.h"
#include "data/Config.h"
#include "data/Connection.h"

#include <QDir>
#include <QFileInfo>

bool readOptions(const QStringList &args, std::initializer_list<CliOption> options, const QString &usage, QTextStream &err)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const CliOption *option = nullptr;
        for (const CliOption &o : options)
            if (a == QLatin1String(o.name))
                option = &o;
        if (option && option->flag) {
            *option->flag = true;
            continue;
        }
        if (!option || i + 1 >= args.size()) {
            err << "Argument incorrect : " << a << "\n" << usage;
            return false;
        }
        *option->value = args[++i];
    }
    return true;
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
