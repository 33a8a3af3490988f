#include "companies/CompanyForm.h"

#include "app/CompanySelection.h"
#include "companies/CompanyList.h"
#include "tests/companies/CompaniesFixture.h"
#include "ui/BoundEditors.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString stored(CompaniesFixture &f, const char *column)
{
    return f.module.companies->fieldByName(QString::fromLatin1(column))->asString();
}

// Types into the focused box, then Enter.
void typeIntoFocusedAndEnter(const QString &text)
{
    QWidget *box = QApplication::focusWidget();
    ASSERT_NE(box, nullptr);
    if (!text.isEmpty())
        QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

TEST(CompanyForm, ControlsLabelsAndKeyboardOrder)
{
    CompaniesFixture f;
    CompanyList *list = f.openList();
    list->addButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);

    // Every box is named by its label.
    const QList<QPair<QWidget *, QString>> labelled {
        { form->identifierEdit, "Matricule Fiscal" },
        { form->keyEdit, "Clé" },
        { form->categoryEdit, "Catégorie" },
        { form->establishmentEdit, "N°Etablissement Secondaire" },
        { form->yearEdit, "Exercice Par Défaut:" },
        { form->nameEdit, "Raison Sociale :" },
        { form->activityEdit, "Activité :" },
        { form->cityEdit, "Ville:" },
        { form->streetEdit, "Rue:" },
        { form->numberEdit, "Numero:" },
        { form->postCodeEdit, "Code Postal:" },
    };
    for (const auto &[box, caption] : labelled) {
        QLabel *label = nullptr;
        for (QLabel *l : form->findChildren<QLabel *>())
            if (l->buddy() == box)
                label = l;
        ASSERT_NE(label, nullptr) << box->objectName().toStdString();
        EXPECT_EQ(label->text(), caption);
    }
    EXPECT_EQ(form->addressLabel->text(), QStringLiteral("A\nd\nr\ne\ns\ns\ne"));
    EXPECT_EQ(form->activeCheck->text(), QStringLiteral("Active O/N"));
    QStringList widths;
    for (DBEdit *box : { form->identifierEdit, form->keyEdit, form->categoryEdit, form->establishmentEdit, form->nameEdit,
             form->activityEdit, form->cityEdit, form->streetEdit, form->numberEdit, form->postCodeEdit })
        widths << QString::number(box->maxLength());
    EXPECT_EQ(widths.join(QLatin1Char(' ')), QStringLiteral("7 1 1 3 40 40 40 72 4 4"));
    QTest::keyClicks(form->yearEdit, QStringLiteral("-20a08"));
    EXPECT_EQ(form->yearEdit->text(), QStringLiteral("-2008")); // digits and a sign only
    form->yearEdit->clear();

    // Enter walks the twelve controls in tab order.
    form->identifierEdit->setFocus();
    QStringList walked;
    for (int i = 0; i < 11; ++i) {
        QWidget *from = QApplication::focusWidget();
        QTest::keyClick(from, Qt::Key_Return);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(walked,
        (QStringList { "keyEdit", "categoryEdit", "establishmentEdit", "yearEdit", "nameEdit", "activityEdit", "cityEdit", "streetEdit",
            "numberEdit", "postCodeEdit", "activeCheck" }));
    // Up arrow goes back; from the first box it wraps round to "Annuler", "fermer" being no tab stop.
    form->postCodeEdit->setFocus();
    QTest::keyClick(form->postCodeEdit, Qt::Key_Up);
    EXPECT_TRUE(form->numberEdit->hasFocus());
    form->identifierEdit->setFocus();
    QTest::keyClick(form->identifierEdit, Qt::Key_Up);
    EXPECT_TRUE(form->cancelButton->hasFocus());
    form->cancelButton->click();
}

TEST(CompanyForm, KeyboardEntryPadsTheTextsAndF10Saves)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    CompanyList *list = f.openList();
    list->addButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->identifierEdit->hasFocus());

    for (const char *typed : { "1234567", "B", "M", "000", "2008", "ABC", "COMMERCE", "TUNIS", "", "12" })
        typeIntoFocusedAndEnter(QString::fromLatin1(typed));
    EXPECT_EQ(stored(f, "RAISON_SOCIALE"), QStringLiteral("ABC") + QString(37, QLatin1Char(' ')));
    EXPECT_EQ(form->nameEdit->text(), stored(f, "RAISON_SOCIALE")); // the box shows it full
    EXPECT_EQ(stored(f, "RUE"), QString(72, QLatin1Char(' ')));
    EXPECT_EQ(stored(f, "NUMERO"), QStringLiteral("12  "));
    ASSERT_TRUE(form->postCodeEdit->hasFocus());
    typeIntoFocusedAndEnter(QStringLiteral("1000"));
    EXPECT_EQ(stored(f, "CODEPOSTAL"), QStringLiteral("1000"));
    ASSERT_TRUE(form->activeCheck->hasFocus());
    QTest::keyClick(form->activeCheck, Qt::Key_Space);
    EXPECT_EQ(stored(f, "ACTIVEON"), QStringLiteral("O"));

    form->postCodeEdit->setFocus();
    QTest::keyClick(form->postCodeEdit, Qt::Key_F10);
    QApplication::processEvents();
    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(MessageBox::count(), 0);
    EXPECT_EQ(f.committedScalar(QStringLiteral("select RAISON_SOCIALE || '|' || RUE || '|' || EXERCICE || '|' || ACTIVEON from SOCIETE "
                                               "where IDENTIFIANT = '1234567' and CLE = 'B'"))
                  .toString(),
        QStringLiteral("ABC") + QString(37, QLatin1Char(' ')) + QLatin1Char('|') + QString(72, QLatin1Char(' '))
            + QStringLiteral("|2008|O"));
    EXPECT_EQ(list->grid->model()->rowCount(), 2);
}

