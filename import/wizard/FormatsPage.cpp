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

TFormatsPage::TFormatsPage(TDataImportWizardSettings &settings, QWidget *parent)
    : TWizardStepPage(settings, parent)
{
    setObjectName(QStringLiteral("tshFormats"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pcFormats"));

    // Base formats
    auto *base = new QWidget;
    base->setObjectName(QStringLiteral("tshBaseFormats"));
    auto *dates = new QGroupBox(LoadMessage(ImportMsg::DateTimeFormats), base);
    m_shortDate = CreateLineEdit(QStringLiteral("edShortDateFormat"), dates);
    m_longDate = CreateLineEdit(QStringLiteral("edLongDateFormat"), dates);
    m_shortTime = CreateLineEdit(QStringLiteral("edShortTimeFormat"), dates);
    m_longTime = CreateLineEdit(QStringLiteral("edLongTimeFormat"), dates);
    auto *datesLayout = new QFormLayout(dates);
    datesLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::ShortDate), m_shortDate, dates), m_shortDate);
    datesLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::LongDate), m_longDate, dates), m_longDate);
    datesLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::ShortTime), m_shortTime, dates), m_shortTime);
    datesLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::LongTime), m_longTime, dates), m_longTime);
    connect(m_shortDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.ShortDateFormat = t; });
    connect(m_longDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.LongDateFormat = t; });
    connect(m_shortTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.ShortTimeFormat = t; });
    connect(m_longTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.LongTimeFormat = t; });

    auto *separators = new QGroupBox(LoadMessage(ImportMsg::Separators), base);
    m_decimal = CreateLineEdit(QStringLiteral("edDecimalSeparator"), separators, 70);
    m_thousand = CreateLineEdit(QStringLiteral("edThousandSeparator"), separators, 70);
    m_dateSeparator = CreateLineEdit(QStringLiteral("edDateSeparator"), separators, 70);
    m_timeSeparator = CreateLineEdit(QStringLiteral("edTimeSeparator"), separators, 70);
    auto *sepLayout = new QFormLayout(separators);
    sepLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::DecimalSeparator), m_decimal, separators), m_decimal);
    sepLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::ThousandSeparator), m_thousand, separators), m_thousand);
    sepLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::DateSeparator), m_dateSeparator, separators), m_dateSeparator);
    sepLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::TimeSeparator), m_timeSeparator, separators), m_timeSeparator);
    connect(m_decimal, &QLineEdit::editingFinished, this, [this] { applySeparator(m_decimal, m_settings.Formats.DecimalSeparator); });
    connect(m_thousand, &QLineEdit::editingFinished, this, [this] { applySeparator(m_thousand, m_settings.Formats.ThousandSeparator); });
    connect(
        m_dateSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_dateSeparator, m_settings.Formats.DateSeparator); });
    connect(
        m_timeSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_timeSeparator, m_settings.Formats.TimeSeparator); });

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
            m_settings.Formats.BooleanTrue = nonEmptyLines(m_booleanTrue->toPlainText());
    });
    connect(m_booleanFalse, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.Formats.BooleanFalse = nonEmptyLines(m_booleanFalse->toPlainText());
    });
    connect(m_nullValues, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.Formats.NullValues = nonEmptyLines(m_nullValues->toPlainText());
    });
    auto *lists = new QGridLayout;
    lists->addWidget(CreateBuddyLabel(LoadMessage(ImportMsg::BooleanTrue), m_booleanTrue, base), 0, 0);
    lists->addWidget(CreateBuddyLabel(LoadMessage(ImportMsg::BooleanFalse), m_booleanFalse, base), 0, 1);
    lists->addWidget(CreateBuddyLabel(LoadMessage(ImportMsg::NullValues), m_nullValues, base), 0, 2);
    lists->addWidget(m_booleanTrue, 1, 0);
    lists->addWidget(m_booleanFalse, 1, 1);
    lists->addWidget(m_nullValues, 1, 2);

    auto *baseTop = new QHBoxLayout;
    baseTop->addWidget(dates, 3);
    baseTop->addWidget(separators, 2);
    auto *baseLayout = new QVBoxLayout(base);
    baseLayout->addLayout(baseTop);
    baseLayout->addLayout(lists, 1);
    tabs->addTab(base, LoadMessage(ImportMsg::BaseFormats));

    // Data formats
    auto *data = new QWidget;
    data->setObjectName(QStringLiteral("tshDataFormats"));
    m_fields = new QListWidget(data);
    m_fields->setObjectName(QStringLiteral("lstFields"));
    m_fields->addItems(m_settings.Columns());
    m_fields->setMaximumWidth(220);
    connect(m_fields, &QListWidget::currentRowChanged, this, [this] { showFieldFormat(); });

    auto *formatTabs = new QTabWidget(data);
    formatTabs->setObjectName(QStringLiteral("pcFieldFormat"));
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
            box->addItem(LoadMessage(id));
        return box;
    };
    m_quoteAction
        = combo(QStringLiteral("cbQuoteAction"), { ImportMsg::QuoteActionNone, ImportMsg::QuoteActionAdd, ImportMsg::QuoteActionRemove });
    m_charCase = combo(QStringLiteral("cbCharCase"),
        { ImportMsg::CharCaseAsIs, ImportMsg::CharCaseUpper, ImportMsg::CharCaseLower, ImportMsg::CharCaseUpperFirst,
            ImportMsg::CharCaseUpperFirstWord });
    m_charSet = combo(QStringLiteral("cbCharSet"), { ImportMsg::CharSetAsIs, ImportMsg::CharSetAnsi, ImportMsg::CharSetOem });
    auto *tuningLayout = new QFormLayout(tuning);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::GeneratorValue), m_generatorValue, tuning), m_generatorValue);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::GeneratorStep), m_generatorStep, tuning), m_generatorStep);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::ConstantValue), m_constantValue, tuning), m_constantValue);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::NullValue), m_nullValue, tuning), m_nullValue);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::DefaultValue), m_defaultValue, tuning), m_defaultValue);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::LeftQuote), m_leftQuote, tuning), m_leftQuote);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::RightQuote), m_rightQuote, tuning), m_rightQuote);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::QuoteAction), m_quoteAction, tuning), m_quoteAction);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::CharCase), m_charCase, tuning), m_charCase);
    tuningLayout->addRow(CreateBuddyLabel(LoadMessage(ImportMsg::CharSet), m_charSet, tuning), m_charSet);
    for (QLineEdit *edit : { m_generatorValue, m_generatorStep, m_constantValue, m_nullValue, m_defaultValue, m_leftQuote, m_rightQuote })
        connect(edit, &QLineEdit::textChanged, this, &TFormatsPage::storeFieldFormat);
    for (QComboBox *box : { m_quoteAction, m_charCase, m_charSet })
        connect(box, &QComboBox::currentIndexChanged, this, &TFormatsPage::storeFieldFormat);
    formatTabs->addTab(tuning, LoadMessage(ImportMsg::Tuning));

    auto *replacements = new QWidget;
    replacements->setObjectName(QStringLiteral("tshReplacements"));
    m_replacements = new QTreeWidget(replacements);
    m_replacements->setObjectName(QStringLiteral("lvReplacements"));
    m_replacements->setRootIsDecorated(false);
    m_replacements->setHeaderLabels(
        { LoadMessage(ImportMsg::ColumnTextToFind), LoadMessage(ImportMsg::ColumnReplaceWith), LoadMessage(ImportMsg::ColumnIgnoreCase) });
    m_replacements->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_addReplacement = CreateButton(LoadMessage(ImportMsg::AddReplacement), QStringLiteral("bAddReplacement"), replacements);
    m_editReplacement = CreateButton(LoadMessage(ImportMsg::EditReplacement), QStringLiteral("bEditReplacement"), replacements);
    m_delReplacement = CreateButton(LoadMessage(ImportMsg::DelReplacement), QStringLiteral("bDelReplacement"), replacements);
    connect(m_addReplacement, &QPushButton::clicked, this, &TFormatsPage::addReplacement);
    connect(m_editReplacement, &QPushButton::clicked, this, &TFormatsPage::editReplacement);
    connect(m_delReplacement, &QPushButton::clicked, this, &TFormatsPage::deleteReplacement);
    connect(m_replacements, &QTreeWidget::itemDoubleClicked, this, &TFormatsPage::editReplacement);
    connect(m_replacements, &QTreeWidget::currentItemChanged, this, &TFormatsPage::updateFieldFormatEnabling);
    auto *replacementButtons = new QHBoxLayout;
    replacementButtons->addWidget(m_addReplacement);
    replacementButtons->addWidget(m_editReplacement);
    replacementButtons->addWidget(m_delReplacement);
    replacementButtons->addStretch();
    auto *replacementsLayout = new QVBoxLayout(replacements);
    replacementsLayout->addWidget(m_replacements, 1);
    replacementsLayout->addLayout(replacementButtons);
    formatTabs->addTab(replacements, LoadMessage(ImportMsg::Replacements));

    auto *fieldsBox = new QVBoxLayout;
    fieldsBox->addWidget(CreateBuddyLabel(LoadMessage(ImportMsg::FormatFields), m_fields, data));
    fieldsBox->addWidget(m_fields, 1);
    auto *dataLayout = new QHBoxLayout(data);
    dataLayout->addLayout(fieldsBox);
    dataLayout->addWidget(formatTabs, 1);
    tabs->addTab(data, LoadMessage(ImportMsg::DataFormats));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateStepHeader(2, this));
    layout->addWidget(tabs, 1);
}

