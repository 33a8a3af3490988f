#include "import/wizard/MapLinesPage.h"

#include "core/Conversion.h"
#include "import/DBFFile.h"
#include "import/DataImportMessages.h"
#include "import/TextLineReader.h"
#include "import/XLSFile.h"
#include "import/XLSMapParser.h"
#include "import/XMLFile.h"
#include "import/wizard/DataImportWizard.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// Lines read for a preview when the component asks for all of them: enough
// to count positions and fields, without reading a whole file into a box.
constexpr int PreviewCap = 1000;

int previewLines(int rows)
{
    return rows > 0 ? std::min(rows, PreviewCap) : PreviewCap;
}

QStringList readLines(const QString &fileName, int count)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EDataImportError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    TTextLineReader reader(&file);
    QStringList lines;
    QString line;
    while (lines.size() < count && reader.ReadLine(line))
        lines << line;
    return lines;
}

// Two lines of position digits (tens, then units) over a fixed-width preview.
QString ruler(int width)
{
    QString tens, units;
    for (int i = 0; i < width; ++i) {
        tens += i % 10 == 0 ? QString::number(i / 10 % 10) : QStringLiteral(" ");
        units += QString::number(i % 10);
    }
    return tens + QLatin1Char('\n') + units;
}

} // namespace

TMapLinesPage::TMapLinesPage(TAllowedImport kind, TDataImportWizardSettings &settings, const TDataImportWizard &component, QWidget *parent)
    : TDataImportWizardPage(kind, settings, component, parent)
{
    setObjectName(QStringLiteral("MapLinesPage%1").arg(int(kind)));

    auto *hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("laHint"));
    hint->setWordWrap(true);
    hint->setFrameShape(QFrame::StyledPanel);
    hint->setMargin(6);
    hint->setAutoFillBackground(true);
    QPalette pal = hint->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    hint->setPalette(pal);
    hint->setText(QStringLiteral("Type one line per imported column: the destination column, \"=\" and %1, for example %2. "
                                 "A double click on a column adds its line.")
                      .arg(kind == aiXLS      ? QStringLiteral("its cell ranges")
                              : kind == aiTXT ? QStringLiteral("its position (from 0) and size")
                              : kind == aiCSV ? QStringLiteral("its field number (from 1)")
                                              : QStringLiteral("the source field"),
                          exampleLine()));

    m_columns = new QListWidget(this);
    m_columns->setObjectName(QStringLiteral("lstColumns"));
    m_columns->addItems(settings.Columns());
    auto *columnsLabel = new QLabel(LoadMessage(25390), this);
    columnsLabel->setBuddy(m_columns);

    m_lines = new QPlainTextEdit(this);
    m_lines->setObjectName(QStringLiteral("mmMap"));
    m_lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *linesLabel = new QLabel(QStringLiteral("Map"), this);
    linesLabel->setBuddy(m_lines);

    m_problems = new QLabel(this);
    m_problems->setObjectName(QStringLiteral("laProblems"));
    m_problems->setWordWrap(true);
    QPalette red = m_problems->palette();
    red.setColor(QPalette::WindowText, QColor(160, 0, 0));
    m_problems->setPalette(red);

    m_source = new QPlainTextEdit(this);
    m_source->setObjectName(QStringLiteral("mmSource"));
    m_source->setReadOnly(true);
    m_source->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_source->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *sourceLabel = new QLabel(QStringLiteral("Source"), this);
    sourceLabel->setBuddy(m_source);

    auto *options = new QHBoxLayout;
    auto addSkip = [&](int messageId, const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMaximumWidth(60);
        auto *label = new QLabel(LoadMessage(messageId), this);
        label->setBuddy(edit);
        options->addWidget(label);
        options->addWidget(edit);
        connect(edit, &QLineEdit::textEdited, this, &TMapLinesPage::skipEdited);
        return edit;
    };
    switch (kind) {
    case aiXLS:
        m_skipCols = addSkip(25710, QStringLiteral("edSkipCols"));
        m_skipRows = addSkip(25720, QStringLiteral("edSkipRows"));
        break;
    case aiTXT:
        m_skipRows = addSkip(25430, QStringLiteral("edSkipLines"));
        break;
    case aiCSV:
        m_skipRows = addSkip(25470, QStringLiteral("edSkipLines"));
        break;
    case aiDBF:
    case aiXML:
        m_option = new QCheckBox(LoadMessage(kind == aiDBF ? 25560 : 25620), this);
        m_option->setObjectName(kind == aiDBF ? QStringLiteral("chSkipDeleted") : QStringLiteral("chWriteOnFly"));
        options->addWidget(m_option);
        connect(m_option, &QCheckBox::toggled, this, [this](bool on) {
            if (m_updating)
                return;
            (Kind() == aiDBF ? this->settings().SkipDeleted : this->settings().WriteOnFly) = on;
        });
        break;
    }
    options->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(columnsLabel, 0, 0);
    grid->addWidget(linesLabel, 0, 1);
    grid->addWidget(m_columns, 1, 0);
    grid->addWidget(m_lines, 1, 1);
    grid->addWidget(m_problems, 2, 1);
    grid->addWidget(sourceLabel, 3, 0, 1, 2);
    grid->addWidget(m_source, 4, 0, 1, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(4, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(hint);
    layout->addLayout(grid, 1);
    layout->addLayout(options);

    connect(m_lines, &QPlainTextEdit::textChanged, this, &TMapLinesPage::linesEdited);
    connect(m_columns, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QString text = m_lines->toPlainText();
        if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
        m_lines->setPlainText(text + item->text() + QLatin1Char('='));
        m_lines->moveCursor(QTextCursor::End);
        m_lines->setFocus();
    });
    SettingsChanged();
}

