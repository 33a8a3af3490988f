#include "import/wizard/WizardWindow.h"

#include "core/Error.h"
#include "data/DataSet.h"
#include "import/engine/ImportEngine.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/ZipWorkbook.h"
#include "import/template/SourceSetup.h"
#include "import/template/TemplateFile.h"
#include "import/wizard/FormatsPage.h"
#include "import/wizard/ImportOptionsPage.h"
#include "import/wizard/ImportProgress.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/SourceChoicePage.h"
#include "import/wizard/WizardKind.h"
#include "import/wizard/WizardPage.h"
#include "import/wizard/WizardPageParts.h"
#include "import/wizard/WizardSources.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString errorText(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->text();
    return QString::fromUtf8(e.what());
}

// "Text (*.x)|*.x|All (*.*)|*.*" as the toolkit's file dialogs write it.

QString templateFilter()
{
    return WizardWindow::tr("Import templates (*.imp);;All files (*)");
}

} // namespace

WizardWindow::WizardWindow(ImportWizard &component, QWidget *parent)
    : QDialog(parent)
    , m_component(component)
    , m_sources(component, this, [this] { return m_progress.data(); })
{
    setObjectName(QStringLiteral("DataImportWizardF"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    component.applyDestination(*m_sources.source(aiCSV));
    m_settings = component.initialSettings(destinationColumns(*m_sources.source(aiCSV)));
    m_componentSettings = m_settings;
    m_templateFileName = component.templateFileName;

    m_content = new QWidget(this);
    buildSteps();
    QHBoxLayout *buttons = buildButtonBar();

    auto *line = new QFrame(m_content);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *contentLayout = new QVBoxLayout(m_content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(m_steps, 1);
    contentLayout->addWidget(line);
    contentLayout->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_content);

    showSettings();
    setStep(0);

    if (component.autoLoadTemplate)
        loadTemplateAtStart();
    updateCaption();
    resize(1000, 680); // room for a worksheet and its field and range lists
}

// The four steps, the mapping step with a page per source kind.
void WizardWindow::buildSteps()
{
    m_steps = new QStackedWidget(m_content);
    m_steps->setObjectName(QStringLiteral("pcSteps"));
    m_sourcePage = new SourceChoicePage(m_settings, m_component, m_steps);
    m_steps->addWidget(m_sourcePage);
    m_steps->addWidget(buildMapStep());
    m_formatsPage = new FormatsPage(m_settings, m_steps);
    m_steps->addWidget(m_formatsPage);
    m_optionsPage = new ImportOptionsPage(m_settings, m_component, m_steps);
    m_steps->addWidget(m_optionsPage);
    connect(m_sourcePage, &SourceChoicePage::sourceEdited, this, [this] {
        m_pageStack->setCurrentWidget(m_pages[m_settings.importType]);
        updateCaption();
        updateButtons();
    });
    connect(m_sourcePage, &SourceChoicePage::delimitedMapCleared, this, [this] { m_pages[aiCSV]->settingsChanged(); });
    connect(m_sourcePage, &SourceChoicePage::workbookChanged, this, [this] { m_pages[aiXLS]->settingsChanged(); });
    connect(m_sourcePage, &SourceChoicePage::loadTemplateClicked, this, &WizardWindow::loadTemplateClicked);
    connect(m_optionsPage, &ImportOptionsPage::saveTemplateClicked, this, &WizardWindow::saveTemplateClicked);
}

// Help on the left, then Back, Next, Execute and Cancel on the right.
QHBoxLayout *WizardWindow::buildButtonBar()
{
    m_help = CreateButton(trMessage(ImportMsg::HelpButton), QStringLiteral("bHelp"), m_content);
    m_back = CreateButton(trMessage(ImportMsg::BackButton), QStringLiteral("bBack"), m_content);
    m_next = CreateButton(trMessage(ImportMsg::NextButton), QStringLiteral("bNext"), m_content);
    m_execute = CreateButton(trMessage(ImportMsg::ExecuteButton), QStringLiteral("bOk"), m_content);
    m_cancel = CreateButton(trMessage(ImportMsg::CancelButton), QStringLiteral("bCancel"), m_content);
    const QString helpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/ImportWizard.html");
    m_help->setVisible(m_component.showHelpButton);
    m_help->setEnabled(QFileInfo(helpFile).isFile());
    connect(m_help, &QPushButton::clicked, this, [helpFile] { QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)); });
    connect(m_back, &QPushButton::clicked, this, &WizardWindow::goBack);
    connect(m_next, &QPushButton::clicked, this, &WizardWindow::goNext);
    connect(m_execute, &QPushButton::clicked, this, &WizardWindow::executeImport);
    connect(m_cancel, &QPushButton::clicked, this, &WizardWindow::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_help);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(m_execute);
    buttons->addWidget(m_cancel);
    return buttons;
}

void WizardWindow::loadTemplateAtStart()
{
    if (m_component.onLoadTemplate)
        m_component.onLoadTemplate(&m_component, m_component.templateFileName);
    try {
        load(m_component.templateFileName);
    } catch (const std::exception &e) {
        showError(e);
    }
}

