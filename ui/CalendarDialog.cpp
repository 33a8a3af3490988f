#include "ui/CalendarDialog.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace CalendarDialog {

bool pick(QWidget *parent, const QString &title, const QDate &initial, QDate &chosen)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CalendarDialog"));
    dialog.setWindowTitle(title);
    auto *calendar = new QCalendarWidget(&dialog);
    calendar->setObjectName(QStringLiteral("Calendar"));
    calendar->setGridVisible(true);
    calendar->setSelectedDate(initial.isValid() ? initial : QDate::currentDate());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = calendar->selectedDate();
    return true;
}

} // namespace CalendarDialog
