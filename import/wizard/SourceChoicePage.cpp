#include "import/wizard/SourceChoicePage.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardKind.h"
#include "import/wizard/WizardPageParts.h"
#include "ui/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

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

} // namespace

SourceChoicePage::SourceChoicePage(ImportSettings &settings, const ImportWizard &component, QWidget *parent)
    : WizardStepPage(settings, parent)
    , m_component(component)
{
    setObjectName(QStringLiteral("tshSource"));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgPicture"));
    picture->setPixmap(component.picture.isNull() ? defaultPicture() : component.picture);
    picture->setAlignment(Qt::AlignTop);

    auto *title = new QLabel(trMessage(ImportMsg::WizardCaption), this);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);

    QGroupBox *kinds = buildKindsBox();
    QVBoxLayout *textBox = buildTextOptions();
    QHBoxLayout *fileRow = buildFileRow();
    QGroupBox *templates = buildTemplateBox();

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
    right->addWidget(CreateBuddyLabel(trMessage(ImportMsg::SourceFileName), m_fileName, this));
    right->addLayout(fileRow);
    right->addSpacing(8);
    right->addWidget(templates);
    right->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addSpacing(8);
    layout->addLayout(right, 1);

    for (int k = 0; k < ImportKindCount; ++k)
        m_kinds[k]->setEnabled(component.allowedImports.contains(AllowedImport(k)));
    m_loadTemplate->setVisible(component.showSaveLoadButtons);
}

QGroupBox *SourceChoicePage::buildKindsBox()
{
    auto *kinds = new QGroupBox(trMessage(ImportMsg::ImportFrom), this);
    kinds->setObjectName(QStringLiteral("gbImportFrom"));
    auto *group = new QButtonGroup(this);
    auto *kindsLayout = new QVBoxLayout(kinds);
    for (int k = 0; k < ImportKindCount; ++k) {
        const WizardKind &kind = wizardKind(AllowedImport(k));
        m_kinds[k] = new QRadioButton(trMessage(kind.caption), kinds);
        m_kinds[k]->setObjectName(QLatin1String(kind.choiceName));
        group->addButton(m_kinds[k], k);
        kindsLayout->addWidget(m_kinds[k]);
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            chooseKind(AllowedImport(id));
    });
    return kinds;
}

// The delimiter and quote of a delimited text.
QVBoxLayout *SourceChoicePage::buildTextOptions()
{
    m_comma = new QComboBox(this);
    m_comma->setObjectName(QStringLiteral("cbComma"));
    m_comma->setEditable(true);
    m_comma->addItems({ QStringLiteral(";"), QStringLiteral(","), QStringLiteral("TAB"), QStringLiteral("SPACE") });
    m_comma->setInsertPolicy(QComboBox::NoInsert);
    m_quote = new QComboBox(this);
    m_quote->setObjectName(QStringLiteral("cbQuote"));
    m_quote->setEditable(true);
    m_quote->addItems({ QStringLiteral("\""), QStringLiteral("'") });
    m_quote->setInsertPolicy(QComboBox::NoInsert);
    connect(m_comma->lineEdit(), &QLineEdit::editingFinished, this, &SourceChoicePage::applyDelimiter);
    connect(m_comma, &QComboBox::textActivated, this, &SourceChoicePage::applyDelimiter);
    connect(m_quote->lineEdit(), &QLineEdit::editingFinished, this, &SourceChoicePage::applyQuote);
    connect(m_quote, &QComboBox::textActivated, this, &SourceChoicePage::applyQuote);
    auto *text = new QFormLayout;
    text->addRow(CreateBuddyLabel(trMessage(ImportMsg::Comma), m_comma, this), m_comma);
    text->addRow(CreateBuddyLabel(trMessage(ImportMsg::Quote), m_quote, this), m_quote);
    auto *textBox = new QVBoxLayout;
    textBox->addLayout(text);
    textBox->addStretch();
    return textBox;
}

QHBoxLayout *SourceChoicePage::buildFileRow()
{
    m_fileName = CreateLineEdit(QStringLiteral("edFileName"), this);
    m_browse = CreateButton(QStringLiteral("..."), QStringLiteral("bBrowse"), this);
    m_browse->setMaximumWidth(32);
    connect(m_fileName, &QLineEdit::textChanged, this, &SourceChoicePage::fileNameEdited);
    connect(m_browse, &QPushButton::clicked, this, &SourceChoicePage::browseFile);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileName);
    fileRow->addWidget(m_browse);
    return fileRow;
}

