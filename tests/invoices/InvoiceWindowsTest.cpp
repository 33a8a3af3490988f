#include "app/CompanySelection.h"
#include "app/MainWindow.h"
#include "app/Windows.h"
#include "app/cli/DemoData.h"
#include "clients/ClientPicker.h"
#include "core/DateTime.h"
#include "core/WorkingContext.h"
#include "data/DataModule.h"
#include "declaration/DeclarationGeneration.h"
#include "invoices/windows/InvoiceForm.h"
#include "invoices/windows/InvoiceList.h"
#include "tests/support/Restore.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/BoundEditors.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <memory>

namespace {

// A real database with clients, a data module and an invoice list open on
// the company 0123456AM000, year 2008.
struct Register
{
    TestDatabase db;
    DataModule module;
    WorkingContext context;
    InvoiceList *list = nullptr;

    Register()
    {
        MessageBox::resetRecord();
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        db.exec(QStringLiteral(
            "insert into TIERS (CODE, TYPEIDENTIFIANT, IDENTIFIANT, NOMBENEFICIAIRE, ADRESSE, NUMEROAUTORISATION, DATEAUTORISATION) "
            "values (7, '1', '1234567ABM000', 'CLIENT SEPT', 'RUE SEPT', 'AUT-7', '2007-06-01')"));
        db.exec(QStringLiteral(
            "insert into TIERS (CODE, TYPEIDENTIFIANT, IDENTIFIANT, NOMBENEFICIAIRE) values (3, '2', '0000001', 'SANS DATE')"));
        db.connection().commitRetaining();
        module.connection->setDatabaseName(db.path());
        context.curIdentifiant = QStringLiteral("0123456");
        context.curCle = QStringLiteral("A");
        context.curCategorie = QStringLiteral("M");
        context.curEtab = QStringLiteral("000");
        context.curMatricule = QStringLiteral("0123456AM000");
        context.curExercice = QStringLiteral("2008");
        module.setNumberingCompany(context.curMatricule, context.curExercice);
        module.clients->setSql(QStringLiteral("select * from tiers Order by code "));
        list = new InvoiceList(module.invoices, module.clients, context.curMatricule, context.curExercice);
        list->show();
    }
    ~Register()
    {
        MessageBox::setAutoAnswer(QMessageBox::NoButton);
        delete list;
    }

    InvoiceForm *add()
    {
        list->addButton->click();
        InvoiceForm *form = list->lastForm();
        if (form) {
            QApplication::setActiveWindow(form);
            form->start();
        }
        return form;
    }
};

// Leaves the focused editor by moving to the next control, as Enter does.
void enter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
    QApplication::processEvents();
}

void type(QWidget *w, const QString &text)
{
    w->setFocus();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->selectAll();
    QTest::keyClicks(w, text);
}

// Closes the modal picker as soon as it shows, without a choice.
void closePickerWhenShown()
{
    QTimer::singleShot(50, [] {
        if (QWidget *m = QApplication::activeModalWidget())
            m->close();
    });
}

} // namespace

TEST(InvoiceForm, QuarterCheckReturnsTheFocus)
{
    Register r;
    InvoiceForm *form = r.add();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->quarterEdit->hasFocus()); // the focus starts on the quarter
    for (const char *bad : { "", "0", "5" }) {
        type(form->quarterEdit, QString::fromLatin1(bad));
        enter(form->quarterEdit);
        QApplication::processEvents();
        EXPECT_TRUE(form->quarterEdit->hasFocus()) << bad;
    }
    EXPECT_EQ(MessageBox::count(), 0); // no message
    type(form->quarterEdit, QStringLiteral("3"));
    enter(form->quarterEdit);
    QApplication::processEvents();
    EXPECT_TRUE(form->orderNumberEdit->hasFocus());
    form->closeWith(FormResult::Cancel);
}

TEST(InvoiceForm, ClientLookupByCodeOrPicker)
{
    Register r;
    InvoiceForm *form = r.add();
    ASSERT_NE(form, nullptr);
    DataSet &f = *r.module.invoices;

    type(form->clientCodeEdit, QStringLiteral(" 7"));
    enter(form->clientCodeEdit);
    EXPECT_EQ(f.fieldByName(QStringLiteral("CODE"))->asInteger(), 7);
    EXPECT_EQ(f.fieldByName(QStringLiteral("NOMPRENOMCLIENT"))->asString(), QStringLiteral("CLIENT SEPT"));
    EXPECT_EQ(f.fieldByName(QStringLiteral("IDENTIFIANTCLIENT"))->asString(), QStringLiteral("1234567ABM000"));
    EXPECT_EQ(f.fieldByName(QStringLiteral("TYPEIDCLIENT"))->asString(), QStringLiteral("1"));
    EXPECT_EQ(f.fieldByName(QStringLiteral("DATEAUTORISATION"))->asDateTime(), DateTime::encodeDate(2007, 6, 1));
    EXPECT_EQ(form->clientNameEdit->text(), QStringLiteral("CLIENT SEPT"));

    // An unknown code opens the picker; closed without a choice, its current
    // client (the first by identifier) is taken, and an empty date becomes 30/12/1899.
    closePickerWhenShown();
    type(form->clientCodeEdit, QStringLiteral("99"));
    enter(form->clientCodeEdit);
    EXPECT_EQ(f.fieldByName(QStringLiteral("CODE"))->asInteger(), 3);
    EXPECT_EQ(f.fieldByName(QStringLiteral("NOMPRENOMCLIENT"))->asString(), QStringLiteral("SANS DATE"));
    EXPECT_EQ(f.fieldByName(QStringLiteral("DATEAUTORISATION"))->asDateTime(), 0.0);
    EXPECT_FALSE(f.fieldByName(QStringLiteral("DATEAUTORISATION"))->isNull());
    form->closeWith(FormResult::Cancel);
}

