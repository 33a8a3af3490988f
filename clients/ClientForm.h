#pragma once

#include "ui/EntryForm.h"

#include <QStringList>

class DBComboBox;
class DBDateEdit;
class DBEdit;
class QGridLayout;
class QLabel;
class QPushButton;

// The entry form of one client, over the current row of the shared client
// data set (a new row or one put in edit by the client list). "OK", or F10
// and then any way out, posts; every other way out cancels.
class ClientForm : public EntryForm
{
    Q_OBJECT

public:
    explicit ClientForm(DataSet *tiers, QWidget *parent = nullptr);

    static inline const QStringList TypeIdentifiantItems = {
        QStringLiteral("1: Matricule Fiscal"),
        QStringLiteral("2: N° CIN"),
        QStringLiteral("3: N° C.Séjour"),
        QStringLiteral("4: Identifiant des Personnes non Domiciliées ni etablies en Tunisie"),
    };
    static inline const QStringList PhysiqueMoraleItems = {
        QStringLiteral("1: Personne Physique"),
        QStringLiteral("2: Personne Morale"),
    };

    DBEdit *codeEdit;
    DBComboBox *idTypeCombo;
    DBEdit *identifierEdit;
    DBComboBox *personKindCombo;
    DBEdit *nameEdit;
    DBEdit *addressEdit;
    DBEdit *authorisationNumberEdit;
    DBDateEdit *authorisationDateEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
    QPushButton *closeButton;
    // Beside the identifier: what the declaration's checks say of it, in red.
    QLabel *identifierHint;

    void focusNextField();
    void focusPreviousField();
    void padIdentifier();
    void padName();
    void padAddress();
    // The identifier checks on the kind and the identifier as they stand.
    void showIdentifierHint();
    void finish(FormResult result);
    void closeWithoutResult();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindControls(DataSet *tiers);
    void setUpButtons();
    void connectHandlers();
    void layOut();
    void padField(const char *fieldName, int width);
    QLabel *addRow(const QString &caption, QWidget *control, int width);

    int m_rows = 0;
    QGridLayout *m_grid;
    bool m_shown = false;
};
