// The wizard from the keyboard alone: the buttons' Alt keys from wherever
// the focus is, Tab in and out of the previews, Enter on the finished
// import's dialog.

#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardWindow.h"
#include "import/wizard/SheetGrid.h"
#include "tests/support/CurrentCellShown.h"
#include "tests/wizard/PageDriving.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace PageDriving;

namespace {

const QString Fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");

class WizardKeyboard : public WizardOnClients
{
protected:
    // Keys go to the active window: the wizard is made so, also after the
    // box that showed while a workbook was read.
    static void activate(QWidget &w)
    {
        if (QApplication::activeWindow() == &w)
            return;
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    // A press of a key where the focus is.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        QTest::keyClick(focused, key, modifiers);
    }

    // The kind's mapping step over a file, with a column mapped.
    void mapStep(WizardWindow &w, AllowedImport kind, const QString &file)
    {
        openMapStep(w, kind, file);
        ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        WizardPage &page = *w.page(kind);
        switch (kind) {
        case aiXLS:
            click(find<QToolButton>(page, QStringLiteral("bAutoFillCols")));
            break;
        case aiCSV:
            click(find<QPushButton>(page, QStringLiteral("bCSVAutoFill")));
            break;
        case aiTXT:
            mapFixedWidth(page, QStringLiteral("CODE"), 0, 4);
            break;
        case aiDBF:
            click(find<QPushButton>(page, QStringLiteral("bDBFAutoFill")));
            break;
        case aiXML:
            click(find<QPushButton>(page, QStringLiteral("bXMLAutoFill")));
            break;
        }
        ASSERT_FALSE(page.isMapEmpty());
        activate(w);
    }

    // A window shown and active, on the mapping step of a kind over a file.
    std::unique_ptr<WizardWindow> onMapStep(AllowedImport kind, const QString &file)
    {
        auto w = std::make_unique<WizardWindow>(wizard);
        w->show();
        activate(*w);
        mapStep(*w, kind, file);
        return w;
    }

    // The controls of a step the focus can reach by Tab, as it stands.
    static QList<QWidget *> controls(QWidget &step)
    {
        QList<QWidget *> out;
        for (QWidget *c : step.findChildren<QWidget *>())
            if ((c->focusPolicy() & Qt::TabFocus) && c->isVisible() && c->isEnabled())
                out << c;
        return out;
    }
};

} // namespace

// On each step of each kind, from every control the focus can be in, Alt+N
// and Alt+B press Next and Back.
TEST_F(WizardKeyboard, ButtonsAnswerTheirAltKeysFromEveryControl)
{
    const QString text = fx.write(QStringLiteral("clients.txt"), QStringLiteral("C1  Dupont\r\nC2  Martin\r\n"));
    struct Case
    {
        AllowedImport kind;
        QString file;
    };
    const QList<Case> cases = {
        { aiXLS, Fixtures + QStringLiteral("wizard/clients.xls") },
        { aiCSV, fx.clientsCsv() },
        { aiTXT, text },
        { aiDBF, Fixtures + QStringLiteral("dbf/people.dbf") },
        { aiXML, Fixtures + QStringLiteral("xml/packet.xml") },
    };
    // From each step: the key that leaves it, the step it leads to, and the
    // key that comes back.
    struct Way
    {
        int step;
        Qt::Key there;
        int to;
        Qt::Key back;
    };
    const QList<Way> mapping = { { 1, Qt::Key_N, 2, Qt::Key_B } };
    // The other steps are the same whatever the kind: walked with the first.
    const QList<Way> all = { { 1, Qt::Key_N, 2, Qt::Key_B }, { 0, Qt::Key_N, 1, Qt::Key_B }, { 2, Qt::Key_N, 3, Qt::Key_B },
        { 3, Qt::Key_B, 2, Qt::Key_N } };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const auto window = onMapStep(c.kind, c.file);
        WizardWindow &w = *window;
        auto *steps = find<QStackedWidget>(w, QStringLiteral("pcSteps"));
        for (const Way &way : c.kind == cases[0].kind ? all : mapping) {
            while (w.step() != way.step) {
                press(w.step() < way.step ? Qt::Key_N : Qt::Key_B, Qt::AltModifier);
                const int from = w.step();
                ASSERT_TRUE(QTest::qWaitFor([&] { return w.step() != from; }, 2000));
                activate(w);
            }
            const QList<QWidget *> reachable = controls(*steps->currentWidget());
            ASSERT_FALSE(reachable.isEmpty());
            for (QWidget *control : reachable) {
                SCOPED_TRACE(QStringLiteral("step %1 %2 %3")
                                 .arg(way.step)
                                 .arg(QString::fromLatin1(control->metaObject()->className()), control->objectName())
                                 .toStdString());
                if (!control->isVisible() || !control->isEnabled())
                    continue;
                control->setFocus(Qt::TabFocusReason);
                ASSERT_EQ(QApplication::focusWidget(), control->focusProxy() ? control->focusProxy() : control);
                press(way.there, Qt::AltModifier);
                EXPECT_TRUE(QTest::qWaitFor([&] { return w.step() == way.to; }, 2000));
                activate(w);
                press(way.back, Qt::AltModifier);
                ASSERT_TRUE(QTest::qWaitFor([&] { return w.step() == way.step; }, 2000));
                activate(w);
            }
        }
        EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
    }
}

