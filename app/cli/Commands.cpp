#include "app/cli/Commands.h"

namespace {

// The options several commands share, in the same words everywhere.
const CliOption Db { QStringLiteral("db"), QStringLiteral("DIR"), QStringLiteral("Répertoire de la base (serveur:/répertoire sur un serveur)") };
const CliOption Year { QStringLiteral("year"), QStringLiteral("ANNEE"), QStringLiteral("Exercice, sur quatre chiffres") };
const CliOption Quarter { QStringLiteral("quarter"), QStringLiteral("T1..T4"), QStringLiteral("Trimestre : T1, T2, T3 ou T4") };
const CliOption EveryCompany { QStringLiteral("company"), QStringLiteral("MATRICULE|all"),
    QStringLiteral("Matricule fiscal de la société, ou all pour toutes") };

bool isCount(const QString &value)
{
    bool ok = false;
    return value.toInt(&ok) >= 0 && ok;
}

CliSyntax optionsOnly(QList<CliOption> options)
{
    CliSyntax s;
    s.options = std::move(options);
    return s;
}

CliSyntax createDbSyntax()
{
    CliSyntax s;
    s.argumentName = QStringLiteral("DIR");
    s.argumentDescription = QStringLiteral("Répertoire de la nouvelle base, créé au besoin");
    s.options = { { QStringLiteral("demo"), {}, QStringLiteral("Ajoute une société de démonstration, ses clients et ses factures") } };
    s.refusal = QStringLiteral("Argument inattendu : ");
    return s;
}

CliSyntax declareSyntax()
{
    CliSyntax s;
    s.options = { Db, EveryCompany, Year, Quarter,
        { QStringLiteral("out"), QStringLiteral("DIR"), QStringLiteral("Répertoire où écrire la déclaration") },
        { QStringLiteral("strict"), {}, QStringLiteral("N'écrit rien pour une société où les contrôles trouvent une anomalie") } };
    return s;
}

CliSyntax importSyntax()
{
    CliSyntax s;
    s.options = { Db, { QStringLiteral("template"), QStringLiteral("FICHIER.imp"), QStringLiteral("Modèle d'importation enregistré par l'assistant") },
        { QStringLiteral("table"), QStringLiteral("TIERS|FACTURE"), QStringLiteral("Table à remplir : les clients ou les factures") },
        { QStringLiteral("company"), QStringLiteral("MATRICULE"), QStringLiteral("Société des factures importées") },
        { QStringLiteral("year"), QStringLiteral("ANNEE"), QStringLiteral("Exercice des factures importées") },
        { QStringLiteral("file"), QStringLiteral("SOURCE"), QStringLiteral("Fichier à importer au lieu de celui du modèle") } };
    s.usageAfterRefusal = true;
    return s;
}

CliSyntax unstampedSyntax()
{
    CliSyntax s;
    s.options = { { QStringLiteral("stamp"), {}, QStringLiteral("Numérote les factures pour la société et l'exercice") },
        { QStringLiteral("delete"), {}, QStringLiteral("Supprime les factures") }, Db,
        { QStringLiteral("company"), QStringLiteral("MATRICULE"), QStringLiteral("Société qui reçoit les factures (--stamp)") },
        { QStringLiteral("year"), QStringLiteral("ANNEE"), QStringLiteral("Exercice des factures (--stamp)") } };
    s.usageAfterRefusal = true;
    return s;
}

CliSyntax backupSyntax()
{
    CliSyntax s;
    s.options = { Db,
        { QStringLiteral("out"), QStringLiteral("FICHIER"), QStringLiteral("Fichier de la sauvegarde (sinon daté, dans Sauvegardes)") },
        { QStringLiteral("verify"), QStringLiteral("FICHIER"), QStringLiteral("Vérifie une sauvegarde par une restauration d'essai") } };
    s.usageAfterRefusal = true;
    s.usage = QStringLiteral("Utilisation : kestra-cli backup --db DIR [--out FICHIER]\n              kestra-cli backup --verify FICHIER\n");
    return s;
}

CliSyntax restoreSyntax()
{
    CliSyntax s;
    s.options = { { QStringLiteral("from"), QStringLiteral("FICHIER"), QStringLiteral("Sauvegarde à restaurer") },
        { QStringLiteral("db"), QStringLiteral("NOUVEAU_DIR"), QStringLiteral("Répertoire de la nouvelle base") } };
    s.usageAfterRefusal = true;
    return s;
}

CliSyntax previewSyntax()
{
    CliSyntax s;
    s.argumentName = QStringLiteral("FILE");
    s.argumentDescription = QStringLiteral("Fichier à lire comme l'importation le lit");
    s.options = { { QStringLiteral("kind"), QStringLiteral("csv|txt|dbf|xml|xls|xlsx|ods"), QStringLiteral("Type du fichier (sinon deviné)") },
        { QStringLiteral("delimiter"), QStringLiteral("C"), QStringLiteral("Séparateur des champs d'un texte délimité") },
        { QStringLiteral("quote"), QStringLiteral("C"), QStringLiteral("Guillemet d'un texte délimité") },
        { QStringLiteral("skip"), QStringLiteral("N"), QStringLiteral("Lignes laissées au début d'un texte"), isCount },
        { QStringLiteral("encoding"), QStringLiteral("windows-1252|utf-8|oem-850"), QStringLiteral("Codage d'un texte") },
        { QStringLiteral("date-format"), QStringLiteral("FORMAT"), QStringLiteral("Classeur : format de date courte en vigueur") },
        { QStringLiteral("decimal"), QStringLiteral("C"), QStringLiteral("Classeur : séparateur décimal en vigueur") },
        { QStringLiteral("ranges"), QStringLiteral("PLAGES"), QStringLiteral("Classeur : les cellules de ces plages") } };
    return s;
}

// A command whose wrong calls are answered with its usage line.
CliCommand command(const QString &name, const QString &usage, CliSyntax syntax, decltype(CliCommand::run) run)
{
    if (syntax.usage.isEmpty())
        syntax.usage = QLatin1String("Utilisation : kestra-cli ") + usage + QLatin1Char('\n');
    return { name, usage, std::move(syntax), std::move(run) };
}

} // namespace

