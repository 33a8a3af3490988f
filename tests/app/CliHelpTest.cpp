// kestra-cli asked for its usage: an answer on the standard output, exit 0;
// a wrong call still fails with the usage on the error output.

#include "tests/support/ProgramRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

ProgramRun cli(const QStringList &args)
{
    // In a directory of its own: a command that took "-h" for a directory
    // name would make it there.
    QTemporaryDir dir;
    return runProgram(QStringLiteral(KESTRA_CLI), args, 60000, dir.path());
}

// A call answered on the error output alone, with its exit code.
struct Refusal
{
    QStringList args;
    int rc;
    QString err;
};

template <size_t N> void expectRefused(const Refusal (&cases)[N])
{
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(run.err, c.err);
    }
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
    const Refusal cases[] = {
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
    expectRefused(cases);
}

// Every command answers --help with its usage line, its argument where it
// takes one, and each of its options with its value, on the standard output.
TEST(CliHelp, EachCommandListsItsOptions)
{
    const struct
    {
        QString command;
        QStringList lines; // each the start of a line of the help, after its indent
    } cases[] = {
        { "create-db", { "DIR ", "--demo " } },
        { "declare", { "--db DIR ", "--company MATRICULE|all ", "--year ANNEE ", "--quarter T1..T4 ", "--out DIR ", "--strict " } },
        { "check", { "--db DIR ", "--company MATRICULE|all ", "--year ANNEE ", "--quarter T1..T4 " } },
        { "history", { "--db DIR ", "--company MATRICULE " } },
        { "import", { "--db DIR ", "--template FICHIER.imp ", "--table TIERS|FACTURE ", "--company MATRICULE ", "--year ANNEE ", "--file SOURCE " } },
        { "unstamped", { "--db DIR ", "--stamp ", "--delete ", "--company MATRICULE ", "--year ANNEE " } },
        { "backup", { "--db DIR ", "--out FICHIER ", "--verify FICHIER " } },
        { "restore", { "--from FICHIER ", "--db NOUVEAU_DIR " } },
        { "preview", { "FILE ", "--kind csv|txt|dbf|xml|xls|xlsx|ods ", "--delimiter C ", "--quote C ", "--skip N ", "--encoding windows-1252|utf-8|oem-850 ",
                         "--date-format FORMAT ", "--decimal C ", "--ranges PLAGES " } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        const ProgramRun run = cli({ c.command, QStringLiteral("--help") });
        EXPECT_EQ(run.rc, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith("Utilisation : kestra-cli " + c.command + " ")) << run.out.toStdString();
        const QStringList shown = run.out.split(QLatin1Char('\n'));
        for (const QString &line : c.lines + QStringList { "-h, --help " }) {
            const bool listed = std::any_of(shown.cbegin(), shown.cend(), [&](const QString &l) {
                return l.startsWith(QLatin1String("  ") + line) && !l.mid(2 + line.size()).trimmed().isEmpty();
            });
            EXPECT_TRUE(listed) << line.toStdString() << " not listed with its description in:\n" << run.out.toStdString();
        }
    }
}

// The command line keeps its own grammar whatever a parser would allow:
// options spelled whole, a value taken from the next argument whatever it
// starts with, the last of an option given twice, and the first argument
// that does not fit named, in the command's own words.
TEST(CliHelp, ArgumentsAreReadAsTheyAlwaysWere)
{
    const QString importUsage = "Utilisation : kestra-cli import --db DIR --template FICHIER.imp --table TIERS|FACTURE "
                                "[--company MATRICULE --year ANNEE] [--file SOURCE]\n";
    const Refusal cases[] = {
        // What a parser accepts and kestra-cli does not.
        { { "history", "--db=nowhere" }, 2, "Argument incorrect : --db=nowhere\n" },
        { { "history", "-db", "nowhere" }, 2, "Argument incorrect : -db\n" },
        { { "history", "-d" }, 2, "Argument incorrect : -d\n" },
        { { "history", "--", "--db", "nowhere" }, 2, "Argument incorrect : --\n" },
        { { "unstamped", "--db", "nowhere", "--delete=1" }, 2, "Argument incorrect : --delete=1\n" + QString(
            "Utilisation : kestra-cli unstamped --db DIR [--stamp --company MATRICULE --year ANNEE | --delete]\n") },
        { { "preview", "--kind=csv", "f.csv" }, 2, "Argument incorrect : --kind=csv\n" },
        // Arguments a command does not take, the first one named.
        { { "history", "--db", "nowhere", "extra" }, 2, "Argument incorrect : extra\n" },
        { { "import", "stray", "--bogus" }, 2, "Argument incorrect : stray\n" + importUsage },
        { { "import", "--db", "nowhere", "--bogus", "--other" }, 2, "Argument incorrect : --bogus\n" + importUsage },
        { { "check", "--db", "nowhere", "--strict" }, 2, "Argument incorrect : --strict\n" },
        { { "preview", "a.csv", "b.csv" }, 2, "Argument incorrect : b.csv\n" },
        { { "preview", "--", "a.csv" }, 2, "Argument incorrect : --\n" },
        { { "create-db", "base", "autre" }, 2, "Argument inattendu : autre\n" },
        { { "create-db", "--db", "base" }, 2, "Argument inattendu : --db\n" },
        { { "create-db", "--demo=oui", "base" }, 2, "Argument inattendu : --demo=oui\n" },
        // A value refused names its option, before anything after it.
        { { "preview", "--skip", "-1", "a.csv" }, 2, "Argument incorrect : --skip\n" },
        { { "preview", "--skip", "x", "--bogus" }, 2, "Argument incorrect : --skip\n" },
        { { "preview", "a.csv", "--skip" }, 2, "Argument incorrect : --skip\n" },
        // Values that start with a dash are values.
        { { "history", "--db", "-nowhere" }, 1, "Base introuvable : -nowhere/Kestra.GDB\n" },
        { { "history", "--db", "--company" }, 1, "Base introuvable : --company/Kestra.GDB\n" },
        { { "history", "--company", "--db", "--db", "nowhere" }, 1, "Base introuvable : nowhere/Kestra.GDB\n" },
        // Given twice, the last one counts; a switch twice is a switch.
        { { "history", "--db", "elsewhere", "--db", "nowhere" }, 1, "Base introuvable : nowhere/Kestra.GDB\n" },
        { { "unstamped", "--delete", "--db", "nowhere", "--delete" }, 1, "Base introuvable : nowhere/Kestra.GDB\n" },
        { { "history", "--db", "nowhere", "--db", "" }, 2, "Utilisation : kestra-cli history --db DIR [--company MATRICULE]\n" },
    };
    expectRefused(cases);
}

// A file whose name starts with a dash is the file to read, not an option.
TEST(CliHelp, AFileNamedWithADashIsRead)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("-ventes.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a;b\n");
    file.close();
    const ProgramRun run
        = runProgram(QStringLiteral(KESTRA_CLI), { "preview", "--delimiter", ";", "-ventes.csv", "--skip", "0" }, 60000, dir.path());
    EXPECT_EQ(run.rc, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("a\tb\n"));
}
