#pragma once

#include "core/FormatSettings.h"
#include "import/sources/workbook/RangeMap.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/wizard/WizardPage.h"

#include <memory>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class SheetGrid;

// The text a workbook cell shows in the preview: dates and times in the
// wizard's short formats (a date-time of 0 as a time), numbers in general
// format, a formula its cached result.
QString SpreadsheetPreviewText(BiffCell &cell, const FormatSettings &fs);

// The spreadsheet page: every worksheet of the workbook in a tab, the
// destination columns ("Fields") with each one's cell ranges ("Ranges"), the
// range editor, the automatic fills, and a selection made on the grid with
// Shift and Ctrl held, applied with Enter.
class SpreadsheetPage : public WizardPage
{
    Q_OBJECT

public:
    SpreadsheetPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);
    ~SpreadsheetPage() override;

    void prepare(bool sourceChanged) override;
    void settingsChanged() override;

    int sheetCount() const;
    SheetGrid *grid(int sheet) const;
    // The selection being built on the grid, as range text.
    QString pendingText() const { return m_pending.text(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildLeftPanel();
    QLabel *buildRangeLists();
    QGridLayout *buildRangeTools();
    QGridLayout *buildSkipEdits();
    void connectRangeTools();
    void loadWorkbook();
    void unloadWorkbook();
    void fillGrid(SheetGrid &grid, XlsWorkSheet &sheet, int maxColWidth);
    int currentField() const;
    SheetGrid *activeGrid() const;
    QList<int> selectedRanges() const;
    void storeField(int field);
    void showRanges(const QList<int> &select = {});
    void updateButtons();
    void repaintGrids();
    int marks(const SheetGrid &grid, int row, int col) const;
    // Sheet names as the workbook spells them (the range text upper-cases them).
    void restoreSheetNames(MapRow &row) const;

    // Tool buttons
    void addRange();
    void editRange();
    void deleteRanges();
    void moveRange(int step);
    void autoFill(bool columns);
    void clearFieldRanges();
    void clearAllRanges();
    void skipEdited();

    // The selection on the grid
    void cellClicked(int row, int col, Qt::KeyboardModifiers modifiers);
    void headerClicked(bool column, int position, Qt::KeyboardModifiers modifiers);
    void extendTo(int row, int col);
    void addPending(std::unique_ptr<MapRange> range);
    void pendingChanged();
    void applyPending();
    void cancelPending();

    WorkbookFile m_file;
    QString m_loadedFile;
    std::vector<std::unique_ptr<MapRow>> m_rows; // one per destination column
    MapRow m_pending;
    int m_currentRow = 1; // where the last plain or Ctrl click was, 1-based
    int m_currentCol = 1;
    bool m_updating = false;
    // The ranges selected in the list are the operator's choice (Enter puts
    // a selection in their place), not those the page selected after adding.
    bool m_rangesChosen = false;

    QListWidget *m_fields;
    QStackedWidget *m_rangeStack;
    QListWidget *m_ranges;
    QListWidget *m_pendingList;
    QToolButton *m_addRange;
    QToolButton *m_editRange;
    QToolButton *m_delRange;
    QToolButton *m_moveUp;
    QToolButton *m_moveDown;
    QToolButton *m_autoCols;
    QToolButton *m_autoRows;
    QToolButton *m_clearField;
    QToolButton *m_clearAll;
    QLineEdit *m_skipCols;
    QLineEdit *m_skipRows;
    QTabWidget *m_sheets;
};
