#pragma once

#include <QDate>
#include <QString>

class QWidget;

// A month calendar in a small modal dialog: the date edits' button.
namespace CalendarDialog {
// True and the chosen date when the operator confirms.
bool pick(QWidget *parent, const QString &title, const QDate &initial, QDate &chosen);
} // namespace CalendarDialog
