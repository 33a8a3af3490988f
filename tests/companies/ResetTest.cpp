#include "app/ResetWindow.h"
#include "companies/CompanyForm.h"
#include "companies/CompanyList.h"
#include "tests/companies/CompaniesFixture.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// One company, one client and two invoices, committed.
struct ResetFixture : CompaniesFixture
{
    ResetFixture()
    {
        addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
        db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE) values (1, 'CLIENT')"));
        for (int n : { 1, 2 })
            db.exec(
                QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE) values ('0000001AM000', 2008, 1, %1)")
                    .arg(n));
        db.connection().commitRetaining();
    }
    // The tool-bar button "Initialisation".
    ResetWindow *openReset()
    {
        const QList<ResetWindow *> before = main.findChildren<ResetWindow *>();
        main.openReset();
        for (ResetWindow *w : main.findChildren<ResetWindow *>())
            if (!before.contains(w))
                return w;
        return nullptr;
    }
    QString counts() // companies, clients, invoices as the program sees them
    {
        return QStringLiteral("%1 %2 %3")
            .arg(scalar(QStringLiteral("select count(*) from SOCIETE")).toInt())
            .arg(scalar(QStringLiteral("select count(*) from TIERS")).toInt())
            .arg(scalar(QStringLiteral("select count(*) from FACTURE")).toInt());
    }
};

void run(ResetWindow *w, int type, const QString &password)
{
    if (type == 0)
        w->movements->setChecked(true);
    else if (type == 1)
        w->complete->setChecked(true);
    w->passwordEdit->setText(password);
    w->okButton->click();
}

} // namespace

TEST(Reset, WindowAsOpenedByItsCommands)
{
    ResetFixture f;
    ResetWindow *w = f.openReset();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Initialisation"));
    EXPECT_LE((w->frameGeometry().center() - w->screen()->availableGeometry().center()).manhattanLength(), 4); // centred
    EXPECT_EQ(w->depthGroup->title(), QStringLiteral(" Type d'Initialisation "));
    EXPECT_EQ(w->movements->text(), QStringLiteral("Initialisation Des Mouvements"));
    EXPECT_EQ(w->complete->text(), QStringLiteral("Initialisation Complète"));
    EXPECT_EQ(w->itemIndex(), -1);
    EXPECT_EQ(w->passwordLabel->buddy(), w->passwordEdit);
    EXPECT_EQ(w->passwordEdit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w->warningLabel->text(),
        QStringLiteral("Cette Procedure efface toutes les données saisie, \nles données ne seront plus récupérables."));
    EXPECT_EQ(w->okButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(w->cancelButton->text(), QStringLiteral("Cancel"));
    w->movements->setChecked(true);
    EXPECT_EQ(w->itemIndex(), 0);
    w->complete->setChecked(true);
    EXPECT_EQ(w->itemIndex(), 1);

    // "Cancel" and Escape close the window; it is hidden, not destroyed.
    QPointer<ResetWindow> alive(w);
    w->cancelButton->click();
    QApplication::processEvents();
    ASSERT_FALSE(alive.isNull());
    EXPECT_FALSE(w->isVisible());
    ResetWindow *second = f.openReset(); // the menu item and the button make a fresh one each time
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->itemIndex(), -1);
    second->activateWindow();
    QTest::keyClick(second->passwordEdit, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(second->isVisible());
    f.main.findChild<QAction *>(QStringLiteral("resetAction"))->trigger();
    EXPECT_EQ(f.main.findChildren<ResetWindow *>().size(), 3);
    EXPECT_EQ(f.counts(), QStringLiteral("1 1 2"));
    EXPECT_EQ(MessageBox::count(), 0);
}

TEST(Reset, PasswordTakenExactlyAsTyped)
{
    ResetFixture f;
    ResetWindow *w = f.openReset();
    for (const QString &typed : { QStringLiteral("quillbark "), QStringLiteral(" quillbark"), QStringLiteral("QUILLBARK"), QString() }) {
        MessageBox::resetRecord();
        run(w, 1, typed);
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Mot de Passe Incorrect")) << typed.toStdString();
        EXPECT_EQ(MessageBox::count(), 1);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->passwordEdit->text(), typed); // the window keeps what was typed
    }
    EXPECT_EQ(f.counts(), QStringLiteral("1 1 2"));
}

TEST(Reset, NoTypeChosenRunsNothing)
{
    ResetFixture f;
    ResetWindow *w = f.openReset();
    run(w, -1, QStringLiteral("quillbark"));
    EXPECT_EQ(MessageBox::lastText(), ResetWindow::NoChoiceMessage);
    EXPECT_EQ(MessageBox::count(), 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(f.counts(), QStringLiteral("1 1 2"));
}

TEST(Reset, MovementsEmptiesTheInvoicesOnlyAndBecomesDurableWithTheNextPost)
{
    ResetFixture f;
    CompanyList *list = f.openList();
    ResetWindow *w = f.openReset();
    // Enter in the password box runs it.
    w->movements->setChecked(true);
    w->passwordEdit->setText(QStringLiteral("quillbark"));
    QTest::keyClick(w->passwordEdit, Qt::Key_Return);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Initialisation efféctuée"));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(f.counts(), QStringLiteral("1 1 0"));
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from FACTURE")).toInt(), 2); // no commit of its own

    // The next post in any shared data set commits it.
    list->editButton->click();
    ASSERT_NE(f.form(), nullptr);
    f.form()->okButton->click();
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from FACTURE")).toInt(), 0);
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 1);
}

TEST(Reset, CompleteEmptiesEverythingButTheOpenListKeepsItsRows)
{
    ResetFixture f;
    CompanyList *list = f.openList();
    run(f.openReset(), 1, QStringLiteral("quillbark"));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Initialisation efféctuée"));
    EXPECT_EQ(f.counts(), QStringLiteral("0 0 0"));
    EXPECT_EQ(list->grid->model()->rowCount(), 1); // until it reads again
}

TEST(Reset, AFailingProcedureIsToldAndTheWindowStays)
{
    ResetFixture f;
    f.db.exec(QStringLiteral("drop procedure INITIALISATIONMVT"));
    f.db.connection().commitRetaining();
    ResetWindow *w = f.openReset();
    run(w, 0, QStringLiteral("quillbark"));
    EXPECT_TRUE(MessageBox::lastText().contains(QStringLiteral("INITIALISATIONMVT"))) << MessageBox::lastText().toStdString();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(f.counts(), QStringLiteral("1 1 2"));
}
