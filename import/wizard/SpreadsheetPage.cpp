#include "import/wizard/SpreadsheetPage.h"

#include "core/Formatting.h"
#include "import/engine/ImportMessages.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/RangeEditor.h"
#include "import/wizard/SheetGrid.h"
#include "import/wizard/WizardPageParts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int MaxRows = 65536;
constexpr int MaxCols = 256;

// The "Loading..." box over the wizard while a workbook is read. It stays
// up half a second at least, so that it is read rather than flickers.
class LoadingBox
{
public:
    LoadingBox(QWidget *over, const QString &fileName)
        : m_box(new QFrame(over, Qt::Tool | Qt::FramelessWindowHint))
    {
        m_box->setObjectName(QStringLiteral("LoadingBox"));
        m_box->setFrameShape(QFrame::Box);
        m_box->setLineWidth(1);
        m_box->setAutoFillBackground(true);
        auto *title = new QLabel(trMessage(ImportMsg::Loading), m_box);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        auto *name = new QLabel(QFileInfo(fileName).fileName(), m_box);
        auto *layout = new QVBoxLayout(m_box);
        layout->setContentsMargins(24, 14, 24, 14);
        layout->addWidget(title, 0, Qt::AlignHCenter);
        layout->addWidget(name, 0, Qt::AlignHCenter);
        m_box->adjustSize();
        if (over) {
            const QRect frame = over->frameGeometry();
            m_box->move(frame.center() - QPoint(m_box->width() / 2, m_box->height() / 2));
        }
        m_box->show();
        m_shown.start();
        // Painted before the reading keeps the event loop waiting.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~LoadingBox() { delete m_box; }
    LoadingBox(const LoadingBox &) = delete;
    LoadingBox &operator=(const LoadingBox &) = delete;

    // Keeps the box up for what is left of its half second.
    void Finish()
    {
        const qint64 left = 500 - m_shown.elapsed();
        if (left <= 0)
            return;
        QEventLoop wait;
        QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QFrame *m_box;
    QElapsedTimer m_shown;
};

QToolButton *toolButton(int messageId, const QString &name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(trMessage(messageId));
    b->setToolTip(trMessage(messageId));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

// Whether any worksheet of the workbook has a cell, blank ones included.
bool holdsCells(WorkbookFile &file)
{
    for (int i = 0; i < file.workSheetCount(); ++i)
        if (XlsWorkSheet *sheet = file.workSheet(i))
            for (int r = 0; r < sheet->rows().count(); ++r)
                if (const XlsRow *row = sheet->rows().row(r); row && !row->isEmpty())
                    return true;
    return false;
}

} // namespace

QString SpreadsheetPreviewText(BiffCell &cell, const FormatSettings &fs)
{
    if (cell.isFormula()) {
        const QVariant result = static_cast<BiffFormula &>(cell).cachedResult();
        switch (result.typeId()) {
        case QMetaType::Double:
            return floatToStr(result.toDouble(), fs);
        case QMetaType::QString:
            return result.toString();
        case QMetaType::Bool:
            return result.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        default:
            return QString();
        }
    }
    switch (cell.kind()) {
    case XlsCellKind::String:
    case XlsCellKind::Boolean:
        return cell.text();
    case XlsCellKind::Number:
        return floatToStr(cell.number(), fs);
    case XlsCellKind::DateTime: {
        const double value = cell.dateTime();
        const double whole = std::trunc(value);
        const QString date = formatDateTime(fs.shortDateFormat, value, fs);
        const QString time = formatDateTime(fs.shortTimeFormat, value, fs);
        if (value == 0.0 || whole == 0.0)
            return time;
        if (value == whole)
            return date;
        return date + QLatin1Char(' ') + time;
    }
    case XlsCellKind::Other:
        break;
    }
    return QString();
}

SpreadsheetPage::SpreadsheetPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardPage(aiXLS, settings, component, parent)
{
    setObjectName(QStringLiteral("tshXLS"));
    QWidget *leftPanel = buildLeftPanel();

    m_sheets = new QTabWidget(this);
    m_sheets->setObjectName(QStringLiteral("pcSheets"));
    m_sheets->setDocumentMode(true);

    auto *body = new QHBoxLayout;
    body->addWidget(leftPanel);
    body->addWidget(m_sheets, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CreateHintPanel(trMessage(ImportMsg::XLSHint), this));
    layout->addLayout(body, 1);

    connectRangeTools();

    settingsChanged();
    if (m_fields->count() > 0)
        m_fields->setCurrentRow(0);
}

// The destination fields, their ranges, the range tools and the skips.
QWidget *SpreadsheetPage::buildLeftPanel()
{
    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("lstXLSFields"));
    m_fields->addItems(settings().columns());
    auto *fieldsLabel = new QLabel(trMessage(ImportMsg::XLSFields), this);
    fieldsLabel->setBuddy(m_fields);
    QLabel *rangesLabel = buildRangeLists();
    QGridLayout *tools = buildRangeTools();
    QGridLayout *skips = buildSkipEdits();

    auto *left = new QVBoxLayout;
    left->addWidget(fieldsLabel);
    left->addWidget(m_fields, 3);
    left->addWidget(rangesLabel);
    left->addWidget(m_rangeStack, 2);
    left->addLayout(tools);
    left->addLayout(skips);
    auto *leftPanel = new QWidget(this);
    leftPanel->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftPanel->setFixedWidth(250);
    return leftPanel;
}

// The field's ranges, and in their place while a selection is being made,
// the cells selected so far.
QLabel *SpreadsheetPage::buildRangeLists()
{
    m_ranges = new QListWidget(this);
    m_ranges->setObjectName(QStringLiteral("lstRanges"));
    m_ranges->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_ranges->installEventFilter(this);
    m_pendingList = new QListWidget(this);
    m_pendingList->setObjectName(QStringLiteral("lstSelection"));
    m_pendingList->setSelectionMode(QAbstractItemView::NoSelection);
    QPalette pending = m_pendingList->palette();
    pending.setColor(QPalette::Base, QColor(232, 243, 255));
    m_pendingList->setPalette(pending);
    m_rangeStack = new QStackedWidget(this);
    m_rangeStack->addWidget(m_ranges);
    m_rangeStack->addWidget(m_pendingList);
    auto *rangesLabel = new QLabel(trMessage(ImportMsg::XLSRanges), this);
    rangesLabel->setBuddy(m_ranges);
    return rangesLabel;
}

QGridLayout *SpreadsheetPage::buildRangeTools()
{
    m_addRange = toolButton(ImportMsg::XLSAddRange, QStringLiteral("bAddRange"), this);
    m_editRange = toolButton(ImportMsg::XLSEditRange, QStringLiteral("bEditRange"), this);
    m_delRange = toolButton(ImportMsg::XLSDelRange, QStringLiteral("bDelRange"), this);
    m_moveUp = toolButton(ImportMsg::XLSMoveRangeUp, QStringLiteral("bMoveRangeUp"), this);
    m_moveDown = toolButton(ImportMsg::XLSMoveRangeDown, QStringLiteral("bMoveRangeDown"), this);
    m_autoCols = toolButton(ImportMsg::XLSAutoFillCols, QStringLiteral("bAutoFillCols"), this);
    m_autoRows = toolButton(ImportMsg::XLSAutoFillRows, QStringLiteral("bAutoFillRows"), this);
    m_clearField = toolButton(ImportMsg::XLSClearFieldRanges, QStringLiteral("bClearFieldRanges"), this);
    m_clearAll = toolButton(ImportMsg::XLSClearAllRanges, QStringLiteral("bClearAllRanges"), this);
    auto *tools = new QGridLayout;
    tools->setSpacing(3);
    tools->addWidget(m_addRange, 0, 0);
    tools->addWidget(m_editRange, 0, 1);
    tools->addWidget(m_delRange, 1, 0);
    tools->addWidget(m_moveUp, 1, 1);
    tools->addWidget(m_moveDown, 2, 1);
    tools->addWidget(m_autoCols, 3, 0);
    tools->addWidget(m_autoRows, 3, 1);
    tools->addWidget(m_clearField, 4, 0);
    tools->addWidget(m_clearAll, 4, 1);
    return tools;
}

QGridLayout *SpreadsheetPage::buildSkipEdits()
{
    m_skipCols = new QLineEdit(this);
    m_skipCols->setObjectName(QStringLiteral("edSkipCols"));
    m_skipRows = new QLineEdit(this);
    m_skipRows->setObjectName(QStringLiteral("edSkipRows"));
    auto *skips = new QGridLayout;
    auto *skipColsLabel = new QLabel(trMessage(ImportMsg::XLSSkipCols), this);
    skipColsLabel->setBuddy(m_skipCols);
    auto *skipRowsLabel = new QLabel(trMessage(ImportMsg::XLSSkipRows), this);
    skipRowsLabel->setBuddy(m_skipRows);
    skips->addWidget(skipColsLabel, 0, 0);
    skips->addWidget(m_skipCols, 0, 1);
    skips->addWidget(skipRowsLabel, 1, 0);
    skips->addWidget(m_skipRows, 1, 1);
    for (QLineEdit *e : { m_skipCols, m_skipRows }) {
        e->setMaximumWidth(60);
        connect(e, &QLineEdit::textEdited, this, &SpreadsheetPage::skipEdited);
    }
    return skips;
}

void SpreadsheetPage::connectRangeTools()
{
    // A selection may be made before its field is chosen: choosing keeps it.
    connect(m_fields, &QListWidget::currentRowChanged, this, [this] { showRanges(); });
    m_fields->installEventFilter(this);
    connect(m_ranges, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_updating)
            m_rangesChosen = true;
        updateButtons();
        repaintGrids();
    });
    connect(m_ranges, &QListWidget::itemDoubleClicked, this, &SpreadsheetPage::editRange);
    connect(m_addRange, &QToolButton::clicked, this, &SpreadsheetPage::addRange);
    connect(m_editRange, &QToolButton::clicked, this, &SpreadsheetPage::editRange);
    connect(m_delRange, &QToolButton::clicked, this, &SpreadsheetPage::deleteRanges);
    connect(m_moveUp, &QToolButton::clicked, this, [this] { moveRange(-1); });
    connect(m_moveDown, &QToolButton::clicked, this, [this] { moveRange(1); });
    connect(m_autoCols, &QToolButton::clicked, this, [this] { autoFill(true); });
    connect(m_autoRows, &QToolButton::clicked, this, [this] { autoFill(false); });
    connect(m_clearField, &QToolButton::clicked, this, &SpreadsheetPage::clearFieldRanges);
    connect(m_clearAll, &QToolButton::clicked, this, &SpreadsheetPage::clearAllRanges);
    connect(m_sheets, &QTabWidget::currentChanged, this, [this] {
        // A selection belongs to the sheet it was made on.
        cancelPending();
        m_currentRow = m_currentCol = 1;
        updateButtons();
    });
}

