// Both programs tell their version, the project's, and kestra answers
// --version and --help without a display.

#include "tests/support/ProgramRun.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Version, BothProgramsTellTheProjectsVersion)
{
    const struct
    {
        const char *program;
        QStringList args;
        bool display; // the offscreen platform is given
        int rc;
        QString out; // the standard output starts with it
        QString err; // the standard error holds it
    } cases[] = {
        { KESTRA_CLI, { "--version" }, false, 0, "kestra-cli " KESTRA_VERSION "\n", "" },
        { KESTRA_PROGRAM, { "--version" }, false, 0, "kestra " KESTRA_VERSION "\n", "" },
        { KESTRA_PROGRAM, { "-v" }, false, 0, "kestra " KESTRA_VERSION "\n", "" },
        { KESTRA_PROGRAM, { "--help" }, false, 0, "Usage: kestra [options]\n", "" },
        { KESTRA_PROGRAM, { "--bogus" }, true, 1, "", "Unknown option 'bogus'." },
        { KESTRA_PROGRAM, { "extra" }, true, 2, "", "Argument inattendu : extra" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((QString::fromLatin1(c.program) + QLatin1Char(' ') + c.args.join(QLatin1Char(' '))).toStdString());
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (c.display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(QString::fromLatin1(c.program), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << err.toStdString();
        EXPECT_EQ(p.exitCode(), c.rc) << err.toStdString();
        EXPECT_EQ(out.left(c.out.size()), c.out) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    }
}
