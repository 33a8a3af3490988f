#include "invoices/windows/InvoiceForm.h"

#include "clients/ClientPicker.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "invoices/InvoiceRules.h"
#include "ui/BoundEditors.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <class Editor> Editor *editor(QWidget *parent, const char *name, DataSet *ds, const char *field)
{
    auto *e = new Editor(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setField(ds, QString::fromLatin1(field));
    return e;
}

// One labelled row of a group: the label names the control for operators and
// assistive technologies alike.
void addRow(QGridLayout *grid, int row, int column, const QString &caption, QWidget *control, int span = 1)
{
    auto *label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, column * 2);
    grid->addWidget(control, row, column * 2 + 1, 1, span);
}

} // namespace

InvoiceForm::InvoiceForm(DataSet *invoices, DataSet *clients, QWidget *parent)
    : EntryForm(invoices, parent)
    , m_invoices(invoices)
    , m_clients(clients)
{
    setObjectName(QStringLiteral("InvoiceForm"));
    setWindowTitle(QStringLiteral("Mise à Jour des Factures"));
    createEditors(invoices);
    createButtons();
    layOutSheet();
    setKeyboardOrder();
    connectHandlers();
    setMinimumWidth(640);
}

void InvoiceForm::createEditors(DataSet *invoices)
{
    companyIdEdit = editor<DBEdit>(this, "companyIdEdit", invoices, "IDENTIFIANT");
    yearEdit = editor<DBEdit>(this, "yearEdit", invoices, "EXERCICE");
    quarterEdit = editor<DBEdit>(this, "quarterEdit", invoices, "TRIMESTRE");
    orderNumberEdit = editor<DBEdit>(this, "orderNumberEdit", invoices, "NUMEROORDRE");
    clientCodeEdit = editor<DBEdit>(this, "clientCodeEdit", invoices, "CODE");
    clientIdEdit = editor<DBEdit>(this, "clientIdEdit", invoices, "IDENTIFIANTCLIENT");
    clientIdTypeCombo = new DBComboBox(this);
    clientIdTypeCombo->setObjectName(QStringLiteral("clientIdTypeCombo"));
    clientIdTypeCombo->addItems({ QStringLiteral("1: Matricule Fiscal"), QStringLiteral("2: N° CIN"), QStringLiteral("3: N° C.Séjour"),
        QStringLiteral("4: Ident des Person. Non Domic. Ni Etablies En Tunisie") });
    clientIdTypeCombo->setField(invoices, QStringLiteral("TYPEIDCLIENT"));
    clientNameEdit = editor<DBEdit>(this, "clientNameEdit", invoices, "NOMPRENOMCLIENT");
    clientAddressEdit = editor<DBEdit>(this, "clientAddressEdit", invoices, "ADRESSECLIENT");
    authorisationNumberEdit = editor<DBEdit>(this, "authorisationNumberEdit", invoices, "NUMEROAUTORISATION");
    authorisationDateEdit = editor<DBDateEdit>(this, "authorisationDateEdit", invoices, "DATEAUTORISATION");
    invoiceNumberEdit = editor<DBEdit>(this, "invoiceNumberEdit", invoices, "NUMEROFACTURE");
    invoiceDateEdit = editor<DBDateEdit>(this, "invoiceDateEdit", invoices, "DATEFACTURE");
    priceEdit = editor<DBEdit>(this, "priceEdit", invoices, "PRIXVENTE");
    fodecRateEdit = editor<DBEdit>(this, "fodecRateEdit", invoices, "TAUXFODEC");
    fodecAmountEdit = editor<DBEdit>(this, "fodecAmountEdit", invoices, "MONTANTFODEC");
    dutyRateEdit = editor<DBEdit>(this, "dutyRateEdit", invoices, "TAUXDROITCONSOMMATION");
    dutyAmountEdit = editor<DBEdit>(this, "dutyAmountEdit", invoices, "MONTANTDROITCONSOMMATION");
    vatRateEdit = editor<DBEdit>(this, "vatRateEdit", invoices, "TAUXTVA");
    vatAmountEdit = editor<DBEdit>(this, "vatAmountEdit", invoices, "MONTANTTVA");
    authorisationDateEdit->setCalendarTitle(QStringLiteral("Date Autorisation"));
    invoiceDateEdit->setCalendarTitle(QStringLiteral("Date de la Facture"));
}

