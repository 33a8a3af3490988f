#pragma once

#include "data/Config.h"
#include "data/DataReset.h"

#include <QDialog>

class Connection;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Erases the movements or everything entered, behind the administrator
// password. A separate window; closing it only hides it.
class ResetWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ResetWindow(Connection &connection, QWidget *parent = nullptr);

    static inline const QString NoChoiceMessage = QStringLiteral("Veuillez d'abord choisir le type d'initialisation.");
    static inline const QString CopyNote = QStringLiteral("Une copie de la base est faite d'abord, dans\n%1");
    static inline const QString CopyFailedMessage
        = QStringLiteral("L'initialisation n'a pas été lancée : la copie de la base qui la précède a échoué.\n%1");

    // The chosen type: 0 movements, 1 complete, -1 none yet.
    int itemIndex() const;

    // How the copy made before the reset is kept.
    Config::BackupSettings backupSettings;
    // The copy made by the last reset, empty until one is made.
    const QString &lastCopy() const { return m_lastCopy; }

    QGroupBox *depthGroup;
    QRadioButton *movements;
    QRadioButton *complete;
    QLabel *passwordLabel;
    QLineEdit *passwordEdit;
    QLabel *warningLabel;
    QPushButton *okButton;
    QPushButton *cancelButton;
    // Where the copy made first goes.
    QLabel *copyNote;
    StoredProcedure movementsReset;
    StoredProcedure completeReset;

public slots:
    void runReset();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Connection &m_connection;
    QString m_lastCopy;
};
