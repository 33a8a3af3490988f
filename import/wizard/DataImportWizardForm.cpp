#include "import/wizard/DataImportWizardForm.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/DataSet.h"
#include "import/DataImport.h"
#include "import/DataImportMessages.h"
#include "import/DataImportSourceSetup.h"
#include "import/DataImportTemplate.h"
#include "import/TextLineReader.h"
#include "import/ZipWorkbook.h"
#include "import/wizard/DataImportProgress.h"
#include "import/wizard/DataImportWizard.h"
#include "import/wizard/DataImportWizardPage.h"
#include "import/wizard/ReplacementDialog.h"
#include "ui/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
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
QString dialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        out << (parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

QString templateFilter()
{
    return QStringLiteral("Import templates (*.imp);;All files (*)");
}

// The first page's picture when the owner gives none: a table receiving rows.
QPixmap defaultPicture()
{
    QPixmap pixmap(150, 330);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, pixmap.height());
    gradient.setColorAt(0, QColor(31, 78, 121));
    gradient.setColorAt(1, QColor(46, 139, 139));
    p.fillRect(pixmap.rect(), gradient);

    const QRectF sheet(25, 150, 100, 110);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(sheet, 6, 6);
    for (int i = 1; i < 5; ++i)
        p.drawLine(QPointF(sheet.left(), sheet.top() + i * 22), QPointF(sheet.right(), sheet.top() + i * 22));
    p.drawLine(QPointF(sheet.left() + 35, sheet.top()), QPointF(sheet.left() + 35, sheet.bottom()));

    QPainterPath arrow;
    arrow.moveTo(75, 70);
    arrow.lineTo(75, 118);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arrow);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({ QPointF(58, 112), QPointF(92, 112), QPointF(75, 136) }));
    return pixmap;
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit *lineEdit(const QString &name, QWidget *parent, int maxWidth = 0)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxWidth > 0)
        edit->setMaximumWidth(maxWidth);
    return edit;
}

QCheckBox *checkBox(int messageId, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(LoadMessage(messageId), parent);
    box->setObjectName(name);
    return box;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QStringList nonEmptyLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

} // namespace

// ---------------------------------------------------------------------------
// Key column lists
// ---------------------------------------------------------------------------

TColumnList::TColumnList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
}

QStringList TColumnList::Columns() const
{
    QStringList columns;
    for (int i = 0; i < count(); ++i)
        if (!item(i)->text().isEmpty())
            columns << item(i)->text();
    return columns;
}

bool TColumnList::accepts(const QDropEvent *event) const
{
    return event->source() == this || (m_partner && event->source() == m_partner);
}

void TColumnList::dragEnterEvent(QDragEnterEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragEnterEvent(event);
}

void TColumnList::dragMoveEvent(QDragMoveEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    QListWidget::dragMoveEvent(event);
}

void TColumnList::dropEvent(QDropEvent *event)
{
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    // Columns move, never copy: the other list gives up what this one takes.
    event->setDropAction(Qt::MoveAction);
    QListWidget::dropEvent(event);
}

// ---------------------------------------------------------------------------
// Opening
// ---------------------------------------------------------------------------

TDataImportWizardF::TDataImportWizardF(TDataImportWizard &component, QWidget *parent)
    : QDialog(parent)
    , m_component(component)
{
    setObjectName(QStringLiteral("DataImportWizardF"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    createSources();
    component.ApplyDestination(*m_impASCII);
    m_settings = component.InitialSettings(DestinationColumns(*m_impASCII));
    m_componentSettings = m_settings;
    m_templateFileName = component.TemplateFileName;

    m_content = new QWidget(this);
    m_steps = new QStackedWidget(m_content);
    m_steps->setObjectName(QStringLiteral("pcSteps"));
    m_steps->addWidget(buildSourceStep());
    m_steps->addWidget(buildMapStep());
    m_steps->addWidget(buildFormatsStep());
    m_steps->addWidget(buildLastStep());

    m_help = button(LoadMessage(ImportMsg::HelpButton), QStringLiteral("bHelp"), m_content);
    m_back = button(LoadMessage(ImportMsg::BackButton), QStringLiteral("bBack"), m_content);
    m_next = button(LoadMessage(ImportMsg::NextButton), QStringLiteral("bNext"), m_content);
    m_execute = button(LoadMessage(ImportMsg::ExecuteButton), QStringLiteral("bOk"), m_content);
    m_cancel = button(LoadMessage(ImportMsg::CancelButton), QStringLiteral("bCancel"), m_content);
    const QString helpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/DataImportWizard.html");
    m_help->setVisible(component.ShowHelpButton);
    m_help->setEnabled(QFileInfo(helpFile).isFile());
    connect(m_help, &QPushButton::clicked, this, [helpFile] { QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)); });
    connect(m_back, &QPushButton::clicked, this, &TDataImportWizardF::GoBack);
    connect(m_next, &QPushButton::clicked, this, &TDataImportWizardF::GoNext);
    connect(m_execute, &QPushButton::clicked, this, &TDataImportWizardF::ExecuteImport);
    connect(m_cancel, &QPushButton::clicked, this, &TDataImportWizardF::reject);
    m_loadTemplate->setVisible(component.ShowSaveLoadButtons);
    m_saveTemplate->setVisible(component.ShowSaveLoadButtons);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_help);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(m_execute);
    buttons->addWidget(m_cancel);

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

    for (int k = 0; k < ImportKindCount; ++k)
        m_kinds[k]->setEnabled(component.AllowedImports.Contains(TAllowedImport(k)));
    showSettings();
    setStep(0);

    if (component.AutoLoadTemplate) {
        if (component.OnLoadTemplate)
            component.OnLoadTemplate(&component, component.TemplateFileName);
        try {
            Load(component.TemplateFileName);
        } catch (const std::exception &e) {
            showError(e);
        }
    }
    if (!component.Picture.isNull())
        m_picture->setPixmap(component.Picture);
    updateCaption();
    resize(1000, 680); // room for a worksheet and its field and range lists
}

TDataImportWizardF::~TDataImportWizardF()
{
    delete m_progress.data();
    // The pages edit m_settings: they go before it does, and what their
    // going away signals changes nothing.
    m_showing = true;
    delete m_content;
}

void TDataImportWizardF::createSources()
{
    m_impXLS = CreateImportSource(aiXLS);
    m_impDBF = CreateImportSource(aiDBF);
    m_impXML = CreateImportSource(aiXML);
    m_impASCII = CreateImportSource(aiCSV);
    for (TDataImport *source : { m_impXLS.get(), m_impDBF.get(), m_impXML.get(), m_impASCII.get() })
        routeEvents(*source);
}

TDataImportProgress *TDataImportWizardF::Progress() const
{
    return m_progress.data();
}

TDataImport *TDataImportWizardF::Source(TAllowedImport kind) const
{
    switch (kind) {
    case aiXLS:
        return m_impXLS.get();
    case aiDBF:
        return m_impDBF.get();
    case aiXML:
        return m_impXML.get();
    case aiTXT:
    case aiCSV:
        return m_impASCII.get();
    }
    return nullptr;
}

