// The spreadsheet page over a workbook written by LibreOffice
// (tests/fixtures/wizard/clients.xls): its preview, the automatic fills, the
// selection made with Shift and Ctrl, the range editor, and an import.

#include "import/wizard/SpreadsheetPage.h"

#include "core/DateTime.h"
#include "data/Query.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardWindow.h"
#include "import/wizard/RangeEditor.h"
#include "import/wizard/SheetGrid.h"
#include "tests/wizard/PageDriving.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/MessageBox.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <functional>
#include <gtest/gtest.h>

using namespace PageDriving;

namespace {

const QString Workbook = QStringLiteral(KESTRA_FIXTURES_DIR "/wizard/clients.xls");
// The clients of its sheet by code, as an import stores them.
const QMap<int, QString> WorkbookClients
    = { { 1, QStringLiteral("Ben Salah Mohamed") }, { 2, QStringLiteral("Société Sfaxienne") }, { 3, QStringLiteral("Trabelsi Amel") },
          { 4, QStringLiteral("Comptoir Parisien") }, { 5, QStringLiteral("Gharbi Nizar") }, { 6, QStringLiteral("Haddad Leïla") } };

class SpreadsheetPageTest : public WizardOnClients
{
protected:
    void SetUp() override
    {
        WizardOnClients::SetUp();
        wizard.showProgress = false;
    }

    static SpreadsheetPage &page(WizardWindow &w) { return *qobject_cast<SpreadsheetPage *>(w.page(aiXLS)); }

    // The window on the mapping step over the workbook, on one of its sheets.
    SpreadsheetPage &open(WizardWindow &w, const QString &sheet = QStringLiteral("Clients"))
    {
        w.show();
        openMapStep(w, aiXLS, Workbook);
        EXPECT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        SpreadsheetPage &p = page(w);
        showSheet(p, sheet);
        return p;
    }

    static void showSheet(SpreadsheetPage &p, const QString &name)
    {
        QTabBar *bar = find<QTabWidget>(p, QStringLiteral("pcSheets"))->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == name)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }

    static SheetGrid *active(SpreadsheetPage &p)
    {
        return qobject_cast<SheetGrid *>(find<QTabWidget>(p, QStringLiteral("pcSheets"))->currentWidget());
    }

    static void clickCell(SpreadsheetPage &p, int row, int col, Qt::KeyboardModifiers modifiers = {})
    {
        SheetGrid *g = active(p);
        g->scrollTo(g->model()->index(row - 1, col - 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, modifiers, g->cellPoint(row, col));
    }

    static void clickHeader(SpreadsheetPage &p, bool column, int position, Qt::KeyboardModifiers modifiers)
    {
        SheetGrid *g = active(p);
        if (column)
            QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, modifiers, g->columnHeaderPoint(position));
        else
            QTest::mouseClick(g->verticalHeader()->viewport(), Qt::LeftButton, modifiers, g->rowHeaderPoint(position));
    }

    static void chooseField(SpreadsheetPage &p, const QString &column)
    {
        clickItem(find<QListWidget>(p, QStringLiteral("lstXLSFields")), column);
    }

    static void tool(SpreadsheetPage &p, const char *name) { click(find<QToolButton>(p, QString::fromLatin1(name))); }

    static QString ranges(WizardWindow &w, const char *column) { return w.settings().xlsRanges.value(QString::fromLatin1(column)); }
};

