#pragma once

// The mapping step's pages driven as an operator drives them: clicks on the
// field lists, the grids and the text viewer, for the wizard's tests.

#include "import/wizard/WizardWindow.h"
#include "import/wizard/WizardPage.h"
#include "import/wizard/DelimitedPage.h"
#include "import/wizard/TextViewer.h"
#include "tests/support/QtPrinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <ostream>

namespace PageDriving {

// A click where the control reacts: on the box of a check box or radio
// button, which a wide control does not have in its middle.
inline void click(QWidget *w)
{
    if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

// Types text over what an edit holds and leaves it with Enter.
inline void type(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

template <typename T> T *find(QObject &parent, const QString &name)
{
    T *c = parent.findChild<T *>(name);
    if (!c)
        ADD_FAILURE() << "no " << name.toStdString();
    return c;
}

inline void clickItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> items = tree->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    tree->scrollToItem(items[0]);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(items[0]).center());
}

inline void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    list->scrollToItem(items[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
}

// What the mouse sends for a double click: a click, then the double click
// and its release.
inline void doubleClick(QWidget *w, QPoint p)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, p);
    QTest::mouseDClick(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

// Chooses the destination column, then clicks a cell of the delimited grid's
// column number (from 1).
inline void mapDelimited(WizardPage &page, const QString &column, int number)
{
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvCSVFields")), column);
    auto *grid = find<QTableView>(page, QStringLiteral("sgCSV"));
    const QModelIndex cell = grid->model()->index(0, number - 1);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// Chooses the destination column, puts separators at p (unless 0) and p + s
// where there are none, and clicks the region between them.
inline void mapFixedWidth(WizardPage &page, const QString &column, int p, int s)
{
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvTXTFields")), column);
    auto *viewer = find<TextViewer>(page, QStringLiteral("TextViewer"));
    for (int boundary : { p, p + s })
        if (boundary > 0 && !viewer->separators().contains(boundary))
            doubleClick(viewer->viewport(), QPoint(viewer->boundaryX(boundary), viewer->charPoint(0).y()));
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, viewer->charPoint(p));
}

// From the first step to the mapping step of a kind over a file, as the
// operator goes: the kind, the file name (and for delimited text ";"), Next.
inline void openMapStep(WizardWindow &w, AllowedImport kind, const QString &file)
{
    static const char *const kinds[ImportKindCount] = { "rbXLS", "rbDBF", "rbXML", "rbTXT", "rbCSV" };
    click(find<QRadioButton>(w, QString::fromLatin1(kinds[kind])));
    type(find<QLineEdit>(w, QStringLiteral("edFileName")), file);
    if (kind == aiCSV)
        type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(";"));
    click(find<QPushButton>(w, QStringLiteral("bNext")));
}

} // namespace PageDriving