void TDataImportWizardF::routeEvents(TDataImport &source)
{
    // The progress dialog hears of each event first, then the owner, with
    // the component as Sender (the window for commits).
    TDataImportWizard &c = m_component;
    source.OnBeforeImport = [this, &c](TDataImport *s) {
        if (m_progress)
            m_progress->BeforeImport(s->TotalRecords());
        if (c.OnBeforeImport)
            c.OnBeforeImport(&c);
    };
    source.OnAfterImport = [this, &c](TDataImport *s) {
        if (m_progress)
            m_progress->AfterImport(s->Canceled());
        if (c.OnAfterImport)
            c.OnAfterImport(&c);
    };
    source.OnImportRecord = [this, &c](TDataImport *s) {
        if (m_progress)
            m_progress->ImportRecord(s->RecordState());
        if (c.OnImportRecord)
            c.OnImportRecord(&c);
    };
    source.OnImportError = [this, &c](TDataImport *) {
        if (m_progress)
            m_progress->ImportError();
        if (c.OnImportError)
            c.OnImportError(&c);
    };
    source.OnImportErrorAdv = [this, &c](TDataImport *) {
        if (m_progress)
            m_progress->ImportErrorAdv();
        if (c.OnImportErrorAdv)
            c.OnImportErrorAdv(&c);
    };
    source.OnNeedCommit = [this, &c](TDataImport *) {
        if (m_progress)
            m_progress->NeedCommit();
        if (c.OnNeedCommit)
            c.OnNeedCommit(this);
    };
    source.OnImportCancel = [this, &c](TDataImport *, bool &goOn) {
        if (m_progress)
            goOn = m_progress->AskContinue();
        if (c.OnImportCancel)
            c.OnImportCancel(&c, goOn);
        if (m_progress)
            m_progress->CancelAnswered(goOn);
    };
    source.OnBeforePost = [&c](TDataImport *s, TDataImportRow *row, bool &accept) {
        if (c.OnBeforePost)
            c.OnBeforePost(s, row, accept);
    };
    source.OnDestinationLocate
        = [&c](TDataImport *s, const QStringList &keyColumns, TDataImportRow *row, QString &keyFields, QVariant &keyValues) {
              if (c.OnDestinationLocate)
                  c.OnDestinationLocate(s, keyColumns, row, keyFields, keyValues);
          };
    // Once per row: the progress dialog's Cancel must be able to get through.
    source.OnYield = [](TDataImport *) { QCoreApplication::processEvents(); };
}

// ---------------------------------------------------------------------------
// Building the steps
// ---------------------------------------------------------------------------

QWidget *TDataImportWizardF::stepHeader(int step)
{
    auto *label = new QLabel(FormatMessage(ImportMsg::StepOfSteps, { QString::number(step), QStringLiteral("3") }));
    label->setObjectName(QStringLiteral("laStep%1").arg(step));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QWidget *TDataImportWizardF::buildSourceStep()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tshSource"));

    m_picture = new QLabel(page);
    m_picture->setObjectName(QStringLiteral("imgPicture"));
    m_picture->setPixmap(defaultPicture());
    m_picture->setAlignment(Qt::AlignTop);

    auto *title = new QLabel(LoadMessage(ImportMsg::WizardCaption), page);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);

    auto *kinds = new QGroupBox(LoadMessage(ImportMsg::ImportFrom), page);
    kinds->setObjectName(QStringLiteral("gbImportFrom"));
    auto *group = new QButtonGroup(page);
    auto *kindsLayout = new QVBoxLayout(kinds);
    const int kindTexts[ImportKindCount]
        = { ImportMsg::KindSpreadsheet, ImportMsg::KindDBF, ImportMsg::KindXML, ImportMsg::KindText, ImportMsg::KindCSV };
    const char *kindNames[ImportKindCount] = { "rbXLS", "rbDBF", "rbXML", "rbTXT", "rbCSV" };
    for (int k = 0; k < ImportKindCount; ++k) {
        m_kinds[k] = new QRadioButton(LoadMessage(kindTexts[k]), kinds);
        m_kinds[k]->setObjectName(QLatin1String(kindNames[k]));
        group->addButton(m_kinds[k], k);
        kindsLayout->addWidget(m_kinds[k]);
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            chooseKind(TAllowedImport(id));
    });

    m_comma = new QComboBox(page);
    m_comma->setObjectName(QStringLiteral("cbComma"));
    m_comma->setEditable(true);
    m_comma->addItems({ QStringLiteral(";"), QStringLiteral(","), QStringLiteral("TAB"), QStringLiteral("SPACE") });
    m_comma->setInsertPolicy(QComboBox::NoInsert);
    m_quote = new QComboBox(page);
    m_quote->setObjectName(QStringLiteral("cbQuote"));
    m_quote->setEditable(true);
    m_quote->addItems({ QStringLiteral("\""), QStringLiteral("'") });
    m_quote->setInsertPolicy(QComboBox::NoInsert);
    connect(m_comma->lineEdit(), &QLineEdit::editingFinished, this, &TDataImportWizardF::applyDelimiter);
    connect(m_comma, &QComboBox::textActivated, this, &TDataImportWizardF::applyDelimiter);
    connect(m_quote->lineEdit(), &QLineEdit::editingFinished, this, &TDataImportWizardF::applyQuote);
    connect(m_quote, &QComboBox::textActivated, this, &TDataImportWizardF::applyQuote);
    auto *text = new QFormLayout;
    text->addRow(buddyLabel(LoadMessage(ImportMsg::Comma), m_comma, page), m_comma);
    text->addRow(buddyLabel(LoadMessage(ImportMsg::Quote), m_quote, page), m_quote);
    auto *textBox = new QVBoxLayout;
    textBox->addLayout(text);
    textBox->addStretch();

    m_fileName = lineEdit(QStringLiteral("edFileName"), page);
    m_browse = button(QStringLiteral("..."), QStringLiteral("bBrowse"), page);
    m_browse->setMaximumWidth(32);
    connect(m_fileName, &QLineEdit::textChanged, this, &TDataImportWizardF::fileNameEdited);
    connect(m_browse, &QPushButton::clicked, this, &TDataImportWizardF::browseFile);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileName);
    fileRow->addWidget(m_browse);

    auto *templates = new QGroupBox(LoadMessage(ImportMsg::TemplateOptions), page);
    templates->setObjectName(QStringLiteral("gbTemplateOptions"));
    m_goToLastPage = checkBox(ImportMsg::GoToLastPage, QStringLiteral("chGoToLastPage"), templates);
    m_autoSaveTemplate = checkBox(ImportMsg::AutoSaveTemplate, QStringLiteral("chAutoSaveTemplate"), templates);
    m_loadTemplate = button(LoadMessage(ImportMsg::LoadTemplate), QStringLiteral("bLoadTemplate"), templates);
    m_templateName = new QLabel(templates);
    m_templateName->setObjectName(QStringLiteral("laTemplateFileName"));
    m_templateName->setMinimumWidth(50);
    m_templateName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(m_goToLastPage, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.GoToLastPage = on;
    });
    connect(m_autoSaveTemplate, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.AutoSaveTemplate = on;
    });
    connect(m_loadTemplate, &QPushButton::clicked, this, &TDataImportWizardF::loadTemplateClicked);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(m_loadTemplate);
    templateRow->addWidget(m_templateName, 1);
    auto *templateLayout = new QVBoxLayout(templates);
    templateLayout->addWidget(m_goToLastPage);
    templateLayout->addWidget(m_autoSaveTemplate);
    templateLayout->addLayout(templateRow);

    auto *top = new QHBoxLayout;
    top->addWidget(kinds);
    top->addSpacing(16);
    top->addLayout(textBox);
    top->addStretch();

    auto *right = new QVBoxLayout;
    right->addWidget(title);
    right->addSpacing(8);
    right->addLayout(top);
    right->addSpacing(8);
    right->addWidget(buddyLabel(LoadMessage(ImportMsg::SourceFileName), m_fileName, page));
    right->addLayout(fileRow);
    right->addSpacing(8);
    right->addWidget(templates);
    right->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(m_picture);
    layout->addSpacing(8);
    layout->addLayout(right, 1);
    return page;
}

