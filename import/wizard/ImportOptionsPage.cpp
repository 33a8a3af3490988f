#include "import/wizard/ImportOptionsPage.h"

#include "core/Conversion.h"
#include "import/engine/ImportMessages.h"
#include "import/wizard/ColumnList.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardPageParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

ImportOptionsPage::ImportOptionsPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardStepPage(settings, parent)
{
    setObjectName(QStringLiteral("tshLastStep"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pcLastStep"));
    tabs->addTab(buildCommitTab(), trMessage(ImportMsg::CommitOptions));
    tabs->addTab(buildAdvancedTab(), trMessage(ImportMsg::Advanced));
    m_saveTemplate->setVisible(component.showSaveLoadButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateStepHeader(3, this));
    layout->addWidget(tabs, 1);
}

QWidget *ImportOptionsPage::buildCommitTab()
{
    auto *commitTab = new QWidget;
    commitTab->setObjectName(QStringLiteral("tshCommit"));
    auto countRow = [](QWidget *box, int labelId, QLineEdit *edit) {
        auto *row = new QHBoxLayout;
        row->addWidget(CreateBuddyLabel(trMessage(labelId), edit, box));
        row->addWidget(edit);
        row->addWidget(new QLabel(trMessage(ImportMsg::Records), box));
        row->addStretch();
        return row;
    };
    auto *commit = new QGroupBox(trMessage(ImportMsg::CommitGroup), commitTab);
    m_commitAfterDone = CreateCheckBox(ImportMsg::CommitWhenDone, QStringLiteral("chCommitAfterDone"), commit);
    m_commitRecCount = CreateLineEdit(QStringLiteral("edCommitRecCount"), commit, 80);
    auto *commitLayout = new QVBoxLayout(commit);
    commitLayout->addWidget(m_commitAfterDone);
    commitLayout->addLayout(countRow(commit, ImportMsg::CommitAfterEach, m_commitRecCount));
    connect(m_commitAfterDone, &QCheckBox::toggled, m_commitRecCount, &QWidget::setDisabled);
    storeWhenToggled(m_commitAfterDone, &ImportSettings::commitAfterDone);
    connect(m_commitRecCount, &QLineEdit::editingFinished, this, &ImportOptionsPage::applyCommitRecCount);

    auto *records = new QGroupBox(trMessage(ImportMsg::RecordCountGroup), commitTab);
    m_importAllRecords = CreateCheckBox(ImportMsg::ImportAllRecords, QStringLiteral("chImportAllRecords"), records);
    m_importRecCount = CreateLineEdit(QStringLiteral("edImportRecCount"), records, 80);
    auto *recordsLayout = new QVBoxLayout(records);
    recordsLayout->addWidget(m_importAllRecords);
    recordsLayout->addLayout(countRow(records, ImportMsg::ImportOnlyFirst, m_importRecCount));
    connect(m_importAllRecords, &QCheckBox::toggled, m_importRecCount, &QWidget::setDisabled);
    storeWhenToggled(m_importAllRecords, &ImportSettings::importAllRecords);
    connect(m_importRecCount, &QLineEdit::editingFinished, this, &ImportOptionsPage::applyImportRecCount);

    m_closeAfterImport = CreateCheckBox(ImportMsg::CloseAfterImport, QStringLiteral("chCloseAfterImport"), commitTab);
    storeWhenToggled(m_closeAfterImport, &ImportSettings::closeAfterImport);

    auto *log = new QGroupBox(trMessage(ImportMsg::ErrorLogGroup), commitTab);
    m_enableErrorLog = CreateCheckBox(ImportMsg::EnableErrorLog, QStringLiteral("chEnableErrorLog"), log);
    m_errorLogFileName = CreateLineEdit(QStringLiteral("edErrorLogFileName"), log);
    m_browseErrorLog = CreateButton(QStringLiteral("..."), QStringLiteral("bErrorLogFileName"), log);
    m_browseErrorLog->setMaximumWidth(32);
    m_rewriteErrorLog = CreateCheckBox(ImportMsg::RewriteErrorLogFile, QStringLiteral("chRewriteErrorLogFile"), log);
    m_showErrorLog = CreateCheckBox(ImportMsg::ShowErrorLog, QStringLiteral("chShowErrorLog"), log);
    auto *logName = new QHBoxLayout;
    logName->addWidget(CreateBuddyLabel(trMessage(ImportMsg::ErrorLogFileName), m_errorLogFileName, log));
    logName->addWidget(m_errorLogFileName, 1);
    logName->addWidget(m_browseErrorLog);
    auto *logLayout = new QVBoxLayout(log);
    logLayout->addWidget(m_enableErrorLog);
    logLayout->addLayout(logName);
    logLayout->addWidget(m_rewriteErrorLog);
    logLayout->addWidget(m_showErrorLog);
    for (QWidget *w : std::initializer_list<QWidget *> { m_errorLogFileName, m_browseErrorLog, m_rewriteErrorLog, m_showErrorLog })
        connect(m_enableErrorLog, &QCheckBox::toggled, w, &QWidget::setEnabled);
    storeWhenToggled(m_enableErrorLog, &ImportSettings::errorLog);
    connect(m_errorLogFileName, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.errorLogFileName = t; });
    storeWhenToggled(m_rewriteErrorLog, &ImportSettings::rewriteErrorLogFile);
    storeWhenToggled(m_showErrorLog, &ImportSettings::showErrorLog);
    connect(m_browseErrorLog, &QPushButton::clicked, this, &ImportOptionsPage::browseErrorLog);

    m_saveTemplate = CreateButton(trMessage(ImportMsg::SaveTemplate), QStringLiteral("bSaveTemplate"), commitTab);
    connect(m_saveTemplate, &QPushButton::clicked, this, &ImportOptionsPage::saveTemplateClicked);

    auto *commitLeft = new QVBoxLayout;
    commitLeft->addWidget(commit);
    commitLeft->addWidget(records);
    commitLeft->addWidget(m_closeAfterImport);
    commitLeft->addStretch();
    auto *commitRight = new QVBoxLayout;
    commitRight->addWidget(log);
    commitRight->addStretch();
    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(m_saveTemplate);
    saveRow->addStretch();
    commitRight->addLayout(saveRow);
    auto *commitLayoutAll = new QHBoxLayout(commitTab);
    commitLayoutAll->addLayout(commitLeft, 2);
    commitLayoutAll->addLayout(commitRight, 3);
    return commitTab;
}

QWidget *ImportOptionsPage::buildAdvancedTab()
{
    auto *advanced = new QWidget;
    advanced->setObjectName(QStringLiteral("tshAdvanced"));
    QGroupBox *modes = buildModesBox(advanced);
    QGroupBox *addType = buildAddTypeBox(advanced);
    QHBoxLayout *columns = buildKeyColumns(advanced);

    auto *advancedTop = new QHBoxLayout;
    advancedTop->addWidget(modes, 2);
    advancedTop->addWidget(addType, 1);
    auto *advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->addLayout(advancedTop);
    advancedLayout->addLayout(columns, 1);
    return advanced;
}

QGroupBox *ImportOptionsPage::buildModesBox(QWidget *advanced)
{
    auto *modes = new QGroupBox(trMessage(ImportMsg::ImportModeGroup), advanced);
    modes->setObjectName(QStringLiteral("rgImportMode"));
    auto *modeGroup = new QButtonGroup(advanced);
    auto *modesLayout = new QGridLayout(modes);
    const char *modeNames[6] = { "rbInsertAll", "rbInsertNew", "rbUpdate", "rbUpdateOrInsert", "rbDelete", "rbDeleteOrInsert" };
    const int modeTexts[6] = { ImportMsg::ModeInsertAll, ImportMsg::ModeInsertNew, ImportMsg::ModeUpdate, ImportMsg::ModeUpdateOrInsert,
        ImportMsg::ModeDelete, ImportMsg::ModeDeleteOrInsert };
    for (int i = 0; i < 6; ++i) {
        m_modes[i] = new QRadioButton(trMessage(modeTexts[i]), modes);
        m_modes[i]->setObjectName(QLatin1String(modeNames[i]));
        modeGroup->addButton(m_modes[i], i);
        modesLayout->addWidget(m_modes[i], i % 3, i / 3);
    }
    connect(modeGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            m_settings.importMode = ImportMode(id);
    });
    return modes;
}

