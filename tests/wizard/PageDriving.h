#pragma once

// The mapping step's pages driven as an operator drives them: clicks on the
// field lists, the grids and the text viewer, for the wizard's tests.

#include "import/wizard/DataImportWizardPage.h"
#include "import/wizard/DelimitedPage.h"
#include "import/wizard/TextViewer.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace PageDriving {

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
inline void mapDelimited(TDataImportWizardPage &page, const QString &column, int number)
{
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvCSVFields")), column);
    auto *grid = find<QTableView>(page, QStringLiteral("sgCSV"));
    const QModelIndex cell = grid->model()->index(0, number - 1);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// Chooses the destination column, puts separators at p (unless 0) and p + s
// where there are none, and clicks the region between them.
inline void mapFixedWidth(TDataImportWizardPage &page, const QString &column, int p, int s)
{
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvTXTFields")), column);
    auto *viewer = find<TTextViewer>(page, QStringLiteral("TextViewer"));
    for (int boundary : { p, p + s })
        if (boundary > 0 && !viewer->Separators().contains(boundary))
            doubleClick(viewer->viewport(), QPoint(viewer->BoundaryX(boundary), viewer->CharPoint(0).y()));
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, viewer->CharPoint(p));
}

} // namespace PageDriving
