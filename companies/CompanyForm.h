#pragma once

#include "ui/EntryForm.h"

#include <QMap>
#include <QSet>
#include <QStringList>

class DBCheckBox;
class DBEdit;
class QFrame;
class QGroupBox;
class QFormLayout;
class QGridLayout;
class QLabel;
class QPushButton;

// One company of SOCIETE, typed or corrected over the current row of the
// shared company data set, which the company list has put into insert or
// edit mode. Enter and Up arrow move between the boxes, F10 saves and closes.
class CompanyForm : public EntryForm
{
    Q_OBJECT

public:
    explicit CompanyForm(DataSet *societes, QWidget *parent = nullptr);

    QFrame *bannerFrame;
    QGroupBox *identityGroup;
    DBEdit *identifierEdit;
    DBEdit *keyEdit;
    DBEdit *categoryEdit;
    DBEdit *establishmentEdit;
    DBEdit *yearEdit;
    DBEdit *nameEdit;
    DBEdit *activityEdit;
    QFrame *addressPanel;
    QLabel *addressLabel;
    DBEdit *cityEdit;
    DBEdit *streetEdit;
    DBEdit *numberEdit;
    DBEdit *postCodeEdit;
    DBCheckBox *activeCheck;
    QPushButton *okButton;
    QPushButton *cancelButton;
    QPushButton *closeButton;
    // Under the tax identifier: what the declaration's checks say of the
    // parts left so far, in red.
    QLabel *identityHint;

public slots:
    void save();
    void cancelEntry();
    void closeWithoutResult();
    // F10 in any text box: the result becomes OK, the row is posted and the
    // form closes; a refused post keeps it open with the result OK.
    void saveByKey();

    void padName();
    void padActivity();
    void padCity();
    void padStreet();
    void padNumber();
    void padPostCode();
    // The identifier checks of the part in that box, as it stands.
    void showIdentifierHint(DBEdit *box);

protected:
    // The close rule, whichever way the form is closed.
    void closeEvent(QCloseEvent *event) override;

private:
    DBEdit *textBox(const QString &objectName, const QString &column, int widthInCharacters);
    QLabel *labelFor(QWidget *control, const QString &caption);
    void buildLayout();
    QGridLayout *identifierRow();
    QFormLayout *companyRows();
    // The address in its white panel with a label reading downwards.
    void buildAddressPanel();
    // Appends blanks to the box's column up to its stored width.
    void padColumn(DBEdit *box);
    // Before a save: every padded text at its width, visited or not.
    void padAllColumns();

    bool m_closing = false;
    QMap<QString, QStringList> m_hints; // column -> messages
    QSet<DBEdit *> m_typedIn; // identifier boxes typed in since they were entered
};