SpreadsheetPage::~SpreadsheetPage() = default;

int SpreadsheetPage::sheetCount() const
{
    return m_sheets->count();
}

SheetGrid *SpreadsheetPage::grid(int sheet) const
{
    return qobject_cast<SheetGrid *>(m_sheets->widget(sheet));
}

SheetGrid *SpreadsheetPage::activeGrid() const
{
    return qobject_cast<SheetGrid *>(m_sheets->currentWidget());
}

int SpreadsheetPage::currentField() const
{
    const int row = m_fields->currentRow();
    return row >= 0 && row < int(m_rows.size()) ? row : -1;
}

// ---------------------------------------------------------------------------
// The workbook
// ---------------------------------------------------------------------------

void SpreadsheetPage::prepare(bool sourceChanged)
{
    const bool loaded = m_file.isOpened() && m_loadedFile.compare(settings().fileName, Qt::CaseInsensitive) == 0;
    if (sourceChanged || !loaded)
        loadWorkbook();
}

void SpreadsheetPage::unloadWorkbook()
{
    cancelPending();
    while (m_sheets->count() > 0) {
        QWidget *grid = m_sheets->widget(0);
        m_sheets->removeTab(0);
        delete grid;
    }
    m_file.close();
    m_loadedFile.clear();
    updateButtons();
}

