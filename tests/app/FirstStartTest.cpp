// The first start: no configuration anywhere, the program asks where the
// database is, carries the answer out and writes it down, never over
// anything that exists.

#include "app/FirstStartDialog.h"
#include "app/cli/NewDatabase.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestServer.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A user's home with nothing of Kestra in it, as the working directory,
// with configuration directories of its own.
struct FreshHome
{
    ScopedAutoAnswer answer { QMessageBox::Ok };
    QTemporaryDir home;
    ScopedEnvironment env { { { "HOME", home.path() }, { "XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")) },
                                { "XDG_CONFIG_DIRS", home.filePath(QStringLiteral("xdg")) } },
        home.path() };

    FreshHome() { MessageBox::resetRecord(); }
    QString path(const QString &relative) const { return home.filePath(relative); }
    QString configuration() const { return path(QStringLiteral(".config/kestra/CheminBase.ini")); }
};

int companies(const QString &databaseName)
{
    Connection c;
    c.setDatabaseName(databaseName);
    c.open();
    Query q(c, QStringLiteral("select count(*) from SOCIETE"));
    q.open();
    Row row;
    const int n = q.fetch(row) ? row.value(0).toInt() : -1;
    q.close();
    return n;
}

// Chooses as an operator does: a click on the choice, the folder typed over
// the proposed one (nullptr: kept), then "Continuer".
void answer(FirstStartDialog &dialog, QRadioButton *choice, const char *typed)
{
    dialog.show();
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(8, choice->height() / 2));
    if (typed) {
        QLineEdit *edit = choice == dialog.existingButton ? dialog.existingEdit : dialog.newFolderEdit;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromUtf8(typed));
    }
    QTest::mouseClick(dialog.continueButton, Qt::LeftButton);
}

} // namespace

TEST(FirstStart, EachAnswerIsCarriedOutAndWrittenDown)
{
    enum Choice { Demo, Empty, Existing };
    enum Before { Nothing, DatabaseThere, GarbageThere, ConfigurationAppears };
    const struct
    {
        const char *name;
        Choice choice;
        const char *typed; // relative to the home, "~/..." as typed; nullptr: the proposed folder
        Before before;
        const char *folder; // where the database is, relative to the home
        int companies; // in the database afterwards; -1: not a database
        const char *message; // what the operator reads; nullptr: the dialog closes
    } cases[] = {
        { "demonstration in the proposed folder", Demo, nullptr, Nothing, "Kestra/Donnees", 1, nullptr },
        { "empty database, the folder typed with ~", Empty, "~/Compta/Base", Nothing, "Compta/Base", 0, nullptr },
        { "existing folder", Existing, "~/Ancienne", DatabaseThere, "Ancienne", 0, nullptr },
        { "a new database over an existing one", Demo, "~/Ancienne", DatabaseThere, "Ancienne", 0, "contient déjà une base Kestra" },
        { "existing folder without a database", Existing, "~/Vide", Nothing, "Vide", -1, "ne contient pas de base Kestra (Kestra.GDB)" },
        { "a file that is no database", Existing, "~/Abime", GarbageThere, "Abime", -1, "ne peut pas être ouverte" },
        { "no folder at all", Empty, "  ", Nothing, "Kestra/Donnees", -1, "Indiquez le dossier de la base." },
        { "a configuration written meanwhile", Empty, nullptr, ConfigurationAppears, "Kestra/Donnees", 0, "existe déjà" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FreshHome home;
        const QString folder = home.path(QString::fromLatin1(c.folder));
        const QString database = Config::databaseName(folder);
        if (c.before == DatabaseThere)
            NewDatabase::create(folder, false);
        if (c.before == GarbageThere) {
            ASSERT_TRUE(writeBytes(database, "not a database"));
        }
        const QByteArray databaseBefore = readBytes(database);

        FirstStartDialog dialog;
        const QByteArray otherConfiguration = "[CheminBase]\r\nRep=/written/by/another\r\n";
        if (c.before == ConfigurationAppears) {
            ASSERT_TRUE(writeBytes(home.configuration(), otherConfiguration));
        }
        answer(dialog, c.choice == Demo ? dialog.demoButton : c.choice == Empty ? dialog.emptyButton : dialog.existingButton, c.typed);

        if (c.message) {
            EXPECT_TRUE(dialog.isVisible()); // the question stays, to be answered otherwise
            EXPECT_EQ(MessageBox::count(), 1);
            EXPECT_TRUE(MessageBox::lastText().contains(QString::fromUtf8(c.message))) << MessageBox::lastText().toStdString();
            if (c.before == ConfigurationAppears) {
                EXPECT_EQ(readBytes(home.configuration()), otherConfiguration);
            } else {
                EXPECT_FALSE(QFileInfo::exists(home.configuration()));
            }
            if (c.before != Nothing && c.before != ConfigurationAppears) {
                EXPECT_EQ(readBytes(database), databaseBefore); // nothing of the user's is touched
            }
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
            EXPECT_EQ(dialog.configurationPath(), home.configuration());
            EXPECT_EQ(dialog.databaseDirectory(), folder);
            EXPECT_EQ(Config::readDatabaseDirectory(home.configuration()), folder);
            EXPECT_EQ(Config::locate(), home.configuration()); // found from now on: asked once
        }
        if (c.companies >= 0) {
            EXPECT_EQ(companies(database), c.companies);
        } else if (c.before == Nothing) {
            EXPECT_FALSE(QFileInfo::exists(database));
        }
    }
}

// A database already in the proposed folder (scripts/run.sh made one there)
// is offered as the existing one.
TEST(FirstStart, ADatabaseInTheProposedFolderIsOffered)
{
    FreshHome home;
    EXPECT_EQ(FirstStartDialog::proposedFolder(), home.path(QStringLiteral("Kestra/Donnees")));
    {
        FirstStartDialog dialog;
        EXPECT_TRUE(dialog.demoButton->isChecked());
        EXPECT_EQ(dialog.newFolderEdit->text(), home.path(QStringLiteral("Kestra/Donnees")));
        EXPECT_FALSE(dialog.existingEdit->isEnabled());
        EXPECT_TRUE(dialog.configurationLabel->text().contains(home.configuration()));
    }
    NewDatabase::create(home.path(QStringLiteral("Kestra/Donnees")), true);
    FirstStartDialog dialog;
    EXPECT_TRUE(dialog.existingButton->isChecked());
    EXPECT_EQ(dialog.existingEdit->text(), home.path(QStringLiteral("Kestra/Donnees")));
    EXPECT_FALSE(dialog.newFolderEdit->isEnabled());
    dialog.show();
    QTest::keyClick(dialog.existingEdit, Qt::Key_Return); // Enter continues
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Config::readDatabaseDirectory(home.configuration()), home.path(QStringLiteral("Kestra/Donnees")));
}

