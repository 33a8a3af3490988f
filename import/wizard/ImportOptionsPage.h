#pragma once

#include "import/engine/ImportSettings.h"
#include "import/wizard/WizardStepPage.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class ColumnList;
class ImportWizard;

// The wizard's last step: commit rhythm, record count, closing after the
// import and the error log on one tab; import mode, add type and key
// columns on the other. It edits that slice of the window's settings
// (CommitAfterDone to ShowErrorLog, ImportMode, AddType, KeyColumns). The
// component says whether the template button shows; the window saves the
// template.
class ImportOptionsPage : public WizardStepPage
{
    Q_OBJECT

public:
    ImportOptionsPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    void showSettings() override;
    void applyPendingEdits() override;

signals:
    void saveTemplateClicked();

private:
    QWidget *buildCommitTab();
    QWidget *buildAdvancedTab();
    QGroupBox *buildModesBox(QWidget *advanced);
    QGroupBox *buildAddTypeBox(QWidget *advanced);
    QHBoxLayout *buildKeyColumns(QWidget *advanced);
    void browseErrorLog();
    void applyCommitRecCount();
    void applyImportRecCount();
    void storeKeyColumns();
    void moveColumns(ColumnList *from, ColumnList *to, bool all);
    void moveOneColumn(ColumnList *from, ColumnList *to, QListWidgetItem *item);

    QCheckBox *m_commitAfterDone = nullptr;
    QLineEdit *m_commitRecCount = nullptr;
    QCheckBox *m_importAllRecords = nullptr;
    QLineEdit *m_importRecCount = nullptr;
    QCheckBox *m_closeAfterImport = nullptr;
    QCheckBox *m_enableErrorLog = nullptr;
    QLineEdit *m_errorLogFileName = nullptr;
    QPushButton *m_browseErrorLog = nullptr;
    QCheckBox *m_rewriteErrorLog = nullptr;
    QCheckBox *m_showErrorLog = nullptr;
    QPushButton *m_saveTemplate = nullptr;
    std::array<QRadioButton *, 6> m_modes {};
    QRadioButton *m_append = nullptr;
    QRadioButton *m_insert = nullptr;
    ColumnList *m_available = nullptr;
    ColumnList *m_keys = nullptr;
};
