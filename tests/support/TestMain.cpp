// Test entry point: an application object first, as the program has one.

#include "core/CharacterType.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef KESTRA_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The C locale gives the program's own French conventions, whatever the
    // machine's: expected texts do not depend on where the tests run.
    if (qEnvironmentVariableIsEmpty("KESTRA_TEST_LOCALE"))
        qputenv("LC_ALL", "C");
    // Widgets are driven on the offscreen platform, also when tests are listed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the program keeps in the user's data directory (the automatic
    // copies of a server's database) goes to a directory of this run, it
    // and the programs it starts: a test run leaves nothing in a home.
    QTemporaryDir dataHome;
    if (dataHome.isValid())
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    TestApplication app(argc, argv);
    useUtf8CharacterType();
    return RUN_ALL_TESTS();
}
