#pragma once

#include "ui/EntryForm.h"

class DataSet;
class DBComboBox;
class DBDateEdit;
class DBEdit;
class QLabel;
class QPushButton;

// One invoice of the shared invoice data set, entered or corrected: the
// client's fields come from the client register by code, the three tax
// amounts from the price and the rates. Not modal: the list stays usable.
class InvoiceForm : public EntryForm
{
    Q_OBJECT

public:
    InvoiceForm(DataSet *invoices, DataSet *clients, QWidget *parent = nullptr);

    // Shows the form with the focus on the quarter.
    void start();

    void DBEdit12Exit(); // quarter check
    void DBEdit1Exit(); // client lookup
    void DBEdit9Exit(); // FODEC
    void DBEdit10Exit(); // consumption duty
    void DBEdit14Exit(); // value-added tax
    void BitnokClick(FormResult result);
    void BitBtn1Click();

    DBEdit *DBEdit7; // IDENTIFIANT
    DBEdit *DBEdit11; // EXERCICE
    DBEdit *DBEdit12; // TRIMESTRE
    DBEdit *DBEdit2; // NUMEROORDRE
    DBEdit *DBEdit1; // CODE
    DBEdit *DBraisonsociale;
    DBComboBox *DBComboBox1;
    DBEdit *DBEactivite;
    DBEdit *DBEdit4;
    DBEdit *DBEdit3;
    DBDateEdit *DBDateEdit2;
    DBEdit *DBEdit5;
    DBDateEdit *DBDateEdit3;
    DBEdit *DBEdit8; // PRIXVENTE
    DBEdit *DBEdit9; // TAUXFODEC
    DBEdit *DBEdit6; // MONTANTFODEC
    DBEdit *DBEdit10; // TAUXDROITCONSOMMATION
    DBEdit *DBEdit13; // MONTANTDROITCONSOMMATION
    DBEdit *DBEdit14; // TAUXTVA
    DBEdit *DBEdit15; // MONTANTTVA
    QPushButton *Bitnok;
    QPushButton *BitBtn2;
    QPushButton *BitBtn1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeFocusBack(QWidget *next);

    DataSet *m_invoices;
    DataSet *m_clients;
};