QGroupBox *ImportOptionsPage::buildAddTypeBox(QWidget *advanced)
{
    auto *addType = new QGroupBox(trMessage(ImportMsg::AddTypeGroup), advanced);
    addType->setObjectName(QStringLiteral("rgAddType"));
    m_append = new QRadioButton(trMessage(ImportMsg::AddTypeAppend), addType);
    m_append->setObjectName(QStringLiteral("rbAppend"));
    m_insert = new QRadioButton(trMessage(ImportMsg::AddTypeInsert), addType);
    m_insert->setObjectName(QStringLiteral("rbInsert"));
    auto *addTypeLayout = new QVBoxLayout(addType);
    addTypeLayout->addWidget(m_append);
    addTypeLayout->addWidget(m_insert);
    connect(m_append, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.addType = on ? qatAppend : qatInsert;
    });
    return addType;
}

// The columns that find the row to update or delete, chosen from the others.
QHBoxLayout *ImportOptionsPage::buildKeyColumns(QWidget *advanced)
{
    m_available = new ColumnList(advanced);
    m_available->setObjectName(QStringLiteral("lstAvailableColumns"));
    m_keys = new ColumnList(advanced);
    m_keys->setObjectName(QStringLiteral("lstKeyColumns"));
    m_available->setPartner(m_keys);
    m_keys->setPartner(m_available);
    auto *allToKeys = CreateButton(QStringLiteral(">>"), QStringLiteral("bAllToKeys"), advanced);
    auto *toKeys = CreateButton(QStringLiteral(">"), QStringLiteral("bSelectedToKeys"), advanced);
    auto *toAvailable = CreateButton(QStringLiteral("<"), QStringLiteral("bSelectedToAvailable"), advanced);
    auto *allToAvailable = CreateButton(QStringLiteral("<<"), QStringLiteral("bAllToAvailable"), advanced);
    connect(allToKeys, &QPushButton::clicked, this, [this] { moveColumns(m_available, m_keys, true); });
    connect(toKeys, &QPushButton::clicked, this, [this] { moveColumns(m_available, m_keys, false); });
    connect(toAvailable, &QPushButton::clicked, this, [this] { moveColumns(m_keys, m_available, false); });
    connect(allToAvailable, &QPushButton::clicked, this, [this] { moveColumns(m_keys, m_available, true); });
    connect(
        m_available, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { moveOneColumn(m_available, m_keys, item); });
    connect(m_keys, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { moveOneColumn(m_keys, m_available, item); });
    QAbstractItemModel *keyModel = m_keys->model();
    connect(keyModel, &QAbstractItemModel::rowsInserted, this, &ImportOptionsPage::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::rowsRemoved, this, &ImportOptionsPage::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::rowsMoved, this, &ImportOptionsPage::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::dataChanged, this, &ImportOptionsPage::storeKeyColumns);

    auto *moveButtons = new QVBoxLayout;
    moveButtons->addStretch();
    for (QPushButton *b : { allToKeys, toKeys, toAvailable, allToAvailable }) {
        b->setMaximumWidth(40);
        moveButtons->addWidget(b);
    }
    moveButtons->addStretch();
    auto *availableBox = new QVBoxLayout;
    availableBox->addWidget(CreateBuddyLabel(trMessage(ImportMsg::AvailableColumns), m_available, advanced));
    availableBox->addWidget(m_available);
    auto *keysBox = new QVBoxLayout;
    keysBox->addWidget(CreateBuddyLabel(trMessage(ImportMsg::KeyColumns), m_keys, advanced));
    keysBox->addWidget(m_keys);
    auto *columns = new QHBoxLayout;
    columns->addLayout(availableBox);
    columns->addLayout(moveButtons);
    columns->addLayout(keysBox);
    return columns;
}