const std::vector<CliCommand> &cliCommands()
{
    static const std::vector<CliCommand> commands = {
        command(QStringLiteral("create-db"), QStringLiteral("create-db DIR [--demo]"), createDbSyntax(), createDbCommand),
        command(QStringLiteral("declare"),
            QStringLiteral("declare --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4 --out DIR [--strict]"), declareSyntax(),
            declareCommand),
        command(QStringLiteral("check"), QStringLiteral("check --db DIR --company MATRICULE|all --year ANNEE --quarter T1..T4"),
            optionsOnly({ Db, EveryCompany, Year, Quarter }), checkCommand),
        command(QStringLiteral("history"), QStringLiteral("history --db DIR [--company MATRICULE]"),
            optionsOnly({ Db, { QStringLiteral("company"), QStringLiteral("MATRICULE"), QStringLiteral("Seulement les déclarations de cette société") } }),
            historyCommand),
        command(QStringLiteral("import"),
            QStringLiteral(
                "import --db DIR --template FICHIER.imp --table TIERS|FACTURE [--company MATRICULE --year ANNEE] [--file SOURCE]"),
            importSyntax(), importCommand),
        command(QStringLiteral("unstamped"), QStringLiteral("unstamped --db DIR [--stamp --company MATRICULE --year ANNEE | --delete]"),
            unstampedSyntax(), unstampedCommand),
        command(QStringLiteral("backup"), QStringLiteral("backup --db DIR [--out FICHIER] | backup --verify FICHIER"), backupSyntax(), backupCommand),
        command(QStringLiteral("restore"), QStringLiteral("restore --from FICHIER --db NOUVEAU_DIR"), restoreSyntax(), restoreCommand),
        command(QStringLiteral("preview"),
            QStringLiteral("preview FILE [--kind csv|txt|dbf|xml|xls|xlsx|ods] [--delimiter C] [--quote C] [--skip N] "
                           "[--encoding windows-1252|utf-8|oem-850]"),
            previewSyntax(), previewCommand),
    };
    return commands;
}
