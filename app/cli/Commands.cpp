#include "app/cli/Commands.h"

const std::vector<CliCommand> &cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {QStringLiteral("create-db"), QStringLiteral("create-db DIR [--demo]"), createDbCommand},
    };
    return commands;
}