void TFormatsPage::ShowSettings()
{
    m_showing = true;
    const TDataImportFormats &f = m_settings.Formats;
    m_shortDate->setText(f.ShortDateFormat);
    m_longDate->setText(f.LongDateFormat);
    m_shortTime->setText(f.ShortTimeFormat);
    m_longTime->setText(f.LongTimeFormat);
    m_decimal->setText(WizardCharText(f.DecimalSeparator));
    m_thousand->setText(WizardCharText(f.ThousandSeparator));
    m_dateSeparator->setText(WizardCharText(f.DateSeparator));
    m_timeSeparator->setText(WizardCharText(f.TimeSeparator));
    m_booleanTrue->setPlainText(f.BooleanTrue.join(QLatin1Char('\n')));
    m_booleanFalse->setPlainText(f.BooleanFalse.join(QLatin1Char('\n')));
    m_nullValues->setPlainText(f.NullValues.join(QLatin1Char('\n')));
    m_showing = false;

    if (m_fields->currentRow() < 0 && m_fields->count() > 0)
        m_fields->setCurrentRow(0);
    showFieldFormat();
}

void TFormatsPage::ApplyPendingEdits()
{
    TDataImportFormats &f = m_settings.Formats;
    applySeparator(m_decimal, f.DecimalSeparator);
    applySeparator(m_thousand, f.ThousandSeparator);
    applySeparator(m_dateSeparator, f.DateSeparator);
    applySeparator(m_timeSeparator, f.TimeSeparator);
}

