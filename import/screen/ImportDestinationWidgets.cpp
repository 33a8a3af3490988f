#include "import/screen/ImportDestinationWidgets.h"

#include <QHeaderView>

// ---------------------------------------------------------------------------
// Data grid
// ---------------------------------------------------------------------------

ImportDataGrid::ImportDataGrid(QWidget *parent)
    : DBGrid(parent)
{
}

int ImportDataGrid::columnCount() const
{
    return int(dataModel()->columns().size());
}

QString ImportDataGrid::columnTitle(int column) const
{
    return dataModel()->columns().value(column).title;
}

QString ImportDataGrid::columnFieldName(int column) const
{
    return dataModel()->columns().value(column).fieldName;
}

::DataSet *ImportDataGrid::gridDataSet() const
{
    return dataSet();
}

// ---------------------------------------------------------------------------
// List
// ---------------------------------------------------------------------------

ImportListView::ImportListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    showColumns(0);
}

void ImportListView::setColumns(const QStringList &captions)
{
    m_captions = captions;
    showColumns(int(captions.size()));
}

void ImportListView::showColumns(int count)
{
    // The view needs one column to show anything; without captions it has an empty title.
    const int shown = std::max(1, count);
    if (QTreeWidget::columnCount() < shown)
        setColumnCount(shown);
    QStringList labels = m_captions;
    while (labels.size() < QTreeWidget::columnCount())
        labels << QString();
    setHeaderLabels(labels);
}

void ImportListView::clearItems()
{
    beginUpdate();
    clear();
    endUpdate();
}

int ImportListView::columnCount() const
{
    return int(m_captions.size());
}

QString ImportListView::columnCaption(int column) const
{
    return m_captions.value(column);
}

int ImportListView::itemCount() const
{
    return topLevelItemCount();
}

QString ImportListView::itemCaption(int item) const
{
    const QTreeWidgetItem *i = topLevelItem(item);
    return i ? i->text(0) : QString();
}

void ImportListView::setItemCaption(int item, const QString &text)
{
    if (QTreeWidgetItem *i = topLevelItem(item))
        i->setText(0, text);
}

QString ImportListView::subItem(int item, int subItem) const
{
    const QTreeWidgetItem *i = topLevelItem(item);
    if (!i || subItem < 0 || subItem + 1 >= i->columnCount())
        return QString();
    return i->text(subItem + 1);
}

void ImportListView::setSubItem(int item, int subItem, const QString &text)
{
    QTreeWidgetItem *i = topLevelItem(item);
    if (!i || subItem < 0)
        return;
    // Setting a column past the item's last one adds the empty ones between.
    i->setText(subItem + 1, text);
    if (QTreeWidget::columnCount() < subItem + 2)
        showColumns(subItem + 2);
}

int ImportListView::addItem(int subItemCount)
{
    auto *i = new QTreeWidgetItem;
    for (int c = 0; c <= subItemCount; ++c)
        i->setText(c, QString());
    addTopLevelItem(i);
    if (QTreeWidget::columnCount() < subItemCount + 1)
        showColumns(subItemCount + 1);
    return topLevelItemCount() - 1;
}

void ImportListView::deleteItem(int item)
{
    delete takeTopLevelItem(item);
}

void ImportListView::beginUpdate()
{
    if (m_updating++ == 0)
        setUpdatesEnabled(false);
}

void ImportListView::endUpdate()
{
    if (m_updating > 0 && --m_updating == 0)
        setUpdatesEnabled(true);
}

// ---------------------------------------------------------------------------
// Text grid
// ---------------------------------------------------------------------------

ImportStringGrid::ImportStringGrid(QWidget *parent)
    : QTableWidget(2, 5, parent)
{
    // The caption row is a row of the grid, as the import counts rows.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(100);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
}

void ImportStringGrid::clearCells()
{
    for (int r = FixedRows; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCell(c, r, QString());
}

void ImportStringGrid::setRowCount(int rows)
{
    QTableWidget::setRowCount(std::max(0, rows));
}

QString ImportStringGrid::cell(int column, int row) const
{
    const QTableWidgetItem *i = item(row, column);
    return i ? i->text() : QString();
}

void ImportStringGrid::setCell(int column, int row, const QString &text)
{
    if (column < 0 || row < 0)
        return;
    if (column >= columnCount())
        setColumnCount(column + 1);
    if (row >= rowCount())
        setRowCount(row + 1);
    QTableWidgetItem *i = item(row, column);
    if (!i) {
        i = new QTableWidgetItem;
        if (row < FixedRows) {
            i->setFlags(i->flags() & ~Qt::ItemIsEditable);
            i->setBackground(palette().button());
            QFont bold = font();
            bold.setBold(true);
            i->setFont(bold);
        }
        setItem(row, column, i);
    }
    i->setText(text);
}
