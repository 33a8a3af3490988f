#pragma once

#include "ui/MessageBox.h"

// Message boxes answered automatically for the scope of a test, then shown
// again as before.
class ScopedAutoAnswer
{
public:
    explicit ScopedAutoAnswer(QMessageBox::StandardButton answer)
        : m_saved(MessageBox::autoAnswer())
    {
        MessageBox::setAutoAnswer(answer);
    }
    ~ScopedAutoAnswer() { MessageBox::setAutoAnswer(m_saved); }
    ScopedAutoAnswer(const ScopedAutoAnswer &) = delete;
    ScopedAutoAnswer &operator=(const ScopedAutoAnswer &) = delete;

private:
    QMessageBox::StandardButton m_saved;
};
