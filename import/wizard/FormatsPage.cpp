#include "import/wizard/FormatsPage.h"

#include "import/engine/ImportMessages.h"
#include "import/wizard/ReplacementDialog.h"
#include "import/wizard/WizardPageParts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QStringList nonEmptyLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

} // namespace

FormatsPage::FormatsPage(ImportSettings &settings, QWidget *parent)
    : WizardStepPage(settings, parent)
{
    setObjectName(QStringLiteral("tshFormats"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pcFormats"));
    tabs->addTab(buildBaseTab(), trMessage(ImportMsg::BaseFormats));
    tabs->addTab(buildDataTab(), trMessage(ImportMsg::DataFormats));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateStepHeader(2, this));
    layout->addWidget(tabs, 1);
}

QWidget *FormatsPage::buildBaseTab()
{
    auto *base = new QWidget;
    base->setObjectName(QStringLiteral("tshBaseFormats"));
    QGroupBox *dates = buildDateFormatsBox(base);
    QGroupBox *separators = buildSeparatorsBox(base);
    QGridLayout *lists = buildValueLists(base);

    auto *baseTop = new QHBoxLayout;
    baseTop->addWidget(dates, 3);
    baseTop->addWidget(separators, 2);
    auto *baseLayout = new QVBoxLayout(base);
    baseLayout->addLayout(baseTop);
    baseLayout->addLayout(lists, 1);
    return base;
}

QGroupBox *FormatsPage::buildDateFormatsBox(QWidget *base)
{
    auto *dates = new QGroupBox(trMessage(ImportMsg::DateTimeFormats), base);
    m_shortDate = CreateLineEdit(QStringLiteral("edShortDateFormat"), dates);
    m_longDate = CreateLineEdit(QStringLiteral("edLongDateFormat"), dates);
    m_shortTime = CreateLineEdit(QStringLiteral("edShortTimeFormat"), dates);
    m_longTime = CreateLineEdit(QStringLiteral("edLongTimeFormat"), dates);
    auto *datesLayout = new QFormLayout(dates);
    datesLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::ShortDate), m_shortDate, dates), m_shortDate);
    datesLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::LongDate), m_longDate, dates), m_longDate);
    datesLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::ShortTime), m_shortTime, dates), m_shortTime);
    datesLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::LongTime), m_longTime, dates), m_longTime);
    connect(m_shortDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.formats.shortDateFormat = t; });
    connect(m_longDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.formats.longDateFormat = t; });
    connect(m_shortTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.formats.shortTimeFormat = t; });
    connect(m_longTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.formats.longTimeFormat = t; });

    return dates;
}

QGroupBox *FormatsPage::buildSeparatorsBox(QWidget *base)
{
    auto *separators = new QGroupBox(trMessage(ImportMsg::Separators), base);
    m_decimal = CreateLineEdit(QStringLiteral("edDecimalSeparator"), separators, 70);
    m_thousand = CreateLineEdit(QStringLiteral("edThousandSeparator"), separators, 70);
    m_dateSeparator = CreateLineEdit(QStringLiteral("edDateSeparator"), separators, 70);
    m_timeSeparator = CreateLineEdit(QStringLiteral("edTimeSeparator"), separators, 70);
    auto *sepLayout = new QFormLayout(separators);
    sepLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::DecimalSeparator), m_decimal, separators), m_decimal);
    sepLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::ThousandSeparator), m_thousand, separators), m_thousand);
    sepLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::DateSeparator), m_dateSeparator, separators), m_dateSeparator);
    sepLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::TimeSeparator), m_timeSeparator, separators), m_timeSeparator);
    connect(m_decimal, &QLineEdit::editingFinished, this, [this] { applySeparator(m_decimal, m_settings.formats.decimalSeparator); });
    connect(m_thousand, &QLineEdit::editingFinished, this, [this] { applySeparator(m_thousand, m_settings.formats.thousandSeparator); });
    connect(
        m_dateSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_dateSeparator, m_settings.formats.dateSeparator); });
    connect(
        m_timeSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_timeSeparator, m_settings.formats.timeSeparator); });
    return separators;
}