QWidget *TDataImportWizardF::buildMapStep()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tshMap"));
    m_pageStack = new QStackedWidget(page);
    for (int k = 0; k < ImportKindCount; ++k) {
        m_pages[k] = CreateWizardPage(TAllowedImport(k), m_settings, m_component, m_pageStack);
        m_pageStack->addWidget(m_pages[k]);
        connect(m_pages[k], &TDataImportWizardPage::MapChanged, this, &TDataImportWizardF::updateButtons);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(stepHeader(1));
    layout->addWidget(m_pageStack, 1);
    return page;
}

QWidget *TDataImportWizardF::buildFormatsStep()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tshFormats"));
    auto *tabs = new QTabWidget(page);
    tabs->setObjectName(QStringLiteral("pcFormats"));

    // Base formats
    auto *base = new QWidget;
    base->setObjectName(QStringLiteral("tshBaseFormats"));
    auto *dates = new QGroupBox(LoadMessage(ImportMsg::DateTimeFormats), base);
    m_shortDate = lineEdit(QStringLiteral("edShortDateFormat"), dates);
    m_longDate = lineEdit(QStringLiteral("edLongDateFormat"), dates);
    m_shortTime = lineEdit(QStringLiteral("edShortTimeFormat"), dates);
    m_longTime = lineEdit(QStringLiteral("edLongTimeFormat"), dates);
    auto *datesLayout = new QFormLayout(dates);
    datesLayout->addRow(buddyLabel(LoadMessage(ImportMsg::ShortDate), m_shortDate, dates), m_shortDate);
    datesLayout->addRow(buddyLabel(LoadMessage(ImportMsg::LongDate), m_longDate, dates), m_longDate);
    datesLayout->addRow(buddyLabel(LoadMessage(ImportMsg::ShortTime), m_shortTime, dates), m_shortTime);
    datesLayout->addRow(buddyLabel(LoadMessage(ImportMsg::LongTime), m_longTime, dates), m_longTime);
    connect(m_shortDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.ShortDateFormat = t; });
    connect(m_longDate, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.LongDateFormat = t; });
    connect(m_shortTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.ShortTimeFormat = t; });
    connect(m_longTime, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.Formats.LongTimeFormat = t; });

    auto *separators = new QGroupBox(LoadMessage(ImportMsg::Separators), base);
    m_decimal = lineEdit(QStringLiteral("edDecimalSeparator"), separators, 70);
    m_thousand = lineEdit(QStringLiteral("edThousandSeparator"), separators, 70);
    m_dateSeparator = lineEdit(QStringLiteral("edDateSeparator"), separators, 70);
    m_timeSeparator = lineEdit(QStringLiteral("edTimeSeparator"), separators, 70);
    auto *sepLayout = new QFormLayout(separators);
    sepLayout->addRow(buddyLabel(LoadMessage(ImportMsg::DecimalSeparator), m_decimal, separators), m_decimal);
    sepLayout->addRow(buddyLabel(LoadMessage(ImportMsg::ThousandSeparator), m_thousand, separators), m_thousand);
    sepLayout->addRow(buddyLabel(LoadMessage(ImportMsg::DateSeparator), m_dateSeparator, separators), m_dateSeparator);
    sepLayout->addRow(buddyLabel(LoadMessage(ImportMsg::TimeSeparator), m_timeSeparator, separators), m_timeSeparator);
    connect(m_decimal, &QLineEdit::editingFinished, this, [this] { applySeparator(m_decimal, m_settings.Formats.DecimalSeparator); });
    connect(m_thousand, &QLineEdit::editingFinished, this, [this] { applySeparator(m_thousand, m_settings.Formats.ThousandSeparator); });
    connect(
        m_dateSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_dateSeparator, m_settings.Formats.DateSeparator); });
    connect(
        m_timeSeparator, &QLineEdit::editingFinished, this, [this] { applySeparator(m_timeSeparator, m_settings.Formats.TimeSeparator); });

    auto memo = [base](const QString &name) {
        auto *edit = new QPlainTextEdit(base);
        edit->setObjectName(name);
        edit->setTabChangesFocus(true);
        return edit;
    };
    m_booleanTrue = memo(QStringLiteral("mmBooleanTrue"));
    m_booleanFalse = memo(QStringLiteral("mmBooleanFalse"));
    m_nullValues = memo(QStringLiteral("mmNullValues"));
    connect(m_booleanTrue, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.Formats.BooleanTrue = nonEmptyLines(m_booleanTrue->toPlainText());
    });
    connect(m_booleanFalse, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.Formats.BooleanFalse = nonEmptyLines(m_booleanFalse->toPlainText());
    });
    connect(m_nullValues, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_settings.Formats.NullValues = nonEmptyLines(m_nullValues->toPlainText());
    });
    auto *lists = new QGridLayout;
    lists->addWidget(buddyLabel(LoadMessage(ImportMsg::BooleanTrue), m_booleanTrue, base), 0, 0);
    lists->addWidget(buddyLabel(LoadMessage(ImportMsg::BooleanFalse), m_booleanFalse, base), 0, 1);
    lists->addWidget(buddyLabel(LoadMessage(ImportMsg::NullValues), m_nullValues, base), 0, 2);
    lists->addWidget(m_booleanTrue, 1, 0);
    lists->addWidget(m_booleanFalse, 1, 1);
    lists->addWidget(m_nullValues, 1, 2);

    auto *baseTop = new QHBoxLayout;
    baseTop->addWidget(dates, 3);
    baseTop->addWidget(separators, 2);
    auto *baseLayout = new QVBoxLayout(base);
    baseLayout->addLayout(baseTop);
    baseLayout->addLayout(lists, 1);
    tabs->addTab(base, LoadMessage(ImportMsg::BaseFormats));

    // Data formats
    auto *data = new QWidget;
    data->setObjectName(QStringLiteral("tshDataFormats"));
    m_fields = new QListWidget(data);
    m_fields->setObjectName(QStringLiteral("lstFields"));
    m_fields->addItems(m_settings.Columns());
    m_fields->setMaximumWidth(220);
    connect(m_fields, &QListWidget::currentRowChanged, this, [this] { showFieldFormat(); });

    auto *formatTabs = new QTabWidget(data);
    formatTabs->setObjectName(QStringLiteral("pcFieldFormat"));
    auto *tuning = new QWidget;
    tuning->setObjectName(QStringLiteral("tshTuning"));
    auto *integer = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,18}")), this);
    m_generatorValue = lineEdit(QStringLiteral("edGeneratorValue"), tuning);
    m_generatorValue->setValidator(integer);
    m_generatorStep = lineEdit(QStringLiteral("edGeneratorStep"), tuning);
    m_generatorStep->setValidator(integer);
    m_constantValue = lineEdit(QStringLiteral("edConstantValue"), tuning);
    m_nullValue = lineEdit(QStringLiteral("edNullValue"), tuning);
    m_defaultValue = lineEdit(QStringLiteral("edDefaultValue"), tuning);
    m_leftQuote = lineEdit(QStringLiteral("edLeftQuote"), tuning);
    m_rightQuote = lineEdit(QStringLiteral("edRightQuote"), tuning);
    auto combo = [tuning](const QString &name, std::initializer_list<int> ids) {
        auto *box = new QComboBox(tuning);
        box->setObjectName(name);
        for (int id : ids)
            box->addItem(LoadMessage(id));
        return box;
    };
    m_quoteAction
        = combo(QStringLiteral("cbQuoteAction"), { ImportMsg::QuoteActionNone, ImportMsg::QuoteActionAdd, ImportMsg::QuoteActionRemove });
    m_charCase = combo(QStringLiteral("cbCharCase"),
        { ImportMsg::CharCaseAsIs, ImportMsg::CharCaseUpper, ImportMsg::CharCaseLower, ImportMsg::CharCaseUpperFirst,
            ImportMsg::CharCaseUpperFirstWord });
    m_charSet = combo(QStringLiteral("cbCharSet"), { ImportMsg::CharSetAsIs, ImportMsg::CharSetAnsi, ImportMsg::CharSetOem });
    auto *tuningLayout = new QFormLayout(tuning);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::GeneratorValue), m_generatorValue, tuning), m_generatorValue);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::GeneratorStep), m_generatorStep, tuning), m_generatorStep);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::ConstantValue), m_constantValue, tuning), m_constantValue);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::NullValue), m_nullValue, tuning), m_nullValue);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::DefaultValue), m_defaultValue, tuning), m_defaultValue);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::LeftQuote), m_leftQuote, tuning), m_leftQuote);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::RightQuote), m_rightQuote, tuning), m_rightQuote);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::QuoteAction), m_quoteAction, tuning), m_quoteAction);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::CharCase), m_charCase, tuning), m_charCase);
    tuningLayout->addRow(buddyLabel(LoadMessage(ImportMsg::CharSet), m_charSet, tuning), m_charSet);
    for (QLineEdit *edit : { m_generatorValue, m_generatorStep, m_constantValue, m_nullValue, m_defaultValue, m_leftQuote, m_rightQuote })
        connect(edit, &QLineEdit::textChanged, this, &TDataImportWizardF::storeFieldFormat);
    for (QComboBox *box : { m_quoteAction, m_charCase, m_charSet })
        connect(box, &QComboBox::currentIndexChanged, this, &TDataImportWizardF::storeFieldFormat);
    formatTabs->addTab(tuning, LoadMessage(ImportMsg::Tuning));

    auto *replacements = new QWidget;
    replacements->setObjectName(QStringLiteral("tshReplacements"));
    m_replacements = new QTreeWidget(replacements);
    m_replacements->setObjectName(QStringLiteral("lvReplacements"));
    m_replacements->setRootIsDecorated(false);
    m_replacements->setHeaderLabels(
        { LoadMessage(ImportMsg::ColumnTextToFind), LoadMessage(ImportMsg::ColumnReplaceWith), LoadMessage(ImportMsg::ColumnIgnoreCase) });
    m_replacements->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_addReplacement = button(LoadMessage(ImportMsg::AddReplacement), QStringLiteral("bAddReplacement"), replacements);
    m_editReplacement = button(LoadMessage(ImportMsg::EditReplacement), QStringLiteral("bEditReplacement"), replacements);
    m_delReplacement = button(LoadMessage(ImportMsg::DelReplacement), QStringLiteral("bDelReplacement"), replacements);
    connect(m_addReplacement, &QPushButton::clicked, this, &TDataImportWizardF::addReplacement);
    connect(m_editReplacement, &QPushButton::clicked, this, &TDataImportWizardF::editReplacement);
    connect(m_delReplacement, &QPushButton::clicked, this, &TDataImportWizardF::deleteReplacement);
    connect(m_replacements, &QTreeWidget::itemDoubleClicked, this, &TDataImportWizardF::editReplacement);
    connect(m_replacements, &QTreeWidget::currentItemChanged, this, &TDataImportWizardF::updateFieldFormatEnabling);
    auto *replacementButtons = new QHBoxLayout;
    replacementButtons->addWidget(m_addReplacement);
    replacementButtons->addWidget(m_editReplacement);
    replacementButtons->addWidget(m_delReplacement);
    replacementButtons->addStretch();
    auto *replacementsLayout = new QVBoxLayout(replacements);
    replacementsLayout->addWidget(m_replacements, 1);
    replacementsLayout->addLayout(replacementButtons);
    formatTabs->addTab(replacements, LoadMessage(ImportMsg::Replacements));

    auto *fieldsBox = new QVBoxLayout;
    fieldsBox->addWidget(buddyLabel(LoadMessage(ImportMsg::FormatFields), m_fields, data));
    fieldsBox->addWidget(m_fields, 1);
    auto *dataLayout = new QHBoxLayout(data);
    dataLayout->addLayout(fieldsBox);
    dataLayout->addWidget(formatTabs, 1);
    tabs->addTab(data, LoadMessage(ImportMsg::DataFormats));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(stepHeader(2));
    layout->addWidget(tabs, 1);
    return page;
}

