#pragma once

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
class TFrminitialisation : public QDialog
{
    Q_OBJECT

public:
    explicit TFrminitialisation(Connection &connection, QWidget *parent = nullptr);

    static inline const QString NoChoiceMessage = QStringLiteral("Veuillez d'abord choisir le type d'initialisation.");

    // The chosen type: 0 movements, 1 complete, -1 none yet.
    int itemIndex() const;

    QGroupBox *RGTypeIni;
    QRadioButton *movements;
    QRadioButton *complete;
    QLabel *Label2;
    QLineEdit *eMotPasse;
    QLabel *Label1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    StoredProcedure Initialisationmvt;
    StoredProcedure INITIALISATIONCOMPLETE;

public slots:
    void BitBtn1Click();
};
