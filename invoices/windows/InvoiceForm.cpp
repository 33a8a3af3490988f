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
    setObjectName(QStringLiteral("Frmsaisiemaj"));
    setWindowTitle(QStringLiteral("Mise à Jour des Factures"));

    DBEdit7 = editor<DBEdit>(this, "DBEdit7", invoices, "IDENTIFIANT");
    DBEdit11 = editor<DBEdit>(this, "DBEdit11", invoices, "EXERCICE");
    DBEdit12 = editor<DBEdit>(this, "DBEdit12", invoices, "TRIMESTRE");
    DBEdit2 = editor<DBEdit>(this, "DBEdit2", invoices, "NUMEROORDRE");
    DBEdit1 = editor<DBEdit>(this, "DBEdit1", invoices, "CODE");
    DBraisonsociale = editor<DBEdit>(this, "DBraisonsociale", invoices, "IDENTIFIANTCLIENT");
    DBComboBox1 = new DBComboBox(this);
    DBComboBox1->setObjectName(QStringLiteral("DBComboBox1"));
    DBComboBox1->addItems({ QStringLiteral("1: Matricule Fiscal"), QStringLiteral("2: N° CIN"), QStringLiteral("3: N° C.Séjour"),
        QStringLiteral("4: Ident des Person. Non Domic. Ni Etablies En Tunisie") });
    DBComboBox1->setField(invoices, QStringLiteral("TYPEIDCLIENT"));
    DBEactivite = editor<DBEdit>(this, "DBEactivite", invoices, "NOMPRENOMCLIENT");
    DBEdit4 = editor<DBEdit>(this, "DBEdit4", invoices, "ADRESSECLIENT");
    DBEdit3 = editor<DBEdit>(this, "DBEdit3", invoices, "NUMEROAUTORISATION");
    DBDateEdit2 = editor<DBDateEdit>(this, "DBDateEdit2", invoices, "DATEAUTORISATION");
    DBEdit5 = editor<DBEdit>(this, "DBEdit5", invoices, "NUMEROFACTURE");
    DBDateEdit3 = editor<DBDateEdit>(this, "DBDateEdit3", invoices, "DATEFACTURE");
    DBEdit8 = editor<DBEdit>(this, "DBEdit8", invoices, "PRIXVENTE");
    DBEdit9 = editor<DBEdit>(this, "DBEdit9", invoices, "TAUXFODEC");
    DBEdit6 = editor<DBEdit>(this, "DBEdit6", invoices, "MONTANTFODEC");
    DBEdit10 = editor<DBEdit>(this, "DBEdit10", invoices, "TAUXDROITCONSOMMATION");
    DBEdit13 = editor<DBEdit>(this, "DBEdit13", invoices, "MONTANTDROITCONSOMMATION");
    DBEdit14 = editor<DBEdit>(this, "DBEdit14", invoices, "TAUXTVA");
    DBEdit15 = editor<DBEdit>(this, "DBEdit15", invoices, "MONTANTTVA");
    DBDateEdit2->setCalendarTitle(QStringLiteral("Date Autorisation"));
    DBDateEdit3->setCalendarTitle(QStringLiteral("Date de la Facture"));

    Bitnok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    Bitnok->setObjectName(QStringLiteral("Bitnok"));
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Annuler"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("fermer"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFocusPolicy(Qt::ClickFocus); // not a tab stop

    // Groups follow the tab order from top to bottom.
    auto *invoice = new QGroupBox(QStringLiteral("Facture"), this);
    auto *gi = new QGridLayout(invoice);
    addRow(gi, 0, 0, QStringLiteral("Identifiant"), DBEdit7);
    addRow(gi, 0, 1, QStringLiteral("Exercice"), DBEdit11);
    addRow(gi, 1, 0, QStringLiteral("Trimestre"), DBEdit12);
    addRow(gi, 1, 1, QStringLiteral("N°Ordre"), DBEdit2);

    auto *client = new QGroupBox(QStringLiteral("Client"), this);
    auto *gc = new QGridLayout(client);
    addRow(gc, 0, 0, QStringLiteral("Code Tiers"), DBEdit1);
    addRow(gc, 0, 1, QStringLiteral("Identifiant Client"), DBraisonsociale);
    addRow(gc, 1, 0, QStringLiteral("Type Identifiant"), DBComboBox1, 3);
    addRow(gc, 2, 0, QStringLiteral("Nom  Prénom Our Raison Sociale"), DBEactivite, 3);
    addRow(gc, 3, 0, QStringLiteral("Adresse"), DBEdit4, 3);
    addRow(gc, 4, 0, QStringLiteral("Numéro Autorisation"), DBEdit3);
    addRow(gc, 4, 1, QStringLiteral("Date Autorisation"), DBDateEdit2);

    auto *document = new QGroupBox(QStringLiteral("Pièce"), this);
    auto *gd = new QGridLayout(document);
    addRow(gd, 0, 0, QStringLiteral("Numéro Facture"), DBEdit5);
    addRow(gd, 0, 1, QStringLiteral("Date de la Facture"), DBDateEdit3);

    auto *amounts = new QGroupBox(QStringLiteral("Montants"), this);
    auto *ga = new QGridLayout(amounts);
    addRow(ga, 0, 0, QStringLiteral("Montant Hors Taxe"), DBEdit8);
    addRow(ga, 1, 0, QStringLiteral("Taux Fodec"), DBEdit9);
    addRow(ga, 1, 1, QStringLiteral("Montant Fodec"), DBEdit6);
    addRow(ga, 2, 0, QStringLiteral("Taux Droit de Consommation"), DBEdit10);
    addRow(ga, 2, 1, QStringLiteral("Montant Droit de consommation"), DBEdit13);
    addRow(ga, 3, 0, QStringLiteral("Taux TVA"), DBEdit14);
    addRow(ga, 3, 1, QStringLiteral("Montant de la TVA"), DBEdit15);
    for (DBEdit *e : { DBEdit8, DBEdit9, DBEdit6, DBEdit10, DBEdit13, DBEdit14, DBEdit15, DBEdit12, DBEdit2, DBEdit11, DBEdit1 })
        e->setAlignment(Qt::AlignRight);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bitnok);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);

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
    for (DBEdit *e : { DBEdit11, DBEdit12, DBEdit2, DBEdit1 })
        e->setMaximumWidth(110);
    for (QWidget *e : { static_cast<QWidget *>(DBDateEdit2), static_cast<QWidget *>(DBDateEdit3) })
        e->setMaximumWidth(150);
    for (DBEdit *e : { DBEdit8, DBEdit9, DBEdit6, DBEdit10, DBEdit13, DBEdit14, DBEdit15 })
        e->setMaximumWidth(180);

    const QList<QWidget *> order = { DBEdit7, DBEdit11, DBEdit12, DBEdit2, DBEdit1, DBraisonsociale, DBComboBox1, DBEactivite, DBEdit4,
        DBEdit3, DBDateEdit2, DBEdit5, DBDateEdit3, DBEdit8, DBEdit9, DBEdit6, DBEdit10, DBEdit13, DBEdit14, DBEdit15, Bitnok, BitBtn2 };
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (int i = 0; i < 20; ++i)
        keys()->attach(order[i]);
    keys()->attachButton(Bitnok);
    keys()->attachButton(BitBtn2);
    keys()->onF10 = [this] { setResult(FormResult::Ok); };

    connect(DBEdit12, &DBEdit::exited, this, &InvoiceForm::DBEdit12Exit);
    connect(DBEdit1, &DBEdit::exited, this, &InvoiceForm::DBEdit1Exit);
    connect(DBEdit9, &DBEdit::exited, this, &InvoiceForm::DBEdit9Exit);
    connect(DBEdit10, &DBEdit::exited, this, &InvoiceForm::DBEdit10Exit);
    connect(DBEdit14, &DBEdit::exited, this, &InvoiceForm::DBEdit14Exit);
    connect(Bitnok, &QPushButton::clicked, this, [this] { BitnokClick(FormResult::Ok); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitnokClick(FormResult::Cancel); });
    connect(BitBtn1, &QPushButton::clicked, this, &InvoiceForm::BitBtn1Click);
    DBEdit1->installEventFilter(this); // double-click looks the client up
    setMinimumWidth(640);
}

