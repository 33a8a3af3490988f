// kestra-cli asked for its usage: an answer on the standard output, exit 0;
// a wrong call still fails with the usage on the error output.

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int rc = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList &args)
{
    // In a directory of its own: a command that took "-h" for a directory
    // name would make it there.
    QTemporaryDir dir;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(KESTRA_CLI), args);
    CliRun run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        run.err = QStringLiteral("kestra-cli did not finish");
        return run;
    }
    run.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
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
        const CliRun run = cli(c.args);
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
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
    }
}
