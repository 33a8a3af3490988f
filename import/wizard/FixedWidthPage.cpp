#include "import/wizard/FixedWidthPage.h"

#include "core/Conversion.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/TextViewer.h"
#include "import/wizard/WizardPageParts.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

FixedWidthPage::FixedWidthPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardPage(aiTXT, settings, component, parent)
{
    setObjectName(QStringLiteral("tshTXT"));

    m_fields = new QTreeWidget(this);
    m_fields->setObjectName(QStringLiteral("lvTXTFields"));
    m_fields->setHeaderLabels({ trMessage(ImportMsg::PageFields), trMessage(ImportMsg::TXTPosition), trMessage(ImportMsg::TXTSize) });
    m_fields->setRootIsDecorated(false);
    m_fields->setAllColumnsShowFocus(true);
    for (const QString &column : settings.columns())
        new QTreeWidgetItem(m_fields, { column, QString(), QString() });
    FitColumnsToContent(m_fields);

    m_viewer = new TextViewer(this);

    m_clear = new QPushButton(trMessage(ImportMsg::TXTClear), this);
    m_clear->setObjectName(QStringLiteral("bTXTClear"));
    m_clear->setAutoDefault(false);
    auto *body = new QHBoxLayout;
    body->addWidget(m_fields);
    body->addWidget(m_viewer, 1);
    // Positions are characters: the separators stay where they are.
    QHBoxLayout *bottom = CreateTextPageBar({ { m_clear }, ImportMsg::TXTSkipLines, QStringLiteral("cbTXTEncoding"), settings.textEncoding,
                                                [this](TextEncoding e) {
                                                    this->settings().textEncoding = e;
                                                    readFile();
                                                } },
        this, m_skipLines, m_encoding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CreateHintPanel(trMessage(ImportMsg::TXTHint), this));
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    connect(m_fields, &QTreeWidget::currentItemChanged, this, &FixedWidthPage::showSelection);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        ImportSettings &s = this->settings();
        s.txtPositions.clear();
        s.txtSizes.clear();
        m_viewer->clearSelection();
        mapChanged();
    });
    connect(m_skipLines, &QLineEdit::textEdited, this, [this] {
        if (m_updating)
            return;
        this->settings().txtSkipLines = ReadCount(m_skipLines->text());
        m_viewer->setSkippedLines(this->settings().txtSkipLines);
    });
    connect(m_viewer, &TextViewer::regionClicked, this, &FixedWidthPage::regionClicked);
    connect(m_viewer, &TextViewer::regionClickUndone, this, &FixedWidthPage::regionClickUndone);
    connect(m_viewer, &TextViewer::separatorRemoved, this, &FixedWidthPage::separatorRemoved);
    connect(m_viewer, &TextViewer::separatorDragStarted, this, &FixedWidthPage::dragStarted);
    connect(m_viewer, &TextViewer::separatorDragged, this, &FixedWidthPage::dragged);
    connect(m_viewer, &TextViewer::separatorDropped, this, &FixedWidthPage::dropped);

    settingsChanged();
    if (m_fields->topLevelItemCount() > 0)
        m_fields->setCurrentItem(m_fields->topLevelItem(0));
}

// ---------------------------------------------------------------------------
// The file and the settings
// ---------------------------------------------------------------------------

void FixedWidthPage::prepare(bool sourceChanged)
{
    if (sourceChanged || m_loadedFile != settings().fileName || m_loadedEncoding != settings().textEncoding)
        readFile();
    // A template's positions wait for the lines they are placed on.
    if (settings().pendingTxtMap) {
        settings().applyPendingTxtMap();
        settingsChanged();
        emit mapEdited();
    }
}

void FixedWidthPage::readFile()
{
    const QString fileName = settings().fileName;
    CheckSourceFile(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(translatedText(
            ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot open file \"%1\". %2"), fileName, file.errorString()));
    TextLineReader reader(&file, settings().textEncoding);
    const int rows = component().textViewerRows;
    QStringList lines;
    QString line;
    bool textSeen = false;
    while ((rows <= 0 || lines.size() < rows) && reader.readLine(line)) {
        textSeen = textSeen || !line.trimmed().isEmpty();
        lines << line;
    }
    RefuseBlankText(reader, textSeen, fileName);
    m_viewer->setLines(lines);
    m_loadedFile = fileName;
    m_loadedEncoding = settings().textEncoding;
    showSelection();
}

