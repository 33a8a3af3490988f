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

    // 1. The data module: a database failure is told and start-up goes on.
    Datadeclaration = new DataModule;
    try {
        Datadeclaration->DataModuleCreate(configuration);
    } catch (const Error &e) {
        MessageBox::error(nullptr, e.text());
    }

    // 2. The main window, 3. the company selection, once.
    Frmmain = new MainWindow;
    Datadeclaration->setWorkingContext(Frmmain);
    // The clerk may have written down the number the form showed.
    QObject::connect(Datadeclaration, &DataModule::orderNumberRetaken, Frmmain, [](int shown, int stored) {
        MessageBox::information(QApplication::activeWindow(), InvoiceNumbering::retakenMessage(shown, stored));
    });
    registerWindows();
    Frmmain->showMaximized();
    openCompanySelection(*Frmmain);

    const int rc = app.exec();

    // The end: windows go without their close handling, then pending work is committed.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    QList<QPointer<QWidget>> alive;
    for (QWidget *w : windows)
        if (w != Frmmain)
            alive << w;
    delete Frmmain;
    Frmmain = nullptr;
    for (const QPointer<QWidget> &w : alive)
        delete w.data();
    delete Datadeclaration;
    return rc;
}
