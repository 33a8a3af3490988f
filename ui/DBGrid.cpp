#include "ui/DBGrid.h"

#include "core/Error.h"
#include "data/DataSet.h"
#include "ui/MessageBox.h"

#include <QHeaderView>
#include <QKeyEvent>

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new DataSetModel(this))
{
    // While rows come and go the view moves its current index by itself; the
    // data set has already chosen its current row, which the grid then follows.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_following = true; });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        m_following = false;
        followDataSet();
    });
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { m_following = true; });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        m_following = false;
        followDataSet();
    });
    // After these, so that the flag is up before the view reacts.
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::titleClicked);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this] { emit gridDoubleClicked(); });
}

void DBGrid::setDataSet(DataSet *dataSet)
{
    if (DataSet *old = m_model->dataSet())
        disconnect(old, nullptr, this, nullptr);
    m_model->setDataSet(dataSet);
    if (dataSet) {
        connect(dataSet, &DataSet::currentChanged, this, &DBGrid::followDataSet);
        connect(dataSet, &DataSet::layoutReset, this, &DBGrid::followDataSet);
    }
    followDataSet();
}

void DBGrid::setColumns(const QList<GridColumn> &columns)
{
    m_model->setColumns(columns);
    bool stretched = false;
    for (int i = 0; i < columns.size(); ++i) {
        setColumnWidth(i, columns[i].width);
        if (columns[i].stretch) {
            horizontalHeader()->setSectionResizeMode(i, QHeaderView::Stretch);
            stretched = true;
        }
    }
    horizontalHeader()->setStretchLastSection(!stretched);
    followDataSet();
}

void DBGrid::setColumnColor(int column, const QColor &color)
{
    m_model->setColumnColor(column, color);
}

void DBGrid::setAllColumnsColor(const QColor &color)
{
    for (int i = 0; i < m_model->columns().size(); ++i)
        m_model->setColumnColor(i, color);
}

void DBGrid::setNavigationLocked(bool locked)
{
    m_locked = locked;
}

void DBGrid::followDataSet()
{
    DataSet *ds = m_model->dataSet();
    const int row = ds && ds->isActive() ? ds->recNo() : -1;
    m_following = true;
    if (row >= 0 && row < m_model->rowCount() && m_model->columnCount() > 0) {
        const QModelIndex idx = m_model->index(row, qMax(0, currentIndex().column()));
        setCurrentIndex(idx);
        selectRow(row);
        scrollTo(idx);
    } else {
        clearSelection();
    }
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    DataSet *ds = m_model->dataSet();
    if (!ds || !ds->isActive() || current.row() == ds->recNo())
        return;
    if (m_locked) {
        followDataSet();
        return;
    }
    try {
        ds->moveTo(current.row());
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        followDataSet();
    }
}

void DBGrid::mousePressEvent(QMouseEvent *event)
{
    if (m_locked) {
        setFocus();
        return;
    }
    QTableView::mousePressEvent(event);
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        DataSet *ds = m_model->dataSet();
        if (!ds || !ds->isActive() || m_locked)
            return;
        if (MessageBox::show(this, QMessageBox::Question, MessageBox::applicationCaption(), QStringLiteral("Delete record?"),
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
            == QMessageBox::Ok) {
            try {
                ds->remove();
            } catch (const Error &e) {
                MessageBox::error(this, e.text());
            }
        }
        return;
    }
    if (m_locked) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}
