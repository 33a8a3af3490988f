#include "clients/ClientForm.h"
#include "clients/ClientList.h"
#include "clients/ClientPicker.h"
#include "clients/ClientStatements.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Restore.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/BoundEditors.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

// A fresh database and a data module of the test's own, known to the windows
// as the program's one.
struct Clients
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    DataModule module;
    DataSet *tiers = module.clients;

    Clients()
    {
        MessageBox::resetRecord();
        module.connection->setDatabaseName(db.path());
    }

    void add(int code, const QString &name, const QString &identifiant = QString(), const QString &adresse = QString())
    {
        db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE, IDENTIFIANT, ADRESSE) values (%1, '%2', '%3', '%4')")
                    .arg(code)
                    .arg(name, identifiant, adresse));
        db.connection().commitRetaining();
    }

    // What another program reading the database would find: every column of
    // every client, ordered by code, nulls as "<null>".
    QList<QStringList> stored() const
    {
        auto connection = db.otherConnection();
        QList<QStringList> rows;
        Query q(*connection,
            QStringLiteral("select CODE, TYPEIDENTIFIANT, PHYSIQUEMORALE, IDENTIFIANT, NOMBENEFICIAIRE, ADRESSE, "
                           "NUMEROAUTORISATION, DATEAUTORISATION from TIERS order by CODE"));
        q.open();
        Row row;
        while (q.fetch(row)) {
            QStringList texts;
            for (const QVariant &v : row)
                texts << (v.isValid() ? v.toString() : QStringLiteral("<null>"));
            rows << texts;
        }
        q.close();
        return rows;
    }
};

// Windows made by a test, gone before its database is.
template <class T> struct Owned
{
    QPointer<T> window;
    explicit Owned(T *w)
        : window(w)
    {
        window->show();
        QApplication::setActiveWindow(window);
    }
    ~Owned() { delete window.data(); }
    T *operator->() const { return window.data(); }
};

QStringList columnTexts(const DataSet &ds, const char *fieldName)
{
    QStringList out;
    const int column = ds.fieldByName(QString::fromLatin1(fieldName))->index();
    for (int row = 0; row < ds.recordCount(); ++row)
        out << ds.valueAt(row, column).toString();
    return out;
}

QString fieldText(const DataSet &ds, const char *fieldName)
{
    return ds.fieldByName(QString::fromLatin1(fieldName))->asString();
}

void clickTitle(DBGrid *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
}

