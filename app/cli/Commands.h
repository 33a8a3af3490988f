#pragma once

#include "app/cli/Arguments.h"

#include <QString>
#include <QTextStream>

#include <functional>
#include <vector>

// One command of kestra-cli: its name, its usage line, what it reads on its
// line, and its work on what was read.
struct CliCommand
{
    QString name;
    QString usage;
    CliSyntax syntax;
    std::function<int(const CommandLine &line, QTextStream &out, QTextStream &err)> run;
};

const std::vector<CliCommand> &cliCommands();

int createDbCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int declareCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
// Exits 0 without anomaly, 4 with warnings only, 5 with an error.
int checkCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int historyCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int importCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int unstampedCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int previewCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int backupCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
int restoreCommand(const CommandLine &line, QTextStream &out, QTextStream &err);
