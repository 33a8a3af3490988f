#include "app/ResetWindow.h"
#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/Backup.h"
#include "data/BackupRecord.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "tests/support/BackupChecks.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/ServerSuite.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace {

// Kestra's own user on the server, as the README's set-up makes it.
const QString User = QStringLiteral("KESTRA");
const QString UserPassword = QStringLiteral("k3stra-P4ss");

class ServerBackup : public ServerSuite
{
protected:
    // A directory the server may write into (it runs on this machine).
    QString serverDirectory(const QString &name)
    {
        const QString path = work.filePath(name);
        QDir().mkpath(path);
        return server().prefix() + path;
    }

    QTemporaryDir work;
};

QVariant scalar(Connection &c, const QString &sql)
{
    Query q(c, sql);
    q.open();
    Row row;
    const QVariant v = q.fetch(row) ? row.value(0) : QVariant();
    q.close();
    return v;
}

} // namespace

// A server's database is backed up on the server, into Sauvegardes beside it
// or under a name given there, or streamed to this workstation; each is
// restored on the server, from the server's file or streamed from this one,
// with every row of every table.
TEST_F(ServerBackup, OnTheServerOrStreamedToThisWorkstation)
{
    TestDatabase db(server().prefix());
    BackupChecks::insertInvoices(db.connection(), 1, 3000);
    db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE, DATEAUTORISATION) values (7, 'Société', '2026-01-31')"));
    db.connection().commitRetaining();
    const auto original = BackupChecks::everyRow(db.connection());
    QDir().mkpath(QFileInfo(QString(db.path()).mid(server().prefix().size())).absolutePath() + QStringLiteral("/Sauvegardes"));
    struct Case
    {
        const char *name;
        QString file;
        bool onServer;
    } cases[] = {
        { "Sauvegardes on the server", QString(), true },
        { "named on the server", serverDirectory(QStringLiteral("ailleurs")) + QStringLiteral("/copie.fbk"), true },
        { "streamed to this workstation", work.filePath(QStringLiteral("poste/copie.fbk")), false },
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Backup::Outcome o = Backup::backup(db.path(), Credentials::defaults(), c.file, Backup::Kind::Manual);
        EXPECT_EQ(o.onServer(), c.onServer);
        if (c.file.isEmpty()) {
            EXPECT_TRUE(o.file.startsWith(Backup::defaultDirectory(db.path()) + QLatin1Char('/'))) << o.file.toStdString();
        }
        ASSERT_TRUE(o.figures.has_value()) << o.figuresMissing.toStdString();
        EXPECT_EQ(o.figures->invoices(), 3000);
        // A file of this workstation has its size and its record; one of the
        // server is out of reach of both.
        EXPECT_EQ(o.size >= 0, !c.onServer);
        EXPECT_EQ(BackupRecord::readFor(o.file).has_value(), !c.onServer);

        const QString restored = Config::databaseName(serverDirectory(QStringLiteral("restauree-%1").arg(++n)));
        Backup::restore(o.file, restored, Credentials::defaults());
        EXPECT_EQ(BackupChecks::everyRow(restored), original);
        const Backup::Verification v = Backup::verify(o.file, Credentials::defaults());
        EXPECT_TRUE(v.ok());
        EXPECT_EQ(v.restored.invoices(), 3000);
        EXPECT_EQ(v.recorded.has_value(), !c.onServer);
    }
    // The copy the check made beside a server's file is gone.
    EXPECT_EQ(QDir(work.filePath(QStringLiteral("ailleurs"))).entryList(QDir::Files), QStringList { QStringLiteral("copie.fbk") });
}

TEST_F(ServerBackup, TakenWhileOthersCommitHoldsTheRowsOfItsStart)
{
    BackupChecks::backupWhileOthersCommit(server().prefix(), serverDirectory(QStringLiteral("b")) + QStringLiteral("/pendant.fbk"),
        serverDirectory(QStringLiteral("restauree")));
}

