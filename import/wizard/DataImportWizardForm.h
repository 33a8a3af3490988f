#pragma once

#include "import/DataImportWizardSettings.h"

#include <QDialog>
#include <QListWidget>
#include <QPointer>

#include <array>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class TDataImport;
class TDataImportProgress;
class TDataImportWizard;
class TDataImportWizardPage;

// One list of the key column step: columns are dragged within it and to and
// from its partner, and nowhere else.
class TColumnList : public QListWidget
{
    Q_OBJECT

public:
    explicit TColumnList(QWidget *parent = nullptr);
    void SetPartner(TColumnList *partner) { m_partner = partner; }
    QStringList Columns() const;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool accepts(const QDropEvent *event) const;
    TColumnList *m_partner = nullptr;
};

// The wizard's window: four steps (the source; its map; formats; commit,
// log and mode), the import under a progress dialog, and template files.
// It lives for one TDataImportWizard::Execute and edits a copy of the
// component's settings.
class TDataImportWizardF : public QDialog
{
    Q_OBJECT

public:
    explicit TDataImportWizardF(TDataImportWizard &component, QWidget *parent = nullptr);
    ~TDataImportWizardF() override;

    TDataImportWizardSettings &Settings() { return m_settings; }
    // The current step, 0 to 3.
    int Step() const { return m_step; }
    // Next and Back as the buttons do them: the checks and messages included.
    void GoNext();
    void GoBack();
    // The Execute button: runs the import with the settings as they stand.
    void ExecuteImport();
    // Writes the template (nothing for a blank name); loads one and applies
    // it, jumping to the last step when the template says so. Both raise
    // EDataImportError.
    void Save(const QString &fileName);
    void Load(const QString &fileName);
    // The template the window uses: the component's, then the last one
    // loaded or saved through the buttons.
    QString TemplateFileName() const { return m_templateFileName; }

    TDataImportWizardPage *Page(TAllowedImport kind) const { return m_pages[kind]; }
    // The source object of a kind (both text kinds share one).
    TDataImport *Source(TAllowedImport kind) const;
    // The progress dialog while an import runs or waits for its OK.
    TDataImportProgress *Progress() const;
    bool Running() const { return m_running; }

    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Building
    QWidget *buildSourceStep();
    QWidget *buildMapStep();
    QWidget *buildFormatsStep();
    QWidget *buildLastStep();
    QWidget *stepHeader(int step);
    void createSources();
    void routeEvents(TDataImport &source);

    // Settings to controls and back
    void showSettings();
    void showFieldFormat();
    void storeFieldFormat();
    void showReplacements();
    void updateFieldFormatEnabling();
    void applyPendingEdits();
    void applyDelimiter();
    void applyQuote();
    void applySeparator(QLineEdit *edit, QChar &target);
    void applyCommitRecCount();
    void applyImportRecCount();
    void storeKeyColumns();
    void moveColumns(TColumnList *from, TColumnList *to, bool all);

    // Step 0
    void chooseKind(TAllowedImport kind);
    void fileNameEdited(const QString &text);
    void browseFile();
    void loadTemplateClicked();
    void saveTemplateClicked();
    void showTemplateName();

    // Navigation
    void setStep(int step);
    bool enterMapStep();
    QString sourceSignature(TAllowedImport kind) const;
    void checkSource() const;
    void updateButtons();
    void updateCaption();
    void showError(const std::exception &e);

    // Replacements
    void addReplacement();
    void editReplacement();
    void deleteReplacement();

    TDataImportWizard &m_component;
    TDataImportWizardSettings m_settings;
    TDataImportWizardSettings m_componentSettings; // the component's own, for templates
    QString m_templateFileName;
    int m_step = 0;
    bool m_showing = false; // controls are being filled: their signals change nothing
    bool m_running = false;

    std::unique_ptr<TDataImport> m_impXLS;
    std::unique_ptr<TDataImport> m_impDBF;
    std::unique_ptr<TDataImport> m_impXML;
    std::unique_ptr<TDataImport> m_impASCII;
    QPointer<TDataImportProgress> m_progress;
    std::array<TDataImportWizardPage *, ImportKindCount> m_pages {};
    std::array<QString, ImportKindCount> m_preparedSource; // what each page last read

    QWidget *m_content = nullptr;
    QLabel *m_picture = nullptr;
    QStackedWidget *m_steps = nullptr;
    QStackedWidget *m_pageStack = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_execute = nullptr;
    QPushButton *m_cancel = nullptr;

    // Step 0
    std::array<QRadioButton *, ImportKindCount> m_kinds {};
    QComboBox *m_comma = nullptr;
    QComboBox *m_quote = nullptr;
    QLineEdit *m_fileName = nullptr;
    QPushButton *m_browse = nullptr;
    QCheckBox *m_goToLastPage = nullptr;
    QCheckBox *m_autoSaveTemplate = nullptr;
    QPushButton *m_loadTemplate = nullptr;
    QLabel *m_templateName = nullptr;

    // Step 2
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

    // Step 3
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
    TColumnList *m_available = nullptr;
    TColumnList *m_keys = nullptr;
};
