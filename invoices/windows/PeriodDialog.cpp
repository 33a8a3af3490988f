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
    , AsDateDu(new DateEdit(this))
    , AsDateAu(new DateEdit(this))
    , Bitnok(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this))
    , BitBtn2(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Annuler"), this))
{
    setObjectName(QStringLiteral("FrmSelDateDuAu"));
    setWindowTitle(QStringLiteral("Selection Période"));
    setModal(true);
    AsDateDu->setObjectName(QStringLiteral("AsDateDu"));
    AsDateAu->setObjectName(QStringLiteral("AsDateAu"));
    for (DateEdit *d : { AsDateDu, AsDateAu })
        d->setCalendarTitle(QStringLiteral("Veuillez selectioner le date"));
    Bitnok->setObjectName(QStringLiteral("Bitnok"));
    Bitnok->setDefault(true);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto *form = new QFormLayout;
    auto *du = new QLabel(QStringLiteral("Du:"), this);
    du->setBuddy(AsDateDu);
    auto *au = new QLabel(QStringLiteral("Au :"), this);
    au->setBuddy(AsDateAu);
    form->addRow(du, AsDateDu);
    form->addRow(au, AsDateAu);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bitnok);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(Bitnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

void PeriodDialog::showEvent(QShowEvent *event)
{
    AsDateDu->setToday();
    AsDateAu->setToday();
    QDialog::showEvent(event);
}