QWidget *TDataImportWizardF::buildLastStep()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tshLastStep"));
    auto *tabs = new QTabWidget(page);
    tabs->setObjectName(QStringLiteral("pcLastStep"));

    // Commit options
    auto *commitTab = new QWidget;
    commitTab->setObjectName(QStringLiteral("tshCommit"));
    auto countRow = [commitTab](QWidget *box, int labelId, QLineEdit *edit) {
        auto *row = new QHBoxLayout;
        row->addWidget(buddyLabel(LoadMessage(labelId), edit, box));
        row->addWidget(edit);
        row->addWidget(new QLabel(LoadMessage(ImportMsg::Records), box));
        row->addStretch();
        Q_UNUSED(commitTab);
        return row;
    };
    auto *commit = new QGroupBox(LoadMessage(ImportMsg::CommitGroup), commitTab);
    m_commitAfterDone = checkBox(ImportMsg::CommitWhenDone, QStringLiteral("chCommitAfterDone"), commit);
    m_commitRecCount = lineEdit(QStringLiteral("edCommitRecCount"), commit, 80);
    auto *commitLayout = new QVBoxLayout(commit);
    commitLayout->addWidget(m_commitAfterDone);
    commitLayout->addLayout(countRow(commit, ImportMsg::CommitAfterEach, m_commitRecCount));
    connect(m_commitAfterDone, &QCheckBox::toggled, this, [this](bool on) {
        m_commitRecCount->setEnabled(!on);
        if (!m_showing)
            m_settings.CommitAfterDone = on;
    });
    connect(m_commitRecCount, &QLineEdit::editingFinished, this, &TDataImportWizardF::applyCommitRecCount);

    auto *records = new QGroupBox(LoadMessage(ImportMsg::RecordCountGroup), commitTab);
    m_importAllRecords = checkBox(ImportMsg::ImportAllRecords, QStringLiteral("chImportAllRecords"), records);
    m_importRecCount = lineEdit(QStringLiteral("edImportRecCount"), records, 80);
    auto *recordsLayout = new QVBoxLayout(records);
    recordsLayout->addWidget(m_importAllRecords);
    recordsLayout->addLayout(countRow(records, ImportMsg::ImportOnlyFirst, m_importRecCount));
    connect(m_importAllRecords, &QCheckBox::toggled, this, [this](bool on) {
        m_importRecCount->setEnabled(!on);
        if (!m_showing)
            m_settings.ImportAllRecords = on;
    });
    connect(m_importRecCount, &QLineEdit::editingFinished, this, &TDataImportWizardF::applyImportRecCount);

    m_closeAfterImport = checkBox(ImportMsg::CloseAfterImport, QStringLiteral("chCloseAfterImport"), commitTab);
    connect(m_closeAfterImport, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.CloseAfterImport = on;
    });

    auto *log = new QGroupBox(LoadMessage(ImportMsg::ErrorLogGroup), commitTab);
    m_enableErrorLog = checkBox(ImportMsg::EnableErrorLog, QStringLiteral("chEnableErrorLog"), log);
    m_errorLogFileName = lineEdit(QStringLiteral("edErrorLogFileName"), log);
    m_browseErrorLog = button(QStringLiteral("..."), QStringLiteral("bErrorLogFileName"), log);
    m_browseErrorLog->setMaximumWidth(32);
    m_rewriteErrorLog = checkBox(ImportMsg::RewriteErrorLogFile, QStringLiteral("chRewriteErrorLogFile"), log);
    m_showErrorLog = checkBox(ImportMsg::ShowErrorLog, QStringLiteral("chShowErrorLog"), log);
    auto *logName = new QHBoxLayout;
    logName->addWidget(buddyLabel(LoadMessage(ImportMsg::ErrorLogFileName), m_errorLogFileName, log));
    logName->addWidget(m_errorLogFileName, 1);
    logName->addWidget(m_browseErrorLog);
    auto *logLayout = new QVBoxLayout(log);
    logLayout->addWidget(m_enableErrorLog);
    logLayout->addLayout(logName);
    logLayout->addWidget(m_rewriteErrorLog);
    logLayout->addWidget(m_showErrorLog);
    connect(m_enableErrorLog, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget *w : std::initializer_list<QWidget *> { m_errorLogFileName, m_browseErrorLog, m_rewriteErrorLog, m_showErrorLog })
            w->setEnabled(on);
        if (!m_showing)
            m_settings.ErrorLog = on;
    });
    connect(m_errorLogFileName, &QLineEdit::textEdited, this, [this](const QString &t) { m_settings.ErrorLogFileName = t; });
    connect(m_rewriteErrorLog, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.RewriteErrorLogFile = on;
    });
    connect(m_showErrorLog, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.ShowErrorLog = on;
    });
    connect(m_browseErrorLog, &QPushButton::clicked, this, [this] {
        const QFileInfo current(m_settings.ErrorLogFileName);
        const QString dir = m_settings.ErrorLogFileName.contains(QLatin1Char('/')) && current.dir().exists() ? current.absolutePath()
                                                                                                             : QDir::currentPath();
        const QString name = QFileDialog::getSaveFileName(this, LoadMessage(ImportMsg::ErrorLogFileName),
            dir + QLatin1Char('/') + current.fileName(), QStringLiteral("Log files (*.log);;All files (*)"));
        if (name.isEmpty())
            return;
        m_errorLogFileName->setText(name);
        m_settings.ErrorLogFileName = name;
    });

    m_saveTemplate = button(LoadMessage(ImportMsg::SaveTemplate), QStringLiteral("bSaveTemplate"), commitTab);
    connect(m_saveTemplate, &QPushButton::clicked, this, &TDataImportWizardF::saveTemplateClicked);

    auto *commitLeft = new QVBoxLayout;
    commitLeft->addWidget(commit);
    commitLeft->addWidget(records);
    commitLeft->addWidget(m_closeAfterImport);
    commitLeft->addStretch();
    auto *commitRight = new QVBoxLayout;
    commitRight->addWidget(log);
    commitRight->addStretch();
    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(m_saveTemplate);
    saveRow->addStretch();
    commitRight->addLayout(saveRow);
    auto *commitLayoutAll = new QHBoxLayout(commitTab);
    commitLayoutAll->addLayout(commitLeft, 2);
    commitLayoutAll->addLayout(commitRight, 3);
    tabs->addTab(commitTab, LoadMessage(ImportMsg::CommitOptions));

    // Advanced
    auto *advanced = new QWidget;
    advanced->setObjectName(QStringLiteral("tshAdvanced"));
    auto *modes = new QGroupBox(LoadMessage(ImportMsg::ImportModeGroup), advanced);
    modes->setObjectName(QStringLiteral("rgImportMode"));
    auto *modeGroup = new QButtonGroup(advanced);
    auto *modesLayout = new QGridLayout(modes);
    const char *modeNames[6] = { "rbInsertAll", "rbInsertNew", "rbUpdate", "rbUpdateOrInsert", "rbDelete", "rbDeleteOrInsert" };
    const int modeTexts[6] = { ImportMsg::ModeInsertAll, ImportMsg::ModeInsertNew, ImportMsg::ModeUpdate, ImportMsg::ModeUpdateOrInsert,
        ImportMsg::ModeDelete, ImportMsg::ModeDeleteOrInsert };
    for (int i = 0; i < 6; ++i) {
        m_modes[i] = new QRadioButton(LoadMessage(modeTexts[i]), modes);
        m_modes[i]->setObjectName(QLatin1String(modeNames[i]));
        modeGroup->addButton(m_modes[i], i);
        modesLayout->addWidget(m_modes[i], i % 3, i / 3);
    }
    connect(modeGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            m_settings.ImportMode = TImportMode(id);
    });
    auto *addType = new QGroupBox(LoadMessage(ImportMsg::AddTypeGroup), advanced);
    addType->setObjectName(QStringLiteral("rgAddType"));
    m_append = new QRadioButton(LoadMessage(ImportMsg::AddTypeAppend), addType);
    m_append->setObjectName(QStringLiteral("rbAppend"));
    m_insert = new QRadioButton(LoadMessage(ImportMsg::AddTypeInsert), addType);
    m_insert->setObjectName(QStringLiteral("rbInsert"));
    auto *addTypeLayout = new QVBoxLayout(addType);
    addTypeLayout->addWidget(m_append);
    addTypeLayout->addWidget(m_insert);
    connect(m_append, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_showing)
            m_settings.AddType = on ? qatAppend : qatInsert;
    });

    m_available = new TColumnList(advanced);
    m_available->setObjectName(QStringLiteral("lstAvailableColumns"));
    m_keys = new TColumnList(advanced);
    m_keys->setObjectName(QStringLiteral("lstKeyColumns"));
    m_available->SetPartner(m_keys);
    m_keys->SetPartner(m_available);
    auto *allToKeys = button(QStringLiteral(">>"), QStringLiteral("bAllToKeys"), advanced);
    auto *toKeys = button(QStringLiteral(">"), QStringLiteral("bSelectedToKeys"), advanced);
    auto *toAvailable = button(QStringLiteral("<"), QStringLiteral("bSelectedToAvailable"), advanced);
    auto *allToAvailable = button(QStringLiteral("<<"), QStringLiteral("bAllToAvailable"), advanced);
    connect(allToKeys, &QPushButton::clicked, this, [this] { moveColumns(m_available, m_keys, true); });
    connect(toKeys, &QPushButton::clicked, this, [this] { moveColumns(m_available, m_keys, false); });
    connect(toAvailable, &QPushButton::clicked, this, [this] { moveColumns(m_keys, m_available, false); });
    connect(allToAvailable, &QPushButton::clicked, this, [this] { moveColumns(m_keys, m_available, true); });
    connect(m_available, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_available->clearSelection();
        item->setSelected(true);
        m_keys->clearSelection();
        moveColumns(m_available, m_keys, false);
    });
    connect(m_keys, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_keys->clearSelection();
        item->setSelected(true);
        m_available->clearSelection();
        moveColumns(m_keys, m_available, false);
    });
    QAbstractItemModel *keyModel = m_keys->model();
    connect(keyModel, &QAbstractItemModel::rowsInserted, this, &TDataImportWizardF::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::rowsRemoved, this, &TDataImportWizardF::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::rowsMoved, this, &TDataImportWizardF::storeKeyColumns);
    connect(keyModel, &QAbstractItemModel::dataChanged, this, &TDataImportWizardF::storeKeyColumns);

    auto *moveButtons = new QVBoxLayout;
    moveButtons->addStretch();
    for (QPushButton *b : { allToKeys, toKeys, toAvailable, allToAvailable }) {
        b->setMaximumWidth(40);
        moveButtons->addWidget(b);
    }
    moveButtons->addStretch();
    auto *availableBox = new QVBoxLayout;
    availableBox->addWidget(buddyLabel(LoadMessage(ImportMsg::AvailableColumns), m_available, advanced));
    availableBox->addWidget(m_available);
    auto *keysBox = new QVBoxLayout;
    keysBox->addWidget(buddyLabel(LoadMessage(ImportMsg::KeyColumns), m_keys, advanced));
    keysBox->addWidget(m_keys);
    auto *columns = new QHBoxLayout;
    columns->addLayout(availableBox);
    columns->addLayout(moveButtons);
    columns->addLayout(keysBox);

    auto *advancedTop = new QHBoxLayout;
    advancedTop->addWidget(modes, 2);
    advancedTop->addWidget(addType, 1);
    auto *advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->addLayout(advancedTop);
    advancedLayout->addLayout(columns, 1);
    tabs->addTab(advanced, LoadMessage(ImportMsg::Advanced));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(stepHeader(3));
    layout->addWidget(tabs, 1);
    return page;
}

