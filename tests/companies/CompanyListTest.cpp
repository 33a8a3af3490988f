#include "companies/CompanyList.h"

#include "companies/CompanyForm.h"
#include "tests/companies/CompaniesFixture.h"
#include "ui/BoundEditors.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void clickTitle(CompanyList *list, int column)
{
    QHeaderView *header = list->grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(column) + 5, header->height() / 2));
}

QColor colour(CompanyList *list, int column)
{
    return list->grid->model()->index(0, column).data(Qt::BackgroundRole).value<QColor>();
}

QStringList names(CompanyList *list)
{
    QStringList out;
    for (int r = 0; r < list->grid->model()->rowCount(); ++r)
        out << list->grid->model()->index(r, 1).data().toString();
    return out;
}

} // namespace

TEST(CompanyList, WindowGridAndContextMenu)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    CompanyList *list = f.openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Liste des Sociétés"));
    EXPECT_TRUE(list->parentWidget()->isMaximized());
    EXPECT_EQ(list->bannerLabel->text(), QStringLiteral("<<<  Liste des Sociétés >>>"));
    EXPECT_TRUE(list->searchLabel->text().isEmpty());
    QAbstractItemModel *model = list->grid->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Code"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Raison Sociale"));
    EXPECT_EQ(list->grid->columnWidth(0), 106);
    EXPECT_EQ(model->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_TRUE(list->grid->isColumnHidden(2));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("O"));

    QStringList buttons;
    for (QPushButton *b : { list->addButton, list->editButton, list->deleteButton, list->closeButton })
        buttons << b->text();
    EXPECT_EQ(buttons, (QStringList { "Ajouter", "Modifier", "Supprimer", "Fermer" }));
    QStringList items;
    for (QAction *a : list->gridMenu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList { "Ajouter", "Modifier", "Supprimer", "-", "Fermer" }));

    // The menu's "Modifier" and a double-click open the form on the current row.
    list->gridMenu->actions().at(1)->trigger();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->nameEdit->text(), QStringLiteral("ALPHA"));
    EXPECT_EQ(f.module.companies->state(), DataSetState::Edit);
    form->closeButton->click(); // "fermer"
    QApplication::processEvents();
    EXPECT_EQ(f.module.companies->state(), DataSetState::Browse);
    QTest::mouseDClick(list->grid->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
    ASSERT_NE(f.form(), nullptr);
    f.form()->cancelButton->click();

    list->gridMenu->actions().at(4)->trigger(); // "Fermer"
    QApplication::processEvents();
    EXPECT_TRUE(f.main.findChildren<CompanyList *>().isEmpty());
}

TEST(CompanyList, ShowsTheHeldStatementThenSortsAndSearchesNames)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000003"), QStringLiteral("BETA"));
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    f.addCompany(QStringLiteral("0000002"), QStringLiteral("ABRICOT"));
    // What a search in the selection window left behind.
    const QString held = QStringLiteral("select * from societe Where Raison_Sociale LIKE 'A%' Order by Raison_Sociale");
    f.module.companies->setSql(held);
    CompanyList *list = f.openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(f.module.companies->sql(), held);
    EXPECT_EQ(names(list), (QStringList { "ABRICOT", "ALPHA" }));

    // Before any title click typing does nothing.
    QTest::keyClicks(list->searchEdit, QStringLiteral("b"));
    EXPECT_EQ(list->searchEdit->text(), QStringLiteral("B"));
    EXPECT_EQ(f.module.companies->sql(), held);
    list->searchEdit->clear();

    clickTitle(list, 0);
    EXPECT_EQ(list->searchLabel->text(), QStringLiteral("Code"));
    EXPECT_EQ(f.module.companies->sql(), QStringLiteral("select * from societe Order by IDENTIFIANT"));
    EXPECT_EQ(names(list), (QStringList { "ALPHA", "ABRICOT", "BETA" }));
    EXPECT_EQ(colour(list, 0), ListWindow::SortColour);
    EXPECT_EQ(colour(list, 1), ListWindow::LightColour);
    QTest::keyClicks(list->searchEdit, QStringLiteral("a"));
    EXPECT_EQ(names(list), (QStringList { "ALPHA", "ABRICOT", "BETA" })); // still by code, unfiltered
    list->searchEdit->clear();

    clickTitle(list, 1);
    EXPECT_EQ(list->searchLabel->text(), QStringLiteral("Raison Sociale"));
    EXPECT_EQ(colour(list, 1), ListWindow::SortColour);
    EXPECT_EQ(colour(list, 0), ListWindow::LightColour);
    QTest::keyClicks(list->searchEdit, QStringLiteral("a"));
    EXPECT_EQ(f.module.companies->sql(), QStringLiteral("select * from societe Where Raison_Sociale LIKE 'A%' Order by Raison_Sociale"));
    EXPECT_EQ(names(list), (QStringList { "ABRICOT", "ALPHA" }));
    QTest::keyClicks(list->searchEdit, QStringLiteral("'"));
    EXPECT_TRUE(names(list).isEmpty()); // a quote is only a character
    list->searchEdit->clear();
    EXPECT_EQ(f.module.companies->sql(), QStringLiteral("select * from societe Order by Raison_Sociale"));
    EXPECT_EQ(names(list), (QStringList { "ABRICOT", "ALPHA", "BETA" }));
    EXPECT_EQ(MessageBox::count(), 0);
}

