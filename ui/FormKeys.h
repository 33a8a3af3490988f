#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

// The keyboard of the entry forms: Enter moves to the next control in tab
// order (round to the first after the last), Up arrow to the previous one, F10
// runs the form's own action. Controls opt in one by one, as each form
// decides which of its controls take part.
class FormKeys : public QObject
{
    Q_OBJECT

public:
    explicit FormKeys(QWidget *form);

    void attach(QWidget *control);
    // Enter on this button presses it.
    void attachButton(QWidget *button);
    // F10: the form saves (sets its result) before it closes.
    std::function<void()> onSave;

    // The next (or previous) tab stop of the form after `from`.
    QWidget *neighbour(QWidget *from, bool forward) const;
    void move(QWidget *from, bool forward);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_form;
};