// ---------------------------------------------------------------------------
// Settings and controls
// ---------------------------------------------------------------------------

void TDataImportWizardF::showSettings()
{
    m_showing = true;
    const TDataImportWizardSettings &s = m_settings;
    m_kinds[s.ImportType]->setChecked(true);
    m_comma->setEnabled(s.ImportType == aiCSV);
    m_quote->setEnabled(s.ImportType == aiCSV);
    m_comma->setEditText(WizardCharText(s.Delimiter));
    m_quote->setEditText(WizardCharText(s.Quote));
    m_fileName->setText(s.FileName);
    m_goToLastPage->setChecked(s.GoToLastPage);
    m_autoSaveTemplate->setChecked(s.AutoSaveTemplate);
    m_pageStack->setCurrentWidget(m_pages[s.ImportType]);

    const TDataImportFormats &f = s.Formats;
    m_shortDate->setText(f.ShortDateFormat);
    m_longDate->setText(f.LongDateFormat);
    m_shortTime->setText(f.ShortTimeFormat);
    m_longTime->setText(f.LongTimeFormat);
    m_decimal->setText(WizardCharText(f.DecimalSeparator));
    m_thousand->setText(WizardCharText(f.ThousandSeparator));
    m_dateSeparator->setText(WizardCharText(f.DateSeparator));
    m_timeSeparator->setText(WizardCharText(f.TimeSeparator));
    m_booleanTrue->setPlainText(f.BooleanTrue.join(QLatin1Char('\n')));
    m_booleanFalse->setPlainText(f.BooleanFalse.join(QLatin1Char('\n')));
    m_nullValues->setPlainText(f.NullValues.join(QLatin1Char('\n')));

    m_commitAfterDone->setChecked(s.CommitAfterDone);
    m_commitRecCount->setText(QString::number(s.CommitRecCount));
    m_commitRecCount->setEnabled(!s.CommitAfterDone);
    m_importAllRecords->setChecked(s.ImportAllRecords);
    m_importRecCount->setText(QString::number(s.ImportRecCount));
    m_importRecCount->setEnabled(!s.ImportAllRecords);
    m_closeAfterImport->setChecked(s.CloseAfterImport);
    m_enableErrorLog->setChecked(s.ErrorLog);
    for (QWidget *w : std::initializer_list<QWidget *> { m_errorLogFileName, m_browseErrorLog, m_rewriteErrorLog, m_showErrorLog })
        w->setEnabled(s.ErrorLog);
    m_errorLogFileName->setText(s.ErrorLogFileName);
    m_rewriteErrorLog->setChecked(s.RewriteErrorLogFile);
    m_showErrorLog->setChecked(s.ShowErrorLog);
    m_modes[s.ImportMode]->setChecked(true);
    (s.AddType == qatAppend ? m_append : m_insert)->setChecked(true);
    m_keys->clear();
    m_keys->addItems(s.KeyColumns);
    m_available->clear();
    for (const QString &column : s.Columns())
        if (!s.KeyColumns.contains(column))
            m_available->addItem(column);
    m_showing = false;

    if (m_fields->currentRow() < 0 && m_fields->count() > 0)
        m_fields->setCurrentRow(0);
    showFieldFormat();
    showTemplateName();
    updateCaption();
    updateButtons();
}

