#include "import/wizard/FieldPairsPage.h"

#include "import/sources/dbf/DbfReader.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/xml/XmlPacketReader.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardPageParts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton *pushButton(int messageId, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(trMessage(messageId), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

FieldPairsPage::FieldPairsPage(
    AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardPage(kind, settings, component, parent)
{
    const bool dbf = kind == aiDBF;
    const QString prefix = dbf ? QStringLiteral("DBF") : QStringLiteral("XML");
    setObjectName(QStringLiteral("tsh") + prefix);

    m_columns = new QListWidget(this);
    m_columns->setObjectName(QStringLiteral("lst%1Columns").arg(prefix));
    auto *columnsLabel = new QLabel(trMessage(ImportMsg::PageFields), this);
    columnsLabel->setBuddy(m_columns);

    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("lst%1Fields").arg(prefix));
    m_fileLabel = new QLabel(this);
    m_fileLabel->setObjectName(QStringLiteral("la%1FileName").arg(prefix));
    m_fileLabel->setBuddy(m_fields);

    m_pairs = new QTreeWidget(this);
    m_pairs->setObjectName(QStringLiteral("lv%1Pairs").arg(prefix));
    m_pairs->setRootIsDecorated(false);
    m_pairs->setAllColumnsShowFocus(true);
    m_pairs->setHeaderLabels({ trMessage(ImportMsg::PageFields), QString() });

    m_add = pushButton(dbf ? ImportMsg::DBFAdd : ImportMsg::XMLAdd, QStringLiteral("b%1Add").arg(prefix), this);
    m_remove = pushButton(dbf ? ImportMsg::DBFRemove : ImportMsg::XMLRemove, QStringLiteral("b%1Remove").arg(prefix), this);
    m_autoFill = pushButton(dbf ? ImportMsg::DBFAutoFill : ImportMsg::XMLAutoFill, QStringLiteral("b%1AutoFill").arg(prefix), this);
    m_clear = pushButton(dbf ? ImportMsg::DBFClear : ImportMsg::XMLClear, QStringLiteral("b%1Clear").arg(prefix), this);
    m_option = new QCheckBox(trMessage(dbf ? ImportMsg::DBFSkipDeleted : ImportMsg::XMLWriteOnFly), this);
    m_option->setObjectName(dbf ? QStringLiteral("chSkipDeleted") : QStringLiteral("chWriteOnFly"));

    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addSpacing(12);
    buttons->addWidget(m_autoFill);
    buttons->addWidget(m_clear);
    buttons->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(columnsLabel, 0, 0);
    grid->addWidget(m_columns, 1, 0);
    grid->addWidget(m_fileLabel, 0, 1);
    grid->addWidget(m_fields, 1, 1);
    grid->addLayout(buttons, 1, 2);
    grid->addWidget(m_pairs, 0, 3, 2, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CreateHintPanel(trMessage(dbf ? ImportMsg::DBFHint : ImportMsg::XMLHint), this));
    layout->addLayout(grid, 1);
    layout->addWidget(m_option);

    // Tab goes as the eye does: the two lists, their buttons, the pairs.
    QWidget *order[] = { m_columns, m_fields, m_add, m_remove, m_autoFill, m_clear, m_pairs, m_option };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_add, &QPushButton::clicked, this, &FieldPairsPage::add);
    connect(m_remove, &QPushButton::clicked, this, &FieldPairsPage::remove);
    connect(m_autoFill, &QPushButton::clicked, this, &FieldPairsPage::autoFill);
    connect(m_clear, &QPushButton::clicked, this, &FieldPairsPage::clear);
    connect(m_columns, &QListWidget::itemDoubleClicked, this, &FieldPairsPage::add);
    connect(m_fields, &QListWidget::itemDoubleClicked, this, &FieldPairsPage::add);
    connect(m_pairs, &QTreeWidget::itemDoubleClicked, this, &FieldPairsPage::remove);
    for (QListWidget *list : { m_columns, m_fields })
        connect(list, &QListWidget::currentRowChanged, this, &FieldPairsPage::updateButtons);
    connect(m_pairs, &QTreeWidget::currentItemChanged, this, &FieldPairsPage::updateButtons);
    connect(m_option, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_updating)
            (this->kind() == aiDBF ? this->settings().skipDeleted : this->settings().writeOnFly) = on;
    });

    settingsChanged();
}

QList<WizardFieldPair> &FieldPairsPage::pairs() const
{
    return kind() == aiDBF ? settings().dbfPairs : settings().xmlPairs;
}

void FieldPairsPage::prepare(bool sourceChanged)
{
    if (sourceChanged || m_loadedFile != settings().fileName)
        readFields();
}

