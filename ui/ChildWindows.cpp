#include "ui/ChildWindows.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
QMdiSubWindow *frameOf(QWidget *w)
{
    for (; w; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub;
    return nullptr;
}
} // namespace

void openBeside(QWidget *owner, QWidget *window, bool maximised)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *ownerFrame = frameOf(owner);
    QMdiArea *area = ownerFrame ? ownerFrame->mdiArea() : nullptr;
    QWidget *focus = QApplication::focusWidget();
    const QPointer<QWidget> back(owner && owner->isAncestorOf(focus) ? focus : owner);
    if (!area) {
        if (owner)
            window->setParent(owner, Qt::Window);
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    QMdiSubWindow *sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(ownerFrame->windowIcon());
    if (maximised) {
        sub->showMaximized();
    } else {
        sub->resize(sub->sizeHint().expandedTo(window->minimumSizeHint()));
        QRect r = sub->geometry();
        r.moveCenter(area->viewport()->rect().center());
        sub->move(qMax(0, r.left()), qMax(0, r.top()));
        sub->show();
    }
    area->setActiveSubWindow(sub);
    // Back to the owner when done, not to whichever window the frame picks
    // (the one opened before it, maximised when this one was). The owner's
    // frame receives the call: addressed to the frame area, it never arrived
    // once the subwindow was gone.
    QObject::connect(
        sub, &QObject::destroyed, ownerFrame,
        [area, frame = QPointer<QMdiSubWindow>(ownerFrame), back] {
            if (!frame)
                return;
            area->setActiveSubWindow(frame);
            if (back)
                back->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}
