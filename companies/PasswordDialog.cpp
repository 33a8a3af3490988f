#include "companies/PasswordDialog.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

PasswordDialog::PasswordDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , eMotPasse(new QLineEdit(this))
    , BitBtn1(new QPushButton(QStringLiteral("OK"), this))
    , BitBtn2(new QPushButton(QStringLiteral("Annuler"), this))
{
    setObjectName(QStringLiteral("FrmMotPasse"));
    setWindowTitle(QString());
    eMotPasse->setObjectName(QStringLiteral("eMotPasse"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto *label = new QLabel(QStringLiteral("Mot de Passe"), this);
    label->setBuddy(eMotPasse);
    eMotPasse->setEchoMode(QLineEdit::Password);
    eMotPasse->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // a star per character
    eMotPasse->setMinimumWidth(180);

    // Enter means OK wherever the focus is but on "Annuler"; Escape means Annuler.
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setVerticalSpacing(14);
    layout->addWidget(label, 0, 0);
    layout->addWidget(eMotPasse, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons, 1, 0, 1, 2);
    setFixedSize(sizeHint());
    eMotPasse->setFocus();
}

bool PasswordDialog::ask(QWidget *parent, QString &password)
{
    PasswordDialog dialog(parent);
    // Centred on the screen rather than on the window that asks.
    if (QScreen *s = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect r = dialog.frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        dialog.move(r.topLeft());
    }
    const bool ok = dialog.exec() == QDialog::Accepted;
    password = dialog.eMotPasse->text();
    return ok;
}
