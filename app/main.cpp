// kestra: the register's windowed program.

#include "app/MainWindow.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "data/FbClient.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestra"));
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    FormatSettings::current();

    QString missing;
    if (!FbClient::available(&missing)) {
        MessageBox::error(nullptr, missing);
        return 1;
    }

    // The data module comes first; a database failure is told and start-up goes on.
    Datadeclaration = new TDatadeclaration;
    try {
        Datadeclaration->DataModuleCreate(Config::defaultPath());
    } catch (const Error &e) {
        MessageBox::error(nullptr, e.text());
    }

    Frmmain = new TFrmmain;
    Frmmain->showMaximized();

    const int rc = app.exec();
    delete Frmmain;
    Frmmain = nullptr;
    delete Datadeclaration; // commits what is still pending
    return rc;
}