// The boolean texts and the null texts, one per line.
QGridLayout *FormatsPage::buildValueLists(QWidget *base)
{
    auto memo = [base](const QString &name) {
        auto *edit = new QPlainTextEdit(base);
        edit->setObjectName(name);
        edit->setTabChangesFocus(true);
        return edit;
    };
    m_booleanTrue = memo(QStringLiteral("mmBooleanTrue"));
    m_booleanFalse = memo(QStringLiteral("mmBooleanFalse"));
    m_nullValues = memo(QStringLiteral("mmNullValues"));
    connect(m_booleanTrue, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.formats.booleanTrue = nonEmptyLines(m_booleanTrue->toPlainText());
    });
    connect(m_booleanFalse, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.formats.booleanFalse = nonEmptyLines(m_booleanFalse->toPlainText());
    });
    connect(m_nullValues, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.formats.nullValues = nonEmptyLines(m_nullValues->toPlainText());
    });
    auto *lists = new QGridLayout;
    lists->addWidget(CreateBuddyLabel(trMessage(ImportMsg::BooleanTrue), m_booleanTrue, base), 0, 0);
    lists->addWidget(CreateBuddyLabel(trMessage(ImportMsg::BooleanFalse), m_booleanFalse, base), 0, 1);
    lists->addWidget(CreateBuddyLabel(trMessage(ImportMsg::NullValues), m_nullValues, base), 0, 2);
    lists->addWidget(m_booleanTrue, 1, 0);
    lists->addWidget(m_booleanFalse, 1, 1);
    lists->addWidget(m_nullValues, 1, 2);
    return lists;
}

QWidget *FormatsPage::buildDataTab()
{
    auto *data = new QWidget;
    data->setObjectName(QStringLiteral("tshDataFormats"));
    m_fields = new QListWidget(data);
    m_fields->setObjectName(QStringLiteral("lstFields"));
    m_fields->addItems(m_settings.columns());
    m_fields->setMaximumWidth(220);
    connect(m_fields, &QListWidget::currentRowChanged, this, [this] { showFieldFormat(); });

    auto *formatTabs = new QTabWidget(data);
    formatTabs->setObjectName(QStringLiteral("pcFieldFormat"));
    formatTabs->addTab(buildTuningTab(), trMessage(ImportMsg::Tuning));
    formatTabs->addTab(buildReplacementsTab(), trMessage(ImportMsg::Replacements));

    auto *fieldsBox = new QVBoxLayout;
    fieldsBox->addWidget(CreateBuddyLabel(trMessage(ImportMsg::FormatFields), m_fields, data));
    fieldsBox->addWidget(m_fields, 1);
    auto *dataLayout = new QHBoxLayout(data);
    dataLayout->addLayout(fieldsBox);
    dataLayout->addWidget(formatTabs, 1);
    return data;
}

// The selected column's generator, constant, null, default and quoting.
QWidget *FormatsPage::buildTuningTab()
{
    auto *tuning = new QWidget;
    tuning->setObjectName(QStringLiteral("tshTuning"));
    auto *integer = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,18}")), this);
    m_generatorValue = CreateLineEdit(QStringLiteral("edGeneratorValue"), tuning);
    m_generatorValue->setValidator(integer);
    m_generatorStep = CreateLineEdit(QStringLiteral("edGeneratorStep"), tuning);
    m_generatorStep->setValidator(integer);
    m_constantValue = CreateLineEdit(QStringLiteral("edConstantValue"), tuning);
    m_nullValue = CreateLineEdit(QStringLiteral("edNullValue"), tuning);
    m_defaultValue = CreateLineEdit(QStringLiteral("edDefaultValue"), tuning);
    m_leftQuote = CreateLineEdit(QStringLiteral("edLeftQuote"), tuning);
    m_rightQuote = CreateLineEdit(QStringLiteral("edRightQuote"), tuning);
    auto combo = [tuning](const QString &name, std::initializer_list<int> ids) {
        auto *box = new QComboBox(tuning);
        box->setObjectName(name);
        for (int id : ids)
            box->addItem(trMessage(id));
        return box;
    };
    m_quoteAction
        = combo(QStringLiteral("cbQuoteAction"), { ImportMsg::QuoteActionNone, ImportMsg::QuoteActionAdd, ImportMsg::QuoteActionRemove });
    m_charCase = combo(QStringLiteral("cbCharCase"),
        { ImportMsg::CharCaseAsIs, ImportMsg::CharCaseUpper, ImportMsg::CharCaseLower, ImportMsg::CharCaseUpperFirst,
            ImportMsg::CharCaseUpperFirstWord });
    m_charSet = combo(QStringLiteral("cbCharSet"), { ImportMsg::CharSetAsIs, ImportMsg::CharSetAnsi, ImportMsg::CharSetOem });
    auto *tuningLayout = new QFormLayout(tuning);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::GeneratorValue), m_generatorValue, tuning), m_generatorValue);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::GeneratorStep), m_generatorStep, tuning), m_generatorStep);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::ConstantValue), m_constantValue, tuning), m_constantValue);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::NullValue), m_nullValue, tuning), m_nullValue);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::DefaultValue), m_defaultValue, tuning), m_defaultValue);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::LeftQuote), m_leftQuote, tuning), m_leftQuote);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::RightQuote), m_rightQuote, tuning), m_rightQuote);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::QuoteAction), m_quoteAction, tuning), m_quoteAction);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::CharCase), m_charCase, tuning), m_charCase);
    tuningLayout->addRow(CreateBuddyLabel(trMessage(ImportMsg::CharSet), m_charSet, tuning), m_charSet);
    for (QLineEdit *edit : { m_generatorValue, m_generatorStep, m_constantValue, m_nullValue, m_defaultValue, m_leftQuote, m_rightQuote })
        connect(edit, &QLineEdit::textChanged, this, &FormatsPage::storeFieldFormat);
    for (QComboBox *box : { m_quoteAction, m_charCase, m_charSet })
        connect(box, &QComboBox::currentIndexChanged, this, &FormatsPage::storeFieldFormat);
    return tuning;
}