void TDataImportWizardF::showFieldFormat()
{
    const QListWidgetItem *item = m_fields->currentItem();
    const TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    m_showing = true;
    m_generatorValue->setText(f ? QString::number(f->GeneratorValue) : QString());
    m_generatorStep->setText(f ? QString::number(f->GeneratorStep) : QString());
    m_constantValue->setText(f ? f->ConstantValue : QString());
    m_nullValue->setText(f ? f->NullValue : QString());
    m_defaultValue->setText(f ? f->DefaultValue : QString());
    m_leftQuote->setText(f ? f->LeftQuote : QString());
    m_rightQuote->setText(f ? f->RightQuote : QString());
    m_quoteAction->setCurrentIndex(f ? f->QuoteAction : 0);
    m_charCase->setCurrentIndex(f ? f->CharCase : 0);
    m_charSet->setCurrentIndex(f ? f->CharSet : 0);
    m_showing = false;
    showReplacements();
    updateFieldFormatEnabling();
}

void TDataImportWizardF::storeFieldFormat()
{
    if (m_showing)
        return;
    const QListWidgetItem *item = m_fields->currentItem();
    TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    if (!f)
        return;
    f->GeneratorValue = m_generatorValue->text().toLongLong();
    f->GeneratorStep = m_generatorStep->text().toLongLong();
    f->ConstantValue = m_constantValue->text();
    f->NullValue = m_nullValue->text();
    f->DefaultValue = m_defaultValue->text();
    f->LeftQuote = m_leftQuote->text();
    f->RightQuote = m_rightQuote->text();
    f->QuoteAction = TQuoteAction(m_quoteAction->currentIndex());
    f->CharCase = TImportCharCase(m_charCase->currentIndex());
    f->CharSet = TImportCharSet(m_charSet->currentIndex());
    updateFieldFormatEnabling();
}

void TDataImportWizardF::showReplacements()
{
    m_replacements->clear();
    const QListWidgetItem *item = m_fields->currentItem();
    const TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    if (!f)
        return;
    for (const TDataImportReplacement &r : f->Replacements)
        new QTreeWidgetItem(m_replacements, { r.TextToFind, r.ReplaceWith, LoadMessage(r.IgnoreCase ? ImportMsg::Yes : ImportMsg::No) });
}

void TDataImportWizardF::updateFieldFormatEnabling()
{
    const QListWidgetItem *item = m_fields->currentItem();
    const TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    const bool any = f != nullptr;
    const bool noGenerator = any && f->GeneratorStep == 0;
    // A counter excludes everything else, and a constant the null handling.
    const bool nothingElse = any && f->ConstantValue.isEmpty() && f->NullValue.isEmpty() && f->DefaultValue.isEmpty()
        && f->LeftQuote.isEmpty() && f->RightQuote.isEmpty() && f->QuoteAction == qaNone && f->CharCase == iccNone && f->CharSet == icsNone
        && f->Replacements.Count() == 0;
    m_generatorValue->setEnabled(nothingElse);
    m_generatorStep->setEnabled(nothingElse);
    m_constantValue->setEnabled(noGenerator && f->NullValue.isEmpty() && f->DefaultValue.isEmpty());
    m_nullValue->setEnabled(noGenerator && f->ConstantValue.isEmpty());
    m_defaultValue->setEnabled(noGenerator && f->ConstantValue.isEmpty());
    for (QWidget *w : std::initializer_list<QWidget *> { m_leftQuote, m_rightQuote, m_quoteAction, m_charCase, m_charSet })
        w->setEnabled(noGenerator);
    m_addReplacement->setEnabled(noGenerator);
    const bool selected = noGenerator && m_replacements->currentItem();
    m_editReplacement->setEnabled(selected);
    m_delReplacement->setEnabled(selected);
}

