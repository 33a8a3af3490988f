// kestra-cli backup, backup --verify and restore, run as the process an
// administrator runs.

#include "data/BackupRecord.h"
#include "data/Config.h"
#include "tests/support/BackupChecks.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramRun cli(const QStringList &args, const QString &workingDirectory)
{
    return runProgram(QStringLiteral(KESTRA_CLI), args, 120000, workingDirectory);
}

} // namespace

// The two README lines: a backup beside the database, its check, and its
// restore into a new directory, which is refused a second time.
TEST(BackupCommand, BackupVerifyAndRestore)
{
    TestDatabase db;
    BackupChecks::insertInvoices(db.connection(), 1, 120);
    db.connection().commitRetaining();
    const auto original = BackupChecks::everyRow(db.connection());
    db.connection().close();
    QTemporaryDir work;

    const ProgramRun made = cli({ QStringLiteral("backup"), QStringLiteral("--db"), db.directory() }, work.path());
    ASSERT_EQ(made.rc, 0) << made.err.toStdString();
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("^Sauvegarde : (.*/Sauvegardes/Kestra_[0-9_-]+\\.fbk)\nTaille : (\\d+) octets\nFactures : 120\n$"))
              .match(made.out);
    ASSERT_TRUE(m.hasMatch()) << made.out.toStdString();
    const QString file = m.captured(1);
    EXPECT_EQ(QFileInfo(file).size(), m.captured(2).toLongLong());

    const ProgramRun verified = cli({ QStringLiteral("backup"), QStringLiteral("--verify"), file }, work.path());
    EXPECT_EQ(verified.rc, 0) << verified.err.toStdString();
    EXPECT_TRUE(verified.out.contains(QStringLiteral("Table FACTURE : 120 ligne(s) (enregistré : 120)"))) << verified.out.toStdString();
    EXPECT_TRUE(verified.out.contains(QStringLiteral("Vérification : conforme"))) << verified.out.toStdString();

    const QString target = work.filePath(QStringLiteral("restauree"));
    const ProgramRun restored = cli({ QStringLiteral("restore"), QStringLiteral("--from"), file, QStringLiteral("--db"), target }, work.path());
    EXPECT_EQ(restored.rc, 0) << restored.err.toStdString();
    EXPECT_EQ(restored.out, QStringLiteral("Base restaurée : %1\nFactures : 120\n").arg(Config::databaseName(target)));
    EXPECT_EQ(BackupChecks::everyRow(Config::databaseName(target)), original);

    const ProgramRun again = cli({ QStringLiteral("restore"), QStringLiteral("--from"), file, QStringLiteral("--db"), target }, work.path());
    EXPECT_EQ(again.rc, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("existe déjà"))) << again.err.toStdString();

    // A file cut since it was written fails its check, in the program's words.
    QFile f(file);
    ASSERT_TRUE(f.resize(QFileInfo(file).size() - 100));
    const ProgramRun cut = cli({ QStringLiteral("backup"), QStringLiteral("--verify"), file }, work.path());
    EXPECT_EQ(cut.rc, 1);
    EXPECT_TRUE(cut.err.contains(QStringLiteral("endommagée"))) << cut.err.toStdString();
    EXPECT_EQ(cut.out, QString());
}

TEST(BackupCommand, WrongCallsAreRefused)
{
    QTemporaryDir work;
    const struct
    {
        QStringList args;
        int rc;
        QString err;
    } cases[] = {
        { { "backup" }, 2, "Utilisation : kestra-cli backup --db DIR" },
        { { "backup", "--db", "x", "--verify", "y.fbk" }, 2, "Utilisation : kestra-cli backup --db DIR" },
        { { "backup", "--db" }, 2, "Argument incorrect : --db" },
        { { "restore", "--from", "x.fbk" }, 2, "Utilisation : kestra-cli restore --from FICHIER --db NOUVEAU_DIR" },
        { { "backup", "--db", work.filePath("nulle-part") }, 1, "Base introuvable" },
        { { "restore", "--from", work.filePath("absente.fbk"), "--db", work.filePath("r") }, 1, "introuvable" },
        { { "backup", "--verify", work.filePath("absente.fbk") }, 1, "introuvable" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(c.args, work.path());
        EXPECT_EQ(run.rc, c.rc);
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
    }
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("r"))));
}