// Amounts away from the focus show the mask of the lists and the declaration;
// the focused one shows the value to edit, and leaving it masks it again.
TEST(InvoiceForm, AmountsShowTheirMaskUnlessFocused)
{
    Register r;
    InvoiceForm *form = r.add();
    ASSERT_NE(form, nullptr);
    type(form->quarterEdit, QStringLiteral("1"));
    enter(form->quarterEdit);
    type(form->priceEdit, QStringLiteral("8646,05864"));
    enter(form->priceEdit); // to the FODEC rate
    EXPECT_EQ(form->priceEdit->text(), QStringLiteral("8 646,059"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1,5"));
    enter(QApplication::focusWidget()); // the FODEC is computed; to its amount
    ASSERT_EQ(QApplication::focusWidget(), form->fodecAmountEdit);
    EXPECT_EQ(form->fodecAmountEdit->text(), QStringLiteral("129,6908796")); // 8646.05864 x 1.5 / 100, to edit
    enter(form->fodecAmountEdit);
    EXPECT_EQ(form->fodecAmountEdit->text(), QStringLiteral("129,691"));
    EXPECT_EQ(form->fodecRateEdit->text(), QStringLiteral("1,5")); // rates have no mask
    form->priceEdit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form->priceEdit->text(), QStringLiteral("8646,05864"));
    EXPECT_EQ(form->priceEdit->selectedText(), form->priceEdit->text());
    QTest::keyClicks(form->priceEdit, QStringLiteral("1000"));
    QTest::keyClick(form->priceEdit, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(r.module.invoices->fieldByName(QStringLiteral("PRIXVENTE"))->asFloat(), 1000.0);
    EXPECT_EQ(form->priceEdit->text(), QStringLiteral("1 000,000"));
    form->closeWith(FormResult::Cancel);
}

// After the picker closes the form has the focus again: the next values typed
// are written and saved.
TEST(InvoiceForm, TypingAfterThePickerIsStored)
{
    Register r;
    InvoiceForm *form = r.add();
    ASSERT_NE(form, nullptr);
    // Keys go where the window system sends them: to the focus of the active
    // window, or of the form when no window is active.
    auto keys = [&](const QString &text) {
        QWidget *w = QApplication::focusWidget() ? QApplication::focusWidget() : form->focusWidget();
        ASSERT_NE(w, nullptr);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->selectAll();
        if (!text.isEmpty())
            QTest::keyClicks(w, text);
        QTest::keyClick(w, Qt::Key_Return);
        QApplication::processEvents();
    };
    keys(QStringLiteral("2")); // Trimestre
    keys(QString()); // N°Ordre
    closePickerWhenShown();
    keys(QStringLiteral("99")); // an unknown client code: the picker
    EXPECT_EQ(r.module.invoices->fieldByName(QStringLiteral("CODE"))->asInteger(), 3);
    EXPECT_EQ(QApplication::activeWindow(), form->window());
    EXPECT_EQ(QApplication::focusWidget(), form->clientIdEdit);
    for (int i = 0; i < 6; ++i)
        keys(QString()); // the client's fields as copied
    keys(QStringLiteral("F-APRES")); // Numéro Facture
    keys(QStringLiteral("15/05/2008")); // Date de la Facture
    keys(QStringLiteral("1000")); // Montant Hors Taxe
    for (int i = 0; i < 6; ++i)
        keys(QString()); // rates and amounts: to OK
    ASSERT_EQ(QApplication::focusWidget(), form->okButton);
    keys(QString()); // Enter presses OK

    EXPECT_EQ(r.module.invoices->state(), DataSetState::Browse);
    r.db.connection().commit(); // what the program committed, seen from another connection
    EXPECT_EQ(r.db.scalar(QStringLiteral("select NUMEROFACTURE from FACTURE")).toString(), QStringLiteral("F-APRES"));
    EXPECT_EQ(r.db.scalar(QStringLiteral("select extract(month from DATEFACTURE) from FACTURE")).toInt(), 5);
    EXPECT_EQ(r.db.scalar(QStringLiteral("select PRIXVENTE from FACTURE")).toDouble(), 1000.0);
}

TEST(InvoiceForm, F10ThenCloseBoxPostsF10ThenFermerCancels)
{
    Register r;
    InvoiceForm *form = r.add();
    ASSERT_NE(form, nullptr);
    type(form->quarterEdit, QStringLiteral("1"));
    QTest::keyClick(form->quarterEdit, Qt::Key_F10);
    EXPECT_EQ(form->result(), FormResult::Ok);
    form->close(); // the close box
    // Posted and committed at once: another connection, which reads what is
    // committed, sees it without ending its own transaction.
    EXPECT_EQ(r.db.scalar(QStringLiteral("select count(*) from FACTURE")).toInt(), 1);

    form = r.add();
    type(form->quarterEdit, QStringLiteral("1"));
    QTest::keyClick(form->quarterEdit, Qt::Key_F10);
    form->closeButton->click(); // "fermer"
    EXPECT_EQ(r.module.invoices->recordCount(), 1);
    EXPECT_EQ(r.module.invoices->state(), DataSetState::Browse);
}

TEST(InvoiceForm, ADuplicateKeyIsRefusedAndTheFormStays)
{
    Register r;
    InvoiceForm *form = r.add();
    type(form->quarterEdit, QStringLiteral("1"));
    form->okButton->click();
    form = r.add();
    QPointer<InvoiceForm> alive(form);
    type(form->quarterEdit, QStringLiteral("1"));
    type(form->orderNumberEdit, QStringLiteral("1")); // the number the first invoice has
    form->okButton->click();
    EXPECT_TRUE(MessageBox::lastText().contains(QStringLiteral("violation of PRIMARY or UNIQUE KEY constraint")))
        << MessageBox::lastText().toStdString();
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), FormResult::Ok);
    form->closeWith(FormResult::Cancel);
}