// The first company of a new register is made while the start-up selection
// is still open behind the list: saving it with F10 returns to the list, not
// to the selection (which the frame would show maximised).
TEST(CompanyForm, F10ReturnsToTheListWhileTheSelectionIsOpen)
{
    CompaniesFixture f;
    auto *selection = new CompanySelection(f.module.companies, &f.main, f.main.companyNameLabel, f.main.matriculeLabel, f.main.yearLabel);
    f.main.openChild(selection, false);
    CompanyList *list = f.openList();
    ASSERT_NE(list, nullptr);
    QMdiSubWindow *listFrame = f.main.mdiArea()->activeSubWindow();
    QTest::mouseClick(list->addButton, Qt::LeftButton);
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->identifierEdit->hasFocus());
    for (const char *typed : { "1234567", "B", "M", "000", "2008", "PREMIERE" })
        typeIntoFocusedAndEnter(QString::fromLatin1(typed));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    // As the event loop goes on: the form's frame goes, then what follows it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();

    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(MessageBox::count(), 0);
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 1);
    EXPECT_EQ(f.main.mdiArea()->activeSubWindow(), listFrame);
    ASSERT_NE(selection->parentWidget(), nullptr);
    EXPECT_FALSE(selection->parentWidget()->isMaximized());
    EXPECT_TRUE(list->isAncestorOf(QApplication::focusWidget()));
}

TEST(CompanyForm, SavingPadsTheTextsThatWereNotVisited)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    CompanyList *list = f.openList();
    list->editButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    // The name is corrected and saved with F10 from its own box.
    form->nameEdit->setFocus();
    form->nameEdit->selectAll();
    QTest::keyClicks(form->nameEdit, QStringLiteral("ALPHA SARL"));
    QTest::keyClick(form->nameEdit, Qt::Key_F10);
    QApplication::processEvents();
    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(
        f.committedScalar(QStringLiteral("select RAISON_SOCIALE from SOCIETE")).toString(), QStringLiteral("ALPHA SARL").leftJustified(40));
    const std::pair<const char *, int> widths[]
        = { { "ACTIVITE", 40 }, { "VILLE", 40 }, { "RUE", 72 }, { "NUMERO", 4 }, { "CODEPOSTAL", 4 } };
    for (const auto &[column, width] : widths)
        EXPECT_EQ(f.committedScalar(QStringLiteral("select char_length(%1) from SOCIETE").arg(QString::fromLatin1(column))).toInt(), width)
            << column;
}

TEST(CompanyForm, EmptyTaxIdentifierPartsAreRefusedByName)
{
    const char *columns[] = { "IDENTIFIANT", "CLE", "CATEGORIE", "ETABSECONDAIRE" };
    for (int missing = 0; missing < 4; ++missing) {
        CompaniesFixture f;
        CompanyList *list = f.openList();
        list->addButton->click();
        CompanyForm *form = f.form();
        ASSERT_NE(form, nullptr);
        DBEdit *parts[] = { form->identifierEdit, form->keyEdit, form->categoryEdit, form->establishmentEdit };
        for (int i = 0; i < 4; ++i) {
            parts[i]->setFocus();
            if (i != missing)
                QTest::keyClicks(parts[i], QStringLiteral("1"));
        }
        QTest::keyClick(form->establishmentEdit, Qt::Key_F10);
        const QString refusal = QStringLiteral("Field '%1' must have a value").arg(QString::fromLatin1(columns[missing]));
        EXPECT_EQ(MessageBox::lastText(), refusal);
        EXPECT_EQ(form->result(), FormResult::Ok);
        EXPECT_EQ(f.module.companies->state(), DataSetState::Insert);

        // The close box tries again with the result still OK, and is refused again.
        MessageBox::resetRecord();
        form->parentWidget()->close();
        QApplication::processEvents();
        ASSERT_EQ(f.form(), form);
        EXPECT_EQ(MessageBox::lastText(), refusal);

        // "Annuler" sets the result back and discards the row.
        form->cancelButton->click();
        QApplication::processEvents();
        EXPECT_EQ(f.form(), nullptr);
        EXPECT_EQ(f.module.companies->recordCount(), 0);
        EXPECT_EQ(f.scalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 0);
    }
}

