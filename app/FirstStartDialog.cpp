#include "app/FirstStartDialog.h"

#include "app/ProgramIcon.h"
#include "app/cli/NewDatabase.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// "~" and "~/..." as a shell reads them; anything else as typed.
QString expandedFolder(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text == QLatin1String("~"))
        return QDir::homePath();
    if (text.startsWith(QLatin1String("~/")))
        return QDir::homePath() + text.mid(1);
    return text;
}

bool holdsDatabase(const QString &folder)
{
    return QFileInfo(Config::databaseName(folder)).isFile();
}

} // namespace

FirstStartDialog::FirstStartDialog(QWidget *parent)
    : QDialog(parent)
    , demoButton(new QRadioButton(tr("Créer la base de &démonstration : une société, ses clients et ses factures d'exemple"), this))
    , emptyButton(new QRadioButton(tr("Créer une base &vide"), this))
    , newFolderEdit(new QLineEdit(this))
    , newFolderBrowse(new QPushButton(tr("Parcourir…"), this))
    , existingButton(new QRadioButton(tr("&Utiliser une base existante : un dossier de ce poste ou un serveur (serveur:/dossier)"), this))
    , existingEdit(new QLineEdit(this))
    , existingBrowse(new QPushButton(tr("Parcourir…"), this))
    , configurationLabel(new QLabel(this))
    , continueButton(new QPushButton(tr("&Continuer"), this))
    , cancelButton(new QPushButton(tr("&Quitter"), this))
{
    setObjectName(QStringLiteral("FirstStartDialog"));
    setWindowTitle(tr("Kestra de la TVA – première utilisation"));
    setWindowIcon(programIcon());
    nameControls();
    layOut();
    for (QRadioButton *b : { demoButton, emptyButton, existingButton })
        connect(b, &QRadioButton::toggled, this, &FirstStartDialog::updateControls);
    connect(newFolderBrowse, &QPushButton::clicked, this, [this] { browse(newFolderEdit); });
    connect(existingBrowse, &QPushButton::clicked, this, [this] { browse(existingEdit); });
    updateControls();
    setMinimumWidth(640);
}