void InvoiceForm::start()
{
    DBEdit12->setFocus(Qt::OtherFocusReason);
    DBEdit12->selectAll();
}

bool InvoiceForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBEdit1 && event->type() == QEvent::MouseButtonDblClick) {
        if (DBEdit1->commit())
            DBEdit1Exit();
        return true;
    }
    return EntryForm::eventFilter(watched, event);
}

void InvoiceForm::DBEdit12Exit()
{
    if (!m_invoices->isEditing() || InvoiceRules::quarterIsValid(*m_invoices))
        return;
    // No message: the operator sees the focus come back.
    QTimer::singleShot(0, DBEdit12, [this] {
        DBEdit12->setFocus(Qt::OtherFocusReason);
        DBEdit12->selectAll();
    });
}

void InvoiceForm::DBEdit1Exit()
{
    if (!m_invoices->isEditing())
        return;
    if (m_clients->isEditing()) {
        // Reopening the client register would drop the client being entered.
        MessageBox::information(this, QStringLiteral("Un client est en cours de saisie : validez-le ou annulez-le d'abord."));
        return;
    }
    try {
        const QString code = DBEdit1->text().trimmed();
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
    QWidget *target = next && isAncestorOf(next) && next->isVisible() ? next : static_cast<QWidget *>(DBEdit1);
    target->setFocus(Qt::OtherFocusReason);
}

void InvoiceForm::DBEdit9Exit()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeFodec(*m_invoices);
}

void InvoiceForm::DBEdit10Exit()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeDuty(*m_invoices);
}

void InvoiceForm::DBEdit14Exit()
{
    if (m_invoices->isEditing())
        InvoiceRules::computeVat(*m_invoices);
}

void InvoiceForm::BitnokClick(FormResult result)
{
    closeWith(result);
}

void InvoiceForm::BitBtn1Click()
{
    closeWith(FormResult::None);
}