TEST(CompanyForm, F10IsRefusedOnceTheRowIsNoLongerEdited)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    f.addCompany(QStringLiteral("0000002"), QStringLiteral("BETA"));
    CompanyList *list = f.openList();
    list->editButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    form->nameEdit->setFocus();
    QTest::keyClicks(form->nameEdit, QStringLiteral("X"));
    // The operator moves to another row in the list: the change is posted there.
    list->grid->setFocus();
    list->grid->setCurrentIndex(list->grid->model()->index(1, 0));
    EXPECT_EQ(f.module.companies->state(), DataSetState::Browse);
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE where RAISON_SOCIALE starting with 'ALPHAX'")).toInt(), 1);

    form->yearEdit->setFocus();
    QTest::keyClick(form->yearEdit, Qt::Key_F10);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Dataset not in edit or insert mode"));
    EXPECT_EQ(form->result(), FormResult::Ok);
    EXPECT_EQ(f.form(), form);

    // Leaving a padded box is refused alike.
    MessageBox::resetRecord();
    form->activityEdit->setFocus();
    form->yearEdit->setFocus();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Dataset not in edit or insert mode"));
    form->closeButton->click(); // "fermer"
    QApplication::processEvents();
    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(f.module.companies->state(), DataSetState::Browse);
}

// As the clerk leaves each box of the tax identifier, what the declaration's
// checks say of it shows in red under the boxes; the focus goes on, no box
// is shown, and a corrected part loses its line.
TEST(CompanyForm, IdentifierHintsInRedAsTheClerkLeavesEachBox)
{
    CompaniesFixture f;
    CompanyList *list = f.openList();
    list->addButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->identifierEdit->hasFocus());
    EXPECT_FALSE(form->identityHint->isVisible());
    const QString identifier = QStringLiteral("Matricule fiscal de la société « 12345 » : 7 chiffres attendus.");
    const QString key = QStringLiteral("Clé du matricule de la société « I » : une lettre de A à Z, sauf I, O et U, attendue.");
    const QString establishment = QStringLiteral("N° d'établissement secondaire de la société « 1 » : 3 chiffres attendus.");
    const struct
    {
        const char *typed;
        const char *next; // where the focus goes
        QStringList hints;
    } steps[] = {
        { "12345", "keyEdit", { identifier } },
        { "I", "categoryEdit", { identifier, key } },
        { "M", "establishmentEdit", { identifier, key } },
        { "1", "yearEdit", { identifier, key, establishment } },
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.typed);
        typeIntoFocusedAndEnter(QString::fromLatin1(step.typed));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(step.next));
        EXPECT_EQ(form->identityHint->text().toStdString(), step.hints.join(QLatin1Char(QChar::LineFeed)).toStdString());
        EXPECT_TRUE(form->identityHint->isVisible());
    }
    EXPECT_TRUE(form->identityHint->styleSheet().contains(QStringLiteral("#c00000")));
    QApplication::processEvents();
    form->grab().save(QDir::temp().filePath(QStringLiteral("kestra-company-hint.png")));
    EXPECT_EQ(MessageBox::count(), 0);

    form->identifierEdit->setFocus();
    form->identifierEdit->selectAll();
    typeIntoFocusedAndEnter(QStringLiteral("1234567"));
    EXPECT_EQ(form->identityHint->text(), (QStringList { key, establishment }).join(QLatin1Char('\n')));
    form->keyEdit->selectAll();
    typeIntoFocusedAndEnter(QStringLiteral("B"));
    form->categoryEdit->setFocus();
    typeIntoFocusedAndEnter(QString());
    form->establishmentEdit->selectAll();
    typeIntoFocusedAndEnter(QStringLiteral("000"));
    EXPECT_EQ(form->identityHint->text(), QString());
    EXPECT_FALSE(form->identityHint->isVisible());
    form->cancelButton->click();
}