// Several workstations: the database on a server, named as the server sees it.
TEST(FirstStart, AServersDatabase)
{
    TestServer server;
    ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
    TestDatabase onServer(server.prefix());
    const struct
    {
        QString typed;
        bool accepted;
    } cases[] = {
        { onServer.directory(), true },
        { server.prefix() + QStringLiteral("/nowhere/at/all"), false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        FreshHome home;
        FirstStartDialog dialog;
        answer(dialog, dialog.existingButton, c.typed.toUtf8().constData());
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << MessageBox::lastText().toStdString();
        EXPECT_EQ(QFileInfo::exists(home.configuration()), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(Config::readDatabaseDirectory(home.configuration()), c.typed);
        } else {
            EXPECT_TRUE(MessageBox::lastText().contains(QStringLiteral("ne peut pas être ouverte")));
        }
    }
}

// What the start reads: a configuration found is taken without a question;
// with none the question comes, and "Quitter" ends the start.
TEST(FirstStart, TheStartAsksOnlyWithoutAConfiguration)
{
    const struct
    {
        const char *name;
        bool configured; // ../CheminBase.ini beside the working directory
        const char *button; // pressed in the question; nullptr: no question expected
        bool answered;
    } cases[] = {
        { "configured", true, nullptr, true },
        { "first start, demonstration", false, "continueButton", true },
        { "first start, declined", false, "cancelButton", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FreshHome home;
        QDir(home.home.path()).mkpath(QStringLiteral("Programme"));
        ScopedEnvironment inProgramme({}, home.path(QStringLiteral("Programme")));
        const QString beside = home.path(QStringLiteral("CheminBase.ini"));
        if (c.configured) {
            ASSERT_TRUE(writeBytes(beside, "[CheminBase]\r\nRep=/srv/kestra\r\n"));
        }
        bool asked = false;
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<FirstStartDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            asked = true;
            QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(c.button)), Qt::LeftButton);
        });
        press.start(20);
        const QString configuration = configurationForStart();
        press.stop();
        EXPECT_EQ(asked, c.button != nullptr);
        EXPECT_EQ(configuration.isEmpty(), !c.answered);
        if (c.configured) {
            EXPECT_EQ(configuration, beside);
        } else if (c.answered) {
            EXPECT_EQ(configuration, home.configuration());
        }
        EXPECT_EQ(QFileInfo::exists(home.configuration()), !c.configured && c.answered);
    }
}