QWidget *FormatsPage::buildReplacementsTab()
{
    auto *replacements = new QWidget;
    replacements->setObjectName(QStringLiteral("tshReplacements"));
    m_replacements = new QTreeWidget(replacements);
    m_replacements->setObjectName(QStringLiteral("lvReplacements"));
    m_replacements->setRootIsDecorated(false);
    m_replacements->setHeaderLabels(
        { trMessage(ImportMsg::ColumnTextToFind), trMessage(ImportMsg::ColumnReplaceWith), trMessage(ImportMsg::ColumnIgnoreCase) });
    m_replacements->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_addReplacement = CreateButton(trMessage(ImportMsg::AddReplacement), QStringLiteral("bAddReplacement"), replacements);
    m_editReplacement = CreateButton(trMessage(ImportMsg::EditReplacement), QStringLiteral("bEditReplacement"), replacements);
    m_delReplacement = CreateButton(trMessage(ImportMsg::DelReplacement), QStringLiteral("bDelReplacement"), replacements);
    connect(m_addReplacement, &QPushButton::clicked, this, &FormatsPage::addReplacement);
    connect(m_editReplacement, &QPushButton::clicked, this, &FormatsPage::editReplacement);
    connect(m_delReplacement, &QPushButton::clicked, this, &FormatsPage::deleteReplacement);
    connect(m_replacements, &QTreeWidget::itemDoubleClicked, this, &FormatsPage::editReplacement);
    connect(m_replacements, &QTreeWidget::currentItemChanged, this, &FormatsPage::updateFieldFormatEnabling);
    auto *replacementButtons = new QHBoxLayout;
    replacementButtons->addWidget(m_addReplacement);
    replacementButtons->addWidget(m_editReplacement);
    replacementButtons->addWidget(m_delReplacement);
    replacementButtons->addStretch();
    auto *replacementsLayout = new QVBoxLayout(replacements);
    replacementsLayout->addWidget(m_replacements, 1);
    replacementsLayout->addLayout(replacementButtons);
    return replacements;
}

void FormatsPage::showSettings()
{
    m_showing = true;
    const ImportFormats &f = m_settings.formats;
    m_shortDate->setText(f.shortDateFormat);
    m_longDate->setText(f.longDateFormat);
    m_shortTime->setText(f.shortTimeFormat);
    m_longTime->setText(f.longTimeFormat);
    m_decimal->setText(wizardCharText(f.decimalSeparator));
    m_thousand->setText(wizardCharText(f.thousandSeparator));
    m_dateSeparator->setText(wizardCharText(f.dateSeparator));
    m_timeSeparator->setText(wizardCharText(f.timeSeparator));
    m_booleanTrue->setPlainText(f.booleanTrue.join(QLatin1Char('\n')));
    m_booleanFalse->setPlainText(f.booleanFalse.join(QLatin1Char('\n')));
    m_nullValues->setPlainText(f.nullValues.join(QLatin1Char('\n')));
    m_showing = false;

    if (m_fields->currentRow() < 0 && m_fields->count() > 0)
        m_fields->setCurrentRow(0);
    showFieldFormat();
}

void FormatsPage::applyPendingEdits()
{
    ImportFormats &f = m_settings.formats;
    applySeparator(m_decimal, f.decimalSeparator);
    applySeparator(m_thousand, f.thousandSeparator);
    applySeparator(m_dateSeparator, f.dateSeparator);
    applySeparator(m_timeSeparator, f.timeSeparator);
}

FieldFormat *FormatsPage::currentFormat() const
{
    const QListWidgetItem *item = m_fields->currentItem();
    return item ? m_settings.fieldFormat(item->text()) : nullptr;
}