QGroupBox *SourceChoicePage::buildTemplateBox()
{
    auto *templates = new QGroupBox(trMessage(ImportMsg::TemplateOptions), this);
    templates->setObjectName(QStringLiteral("gbTemplateOptions"));
    m_goToLastPage = CreateCheckBox(ImportMsg::GoToLastPage, QStringLiteral("chGoToLastPage"), templates);
    m_autoSaveTemplate = CreateCheckBox(ImportMsg::AutoSaveTemplate, QStringLiteral("chAutoSaveTemplate"), templates);
    m_loadTemplate = CreateButton(trMessage(ImportMsg::LoadTemplate), QStringLiteral("bLoadTemplate"), templates);
    m_templateName = new QLabel(templates);
    m_templateName->setObjectName(QStringLiteral("laTemplateFileName"));
    m_templateName->setMinimumWidth(50);
    m_templateName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    storeWhenToggled(m_goToLastPage, &ImportSettings::goToLastPage);
    storeWhenToggled(m_autoSaveTemplate, &ImportSettings::autoSaveTemplate);
    connect(m_loadTemplate, &QPushButton::clicked, this, &SourceChoicePage::loadTemplateClicked);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(m_loadTemplate);
    templateRow->addWidget(m_templateName, 1);
    auto *templateLayout = new QVBoxLayout(templates);
    templateLayout->addWidget(m_goToLastPage);
    templateLayout->addWidget(m_autoSaveTemplate);
    templateLayout->addLayout(templateRow);
    return templates;
}

void SourceChoicePage::showSettings()
{
    m_showing = true;
    const ImportSettings &s = m_settings;
    m_kinds[s.importType]->setChecked(true);
    m_comma->setEnabled(s.importType == aiCSV);
    m_quote->setEnabled(s.importType == aiCSV);
    m_comma->setEditText(wizardCharText(s.delimiter));
    m_quote->setEditText(wizardCharText(s.quote));
    m_fileName->setText(s.fileName);
    m_goToLastPage->setChecked(s.goToLastPage);
    m_autoSaveTemplate->setChecked(s.autoSaveTemplate);
    m_showing = false;
}

void SourceChoicePage::applyPendingEdits()
{
    if (m_comma->currentText() != wizardCharText(m_settings.delimiter))
        applyDelimiter();
    if (m_quote->currentText() != wizardCharText(m_settings.quote))
        applyQuote();
}

void SourceChoicePage::chooseKind(AllowedImport kind)
{
    if (!m_component.allowedImports.contains(kind)) {
        MessageBox::error(window(), dataImportError(ImportMsg::UnknownImportSource).text());
        m_showing = true;
        m_kinds[m_settings.importType]->setChecked(true);
        m_showing = false;
        return;
    }
    const QString before = m_settings.fileName;
    m_settings.setImportType(kind, m_component.autoChangeExtension);
    if (m_settings.fileName != before) {
        m_showing = true;
        m_fileName->setText(m_settings.fileName);
        m_showing = false;
    }
    m_comma->setEnabled(kind == aiCSV);
    m_quote->setEnabled(kind == aiCSV);
    emit sourceEdited();
}

void SourceChoicePage::fileNameEdited(const QString &text)
{
    if (m_showing)
        return;
    if (m_settings.setFileName(text) && m_settings.importType == aiXLS)
        emit workbookChanged();
    emit sourceEdited();
}

void SourceChoicePage::browseFile()
{
    const QFileInfo current(m_settings.fileName);
    const QString dir = m_settings.fileName.isEmpty() ? QDir::currentPath() : current.absolutePath();
    const QString name = QFileDialog::getOpenFileName(
        this, trMessage(ImportMsg::SourceFileName), dir, DialogFilter(importKindFilter(m_settings.importType)));
    if (!name.isEmpty())
        m_fileName->setText(name);
}

void SourceChoicePage::applyDelimiter()
{
    if (m_showing)
        return;
    const QString text = m_comma->currentText();
    const QChar c = text.isEmpty() ? defaultTextDelimiter() : applyWizardCharText(text, m_settings.delimiter);
    if (m_settings.setDelimiter(c))
        emit delimitedMapCleared();
    m_comma->setEditText(wizardCharText(m_settings.delimiter));
    emit sourceEdited();
}

void SourceChoicePage::applyQuote()
{
    if (m_showing)
        return;
    const QString text = m_quote->currentText();
    const QChar c = text.isEmpty() ? QChar(u'"') : applyWizardCharText(text, m_settings.quote);
    if (m_settings.setQuote(c))
        emit delimitedMapCleared();
    m_quote->setEditText(wizardCharText(m_settings.quote));
    emit sourceEdited();
}

void SourceChoicePage::showTemplateName(const QString &fileName)
{
    const QString name = QDir::toNativeSeparators(fileName);
    m_templateName->setToolTip(name);
    m_templateName->setText(m_templateName->fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(m_templateName->width(), 50)));
}