// Answers the range editor the page opens: act gets it, then it is closed
// with OK unless act closed it. The editor is always closed, whatever act
// checks, so that no test waits on it.
void answerRangeEditor(std::function<void(RangeEditor &)> act, int *shown)
{
    QTimer::singleShot(0, [act, shown] {
        auto *dialog = qobject_cast<RangeEditor *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no range editor";
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        ++*shown;
        act(*dialog);
        if (dialog->isVisible())
            dialog->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

TEST_F(SpreadsheetPageTest, ShowsEachWorksheetAndReadsItAgainOnlyForANewFile)
{
    wizard.excelViewerRows = 10;
    wizard.excelMaxColWidth = 100;
    WizardWindow w(wizard);
    ImportFormats &formats = w.settings().formats;
    formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    formats.shortTimeFormat = QStringLiteral("hh:mm");
    formats.decimalSeparator = QLatin1Char(',');
    SpreadsheetPage &p = open(w);
    EXPECT_EQ(find<QLabel>(p, QStringLiteral("laHint"))->text(),
        QStringLiteral("Use the Range Editor to add/edit ranges or click individual cells with Shift or Ctrl pressed. Press Enter to apply "
                       "selection or Escape to cancel."));
    ASSERT_EQ(p.sheetCount(), 3);
    QTabWidget *tabs = find<QTabWidget>(p, QStringLiteral("pcSheets"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Clients"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Feuil1"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Trous"));

    SheetGridModel *clients = p.grid(0)->model();
    EXPECT_EQ(clients->rowCount(), 10);
    EXPECT_EQ(clients->columnCount(), 256);
    EXPECT_EQ(clients->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("A"));
    EXPECT_EQ(clients->headerData(255, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("IV"));
    EXPECT_EQ(clients->headerData(9, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("10"));

    struct Cell
    {
        int sheet, row, col;
        QString text;
    };
    const QList<Cell> cells = {
        { 0, 1, 1, QStringLiteral("Code") },
        { 0, 2, 6, QStringLiteral("Ben Salah Mohamed") },
        { 0, 3, 2, QStringLiteral("1") },
        { 0, 2, 8, QStringLiteral("15/03/2024") },
        // A date-time of 0 is a time; a time alone shows as one.
        { 1, 2, 2, QStringLiteral("00:00") },
        { 1, 5, 2, QStringLiteral("12:00") },
        { 1, 4, 2, QStringLiteral("15/03/2024 13:45") },
        { 1, 4, 1, QStringLiteral("3,5") },
        // A formula shows its result.
        { 1, 3, 3, QStringLiteral("4") },
        { 1, 6, 1, QString() },
    };
    for (const Cell &c : cells) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(p.grid(c.sheet)->model()->text(c.row - 1, c.col - 1).toStdString(), c.text.toStdString());
    }
    // Columns widen for their texts, up to ExcelMaxColWidth.
    EXPECT_EQ(p.grid(0)->columnWidth(0), 64);
    EXPECT_EQ(p.grid(0)->columnWidth(4), 100);
    EXPECT_EQ(p.grid(0)->columnWidth(6), 64);

    // Back and forth on the same file: the same grids.
    p.grid(0)->setProperty("seen", true);
    click(find<QPushButton>(w, QStringLiteral("bBack")));
    click(find<QPushButton>(w, QStringLiteral("bNext")));
    ASSERT_EQ(p.sheetCount(), 3);
    EXPECT_TRUE(p.grid(0)->property("seen").toBool());

    // Another file: ranges, tabs and skips belong to the old one.
    tool(p, "bAutoFillCols");
    ASSERT_FALSE(ranges(w, "CODE").isEmpty());
    click(find<QPushButton>(w, QStringLiteral("bBack")));
    const QString other = fx.path(QStringLiteral("autre.xls"));
    ASSERT_TRUE(QFile::copy(Workbook, other));
    type(find<QLineEdit>(w, QStringLiteral("edFileName")), other);
    EXPECT_TRUE(w.settings().xlsRanges.isEmpty());
    EXPECT_EQ(p.sheetCount(), 0);
    click(find<QPushButton>(w, QStringLiteral("bNext")));
    ASSERT_EQ(p.sheetCount(), 3);
    EXPECT_FALSE(p.grid(0)->property("seen").toBool());
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(SpreadsheetPageTest, AutoFillTakesTheSheetsLinesAndSkipsEmptyOnes)
{
    struct Case
    {
        QString sheet;
        const char *button;
        QStringList map;
    };
    const QList<Case> cases = {
        { QStringLiteral("Feuil1"), "bAutoFillCols",
            { QStringLiteral("CODE=[Feuil1]A-COLFINISH;"), QStringLiteral("TYPEIDENTIFIANT=[Feuil1]B-COLFINISH;"),
                QStringLiteral("PHYSIQUEMORALE=[Feuil1]C-COLFINISH;") } },
        // Column B of that sheet holds no cell: its column stays unmapped.
        { QStringLiteral("Trous"), "bAutoFillCols",
            { QStringLiteral("CODE=[Trous]A-COLFINISH;"), QStringLiteral("PHYSIQUEMORALE=[Trous]C-COLFINISH;") } },
        { QStringLiteral("Trous"), "bAutoFillRows",
            { QStringLiteral("CODE=[Trous]1-ROWFINISH;"), QStringLiteral("TYPEIDENTIFIANT=[Trous]2-ROWFINISH;") } },
        { QStringLiteral("Clients"), "bAutoFillCols",
            { QStringLiteral("CODE=[Clients]A-COLFINISH;"), QStringLiteral("TYPEIDENTIFIANT=[Clients]B-COLFINISH;"),
                QStringLiteral("PHYSIQUEMORALE=[Clients]C-COLFINISH;"), QStringLiteral("IDENTIFIANT=[Clients]D-COLFINISH;"),
                QStringLiteral("NOMBENEFICIAIRE=[Clients]E-COLFINISH;"), QStringLiteral("ADRESSE=[Clients]F-COLFINISH;"),
                QStringLiteral("DATEAUTORISATION=[Clients]H-COLFINISH;") } },
    };
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    auto *next = find<QPushButton>(w, QStringLiteral("bNext"));
    auto *execute = find<QPushButton>(w, QStringLiteral("bOk"));
    EXPECT_FALSE(next->isEnabled());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sheet.toStdString() + " " + c.button);
        // What an earlier fill left is replaced, not added to.
        showSheet(p, c.sheet);
        tool(p, c.button);
        EXPECT_EQ(w.settings().map(aiXLS).join(u' ').toStdString(), c.map.join(u' ').toStdString());
        EXPECT_TRUE(next->isEnabled());
        EXPECT_TRUE(execute->isEnabled());
    }
    // The selected field's ranges are listed.
    chooseField(p, QStringLiteral("IDENTIFIANT"));
    auto *list = find<QListWidget>(p, QStringLiteral("lstRanges"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("[Clients]D-COLFINISH;"));
    tool(p, "bClearFieldRanges");
    EXPECT_TRUE(ranges(w, "IDENTIFIANT").isEmpty());
    EXPECT_FALSE(ranges(w, "CODE").isEmpty());
    tool(p, "bClearAllRanges");
    EXPECT_TRUE(w.settings().xlsRanges.isEmpty());
    EXPECT_FALSE(next->isEnabled());
    EXPECT_FALSE(execute->isEnabled());
}

TEST_F(SpreadsheetPageTest, ShiftAndCtrlClicksBuildTheSelection)
{
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    enum What { Cell, ColumnHeader, RowHeader, Escape };
    struct Step
    {
        What what;
        int row, col;
        Qt::KeyboardModifiers modifiers;
        QString selection;
    };
    const QList<Step> steps = {
        { Cell, 2, 2, {}, QString() },
        { Cell, 9, 2, shift, QStringLiteral("[Clients]B2-B9;") },
        // Ctrl takes one cell out of the middle...
        { Cell, 5, 2, ctrl, QStringLiteral("[Clients]B2-B4;[Clients]B6-B9;") },
        // ... and out of an end.
        { Cell, 2, 2, ctrl, QStringLiteral("[Clients]B3-B4;[Clients]B6-B9;") },
        { Escape, 0, 0, {}, QString() },
        // Cells next to each other merge.
        { Cell, 2, 2, ctrl, QStringLiteral("[Clients]B2;") },
        { Cell, 3, 2, ctrl, QStringLiteral("[Clients]B2-B3;") },
        { Cell, 6, 2, shift, QStringLiteral("[Clients]B2-B6;") },
        // Back along the last range: shorter.
        { Cell, 4, 2, shift, QStringLiteral("[Clients]B2-B4;") },
        { Cell, 3, 5, shift, QStringLiteral("[Clients]B2-B4;[Clients]C3-E3;") },
        // Another column and another row: no selection.
        { Cell, 7, 4, shift, QString() },
        { Cell, 2, 3, ctrl, QStringLiteral("[Clients]C2;") },
        { Cell, 2, 3, {}, QString() },
        // Whole columns and rows from the headers.
        { ColumnHeader, 0, 4, ctrl, QStringLiteral("[Clients]D-COLFINISH;") },
        { ColumnHeader, 0, 4, ctrl, QString() },
        { ColumnHeader, 0, 4, ctrl, QStringLiteral("[Clients]D-COLFINISH;") },
        { ColumnHeader, 0, 6, shift, QStringLiteral("[Clients]D-COLFINISH;[Clients]E-COLFINISH;[Clients]F-COLFINISH;") },
        { ColumnHeader, 0, 2, {}, QString() },
        { RowHeader, 3, 0, ctrl, QStringLiteral("[Clients]3-ROWFINISH;") },
        { RowHeader, 5, 0, shift, QStringLiteral("[Clients]3-ROWFINISH;[Clients]4-ROWFINISH;[Clients]5-ROWFINISH;") },
        { Cell, 8, 8, {}, QString() },
    };
    auto *selectionList = find<QListWidget>(p, QStringLiteral("lstSelection"));
    auto *rangeList = find<QListWidget>(p, QStringLiteral("lstRanges"));
    for (int i = 0; i < steps.size(); ++i) {
        const Step &s = steps[i];
        SCOPED_TRACE(i);
        switch (s.what) {
        case Cell:
            clickCell(p, s.row, s.col, s.modifiers);
            break;
        case ColumnHeader:
            clickHeader(p, true, s.col, s.modifiers);
            break;
        case RowHeader:
            clickHeader(p, false, s.row, s.modifiers);
            break;
        case Escape:
            QTest::keyClick(active(p), Qt::Key_Escape);
            break;
        }
        EXPECT_EQ(p.pendingText().toStdString(), s.selection.toStdString());
        // While a selection is pending it is listed in place of the ranges.
        EXPECT_EQ(selectionList->isVisible(), !s.selection.isEmpty());
        EXPECT_EQ(rangeList->isVisible(), s.selection.isEmpty());
    }
    // Escape dropped a selection, not the wizard.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.settings().xlsRanges.isEmpty());
}

TEST_F(SpreadsheetPageTest, EnterPutsTheSelectionInPlaceOfTheSelectedRanges)
{
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    tool(p, "bAutoFillCols");
    chooseField(p, QStringLiteral("IDENTIFIANT"));
    clickItem(find<QListWidget>(p, QStringLiteral("lstRanges")), QStringLiteral("[Clients]D-COLFINISH;"));
    clickCell(p, 2, 2);
    clickCell(p, 9, 2, Qt::ShiftModifier);
    clickCell(p, 5, 2, Qt::ControlModifier);
    QTest::keyClick(active(p), Qt::Key_Return);
    EXPECT_TRUE(p.pendingText().isEmpty());
    EXPECT_EQ(ranges(w, "IDENTIFIANT"), QStringLiteral("[Clients]B2-B4;[Clients]B6-B9;"));
    EXPECT_EQ(ranges(w, "CODE"), QStringLiteral("[Clients]A-COLFINISH;"));
    EXPECT_TRUE(w.isVisible());

    // The field's cells are marked, past the skipped rows.
    SheetGrid *g = active(p);
    EXPECT_TRUE(g->marks(2, 2) & smMapped);
    EXPECT_FALSE(g->marks(5, 2) & smMapped);
    EXPECT_FALSE(g->marks(2, 4) & smMapped);
    type(find<QLineEdit>(p, QStringLiteral("edSkipRows")), QStringLiteral("3"));
    EXPECT_EQ(w.settings().xlsSkipRows, 3);
    EXPECT_FALSE(g->marks(2, 2) & smMapped);
    EXPECT_TRUE(g->marks(4, 2) & smMapped);
    type(find<QLineEdit>(p, QStringLiteral("edSkipRows")), QStringLiteral("x"));
    EXPECT_EQ(w.settings().xlsSkipRows, 0);
    type(find<QLineEdit>(p, QStringLiteral("edSkipCols")), QStringLiteral("1"));
    EXPECT_EQ(w.settings().xlsSkipCols, 1);

    // A selection made before its field is chosen: Enter in the list applies it.
    clickCell(p, 2, 3, Qt::ControlModifier);
    EXPECT_TRUE(g->marks(2, 3) & smPending);
    chooseField(p, QStringLiteral("PHYSIQUEMORALE"));
    QTest::keyClick(find<QListWidget>(p, QStringLiteral("lstXLSFields")), Qt::Key_Return);
    EXPECT_EQ(ranges(w, "PHYSIQUEMORALE"), QStringLiteral("[Clients]C-COLFINISH;[Clients]C2;"));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

// Ranges added one after the other by clicks and Enter, or by the range
// editor, all stay: the page selects what it added, for its buttons, but
// only ranges the operator chose in the list give way to a selection.
TEST_F(SpreadsheetPageTest, RangesAddedOneAfterTheOtherAllStay)
{
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    chooseField(p, QStringLiteral("ADRESSE"));
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    struct Click
    {
        int row, col;
        Qt::KeyboardModifiers modifiers;
    };
    struct Step
    {
        QList<Click> clicks; // none: the range editor adds column A
        QString ranges;
    };
    const QList<Step> steps = {
        { { { 2, 5, ctrl }, { 3, 5, shift } }, QStringLiteral("[Clients]E2-E3;") },
        { { { 4, 5, ctrl } }, QStringLiteral("[Clients]E2-E3;[Clients]E4;") },
        { {}, QStringLiteral("[Clients]E2-E3;[Clients]E4;[Clients]A-COLFINISH;") },
        { { { 7, 5, ctrl } }, QStringLiteral("[Clients]E2-E3;[Clients]E4;[Clients]A-COLFINISH;[Clients]E7;") },
    };
    int editors = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.ranges.toStdString());
        if (s.clicks.isEmpty()) {
            answerRangeEditor([](RangeEditor &) {}, &editors);
            tool(p, "bAddRange");
        }
        for (const Click &c : s.clicks)
            clickCell(p, c.row, c.col, c.modifiers);
        if (!s.clicks.isEmpty())
            QTest::keyClick(active(p), Qt::Key_Return);
        EXPECT_EQ(ranges(w, "ADRESSE"), s.ranges);
    }
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(SpreadsheetPageTest, TheRangeEditorAddsAndEditsTheFieldsRanges)
{
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w, QStringLiteral("Feuil1"));
    chooseField(p, QStringLiteral("CODE"));
    int shown = 0;
    answerRangeEditor(
        [](RangeEditor &d) {
            // A new range: column A of the sheet shown, by its name.
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Range"));
            EXPECT_EQ(find<QLineEdit>(d, QStringLiteral("edRange"))->text(), QStringLiteral("A"));
            EXPECT_TRUE(find<QRadioButton>(d, QStringLiteral("rbSheetName"))->isChecked());
            EXPECT_EQ(find<QComboBox>(d, QStringLiteral("cbSheetName"))->currentText(), QStringLiteral("Feuil1"));
            EXPECT_EQ(find<QComboBox>(d, QStringLiteral("cbSheetNumber"))->count(), 3);
            QLineEdit *edit = find<QLineEdit>(d, QStringLiteral("edRange"));
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("C"));
        },
        &shown);
    tool(p, "bAddRange");
    answerRangeEditor([](RangeEditor &) {}, &shown);
    tool(p, "bAddRange");
    // Cancel adds nothing.
    answerRangeEditor([](RangeEditor &d) { d.reject(); }, &shown);
    tool(p, "bAddRange");
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(ranges(w, "CODE"), QStringLiteral("[Feuil1]C-COLFINISH;[Feuil1]A-COLFINISH;"));

    auto *list = find<QListWidget>(p, QStringLiteral("lstRanges"));
    EXPECT_EQ(list->currentRow(), 1); // the new one
    tool(p, "bMoveRangeUp");
    EXPECT_EQ(ranges(w, "CODE"), QStringLiteral("[Feuil1]A-COLFINISH;[Feuil1]C-COLFINISH;"));
    // A double click edits.
    answerRangeEditor(
        [](RangeEditor &d) {
            click(find<QRadioButton>(d, QStringLiteral("rbStartGiven")));
            QTest::keyClicks(find<QLineEdit>(d, QStringLiteral("edStart")), QStringLiteral("2"));
        },
        &shown);
    doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(ranges(w, "CODE"), QStringLiteral("[Feuil1]A2-COLFINISH;[Feuil1]C-COLFINISH;"));
    clickItem(list, QStringLiteral("[Feuil1]C-COLFINISH;"));
    tool(p, "bDelRange");
    EXPECT_EQ(ranges(w, "CODE"), QStringLiteral("[Feuil1]A2-COLFINISH;"));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(SpreadsheetPageTest, ImportsTheClientsOfAWorkbook)
{
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    tool(p, "bAutoFillCols");
    type(find<QLineEdit>(p, QStringLiteral("edSkipRows")), QStringLiteral("1"));
    // The workbook has the address before the name: each gets its column.
    for (const auto &[column, letter] : { std::pair { "NOMBENEFICIAIRE", 6 }, std::pair { "ADRESSE", 5 } }) {
        chooseField(p, QString::fromLatin1(column));
        tool(p, "bClearFieldRanges");
        clickHeader(p, true, letter, Qt::ControlModifier);
        QTest::keyClick(active(p), Qt::Key_Return);
    }
    EXPECT_EQ(w.settings().map(aiXLS),
        QStringList({ QStringLiteral("CODE=[Clients]A-COLFINISH;"), QStringLiteral("TYPEIDENTIFIANT=[Clients]B-COLFINISH;"),
            QStringLiteral("PHYSIQUEMORALE=[Clients]C-COLFINISH;"), QStringLiteral("IDENTIFIANT=[Clients]D-COLFINISH;"),
            QStringLiteral("NOMBENEFICIAIRE=[Clients]F-COLFINISH;"), QStringLiteral("ADRESSE=[Clients]E-COLFINISH;"),
            QStringLiteral("DATEAUTORISATION=[Clients]H-COLFINISH;") }));
    w.settings().formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    w.settings().formats.dateSeparator = QLatin1Char('/');
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();

    EXPECT_EQ(fx.committed(), WorkbookClients);
    Query q(fx.db.connection(),
        QStringLiteral("select TYPEIDENTIFIANT, PHYSIQUEMORALE, IDENTIFIANT, ADRESSE, DATEAUTORISATION from TIERS where CODE = 4"));
    q.open();
    Row row;
    ASSERT_TRUE(q.fetch(row));
    EXPECT_EQ(row[0].toString(), QStringLiteral("4"));
    EXPECT_EQ(row[1].toString(), QStringLiteral("M"));
    EXPECT_EQ(row[2].toString(), QStringLiteral("FR1234567"));
    EXPECT_EQ(row[3].toString(), QStringLiteral("10 rue de Rivoli, Paris"));
    EXPECT_DOUBLE_EQ(row[4].value<TimeStamp>().value, DateTime::encodeDate(2022, 6, 30));
}

TEST_F(SpreadsheetPageTest, AWorkbookThatCannotBeReadSendsTheWizardBack)
{
    const QString bad = fx.write(QStringLiteral("clients.xls"), QStringLiteral("CODE;NOM\r\n1;Un\r\n"));
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiXLS, bad);
    EXPECT_EQ(w.step(), 0);
    EXPECT_EQ(MessageBox::count(), 1);
    EXPECT_FALSE(MessageBox::lastText().isEmpty());
    EXPECT_EQ(page(w).sheetCount(), 0);
    EXPECT_TRUE(w.isVisible());
}

// The same workbook saved as .xlsx and .ods shows the same grids, fills the
// same ranges and imports the same clients.
TEST_F(SpreadsheetPageTest, XlsxAndOdsWorkbooksAsTheXlsOne)
{
    wizard.excelViewerRows = 12;
    auto grids = [&](const QString &file, QStringList &map) {
        WizardWindow w(wizard);
        w.show();
        openMapStep(w, aiXLS, file);
        EXPECT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        SpreadsheetPage &p = page(w);
        QStringList texts;
        for (int s = 0; s < p.sheetCount(); ++s) {
            texts << find<QTabWidget>(p, QStringLiteral("pcSheets"))->tabText(s);
            SheetGridModel *m = p.grid(s)->model();
            for (int r = 0; r < m->rowCount(); ++r)
                for (int c = 0; c < m->columnCount(); ++c)
                    if (!m->text(r, c).isEmpty())
                        texts << QStringLiteral("%1 %2 %3 %4").arg(s).arg(r).arg(c).arg(m->text(r, c));
        }
        showSheet(p, QStringLiteral("Clients"));
        tool(p, "bAutoFillCols");
        map = w.settings().map(aiXLS);
        return texts;
    };
    QStringList xlsMap;
    const QStringList xls = grids(Workbook, xlsMap);
    ASSERT_GT(xls.size(), 40);
    for (const char *suffix : { ".xlsx", ".ods" }) {
        SCOPED_TRACE(suffix);
        QString file = Workbook;
        file.replace(QLatin1String(".xls"), QLatin1String(suffix));
        QStringList map;
        EXPECT_EQ(grids(file, map), xls);
        EXPECT_EQ(map, xlsMap);
    }

    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiXLS, QString(Workbook).replace(QLatin1String(".xls"), QLatin1String(".ods")));
    SpreadsheetPage &p = page(w);
    showSheet(p, QStringLiteral("Clients"));
    chooseField(p, QStringLiteral("CODE"));
    clickHeader(p, true, 1, Qt::ControlModifier);
    QTest::keyClick(active(p), Qt::Key_Return);
    chooseField(p, QStringLiteral("NOMBENEFICIAIRE"));
    clickHeader(p, true, 6, Qt::ControlModifier);
    QTest::keyClick(active(p), Qt::Key_Return);
    type(find<QLineEdit>(p, QStringLiteral("edSkipRows")), QStringLiteral("1"));
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
    EXPECT_EQ(fx.committed(), WorkbookClients);
}

// A reader of the screen walks the grid as assistive technologies do: it is
// offered the cells shown with their headings, and only those, so that
// closing the wizard after it read them is not held up by tens of thousands
// of cells it never saw.
TEST_F(SpreadsheetPageTest, ReadersAreOfferedTheCellsShown)
{
    auto *w = new WizardWindow(wizard);
    SpreadsheetPage &p = open(*w);
    SheetGrid *g = active(p);
    ASSERT_EQ(g->model()->rowCount(), 256);

    // Each cell whose place lies in the viewport, by model row and column.
    auto cellsInView = [g] {
        QSet<QPair<int, int>> cells;
        const QRect view = g->viewport()->rect();
        for (int r = 0; r < g->model()->rowCount(); ++r)
            for (int c = 0; c < g->model()->columnCount(); ++c)
                if (g->visualRect(g->model()->index(r, c)).intersects(view))
                    cells.insert({ r, c });
        return cells;
    };
    struct Walk
    {
        QSet<QPair<int, int>> cells;
        QStringList names;
        QStringList columnHeadings;
        QStringList rowHeadings;
    };
    auto walk = [g](QAccessibleInterface *table) {
        Walk seen;
        for (int i = 0; i < table->childCount(); ++i) {
            QAccessibleInterface *child = table->child(i);
            if (!child) {
                ADD_FAILURE() << "no child " << i;
                continue;
            }
            EXPECT_EQ(child->parent(), table);
            EXPECT_EQ(table->indexOfChild(child), i);
            const QString name = child->text(QAccessible::Name);
            switch (child->role()) {
            case QAccessible::ColumnHeader:
                seen.columnHeadings << name;
                break;
            case QAccessible::RowHeader:
                seen.rowHeadings << name;
                break;
            case QAccessible::Cell: {
                // Found again where it is drawn, and by its table place.
                const QModelIndex at = g->indexAt(g->viewport()->mapFromGlobal(child->rect().center()));
                EXPECT_EQ(name, at.data().toString());
                seen.cells.insert({ at.row(), at.column() });
                seen.names << name;
                QAccessibleTableCellInterface *cell = child->tableCellInterface();
                EXPECT_TRUE(cell);
                if (cell) {
                    EXPECT_EQ(table->tableInterface()->cellAt(cell->rowIndex(), cell->columnIndex()), child);
                }
                break;
            }
            default:
                break;
            }
        }
        return seen;
    };

    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(g);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->role(), QAccessible::Table);
    ASSERT_TRUE(table->tableInterface());
    QSet<QPair<int, int>> inView = cellsInView();
    ASSERT_FALSE(inView.isEmpty());
    // No more than the cells in view, each with its headings: checked before
    // the walk, which would otherwise take every cell of the grid.
    const int rows = table->tableInterface()->rowCount();
    const int cols = table->tableInterface()->columnCount();
    ASSERT_EQ(rows * cols, inView.size());
    ASSERT_EQ(table->childCount(), (rows + 1) * (cols + 1));

    Walk seen = walk(table);
    EXPECT_EQ(seen.cells, inView);
    EXPECT_TRUE(seen.names.contains(QStringLiteral("Ben Salah Mohamed")));
    EXPECT_EQ(seen.columnHeadings.value(0), QStringLiteral("A"));
    EXPECT_EQ(seen.rowHeadings.value(0), QStringLiteral("1"));

    // Scrolled to the last cell, the reader is offered what is shown there.
    g->scrollTo(g->model()->index(255, 255));
    inView = cellsInView();
    ASSERT_EQ(table->tableInterface()->rowCount() * table->tableInterface()->columnCount(), inView.size());
    seen = walk(table);
    EXPECT_EQ(seen.cells, inView);
    EXPECT_EQ(seen.columnHeadings.value(seen.columnHeadings.size() - 1), QStringLiteral("IV"));
    EXPECT_EQ(seen.rowHeadings.value(seen.rowHeadings.size() - 1), QStringLiteral("256"));

    // Cancel, Yes to "Do you want to quit?": the wizard goes with its grids.
    MessageBox::setAutoAnswer(QMessageBox::Yes);
    click(find<QPushButton>(*w, QStringLiteral("bCancel")));
    EXPECT_FALSE(w->isVisible());
    QPointer<SheetGrid> grid(g);
    delete w;
    EXPECT_TRUE(grid.isNull());
}

// Each column is as wide as its widest text up to ExcelMaxColWidth: a text
// within that shows whole; one beyond it is cut, and shows whole in its
// tooltip.
TEST_F(SpreadsheetPageTest, ColumnsWidenToTheirTextsUpToTheirWidest)
{
    wizard.excelMaxColWidth = 100;
    WizardWindow w(wizard);
    SpreadsheetPage &p = open(w);
    SheetGrid *g = active(p);
    const QFontMetrics fm = g->fontMetrics();
    const int margins = 2 * (g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1);
    QStringList cut;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 10; ++c) {
            const QString text = g->model()->text(r, c);
            if (text.isEmpty())
                continue;
            SCOPED_TRACE(text.toStdString());
            const bool whole = g->columnWidth(c) >= fm.horizontalAdvance(text) + margins;
            EXPECT_TRUE(whole || g->columnWidth(c) == 100);
            if (!whole)
                cut << text;
        }
    ASSERT_TRUE(cut.contains(QStringLiteral("10 rue de Rivoli, Paris")));

    // The tooltip where the mouse rests: the whole text of a cut cell only.
    auto restAt = [g](int row, int col) {
        g->scrollTo(g->model()->index(row - 1, col - 1));
        const QPoint at = g->cellPoint(row, col);
        QHelpEvent help(QEvent::ToolTip, at, g->viewport()->mapToGlobal(at));
        QApplication::sendEvent(g->viewport(), &help);
    };
    // A tooltip goes a moment after it is hidden.
    auto noTooltip = [] { return QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000); };
    restAt(5, 5);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("10 rue de Rivoli, Paris"));
    restAt(5, 1);
    EXPECT_TRUE(noTooltip());
    restAt(5, 5);
    EXPECT_TRUE(QToolTip::isVisible());
    restAt(9, 5);
    EXPECT_TRUE(noTooltip());
}
