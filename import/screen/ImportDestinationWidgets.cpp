#include "import/screen/ImportDestinationWidgets.h"

#include <QHeaderView>

// ---------------------------------------------------------------------------
// Data grid
// ---------------------------------------------------------------------------

TImportDBGrid::TImportDBGrid(QWidget *parent)
    : DBGrid(parent)
{
}

int TImportDBGrid::columnCount() const
{
    return int(dataModel()->columns().size());
}

QString TImportDBGrid::columnTitle(int column) const
{
    return dataModel()->columns().value(column).title;
}

QString TImportDBGrid::columnFieldName(int column) const
{
    return dataModel()->columns().value(column).fieldName;
}

::DataSet *TImportDBGrid::gridDataSet() const
{
    return dataSet();
}

// ---------------------------------------------------------------------------
// List
// ---------------------------------------------------------------------------

TImportListView::TImportListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    showColumns(0);
}

void TImportListView::SetColumns(const QStringList &captions)
{
    m_captions = captions;
    showColumns(int(captions.size()));
}

void TImportListView::showColumns(int count)
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

void TImportListView::ClearItems()
{
    beginUpdate();
    clear();
    endUpdate();
}

int TImportListView::columnCount() const
{
    return int(m_captions.size());
}

QString TImportListView::columnCaption(int column) const
{
    return m_captions.value(column);
}

int TImportListView::itemCount() const
{
    return topLevelItemCount();
}

QString TImportListView::itemCaption(int item) const
{
    const QTreeWidgetItem *i = topLevelItem(item);
    return i ? i->text(0) : QString();
}

void TImportListView::setItemCaption(int item, const QString &text)
{
    if (QTreeWidgetItem *i = topLevelItem(item))
        i->setText(0, text);
}

QString TImportListView::subItem(int item, int subItem) const
{
    const QTreeWidgetItem *i = topLevelItem(item);
    if (!i || subItem < 0 || subItem + 1 >= i->columnCount())
        return QString();
    return i->text(subItem + 1);
}

void TImportListView::setSubItem(int item, int subItem, const QString &text)
{
    QTreeWidgetItem *i = topLevelItem(item);
    if (!i || subItem < 0)
        return;
    // Setting a column past the item's last one adds the empty ones between.
    i->setText(subItem + 1, text);
    if (QTreeWidget::columnCount() < subItem + 2)
        showColumns(subItem + 2);
}

int TImportListView::addItem(int subItemCount)
{
    auto *i = new QTreeWidgetItem;
    for (int c = 0; c <= subItemCount; ++c)
        i->setText(c, QString());
    addTopLevelItem(i);
    if (QTreeWidget::columnCount() < subItemCount + 1)
        showColumns(subItemCount + 1);
    return topLevelItemCount() - 1;
}

void TImportListView::deleteItem(int item)
{
    delete takeTopLevelItem(item);
}

void TImportListView::beginUpdate()
{
    if (m_updating++ == 0)
        setUpdatesEnabled(false);
}

void TImportListView::endUpdate()
{
    if (m_updating > 0 && --m_updating == 0)
        setUpdatesEnabled(true);
}

// ---------------------------------------------------------------------------
// Text grid
// ---------------------------------------------------------------------------

TImportStringGrid::TImportStringGrid(QWidget *parent)
    : QTableWidget(2, 5, parent)
{
    // The caption row is a row of the grid, as the import counts rows.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(100);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
}

void TImportStringGrid::ClearCells()
{
    for (int r = FixedRows; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCell(c, r, QString());
}

void TImportStringGrid::setRowCount(int rows)
{
    QTableWidget::setRowCount(std::max(0, rows));
}

QString TImportStringGrid::cell(int column, int row) const
{
    const QTableWidgetItem *i = item(row, column);
    return i ? i->text() : QString();
}

void TImportStringGrid::setCell(int column, int row, const QString &text)
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