void SpreadsheetPage::loadWorkbook()
{
    const QString fileName = settings().fileName;
    CheckSourceFile(fileName);
    unloadWorkbook();
    LoadingBox box(window(), fileName);
    m_file.setFileName(fileName);
    m_file.open();
    if (!holdsCells(m_file)) {
        m_file.close();
        RefuseEmptySource(fileName);
    }

    const int viewerRows = component().excelViewerRows;
    const int rows = viewerRows >= 1 && viewerRows <= MaxRows ? viewerRows : MaxRows;
    for (int i = 0; i < m_file.workSheetCount(); ++i) {
        XlsWorkSheet *sheet = m_file.workSheet(i);
        const QString name = m_file.workSheetName(i);
        auto *grid = new SheetGrid(i, name, rows, m_sheets);
        if (sheet)
            fillGrid(*grid, *sheet, component().excelMaxColWidth);
        grid->setMarks([this, grid](int row, int col) { return marks(*grid, row, col); });
        connect(grid, &SheetGrid::cellClicked, this, &SpreadsheetPage::cellClicked);
        connect(grid, &SheetGrid::columnHeaderClicked, this,
            [this](int col, Qt::KeyboardModifiers modifiers) { headerClicked(true, col, modifiers); });
        connect(grid, &SheetGrid::rowHeaderClicked, this,
            [this](int row, Qt::KeyboardModifiers modifiers) { headerClicked(false, row, modifiers); });
        connect(grid, &SheetGrid::applyPressed, this, &SpreadsheetPage::applyPending);
        connect(grid, &SheetGrid::cancelPressed, this, &SpreadsheetPage::cancelPending);
        m_sheets->addTab(grid, name);
    }
    m_loadedFile = fileName;
    m_currentRow = m_currentCol = 1;
    box.Finish();
    updateButtons();
    repaintGrids();
}