void FieldPairsPage::readFields()
{
    const QString fileName = settings().fileName;
    CheckSourceFile(fileName);
    QStringList fields;
    if (kind() == aiDBF) {
        DbfReader table(fileName);
        for (int i = 0; i < table.fieldCount(); ++i)
            fields << table.fieldName(i);
        if (table.recordCount() == 0)
            RefuseEmptySource(fileName);
    } else {
        XmlPacketReader xml(fileName);
        xml.loadText();
        xml.parse(true);
        const XmlTagList *list = xml.fieldList();
        if (!list || list->count() == 0)
            throw dataImportError(ImportMsg::XMLFieldListEmpty);
        for (const auto &field : *list) {
            const QString name = xmlFieldName(*field);
            if (name.isEmpty())
                throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "XML read with errors")));
            fields << name;
        }
        // The rows come after the fields: the first one is enough.
        bool rows = false;
        while (!rows && !xml.endOfText()) {
            const std::unique_ptr<XmlTag> tag = xml.nextTag();
            rows = tag && tag->name().compare(QLatin1String("ROW"), Qt::CaseInsensitive) == 0;
        }
        if (!rows)
            RefuseEmptySource(fileName);
    }
    m_sourceFields = fields;
    m_loadedFile = fileName;
    dropPairsNotInSource();
    const QString shown = QFileInfo(fileName).fileName();
    m_fileLabel->setText(shown);
    m_fileLabel->setToolTip(fileName);
    m_pairs->headerItem()->setText(1, shown);
    showLists();
}

void FieldPairsPage::dropPairsNotInSource()
{
    // A field this file does not have would import nothing, row after row.
    QStringList dropped;
    QList<WizardFieldPair> &p = pairs();
    for (qsizetype i = 0; i < p.size();) {
        if (m_sourceFields.contains(p[i].field, Qt::CaseInsensitive)) {
            ++i;
            continue;
        }
        dropped << QStringLiteral("%1 (%2)").arg(p[i].column, p[i].field);
        p.removeAt(i);
    }
    if (dropped.isEmpty())
        return;
    settingsChanged();
    emit mapEdited();
    TellMappingNotInSource(this, m_loadedFile, dropped);
}

void FieldPairsPage::settingsChanged()
{
    // Columns come back in destination order, less those already paired.
    m_unmapped.clear();
    for (const QString &column : settings().columns()) {
        bool paired = false;
        for (const WizardFieldPair &pair : pairs())
            paired = paired || pair.column.compare(column, Qt::CaseInsensitive) == 0;
        if (!paired)
            m_unmapped << column;
    }
    m_updating = true;
    m_option->setChecked(kind() == aiDBF ? settings().skipDeleted : settings().writeOnFly);
    m_updating = false;
    showLists();
}

void FieldPairsPage::showLists()
{
    const int column = m_columns->currentRow();
    const int field = m_fields->currentRow();
    m_columns->clear();
    m_columns->addItems(m_unmapped);
    m_columns->setCurrentRow(std::min(std::max(column, 0), int(m_columns->count()) - 1));
    m_fields->clear();
    m_fields->addItems(m_sourceFields);
    m_fields->setCurrentRow(std::min(std::max(field, 0), int(m_fields->count()) - 1));
    m_pairs->clear();
    for (const WizardFieldPair &pair : pairs())
        new QTreeWidgetItem(m_pairs, { pair.column, pair.field });
    // Destination names whole, and at least the width of the heading.
    m_pairs->resizeColumnToContents(0);
    m_pairs->setColumnWidth(0, std::max(m_pairs->columnWidth(0) + 12, 100));
    updateButtons();
}

void FieldPairsPage::updateButtons()
{
    m_add->setEnabled(m_columns->currentRow() >= 0 && m_fields->currentRow() >= 0);
    m_remove->setEnabled(m_pairs->currentItem() != nullptr);
    m_autoFill->setEnabled(!m_sourceFields.isEmpty());
    m_clear->setEnabled(!pairs().isEmpty());
}

void FieldPairsPage::add()
{
    const int column = m_columns->currentRow();
    const int field = m_fields->currentRow();
    if (column < 0 || field < 0)
        return;
    // The source field stays: one field may feed several columns.
    pairs() << WizardFieldPair { m_unmapped.takeAt(column), m_sourceFields[field] };
    showLists();
    m_pairs->setCurrentItem(m_pairs->topLevelItem(m_pairs->topLevelItemCount() - 1));
    emit mapEdited();
}

void FieldPairsPage::remove()
{
    QTreeWidgetItem *item = m_pairs->currentItem();
    if (!item)
        return;
    const int i = m_pairs->indexOfTopLevelItem(item);
    m_unmapped << pairs().takeAt(i).column;
    showLists();
    if (m_pairs->topLevelItemCount() > 0)
        m_pairs->setCurrentItem(m_pairs->topLevelItem(std::min(i, m_pairs->topLevelItemCount() - 1)));
    emit mapEdited();
}

void FieldPairsPage::autoFill()
{
    QList<WizardFieldPair> &p = pairs();
    p.clear();
    m_unmapped = settings().columns();
    const qsizetype n = std::min(m_unmapped.size(), m_sourceFields.size());
    for (qsizetype i = 0; i < n; ++i)
        p << WizardFieldPair { m_unmapped[i], m_sourceFields[i] };
    m_unmapped.remove(0, n);
    showLists();
    emit mapEdited();
}

void FieldPairsPage::clear()
{
    pairs().clear();
    m_unmapped = settings().columns();
    showLists();
    emit mapEdited();
}