TEST(CompanyList, SortingPostsARowBeingTypedInsteadOfLosingIt)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    CompanyList *list = f.openList();
    list->addButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    form->nameEdit->setFocus();
    QTest::keyClicks(form->nameEdit, QStringLiteral("SANS CLE"));
    QTest::keyClick(form->nameEdit, Qt::Key_Return);

    // The row cannot be saved: the sort is refused and the typing kept.
    clickTitle(list, 1);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Field 'IDENTIFIANT' must have a value"));
    EXPECT_EQ(f.module.companies->state(), DataSetState::Insert);
    EXPECT_TRUE(f.module.companies->sql() != QStringLiteral("select * from societe Order by RAISON_SOCIALE"));

    // Back in the form, the operator completes the identifier.
    f.main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(form->parentWidget()));
    form->identifierEdit->setFocus();
    QTest::keyClicks(form->identifierEdit, QStringLiteral("0000002"));
    for (DBEdit *box : { form->keyEdit, form->categoryEdit, form->establishmentEdit }) {
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("A"));
    }
    form->yearEdit->setFocus();
    clickTitle(list, 1);
    EXPECT_EQ(f.module.companies->sql(), QStringLiteral("select * from societe Order by RAISON_SOCIALE"));
    EXPECT_EQ(names(list), (QStringList { "ALPHA", QStringLiteral("SANS CLE").leftJustified(40) }));
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 2);
}

TEST(CompanyList, AddingAndModifyingOpenTheFormInTheFrame)
{
    CompaniesFixture f;
    CompanyList *list = f.openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->grid->model()->rowCount(), 0);

    // "Modifier" on an empty list starts a new row; leaving without OK keeps nothing.
    list->editButton->click();
    CompanyForm *form = f.form();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->parentWidget()->isMaximized());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Paramètre de la société"));
    EXPECT_EQ(f.module.companies->state(), DataSetState::Insert);
    EXPECT_TRUE(form->identifierEdit->hasFocus());
    form->parentWidget()->close(); // the close box
    QApplication::processEvents();
    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(f.module.companies->recordCount(), 0);

    // "Ajouter", some typing, then the close box: no trace anywhere.
    list->addButton->click();
    form = f.form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(list->grid->model()->rowCount(), 1); // the list shows the row being typed
    QTest::keyClicks(form->identifierEdit, QStringLiteral("1234567"));
    QTest::keyClick(form->identifierEdit, Qt::Key_Return);
    form->parentWidget()->close();
    QApplication::processEvents();
    EXPECT_EQ(list->grid->model()->rowCount(), 0);
    EXPECT_EQ(f.scalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 0);
    EXPECT_EQ(MessageBox::count(), 0);
}

TEST(CompanyList, DeletingAsksThePassword)
{
    struct Case
    {
        QString typed;
        bool ok; // OK rather than Annuler
        bool deleted;
    };
    const Case cases[] = {
        { QStringLiteral("quillbark"), true, true },
        { QStringLiteral(" quillbark\t"), true, true },
        { QStringLiteral("QUILLBARK"), true, false },
        { QString(), true, false },
        { QStringLiteral("quillbark"), false, false },
    };
    for (const Case &c : cases) {
        CompaniesFixture f;
        f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
        f.addCompany(QStringLiteral("0000002"), QStringLiteral("BETA"));
        CompanyList *list = f.openList();
        answerPassword(c.typed, c.ok);
        list->deleteButton->click();
        EXPECT_EQ(f.module.companies->recordCount(), c.deleted ? 1 : 2) << c.typed.toStdString() << (c.ok ? " OK" : " Annuler");
        EXPECT_EQ(f.scalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), c.deleted ? 1 : 2);
        EXPECT_EQ(MessageBox::count(), 0); // nothing is said, whatever the answer
    }
}

TEST(CompanyList, DeletingKeepsTheInvoicesAndBecomesDurableWithTheNextPost)
{
    CompaniesFixture f;
    f.addCompany(QStringLiteral("0000001"), QStringLiteral("ALPHA"));
    f.addCompany(QStringLiteral("0000002"), QStringLiteral("BETA"));
    f.db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE) values ('0000001AM000', 2008, 1, 1)"));
    f.db.connection().commitRetaining();
    CompanyList *list = f.openList();
    EXPECT_EQ(f.module.companies->fieldByName(QStringLiteral("IDENTIFIANT"))->asString(), QStringLiteral("0000001"));
    answerPassword(QStringLiteral("quillbark"), true);
    list->deleteButton->click();
    EXPECT_EQ(f.scalar(QStringLiteral("select count(*) from SOCIETE where IDENTIFIANT = '0000001'")).toInt(), 0);
    EXPECT_EQ(f.scalar(QStringLiteral("select IDENTIFIANT from FACTURE")).toString(), QStringLiteral("0000001AM000"));
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 2); // not committed yet

    list->editButton->click(); // any post commits it
    f.form()->okButton->click();
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from SOCIETE")).toInt(), 1);
    EXPECT_EQ(f.committedScalar(QStringLiteral("select count(*) from FACTURE")).toInt(), 1);
}

TEST(CompanyList, DeletingOnAnEmptyListOrARowBeingAdded)
{
    CompaniesFixture f;
    CompanyList *list = f.openList();
    answerPassword(QStringLiteral("quillbark"), true);
    list->deleteButton->click();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Cannot perform this operation on an empty dataset"));

    // A row still being typed is discarded rather than anything deleted.
    list->addButton->click();
    ASSERT_NE(f.form(), nullptr);
    QTest::keyClicks(f.form()->identifierEdit, QStringLiteral("1234567"));
    answerPassword(QStringLiteral("quillbark"), true);
    list->deleteButton->click();
    EXPECT_EQ(f.module.companies->state(), DataSetState::Browse);
    EXPECT_EQ(f.module.companies->recordCount(), 0);
    f.form()->cancelButton->click(); // the form closes on nothing
    QApplication::processEvents();
    EXPECT_EQ(f.form(), nullptr);
    EXPECT_EQ(f.module.companies->recordCount(), 0);
}
