#pragma once

#include "import/engine/ImportSettings.h"

#include <QWidget>

class ImportWizard;

// One source page of the wizard's mapping step: the window keeps one per
// source kind and shows the page of the chosen kind. A page maps the
// destination columns (settings.columns()) to parts of the file, and keeps
// that map in the kind's fields of the window's settings, which the import,
// the Execute button's rule and the template file read:
//   spreadsheet        XLSRanges, XLSSkipCols, XLSSkipRows
//   fixed-width text   TXTPositions, TXTSizes, TXTSkipLines
//   delimited text     CSVColumns, CSVSkipLines (FileName, Delimiter, Quote)
//   dBase              DBFPairs, SkipDeleted
//   XML                XMLPairs, WriteOnFly
// The window owns the settings and outlives its pages. The component gives
// the viewer sizes (TextViewerRows, CSVViewerRows, ExcelViewerRows,
// ExcelMaxColWidth). Texts come from the message table.
class WizardPage : public QWidget
{
    Q_OBJECT

public:
    WizardPage(AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    AllowedImport kind() const { return m_kind; }

    // Called each time the mapping step is entered. sourceChanged is true
    // when the file (for delimited text also the delimiter or quote) differs
    // from the one of the last successful call, or on the first call: the
    // page then reads the file again and rebuilds its source lists. The
    // fixed-width page also places a template's pending map here
    // (settings.ApplyPendingTXTMap()), once it knows the file's lines. A file
    // that cannot be read raises ImportError (or the reader's error):
    // the wizard shows it and goes back to the first step.
    virtual void prepare(bool sourceChanged) = 0;

    // The settings changed under the page (a template was loaded, a new
    // file name emptied the spreadsheet ranges, a new delimiter the column
    // numbers): show them again.
    virtual void settingsChanged() = 0;

    // Writes whatever the page holds that is not yet in the settings; called
    // before the import runs, a template is saved and the step is left.
    virtual void storeMap() { }

    // Whether the kind's map would be empty (Next and Execute stay disabled
    // on the mapping step while it is). By default the settings' rule.
    virtual bool isMapEmpty() const;

signals:
    // The map changed: the window re-evaluates its buttons.
    void mapEdited();

protected:
    ImportSettings &settings() const { return m_settings; }
    const ImportWizard &component() const { return m_component; }

private:
    AllowedImport m_kind;
    ImportSettings &m_settings;
    const ImportWizard &m_component;
};
