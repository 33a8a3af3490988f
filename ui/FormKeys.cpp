#include "ui/FormKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

FormKeys::FormKeys(QWidget *form)
    : QObject(form)
    , m_form(form)
{
}

void FormKeys::attach(QWidget *control)
{
    control->installEventFilter(this);
    if (QWidget *proxy = control->focusProxy())
        proxy->installEventFilter(this);
}

void FormKeys::attachButton(QWidget *button)
{
    button->installEventFilter(this);
    button->setProperty("kestraEnterPresses", true);
}

QWidget *FormKeys::neighbour(QWidget *from, bool forward) const
{
    QWidget *w = from;
    // The focus chain is circular; stop after one full turn.
    for (int guard = 0; guard < 10000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return nullptr;
        if (!m_form->isAncestorOf(w) || !w->isVisibleTo(m_form) || !w->isEnabled())
            continue;
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
            continue;
        return w;
    }
    return nullptr;
}

void FormKeys::move(QWidget *from, bool forward)
{
    if (QWidget *target = neighbour(from, forward))
        target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool FormKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return QObject::eventFilter(watched, event);

    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && widget->property("kestraEnterPresses").toBool()) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->click();
        return true;
    }
    if (widget->property("kestraEnterPresses").toBool())
        return QObject::eventFilter(watched, event);
    if (enter) {
        move(widget, true);
        return true;
    }
    if (key->key() == Qt::Key_Up) {
        move(widget, false);
        return true;
    }
    if (key->key() == Qt::Key_F10) {
        if (onSave)
            onSave();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