void InvoiceForm::createButtons()
{
    okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Annuler"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    closeButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("fermer"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFocusPolicy(Qt::ClickFocus); // not a tab stop
}

QGroupBox *InvoiceForm::invoiceGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Facture"), this);
    auto *grid = new QGridLayout(group);
    addRow(grid, 0, 0, QStringLiteral("Identifiant"), companyIdEdit);
    addRow(grid, 0, 1, QStringLiteral("Exercice"), yearEdit);
    addRow(grid, 1, 0, QStringLiteral("Trimestre"), quarterEdit);
    addRow(grid, 1, 1, QStringLiteral("N°Ordre"), orderNumberEdit);
    return group;
}

QGroupBox *InvoiceForm::clientGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Client"), this);
    auto *grid = new QGridLayout(group);
    addRow(grid, 0, 0, QStringLiteral("Code Tiers"), clientCodeEdit);
    addRow(grid, 0, 1, QStringLiteral("Identifiant Client"), clientIdEdit);
    addRow(grid, 1, 0, QStringLiteral("Type Identifiant"), clientIdTypeCombo, 3);
    addRow(grid, 2, 0, QStringLiteral("Nom  Prénom Our Raison Sociale"), clientNameEdit, 3);
    addRow(grid, 3, 0, QStringLiteral("Adresse"), clientAddressEdit, 3);
    addRow(grid, 4, 0, QStringLiteral("Numéro Autorisation"), authorisationNumberEdit);
    addRow(grid, 4, 1, QStringLiteral("Date Autorisation"), authorisationDateEdit);
    return group;
}

QGroupBox *InvoiceForm::documentGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Pièce"), this);
    auto *grid = new QGridLayout(group);
    addRow(grid, 0, 0, QStringLiteral("Numéro Facture"), invoiceNumberEdit);
    addRow(grid, 0, 1, QStringLiteral("Date de la Facture"), invoiceDateEdit);
    return group;
}

QGroupBox *InvoiceForm::amountsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Montants"), this);
    auto *grid = new QGridLayout(group);
    addRow(grid, 0, 0, QStringLiteral("Montant Hors Taxe"), priceEdit);
    addRow(grid, 1, 0, QStringLiteral("Taux Fodec"), fodecRateEdit);
    addRow(grid, 1, 1, QStringLiteral("Montant Fodec"), fodecAmountEdit);
    addRow(grid, 2, 0, QStringLiteral("Taux Droit de Consommation"), dutyRateEdit);
    addRow(grid, 2, 1, QStringLiteral("Montant Droit de consommation"), dutyAmountEdit);
    addRow(grid, 3, 0, QStringLiteral("Taux TVA"), vatRateEdit);
    addRow(grid, 3, 1, QStringLiteral("Montant de la TVA"), vatAmountEdit);
    return group;
}