WizardWindow::~WizardWindow()
{
    delete m_progress.data();
    // The pages edit m_settings: they go before it does.
    delete m_content;
}

ImportProgress *WizardWindow::progress() const
{
    return m_progress.data();
}

ImportEngine *WizardWindow::source(AllowedImport kind) const
{
    return m_sources.source(kind);
}

ImportEngine *WizardWindow::runningSource() const
{
    return m_running ? source(m_settings.importType) : nullptr;
}

QWidget *WizardWindow::buildMapStep()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tshMap"));
    m_pageStack = new QStackedWidget(page);
    for (int k = 0; k < ImportKindCount; ++k) {
        m_pages[k] = wizardKind(AllowedImport(k)).createPage(m_settings, m_component, m_pageStack);
        m_pageStack->addWidget(m_pages[k]);
        connect(m_pages[k], &WizardPage::mapEdited, this, &WizardWindow::updateButtons);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(CreateStepHeader(1, page));
    layout->addWidget(m_pageStack, 1);
    return page;
}

// ---------------------------------------------------------------------------
// Settings and controls
// ---------------------------------------------------------------------------

void WizardWindow::showSettings()
{
    m_sourcePage->showSettings();
    m_pageStack->setCurrentWidget(m_pages[m_settings.importType]);
    m_formatsPage->showSettings();
    m_optionsPage->showSettings();
    m_sourcePage->showTemplateName(m_templateFileName);
    updateCaption();
    updateButtons();
}

void WizardWindow::applyPendingEdits()
{
    // An edit applies when it is left; an action started from the keyboard
    // or by a program may come first.
    m_sourcePage->applyPendingEdits();
    m_formatsPage->applyPendingEdits();
    m_optionsPage->applyPendingEdits();
}

// ---------------------------------------------------------------------------
// Templates
// ---------------------------------------------------------------------------

void WizardWindow::loadTemplateClicked()
{
    const QString dir = m_templateFileName.isEmpty() ? QDir::currentPath() : QFileInfo(m_templateFileName).absolutePath();
    const QString name = QFileDialog::getOpenFileName(this, trMessage(ImportMsg::LoadTemplate), dir, templateFilter());
    if (name.isEmpty())
        return;
    if (m_component.onLoadTemplate)
        m_component.onLoadTemplate(&m_component, name);
    try {
        load(name);
    } catch (const std::exception &e) {
        showError(e);
    }
}

void WizardWindow::saveTemplateClicked()
{
    const QString dir = m_templateFileName.isEmpty() ? QDir::currentPath() : m_templateFileName;
    QString name = QFileDialog::getSaveFileName(this, trMessage(ImportMsg::SaveTemplate), dir, templateFilter());
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".imp");
    try {
        save(name);
        m_templateFileName = name;
        m_sourcePage->showTemplateName(m_templateFileName);
    } catch (const std::exception &e) {
        showError(e);
    }
}

void WizardWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_sourcePage->showTemplateName(m_templateFileName);
}

void WizardWindow::save(const QString &fileName)
{
    applyPendingEdits();
    m_pages[m_settings.importType]->storeMap();
    TemplateFile::save(fileName, m_settings);
}

void WizardWindow::load(const QString &fileName)
{
    applyPendingEdits();
    m_pages[m_settings.importType]->storeMap();
    TemplateFile::load(fileName, m_settings, m_componentSettings, m_component.allowedImports);
    m_templateFileName = fileName;
    for (WizardPage *page : m_pages)
        page->settingsChanged();
    showSettings();
    if (!m_settings.goToLastPage)
        return;
    const AllowedImport kind = m_settings.importType;
    // Fixed-width positions need the file's lines: that page is prepared first.
    if (kind == aiTXT && !enterMapStep())
        return;
    if (!m_pages[kind]->isMapEmpty())
        setStep(3);
}

// ---------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------

void WizardWindow::goNext()
{
    if (m_running || !m_next->isEnabled())
        return;
    applyPendingEdits();
    switch (m_step) {
    case 0:
        try {
            checkSource();
        } catch (const std::exception &e) {
            showError(e);
            return;
        }
        if (enterMapStep())
            setStep(1);
        break;
    case 1:
        m_pages[m_settings.importType]->storeMap();
        setStep(2);
        break;
    case 2:
        setStep(3);
        break;
    default:
        break;
    }
}

void WizardWindow::goBack()
{
    if (m_running || m_step <= 0)
        return;
    applyPendingEdits();
    if (m_step == 1)
        m_pages[m_settings.importType]->storeMap();
    if (m_step == 2 && !enterMapStep())
        return;
    setStep(m_step - 1);
}