void SpreadsheetPage::fillGrid(SheetGrid &grid, XlsWorkSheet &sheet, int maxColWidth)
{
    const FormatSettings fs = settings().formats.settings();
    const QFontMetrics metrics(grid.font());
    SheetGridModel *model = grid.model();
    std::vector<int> widths(MaxCols, grid.horizontalHeader()->defaultSectionSize());
    XlsRowList &rows = sheet.rows();
    const int last = std::min(rows.count(), model->rowCount());
    for (int r = 0; r < last; ++r) {
        XlsRow *row = rows.row(r);
        if (!row || row->isEmpty())
            continue;
        for (int i = 0; i < row->count(); ++i) {
            BiffCell *cell = row->cell(i);
            const int col = cell->column();
            if (col < 0 || col >= MaxCols)
                continue;
            const QString text = SpreadsheetPreviewText(*cell, fs);
            model->setText(cell->row(), col, text);
            // Wide enough for its text, up to the widest a column may get.
            const int wanted = std::min(metrics.horizontalAdvance(text) + 10, maxColWidth);
            if (wanted > widths[std::size_t(col)])
                widths[std::size_t(col)] = wanted;
        }
    }
    for (int c = 0; c < MaxCols; ++c)
        grid.setColumnWidth(c, widths[std::size_t(c)]);
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

void SpreadsheetPage::settingsChanged()
{
    m_updating = true;
    // A new file name: the workbook and its tabs went with the old one.
    if (m_file.isOpened() && m_loadedFile.compare(settings().fileName, Qt::CaseInsensitive) != 0)
        unloadWorkbook();
    m_pending.clear();
    m_rows.clear();
    for (const QString &column : settings().columns()) {
        auto row = std::make_unique<MapRow>();
        try {
            row->parse(settings().xlsRanges.value(column));
        } catch (const ImportError &) {
            // Only texts this page or a template check wrote get here.
            row->clear();
        }
        m_rows.push_back(std::move(row));
    }
    m_skipCols->setText(QString::number(settings().xlsSkipCols));
    m_skipRows->setText(QString::number(settings().xlsSkipRows));
    m_updating = false;
    pendingChanged();
    showRanges();
}

void SpreadsheetPage::storeField(int field)
{
    if (field < 0 || field >= int(m_rows.size()))
        return;
    settings().xlsRanges.setValue(settings().columns().value(field), m_rows[std::size_t(field)]->text());
    emit mapEdited();
}

void SpreadsheetPage::skipEdited()
{
    if (m_updating)
        return;
    settings().xlsSkipCols = ReadCount(m_skipCols->text());
    settings().xlsSkipRows = ReadCount(m_skipRows->text());
    repaintGrids();
}

void SpreadsheetPage::restoreSheetNames(MapRow &row) const
{
    if (!m_file.isOpened())
        return;
    for (int i = 0; i < row.count(); ++i) {
        MapRange *range = row.range(i);
        if (range->sheetSelector() != ssByName)
            continue;
        const int index = m_file.workSheetIndex(range->sheetName());
        if (index >= 0)
            range->setSheetName(m_file.workSheetName(index));
    }
}

// ---------------------------------------------------------------------------
// Lists and buttons
// ---------------------------------------------------------------------------

void SpreadsheetPage::showRanges(const QList<int> &select)
{
    m_updating = true;
    m_rangesChosen = false;
    m_ranges->clear();
    const int field = currentField();
    if (field >= 0) {
        const MapRow &row = *m_rows[std::size_t(field)];
        for (int i = 0; i < row.count(); ++i)
            m_ranges->addItem(row.range(i)->text());
        for (int i : select)
            if (QListWidgetItem *item = m_ranges->item(i))
                item->setSelected(true);
        if (!select.isEmpty())
            m_ranges->setCurrentRow(select.last(), QItemSelectionModel::NoUpdate);
    }
    m_updating = false;
    updateButtons();
    repaintGrids();
}

QList<int> SpreadsheetPage::selectedRanges() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_ranges->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SpreadsheetPage::updateButtons()
{
    const int field = currentField();
    const bool loaded = m_sheets->count() > 0;
    const QList<int> selected = selectedRanges();
    const int count = field >= 0 ? m_rows[std::size_t(field)]->count() : 0;
    m_addRange->setEnabled(field >= 0 && loaded);
    m_editRange->setEnabled(field >= 0 && selected.size() == 1);
    m_delRange->setEnabled(field >= 0 && !selected.isEmpty());
    m_moveUp->setEnabled(selected.size() == 1 && selected[0] > 0);
    m_moveDown->setEnabled(selected.size() == 1 && selected[0] < count - 1);
    m_autoCols->setEnabled(loaded);
    m_autoRows->setEnabled(loaded);
    m_clearField->setEnabled(count > 0);
    bool any = false;
    for (const auto &row : m_rows)
        any = any || row->count() > 0;
    m_clearAll->setEnabled(any);
}

void SpreadsheetPage::repaintGrids()
{
    for (int i = 0; i < m_sheets->count(); ++i)
        if (SheetGrid *g = grid(i))
            g->viewport()->update();
}

int SpreadsheetPage::marks(const SheetGrid &grid, int row, int col) const
{
    if (row < 1 || row > MaxRows || col < 1 || col > MaxCols)
        return smNone;
    const int sheetNumber = grid.sheetIndex() + 1;
    const QString &name = grid.sheetName();
    int result = smNone;
    if (m_pending.count() > 0 && m_pending.contains(sheetNumber, name, row, col))
        result |= smPending;
    const int field = currentField();
    if (field < 0 || row <= settings().xlsSkipRows || col <= settings().xlsSkipCols)
        return result;
    const MapRow &ranges = *m_rows[std::size_t(field)];
    if (m_ranges->hasFocus() && !m_ranges->selectedItems().isEmpty()) {
        // While the list has the focus, only the ranges selected in it.
        for (const QListWidgetItem *item : m_ranges->selectedItems()) {
            const int i = m_ranges->row(item);
            if (i >= 0 && i < ranges.count() && ranges.range(i)->contains(sheetNumber, name, row, col))
                return result | smMapped;
        }
    } else if (ranges.contains(sheetNumber, name, row, col)) {
        result |= smMapped;
    }
    return result;
}

bool SpreadsheetPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ranges && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        repaintGrids();
    // Enter and Escape apply or drop a pending selection from the lists too,
    // where the operator went to choose the field.
    if (event->type() == QEvent::KeyPress && m_pending.count() > 0 && (watched == m_fields || watched == m_ranges)) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            applyPending();
            return true;
        case Qt::Key_Escape:
            cancelPending();
            return true;
        default:
            break;
        }
    }
    return WizardPage::eventFilter(watched, event);
}
