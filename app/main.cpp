// kestra: the register's windowed program.

#include "app/CommandLine.h"
#include "app/CompanySelection.h"
#include "app/FirstStartDialog.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/Windows.h"
#include "core/CharacterType.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/TerminationSignals.h"
#include "core/Translations.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "data/FbClient.h"
#include "data/InvoiceNumbering.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {
QStringList argumentList(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}
} // namespace

int main(int argc, char **argv)
{
    {
        QTextStream out(stdout);
        if (const std::optional<int> rc = CommandLine::answerBeforeStart(argumentList(argc, argv), out))
            return *rc;
    }
    blockTerminationSignals();
    QApplication app(argc, argv);
    CommandLine::processAfterStart(app);
    useUtf8CharacterType();
    quitOnTerminationSignals();
    app.setApplicationName(QStringLiteral("Kestra"));
    // Before the first window: the configuration's language, else the system's.
    Translations::install(app, Translations::choose(Config::configuredLanguage(), Translations::systemLanguages()));
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setWindowIcon(programIcon());
    FormatSettings::current();

    QString missing;
    if (!FbClient::available(&missing)) {
        MessageBox::error(nullptr, missing);
        return 1;
    }

    // Where the database is: the configuration found, or the first start's answer.
    const QString configuration = configurationForStart();
    if (configuration.isEmpty())
        return 0;

    // 1. The data module, created first and destroyed last: a database
    // failure is told and start-up goes on.
    DataModule module;
    try {
        module.openDatabase(configuration);
    } catch (const Error &e) {
        MessageBox::error(nullptr, e.text());
    }

    // 2. The main window, 3. the company selection, once.
    auto mainWindow = std::make_unique<MainWindow>();
    // The clerk may have written down the number the form showed.
    QObject::connect(&module, &DataModule::orderNumberRetaken, mainWindow.get(), [](int shown, int stored) {
        MessageBox::information(QApplication::activeWindow(), InvoiceNumbering::retakenMessage(shown, stored));
    });
    registerWindows(*mainWindow, module);
    mainWindow->showMaximized();
    openCompanySelection(*mainWindow, module);

    const int rc = app.exec();

    // The end: windows go without their close handling, then the data module
    // commits pending work.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    QList<QPointer<QWidget>> alive;
    for (QWidget *w : windows)
        if (w != mainWindow.get())
            alive << w;
    mainWindow.reset();
    for (const QPointer<QWidget> &w : alive)
        delete w.data();
    return rc;
}
