#include "data/Config.h"

#include <QFile>
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