TDataImportFieldFormat *TFormatsPage::currentFormat() const
{
    const QListWidgetItem *item = m_fields->currentItem();
    return item ? m_settings.FieldFormat(item->text()) : nullptr;
}

void TFormatsPage::showFieldFormat()
{
    const TDataImportFieldFormat *f = currentFormat();
    m_showing = true;
    m_generatorValue->setText(f ? QString::number(f->GeneratorValue) : QString());
    m_generatorStep->setText(f ? QString::number(f->GeneratorStep) : QString());
    m_constantValue->setText(f ? f->ConstantValue : QString());
    m_nullValue->setText(f ? f->NullValue : QString());
    m_defaultValue->setText(f ? f->DefaultValue : QString());
    m_leftQuote->setText(f ? f->LeftQuote : QString());
    m_rightQuote->setText(f ? f->RightQuote : QString());
    m_quoteAction->setCurrentIndex(f ? f->QuoteAction : 0);
    m_charCase->setCurrentIndex(f ? f->CharCase : 0);
    m_charSet->setCurrentIndex(f ? f->CharSet : 0);
    m_showing = false;
    showReplacements();
    updateFieldFormatEnabling();
}

void TFormatsPage::storeFieldFormat()
{
    if (m_showing)
        return;
    TDataImportFieldFormat *f = currentFormat();
    if (!f)
        return;
    f->GeneratorValue = m_generatorValue->text().toLongLong();
    f->GeneratorStep = m_generatorStep->text().toLongLong();
    f->ConstantValue = m_constantValue->text();
    f->NullValue = m_nullValue->text();
    f->DefaultValue = m_defaultValue->text();
    f->LeftQuote = m_leftQuote->text();
    f->RightQuote = m_rightQuote->text();
    f->QuoteAction = TQuoteAction(m_quoteAction->currentIndex());
    f->CharCase = TImportCharCase(m_charCase->currentIndex());
    f->CharSet = TImportCharSet(m_charSet->currentIndex());
    updateFieldFormatEnabling();
}

