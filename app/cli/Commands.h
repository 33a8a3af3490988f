#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

struct CliCommand
{
    QString name;
    QString usage;
    std::function<int(const QStringList &args, QTextStream &out, QTextStream &err)> run;
};

const std::vector<CliCommand> &cliCommands();

int createDbCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int declareCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// Exits 0 without anomaly, 4 with warnings only, 5 with an error.
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int historyCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int importCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int unstampedCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int previewCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int backupCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int restoreCommand(const QStringList &args, QTextStream &out, QTextStream &err);
