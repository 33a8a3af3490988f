#include "import/wizard/DelimitedPage.h"

#include "core/Conversion.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardPageParts.h"
#include "ui/CurrentCell.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor MarkedFill(255, 226, 160);
// The preview shows no more fields of a line than this: a line of millions
// of separators would otherwise make as many columns.
constexpr qsizetype MaxPreviewFields = 1024;

} // namespace

// ---------------------------------------------------------------------------
// Model
// ---------------------------------------------------------------------------

void DelimitedPreviewModel::setLines(const QList<QStringList> &lines)
{
    beginResetModel();
    m_lines = lines;
    m_columns = 0;
    for (const QStringList &fields : lines)
        m_columns = std::max(m_columns, int(fields.size()));
    endResetModel();
}

void DelimitedPreviewModel::setMarkedColumn(int column)
{
    if (column == m_marked)
        return;
    m_marked = column;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::BackgroundRole });
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

void DelimitedPreviewModel::setSkippedLines(int count, const QColor &colour)
{
    if (count == m_skipped && colour == m_skippedColour)
        return;
    m_skipped = count;
    m_skippedColour = colour;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::BackgroundRole, Qt::ForegroundRole });
}

int DelimitedPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int DelimitedPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant DelimitedPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_lines[index.row()].value(index.column());
    // A skipped line is no data: drawn as skipped, never as the column's.
    const bool skipped = index.row() < m_skipped;
    if (role == Qt::ForegroundRole && skipped)
        return m_skippedColour;
    if (role == Qt::BackgroundRole && index.column() + 1 == m_marked && !skipped)
        return MarkedFill;
    return {};
}

QVariant DelimitedPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return trFormatMessage(ImportMsg::CSVColumnHeader, { QString::number(section + 1) });
    return QString::number(section + 1);
}

// ---------------------------------------------------------------------------
// Page
// ---------------------------------------------------------------------------

DelimitedPage::DelimitedPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardPage(aiCSV, settings, component, parent)
    , m_model(new DelimitedPreviewModel(this))
{
    setObjectName(QStringLiteral("tshCSV"));

    m_fields = new QTreeWidget(this);
    m_fields->setObjectName(QStringLiteral("lvCSVFields"));
    m_fields->setHeaderLabels({ trMessage(ImportMsg::PageFields), trMessage(ImportMsg::CSVColNumber) });
    m_fields->setRootIsDecorated(false);
    m_fields->setAllColumnsShowFocus(true);
    for (const QString &column : settings.columns())
        new QTreeWidgetItem(m_fields, { column, QString() });
    FitColumnsToContent(m_fields);

    m_colNumber = new QComboBox(this);
    m_colNumber->setObjectName(QStringLiteral("cbColNumber"));
    auto *colLabel = new QLabel(trMessage(ImportMsg::CSVColNumber), this);
    colLabel->setBuddy(m_colNumber);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("sgCSV"));
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setTabKeyNavigation(false); // Tab goes on to the buttons
    m_grid->setItemDelegate(new CurrentCellDelegate(m_grid));
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    m_grid->horizontalHeader()->setHighlightSections(false);

    m_autoFill = new QPushButton(trMessage(ImportMsg::CSVAutoFill), this);
    m_autoFill->setObjectName(QStringLiteral("bCSVAutoFill"));
    m_clear = new QPushButton(trMessage(ImportMsg::CSVClear), this);
    m_clear->setObjectName(QStringLiteral("bCSVClear"));
    for (QPushButton *b : { m_autoFill, m_clear })
        b->setAutoDefault(false);
    auto *left = new QVBoxLayout;
    left->addWidget(m_fields, 1);
    auto *number = new QHBoxLayout;
    number->addWidget(colLabel);
    number->addWidget(m_colNumber, 1);
    left->addLayout(number);
    auto *body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(m_grid, 1);
    QHBoxLayout *bottom
        = CreateTextPageBar({ { m_autoFill, m_clear }, ImportMsg::CSVSkipLines, QStringLiteral("cbCSVEncoding"), settings.textEncoding,
                                [this](TextEncoding e) {
                                    this->settings().textEncoding = e;
                                    readFile();
                                } },
            this, m_skipLines, m_encoding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CreateHintPanel(trMessage(ImportMsg::CSVHint), this));
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    connectControls();

    settingsChanged();
    if (m_fields->topLevelItemCount() > 0)
        m_fields->setCurrentItem(m_fields->topLevelItem(0));
}

