#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

// The preview of one worksheet on the spreadsheet page: a header row of
// column letters A to IV, a header column of row numbers, and the cells'
// texts. The grid only shows and reports; the page decides what a click
// means and which cells are marked.

class SheetGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 256;

    SheetGridModel(int rows, QObject *parent = nullptr);

    // 0-based grid positions; texts outside the grid are dropped.
    void setText(int row, int col, const QString &text);
    QString text(int row, int col) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int m_rows;
    QHash<qint64, QString> m_texts;
};

// Marks of a cell, as the page answers them for a 1-based row and column.
enum SheetMark { smNone = 0, smMapped = 1, smPending = 2 };

class SheetGrid : public QTableView
{
    Q_OBJECT

public:
    using MarkFunction = std::function<int(int row, int col)>;

    SheetGrid(int sheetIndex, const QString &sheetName, int rows, QWidget *parent = nullptr);

    int sheetIndex() const { return m_sheetIndex; }
    QString sheetName() const { return m_sheetName; }
    SheetGridModel *model() const { return m_model; }

    void setMarks(MarkFunction marks) { m_marks = std::move(marks); }
    int marks(int row, int col) const { return m_marks ? m_marks(row, col) : smNone; }
    // While a selection is pending, Enter and Escape belong to the grid.
    void setSelectionPending(bool pending) { m_pending = pending; }

    // Where to click: a cell (1-based) in the viewport, a column or row
    // header section in its header's viewport.
    QPoint cellPoint(int row, int col) const;
    QPoint columnHeaderPoint(int col) const;
    QPoint rowHeaderPoint(int row) const;

signals:
    // 1-based positions, with the keys held during the click.
    void cellClicked(int row, int col, Qt::KeyboardModifiers modifiers);
    void columnHeaderClicked(int col, Qt::KeyboardModifiers modifiers);
    void rowHeaderClicked(int row, Qt::KeyboardModifiers modifiers);
    void applyPressed();
    void cancelPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Another part of the grid is shown: readers are told to read it again.
    void shownChanged();

    int m_sheetIndex;
    QString m_sheetName;
    SheetGridModel *m_model;
    MarkFunction m_marks;
    bool m_pending = false;
};

// Paints the marks: a fill and a thick outline along the edges of each
// marked area, mapped ranges in one colour, the pending selection in another.
// A text wider than the widest a column may get shows whole in its tooltip.
class SheetCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit SheetCellDelegate(SheetGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option, const QModelIndex &index) override;

private:
    SheetGrid *m_grid;
};