TEST(InvoiceList, NothingMovesWhileAFormEditsARow)
{
    Register r;
    for (int i = 0; i < 2; ++i) {
        InvoiceForm *form = r.add();
        type(form->quarterEdit, QStringLiteral("1"));
        form->okButton->click();
    }
    r.module.invoices->first();
    r.list->editButton->click(); // Modifier
    InvoiceForm *form = r.list->lastForm();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(r.list->addButton->isEnabled());
    EXPECT_FALSE(r.list->deleteButton->isEnabled());
    r.list->grid->setCurrentIndex(r.list->grid->model()->index(1, 0));
    EXPECT_EQ(r.module.invoices->recNo(), 0); // the grid may not move the row away
    r.list->sortByColumn(2);
    EXPECT_EQ(r.module.invoices->state(), DataSetState::Edit); // no re-query behind the operator
    r.list->close();
    EXPECT_TRUE(r.list->isVisible());
    form->closeWith(FormResult::Cancel);
    EXPECT_TRUE(r.list->addButton->isEnabled());
}

TEST(InvoiceList, AddingWithoutACompanyShowsTheMessageAndLeavesNoRow)
{
    Register r;
    InvoiceList noCompany(r.module.invoices, r.module.clients, QString(), QString());
    r.context = WorkingContext();
    r.module.setNumberingCompany(QString(), QString());
    noCompany.addButton->click();
    EXPECT_EQ(noCompany.lastForm(), nullptr);
    EXPECT_FALSE(r.module.invoices->isEditing()); // no half-made row is left behind
    EXPECT_GE(MessageBox::count(), 1);
}

TEST(InvoiceRoad, OneInvoiceFromTheKeyboardToTheDeclaration)
{
    TestDatabase db;
    DemoData::insert(db.connection());
    db.connection().close();
    RunningProgram program(db.path());
    MainWindow *main = program.main;
    DataModule &module = program.module;
    program.chooseFirstCompany();
    ASSERT_EQ(main->curMatricule, QStringLiteral("0123456AM000"));

    // Quarter, then Enter only: order number, client code, its six fields, the type,
    // name, address, authorisation, its date, the number, the date, price and rates.
    int number = 0;
    InvoiceForm *form = typeInvoiceUpToOk(program,
        { QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("F26-TEST"), QStringLiteral("15/08/2026"), QStringLiteral("1000"),
            QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("18") },
        &number);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(number, 41);
    EXPECT_EQ(QApplication::focusWidget(), form->okButton);
    typeAndEnter(QString()); // Enter presses OK
    QApplication::processEvents();
    EXPECT_EQ(module.invoices->state(), DataSetState::Browse);

    QTemporaryDir out;
    DeclarationGeneration generation(*module.connection);
    const QString path = generation.generate(out.path(), QStringLiteral("T3"), *main);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    const int at = file.indexOf("DF0123456AM0002026T3000041");
    ASSERT_GE(at, 0) << file.toStdString();
    const QByteArray record = file.mid(at, 331);
    EXPECT_EQ(record.mid(26, 20), QByteArray("F26-TEST            "));
    EXPECT_EQ(record.mid(46, 8), QByteArray("15082026"));
    EXPECT_EQ(record.mid(55, 13), QByteArray("1256789FPM000"));
    EXPECT_EQ(record.mid(256),
        QByteArray("000000001000000"
                   "00100"
                   "000000000010000"
                   "00000"
                   "000000000000000"
                   "01800"
                   "000000000181800"));

}
