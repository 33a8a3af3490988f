#pragma once

#include "import/DataImportWizardSettings.h"

#include <QWidget>

#include <array>

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDataImportWizard;

// The wizard's first step: the kind of source, its file, the delimited
// kind's delimiter and quote, and the template options. It edits that slice
// of the window's settings (ImportType, FileName, Delimiter, Quote,
// GoToLastPage, AutoSaveTemplate); the window owns the settings and
// outlives the page. The component gives the allowed kinds, the extension
// rule, the picture and whether the template buttons show.
class TSourceChoicePage : public QWidget
{
    Q_OBJECT

public:
    TSourceChoicePage(TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent = nullptr);
    ~TSourceChoicePage() override;

    // Shows the settings again (the window opened, a template was loaded).
    void ShowSettings();
    // A delimiter or quote typed but not yet left is applied: an action
    // started from the keyboard or by a program may come first.
    void ApplyPendingEdits();
    // The template's name, shortened to the label's width.
    void ShowTemplateName(const QString &fileName);

signals:
    // The kind, file name, delimiter or quote changed: the window's caption,
    // buttons and mapping page follow.
    void SourceEdited();
    // A new delimiter or quote emptied the delimited map.
    void DelimitedMapCleared();
    // A new file name for the spreadsheet kind emptied its ranges.
    void WorkbookChanged();
    void LoadTemplateClicked();

private:
    void chooseKind(TAllowedImport kind);
    void fileNameEdited(const QString &text);
    void browseFile();
    void applyDelimiter();
    void applyQuote();

    TDataImportWizardSettings &m_settings;
    const TDataImportWizard &m_component;
    bool m_showing = false; // controls are being filled: their signals change nothing

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