void ImportOptionsPage::showSettings()
{
    m_showing = true;
    const ImportSettings &s = m_settings;
    m_commitAfterDone->setChecked(s.commitAfterDone);
    m_commitRecCount->setText(QString::number(s.commitRecCount));
    m_commitRecCount->setEnabled(!s.commitAfterDone);
    m_importAllRecords->setChecked(s.importAllRecords);
    m_importRecCount->setText(QString::number(s.importRecCount));
    m_importRecCount->setEnabled(!s.importAllRecords);
    m_closeAfterImport->setChecked(s.closeAfterImport);
    m_enableErrorLog->setChecked(s.errorLog);
    for (QWidget *w : std::initializer_list<QWidget *> { m_errorLogFileName, m_browseErrorLog, m_rewriteErrorLog, m_showErrorLog })
        w->setEnabled(s.errorLog);
    m_errorLogFileName->setText(s.errorLogFileName);
    m_rewriteErrorLog->setChecked(s.rewriteErrorLogFile);
    m_showErrorLog->setChecked(s.showErrorLog);
    m_modes[s.importMode]->setChecked(true);
    (s.addType == qatAppend ? m_append : m_insert)->setChecked(true);
    m_keys->clear();
    m_keys->addItems(s.keyColumns);
    m_available->clear();
    for (const QString &column : s.columns())
        if (!s.keyColumns.contains(column))
            m_available->addItem(column);
    m_showing = false;
}