QString TMapLinesPage::exampleLine() const
{
    const QString column = settings().Columns().value(0, QStringLiteral("CODE"));
    switch (Kind()) {
    case aiXLS:
        return column + QStringLiteral("=A2-A40;");
    case aiTXT:
        return column + QStringLiteral("=0;5");
    case aiCSV:
        return column + QStringLiteral("=1");
    case aiDBF:
    case aiXML:
        break;
    }
    return column + QLatin1Char('=') + column;
}

void TMapLinesPage::Prepare(bool sourceChanged)
{
    if (sourceChanged)
        readSource();
    if (Kind() == aiTXT && settings().PendingTXTMap) {
        settings().ApplyPendingTXTMap();
        SettingsChanged();
        emit MapChanged();
    }
}

void TMapLinesPage::readSource()
{
    const QString fileName = settings().FileName;
    if (fileName.isEmpty())
        throw DataImportError(24050);
    if (!QFileInfo(fileName).isFile())
        throw DataImportError(24060, { fileName });

    QStringList text;
    switch (Kind()) {
    case aiXLS: {
        TxlsFile workbook;
        workbook.setFileName(fileName);
        workbook.open();
        for (int i = 0; i < workbook.workSheetCount(); ++i)
            text << QStringLiteral("[%1] [:%2]").arg(workbook.workSheetName(i)).arg(i + 1);
        break;
    }
    case aiDBF: {
        TDBFRead table(fileName);
        for (int i = 0; i < table.FieldCount(); ++i)
            text << table.FieldName(i);
        break;
    }
    case aiXML: {
        TXMLFile xml(fileName);
        xml.LoadText();
        xml.Parse(true);
        const TXMLTagList *fields = xml.FieldList();
        if (!fields || fields->Count() == 0)
            throw DataImportError(24160);
        for (const auto &field : *fields) {
            const QString name = XMLFieldName(*field);
            if (name.isEmpty())
                throw EDataImportError(QStringLiteral("XML read with errors"));
            text << name;
        }
        break;
    }
    case aiTXT: {
        const QStringList lines = readLines(fileName, previewLines(component().TextViewerRows));
        qsizetype width = 0;
        for (const QString &line : lines)
            width = std::max(width, line.size());
        text << ruler(int(width)) << lines;
        break;
    }
    case aiCSV: {
        const int rows = component().CSVViewerRows;
        const QStringList lines = readLines(fileName, rows > 0 ? std::min(rows + 1, PreviewCap) : PreviewCap);
        QStringList fields;
        for (const QString &line : lines) {
            SplitDelimitedLine(line, settings().Quote, settings().Delimiter, fields);
            QStringList numbered;
            for (int i = 0; i < fields.size(); ++i)
                numbered << QStringLiteral("%1: %2").arg(i + 1).arg(fields[i]);
            text << numbered.join(QStringLiteral(" | "));
        }
        break;
    }
    }
    m_source->setPlainText(text.join(QLatin1Char('\n')));
}

QString TMapLinesPage::linesFromSettings() const
{
    if (Kind() != aiTXT)
        return settings().Map(Kind()).join(QLatin1Char('\n'));
    // Sizes of 0 are kept too: the operator is still typing them.
    QStringList lines;
    for (const QString &column : settings().Columns())
        if (const QString size = settings().TXTSizes.Value(column); !size.isEmpty())
            lines << column + QLatin1Char('=') + settings().TXTPositions.Value(column) + QLatin1Char(';') + size;
    return lines.join(QLatin1Char('\n'));
}

