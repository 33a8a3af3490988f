// The calculator button: the office's own calculator beside the working
// directory first, else an installed one, started from the program itself.

#include "app/Calculator.h"

#include "app/MainWindow.h"
#include "tests/support/ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// An executable script at path that writes its own name into marker.
void writeCalculator(const QString &path, const QString &marker = QString())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    if (!marker.isEmpty())
        f.write(QStringLiteral("echo %1 > '%2'\n").arg(QFileInfo(path).fileName(), marker).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

} // namespace

TEST(Calculator, BesideTheWorkingDirectoryFirstThenTheFirstInstalled)
{
    const struct
    {
        const char *name;
        bool beside; // ../Source/Calc
        QStringList installed; // on the PATH
        QString expected; // "beside", a program name, or empty
    } cases[] = {
        { "nothing at all", false, {}, QString() },
        { "the office's own", true, { "gnome-calculator" }, "beside" },
        { "one installed", false, { "xcalc" }, "xcalc" },
        { "the desktop's before the others", false, { "xcalc", "galculator", "kcalc" }, "kcalc" },
        { "something else on the path", false, { "calc", "bc" }, QString() },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("Kestra/Programme"));
        const QString bin = root.filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        ScopedEnvironment env({ { "PATH", bin } }, root.filePath(QStringLiteral("Kestra/Programme")));
        if (c.beside)
            writeCalculator(root.filePath(QStringLiteral("Kestra/Source/Calc")));
        for (const QString &program : c.installed)
            writeCalculator(bin + QLatin1Char('/') + program);
        const QString expected = c.expected.isEmpty() ? QString()
            : c.expected == QLatin1String("beside")   ? root.filePath(QStringLiteral("Kestra/Source/Calc"))
                                                      : bin + QLatin1Char('/') + c.expected;
        EXPECT_EQ(Calculator::find(), expected);
    }
}

// The button starts the calculator found, without waiting for it; with none
// it does nothing.
TEST(Calculator, TheButtonStartsIt)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString marker = root.filePath(QStringLiteral("started"));
    writeCalculator(bin + QStringLiteral("/galculator"), marker);
    ScopedEnvironment env({ { "PATH", bin } }, root.path());
    MainWindow main;
    main.show();
    QTest::mouseClick(main.findChild<QToolButton *>(QStringLiteral("calculatorButton")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 20000));
    QFile started(marker);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(started.readAll().trimmed(), QByteArray("galculator"));

    QFile::remove(bin + QStringLiteral("/galculator"));
    QFile::remove(marker);
    QTest::mouseClick(main.findChild<QToolButton *>(QStringLiteral("calculatorButton")), Qt::LeftButton);
    QTest::qWait(300);
    EXPECT_FALSE(QFileInfo::exists(marker));
}
