#pragma once

#include "ui/EntryForm.h"

class DataSet;
class DBComboBox;
class DBDateEdit;
class DBEdit;
class QGroupBox;
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

    void checkQuarter(); // quarter check
    void lookUpClient(); // client lookup
    void recomputeFodec(); // FODEC
    void recomputeDuty(); // consumption duty
    void recomputeVat(); // value-added tax
    void finish(FormResult result);
    void closeWithoutResult();

    DBEdit *companyIdEdit; // IDENTIFIANT
    DBEdit *yearEdit; // EXERCICE
    DBEdit *quarterEdit; // TRIMESTRE
    DBEdit *orderNumberEdit; // NUMEROORDRE
    DBEdit *clientCodeEdit; // CODE
    DBEdit *clientIdEdit;
    DBComboBox *clientIdTypeCombo;
    DBEdit *clientNameEdit;
    DBEdit *clientAddressEdit;
    DBEdit *authorisationNumberEdit;
    DBDateEdit *authorisationDateEdit;
    DBEdit *invoiceNumberEdit;
    DBDateEdit *invoiceDateEdit;
    DBEdit *priceEdit; // PRIXVENTE
    DBEdit *fodecRateEdit; // TAUXFODEC
    DBEdit *fodecAmountEdit; // MONTANTFODEC
    DBEdit *dutyRateEdit; // TAUXDROITCONSOMMATION
    DBEdit *dutyAmountEdit; // MONTANTDROITCONSOMMATION
    DBEdit *vatRateEdit; // TAUXTVA
    DBEdit *vatAmountEdit; // MONTANTTVA
    QPushButton *okButton;
    QPushButton *cancelButton;
    QPushButton *closeButton;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createEditors(DataSet *invoices);
    void createButtons();
    QGroupBox *invoiceGroup();
    QGroupBox *clientGroup();
    QGroupBox *documentGroup();
    QGroupBox *amountsGroup();
    void layOutSheet();
    void setKeyboardOrder();
    void connectHandlers();
    void takeFocusBack(QWidget *next);

    DataSet *m_invoices;
    DataSet *m_clients;
};
