#pragma once

#include "import/engine/ImportSettings.h"
#include "import/wizard/WizardSources.h"

#include <QDialog>
#include <QPointer>

#include <array>

class QHBoxLayout;
class QPushButton;
class QStackedWidget;
class ImportEngine;
class ImportProgress;
class ImportWizard;
class WizardPage;
class FormatsPage;
class ImportOptionsPage;
class SourceChoicePage;

// The wizard's window: four steps (the source; its map; formats; commit,
// log and mode), each a page that edits its slice of the settings, and the
// way between them; the import under a progress dialog, and template files.
// It lives for one ImportWizard::Execute and owns a copy of the
// component's settings, which its pages edit.
class WizardWindow : public QDialog
{
    Q_OBJECT

public:
    explicit WizardWindow(ImportWizard &component, QWidget *parent = nullptr);
    ~WizardWindow() override;

    ImportSettings &settings() { return m_settings; }
    // The current step, 0 to 3.
    int step() const { return m_step; }
    // Next and Back as the buttons do them: the checks and messages included.
    void goNext();
    void goBack();
    // The Execute button: runs the import with the settings as they stand.
    void executeImport();
    // Writes the template (nothing for a blank name); loads one and applies
    // it, jumping to the last step when the template says so. Both raise
    // ImportError.
    void save(const QString &fileName);
    void load(const QString &fileName);
    // The template the window uses: the component's, then the last one
    // loaded or saved through the buttons.
    QString templateFileName() const { return m_templateFileName; }

    WizardPage *page(AllowedImport kind) const { return m_pages[kind]; }
    // The source object of a kind (both text kinds share one).
    ImportEngine *source(AllowedImport kind) const;
    // The progress dialog while an import runs or waits for its OK.
    ImportProgress *progress() const;
    bool running() const { return m_running; }
    // The source object of the running import; null between imports.
    ImportEngine *runningSource() const;

    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildSteps();
    QHBoxLayout *buildButtonBar();
    // The component's template, when it asks for it to be read on opening.
    void loadTemplateAtStart();
    QWidget *buildMapStep();

    // The steps' pages show the settings again, or apply edits not yet left.
    void showSettings();
    void applyPendingEdits();
    void loadTemplateClicked();
    void saveTemplateClicked();

    // Navigation
    void setStep(int step);
    bool enterMapStep();
    QString sourceSignature(AllowedImport kind) const;
    void checkSource() const;
    void updateButtons();
    void updateCaption();
    void showError(const std::exception &e);

    ImportWizard &m_component;
    WizardSources m_sources;
    ImportSettings m_settings;
    ImportSettings m_componentSettings; // the component's own, for templates
    QString m_templateFileName;
    int m_step = 0;
    bool m_running = false;

    QPointer<ImportProgress> m_progress;
    std::array<WizardPage *, ImportKindCount> m_pages {};
    std::array<QString, ImportKindCount> m_preparedSource; // what each page last read

    QWidget *m_content = nullptr;
    QStackedWidget *m_steps = nullptr;
    SourceChoicePage *m_sourcePage = nullptr;
    QStackedWidget *m_pageStack = nullptr;
    FormatsPage *m_formatsPage = nullptr;
    ImportOptionsPage *m_optionsPage = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_execute = nullptr;
    QPushButton *m_cancel = nullptr;
};
