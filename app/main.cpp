// kestra: the register's windowed program.

#include "app/CompanySelection.h"
#include "app/MainWindow.h"
#include "app/Windows.h"
#include "core/CharacterType.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/TerminationSignals.h"
#include "data/Config.h"
#include "data/DataModule.h"
#include "data/FbClient.h"
#include "data/InvoiceNumbering.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>

namespace {
QIcon programIcon()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("K"));
    return QIcon(pm);
}
} // namespace

int main(int argc, char **argv)
{
    blockTerminationSignals();
    QApplication app(argc, argv);
    useUtf8CharacterType();
    quitOnTerminationSignals();
    app.setApplicationName(QStringLiteral("Kestra"));
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setWindowIcon(programIcon());
    FormatSettings::current();

    QString missing;
    if (!FbClient::available(&missing)) {
        MessageBox::error(nullptr, missing);
        return 1;
    }

    // 1. The data module: a database failure is told and start-up goes on.
    Datadeclaration = new TDatadeclaration;
    try {
        Datadeclaration->DataModuleCreate(Config::defaultPath());
    } catch (const Error &e) {
        MessageBox::error(nullptr, e.text());
    }

    // 2. The main window, 3. the company selection, once.
    Frmmain = new TFrmmain;
    Datadeclaration->setWorkingContext(Frmmain);
    // The clerk may have written down the number the form showed.
    QObject::connect(Datadeclaration, &TDatadeclaration::orderNumberRetaken, Frmmain, [](int shown, int stored) {
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