void FormatsPage::showFieldFormat()
{
    const FieldFormat *f = currentFormat();
    m_showing = true;
    m_generatorValue->setText(f ? QString::number(f->generatorValue) : QString());
    m_generatorStep->setText(f ? QString::number(f->generatorStep) : QString());
    m_constantValue->setText(f ? f->constantValue : QString());
    m_nullValue->setText(f ? f->nullValue : QString());
    m_defaultValue->setText(f ? f->defaultValue : QString());
    m_leftQuote->setText(f ? f->leftQuote : QString());
    m_rightQuote->setText(f ? f->rightQuote : QString());
    m_quoteAction->setCurrentIndex(f ? f->quoteAction : 0);
    m_charCase->setCurrentIndex(f ? f->charCase : 0);
    m_charSet->setCurrentIndex(f ? f->charSet : 0);
    m_showing = false;
    showReplacements();
    updateFieldFormatEnabling();
}

void FormatsPage::storeFieldFormat()
{
    if (m_showing)
        return;
    FieldFormat *f = currentFormat();
    if (!f)
        return;
    f->generatorValue = m_generatorValue->text().toLongLong();
    f->generatorStep = m_generatorStep->text().toLongLong();
    f->constantValue = m_constantValue->text();
    f->nullValue = m_nullValue->text();
    f->defaultValue = m_defaultValue->text();
    f->leftQuote = m_leftQuote->text();
    f->rightQuote = m_rightQuote->text();
    f->quoteAction = ImportQuoteAction(m_quoteAction->currentIndex());
    f->charCase = ImportCharCase(m_charCase->currentIndex());
    f->charSet = ImportCharSet(m_charSet->currentIndex());
    updateFieldFormatEnabling();
}

void FormatsPage::showReplacements()
{
    m_replacements->clear();
    const FieldFormat *f = currentFormat();
    if (!f)
        return;
    for (const FieldReplacement &r : f->replacements)
        new QTreeWidgetItem(m_replacements, { r.textToFind, r.replaceWith, trMessage(r.ignoreCase ? ImportMsg::Yes : ImportMsg::No) });
}

void FormatsPage::updateFieldFormatEnabling()
{
    const FieldFormat *f = currentFormat();
    const bool any = f != nullptr;
    const bool noGenerator = any && f->generatorStep == 0;
    // A counter excludes everything else, and a constant the null handling.
    const bool nothingElse = any && f->constantValue.isEmpty() && f->nullValue.isEmpty() && f->defaultValue.isEmpty()
        && f->leftQuote.isEmpty() && f->rightQuote.isEmpty() && f->quoteAction == qaNone && f->charCase == iccNone && f->charSet == icsNone
        && f->replacements.count() == 0;
    m_generatorValue->setEnabled(nothingElse);
    m_generatorStep->setEnabled(nothingElse);
    m_constantValue->setEnabled(noGenerator && f->nullValue.isEmpty() && f->defaultValue.isEmpty());
    m_nullValue->setEnabled(noGenerator && f->constantValue.isEmpty());
    m_defaultValue->setEnabled(noGenerator && f->constantValue.isEmpty());
    for (QWidget *w : std::initializer_list<QWidget *> { m_leftQuote, m_rightQuote, m_quoteAction, m_charCase, m_charSet })
        w->setEnabled(noGenerator);
    m_addReplacement->setEnabled(noGenerator);
    const bool selected = noGenerator && m_replacements->currentItem();
    m_editReplacement->setEnabled(selected);
    m_delReplacement->setEnabled(selected);
}

void FormatsPage::applySeparator(QLineEdit *edit, QChar &target)
{
    if (m_showing || edit->text() == wizardCharText(target))
        return;
    target = applyWizardCharText(edit->text(), target);
    edit->setText(wizardCharText(target));
}

void FormatsPage::addReplacement()
{
    FieldFormat *f = currentFormat();
    if (!f)
        return;
    ReplacementDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const FieldReplacement r = dialog.replacement();
    f->replacements.add(r.textToFind, r.replaceWith, r.ignoreCase);
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(m_replacements->topLevelItemCount() - 1));
    updateFieldFormatEnabling();
}

void FormatsPage::editReplacement()
{
    FieldFormat *f = currentFormat();
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->replacements.count() || f->generatorStep != 0)
        return;
    ReplacementDialog dialog(this);
    dialog.setReplacement(f->replacements.at(row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    f->replacements.at(row) = dialog.replacement();
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(row));
    updateFieldFormatEnabling();
}

void FormatsPage::deleteReplacement()
{
    FieldFormat *f = currentFormat();
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->replacements.count())
        return;
    f->replacements.removeAt(row);
    showReplacements();
    updateFieldFormatEnabling();
}
