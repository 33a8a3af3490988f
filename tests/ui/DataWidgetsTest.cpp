#include "data/DataSet.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/BoundEditors.h"
#include "ui/DBGrid.h"
#include "ui/ListWindow.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct ClientsFixture
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    DataSet tiers { db.connection(), QStringLiteral("Itiers") };

    ClientsFixture()
    {
        for (int code : { 3, 1, 2 })
            db.exec(QStringLiteral("insert into TIERS (CODE, NOMBENEFICIAIRE, DATEAUTORISATION) values (%1, 'CLIENT %1', '2008-03-0%1')")
                        .arg(code));
        tiers.setSql(QStringLiteral("select * from tiers Order by code"));
        tiers.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
        tiers.open();
        MessageBox::resetRecord();
    }
};

QList<GridColumn> clientColumns()
{
    return { { QStringLiteral("CODE"), QStringLiteral("Code"), 60 },
        { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("Nom Tiers"), 200 } };
}

} // namespace

TEST(DataWidgets, GridAndEditorFollowOneDataSet)
{
    ClientsFixture f;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new DBGrid(&window);
    auto *name = new DBEdit(&window);
    auto *code = new DBEdit(&window);
    layout->addWidget(grid);
    layout->addWidget(code);
    layout->addWidget(name);
    grid->setDataSet(&f.tiers);
    grid->setColumns(clientColumns());
    code->setField(&f.tiers, QStringLiteral("CODE"));
    name->setField(&f.tiers, QStringLiteral("NOMBENEFICIAIRE"));
    window.show();
    QApplication::setActiveWindow(&window);

    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("CLIENT 1"));
    EXPECT_EQ(name->text(), QStringLiteral("CLIENT 1"));
    EXPECT_EQ(name->maxLength(), 40);

    f.tiers.next(); // the data set moves: grid and editor follow
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(name->text(), QStringLiteral("CLIENT 2"));

    grid->setCurrentIndex(grid->model()->index(2, 0)); // the grid moves: the data set follows
    EXPECT_EQ(f.tiers.recNo(), 2);
    EXPECT_EQ(code->text(), QStringLiteral("3"));

    // Typing starts editing; leaving the editor writes the field.
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("NOUVEAU NOM"));
    EXPECT_EQ(f.tiers.state(), DataSetState::Edit);
    code->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f.tiers.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("NOUVEAU NOM"));
    EXPECT_EQ(grid->model()->index(2, 1).data().toString(), QStringLiteral("NOUVEAU NOM"));

    // A text the field cannot hold is refused in the toolkit's words; the focus stays.
    code->selectAll();
    QTest::keyClicks(code, QStringLiteral("abc"));
    name->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("'abc' is not a valid integer value for field 'CODE'"));
    EXPECT_TRUE(code->hasFocus());
    f.tiers.cancel();
}

TEST(DataWidgets, CtrlDeleteAsksFirst)
{
    ClientsFixture f;
    DBGrid grid;
    grid.setDataSet(&f.tiers);
    grid.setColumns(clientColumns());
    grid.show();
    MessageBox::setNextAnswer(QMessageBox::Cancel);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Delete record?"));
    EXPECT_EQ(f.tiers.recordCount(), 3);
    f.tiers.first();
    MessageBox::setNextAnswer(QMessageBox::Ok);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.tiers.recordCount(), 2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    // The row after the deleted one becomes current, in the grid as in the data set.
    EXPECT_EQ(f.tiers.recNo(), 0);
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(f.tiers.fieldByName(QStringLiteral("CODE"))->asInteger(), 2);
}

TEST(DataWidgets, DateComboAndCheckEditors)
{
    ClientsFixture f;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *date = new DBDateEdit(&window);
    auto *type = new DBComboBox(&window);
    auto *other = new DBEdit(&window);
    layout->addWidget(date);
    layout->addWidget(type);
    layout->addWidget(other);
    type->addItems({ QStringLiteral("1: Matricule Fiscal"), QStringLiteral("2: N° CIN") });
    date->setField(&f.tiers, QStringLiteral("DATEAUTORISATION"));
    type->setField(&f.tiers, QStringLiteral("TYPEIDENTIFIANT"));
    other->setField(&f.tiers, QStringLiteral("NOMBENEFICIAIRE"));
    window.show();
    QApplication::setActiveWindow(&window);

    EXPECT_EQ(date->lineEdit()->text(), QStringLiteral("01/03/2008"));
    date->lineEdit()->setFocus();
    date->lineEdit()->selectAll();
    QTest::keyClicks(date->lineEdit(), QStringLiteral("31/02/2008"));
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("'31/02/2008' is not a valid date"));
    EXPECT_TRUE(date->lineEdit()->hasFocus());
    date->lineEdit()->selectAll();
    QTest::keyClicks(date->lineEdit(), QStringLiteral("15/04/2009"));
    type->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f.tiers.fieldByName(QStringLiteral("DATEAUTORISATION"))->asString(), QStringLiteral("15/04/2009"));

    type->setCurrentIndex(1);
    emit type->activated(1);
    EXPECT_EQ(f.tiers.fieldByName(QStringLiteral("TYPEIDENTIFIANT"))->asString(), QStringLiteral("2")); // first character
    f.tiers.post();
    EXPECT_EQ(f.db.scalar(QStringLiteral("select TYPEIDENTIFIANT from TIERS where CODE = 1")).toString(), QStringLiteral("2"));
}

namespace {
class SortableList : public ListWindow
{
public:
    explicit SortableList(DataSet *ds)
        : ListWindow(QStringLiteral("<<<  Liste >>>"))
    {
        grid->setDataSet(ds);
        grid->setColumns(clientColumns());
        connect(grid, &DBGrid::titleClicked, this, [this](int column) { paintSortColumn(column); });
    }
};
} // namespace

TEST(DataWidgets, TitleClickColoursAndCapitalSearch)
{
    ClientsFixture f;
    SortableList list(&f.tiers);
    list.show();
    QHeaderView *header = list.grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(1) + 5, header->height() / 2));
    auto colour = [&](int column) { return list.grid->model()->index(0, column).data(Qt::BackgroundRole).value<QColor>(); };
    EXPECT_EQ(colour(1), ListWindow::SortColour);
    EXPECT_EQ(colour(0), ListWindow::LightColour);

    QTest::keyClicks(list.searchEdit, QStringLiteral("l'ami "));
    QTest::sendKeyEvent(QTest::Click, list.searchEdit, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
    EXPECT_EQ(list.searchEdit->text(), QStringLiteral("L'AMI É"));
    EXPECT_EQ(list.searchLabel->buddy(), list.searchEdit);
}
