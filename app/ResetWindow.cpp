#include "app/ResetWindow.h"

#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/Connection.h"
#include "ui/MessageBox.h"
#include "ui/OperationProgress.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ResetWindow::ResetWindow(Connection &connection, QWidget *parent)
    : QDialog(parent)
    , depthGroup(new QGroupBox(QStringLiteral(" Type d'Initialisation "), this))
    , movements(new QRadioButton(QStringLiteral("Initialisation Des Mouvements"), depthGroup))
    , complete(new QRadioButton(QStringLiteral("Initialisation Complète"), depthGroup))
    , passwordLabel(new QLabel(QStringLiteral("Mot de Passe"), this))
    , passwordEdit(new QLineEdit(this))
    , warningLabel(
          new QLabel(QStringLiteral("Cette Procedure efface toutes les données saisie, \nles données ne seront plus récupérables."), this))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
    , copyNote(new QLabel(this))
    , movementsReset(connection, DataReset::procedureName(DataReset::Depth::Movements))
    , completeReset(connection, DataReset::procedureName(DataReset::Depth::Complete))
    , m_connection(connection)
{
    setObjectName(QStringLiteral("ResetWindow"));
    setWindowTitle(QStringLiteral("Initialisation"));
    setModal(false);
    depthGroup->setObjectName(QStringLiteral("depthGroup"));
    passwordLabel->setObjectName(QStringLiteral("passwordLabel"));
    passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    warningLabel->setObjectName(QStringLiteral("warningLabel"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    copyNote->setObjectName(QStringLiteral("copyNote"));
    copyNote->setAlignment(Qt::AlignCenter);
    copyNote->setWordWrap(true);

    // Neither type is chosen when the window opens.
    auto *choices = new QButtonGroup(this);
    choices->addButton(movements, 0);
    choices->addButton(complete, 1);
    auto *choiceLayout = new QVBoxLayout(depthGroup);
    choiceLayout->addWidget(movements);
    choiceLayout->addWidget(complete);

    passwordLabel->setBuddy(passwordEdit);
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // a star per character
    passwordEdit->setMinimumWidth(180);

    warningLabel->setAlignment(Qt::AlignCenter);
    warningLabel->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));

    // Enter runs the reset, Escape leaves the window.
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &ResetWindow::runReset);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::close);

    auto *password = new QHBoxLayout;
    password->addWidget(passwordLabel);
    password->addWidget(passwordEdit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(12);
    layout->addWidget(depthGroup);
    layout->addLayout(password);
    layout->addWidget(warningLabel);
    layout->addWidget(copyNote);
    layout->addLayout(buttons);
}

int ResetWindow::itemIndex() const
{
    if (movements->isChecked())
        return 0;
    if (complete->isChecked())
        return 1;
    return -1;
}

void ResetWindow::runReset()
{
    if (!DataReset::passwordAccepted(passwordEdit->text())) {
        MessageBox::show(this, QMessageBox::Warning, MessageBox::applicationCaption(), QStringLiteral("Mot de Passe Incorrect"));
        return;
    }
    // Erasing everything because no type was chosen would lose what the
    // operator meant to keep: ask instead.
    const int index = itemIndex();
    if (index < 0) {
        MessageBox::show(this, QMessageBox::Warning, MessageBox::applicationCaption(), NoChoiceMessage);
        return;
    }
    // A reset pressed on the wrong company can be undone: a copy of the
    // database is made first, and without it nothing is erased.
    try {
        OperationProgress progress(this, QStringLiteral("Copie de la base avant l'initialisation"));
        m_lastCopy = AutomaticCopies::make(m_connection, Backup::Kind::BeforeReset, backupSettings, progress.callback()).file;
    } catch (const Error &e) {
        MessageBox::error(this, CopyFailedMessage.arg(e.text()));
        return;
    }
    try {
        (index == 0 ? movementsReset : completeReset).execute();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    MessageBox::information(this, QStringLiteral("Initialisation efféctuée"));
    close();
}

void ResetWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    copyNote->setText(CopyNote.arg(AutomaticCopies::directory(m_connection.databaseName(), backupSettings)));
}