void WizardWindow::checkSource() const
{
    const QString &name = m_settings.fileName;
    const QFileInfo info(name);
    if (!info.isFile())
        throw dataImportError(ImportMsg::FileDoesNotExist, { name });
    const QString suffix = info.suffix();
    // A workbook is told by its content: a renamed one is still taken.
    if (!importKindTakesExtension(m_settings.importType, suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix)
        && !(m_settings.importType == aiXLS && looksLikeWorkbook(name)))
        throw dataImportError(ImportMsg::WrongFileType, { importKindExtension(m_settings.importType) });
    bool open = true;
    switch (m_component.importDestination) {
    case qidDataSet:
        open = m_component.dataSet && m_component.dataSet->isActive();
        break;
    case qidDBGrid:
        open = m_component.dbGrid && m_component.dbGrid->gridDataSet() && m_component.dbGrid->gridDataSet()->isActive();
        break;
    case qidListView:
    case qidStringGrid:
    case qidUserDefined:
        break;
    }
    if (!open)
        throw dataImportError(ImportMsg::DestinationClosed);
}

QString WizardWindow::sourceSignature(AllowedImport kind) const
{
    QString signature = m_settings.fileName;
    if (kind == aiCSV)
        signature += QLatin1Char('\n') + m_settings.delimiter + m_settings.quote;
    return signature;
}

bool WizardWindow::enterMapStep()
{
    const AllowedImport kind = m_settings.importType;
    const QString signature = sourceSignature(kind);
    try {
        m_pages[kind]->prepare(signature != m_preparedSource[kind]);
        m_preparedSource[kind] = signature;
    } catch (const std::exception &e) {
        m_preparedSource[kind].clear();
        setStep(0);
        showError(e);
        return false;
    }
    return true;
}

void WizardWindow::setStep(int step)
{
    m_step = step;
    m_steps->setCurrentIndex(step);
    if (step == 1)
        m_pageStack->setCurrentWidget(m_pages[m_settings.importType]);
    updateButtons();
}

void WizardWindow::updateButtons()
{
    if (!m_next)
        return;
    const AllowedImport kind = m_settings.importType;
    const bool mapEmpty = m_pages[kind]->isMapEmpty();
    bool next = false;
    switch (m_step) {
    case 0:
        next = !m_settings.fileName.isEmpty() && (kind != aiCSV || m_settings.delimiter != QChar(0));
        break;
    case 1:
        next = !mapEmpty;
        break;
    case 2:
        next = true;
        break;
    default:
        break;
    }
    m_back->setEnabled(m_step > 0);
    m_next->setEnabled(next);
    m_execute->setEnabled(m_step >= 2 || (m_step == 1 && !mapEmpty));
}

void WizardWindow::updateCaption()
{
    QString caption = trMessage(ImportMsg::WizardCaption);
    if (!m_settings.fileName.isEmpty())
        caption += QStringLiteral(" - ") + trMessage(ImportMsg::ImportFrom) + QLatin1Char(' ') + QFileInfo(m_settings.fileName).fileName();
    setWindowTitle(caption);
}

void WizardWindow::showError(const std::exception &e)
{
    QWidget *parent = m_progress ? static_cast<QWidget *>(m_progress.data()) : this;
    MessageBox::error(parent, errorText(e));
}

// ---------------------------------------------------------------------------
// The import and closing
// ---------------------------------------------------------------------------

void WizardWindow::executeImport()
{
    if (m_running || !m_execute->isEnabled())
        return;
    applyPendingEdits();
    m_pages[m_settings.importType]->storeMap();
    ImportEngine *source = this->source(m_settings.importType);

    // Nothing else of the wizard may run while the import does: the import
    // lets the interface handle its messages once per row.
    m_running = true;
    m_content->setEnabled(false);
    if (m_component.showProgress) {
        m_progress = new ImportProgress(this);
        connect(m_progress, &ImportProgress::cancelRequested, this, [source] { source->cancel(); });
        m_progress->show();
        m_progress->start();
    }
    bool failed = false;
    try {
        m_component.applyDestination(*source);
        configureImportSource(*source, m_settings);
        source->execute();
    } catch (const std::exception &e) {
        failed = true;
        // Refused before any row: there is nothing for the dialog to show.
        if (m_progress && !m_progress->started())
            delete m_progress.data();
        showError(e);
    }
    if (m_progress) {
        if (!m_progress->isDone())
            m_progress->afterImport(source->canceled());
        QEventLoop wait;
        connect(m_progress, &QDialog::finished, &wait, &QEventLoop::quit);
        if (m_progress->isVisible())
            wait.exec();
        delete m_progress.data();
    }
    m_running = false;
    m_content->setEnabled(true);
    if (!failed && m_settings.closeAfterImport)
        reject();
}

void WizardWindow::reject()
{
    // A running import ends first; its own dialog cancels it.
    if (m_running)
        return;
    if (m_component.confirmOnCancel
        && MessageBox::show(this, QMessageBox::Question, trMessage(ImportMsg::QuitCaption), trMessage(ImportMsg::QuitQuestion),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    if (m_settings.autoSaveTemplate) {
        try {
            save(m_templateFileName);
        } catch (const std::exception &e) {
            showError(e);
        }
    }
    QDialog::reject();
}