void InvoiceForm::layOutSheet()
{
    // Groups follow the tab order from top to bottom.
    QGroupBox *invoice = invoiceGroup();
    QGroupBox *client = clientGroup();
    QGroupBox *document = documentGroup();
    QGroupBox *amounts = amountsGroup();
    const std::initializer_list<DBEdit *> amountEdits
        = { priceEdit, fodecRateEdit, fodecAmountEdit, dutyRateEdit, dutyAmountEdit, vatRateEdit, vatAmountEdit };
    for (DBEdit *e : amountEdits)
        e->setAlignment(Qt::AlignRight);
    for (DBEdit *e : { quarterEdit, orderNumberEdit, yearEdit, clientCodeEdit })
        e->setAlignment(Qt::AlignRight);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(closeButton);

    // A sheet of reasonable width, centred, however large the window.
    auto *sheet = new QWidget(this);
    sheet->setMaximumWidth(900);
    auto *column = new QVBoxLayout(sheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(invoice);
    column->addWidget(client);
    column->addWidget(document);
    column->addWidget(amounts);
    column->addLayout(buttons);
    column->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addStretch();
    layout->addWidget(sheet, 1);
    layout->addStretch();
    for (DBEdit *e : { yearEdit, quarterEdit, orderNumberEdit, clientCodeEdit })
        e->setMaximumWidth(110);
    for (QWidget *e : { static_cast<QWidget *>(authorisationDateEdit), static_cast<QWidget *>(invoiceDateEdit) })
        e->setMaximumWidth(150);
    for (DBEdit *e : amountEdits)
        e->setMaximumWidth(180);
}

void InvoiceForm::setKeyboardOrder()
{
    const QList<QWidget *> order = { companyIdEdit, yearEdit, quarterEdit, orderNumberEdit, clientCodeEdit, clientIdEdit, clientIdTypeCombo,
        clientNameEdit, clientAddressEdit, authorisationNumberEdit, authorisationDateEdit, invoiceNumberEdit, invoiceDateEdit, priceEdit,
        fodecRateEdit, fodecAmountEdit, dutyRateEdit, dutyAmountEdit, vatRateEdit, vatAmountEdit, okButton, cancelButton };
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (int i = 0; i < 20; ++i)
        keys()->attach(order[i]);
    keys()->attachButton(okButton);
    keys()->attachButton(cancelButton);
    keys()->onSave = [this] { setResult(FormResult::Ok); };
}

void InvoiceForm::connectHandlers()
{
    connect(quarterEdit, &DBEdit::exited, this, &InvoiceForm::checkQuarter);
    connect(clientCodeEdit, &DBEdit::exited, this, &InvoiceForm::lookUpClient);
    connect(fodecRateEdit, &DBEdit::exited, this, &InvoiceForm::recomputeFodec);
    connect(dutyRateEdit, &DBEdit::exited, this, &InvoiceForm::recomputeDuty);
    connect(vatRateEdit, &DBEdit::exited, this, &InvoiceForm::recomputeVat);
    connect(okButton, &QPushButton::clicked, this, [this] { finish(FormResult::Ok); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { finish(FormResult::Cancel); });
    connect(closeButton, &QPushButton::clicked, this, &InvoiceForm::closeWithoutResult);
    clientCodeEdit->installEventFilter(this); // double-click looks the client up
}

void InvoiceForm::start()
{
    quarterEdit->setFocus(Qt::OtherFocusReason);
    quarterEdit->selectAll();
}

bool InvoiceForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == clientCodeEdit && event->type() == QEvent::MouseButtonDblClick) {
        if (clientCodeEdit->commit())
            lookUpClient();
        return true;
    }
    return EntryForm::eventFilter(watched, event);
}

void InvoiceForm::checkQuarter()
{
    if (!m_invoices->isEditing() || InvoiceRules::quarterIsValid(*m_invoices))
        return;
    // No message: the operator sees the focus come back.
    QTimer::singleShot(0, quarterEdit, [this] {
        quarterEdit->setFocus(Qt::OtherFocusReason);
        quarterEdit->selectAll();
    });
}

void InvoiceForm::lookUpClient()
{
    if (!m_invoices->isEditing())
        return;
    if (m_clients->isEditing()) {
        // Reopening the client register would drop the client being entered.
        MessageBox::information(this, QStringLiteral("Un client est en cours de saisie : validez-le ou annulez-le d'abord."));
        return;
    }
    try {
        const QString code = clientCodeEdit->text().trimmed();
        const QString sql = m_clients->sql();
        m_clients->close();
        m_clients->setSql(sql);
        m_clients->open();
        bool found = !code.isEmpty() && m_clients->locate(QStringLiteral("CODE"), code);
        if (!found) {
            // Where the operator was going: the next field, or the code itself
            // after a double-click.
            const QPointer<QWidget> next = QApplication::focusWidget();
            {
                ClientPicker picker(m_clients, this);
                picker.exec();
            }
            takeFocusBack(next);
        }
        InvoiceRules::copyClient(*m_clients, *m_invoices);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void InvoiceForm::takeFocusBack(QWidget *next)
{
    // Nothing else gives the form the focus back when the picker closes
    // (without a window manager, nothing at all): keys would then reach the
    // edits with no edit ever left, so nothing typed would be written.
    window()->activateWindow();
    QWidget *target = next && isAncestorOf(next) && next->isVisible() ? next : static_cast<QWidget *>(clientCodeEdit);
    target->setFocus(Qt::OtherFocusReason);
}

void InvoiceForm::recomputeFodec()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeFodec(*m_invoices);
}

void InvoiceForm::recomputeDuty()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeDuty(*m_invoices);
}

void InvoiceForm::recomputeVat()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeVat(*m_invoices);
}

void InvoiceForm::finish(FormResult result)
{
    closeWith(result);
}

void InvoiceForm::closeWithoutResult()
{
    closeWith(FormResult::None);
}
