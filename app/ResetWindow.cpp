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
    , RGTypeIni(new QGroupBox(QStringLiteral(" Type d'Initialisation "), this))
    , movements(new QRadioButton(QStringLiteral("Initialisation Des Mouvements"), RGTypeIni))
    , complete(new QRadioButton(QStringLiteral("Initialisation Complète"), RGTypeIni))
    , Label2(new QLabel(QStringLiteral("Mot de Passe"), this))
    , eMotPasse(new QLineEdit(this))
    , Label1(
          new QLabel(QStringLiteral("Cette Procedure efface toutes les données saisie, \nles données ne seront plus récupérables."), this))
    , BitBtn1(new QPushButton(QStringLiteral("OK"), this))
    , BitBtn2(new QPushButton(QStringLiteral("Cancel"), this))
    , copyNote(new QLabel(this))
    , Initialisationmvt(connection, DataReset::procedureName(DataReset::Depth::Movements))
    , INITIALISATIONCOMPLETE(connection, DataReset::procedureName(DataReset::Depth::Complete))
    , m_connection(connection)
{
    setObjectName(QStringLiteral("Frminitialisation"));
    setWindowTitle(QStringLiteral("Initialisation"));
    setModal(false);
    RGTypeIni->setObjectName(QStringLiteral("RGTypeIni"));
    Label2->setObjectName(QStringLiteral("Label2"));
    eMotPasse->setObjectName(QStringLiteral("eMotPasse"));
    Label1->setObjectName(QStringLiteral("Label1"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    copyNote->setObjectName(QStringLiteral("copyNote"));
    copyNote->setAlignment(Qt::AlignCenter);
    copyNote->setWordWrap(true);

    // Neither type is chosen when the window opens.
    auto *choices = new QButtonGroup(this);
    choices->addButton(movements, 0);
    choices->addButton(complete, 1);
    auto *choiceLayout = new QVBoxLayout(RGTypeIni);
    choiceLayout->addWidget(movements);
    choiceLayout->addWidget(complete);

    Label2->setBuddy(eMotPasse);
    eMotPasse->setEchoMode(QLineEdit::Password);
    eMotPasse->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // a star per character
    eMotPasse->setMinimumWidth(180);

    Label1->setAlignment(Qt::AlignCenter);
    Label1->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));

    // Enter runs the reset, Escape leaves the window.
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &ResetWindow::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::close);

    auto *password = new QHBoxLayout;
    password->addWidget(Label2);
    password->addWidget(eMotPasse, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(12);
    layout->addWidget(RGTypeIni);
    layout->addLayout(password);
    layout->addWidget(Label1);
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

void ResetWindow::BitBtn1Click()
{
    if (!DataReset::passwordAccepted(eMotPasse->text())) {
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
        (index == 0 ? Initialisationmvt : INITIALISATIONCOMPLETE).execute();
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