void TDataImportWizardF::applyPendingEdits()
{
    // An edit applies when it is left; an action started from the keyboard
    // or by a program may come first.
    if (m_comma->currentText() != WizardCharText(m_settings.Delimiter))
        applyDelimiter();
    if (m_quote->currentText() != WizardCharText(m_settings.Quote))
        applyQuote();
    TDataImportFormats &f = m_settings.Formats;
    applySeparator(m_decimal, f.DecimalSeparator);
    applySeparator(m_thousand, f.ThousandSeparator);
    applySeparator(m_dateSeparator, f.DateSeparator);
    applySeparator(m_timeSeparator, f.TimeSeparator);
    if (m_commitRecCount->text() != QString::number(m_settings.CommitRecCount))
        applyCommitRecCount();
    if (m_importRecCount->text() != QString::number(m_settings.ImportRecCount))
        applyImportRecCount();
}

void TDataImportWizardF::applyDelimiter()
{
    if (m_showing)
        return;
    const QString text = m_comma->currentText();
    const QChar c = text.isEmpty() ? DefaultTextDelimiter() : ApplyWizardCharText(text, m_settings.Delimiter);
    if (m_settings.SetDelimiter(c))
        m_pages[aiCSV]->SettingsChanged();
    m_comma->setEditText(WizardCharText(m_settings.Delimiter));
    updateButtons();
}

void TDataImportWizardF::applyQuote()
{
    if (m_showing)
        return;
    const QString text = m_quote->currentText();
    const QChar c = text.isEmpty() ? QChar(u'"') : ApplyWizardCharText(text, m_settings.Quote);
    if (m_settings.SetQuote(c))
        m_pages[aiCSV]->SettingsChanged();
    m_quote->setEditText(WizardCharText(m_settings.Quote));
    updateButtons();
}

void TDataImportWizardF::applySeparator(QLineEdit *edit, QChar &target)
{
    if (m_showing || edit->text() == WizardCharText(target))
        return;
    target = ApplyWizardCharText(edit->text(), target);
    edit->setText(WizardCharText(target));
}

void TDataImportWizardF::applyCommitRecCount()
{
    if (m_showing)
        return;
    int count = 0;
    // A commit every 0 rows would never commit: such a count is refused too.
    if (tryStrToInt(m_commitRecCount->text().trimmed(), count) && count > 0)
        m_settings.CommitRecCount = count;
    m_commitRecCount->setText(QString::number(m_settings.CommitRecCount));
}

void TDataImportWizardF::applyImportRecCount()
{
    if (m_showing)
        return;
    int count = 0;
    if (tryStrToInt(m_importRecCount->text().trimmed(), count) && count >= 0) {
        m_settings.ImportRecCount = count;
        if (count == 0)
            m_importAllRecords->setChecked(true);
    }
    m_importRecCount->setText(QString::number(m_settings.ImportRecCount));
}

void TDataImportWizardF::storeKeyColumns()
{
    if (!m_showing)
        m_settings.KeyColumns = m_keys->Columns();
}

void TDataImportWizardF::moveColumns(TColumnList *from, TColumnList *to, bool all)
{
    QList<int> rows;
    for (int i = 0; i < from->count(); ++i)
        if (all || from->item(i)->isSelected())
            rows << i;
    if (rows.isEmpty())
        return;
    // One column goes where the other list's selection is; several are appended.
    int at = -1;
    if (rows.size() == 1 && !to->selectedItems().isEmpty())
        at = to->row(to->selectedItems().constFirst());
    QStringList names;
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        names.prepend(from->takeItem(rows[i])->text());
    for (const QString &name : names) {
        if (at >= 0)
            to->insertItem(at++, name);
        else
            to->addItem(name);
    }
    storeKeyColumns();
}

// ---------------------------------------------------------------------------
// The first step
// ---------------------------------------------------------------------------

void TDataImportWizardF::chooseKind(TAllowedImport kind)
{
    if (!m_component.AllowedImports.Contains(kind)) {
        showError(DataImportError(ImportMsg::UnknownImportSource));
        m_showing = true;
        m_kinds[m_settings.ImportType]->setChecked(true);
        m_showing = false;
        return;
    }
    const QString before = m_settings.FileName;
    m_settings.SetImportType(kind, m_component.AutoChangeExtension);
    if (m_settings.FileName != before) {
        m_showing = true;
        m_fileName->setText(m_settings.FileName);
        m_showing = false;
    }
    m_comma->setEnabled(kind == aiCSV);
    m_quote->setEnabled(kind == aiCSV);
    m_pageStack->setCurrentWidget(m_pages[kind]);
    updateCaption();
    updateButtons();
}

void TDataImportWizardF::fileNameEdited(const QString &text)
{
    if (m_showing)
        return;
    if (m_settings.SetFileName(text) && m_settings.ImportType == aiXLS)
        m_pages[aiXLS]->SettingsChanged();
    updateCaption();
    updateButtons();
}

void TDataImportWizardF::browseFile()
{
    const QFileInfo current(m_settings.FileName);
    const QString dir = m_settings.FileName.isEmpty() ? QDir::currentPath() : current.absolutePath();
    const QString name = QFileDialog::getOpenFileName(
        this, LoadMessage(ImportMsg::SourceFileName), dir, dialogFilter(ImportKindFilter(m_settings.ImportType)));
    if (!name.isEmpty())
        m_fileName->setText(name);
}

void TDataImportWizardF::loadTemplateClicked()
{
    const QString dir = m_templateFileName.isEmpty() ? QDir::currentPath() : QFileInfo(m_templateFileName).absolutePath();
    const QString name = QFileDialog::getOpenFileName(this, LoadMessage(ImportMsg::LoadTemplate), dir, templateFilter());
    if (name.isEmpty())
        return;
    if (m_component.OnLoadTemplate)
        m_component.OnLoadTemplate(&m_component, name);
    try {
        Load(name);
    } catch (const std::exception &e) {
        showError(e);
    }
}

void TDataImportWizardF::saveTemplateClicked()
{
    const QString dir = m_templateFileName.isEmpty() ? QDir::currentPath() : m_templateFileName;
    QString name = QFileDialog::getSaveFileName(this, LoadMessage(ImportMsg::SaveTemplate), dir, templateFilter());
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".imp");
    try {
        Save(name);
        m_templateFileName = name;
        showTemplateName();
    } catch (const std::exception &e) {
        showError(e);
    }
}

void TDataImportWizardF::showTemplateName()
{
    const QString name = QDir::toNativeSeparators(m_templateFileName);
    m_templateName->setToolTip(name);
    m_templateName->setText(m_templateName->fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(m_templateName->width(), 50)));
}

void TDataImportWizardF::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    showTemplateName();
}

// ---------------------------------------------------------------------------
// Templates
// ---------------------------------------------------------------------------

void TDataImportWizardF::Save(const QString &fileName)
{
    applyPendingEdits();
    m_pages[m_settings.ImportType]->StoreMap();
    TDataImportTemplate::Save(fileName, m_settings);
}