QStringList titles(DBGrid *grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

// Chooses an item of a list the way the operator does: open it, go to the
// item, Enter.
void choose(DBComboBox *combo, int item)
{
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    view->setCurrentIndex(view->model()->index(item, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QApplication::processEvents(); // the list closes
    QApplication::setActiveWindow(combo->window()); // as the window system does after a popup
}

void enter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
    QApplication::processEvents();
}

ClientForm *onlyForm(ClientList *list)
{
    const QList<ClientForm *> forms = list->openForms();
    if (forms.size() != 1)
        return nullptr;
    QApplication::setActiveWindow(forms.first());
    QApplication::processEvents();
    return forms.first();
}

const QString Blanks120(120, QLatin1Char(' '));

} // namespace

TEST(ClientList, SortSearchAndClose)
{
    Clients c;
    c.add(100, QStringLiteral("BENZ"), QStringLiteral("3"), QStringLiteral("RUE C"));
    c.add(1, QStringLiteral("BENALI"), QStringLiteral("2"), QStringLiteral("RUE B"));
    c.add(21, QStringLiteral("ZED"), QStringLiteral("1"), QStringLiteral("RUE A"));
    c.add(10, QStringLiteral("BEN SALAH"), QStringLiteral("5"), QStringLiteral("RUE E"));
    c.add(2, QStringLiteral("ALPHA"), QStringLiteral("4"), QStringLiteral("RUE D"));
    Owned list(new ClientList(c.tiers));

    EXPECT_EQ(list->windowTitle(), QStringLiteral("Tiers"));
    EXPECT_EQ(list->bannerLabel->text(), QStringLiteral("<<<  Saisie des Tiers >>>"));
    EXPECT_EQ(titles(list->grid), (QStringList { "Code", "Nom Tiers", "Type Id", "Identifiant", "Adresse" }));
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by code"));
    EXPECT_EQ(columnTexts(*c.tiers, "CODE"), (QStringList { "1", "2", "10", "21", "100" }));
    EXPECT_TRUE(list->searchLabel->text().isEmpty());

    // Before a title is clicked typing changes nothing.
    QTest::keyClicks(list->searchEdit, QStringLiteral("b"));
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by code"));
    list->searchEdit->clear();

    clickTitle(list->grid, 1);
    EXPECT_EQ(list->searchLabel->text(), QStringLiteral("Nom Tiers"));
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by NOMBENEFICIAIRE"));
    QAbstractItemModel *model = list->grid->model();
    EXPECT_EQ(model->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
    EXPECT_EQ(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(244, 255, 255));

    QTest::keyClicks(list->searchEdit, QStringLiteral("ben"));
    EXPECT_EQ(list->searchEdit->text(), QStringLiteral("BEN"));
    EXPECT_EQ(columnTexts(*c.tiers, "NOMBENEFICIAIRE"), (QStringList { "BEN SALAH", "BENALI", "BENZ" }));
    EXPECT_EQ(c.tiers->recNo(), 0);
    list->searchEdit->clear();
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by Nombeneficiaire"));
    EXPECT_EQ(columnTexts(*c.tiers, "NOMBENEFICIAIRE"), (QStringList { "ALPHA", "BEN SALAH", "BENALI", "BENZ", "ZED" }));

    // A code is matched by its first digits.
    clickTitle(list->grid, 0);
    QTest::keyClicks(list->searchEdit, QStringLiteral("1"));
    EXPECT_EQ(columnTexts(*c.tiers, "CODE"), (QStringList { "1", "10", "100" }));
    list->searchEdit->clear();

    clickTitle(list->grid, 3);
    QTest::keyClicks(list->searchEdit, QStringLiteral("2"));
    EXPECT_EQ(columnTexts(*c.tiers, "CODE"), (QStringList { "1" }));
    list->searchEdit->clear();

    // The address orders, but is not searched.
    clickTitle(list->grid, 4);
    EXPECT_EQ(columnTexts(*c.tiers, "ADRESSE"), (QStringList { "RUE A", "RUE B", "RUE C", "RUE D", "RUE E" }));
    QTest::keyClicks(list->searchEdit, QStringLiteral("RUE B"));
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by ADRESSE"));
    EXPECT_EQ(c.tiers->recordCount(), 5);

    // Closing leaves the whole register by code for the invoice form's lookup.
    clickTitle(list->grid, 1);
    QTest::mouseClick(list->closeButton, Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(c.tiers->isActive());
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by code "));
    c.tiers->open();
    EXPECT_EQ(columnTexts(*c.tiers, "CODE"), (QStringList { "1", "2", "10", "21", "100" }));
}

TEST(ClientList, TwoListsMoveTogether)
{
    Clients c;
    for (int code : { 1, 2, 3 })
        c.add(code, QStringLiteral("CLIENT %1").arg(code));
    Owned first(new ClientList(c.tiers));
    Owned second(new ClientList(c.tiers));

    first->grid->setCurrentIndex(first->grid->model()->index(2, 1));
    EXPECT_EQ(c.tiers->recNo(), 2);
    EXPECT_EQ(second->grid->currentIndex().row(), 2);

    clickTitle(second->grid, 1);
    QTest::keyClicks(second->searchEdit, QStringLiteral("client 2"));
    EXPECT_EQ(first->grid->model()->rowCount(), 1);
    EXPECT_EQ(first->grid->model()->index(0, 1).data().toString(), QStringLiteral("CLIENT 2"));
}

TEST(ClientForm, NewClientByKeyboardIsStoredPadded)
{
    Clients c;
    Owned list(new ClientList(c.tiers));
    QTest::mouseClick(list->addButton, Qt::LeftButton);
    ClientForm *form = onlyForm(list.window);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mise à Jour des Tiers"));
    EXPECT_EQ(c.tiers->state(), DataSetState::Insert);
    EXPECT_TRUE(form->codeEdit->hasFocus());

    // Every control is found by the label the operator reads.
    QStringList labels;
    for (QWidget *w : std::initializer_list<QWidget *> { form->codeEdit, form->idTypeCombo, form->identifierEdit, form->personKindCombo,
             form->nameEdit, form->addressEdit, form->authorisationNumberEdit, form->authorisationDateEdit })
        for (QLabel *l : form->findChildren<QLabel *>())
            if (l->buddy() == w)
                labels << l->text();
    EXPECT_EQ(labels,
        (QStringList { "Code", "Type Identifiant", "Identifiant du Bénéficiaire", "Physique/Morale", "Nom ou Raison Sociale",
            "Dernière Adresse du Tiers", "Numéro Autorisation", "DAte Autorisation" }));

    QTest::keyClicks(form->codeEdit, QStringLiteral("7"));
    enter(form->codeEdit);
    ASSERT_TRUE(form->idTypeCombo->hasFocus());
    choose(form->idTypeCombo, 0);
    EXPECT_EQ(fieldText(*c.tiers, "TYPEIDENTIFIANT"), QStringLiteral("1"));
    enter(form->idTypeCombo);
    ASSERT_TRUE(form->identifierEdit->hasFocus());
    QTest::keyClicks(form->identifierEdit, QStringLiteral("1234567"));
    enter(form->identifierEdit);
    EXPECT_EQ(fieldText(*c.tiers, "IDENTIFIANT"), QStringLiteral("1234567      "));
    ASSERT_TRUE(form->personKindCombo->hasFocus());
    choose(form->personKindCombo, 1);
    EXPECT_EQ(fieldText(*c.tiers, "PHYSIQUEMORALE"), QStringLiteral("2"));
    enter(form->personKindCombo);
    ASSERT_TRUE(form->nameEdit->hasFocus());
    QTest::keyClicks(form->nameEdit, QStringLiteral("BEN"));
    enter(form->nameEdit);
    ASSERT_TRUE(form->addressEdit->hasFocus());
    enter(form->addressEdit); // an address left empty
    EXPECT_EQ(fieldText(*c.tiers, "ADRESSE"), Blanks120);
    ASSERT_TRUE(form->authorisationNumberEdit->hasFocus());
    QTest::keyClicks(form->authorisationNumberEdit, QStringLiteral("AUT-1"));
    enter(form->authorisationNumberEdit);
    EXPECT_TRUE(form->authorisationDateEdit->lineEdit()->hasFocus());

    // The date edit keeps Enter and Up; Up goes back from the others, and
    // from the first round to the last tab stop ("fermer" is none).
    enter(form->authorisationDateEdit->lineEdit());
    EXPECT_TRUE(form->authorisationDateEdit->lineEdit()->hasFocus());
    QTest::keyClick(form->authorisationDateEdit->lineEdit(), Qt::Key_Up);
    EXPECT_TRUE(form->authorisationDateEdit->lineEdit()->hasFocus());
    form->authorisationNumberEdit->setFocus();
    QTest::keyClick(form->authorisationNumberEdit, Qt::Key_Up);
    EXPECT_TRUE(form->addressEdit->hasFocus());
    form->codeEdit->setFocus();
    QTest::keyClick(form->codeEdit, Qt::Key_Up);
    EXPECT_TRUE(form->cancelButton->hasFocus());

    // Tab to "OK", Enter.
    form->authorisationDateEdit->lineEdit()->setFocus();
    QTest::keyClick(form->authorisationDateEdit->lineEdit(), Qt::Key_Tab);
    ASSERT_TRUE(form->okButton->hasFocus());
    enter(form->okButton);
    EXPECT_TRUE(list->openForms().isEmpty());
    EXPECT_EQ(c.tiers->state(), DataSetState::Browse);
    EXPECT_EQ(c.stored(),
        (QList<QStringList> { { "7", "1", "2", "1234567      ", "BEN" + QString(37, QLatin1Char(' ')), Blanks120, "AUT-1", "<null>" } }));
}

TEST(ClientForm, F10ThenCloseBoxPostsAndThenFermerCancels)
{
    struct Case
    {
        bool closeBox;
        int storedRows;
    };
    for (const Case k : { Case { true, 1 }, Case { false, 0 } }) {
        SCOPED_TRACE(k.closeBox ? "close box" : "fermer");
        Clients c;
        Owned list(new ClientList(c.tiers));
        QTest::mouseClick(list->addButton, Qt::LeftButton);
        ClientForm *form = onlyForm(list.window);
        ASSERT_NE(form, nullptr);
        QTest::keyClicks(form->codeEdit, QStringLiteral("5"));
        enter(form->codeEdit);
        form->nameEdit->setFocus();
        QTest::keyClicks(form->nameEdit, QStringLiteral("SOTUVER"));
        QTest::keyClick(form->nameEdit, Qt::Key_F10);
        EXPECT_EQ(form->result(), FormResult::Ok);
        EXPECT_TRUE(form->isVisible()); // F10 does not close
        if (k.closeBox)
            form->close();
        else
            QTest::mouseClick(form->closeButton, Qt::LeftButton);
        EXPECT_TRUE(list->openForms().isEmpty());
        EXPECT_EQ(c.tiers->state(), DataSetState::Browse);
        const QList<QStringList> rows = c.stored();
        ASSERT_EQ(rows.size(), k.storedRows);
        // Leaving the name by closing the window pads it as leaving it by key does.
        if (k.closeBox) {
            EXPECT_EQ(rows[0][4], QStringLiteral("SOTUVER") + QString(33, QLatin1Char(' ')));
        } else {
            EXPECT_EQ(c.tiers->recordCount(), 0);
        }
    }
}

TEST(ClientForm, RefusedEntriesKeepTheFormOpen)
{
    Clients c;
    c.add(1, QStringLiteral("PREMIER"));
    Owned list(new ClientList(c.tiers));
    QTest::mouseClick(list->addButton, Qt::LeftButton);
    ClientForm *form = onlyForm(list.window);
    ASSERT_NE(form, nullptr);

    // A code that is not a number is refused on leaving, the focus staying.
    QTest::keyClicks(form->codeEdit, QStringLiteral("12A"));
    enter(form->codeEdit);
    QApplication::processEvents();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("'12A' is not a valid integer value for field 'CODE'"));
    EXPECT_TRUE(form->codeEdit->hasFocus());

    // A code another client has: the server's words, the form and the entry stay.
    form->codeEdit->clear();
    QTest::keyClicks(form->codeEdit, QStringLiteral("1"));
    enter(form->codeEdit);
    form->nameEdit->setFocus();
    QTest::keyClicks(form->nameEdit, QStringLiteral("DOUBLON"));
    QTest::mouseClick(form->okButton, Qt::LeftButton);
    EXPECT_THAT(MessageBox::lastText().toStdString(), HasSubstr("PK_TIERS"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), FormResult::Ok);
    EXPECT_EQ(c.tiers->state(), DataSetState::Insert);
    EXPECT_EQ(fieldText(*c.tiers, "NOMBENEFICIAIRE"), QStringLiteral("DOUBLON") + QString(33, QLatin1Char(' ')));

    // Neither can the list be closed under it: its post is refused again.
    QTest::mouseClick(list->closeButton, Qt::LeftButton);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(form->isVisible());

    QTest::mouseClick(form->cancelButton, Qt::LeftButton); // "Annuler"
    EXPECT_TRUE(list->openForms().isEmpty());
    EXPECT_EQ(c.tiers->recordCount(), 1);
    EXPECT_EQ(c.stored().size(), 1);
    EXPECT_EQ(c.stored()[0][4], QStringLiteral("PREMIER"));
}

TEST(ClientList, CorrectDeleteAndNothingDisturbsAnEntry)
{
    Clients c;
    c.add(1, QStringLiteral("ALPHA"));
    c.add(2, QStringLiteral("BETA").leftJustified(40)); // as the form stores it
    Owned list(new ClientList(c.tiers));

    // A double-click corrects the current client; the stored name fills its
    // edit, which shows it without the blanks so that text can be added.
    list->grid->setCurrentIndex(list->grid->model()->index(1, 1));
    emit list->grid->gridDoubleClicked();
    ClientForm *form = onlyForm(list.window);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(c.tiers->state(), DataSetState::Edit);
    form->nameEdit->setFocus();
    EXPECT_EQ(form->nameEdit->text(), QStringLiteral("BETA"));
    QTest::keyClick(form->nameEdit, Qt::Key_End);
    QTest::keyClicks(form->nameEdit, QStringLiteral(" BIS"));

    // Meanwhile the list neither moves, re-queries, adds nor deletes.
    list->grid->setCurrentIndex(list->grid->model()->index(0, 1));
    clickTitle(list->grid, 1);
    QTest::mouseClick(list->addButton, Qt::LeftButton);
    QTest::mouseClick(list->deleteButton, Qt::LeftButton);
    QTest::keyClick(list->grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(list->searchEdit->isEnabled());
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by code"));
    EXPECT_EQ(c.tiers->state(), DataSetState::Edit);
    EXPECT_EQ(c.tiers->recNo(), 1);
    EXPECT_EQ(list->openForms().size(), 1);
    EXPECT_EQ(MessageBox::count(), 0);
    {
        Owned second(new ClientList(c.tiers)); // opened meanwhile, it shows the rows as they are
        EXPECT_EQ(c.tiers->state(), DataSetState::Edit);
        EXPECT_EQ(second->grid->model()->rowCount(), 2);
    }

    QApplication::setActiveWindow(form);
    QTest::mouseClick(form->okButton, Qt::LeftButton);
    EXPECT_TRUE(list->openForms().isEmpty());
    EXPECT_TRUE(list->searchEdit->isEnabled());
    EXPECT_EQ(c.stored()[1][4], QStringLiteral("BETA BIS") + QString(32, QLatin1Char(' ')));

    // Deleting asks first; No keeps the client.
    MessageBox::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(list->deleteButton, Qt::LeftButton);
    EXPECT_EQ(MessageBox::lastCaption(), QStringLiteral("Confirmation"));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Voulez-vous supprimer l'enregistrement en cours ?"));
    EXPECT_EQ(c.tiers->recordCount(), 2);
    for (int i = 0; i < 2; ++i) {
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(list->deleteButton, Qt::LeftButton);
    }
    EXPECT_EQ(c.tiers->recordCount(), 0);
    c.module.connection->commitRetaining(); // deletions last with the next commit
    EXPECT_TRUE(c.stored().isEmpty());

    // On an empty list the question is still asked, and Yes is refused.
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(list->deleteButton, Qt::LeftButton);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Cannot perform this operation on an empty dataset"));
}

// In the frame, as the program opens them: after a new client is saved the
// focus is back on "Ajouter", so that the next Space starts the next client
// rather than opening the saved one for correction.
TEST(ClientList, SavingANewClientLeavesTheFocusOnAjouter)
{
    Clients c;
    c.add(1, QStringLiteral("ALPHA"));
    QMainWindow frame;
    auto *area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    frame.resize(1000, 700);
    frame.show();
    QApplication::setActiveWindow(&frame);
    auto *list = new ClientList(c.tiers);
    QMdiSubWindow *sub = area->addSubWindow(list);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    list->setFocus();
    QApplication::processEvents();

    for (const int code : { 7, 8 }) {
        SCOPED_TRACE(code);
        list->addButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QApplication::processEvents();
        ClientForm *form = onlyForm(list);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(c.tiers->state(), DataSetState::Insert);
        ASSERT_EQ(QApplication::focusWidget(), form->codeEdit);
        QTest::keyClicks(form->codeEdit, QString::number(code));
        QTest::keyClick(form->codeEdit, Qt::Key_F10);
        form->authorisationDateEdit->lineEdit()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), form->okButton);
        QTest::keyClick(form->okButton, Qt::Key_Return);
        // As the event loop would: the form's frame goes, then what follows it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        EXPECT_TRUE(list->openForms().isEmpty());
        EXPECT_EQ(c.tiers->state(), DataSetState::Browse);
        EXPECT_EQ(QApplication::focusWidget(), list->addButton) << qPrintable(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(c.stored().size(), 3);
    delete sub;
}

TEST(ClientList, ClosingClosesAnOpenFormByItsRule)
{
    // Closing the list closes its form: without F10 the entry is dropped,
    // after F10 it is posted with the text still in the focused edit.
    for (const bool f10 : { false, true }) {
        SCOPED_TRACE(f10 ? "F10" : "no result");
        Clients c;
        Owned list(new ClientList(c.tiers));
        QTest::mouseClick(list->addButton, Qt::LeftButton);
        ClientForm *form = onlyForm(list.window);
        ASSERT_NE(form, nullptr);
        QTest::keyClicks(form->codeEdit, QStringLiteral("9"));
        enter(form->codeEdit);
        form->nameEdit->setFocus();
        QTest::keyClicks(form->nameEdit, QStringLiteral("NEUF"));
        if (f10)
            QTest::keyClick(form->nameEdit, Qt::Key_F10);

        QApplication::setActiveWindow(list.window);
        QTest::mouseClick(list->closeButton, Qt::LeftButton);
        EXPECT_FALSE(list->isVisible());
        EXPECT_FALSE(c.tiers->isActive());
        EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by code "));
        const QList<QStringList> rows = c.stored();
        ASSERT_EQ(rows.size(), f10 ? 1 : 0);
        if (f10) {
            EXPECT_EQ(rows[0][4], QStringLiteral("NEUF").leftJustified(40));
        }
    }
}

TEST(ClientPicker, OpensByIdentifierSearchesAndHandsTheChosenRow)
{
    Clients c;
    c.add(1, QStringLiteral("ALPHA"), QStringLiteral("300"));
    c.add(2, QStringLiteral("ALBA"), QStringLiteral("100"));
    c.add(3, QStringLiteral("ZETA"), QStringLiteral("200"));
    c.add(4, QStringLiteral("ALIBI"), QStringLiteral("400"));
    {
        ClientPicker picker(c.tiers);
        picker.show();
        EXPECT_EQ(picker.windowTitle(), QStringLiteral("Tiers"));
        EXPECT_TRUE(picker.isModal());
        EXPECT_EQ(picker.bannerLabel->text(), QStringLiteral("<<<  Liste des Tiers >>>"));
        EXPECT_EQ(titles(picker.grid), (QStringList { "Code", "Identifiant", "Nom ou Raison Sociale" }));
        EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Order by identifiant "));
        EXPECT_EQ(fieldText(*c.tiers, "CODE"), QStringLiteral("2")); // the first by identifier

        clickTitle(picker.grid, 2);
        EXPECT_EQ(picker.searchLabel->text(), QStringLiteral("Nom ou Raison Sociale"));
        EXPECT_EQ(picker.grid->model()->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
        QTest::keyClicks(picker.searchEdit, QStringLiteral("al"));
        EXPECT_EQ(columnTexts(*c.tiers, "NOMBENEFICIAIRE"), (QStringList { "ALBA", "ALIBI", "ALPHA" }));
        QTest::mouseDClick(
            picker.grid->viewport(), Qt::LeftButton, {}, picker.grid->visualRect(picker.grid->model()->index(1, 2)).center());
        EXPECT_FALSE(picker.isVisible());
        EXPECT_EQ(picker.result(), QDialog::Accepted);
    }
    // The picker is gone; the data set keeps its statement and the choice.
    EXPECT_EQ(c.tiers->sql(), QStringLiteral("select * from tiers Where Nombeneficiaire LIKE 'AL%' Order by Nombeneficiaire"));
    EXPECT_EQ(fieldText(*c.tiers, "NOMBENEFICIAIRE"), QStringLiteral("ALIBI"));

    // As the invoice form calls it: a new picker reloads all clients; closing
    // it without a choice hands the row it stands on, Enter chooses one.
    {
        ClientPicker picker(c.tiers);
        QTimer::singleShot(0, &picker, [&picker] { picker.reject(); });
        EXPECT_EQ(picker.exec(), QDialog::Rejected);
        EXPECT_EQ(c.tiers->recordCount(), 4);
        EXPECT_EQ(fieldText(*c.tiers, "CODE"), QStringLiteral("2"));
    }
    {
        ClientPicker picker(c.tiers);
        QTimer::singleShot(0, &picker, [&picker] {
            QTest::keyClick(picker.grid, Qt::Key_Down);
            QTest::keyClick(picker.grid, Qt::Key_Return);
        });
        EXPECT_EQ(picker.exec(), QDialog::Accepted);
        EXPECT_EQ(fieldText(*c.tiers, "CODE"), QStringLiteral("3")); // identifier 200
    }

    // An empty register gives an empty grid and no row.
    Query(*c.module.connection, QStringLiteral("delete from TIERS")).execute();
    ClientPicker picker(c.tiers);
    picker.show();
    EXPECT_EQ(picker.grid->model()->rowCount(), 0);
    EXPECT_EQ(c.tiers->recNo(), -1);
}

// Beside the identifier, in red, what the declaration's checks say of it
// for the kind chosen, as the clerk leaves the identifier or, going back,
// the kind; the focus goes on and no box is shown.
TEST(ClientForm, IdentifierHintBesideTheFieldAsTheClerkLeavesIt)
{
    const QString shortTaxIdentifier = QStringLiteral(
        "Matricule fiscal du client « 12345678 » : 13 caractères attendus (7 chiffres, la clé, le code TVA, la catégorie et 3 chiffres "
        "d'établissement).");
    const struct
    {
        int kind; // item of the list
        const char *typed;
        QString hint;
        int kindAfterwards; // -1: the kind stays
        QString hintAfterwards;
    } cases[] = {
        { 0, "12345678", shortTaxIdentifier, 1, QString() },
        { 0, "1234567OBM000",
            QStringLiteral(
                "Matricule fiscal du client « 1234567OBM000 » : la clé (8e caractère) doit être une lettre de A à Z, sauf I, O et U."),
            -1, QString() },
        { 0, "1234567ABM000", QString(), -1, QString() },
        { 1, "1234567A", QStringLiteral("N° CIN du client « 1234567A » : 8 chiffres attendus."), -1, QString() },
        { 1, "12345678", QString(), 0, shortTaxIdentifier },
        { 3, "", QStringLiteral("Identifiant du client vide."), -1, QString() },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.typed);
        Clients clients;
        Owned list(new ClientList(clients.tiers));
        QTest::mouseClick(list->addButton, Qt::LeftButton);
        ClientForm *form = onlyForm(list.window);
        ASSERT_NE(form, nullptr);
        QTest::keyClicks(form->codeEdit, QStringLiteral("7"));
        enter(form->codeEdit);
        choose(form->idTypeCombo, c.kind);
        enter(form->idTypeCombo);
        ASSERT_TRUE(form->identifierEdit->hasFocus());
        QTest::keyClicks(form->identifierEdit, QString::fromLatin1(c.typed));
        enter(form->identifierEdit);
        EXPECT_TRUE(form->personKindCombo->hasFocus()); // the typing goes on
        EXPECT_EQ(form->identifierHint->text(), c.hint);
        EXPECT_EQ(form->identifierHint->isVisible(), !c.hint.isEmpty());
        EXPECT_TRUE(form->identifierHint->styleSheet().contains(QStringLiteral("#c00000")));
        if (c.kindAfterwards >= 0) {
            if (!c.hint.isEmpty()) {
                QApplication::processEvents();
                form->grab().save(QDir::temp().filePath(QStringLiteral("kestra-client-hint.png")));
            }
            form->idTypeCombo->setFocus();
            choose(form->idTypeCombo, c.kindAfterwards);
            enter(form->idTypeCombo);
            EXPECT_EQ(form->identifierHint->text(), c.hintAfterwards);
        }
        EXPECT_EQ(MessageBox::count(), 0);
        form->cancelButton->click();
    }
}
