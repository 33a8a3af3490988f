#pragma once

#include <QDialog>

class DateEdit;
class QPushButton;

// Asks the period of the periodic statement: two dates, today by default.
class PeriodDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PeriodDialog(QWidget *parent = nullptr);

    DateEdit *fromDateEdit;
    DateEdit *toDateEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;

protected:
    void showEvent(QShowEvent *event) override;
};
