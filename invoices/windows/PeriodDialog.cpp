#include "invoices/windows/PeriodDialog.h"

#include "ui/DateEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

PeriodDialog::PeriodDialog(QWidget *parent)
    : QDialog(parent)
    , fromDateEdit(new DateEdit(this))
    , toDateEdit(new DateEdit(this))
    , okButton(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Annuler"), this))
{
    setObjectName(QStringLiteral("PeriodDialog"));
    setWindowTitle(QStringLiteral("Selection Période"));
    setModal(true);
    fromDateEdit->setObjectName(QStringLiteral("fromDateEdit"));
    toDateEdit->setObjectName(QStringLiteral("toDateEdit"));
    for (DateEdit *d : { fromDateEdit, toDateEdit })
        d->setCalendarTitle(QStringLiteral("Veuillez selectioner le date"));
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));

    auto *form = new QFormLayout;
    auto *du = new QLabel(QStringLiteral("Du:"), this);
    du->setBuddy(fromDateEdit);
    auto *au = new QLabel(QStringLiteral("Au :"), this);
    au->setBuddy(toDateEdit);
    form->addRow(du, fromDateEdit);
    form->addRow(au, toDateEdit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

void PeriodDialog::showEvent(QShowEvent *event)
{
    fromDateEdit->setToday();
    toDateEdit->setToday();
    QDialog::showEvent(event);
}