void DelimitedPage::connectControls()
{
    connect(m_fields, &QTreeWidget::currentItemChanged, this, &DelimitedPage::showCurrent);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) { columnClicked(index.column() + 1); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) { columnClicked(section + 1); });
    connect(m_colNumber, &QComboBox::activated, this, [this](int index) {
        const QString column = currentColumn();
        if (!column.isEmpty())
            setNumber(column, index); // entry 0 is the empty one
    });
    connect(m_autoFill, &QPushButton::clicked, this, [this] {
        const QStringList &columns = this->settings().columns();
        for (int i = 0; i < columns.size(); ++i)
            this->settings().csvColumns.setValue(columns[i], i + 1 <= columnCount() ? QString::number(i + 1) : QString());
        showFields();
        emit mapEdited();
    });
    connect(m_clear, &QPushButton::clicked, this, [this] {
        this->settings().csvColumns.clear();
        showFields();
        emit mapEdited();
    });
    connect(m_skipLines, &QLineEdit::textEdited, this, [this] {
        if (m_updating)
            return;
        this->settings().csvSkipLines = ReadCount(m_skipLines->text());
        showSkipped();
    });
}

int DelimitedPage::columnCount() const
{
    return m_model->columnCount();
}

QString DelimitedPage::sourceSignature() const
{
    return settings().fileName + QLatin1Char('\n') + settings().delimiter + settings().quote + QString::number(settings().textEncoding);
}

void DelimitedPage::prepare(bool sourceChanged)
{
    if (sourceChanged || m_loaded != sourceSignature())
        readFile();
}

void DelimitedPage::readFile()
{
    const QString fileName = settings().fileName;
    CheckSourceFile(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(translatedText(
            ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot open file \"%1\". %2"), fileName, file.errorString()));
    TextLineReader reader(&file, settings().textEncoding);
    const int rows = component().csvViewerRows;
    QList<QStringList> lines;
    QString line;
    QStringList fields;
    bool textSeen = false;
    while ((rows <= 0 || lines.size() < rows + 1) && reader.readLine(line)) {
        textSeen = textSeen || !line.trimmed().isEmpty();
        splitDelimitedLine(line, settings().quote, settings().delimiter, fields, MaxPreviewFields);
        lines << fields;
    }
    RefuseBlankText(reader, textSeen, fileName);
    m_model->setLines(lines);
    m_loaded = sourceSignature();
    dropNumbersBeyondColumns();

    // As wide as the widest text of the column (its heading included) and
    // one character more, counted in X.
    const int x = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    for (int c = 0; c < m_model->columnCount(); ++c) {
        qsizetype widest = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().size();
        for (const QStringList &f : lines)
            widest = std::max(widest, f.value(c).size());
        m_grid->setColumnWidth(c, int(widest + 1) * x);
    }

    m_colNumber->clear();
    m_colNumber->addItem(QString());
    for (int c = 1; c <= m_model->columnCount(); ++c)
        m_colNumber->addItem(QString::number(c));
    showCurrent();
}

void DelimitedPage::dropNumbersBeyondColumns()
{
    // A number past this file's columns would import nothing, row after row.
    QStringList dropped;
    for (const QString &column : settings().columns()) {
        int number = 0;
        if (tryStrToInt(settings().csvColumns.value(column), number) && number > m_model->columnCount()) {
            dropped << QStringLiteral("%1 (%2)").arg(column, trFormatMessage(ImportMsg::CSVColumnHeader, { QString::number(number) }));
            settings().csvColumns.setValue(column, QString());
        }
    }
    if (dropped.isEmpty())
        return;
    showFields();
    emit mapEdited();
    TellMappingNotInSource(this, settings().fileName, dropped);
}

void DelimitedPage::settingsChanged()
{
    m_updating = true;
    m_skipLines->setText(QString::number(settings().csvSkipLines));
    m_encoding->setCurrentIndex(int(settings().textEncoding));
    m_updating = false;
    showSkipped();
    showFields();
}

void DelimitedPage::showSkipped()
{
    m_model->setSkippedLines(settings().csvSkipLines, m_grid->palette().color(QPalette::Disabled, QPalette::Text));
}

QString DelimitedPage::currentColumn() const
{
    const QTreeWidgetItem *item = m_fields->currentItem();
    return item ? item->text(0) : QString();
}

void DelimitedPage::setNumber(const QString &column, int number)
{
    settings().csvColumns.setValue(column, number > 0 ? QString::number(number) : QString());
    showFields();
    emit mapEdited();
}

void DelimitedPage::columnClicked(int number)
{
    const QString column = currentColumn();
    if (column.isEmpty())
        return;
    int current = 0;
    const bool had = tryStrToInt(settings().csvColumns.value(column), current) && current == number;
    setNumber(column, had ? 0 : number);
}

void DelimitedPage::showFields()
{
    for (int i = 0; i < m_fields->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_fields->topLevelItem(i);
        item->setText(1, settings().csvColumns.value(item->text(0)));
    }
    showCurrent();
}

void DelimitedPage::showCurrent()
{
    int number = 0;
    if (!tryStrToInt(settings().csvColumns.value(currentColumn()), number) || number < 0)
        number = 0;
    m_model->setMarkedColumn(number);
    m_colNumber->setCurrentIndex(number < m_colNumber->count() ? number : 0);
    if (number > 0 && number <= m_model->columnCount())
        m_grid->scrollTo(m_model->index(0, number - 1), QAbstractItemView::EnsureVisible);
}
