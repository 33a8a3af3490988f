#pragma once

#include <QDialog>

class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The question of the first start, when no configuration is found: where the
// database is. A new demonstration database, a new empty one (both in a
// folder it proposes), or one that exists in a folder of this machine or on
// a server ("serveur:/dir"). The answer is checked and carried out (the
// database made, or opened once to see that it is one), then written as the
// user's configuration; only then does the dialog close. Nothing that exists
// is overwritten: neither a database nor a configuration file.
class FirstStartDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FirstStartDialog(QWidget *parent = nullptr);

    // ~/Kestra/Donnees: beside the folders scripts/run.sh has always used.
    static QString proposedFolder();

    // After acceptance: the configuration written, and the directory in it.
    const QString &configurationPath() const { return m_configurationPath; }
    const QString &databaseDirectory() const { return m_databaseDirectory; }

    QRadioButton *demoButton;
    QRadioButton *emptyButton;
    QLineEdit *newFolderEdit;
    QPushButton *newFolderBrowse;
    QRadioButton *existingButton;
    QLineEdit *existingEdit;
    QPushButton *existingBrowse;
    QLabel *configurationLabel;
    QPushButton *continueButton;
    QPushButton *cancelButton;

public slots:
    void accept() override;

private:
    void nameControls();
    void layOut();
    // The three answers, each with its folder.
    QGridLayout *choiceGrid();
    QDialogButtonBox *dialogButtons();
    void updateControls();
    void browse(QLineEdit *edit);
    // Carries out the choice; throws Error with what the operator is told.
    QString carryOut();

    QString m_configurationPath;
    QString m_databaseDirectory;
};

// Where this start reads its configuration: the one found, else the one the
// first-start dialog writes. Empty when the operator chose to quit instead.
QString configurationForStart(QWidget *parent = nullptr);