// A cut or foreign file streamed to the server is refused there, and the
// database it was to become is not left on the server.
TEST_F(ServerBackup, DamagedFilesLeaveNothingOnTheServer)
{
    TestDatabase db(server().prefix());
    BackupChecks::insertInvoices(db.connection(), 1, 3000);
    db.connection().commitRetaining();
    const QString good = work.filePath(QStringLiteral("bonne.fbk"));
    Backup::backup(db.path(), Credentials::defaults(), good, Backup::Kind::Manual);
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    struct Case
    {
        const char *name;
        QByteArray content;
        QString said;
    } cases[] = {
        { "cut", bytes.left(bytes.size() * 2 / 3), QStringLiteral("incomplet") },
        { "not a backup", QByteArray("PK\x03\x04 a workbook, not a backup"), QStringLiteral("n'a pas pu être restaurée") },
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = work.filePath(QStringLiteral("endommagee-%1.fbk").arg(++n));
        BackupChecks::writeBytes(file, c.content);
        const QString directory = serverDirectory(QStringLiteral("cible-%1").arg(n));
        try {
            Backup::restore(file, Config::databaseName(directory), Credentials::defaults());
            ADD_FAILURE() << "restored";
        } catch (const Error &e) {
            EXPECT_TRUE(e.text().contains(c.said)) << e.text().toStdString();
        }
        EXPECT_EQ(QDir(work.filePath(QStringLiteral("cible-%1").arg(n))).entryList(QDir::Files), QStringList());
    }
}

