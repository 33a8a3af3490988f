#include "core/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(IniFile, ProfileSemantics)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Zeta]\r\nB = two \r\nA=\"quoted\"\r\n[alpha]\r\nKey=caf\xe9\r\n");
    }
    IniFile ini(path);
    EXPECT_EQ(ini.readString(QStringLiteral("ZETA"), QStringLiteral("b"), QString()), QStringLiteral("two"));
    EXPECT_EQ(ini.readString(QStringLiteral("zeta"), QStringLiteral("A"), QString()), QStringLiteral("\"quoted\""));
    EXPECT_EQ(ini.readString(QStringLiteral("Alpha"), QStringLiteral("key"), QString()), QStringLiteral("café"));
    EXPECT_EQ(ini.readString(QStringLiteral("Alpha"), QStringLiteral("none"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(ini.sections(), (QStringList { QStringLiteral("Zeta"), QStringLiteral("alpha") }));
    EXPECT_EQ(ini.keys(QStringLiteral("zeta")), (QStringList { QStringLiteral("B"), QStringLiteral("A") }));

    ini.eraseSection(QStringLiteral("ZETA"));
    ini.writeString(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v é"));
    ASSERT_TRUE(ini.save());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_FALSE(written.contains("Zeta"));
    EXPECT_TRUE(written.contains("K=v \xe9\r\n"));
}
