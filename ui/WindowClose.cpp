#include "ui/WindowClose.h"

#include <QMdiSubWindow>
#include <QWidget>

void closeWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    else
        window->close();
}
