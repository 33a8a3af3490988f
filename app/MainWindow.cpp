#include "app/MainWindow.h"

#include <QMdiArea>
#include <QScreen>

TFrmmain *Frmmain = nullptr;

TFrmmain::TFrmmain(QWidget *parent)
    : QMainWindow(parent)
    , m_mdi(new QMdiArea(this))
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Kestra de la TVA"));
    setCentralWidget(m_mdi);
    // Without a window manager "maximised" is only a wish: take the screen.
    if (QScreen *s = screen())
        setGeometry(s->availableGeometry());
}
