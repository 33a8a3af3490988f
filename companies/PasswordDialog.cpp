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
    , passwordEdit(new QLineEdit(this))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(QStringLiteral("Annuler"), this))
{
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(QString());
    passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));

    auto *label = new QLabel(QStringLiteral("Mot de Passe"), this);
    label->setBuddy(passwordEdit);
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // a star per character
    passwordEdit->setMinimumWidth(180);

    // Enter means OK wherever the focus is but on "Annuler"; Escape means Annuler.
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setVerticalSpacing(14);
    layout->addWidget(label, 0, 0);
    layout->addWidget(passwordEdit, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons, 1, 0, 1, 2);
    setFixedSize(sizeHint());
    passwordEdit->setFocus();
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
    password = dialog.passwordEdit->text();
    return ok;
}
