// The range editor of the spreadsheet page, on its own: what OK refuses and
// where it leaves the operator, and the range it gives back.

#include "import/wizard/RangeEditor.h"

#include "import/sources/workbook/RangeMap.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QStringList Sheets = { QStringLiteral("Clients"), QStringLiteral("Feuil1"), QStringLiteral("Ventes 2024") };

template <typename T> T *part(QWidget &dialog, const char *name)
{
    T *w = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no " << name;
    return w;
}

void click(QRadioButton *r)
{
    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2));
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

enum SheetChoice { scKeep, scDefault, scNumber, scName };

// What the operator sets: a null end is "found in the data".
struct Entry
{
    int type = 0; // 0 Col, 1 Row, 2 Cell
    QString range = QString();
    QString start = QString();
    QString finish = QString();
    bool backward = false;
    SheetChoice sheet = scKeep;
    QString sheetText = QString();
};

void enter(RangeEditor &d, const Entry &e)
{
    part<QComboBox>(d, "cbRangeType")->setCurrentIndex(e.type);
    typeInto(part<QLineEdit>(d, "edRange"), e.range);
    if (e.type == 2)
        return;
    for (const auto &[value, open, given, edit] : { std::tuple { e.start, "rbStartOpen", "rbStartGiven", "edStart" },
             std::tuple { e.finish, "rbFinishOpen", "rbFinishGiven", "edFinish" } }) {
        if (value.isNull()) {
            click(part<QRadioButton>(d, open));
        } else {
            click(part<QRadioButton>(d, given));
            typeInto(part<QLineEdit>(d, edit), value);
        }
    }
    if (e.start.isNull() || e.finish.isNull())
        click(part<QRadioButton>(d, e.backward ? "rbBackward" : "rbForward"));
    switch (e.sheet) {
    case scKeep:
        break;
    case scDefault:
        click(part<QRadioButton>(d, "rbDefaultSheet"));
        break;
    case scNumber:
        click(part<QRadioButton>(d, "rbCustomSheet"));
        click(part<QRadioButton>(d, "rbSheetNumber"));
        typeInto(part<QComboBox>(d, "cbSheetNumber")->lineEdit(), e.sheetText);
        break;
    case scName:
        click(part<QRadioButton>(d, "rbCustomSheet"));
        click(part<QRadioButton>(d, "rbSheetName"));
        typeInto(part<QComboBox>(d, "cbSheetName")->lineEdit(), e.sheetText);
        break;
    }
}

// A new range as the page makes one: column A of the sheet, both ends open.
MapRange newRange()
{
    MapRange range;
    range.setBounds(0, 1, 0, 1);
    range.setDirection(rdForward);
    range.setSheetName(QStringLiteral("Feuil1"));
    return range;
}

class RangeEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageBox::resetRecord();
        MessageBox::setAutoAnswer(QMessageBox::Ok);
    }
    void TearDown() override
    {
        MessageBox::setAutoAnswer(QMessageBox::NoButton);
        MessageBox::resetRecord();
    }
};

} // namespace

