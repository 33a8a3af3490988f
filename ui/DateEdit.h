#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A date typed in the short date format or chosen in a calendar; the text is
// what the caller reads.
class DateEdit : public QWidget
{
    Q_OBJECT

public:
    explicit DateEdit(QWidget *parent = nullptr);
    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    QString text() const;
    void setText(const QString &text);
    void setCalendarTitle(const QString &title) { m_title = title; }
    void setToday();

signals:
    // A date was chosen in the calendar.
    void picked();

private:
    void pick();

    QLineEdit *m_edit;
    QToolButton *m_button;
    QString m_title;
};