void TDataImportWizardF::Load(const QString &fileName)
{
    applyPendingEdits();
    m_pages[m_settings.ImportType]->StoreMap();
    TDataImportTemplate::Load(fileName, m_settings, m_componentSettings, m_component.AllowedImports);
    m_templateFileName = fileName;
    for (TDataImportWizardPage *page : m_pages)
        page->SettingsChanged();
    showSettings();
    if (!m_settings.GoToLastPage)
        return;
    const TAllowedImport kind = m_settings.ImportType;
    // Fixed-width positions need the file's lines: that page is prepared first.
    if (kind == aiTXT && !enterMapStep())
        return;
    if (!m_pages[kind]->IsMapEmpty())
        setStep(3);
}

// ---------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------

void TDataImportWizardF::GoNext()
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
        m_pages[m_settings.ImportType]->StoreMap();
        setStep(2);
        break;
    case 2:
        setStep(3);
        break;
    default:
        break;
    }
}

void TDataImportWizardF::GoBack()
{
    if (m_running || m_step <= 0)
        return;
    applyPendingEdits();
    if (m_step == 1)
        m_pages[m_settings.ImportType]->StoreMap();
    if (m_step == 2 && !enterMapStep())
        return;
    setStep(m_step - 1);
}

void TDataImportWizardF::checkSource() const
{
    const QString &name = m_settings.FileName;
    const QFileInfo info(name);
    if (!info.isFile())
        throw DataImportError(ImportMsg::FileDoesNotExist, { name });
    const QString suffix = info.suffix();
    // A workbook is told by its content: a renamed one is still taken.
    if (!ImportKindTakesExtension(m_settings.ImportType, suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix)
        && !(m_settings.ImportType == aiXLS && LooksLikeWorkbook(name)))
        throw DataImportError(ImportMsg::WrongFileType, { ImportKindExtension(m_settings.ImportType) });
    bool open = true;
    switch (m_component.ImportDestination) {
    case qidDataSet:
        open = m_component.DataSet && m_component.DataSet->isActive();
        break;
    case qidDBGrid:
        open = m_component.DBGrid && m_component.DBGrid->GridDataSet() && m_component.DBGrid->GridDataSet()->isActive();
        break;
    case qidListView:
    case qidStringGrid:
    case qidUserDefined:
        break;
    }
    if (!open)
        throw DataImportError(ImportMsg::DestinationClosed);
}

QString TDataImportWizardF::sourceSignature(TAllowedImport kind) const
{
    QString signature = m_settings.FileName;
    if (kind == aiCSV)
        signature += QLatin1Char('\n') + m_settings.Delimiter + m_settings.Quote;
    return signature;
}

bool TDataImportWizardF::enterMapStep()
{
    const TAllowedImport kind = m_settings.ImportType;
    const QString signature = sourceSignature(kind);
    try {
        m_pages[kind]->Prepare(signature != m_preparedSource[kind]);
        m_preparedSource[kind] = signature;
    } catch (const std::exception &e) {
        m_preparedSource[kind].clear();
        setStep(0);
        showError(e);
        return false;
    }
    return true;
}

void TDataImportWizardF::setStep(int step)
{
    m_step = step;
    m_steps->setCurrentIndex(step);
    if (step == 1)
        m_pageStack->setCurrentWidget(m_pages[m_settings.ImportType]);
    updateButtons();
}

void TDataImportWizardF::updateButtons()
{
    if (!m_next)
        return;
    const TAllowedImport kind = m_settings.ImportType;
    const bool mapEmpty = m_pages[kind]->IsMapEmpty();
    bool next = false;
    switch (m_step) {
    case 0:
        next = !m_settings.FileName.isEmpty() && (kind != aiCSV || m_settings.Delimiter != QChar(0));
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

void TDataImportWizardF::updateCaption()
{
    QString caption = LoadMessage(ImportMsg::WizardCaption);
    if (!m_settings.FileName.isEmpty())
        caption
            += QStringLiteral(" - ") + LoadMessage(ImportMsg::ImportFrom) + QLatin1Char(' ') + QFileInfo(m_settings.FileName).fileName();
    setWindowTitle(caption);
}

void TDataImportWizardF::showError(const std::exception &e)
{
    QWidget *parent = m_progress ? static_cast<QWidget *>(m_progress.data()) : this;
    MessageBox::error(parent, errorText(e));
}

// ---------------------------------------------------------------------------
// Replacements
// ---------------------------------------------------------------------------

void TDataImportWizardF::addReplacement()
{
    const QListWidgetItem *item = m_fields->currentItem();
    TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    if (!f)
        return;
    TReplacementDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TDataImportReplacement r = dialog.Replacement();
    f->Replacements.Add(r.TextToFind, r.ReplaceWith, r.IgnoreCase);
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(m_replacements->topLevelItemCount() - 1));
    updateFieldFormatEnabling();
}

void TDataImportWizardF::editReplacement()
{
    const QListWidgetItem *item = m_fields->currentItem();
    TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->Replacements.Count() || f->GeneratorStep != 0)
        return;
    TReplacementDialog dialog(this);
    dialog.SetReplacement(f->Replacements.Items(row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    f->Replacements.Items(row) = dialog.Replacement();
    showReplacements();
    m_replacements->setCurrentItem(m_replacements->topLevelItem(row));
    updateFieldFormatEnabling();
}

void TDataImportWizardF::deleteReplacement()
{
    const QListWidgetItem *item = m_fields->currentItem();
    TDataImportFieldFormat *f = item ? m_settings.FieldFormat(item->text()) : nullptr;
    const int row = m_replacements->indexOfTopLevelItem(m_replacements->currentItem());
    if (!f || row < 0 || row >= f->Replacements.Count())
        return;
    f->Replacements.Delete(row);
    showReplacements();
    updateFieldFormatEnabling();
}

// ---------------------------------------------------------------------------
// The import and closing
// ---------------------------------------------------------------------------

void TDataImportWizardF::ExecuteImport()
{
    if (m_running || !m_execute->isEnabled())
        return;
    applyPendingEdits();
    m_pages[m_settings.ImportType]->StoreMap();
    TDataImport *source = Source(m_settings.ImportType);

    // Nothing else of the wizard may run while the import does: the import
    // lets the interface handle its messages once per row.
    m_running = true;
    m_content->setEnabled(false);
    if (m_component.ShowProgress) {
        m_progress = new TDataImportProgress(this);
        connect(m_progress, &TDataImportProgress::cancelRequested, this, [source] { source->Cancel(); });
        m_progress->show();
        m_progress->Start();
    }
    bool failed = false;
    try {
        m_component.ApplyDestination(*source);
        ConfigureImportSource(*source, m_settings);
        source->Execute();
    } catch (const std::exception &e) {
        failed = true;
        // Refused before any row: there is nothing for the dialog to show.
        if (m_progress && !m_progress->Started())
            delete m_progress.data();
        showError(e);
    }
    if (m_progress) {
        if (!m_progress->Done())
            m_progress->AfterImport(source->Canceled());
        QEventLoop wait;
        connect(m_progress, &QDialog::finished, &wait, &QEventLoop::quit);
        if (m_progress->isVisible())
            wait.exec();
        delete m_progress.data();
    }
    m_running = false;
    m_content->setEnabled(true);
    if (!failed && m_settings.CloseAfterImport)
        reject();
}

void TDataImportWizardF::reject()
{
    // A running import ends first; its own dialog cancels it.
    if (m_running)
        return;
    if (m_component.ConfirmOnCancel
        && MessageBox::show(this, QMessageBox::Question, LoadMessage(ImportMsg::QuitCaption), LoadMessage(ImportMsg::QuitQuestion),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    if (m_settings.AutoSaveTemplate) {
        try {
            Save(m_templateFileName);
        } catch (const std::exception &e) {
            showError(e);
        }
    }
    QDialog::reject();
}
