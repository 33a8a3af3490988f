#include "data/Config.h"

#include "core/Cp1252.h"
#include "core/Error.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Config, DatabaseNameFromTheIniFile)
{
    struct Case
    {
        const char *name;
        const char *content; // nullptr: no file
        QString expectedName;
    } cases[] = {
        { "missing file", nullptr, QStringLiteral("Vérifier le chemin de la base!/Kestra.GDB") },
        { "missing section", "[Autre]\r\nRep=/data\r\n", QStringLiteral("Vérifier le chemin de la base!/Kestra.GDB") },
        { "missing key", "[CheminBase]\r\nChemin=/data\r\n", QStringLiteral("Vérifier le chemin de la base!/Kestra.GDB") },
        { "empty value", "[CheminBase]\r\nRep=\r\n", QStringLiteral("/Kestra.GDB") },
        { "trailing separator kept", "[CheminBase]\r\nRep=/data/\r\n", QStringLiteral("/data//Kestra.GDB") },
        { "server path", "[CheminBase]\r\nRep=serveur:/srv/kestra\r\n", QStringLiteral("serveur:/srv/kestra/Kestra.GDB") },
        { "names without regard to case", "[cheminbase]\nREP = /data \n", QStringLiteral("/data/Kestra.GDB") },
        { "single-byte accents",
            "[CheminBase]\r\nRep=/donn\xe9"
            "es\r\n",
            QStringLiteral("/données/Kestra.GDB") },
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("CheminBase.ini"));
        if (c.content) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        EXPECT_EQ(Config::databaseName(Config::readDatabaseDirectory(path)), c.expectedName) << c.name;
    }
}

// The configuration beside the working directory comes first, as it always
// has; then the user's, then the machine's, as desktop programs look.
TEST(Config, LooksBesideTheWorkingDirectoryThenInTheUsersThenInTheMachines)
{
    const struct
    {
        const char *name;
        bool beside, user, machine;
        const char *expected; // which one is found; nullptr: none
    } cases[] = {
        { "none", false, false, false, nullptr },
        { "all three", true, true, true, "beside" },
        { "user and machine", false, true, true, "user" },
        { "machine only", false, false, true, "machine" },
        { "beside only", true, false, false, "beside" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString work = root.filePath(QStringLiteral("Kestra/Programme"));
        QDir().mkpath(work);
        const QString beside = root.filePath(QStringLiteral("Kestra/CheminBase.ini"));
        const QString user = root.filePath(QStringLiteral("config/kestra/CheminBase.ini"));
        const QString machine = root.filePath(QStringLiteral("xdg/kestra/CheminBase.ini"));
        ScopedEnvironment env(
            { { "XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")) }, { "XDG_CONFIG_DIRS", root.filePath(QStringLiteral("xdg")) } },
            work);
        const QMap<QString, QString> paths { { "beside", beside }, { "user", user }, { "machine", machine } };
        if (c.beside) {
            ASSERT_TRUE(writeBytes(beside, "[CheminBase]\r\nRep=/beside\r\n"));
        }
        if (c.user) {
            ASSERT_TRUE(writeBytes(user, "[CheminBase]\r\nRep=/user\r\n"));
        }
        if (c.machine) {
            ASSERT_TRUE(writeBytes(machine, "[CheminBase]\r\nRep=/machine\r\n"));
        }
        EXPECT_EQ(Config::searchPaths(), (QStringList { QDir(work).absoluteFilePath(QStringLiteral("../CheminBase.ini")), user, machine }));
        EXPECT_EQ(Config::locate(), c.expected ? paths.value(QString::fromLatin1(c.expected)) : QString());
        if (c.expected) {
            EXPECT_EQ(Config::readDatabaseDirectory(Config::locate()), QLatin1Char('/') + QString::fromLatin1(c.expected));
        }
        EXPECT_EQ(Config::userPath(), user);
    }
}

TEST(Config, AMadeConfigurationIsWrittenNeverOverAnother)
{
    const struct
    {
        const char *name;
        QString directory;
        const char *existing; // content already there; nullptr: no file
        bool written;
    } cases[] = {
        { "local folder, accents", QStringLiteral("/home/compta/Données"), nullptr, true },
        { "server", QStringLiteral("serveur/3050:/srv/kestra"), nullptr, true },
        { "an existing file is kept", QStringLiteral("/ailleurs"), "[CheminBase]\r\nRep=/ici\r\n", false },
        { "even an empty one", QStringLiteral("/ailleurs"), "", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        // The folder is made when missing.
        const QString path = root.filePath(QStringLiteral("config/kestra/CheminBase.ini"));
        if (c.existing) {
            ASSERT_TRUE(writeBytes(path, c.existing));
        }
        if (c.written) {
            EXPECT_NO_THROW(Config::writeNew(path, c.directory));
            EXPECT_EQ(Config::readDatabaseDirectory(path), c.directory);
            EXPECT_EQ(readBytes(path), QByteArray("[CheminBase]\r\nRep=") + Cp1252::fromUnicode(c.directory) + "\r\n");
        } else {
            try {
                Config::writeNew(path, c.directory);
                ADD_FAILURE() << "an existing configuration was overwritten";
            } catch (const Error &e) {
                EXPECT_TRUE(e.text().contains(QStringLiteral("existe déjà"))) << e.text().toStdString();
            }
            EXPECT_EQ(readBytes(path), QByteArray(c.existing));
        }
        EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList { QStringLiteral("CheminBase.ini") });
    }

    // A folder that cannot be made: the reason, and nothing written.
    QTemporaryDir root;
    ASSERT_TRUE(writeBytes(root.filePath(QStringLiteral("config")), "a file where the folder should be"));
    EXPECT_THROW(Config::writeNew(root.filePath(QStringLiteral("config/kestra/CheminBase.ini")), QStringLiteral("/x")), Error);
    EXPECT_EQ(readBytes(root.filePath(QStringLiteral("config"))), QByteArray("a file where the folder should be"));
}