// An office's server that only Kestra's own user enters: that user, which
// may create databases and nothing more, makes and owns the database, and
// the program and kestra-cli work as it, taking it from the configuration;
// a wrong password gets the program's own message and opens nothing, and
// nothing repeats the password; the data reset keeps its own password.
TEST_F(ServerBackup, KestrasOwnUserFromTheConfiguration)
{
    {
        TestDatabase admin(server().prefix());
        admin.exec(QStringLiteral("create user %1 password '%2'").arg(User, UserPassword));
        admin.exec(QStringLiteral("grant create database to user %1").arg(User));
        admin.connection().commit();
    }
    const QString directory = serverDirectory(QStringLiteral("kestra"));
    QDir().mkpath(work.filePath(QStringLiteral("kestra/Sauvegardes")));
    QDir().mkpath(work.filePath(QStringLiteral("Programme")));
    const QString ini = work.filePath(QStringLiteral("CheminBase.ini"));
    const auto configure = [&](const QString &password) {
        BackupChecks::writeBytes(ini,
            QStringLiteral("[CheminBase]\r\nRep=%1\r\n[Identifiants]\r\nUtilisateur=%2\r\nMotDePasse=%3\r\n"
                           "[Sauvegarde]\r\nRepertoire=%4\r\n")
                .arg(directory, User, password, work.filePath(QStringLiteral("copies")))
                .toUtf8());
    };
    // kestra-cli reads ../CheminBase.ini, as the program does.
    const auto cli = [&](const QStringList &args) {
        return runProgram(QStringLiteral(KESTRA_CLI), args, 120000, work.filePath(QStringLiteral("Programme")));
    };
    configure(UserPassword);

    const ProgramRun made = cli({ QStringLiteral("create-db"), directory, QStringLiteral("--demo") });
    ASSERT_EQ(made.rc, 0) << made.err.toStdString();
    DataModule module;
    module.openDatabase(ini);
    ASSERT_TRUE(module.connection->isConnected());
    EXPECT_EQ(scalar(*module.connection, QStringLiteral("select CURRENT_USER from RDB$DATABASE")).toString().trimmed(), User);
    EXPECT_EQ(scalar(*module.connection, QStringLiteral("select trim(RDB$OWNER_NAME) from RDB$RELATIONS where RDB$RELATION_NAME = 'FACTURE'"))
                  .toString(),
        User);
    const int invoices = scalar(*module.connection, QStringLiteral("select count(*) from FACTURE")).toInt();
    ASSERT_GT(invoices, 0);

    const QString local = work.filePath(QStringLiteral("copie.fbk"));
    for (const QStringList &args : { QStringList { QStringLiteral("backup"), QStringLiteral("--db"), directory },
             QStringList { QStringLiteral("backup"), QStringLiteral("--db"), directory, QStringLiteral("--out"), local },
             QStringList { QStringLiteral("restore"), QStringLiteral("--from"), local, QStringLiteral("--db"),
                 serverDirectory(QStringLiteral("restauree")) },
             QStringList { QStringLiteral("backup"), QStringLiteral("--verify"), local } }) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = cli(args);
        EXPECT_EQ(run.rc, 0) << run.err.toStdString();
        EXPECT_FALSE((run.out + run.err).contains(UserPassword));
    }
    {
        Connection restored;
        restored.setDatabaseName(Config::databaseName(serverDirectory(QStringLiteral("restauree"))));
        restored.setCredentials({ User, UserPassword });
        restored.open();
        EXPECT_EQ(scalar(restored, QStringLiteral("select count(*) from FACTURE")).toInt(), invoices);
        restored.close();
    }

    // The reset asks for its own password, not the database's, and makes
    // its copy as Kestra's user.
    {
        ScopedAutoAnswer answer(QMessageBox::Ok);
        ResetWindow reset(*module.connection);
        reset.backupSettings = module.backupSettings;
        reset.movements->setChecked(true);
        reset.passwordEdit->setText(UserPassword);
        reset.okButton->click();
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Mot de Passe Incorrect"));
        EXPECT_TRUE(reset.lastCopy().isEmpty());
        reset.passwordEdit->setText(QStringLiteral("quillbark"));
        reset.okButton->click();
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Initialisation efféctuée"));
        EXPECT_EQ(scalar(*module.connection, QStringLiteral("select count(*) from FACTURE")).toInt(), 0);
        EXPECT_EQ(QFileInfo(reset.lastCopy()).absolutePath(), work.filePath(QStringLiteral("copies")));
        module.connection->commitRetaining();
        // The copy gives every invoice back.
        const QString back = Config::databaseName(serverDirectory(QStringLiteral("apres-initialisation")));
        const Backup::Outcome r = Backup::restore(reset.lastCopy(), back, module.connection->credentials());
        EXPECT_EQ(r.figures->invoices(), invoices);
    }
    module.connection->close();

    // A wrong password: the program's own message, nothing opened, and the
    // password written nowhere.
    configure(QStringLiteral("faux-M0t"));
    QDir().mkpath(work.filePath(QStringLiteral("decl")));
    DataModule refused;
    try {
        refused.openDatabase(ini);
        ADD_FAILURE() << "opened";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), DbError::LoginRefusedMessage);
    }
    EXPECT_FALSE(refused.connection->isConnected());
    for (const QStringList &args : { QStringList { QStringLiteral("backup"), QStringLiteral("--db"), directory },
             QStringList { QStringLiteral("declare"), QStringLiteral("--db"), directory, QStringLiteral("--company"), QStringLiteral("all"),
                 QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--quarter"), QStringLiteral("T1"), QStringLiteral("--out"),
                 work.filePath(QStringLiteral("decl")) } }) {
        SCOPED_TRACE(args.first().toStdString());
        const ProgramRun run = cli(args);
        EXPECT_EQ(run.rc, 1);
        EXPECT_TRUE(run.err.contains(DbError::LoginRefusedMessage)) << run.err.toStdString();
        EXPECT_FALSE((run.out + run.err).contains(QStringLiteral("faux-M0t")));
    }
    QFile config(ini);
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    EXPECT_TRUE(config.readAll().contains("MotDePasse=faux-M0t\r\n")); // left as the installation wrote it
}
