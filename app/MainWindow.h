#pragma once

#include "core/WorkingContext.h"

#include <QMainWindow>

class QMdiArea;

// The frame of the program: menu, tool bar, the working context panel and the
// child windows. The working context's twelve texts are public members.
class TFrmmain : public QMainWindow, public WorkingContext
{
    Q_OBJECT

public:
    explicit TFrmmain(QWidget *parent = nullptr);
    QMdiArea *mdiArea() const { return m_mdi; }

private:
    QMdiArea *m_mdi;
};

extern TFrmmain *Frmmain;