void FirstStartDialog::nameControls()
{
    demoButton->setObjectName(QStringLiteral("demoButton"));
    emptyButton->setObjectName(QStringLiteral("emptyButton"));
    newFolderEdit->setObjectName(QStringLiteral("newFolderEdit"));
    newFolderBrowse->setObjectName(QStringLiteral("newFolderBrowse"));
    existingButton->setObjectName(QStringLiteral("existingButton"));
    existingEdit->setObjectName(QStringLiteral("existingEdit"));
    existingBrowse->setObjectName(QStringLiteral("existingBrowse"));
    configurationLabel->setObjectName(QStringLiteral("configurationLabel"));
    continueButton->setObjectName(QStringLiteral("continueButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
}

void FirstStartDialog::layOut()
{
    auto *icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto *welcome = new QLabel(tr("<b>Bienvenue dans Kestra de la TVA.</b><br>"
                                  "Aucune base de données n'est encore indiquée à ce poste. Où Kestra doit-il travailler ?"),
        this);
    welcome->setWordWrap(true);

    QGridLayout *grid = choiceGrid();
    QDialogButtonBox *buttons = dialogButtons();

    auto *text = new QVBoxLayout;
    text->addWidget(welcome);
    text->addSpacing(8);
    text->addLayout(grid);
    text->addSpacing(8);
    text->addWidget(configurationLabel);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QGridLayout *FirstStartDialog::choiceGrid()
{
    auto *newFolderLabel = new QLabel(tr("Dossier de la &nouvelle base :"), this);
    newFolderLabel->setBuddy(newFolderEdit);
    auto *existingLabel = new QLabel(tr("D&ossier ou serveur de la base :"), this);
    existingLabel->setBuddy(existingEdit);
    newFolderEdit->setText(QDir::toNativeSeparators(proposedFolder()));
    existingEdit->setPlaceholderText(tr("/srv/kestra ou serveur:/srv/kestra"));

    auto *choices = new QButtonGroup(this);
    choices->addButton(demoButton);
    choices->addButton(emptyButton);
    choices->addButton(existingButton);
    // A database already in the proposed folder is most likely the one wanted.
    if (holdsDatabase(proposedFolder())) {
        existingButton->setChecked(true);
        existingEdit->setText(QDir::toNativeSeparators(proposedFolder()));
    } else {
        demoButton->setChecked(true);
    }

    configurationLabel->setText(tr("La réponse sera enregistrée dans %1.").arg(QDir::toNativeSeparators(Config::userPath())));
    configurationLabel->setWordWrap(true);
    configurationLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 24);
    grid->addWidget(demoButton, 0, 0, 1, 3);
    grid->addWidget(emptyButton, 1, 0, 1, 3);
    grid->addWidget(newFolderLabel, 2, 1, 1, 2);
    grid->addWidget(newFolderEdit, 3, 1);
    grid->addWidget(newFolderBrowse, 3, 2);
    grid->setRowMinimumHeight(4, 12);
    grid->addWidget(existingButton, 5, 0, 1, 3);
    grid->addWidget(existingLabel, 6, 1, 1, 2);
    grid->addWidget(existingEdit, 7, 1);
    grid->addWidget(existingBrowse, 7, 2);
    grid->setColumnStretch(1, 1);
    return grid;
}

QDialogButtonBox *FirstStartDialog::dialogButtons()
{
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(continueButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton, QDialogButtonBox::RejectRole);
    continueButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &FirstStartDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FirstStartDialog::reject);
    return buttons;
}

QString FirstStartDialog::proposedFolder()
{
    return QDir::homePath() + QStringLiteral("/Kestra/Donnees");
}

void FirstStartDialog::updateControls()
{
    const bool creating = !existingButton->isChecked();
    newFolderEdit->setEnabled(creating);
    newFolderBrowse->setEnabled(creating);
    existingEdit->setEnabled(!creating);
    existingBrowse->setEnabled(!creating);
}

void FirstStartDialog::browse(QLineEdit *edit)
{
    const QString start = expandedFolder(edit->text());
    const QString chosen
        = QFileDialog::getExistingDirectory(this, tr("Dossier de la base"), QFileInfo(start).isDir() ? start : QDir::homePath());
    if (!chosen.isEmpty())
        edit->setText(QDir::toNativeSeparators(chosen));
}

QString FirstStartDialog::carryOut()
{
    const bool existing = existingButton->isChecked();
    QLineEdit *edit = existing ? existingEdit : newFolderEdit;
    QString directory = expandedFolder(edit->text());
    if (directory.isEmpty())
        throw Error(tr("Indiquez le dossier de la base."));
    const bool server = Config::isServerDirectory(directory);
    if (!server)
        directory = QDir::cleanPath(QDir(directory).absolutePath());

    if (!existing) {
        if (!server && holdsDatabase(directory))
            throw Error(tr("Le dossier %1 contient déjà une base Kestra. Elle n'est pas remplacée : choisissez « Utiliser une base "
                           "existante » pour l'ouvrir, ou un autre dossier.")
                            .arg(QDir::toNativeSeparators(directory)));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            NewDatabase::create(directory, demoButton->isChecked());
        } catch (const Error &) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
    } else {
        if (!server && !holdsDatabase(directory))
            throw Error(tr("Le dossier %1 ne contient pas de base Kestra (%2).")
                            .arg(QDir::toNativeSeparators(directory), Config::DatabaseFileName));
        // Opened once, so that a wrong server or a file that is no database
        // is told now rather than at every start.
        Connection connection;
        connection.setDatabaseName(Config::databaseName(directory));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            connection.open();
            connection.close();
        } catch (const Error &e) {
            QApplication::restoreOverrideCursor();
            throw Error(tr("La base %1 ne peut pas être ouverte :\n%2").arg(Config::databaseName(directory), e.text()));
        }
        QApplication::restoreOverrideCursor();
    }
    const QString path = Config::userPath();
    Config::writeNew(path, directory);
    m_databaseDirectory = directory;
    return path;
}

void FirstStartDialog::accept()
{
    try {
        m_configurationPath = carryOut();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    QDialog::accept();
}

QString configurationForStart(QWidget *parent)
{
    const QString found = Config::locate();
    if (!found.isEmpty())
        return found;
    FirstStartDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.configurationPath();
}