void TFormatsPage::showReplacements()
{
    m_replacements->clear();
    const TDataImportFieldFormat *f = currentFormat();
    if (!f)
        return;
    for (const TDataImportReplacement &r : f->Replacements)
        new QTreeWidgetItem(m_replacements, { r.TextToFind, r.ReplaceWith, LoadMessage(r.IgnoreCase ? ImportMsg::Yes : ImportMsg::No) });
}

void TFormatsPage::updateFieldFormatEnabling()
{
    const TDataImportFieldFormat *f = currentFormat();
    const bool any = f != nullptr;
    const bool noGenerator = any && f->GeneratorStep == 0;
    // A counter excludes everything else, and a constant the null handling.
    const bool nothingElse = any && f->ConstantValue.isEmpty() && f->NullValue.isEmpty() && f->DefaultValue.isEmpty()
        && f->LeftQuote.isEmpty() && f->RightQuote.isEmpty() && f->QuoteAction == qaNone && f->CharCase == iccNone && f->CharSet == icsNone
        && f->Replacements.Count() == 0;
    m_generatorValue->setEnabled(nothingElse);
    m_generatorStep->setEnabled(nothingElse);
    m_constantValue->setEnabled(noGenerator && f->NullValue.isEmpty() && f->DefaultValue.isEmpty());
    m_nullValue->setEnabled(noGenerator && f->ConstantValue.isEmpty());
    m_defaultValue->setEnabled(noGenerator && f->ConstantValue.isEmpty());
    for (QWidget *w : std::initializer_list<QWidget *> { m_leftQuote, m_rightQuote, m_quoteAction, m_charCase, m_charSet })
        w->setEnabled(noGenerator);
    m_addReplacement->setEnabled(noGenerator);
    const bool selected = noGenerator && m_replacements->currentItem();
    m_editReplacement->setEnabled(selected);
    m_delReplacement->setEnabled(selected);
}

void TFormatsPage::applySeparator(QLineEdit *edit, QChar &target)
{
    if (m_showing || edit->text() == WizardCharText(target))
        return;
    target = ApplyWizardCharText(edit->text(), target);
    edit->setText(WizardCharText(target));
}

void TFormatsPage::addReplacement()
{
    TDataImportFieldFormat *f = currentFormat();
    if (!f)
        return;
    TReplacementDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TDataImportReplacement r = dialog.Replacement();
    f->Replacements.Add(r.TextToFind, r.ReplaceWith, r.IgnoreCase);
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(m_replacements->topLevelItemCount() - 1));
    updateFieldFormatEnabling();
}

void TFormatsPage::editReplacement()
{
    TDataImportFieldFormat *f = currentFormat();
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->Replacements.Count() || f->GeneratorStep != 0)
        return;
    TReplacementDialog dialog(this);
    dialog.SetReplacement(f->Replacements.Items(row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    f->Replacements.Items(row) = dialog.Replacement();
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(row));
    updateFieldFormatEnabling();
}

void TFormatsPage::deleteReplacement()
{
    TDataImportFieldFormat *f = currentFormat();
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->Replacements.Count())
        return;
    f->Replacements.Delete(row);
    showReplacements();
    updateFieldFormatEnabling();
}
