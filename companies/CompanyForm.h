#pragma once

#include "ui/EntryForm.h"

#include <QMap>
#include <QSet>
#include <QStringList>

class DBCheckBox;
class DBEdit;
class QFrame;
class QGroupBox;
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

    QFrame *Panel1;
    QGroupBox *GroupBox1;
    DBEdit *DBEcode;
    DBEdit *DBEdit1;
    DBEdit *DBEdit2;
    DBEdit *DBEdit3;
    DBEdit *DBEdit7;
    DBEdit *DBraisonsociale;
    DBEdit *DBEactivite;
    QFrame *Panel2;
    QLabel *LabelAdresse;
    DBEdit *DBEadresse;
    DBEdit *DBEtelephone;
    DBEdit *DBEdit4;
    DBEdit *DBEdit5;
    DBCheckBox *DBCheckSaisie;
    QPushButton *Bitnok;
    QPushButton *BitBtn2;
    QPushButton *BitBtn1;
    // Under the tax identifier: what the declaration's checks say of the
    // parts left so far, in red.
    QLabel *IdentiteHint;

public slots:
    void BitnokClick();
    void BitBtn2Click();
    void BitBtn1Click();
    // F10 in any text box: the result becomes OK, the row is posted and the
    // form closes; a refused post keeps it open with the result OK.
    void F10Press();

    void DBraisonsocialeExit();
    void DBEactiviteExit();
    void DBEadresseExit();
    void DBEtelephoneExit();
    void DBEdit4Exit();
    void DBEdit5Exit();
    // The identifier checks of the part in that box, as it stands.
    void showIdentifierHint(DBEdit *box);

protected:
    // The close rule, whichever way the form is closed.
    void closeEvent(QCloseEvent *event) override;

private:
    DBEdit *textBox(const QString &objectName, const QString &column, int widthInCharacters);
    QLabel *labelFor(QWidget *control, const QString &caption);
    void buildLayout();
    // Appends blanks to the box's column up to its stored width.
    void padColumn(DBEdit *box);
    // Before a save: every padded text at its width, visited or not.
    void padAllColumns();

    bool m_closing = false;
    QMap<QString, QStringList> m_hints; // column -> messages
    QSet<DBEdit *> m_typedIn; // identifier boxes typed in since they were entered
};
