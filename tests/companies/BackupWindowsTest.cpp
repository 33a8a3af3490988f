// The backups as the operator meets them: their menu, the reset
// that copies the database first, and the restore of that copy that gives
// every movement back.

#include "app/BackupWindows.h"

#include "app/MainWindow.h"
#include "app/ResetWindow.h"
#include "data/AutomaticCopies.h"
#include "data/BackupRecord.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "tests/support/BackupChecks.h"
#include "tests/support/Restore.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The program as it starts: its configuration read from a file, the data
// module on the database it names, the main window and its commands.
struct Program
{
    TestDatabase db;
    QTemporaryDir work;
    QString ini = writeConfiguration();
    RunningProgram program { ini, RunningProgram::Path::Configuration, QMessageBox::Yes };
    DataModule &module = program.module;
    MainWindow &main = *program.main;
    const Restore<BackupWindows::Choices> choices { BackupWindows::choices() };

    // A company, a client and forty invoices, and the configuration naming
    // their database.
    QString writeConfiguration()
    {
        db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE) "
                               "values ('0123456', 'A', 'M', '000', 'SOCIETE A')"));
        db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'CLIENT')"));
        BackupChecks::insertInvoices(db.connection(), 1, 40);
        db.connection().commitRetaining();
        const QString path = work.filePath(QStringLiteral("CheminBase.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("[CheminBase]\r\nRep=%1\r\n").arg(db.directory()).toUtf8());
        f.close();
        return path;
    }
    int invoices()
    {
        Query q(*module.connection, QStringLiteral("select count(*) from FACTURE"));
        q.execute();
        return q.outputRow().value(0).toInt();
    }
    QAction *menuAction(const char *name) { return main.findChild<QAction *>(QString::fromLatin1(name)); }
};

// The tool bar's "Initialisation": a new reset window each time.
ResetWindow *openReset(MainWindow &main)
{
    main.openReset();
    return main.findChildren<ResetWindow *>().value(0);
}

} // namespace

TEST(BackupWindows, TheMenuHoldsBothCommands)
{
    Program p;
    auto *menu = p.main.findChild<QMenu *>(QStringLiteral("backupMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Sauvegardes"));
    // From the arrow of the reset's button, which still opens the reset.
    auto *reset = p.main.findChild<QToolButton *>(QStringLiteral("resetButton"));
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->menu(), menu);
    EXPECT_EQ(reset->popupMode(), QToolButton::MenuButtonPopup);
    QStringList items;
    for (QAction *a : menu->actions())
        items << a->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(items, (QStringList { "backupAction=Sauvegarder la base...", "restoreAction=Restaurer une sauvegarde..." }));
    for (QAction *a : menu->actions())
        EXPECT_TRUE(a->isEnabled());
}

// The reset road: the password, the reset of the movements, which copied
// the database first, and the restore of that copy, which gives every
// invoice back and, on the operator's yes, becomes the configured database.
TEST(BackupWindows, AResetIsUndoneByRestoringItsCopy)
{
    Program p;
    const auto before = BackupChecks::everyRow(*p.module.connection);
    ResetWindow *w = openReset(p.main);
    ASSERT_NE(w, nullptr);
    const QString copies = QFileInfo(p.db.path()).absolutePath() + QStringLiteral("/Sauvegardes");
    EXPECT_EQ(w->copyNote->text(), QStringLiteral("Une copie de la base est faite d'abord, dans\n%1").arg(copies));
    w->movements->setChecked(true);
    QTest::keyClicks(w->passwordEdit, QStringLiteral("quillbark"));
    QTest::keyClick(w->passwordEdit, Qt::Key_Return);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Initialisation efféctuée"));
    EXPECT_EQ(p.invoices(), 0);
    const QStringList made = AutomaticCopies::list(copies);
    ASSERT_EQ(made, QStringList { w->lastCopy() });
    EXPECT_EQ(BackupRecord::readFor(made.first())->kind, QStringLiteral("avant initialisation"));

    const QString target = p.work.filePath(QStringLiteral("restauree"));
    QString offeredDirectory;
    bool offeredOnServer = true;
    BackupWindows::choices().restoreSource = [&](QWidget *, const QString &directory) {
        offeredDirectory = directory;
        return made.first();
    };
    BackupWindows::choices().restoreTarget = [&](QWidget *, const QString &, bool onServer) {
        offeredOnServer = onServer;
        return target;
    };
    p.menuAction("restoreAction")->trigger();
    EXPECT_EQ(offeredDirectory, copies);
    EXPECT_FALSE(offeredOnServer);
    // The question named both databases; the last word names the former.
    EXPECT_EQ(MessageBox::lastText(),
        QStringLiteral("La configuration désigne désormais %1 (auparavant %2).\nRedémarrez Kestra pour travailler sur la base restaurée.")
            .arg(target, p.db.directory()));
    EXPECT_EQ(Config::readDatabaseDirectory(p.ini), target);
    EXPECT_EQ(BackupChecks::everyRow(Config::databaseName(target)), before);
}

// Without its copy nothing is erased: the reset stops and says why.
TEST(BackupWindows, AResetWhoseCopyFailsErasesNothing)
{
    Program p;
    QFile blocker(QFileInfo(p.db.path()).absolutePath() + QStringLiteral("/Sauvegardes"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the copies go
    blocker.close();
    ResetWindow *w = openReset(p.main);
    w->complete->setChecked(true);
    w->passwordEdit->setText(QStringLiteral("quillbark"));
    w->okButton->click();
    EXPECT_TRUE(MessageBox::lastText().startsWith(ResetWindow::CopyFailedMessage.arg(QString()))) << MessageBox::lastText().toStdString();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(p.invoices(), 40);
}

// "Sauvegarder la base...": the operator's file, and the outcome naming it,
// its size and its invoices; a cancelled choice makes nothing.
TEST(BackupWindows, BackupFromTheMenu)
{
    Program p;
    const QString suggestedDirectory = QFileInfo(p.db.path()).absolutePath() + QStringLiteral("/Sauvegardes");
    QString suggested;
    QString answer;
    BackupWindows::choices().backupFile = [&](QWidget *, const QString &s) {
        suggested = s;
        return answer;
    };
    p.menuAction("backupAction")->trigger();
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), suggestedDirectory);
    EXPECT_EQ(MessageBox::count(), 0);
    EXPECT_TRUE(AutomaticCopies::list(suggestedDirectory).isEmpty());
    EXPECT_EQ(QDir(suggestedDirectory).entryList(QDir::Files), QStringList());

    answer = p.work.filePath(QStringLiteral("copie.fbk"));
    p.menuAction("backupAction")->trigger();
    ASSERT_TRUE(QFileInfo::exists(answer));
    EXPECT_EQ(MessageBox::lastText(),
        QStringLiteral("Sauvegarde terminée.\nFichier : %1\nTaille : %2\nFactures : 40")
            .arg(answer, QLocale(QLocale::French).formattedDataSize(QFileInfo(answer).size(), 1, QLocale::DataSizeTraditionalFormat)));
}
