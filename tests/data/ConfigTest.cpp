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

namespace {

// A configuration file of these bytes in the directory.
QString writeIni(const QTemporaryDir &dir, const QByteArray &bytes, const QString &name = QStringLiteral("CheminBase.ini"))
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

} // namespace

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

// The user and password come from the configuration or from the file it
// names, which only its owner may read; no message ever repeats them.
TEST(Config, CredentialsFromTheConfigurationOrItsFile)
{
    struct Case
    {
        const char *name;
        const char *ini;
        const char *credentials; // the file "identifiants.ini" beside it; nullptr: none
        QFile::Permissions permissions;
        QString user; // empty: refused
        QString password;
    } cases[] = {
        { "nothing said: the defaults", "[CheminBase]\r\nRep=/data\r\n", nullptr, {}, QStringLiteral("SYSDBA"),
            QStringLiteral("quillbark") },
        { "in the configuration", "[CheminBase]\r\nRep=/data\r\n[Identifiants]\r\nUtilisateur=KESTRA\r\nMotDePasse=S3cr3t é\r\n",
            nullptr, {}, QStringLiteral("KESTRA"), QStringLiteral("S3cr3t é") },
        { "in a file only its owner reads", "[Identifiants]\r\nFichier=identifiants.ini\r\n",
            "[Identifiants]\r\nUtilisateur=KESTRA\r\nMotDePasse=Pa55\r\n", QFile::ReadOwner | QFile::WriteOwner, QStringLiteral("KESTRA"),
            QStringLiteral("Pa55") },
        { "in a file others may read", "[Identifiants]\r\nFichier=identifiants.ini\r\n",
            "[Identifiants]\r\nUtilisateur=KESTRA\r\nMotDePasse=Pa55\r\n",
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther, QString(), QString() },
        { "a file that is not there", "[Identifiants]\r\nFichier=identifiants.ini\r\n", nullptr, {}, QString(), QString() },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString ini = writeIni(dir, QByteArray(c.ini).replace("é", "\xe9"));
        if (c.credentials) {
            ASSERT_TRUE(QFile::setPermissions(writeIni(dir, c.credentials, QStringLiteral("identifiants.ini")), c.permissions));
        }
        if (c.user.isEmpty()) {
            try {
                Config::readCredentials(ini);
                ADD_FAILURE() << "read";
            } catch (const Error &e) {
                EXPECT_TRUE(e.text().contains(dir.filePath(QStringLiteral("identifiants.ini")))) << e.text().toStdString();
                EXPECT_FALSE(e.text().contains(QStringLiteral("Pa55")));
            }
        } else {
            const Credentials got = Config::readCredentials(ini);
            EXPECT_EQ(got.user, c.user);
            EXPECT_EQ(got.password, c.password);
        }
    }
}

TEST(Config, BackupSettings)
{
    struct Case
    {
        const char *ini;
        int kept;
        bool beforeImport;
    } cases[] = {
        { "", 10, true },
        { "[Sauvegarde]\r\nCopiesAutomatiques=25\r\nAvantImportation=0\r\n", 25, false },
        { "[Sauvegarde]\r\nCopiesAutomatiques=0\r\nAvantImportation=1\r\n", 10, true },
        { "[sauvegarde]\r\ncopiesautomatiques= 4 \r\n", 4, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ini);
        QTemporaryDir dir;
        const Config::BackupSettings s = Config::readBackupSettings(writeIni(dir, c.ini));
        EXPECT_EQ(s.automaticCopiesKept, c.kept);
        EXPECT_EQ(s.copyBeforeImport, c.beforeImport);
    }
}

// Switching the database changes the line of Rep and no other byte of the
// file, which keeps its permissions: a password in it stays its owner's.
TEST(Config, WritingTheDirectoryChangesOnlyItsLine)
{
    struct Case
    {
        const char *name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        { "the key in place", "; poste 2\r\n[CheminBase]\r\nRep=/old\r\n[Identifiants]\r\nMotDePasse=Pa55\r\n",
            "; poste 2\r\n[CheminBase]\r\nRep=/new/donn\xe9\x65s\r\n[Identifiants]\r\nMotDePasse=Pa55\r\n" },
        { "no key in the section", "[cheminbase]\nAutre=1\n\n[Identifiants]\nMotDePasse=Pa55\n",
            "[cheminbase]\nAutre=1\nRep=/new/donn\xe9\x65s\n\n[Identifiants]\nMotDePasse=Pa55\n" },
        { "no section", "[Identifiants]\r\nMotDePasse=Pa55\r\n", "[Identifiants]\r\nMotDePasse=Pa55\r\n[CheminBase]\r\nRep=/new/donn\xe9\x65s\r\n" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString ini = writeIni(dir, c.before);
        QFile f(ini);
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        ASSERT_TRUE(Config::writeDatabaseDirectory(QStringLiteral("/new/données"), ini));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.after);
        f.close();
        EXPECT_EQ(QFileInfo(ini).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        EXPECT_EQ(Config::readDatabaseDirectory(ini), QStringLiteral("/new/données"));
    }
}