void TMapLinesPage::SettingsChanged()
{
    m_updating = true;
    m_lines->setPlainText(linesFromSettings());
    m_problems->clear();
    const TDataImportWizardSettings &s = settings();
    switch (Kind()) {
    case aiXLS:
        m_skipCols->setText(QString::number(s.XLSSkipCols));
        m_skipRows->setText(QString::number(s.XLSSkipRows));
        break;
    case aiTXT:
        m_skipRows->setText(QString::number(s.TXTSkipLines));
        break;
    case aiCSV:
        m_skipRows->setText(QString::number(s.CSVSkipLines));
        break;
    case aiDBF:
        m_option->setChecked(s.SkipDeleted);
        break;
    case aiXML:
        m_option->setChecked(s.WriteOnFly);
        break;
    }
    m_updating = false;
}

void TMapLinesPage::linesEdited()
{
    if (m_updating)
        return;
    TDataImportWizardSettings &s = settings();
    const TAllowedImport kind = Kind();
    switch (kind) {
    case aiXLS:
        s.XLSRanges.Clear();
        break;
    case aiTXT:
        s.TXTPositions.Clear();
        s.TXTSizes.Clear();
        s.PendingTXTMap.reset();
        break;
    case aiCSV:
        s.CSVColumns.Clear();
        break;
    case aiDBF:
        s.DBFPairs.clear();
        break;
    case aiXML:
        s.XMLPairs.clear();
        break;
    }

    QStringList problems;
    QStringList mapped;
    const QStringList lines = m_lines->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        auto problem = [&](const QString &text) { problems << QStringLiteral("Line %1: %2").arg(i + 1).arg(text); };
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            problem(QStringLiteral("\"=\" expected"));
            continue;
        }
        const QString column = s.DestinationColumn(line.left(eq));
        const QString value = line.mid(eq + 1).trimmed();
        if (column.isEmpty()) {
            problem(QStringLiteral("%1 is not a destination column").arg(line.left(eq).trimmed()));
            continue;
        }
        if (mapped.contains(column)) {
            problem(QStringLiteral("%1 is mapped twice").arg(column));
            continue;
        }
        if (value.isEmpty())
            continue;
        switch (kind) {
        case aiXLS:
            try {
                TMapRow row;
                row.parse(value);
                s.XLSRanges.SetValue(column, row.text());
            } catch (const EDataImportError &e) {
                problem(e.text());
                continue;
            }
            break;
        case aiTXT: {
            const TFixedWidthField field = ParseFixedWidthMapValue(value);
            if (!IsFixedWidthMapValue(value) || field.Start < 0 || field.Length < 0) {
                problem(QStringLiteral("position;size expected"));
                continue;
            }
            s.TXTPositions.SetValue(column, QString::number(field.Start));
            s.TXTSizes.SetValue(column, QString::number(field.Length));
            break;
        }
        case aiCSV: {
            int number = 0;
            if (!tryStrToInt(value, number) || number < 1) {
                problem(QStringLiteral("a field number from 1 expected"));
                continue;
            }
            s.CSVColumns.SetValue(column, QString::number(number));
            break;
        }
        case aiDBF:
            s.DBFPairs << TWizardFieldPair { column, value };
            break;
        case aiXML:
            s.XMLPairs << TWizardFieldPair { column, value };
            break;
        }
        mapped << column;
    }
    m_problems->setText(problems.join(QLatin1Char('\n')));
    emit MapChanged();
}

void TMapLinesPage::skipEdited()
{
    if (m_updating)
        return;
    // Read as a number, 0 when it is not one.
    auto number = [](QLineEdit *edit) {
        int n = 0;
        return tryStrToInt(edit->text().trimmed(), n) && n > 0 ? n : 0;
    };
    TDataImportWizardSettings &s = settings();
    switch (Kind()) {
    case aiXLS:
        s.XLSSkipCols = number(m_skipCols);
        s.XLSSkipRows = number(m_skipRows);
        break;
    case aiTXT:
        s.TXTSkipLines = number(m_skipRows);
        break;
    case aiCSV:
        s.CSVSkipLines = number(m_skipRows);
        break;
    case aiDBF:
    case aiXML:
        break;
    }
}

QString TMapLinesPage::SourceText() const
{
    return m_source->toPlainText();
}

QString TMapLinesPage::Problems() const
{
    return m_problems->text();
}
