#pragma once

#include "import/engine/ImportSettings.h"
#include "import/wizard/WizardStepPage.h"

#include <array>

class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QVBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ImportWizard;

// The wizard's first step: the kind of source, its file, the delimited
// kind's delimiter and quote, and the template options. It edits that slice
// of the window's settings (ImportType, FileName, Delimiter, Quote,
// GoToLastPage, AutoSaveTemplate). The component gives the allowed kinds,
// the extension rule, the picture and whether the template button shows.
class SourceChoicePage : public WizardStepPage
{
    Q_OBJECT

public:
    SourceChoicePage(ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    void showSettings() override;
    void applyPendingEdits() override;
    // The template's name, shortened to the label's width.
    void showTemplateName(const QString &fileName);

signals:
    // The kind, file name, delimiter or quote changed: the window's caption,
    // buttons and mapping page follow.
    void sourceEdited();
    // A new delimiter or quote emptied the delimited map.
    void delimitedMapCleared();
    // A new file name for the spreadsheet kind emptied its ranges.
    void workbookChanged();
    void loadTemplateClicked();

private:
    QGroupBox *buildKindsBox();
    QVBoxLayout *buildTextOptions();
    QHBoxLayout *buildFileRow();
    QGroupBox *buildTemplateBox();
    void chooseKind(AllowedImport kind);
    void fileNameEdited(const QString &text);
    void browseFile();
    void applyDelimiter();
    void applyQuote();

    const ImportWizard &m_component;

    std::array<QRadioButton *, ImportKindCount> m_kinds {};
    QComboBox *m_comma = nullptr;
    QComboBox *m_quote = nullptr;
    QLineEdit *m_fileName = nullptr;
    QPushButton *m_browse = nullptr;
    QCheckBox *m_goToLastPage = nullptr;
    QCheckBox *m_autoSaveTemplate = nullptr;
    QPushButton *m_loadTemplate = nullptr;
    QLabel *m_templateName = nullptr;
};
