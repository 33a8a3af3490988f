#pragma once

#include "import/wizard/DataImportWizardPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// The plainest source page, one for every kind until each kind has its own:
// the operator types the map as lines "destination column=source", the
// source being what the kind's map holds (cell ranges, "position;size", a
// field number, a field name). Beside it the page lists the destination
// columns and what it could read of the file (sheet names, field names or
// the first lines), and the kind's skip count or option. Lines that do not
// name a destination column or hold no valid source are reported below the
// text and left out of the map.
class TMapLinesPage : public TDataImportWizardPage
{
    Q_OBJECT

public:
    TMapLinesPage(TAllowedImport kind, TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent = nullptr);

    void Prepare(bool sourceChanged) override;
    void SettingsChanged() override;

    // What was read of the file (for tests and the operator alike).
    QString SourceText() const;
    // The lines left out of the map, one problem per line; empty when none.
    QString Problems() const;

private:
    void readSource();
    void linesEdited();
    void skipEdited();
    QString linesFromSettings() const;
    QString exampleLine() const;

    QListWidget *m_columns;
    QPlainTextEdit *m_lines;
    QLabel *m_problems;
    QPlainTextEdit *m_source;
    QLineEdit *m_skipCols = nullptr; // spreadsheet
    QLineEdit *m_skipRows = nullptr; // spreadsheet rows, or text lines
    QCheckBox *m_option = nullptr; // dBase SkipDeleted, XML WriteOnFly
    bool m_updating = false;
};
