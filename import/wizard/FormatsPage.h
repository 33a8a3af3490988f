#pragma once

#include "import/engine/ImportSettings.h"
#include "import/wizard/WizardStepPage.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// The wizard's formats step: the base formats (date and time formats,
// separators, the boolean and null texts) and each destination column's own
// format with its replacements. It edits Formats and FieldFormats of the
// window's settings.
class FormatsPage : public WizardStepPage
{
    Q_OBJECT

public:
    explicit FormatsPage(ImportSettings &settings, QWidget *parent = nullptr);

    void showSettings() override;
    void applyPendingEdits() override;

private:
    QWidget *buildBaseTab();
    QGroupBox *buildDateFormatsBox(QWidget *base);
    QGroupBox *buildSeparatorsBox(QWidget *base);
    QGridLayout *buildValueLists(QWidget *base);
    QWidget *buildDataTab();
    QWidget *buildTuningTab();
    QWidget *buildReplacementsTab();
    void applySeparator(QLineEdit *edit, QChar &target);
    // The selected column's format, or null.
    FieldFormat *currentFormat() const;
    void showFieldFormat();
    void storeFieldFormat();
    void showReplacements();
    void updateFieldFormatEnabling();
    void addReplacement();
    void editReplacement();
    void deleteReplacement();

    QLineEdit *m_shortDate = nullptr;
    QLineEdit *m_longDate = nullptr;
    QLineEdit *m_shortTime = nullptr;
    QLineEdit *m_longTime = nullptr;
    QLineEdit *m_decimal = nullptr;
    QLineEdit *m_thousand = nullptr;
    QLineEdit *m_dateSeparator = nullptr;
    QLineEdit *m_timeSeparator = nullptr;
    QPlainTextEdit *m_booleanTrue = nullptr;
    QPlainTextEdit *m_booleanFalse = nullptr;
    QPlainTextEdit *m_nullValues = nullptr;
    QListWidget *m_fields = nullptr;
    QLineEdit *m_generatorValue = nullptr;
    QLineEdit *m_generatorStep = nullptr;
    QLineEdit *m_constantValue = nullptr;
    QLineEdit *m_nullValue = nullptr;
    QLineEdit *m_defaultValue = nullptr;
    QLineEdit *m_leftQuote = nullptr;
    QLineEdit *m_rightQuote = nullptr;
    QComboBox *m_quoteAction = nullptr;
    QComboBox *m_charCase = nullptr;
    QComboBox *m_charSet = nullptr;
    QTreeWidget *m_replacements = nullptr;
    QPushButton *m_addReplacement = nullptr;
    QPushButton *m_editReplacement = nullptr;
    QPushButton *m_delReplacement = nullptr;
};
