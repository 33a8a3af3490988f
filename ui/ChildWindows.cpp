#include "ui/ChildWindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

void openBeside(QWidget *owner, QWidget *window, bool maximised)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea *area = nullptr;
    for (QWidget *w = owner; w && !area; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            area = sub->mdiArea();
    if (!area) {
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    QMdiSubWindow *sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (maximised) {
        sub->showMaximized();
    } else {
        sub->resize(sub->sizeHint().expandedTo(window->minimumSizeHint()));
        // centred in the frame, within its bounds
        QRect r = sub->geometry();
        r.moveCenter(area->viewport()->rect().center());
        sub->move(qMax(0, r.left()), qMax(0, r.top()));
        sub->show();
    }
    area->setActiveSubWindow(sub);
}
