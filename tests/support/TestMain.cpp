// Test entry point: an application object first, as the program has one.

#include "core/CharacterType.h"

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
    TestApplication app(argc, argv);
    useUtf8CharacterType();
    return RUN_ALL_TESTS();
}
