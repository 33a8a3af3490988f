// kestra-cli asked for its usage: an answer on the standard output, exit 0;
// a wrong call still fails with the usage on the error output.

#include "tests/support/ProgramRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramRun cli(const QStringList &args)
{
    // In a directory of its own: a command that took "-h" for a directory
    // name would make it there.
    QTemporaryDir dir;
    return runProgram(QStringLiteral(KESTRA_CLI), args, 60000, dir.path());
}

} // namespace

TEST(CliHelp, HelpPrintsTheUsageAndSucceeds)
{
    const struct
    {
        QStringList args;
        QStringList expected; // lines of the standard output
    } cases[] = {
        { { "--help" },
            { "Utilisation :", "kestra-cli create-db DIR", "kestra-cli declare --db DIR", "kestra-cli import --db DIR",
                "kestra-cli preview FILE" } },
        { { "-h" }, { "Utilisation :", "kestra-cli declare --db DIR", "kestra-cli preview FILE" } },
        { { "import", "--help" }, { "Utilisation : kestra-cli import --db DIR --template FICHIER.imp" } },
        { { "declare", "--db", "/nowhere", "-h" }, { "Utilisation : kestra-cli declare --db DIR" } },
        { { "preview", "--help" }, { "Utilisation : kestra-cli preview FILE" } },
        { { "create-db", "-h" }, { "Utilisation : kestra-cli create-db DIR [--demo]" } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("Kestra.GDB"))) << "no database made";
        for (const QString &line : c.expected)
            EXPECT_TRUE(run.out.contains(line)) << line.toStdString() << " not in:\n" << run.out.toStdString();
    }
}

TEST(CliHelp, WrongCallsStillFail)
{
    const struct
    {
        QStringList args;
        int rc;
        QString err;
    } cases[] = {
        { {}, 2, "Utilisation :" },
        { { "--aide" }, 2, "Commande inconnue : --aide" },
        { { "import", "--bogus", "x" }, 2, "Argument incorrect : --bogus" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
    }
}

// The commands read their options and check the year and the database with
// shared code; each still refuses in its own words, with its own usage where
// it gives one, before it touches any database.
TEST(CliHelp, EachCommandRefusesInItsOwnWords)
{
    const QString importUsage = "Utilisation : kestra-cli import --db DIR --template FICHIER.imp --table TIERS|FACTURE "
                                "[--company MATRICULE --year ANNEE] [--file SOURCE]\n";
    const QString unstampedUsage = "Utilisation : kestra-cli unstamped --db DIR [--stamp --company MATRICULE --year ANNEE | --delete]\n";
    const QString noBase = "Base introuvable : nowhere/Kestra.GDB\n";
    const struct
    {
        QStringList args;
        int rc;
        QString err;
    } cases[] = {
        { { "declare", "--bogus", "x" }, 2, "Argument incorrect : --bogus\n" },
        { { "declare", "--db" }, 2, "Argument incorrect : --db\n" },
        { { "declare", "--stamp" }, 2, "Argument incorrect : --stamp\n" },
        { { "declare", "--db", "nowhere", "--company", "all", "--year", "2008", "--quarter", "T5", "--out", "." }, 2,
            "Trimestre incorrect : T5 (T1, T2, T3 ou T4)\n" },
        { { "declare", "--db", "nowhere", "--company", "all", "--year", "0999", "--quarter", "T1", "--out", "." }, 2,
            "Exercice incorrect : 0999 (une année sur quatre chiffres)\n" },
        { { "declare", "--db", "nowhere", "--company", "all", "--year", "2008", "--quarter", "T1", "--out", "absent" }, 1,
            "Le répertoire absent n'existe pas ou n'est pas accessible en écriture.\n" },
        { { "declare", "--db", "nowhere", "--company", "all", "--year", "2008", "--quarter", "T1", "--out", "." }, 1, noBase },
        { { "import", "--db" }, 2, "Argument incorrect : --db\n" + importUsage },
        { { "import", "--delete" }, 2, "Argument incorrect : --delete\n" + importUsage },
        { { "import", "--db", "nowhere", "--template", "none.imp", "--table", "TIERS", "--year", "208" }, 2,
            "Exercice incorrect : 208 (une année sur quatre chiffres)\n" },
        { { "unstamped", "--db" }, 2, "Argument incorrect : --db\n" + unstampedUsage },
        { { "unstamped", "--db", "nowhere", "--stamp", "--delete" }, 2, unstampedUsage },
        { { "unstamped", "--db", "nowhere", "--company", "0123456AM000" }, 2, unstampedUsage },
        { { "unstamped", "--db", "nowhere", "--stamp", "--company", "0123456AM000", "--year", "20O8" }, 2,
            "Exercice incorrect : 20O8 (une année sur quatre chiffres)\n" },
        { { "unstamped", "--db", "nowhere" }, 1, noBase },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(run.err, c.err);
    }
}
