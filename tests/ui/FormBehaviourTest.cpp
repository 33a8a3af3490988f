#include "data/DataSet.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/BoundEditors.h"
#include "ui/EntryForm.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A small form: code, name, a date edit the keys skip, an address, OK.
class ClientForm : public EntryForm
{
public:
    explicit ClientForm(DataSet *ds)
        : EntryForm(ds)
    {
        auto *layout = new QVBoxLayout(this);
        for (auto [edit, field] : { std::pair { &code, "CODE" }, std::pair { &name, "NOMBENEFICIAIRE" } }) {
            *edit = new DBEdit(this);
            (*edit)->setField(ds, QString::fromLatin1(field));
            layout->addWidget(*edit);
            keys()->attach(*edit);
        }
        date = new DBDateEdit(this);
        date->setField(ds, QStringLiteral("DATEAUTORISATION"));
        layout->addWidget(date);
        address = new DBEdit(this);
        address->setField(ds, QStringLiteral("ADRESSE"));
        layout->addWidget(address);
        keys()->attach(address);
        ok = new QPushButton(QStringLiteral("OK"), this);
        layout->addWidget(ok);
        keys()->attachButton(ok);
        connect(ok, &QPushButton::clicked, this, [this] { closeWith(FormResult::Ok); });
        keys()->onSave = [this] { setResult(FormResult::Ok); };
    }
    DBEdit *code = nullptr;
    DBEdit *name = nullptr;
    DBDateEdit *date = nullptr;
    DBEdit *address = nullptr;
    QPushButton *ok = nullptr;
};

struct Fixture
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    DataSet tiers { db.connection(), QStringLiteral("Itiers") };
    Fixture()
    {
        tiers.setSql(QStringLiteral("select * from tiers Order by code"));
        tiers.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
        tiers.open();
        MessageBox::resetRecord();
    }
};

} // namespace

TEST(FormBehaviour, EnterUpAndF10)
{
    Fixture f;
    f.tiers.append();
    auto *form = new ClientForm(&f.tiers);
    QPointer<ClientForm> alive(form);
    form->show();
    QApplication::setActiveWindow(form);
    form->code->setFocus();

    QTest::keyClicks(form->code, QStringLiteral("12"));
    QTest::keyClick(form->code, Qt::Key_Return);
    EXPECT_TRUE(form->name->hasFocus());
    QTest::keyClick(form->name, Qt::Key_Return);
    EXPECT_TRUE(form->date->lineEdit()->hasFocus());
    QTest::keyClick(form->date->lineEdit(), Qt::Key_Return); // the date edit does not take part
    EXPECT_TRUE(form->date->lineEdit()->hasFocus());
    form->address->setFocus();
    QTest::keyClick(form->address, Qt::Key_Up);
    EXPECT_TRUE(form->date->lineEdit()->hasFocus());
    form->code->setFocus();
    QTest::keyClick(form->code, Qt::Key_Up); // round to the last tab stop
    EXPECT_TRUE(form->ok->hasFocus());

    EXPECT_EQ(form->result(), FormResult::None);
    form->code->setFocus();
    QTest::keyClick(form->code, Qt::Key_F10);
    EXPECT_EQ(form->result(), FormResult::Ok);
    EXPECT_TRUE(form->isVisible()); // F10 does not close

    form->close(); // the close box with the result OK posts
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
    EXPECT_EQ(f.tiers.state(), DataSetState::Browse);
    EXPECT_EQ(f.db.scalar(QStringLiteral("select count(*) from TIERS where CODE = 12")).toInt(), 1);
}

TEST(FormBehaviour, ARefusedPostKeepsTheFormOpenAndTheResult)
{
    Fixture f;
    f.tiers.append();
    auto *form = new ClientForm(&f.tiers);
    form->show();
    QApplication::setActiveWindow(form);
    form->name->setFocus();
    QTest::keyClicks(form->name, QStringLiteral("SANS CODE"));
    QTest::keyClick(form->name, Qt::Key_Return);
    form->ok->setFocus();
    QTest::keyClick(form->ok, Qt::Key_Return); // Enter presses OK
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Field 'CODE' must have a value"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), FormResult::Ok);
    EXPECT_EQ(f.tiers.fieldByName(QStringLiteral("NOMBENEFICIAIRE"))->asString(), QStringLiteral("SANS CODE"));

    form->closeWith(FormResult::Cancel); // the other ways out cancel
    EXPECT_EQ(f.tiers.state(), DataSetState::Browse);
    EXPECT_EQ(f.tiers.recordCount(), 0);
}
