#pragma once

#include "ui/DBGrid.h"

#include <QColor>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;

// A line edit that turns every letter typed into a capital.
class UpperCaseEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit UpperCaseEdit(QWidget *parent = nullptr);
};

// What the list windows share: the banner, the search bar (the searched
// column's title and the search box) and the grid, with the column colours of
// a sort: every column light, the sorted one silver.
class ListWindow : public QWidget
{
    Q_OBJECT

public:
    static inline const QColor LightColour = QColor(244, 255, 255);
    static inline const QColor SortColour = QColor(192, 192, 192);

    ListWindow(const QString &banner, QWidget *parent = nullptr);

    QLabel *bannerLabel;
    QLabel *searchTitle;
    QLabel *searchLabel;
    UpperCaseEdit *searchEdit;
    DBGrid *grid;

protected:
    QPushButton *addBarButton(const QString &objectName, const QString &caption);
    QHBoxLayout *searchBar() const { return m_searchBar; }
    // All columns light, then the clicked one silver.
    void paintSortColumn(int column);
    // Replaces a data set's statement, binds its parameters and opens it; a
    // refusal is shown and the grid stays empty.
    bool reopen(DataSet *dataSet, const QString &sql, const QVariantHash &params = {});

private:
    QHBoxLayout *m_searchBar;
    QHBoxLayout *m_buttonBar;
};
