#include "app/cli/Commands.h"

const std::vector<CliCommand> &cliCommands()
{
    static const std::vector<CliCommand> commands = {
        { QStringLiteral("create-db"), QStringLiteral("create-db DIR [--demo]"), createDbCommand },
        { QStringLiteral("declare"),
            QStringLiteral("declare --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4 --out DIR [--strict]"), declareCommand },
        { QStringLiteral("check"), QStringLiteral("check --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4"), checkCommand },
        { QStringLiteral("history"), QStringLiteral("history --db DIR [--company MATRICULE]"), historyCommand },
        { QStringLiteral("import"),
            QStringLiteral(
                "import --db DIR --template FICHIER.imp --table TIERS|FACTURE [--company MATRICULE --year ANNEE] [--file SOURCE]"),
            importCommand },
        { QStringLiteral("unstamped"), QStringLiteral("unstamped --db DIR [--stamp --company MATRICULE --year ANNEE | --delete]"),
            unstampedCommand },
        { QStringLiteral("backup"), QStringLiteral("backup --db DIR [--out FICHIER] | backup --verify FICHIER"), backupCommand },
        { QStringLiteral("restore"), QStringLiteral("restore --from FICHIER --db NOUVEAU_DIR"), restoreCommand },
        { QStringLiteral("preview"),
            QStringLiteral("preview FILE [--kind csv|txt|dbf|xml|xls|xlsx|ods] [--delimiter C] [--quote C] [--skip N] "
                           "[--encoding windows-1252|utf-8|oem-850]"),
            previewCommand },
    };
    return commands;
}