// The previews of the spreadsheet and delimited pages keep the arrows for
// their cells and show the current one; Tab and Shift+Tab go on to the
// controls around them.
TEST_F(WizardKeyboard, TabLeavesThePreviewGrids)
{
    struct Case
    {
        AllowedImport kind;
        QString file;
        QString grid; // empty: the spreadsheet page's sheet shown
    };
    const QList<Case> cases = {
        { aiXLS, Fixtures + QStringLiteral("wizard/clients.xls"), QString() },
        { aiCSV, fx.clientsCsv(), QStringLiteral("sgCSV") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const auto window = onMapStep(c.kind, c.file);
        WizardWindow &w = *window;
        WizardPage &page = *w.page(c.kind);
        QTableView *grid = c.grid.isEmpty()
            ? qobject_cast<QTableView *>(find<QTabWidget>(page, QStringLiteral("pcSheets"))->currentWidget())
            : find<QTableView>(page, c.grid);
        ASSERT_TRUE(grid);
        grid->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(grid->hasFocus());
        EXPECT_TRUE(grid->currentIndex().isValid());
        press(Qt::Key_Down);
        EXPECT_EQ(grid->currentIndex().row(), 1);
        EXPECT_TRUE(grid->hasFocus());
        EXPECT_TRUE(currentCellShown(*grid));

        press(Qt::Key_Tab);
        EXPECT_FALSE(grid->hasFocus());
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_TRUE(grid->hasFocus());
        EXPECT_EQ(grid->currentIndex().row(), 1); // where it was left
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_FALSE(grid->hasFocus());
    }
}

// On the dBase and XML pages Tab goes from the two lists to the buttons
// between them, then to the pairs, as they stand on the page.
TEST_F(WizardKeyboard, TabFollowsTheFieldPairsPage)
{
    struct Case
    {
        AllowedImport kind;
        QString file;
        QString prefix;
    };
    const QList<Case> cases = {
        { aiDBF, Fixtures + QStringLiteral("dbf/people.dbf"), QStringLiteral("DBF") },
        { aiXML, Fixtures + QStringLiteral("xml/packet.xml"), QStringLiteral("XML") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const auto window = onMapStep(c.kind, c.file);
        WizardWindow &w = *window;
        WizardPage &page = *w.page(c.kind);
        find<QWidget>(page, QStringLiteral("lst%1Columns").arg(c.prefix))->setFocus(Qt::TabFocusReason);
        // Columns are left to pair: Add is enabled, and it is next.
        ASSERT_TRUE(find<QPushButton>(page, QStringLiteral("b%1Add").arg(c.prefix))->isEnabled());
        QStringList reached;
        for (int i = 0; i < 8 && !reached.contains(QStringLiteral("lv%1Pairs").arg(c.prefix)); ++i) {
            press(Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(reached.mid(0, 2), QStringList({ QStringLiteral("lst%1Fields").arg(c.prefix), QStringLiteral("b%1Add").arg(c.prefix) }));
        EXPECT_EQ(reached.value(reached.size() - 1), QStringLiteral("lv%1Pairs").arg(c.prefix));
        EXPECT_TRUE(reached.contains(QStringLiteral("b%1AutoFill").arg(c.prefix))) << reached.join(u' ').toStdString();
    }
}

// Once the import is over, Enter presses the dialog's OK; while it ran,
// Enter cancelled nothing.
TEST_F(WizardKeyboard, EnterClosesTheFinishedImport)
{
    const auto window = onMapStep(aiCSV, fx.clientsCsv(4));
    WizardWindow &w = *window;
    type(find<QLineEdit>(*w.page(aiCSV), QStringLiteral("edSkipLines")), QStringLiteral("1"));
    QStringList seen;
    bool closedByEnter = false;
    wizard.onImportRecord = [&](QObject *) {
        ImportProgress *p = w.progress();
        if (p && seen.isEmpty()) {
            QTest::keyClick(p, Qt::Key_Return);
            seen << p->state();
        }
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ImportProgress *p = w.progress();
        if (!p || !p->isDone() || seen.size() > 1)
            return;
        seen << p->state() << p->windowTitle();
        p->activateWindow();
        QTest::keyClick(p, Qt::Key_Return);
        closedByEnter = !p->isVisible();
        if (p->isVisible())
            QTest::mouseClick(p->button(), Qt::LeftButton); // so that the test ends
    });
    watch.start(5);
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(seen, QStringList({ "Importing...", "Finished", "Import finished" }));
    EXPECT_TRUE(closedByEnter);
    EXPECT_EQ(fx.committed().size(), 4);
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}
