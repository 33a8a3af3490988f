#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the administrator password before a company is deleted.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget *parent = nullptr);

    // Shows a new dialog modally; true when it was left with "OK", the typed
    // text in password.
    static bool ask(QWidget *parent, QString &password);

    QLineEdit *passwordEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
};
