#pragma once

#include <QString>

class QWidget;

// "Show error log after import": the log is handed to the desktop's opener
// (xdg-open), which picks the program registered for text files. Where no
// opener is installed, or it fails (no program registered, none that
// starts), the operator is told where the log is, in a box over parent (or
// on its own once parent is gone). The opener is not waited for, and it is
// left running when the wizard closes: it may be the program showing the log.
void OpenErrorLog(const QString &path, QWidget *parent);