TEST_F(RangeEditorTest, RefusesWithTheFirstFaultAndStaysOnItsEdit)
{
    struct Case
    {
        Entry entry;
        QString message;
        const char *focused;
    };
    const QString open;
    const QList<Case> cases = {
        { { 0, QString(), open, open }, QStringLiteral("Col is empty"), "edRange" },
        { { 1, QStringLiteral("  "), open, open }, QStringLiteral("Row is empty"), "edRange" },
        { { 2, QString() }, QStringLiteral("Cell is empty"), "edRange" },
        { { 0, QStringLiteral("B3") }, QStringLiteral("Letter expected but 3 found (position 2)"), "edRange" },
        { { 1, QStringLiteral("3b") }, QStringLiteral("Number expected but B found (position 2)"), "edRange" },
        { { 2, QStringLiteral("3B") }, QStringLiteral("Letter expected but 3 found (position 1)"), "edRange" },
        { { 2, QStringLiteral("B") }, QStringLiteral("Number expected but end of range found (position 2)"), "edRange" },
        { { 2, QStringLiteral("B3C") }, QStringLiteral("Number expected but C found (position 3)"), "edRange" },
        { { 0, QStringLiteral("B;C") }, QStringLiteral("So long col definition"), "edRange" },
        { { 1, QStringLiteral("3;4") }, QStringLiteral("So long row definition"), "edRange" },
        { { 2, QStringLiteral("B3; B4") }, QStringLiteral("So long cell definition"), "edRange" },
        { { 0, QStringLiteral("IW") }, QStringLiteral("Column 257 is out of range [A..IV]"), "edRange" },
        { { 1, QStringLiteral("65537") }, QStringLiteral("Row 65537 is out of range [1..65536]"), "edRange" },
        { { 2, QStringLiteral("A0") }, QStringLiteral("Row 0 is out of range [1..65536]"), "edRange" },
        // The ends of a column are rows, those of a row are columns.
        { { 0, QStringLiteral("B"), QStringLiteral("x"), open }, QStringLiteral("Number expected but X found (position 1)"), "edStart" },
        { { 1, QStringLiteral("3"), QStringLiteral("B"), QStringLiteral("1") }, QStringLiteral("Letter expected but 1 found (position 1)"),
            "edFinish" },
        { { 0, QStringLiteral("B"), open, QStringLiteral("") }, QStringLiteral("Row is empty"), "edFinish" },
        { { 0, QStringLiteral("B"), open, open, false, scNumber, QString() }, QStringLiteral("Sheet is empty"), "cbSheetNumber" },
        { { 0, QStringLiteral("B"), open, open, false, scNumber, QStringLiteral("1;2") }, QStringLiteral("So long sheet definition"),
            "cbSheetNumber" },
        { { 0, QStringLiteral("B"), open, open, false, scNumber, QStringLiteral("2a") },
            QStringLiteral("Number expected but A found (position 2)"), "cbSheetNumber" },
        { { 0, QStringLiteral("B"), open, open, false, scName, QStringLiteral("Fe:uil") },
            QStringLiteral("Illegal char : in sheet name at position 3"), "cbSheetName" },
        // A worksheet the workbook does not have.
        { { 0, QStringLiteral("B"), open, open, false, scName, QStringLiteral("2") },
            QStringLiteral("Sheet with name 2 is not found in the source file"), "cbSheetName" },
        { { 0, QStringLiteral("B"), open, open, false, scNumber, QStringLiteral("4") },
            QStringLiteral("Sheet number 4 is not found in the source file"), "cbSheetNumber" },
        { { 0, QStringLiteral("B"), open, open, false, scNumber, QStringLiteral("0") },
            QStringLiteral("Sheet number 0 is not found in the source file"), "cbSheetNumber" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        RangeEditor d(newRange(), Sheets);
        d.show();
        enter(d, c.entry);
        MessageBox::resetRecord();
        d.accept();
        EXPECT_EQ(MessageBox::count(), 1);
        EXPECT_EQ(MessageBox::lastText(), c.message);
        EXPECT_TRUE(d.isVisible());
        EXPECT_NE(d.result(), QDialog::Accepted);
        QWidget *expected = part<QWidget>(d, c.focused);
        QWidget *focused = d.focusWidget();
        EXPECT_TRUE(focused && (focused == expected || expected->isAncestorOf(focused)))
            << (focused ? focused->objectName().toStdString() : std::string("nothing"));
        d.reject();
    }
}

TEST_F(RangeEditorTest, GivesBackTheRangeAsEdited)
{
    struct Case
    {
        Entry entry;
        QString text;
    };
    const QString open;
    const QList<Case> cases = {
        { { 0, QStringLiteral("b"), open, open }, QStringLiteral("[Feuil1]B-COLFINISH;") },
        { { 0, QStringLiteral("B"), open, open, true, scDefault }, QStringLiteral("B-COLSTART;") },
        { { 0, QStringLiteral(" B; "), QStringLiteral("5"), open }, QStringLiteral("[Feuil1]B5-COLFINISH;") },
        { { 0, QStringLiteral("B"), open, QStringLiteral("40"), true }, QStringLiteral("[Feuil1]COLFINISH-B40;") },
        // Both ends given: the direction follows them.
        { { 0, QStringLiteral("B"), QStringLiteral("40"), QStringLiteral("3") }, QStringLiteral("[Feuil1]B40-B3;") },
        { { 0, QStringLiteral("B"), QStringLiteral("5"), QStringLiteral("5") }, QStringLiteral("[Feuil1]B5;") },
        { { 1, QStringLiteral("3"), QStringLiteral("b"), QStringLiteral("H") }, QStringLiteral("[Feuil1]B3-H3;") },
        { { 1, QStringLiteral("3"), open, open, true }, QStringLiteral("[Feuil1]3-ROWSTART;") },
        { { 2, QStringLiteral(" b7; ") }, QStringLiteral("[Feuil1]B7;") },
        { { 0, QStringLiteral("C"), open, open, false, scNumber, QStringLiteral("2") }, QStringLiteral("[:2]C-COLFINISH;") },
        // A sheet name keeps its case.
        { { 0, QStringLiteral("C"), open, open, false, scName, QStringLiteral("Ventes 2024") },
            QStringLiteral("[Ventes 2024]C-COLFINISH;") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        RangeEditor d(newRange(), Sheets);
        d.show();
        enter(d, c.entry);
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted) << MessageBox::lastText().toStdString();
        EXPECT_EQ(d.range().text(), c.text);
        // What the import will read back is the same range.
        MapRow row;
        row.parse(d.range().text());
        EXPECT_EQ(row.text(), c.text.toUpper());
    }
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(RangeEditorTest, OpensOnARangeAsItStands)
{
    for (const QString text :
        { "B3-B40;", "B40-B3;", "COLSTART-B40;", "B3-COLSTART;", "3-ROWFINISH;", "ROWFINISH-H3;", "[:2]C5;", "[FEUIL1]B-COLFINISH;" }) {
        SCOPED_TRACE(text.toStdString());
        MapRow row;
        row.parse(text);
        RangeEditor d(*row.range(0), Sheets);
        d.show();
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted) << MessageBox::lastText().toStdString();
        // The sheet as the workbook spells it.
        EXPECT_EQ(d.range().text().toUpper().toStdString(), text.toStdString());
    }
}

TEST_F(RangeEditorTest, OnlyWhatTheTypeUsesCanBeEdited)
{
    RangeEditor d(newRange(), Sheets);
    d.show();
    auto *direction = part<QRadioButton>(d, "rbForward");
    EXPECT_EQ(direction->text(), QStringLiteral("Down"));
    EXPECT_EQ(part<QRadioButton>(d, "rbStartGiven")->text(), QStringLiteral("Start Row"));
    EXPECT_TRUE(direction->isEnabled());
    // Two ends given: nothing is left to a direction.
    click(part<QRadioButton>(d, "rbStartGiven"));
    click(part<QRadioButton>(d, "rbFinishGiven"));
    EXPECT_FALSE(direction->isEnabled());
    EXPECT_TRUE(part<QLineEdit>(d, "edStart")->isEnabled());

    part<QComboBox>(d, "cbRangeType")->setCurrentIndex(1);
    EXPECT_EQ(direction->text(), QStringLiteral("Right"));
    EXPECT_EQ(part<QRadioButton>(d, "rbFinishGiven")->text(), QStringLiteral("Finish Col"));
    part<QComboBox>(d, "cbRangeType")->setCurrentIndex(2);
    for (const char *name : { "edStart", "edFinish", "rbStartOpen", "rbBackward", "rbCustomSheet", "cbSheetName" })
        EXPECT_FALSE(part<QWidget>(d, name)->isEnabled()) << name;
    EXPECT_TRUE(part<QLineEdit>(d, "edRange")->isEnabled());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Range"));
}

// From the keyboard: Tab stops on the choice made in each group, so that
// landing there and pressing Space changes nothing; the arrows change the
// choice; the edit of the choice is next.
TEST_F(RangeEditorTest, KeysMoveThroughTheChoicesMade)
{
    RangeEditor d(newRange(), Sheets);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    auto focused = [] { return QApplication::focusWidget(); };
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget *w = focused();
        ASSERT_TRUE(w);
        QTest::keyClick(w, key, modifiers);
    };
    ASSERT_EQ(focused(), part<QLineEdit>(d, "edRange"));

    // Once round the dialog, with Space on every choice landed on.
    QStringList choices;
    for (int i = 0; i < 30 && (choices.isEmpty() || focused() != part<QLineEdit>(d, "edRange")); ++i) {
        press(Qt::Key_Tab);
        if (auto *r = qobject_cast<QRadioButton *>(focused())) {
            choices << r->objectName();
            EXPECT_TRUE(r->isChecked()) << r->objectName().toStdString();
            press(Qt::Key_Space);
        }
    }
    EXPECT_EQ(choices, QStringList({ "rbStartOpen", "rbFinishOpen", "rbForward", "rbCustomSheet", "rbSheetName" }));

    // Tab to a control, as far as once round the dialog.
    auto tabTo = [&](QWidget *target, Qt::KeyboardModifiers modifiers = {}) {
        for (int i = 0; i < 30 && focused() != target; ++i)
            press(Qt::Key_Tab, modifiers);
        return focused() == target;
    };
    // To the sheet by name, then Up: by number, whose list is next.
    ASSERT_TRUE(tabTo(part<QRadioButton>(d, "rbSheetName")));
    press(Qt::Key_Up);
    EXPECT_TRUE(part<QRadioButton>(d, "rbSheetNumber")->isChecked());
    EXPECT_EQ(focused(), part<QRadioButton>(d, "rbSheetNumber"));
    press(Qt::Key_Tab);
    auto *number = part<QComboBox>(d, "cbSheetNumber");
    EXPECT_TRUE(focused() == number || number->isAncestorOf(focused()));
    number->lineEdit()->selectAll();
    QTest::keyClicks(focused(), QStringLiteral("2"));
    // Back to the start group: Down gives the start, whose edit is next.
    ASSERT_TRUE(tabTo(part<QRadioButton>(d, "rbStartOpen"), Qt::ShiftModifier));
    press(Qt::Key_Down);
    EXPECT_TRUE(part<QRadioButton>(d, "rbStartGiven")->isChecked());
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), part<QLineEdit>(d, "edStart"));
    QTest::keyClicks(focused(), QStringLiteral("3"));
    press(Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted) << MessageBox::lastText().toStdString();
    EXPECT_EQ(d.range().text(), QStringLiteral("[:2]A3-COLFINISH;"));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

// A cell keeps the sheet it had: one the workbook does not have is refused
// as well.
TEST_F(RangeEditorTest, ACellOnAMissingSheetIsRefused)
{
    MapRow row;
    row.parse(QStringLiteral("[Feuil2]E2;"));
    RangeEditor d(*row.range(0), Sheets);
    d.show();
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Sheet with name FEUIL2 is not found in the source file"));
}