void ImportOptionsPage::applyPendingEdits()
{
    if (m_commitRecCount->text() != QString::number(m_settings.commitRecCount))
        applyCommitRecCount();
    if (m_importRecCount->text() != QString::number(m_settings.importRecCount))
        applyImportRecCount();
}

void ImportOptionsPage::browseErrorLog()
{
    const QFileInfo current(m_settings.errorLogFileName);
    const QString dir
        = m_settings.errorLogFileName.contains(QLatin1Char('/')) && current.dir().exists() ? current.absolutePath() : QDir::currentPath();
    const QString name = QFileDialog::getSaveFileName(
        this, trMessage(ImportMsg::ErrorLogFileName), dir + QLatin1Char('/') + current.fileName(), tr("Log files (*.log);;All files (*)"));
    if (name.isEmpty())
        return;
    m_errorLogFileName->setText(name);
    m_settings.errorLogFileName = name;
}

void ImportOptionsPage::applyCommitRecCount()
{
    if (m_showing)
        return;
    int count = 0;
    // A commit every 0 rows would never commit: such a count is refused too.
    if (tryStrToInt(m_commitRecCount->text().trimmed(), count) && count > 0)
        m_settings.commitRecCount = count;
    m_commitRecCount->setText(QString::number(m_settings.commitRecCount));
}

void ImportOptionsPage::applyImportRecCount()
{
    if (m_showing)
        return;
    int count = 0;
    if (tryStrToInt(m_importRecCount->text().trimmed(), count) && count >= 0) {
        m_settings.importRecCount = count;
        if (count == 0)
            m_importAllRecords->setChecked(true);
    }
    m_importRecCount->setText(QString::number(m_settings.importRecCount));
}

void ImportOptionsPage::storeKeyColumns()
{
    if (!m_showing)
        m_settings.keyColumns = m_keys->columns();
}

void ImportOptionsPage::moveColumns(ColumnList *from, ColumnList *to, bool all)
{
    QList<int> rows;
    for (int i = 0; i < from->count(); ++i)
        if (all || from->item(i)->isSelected())
            rows << i;
    if (rows.isEmpty())
        return;
    // One column goes where the other list's selection is; several are appended.
    int at = -1;
    if (rows.size() == 1 && !to->selectedItems().isEmpty())
        at = to->row(to->selectedItems().constFirst());
    QStringList names;
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        names.prepend(from->takeItem(rows[i])->text());
    for (const QString &name : names) {
        if (at >= 0)
            to->insertItem(at++, name);
        else
            to->addItem(name);
    }
    storeKeyColumns();
}

void ImportOptionsPage::moveOneColumn(ColumnList *from, ColumnList *to, QListWidgetItem *item)
{
    from->clearSelection();
    item->setSelected(true);
    to->clearSelection();
    moveColumns(from, to, false);
}
