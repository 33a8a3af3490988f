#include "ui/DateEdit.h"

#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Formatting.h"
#include "ui/CalendarDialog.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace {
// A date is replaced more often than corrected: entered from the keyboard or
// on opening its window, the box selects its text so that typing replaces it.
// A click places the cursor as usual.
class DateLineEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason)
            selectAll();
    }
};
} // namespace

DateEdit::DateEdit(QWidget *parent)
    : QWidget(parent)
    , m_edit(new DateLineEdit(this))
    , m_button(new QToolButton(this))
    , m_title(QStringLiteral("Calendrier"))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(QStringLiteral("Calendrier"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_edit->setMaxLength(10);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &DateEdit::pick);
}

QString DateEdit::text() const
{
    return m_edit->text();
}

void DateEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

void DateEdit::setToday()
{
    m_edit->setText(dateToStr(DateTime::today()));
}

void DateEdit::pick()
{
    double current = 0;
    QDate initial = QDate::currentDate();
    if (tryStrToDate(m_edit->text().trimmed(), current))
        initial = DateTime::toQDate(current);
    QDate chosen;
    if (!CalendarDialog::pick(this, m_title, initial, chosen))
        return;
    m_edit->setText(dateToStr(DateTime::fromQDate(chosen)));
    emit picked();
}