void FixedWidthPage::settingsChanged()
{
    m_updating = true;
    m_skipLines->setText(QString::number(settings().txtSkipLines));
    m_viewer->setSkippedLines(settings().txtSkipLines);
    m_encoding->setCurrentIndex(int(settings().textEncoding));
    m_updating = false;
    placeSeparators();
    showFields();
    showSelection();
}

bool FixedWidthPage::positionOf(const QString &column, int &p, int &s) const
{
    return tryStrToInt(settings().txtPositions.value(column), p) && tryStrToInt(settings().txtSizes.value(column), s);
}

void FixedWidthPage::setPosition(const QString &column, int p, int s)
{
    settings().txtPositions.setValue(column, QString::number(p));
    settings().txtSizes.setValue(column, QString::number(s));
}

void FixedWidthPage::clearPosition(const QString &column)
{
    settings().txtPositions.setValue(column, QString());
    settings().txtSizes.setValue(column, QString());
}

QString FixedWidthPage::currentColumn() const
{
    const QTreeWidgetItem *item = m_fields->currentItem();
    return item ? item->text(0) : QString();
}

void FixedWidthPage::placeSeparators()
{
    // Every mapped column's two ends stand on separators.
    QList<int> positions;
    for (const QString &column : settings().columns()) {
        int p = 0, s = 0;
        if (positionOf(column, p, s) && s > 0)
            positions << p << p + s;
    }
    m_viewer->addSeparators(positions);
}

void FixedWidthPage::showFields()
{
    QList<QPair<int, int>> regions;
    for (int i = 0; i < m_fields->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_fields->topLevelItem(i);
        const QString column = item->text(0);
        item->setText(1, settings().txtPositions.value(column));
        item->setText(2, settings().txtSizes.value(column));
        int p = 0, s = 0;
        if (positionOf(column, p, s) && s > 0)
            regions << qMakePair(p, p + s);
    }
    m_viewer->setMappedRegions(regions);
}

void FixedWidthPage::showSelection()
{
    int p = 0, s = 0;
    if (positionOf(currentColumn(), p, s) && s > 0)
        m_viewer->setSelection(p, p + s);
    else
        m_viewer->clearSelection();
}

void FixedWidthPage::mapChanged()
{
    showFields();
    emit mapEdited();
}

// ---------------------------------------------------------------------------
// What the viewer reports
// ---------------------------------------------------------------------------

void FixedWidthPage::regionClicked(int left, int right, bool selected)
{
    const QString column = currentColumn();
    m_undoColumn = column;
    if (column.isEmpty())
        return;
    m_undoP = settings().txtPositions.value(column);
    m_undoS = settings().txtSizes.value(column);
    if (selected)
        setPosition(column, left, right - left);
    else
        clearPosition(column);
    mapChanged();
}

void FixedWidthPage::regionClickUndone()
{
    if (m_undoColumn.isEmpty())
        return;
    settings().txtPositions.setValue(m_undoColumn, m_undoP);
    settings().txtSizes.setValue(m_undoColumn, m_undoS);
    m_undoColumn.clear();
    mapChanged();
}

void FixedWidthPage::separatorRemoved(int position)
{
    for (const QString &column : settings().columns()) {
        int p = 0, s = 0;
        if (positionOf(column, p, s) && (p == position || p + s == position))
            clearPosition(column);
    }
    mapChanged();
}

void FixedWidthPage::dragStarted(int position)
{
    m_starting.clear();
    m_ending.clear();
    for (const QString &column : settings().columns()) {
        int p = 0, s = 0;
        if (!positionOf(column, p, s))
            continue;
        if (p == position)
            m_starting << Attached { column, p + s };
        else if (p + s == position)
            m_ending << column;
    }
}

void FixedWidthPage::dragged(int, int to)
{
    for (const Attached &a : m_starting)
        setPosition(a.column, to, a.end - to);
    for (const QString &column : m_ending) {
        int p = 0, s = 0;
        if (positionOf(column, p, s))
            setPosition(column, p, to - p);
    }
    mapChanged();
}

void FixedWidthPage::dropped(int, bool removed)
{
    if (removed) {
        for (const Attached &a : m_starting)
            clearPosition(a.column);
        for (const QString &column : m_ending)
            clearPosition(column);
        mapChanged();
    }
    m_starting.clear();
    m_ending.clear();
}
