#include "import/wizard/WizardPageParts.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

QLabel *CreateStepHeader(int step, QWidget *parent)
{
    auto *label = new QLabel(trFormatMessage(ImportMsg::StepOfSteps, { QString::number(step), QStringLiteral("3") }), parent);
    label->setObjectName(QStringLiteral("laStep%1").arg(step));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QLabel *CreateBuddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit *CreateLineEdit(const QString &objectName, QWidget *parent, int maxWidth)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    if (maxWidth > 0)
        edit->setMaximumWidth(maxWidth);
    return edit;
}

QCheckBox *CreateCheckBox(int messageId, const QString &objectName, QWidget *parent)
{
    auto *box = new QCheckBox(trMessage(messageId), parent);
    box->setObjectName(objectName);
    return box;
}

QPushButton *CreateButton(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

QString DialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        out << (parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

void FitColumnsToContent(QTreeWidget *list)
{
    QHeaderView *header = list->header();
    header->setStretchLastSection(false);
    const int digits = list->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    int width = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        list->resizeColumnToContents(c);
        if (c > 0 && list->columnWidth(c) < digits)
            list->setColumnWidth(c, digits);
        width += list->columnWidth(c);
    }
    // Nothing is cut when the vertical scroll bar shows.
    list->setFixedWidth(width + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width());
}

QLabel *CreateHintPanel(const QString &text, QWidget *parent)
{
    auto *hint = new QLabel(text, parent);
    hint->setObjectName(QStringLiteral("laHint"));
    hint->setWordWrap(true);
    hint->setFrameShape(QFrame::StyledPanel);
    hint->setMargin(6);
    hint->setAutoFillBackground(true);
    QPalette pal = hint->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::WindowText, QColor(40, 40, 40));
    hint->setPalette(pal);
    return hint;
}

int ReadCount(const QString &text)
{
    int n = 0;
    return tryStrToInt(text.trimmed(), n) && n > 0 ? n : 0;
}

void CheckSourceFile(const QString &fileName)
{
    if (fileName.trimmed().isEmpty())
        throw dataImportError(ImportMsg::FileNameNotSpecified);
    if (!QFileInfo(fileName).isFile())
        throw dataImportError(ImportMsg::FileDoesNotExist, { fileName });
}

void RefuseEmptySource(const QString &fileName)
{
    throw dataImportError(ImportMsg::SourceHoldsNoRows, { fileName });
}

void RefuseBlankText(TextLineReader &reader, bool textSeen, const QString &fileName)
{
    QString line;
    while (!textSeen && reader.readLine(line))
        textSeen = !line.trimmed().isEmpty();
    if (!textSeen)
        RefuseEmptySource(fileName);
}

void TellMappingNotInSource(QWidget *parent, const QString &fileName, const QStringList &columns)
{
    if (!columns.isEmpty())
        MessageBox::information(
            parent, trFormatMessage(ImportMsg::MappingNotInSource, { QFileInfo(fileName).fileName(), columns.join(QStringLiteral(", ")) }));
}

QHBoxLayout *CreateEncodingChoice(
    const QString &objectName, TextEncoding current, QWidget *parent, QComboBox *&box, std::function<void(TextEncoding)> chosen)
{
    box = new QComboBox(parent);
    box->setObjectName(objectName);
    for (int id : { ImportMsg::EncodingWindows1252, ImportMsg::EncodingUtf8, ImportMsg::EncodingOem850 })
        box->addItem(trMessage(id));
    box->setCurrentIndex(int(current));
    auto *label = new QLabel(trMessage(ImportMsg::Encoding), parent);
    label->setBuddy(box);
    QObject::connect(box, &QComboBox::activated, parent, [parent, chosen](int index) {
        TextEncoding encoding = teWindows1252;
        if (!textEncodingFromNumber(index, encoding))
            return;
        try {
            chosen(encoding);
        } catch (const Error &e) {
            MessageBox::error(parent, e.text());
        }
    });
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(box);
    return row;
}

QHBoxLayout *CreateTextPageBar(const TextPageBar &bar, QWidget *parent, QLineEdit *&skipLines, QComboBox *&encoding)
{
    skipLines = new QLineEdit(parent);
    skipLines->setObjectName(QStringLiteral("edSkipLines"));
    skipLines->setMaximumWidth(60);
    auto *skipLabel = new QLabel(trMessage(bar.skipLinesText), parent);
    skipLabel->setBuddy(skipLines);

    auto *row = new QHBoxLayout;
    for (QPushButton *button : bar.buttons)
        row->addWidget(button);
    row->addSpacing(16);
    row->addWidget(skipLabel);
    row->addWidget(skipLines);
    row->addSpacing(16);
    row->addLayout(CreateEncodingChoice(bar.encodingName, bar.encoding, parent, encoding, bar.encodingChosen));
    row->addStretch();
    return row;
}
