#include "import/wizard/RangeEditor.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "ui/MessageBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int MaxRow = 65536;
constexpr int MaxCol = 256;

// Fills "%s" and "%d" in order, as the range parser words its messages.
[[noreturn]] void fail(const char *pattern, const QStringList &args = {})
{
    throw ImportError(importText(pattern, args));
}

// A message naming what was found at a position: a character, or the end.
[[noreturn]] void failFound(const char *pattern, const TranslatedText &found, const QString &position)
{
    throw ImportError(importText(pattern, { found.source, position }, { found.shown, position }));
}

bool isLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// What one edit holds, before its own rules: trimmed, upper-cased unless it
// is a sheet name, a final ";" allowed and nothing after it. Positions in
// messages count from 1 in the trimmed text.
QString pieceBody(const QString &text, const char *emptyMessage, const char *longMessage, bool upper = true)
{
    QString body = text.trimmed();
    if (upper)
        for (QChar &c : body)
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - 32);
    const qsizetype semicolon = body.indexOf(u';');
    if (semicolon >= 0) {
        if (semicolon + 1 < body.size())
            fail(longMessage);
        body.truncate(semicolon);
    }
    if (body.isEmpty())
        fail(emptyMessage);
    return body;
}

TranslatedText found(const QString &body, qsizetype i)
{
    if (i < body.size())
        return { QString(body[i]), QString(body[i]) };
    return translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "end of range"));
}

int columnNumber(const QString &letters)
{
    int value = 0;
    for (QChar c : letters)
        value = std::min(value * 26 + (c.unicode() - u'A' + 1), 1000000);
    if (value < 1 || value > MaxCol)
        fail(QT_TRANSLATE_NOOP("ImportMessages", "Column %d is out of range [%s..%s]"),
            { QString::number(value), QStringLiteral("A"), QStringLiteral("IV") });
    return value;
}

int rowNumber(const QString &digits)
{
    qint64 value = 0;
    for (QChar c : digits)
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), 1000000000);
    if (value < 1 || value > MaxRow)
        fail(QT_TRANSLATE_NOOP("ImportMessages", "Row %d is out of range [%d..%d]"),
            { QString::number(value), QStringLiteral("1"), QString::number(MaxRow) });
    return int(value);
}

int parseColumn(const QString &text)
{
    const QString body = pieceBody(
        text, QT_TRANSLATE_NOOP("ImportMessages", "Col is empty"), QT_TRANSLATE_NOOP("ImportMessages", "So long col definition"));
    for (qsizetype i = 0; i < body.size(); ++i)
        if (!isLetter(body[i]))
            failFound(
                QT_TRANSLATE_NOOP("ImportMessages", "Letter expected but %s found (position %d)"), found(body, i), QString::number(i + 1));
    return columnNumber(body);
}

int parseRow(const QString &text)
{
    const QString body = pieceBody(
        text, QT_TRANSLATE_NOOP("ImportMessages", "Row is empty"), QT_TRANSLATE_NOOP("ImportMessages", "So long row definition"));
    for (qsizetype i = 0; i < body.size(); ++i)
        if (!isDigit(body[i]))
            failFound(
                QT_TRANSLATE_NOOP("ImportMessages", "Number expected but %s found (position %d)"), found(body, i), QString::number(i + 1));
    return rowNumber(body);
}

void parseCell(const QString &text, int &row, int &col)
{
    const QString body = pieceBody(
        text, QT_TRANSLATE_NOOP("ImportMessages", "Cell is empty"), QT_TRANSLATE_NOOP("ImportMessages", "So long cell definition"));
    qsizetype i = 0;
    while (i < body.size() && isLetter(body[i]))
        ++i;
    if (i == 0)
        failFound(QT_TRANSLATE_NOOP("ImportMessages", "Letter expected but %s found (position %d)"), found(body, 0), QStringLiteral("1"));
    const qsizetype digits = i;
    while (i < body.size() && isDigit(body[i]))
        ++i;
    if (i == digits || i < body.size())
        failFound(
            QT_TRANSLATE_NOOP("ImportMessages", "Number expected but %s found (position %d)"), found(body, i), QString::number(i + 1));
    col = columnNumber(body.left(digits));
    row = rowNumber(body.mid(digits));
}

int parseSheetNumber(const QString &text)
{
    const QString body = pieceBody(
        text, QT_TRANSLATE_NOOP("ImportMessages", "Sheet is empty"), QT_TRANSLATE_NOOP("ImportMessages", "So long sheet definition"));
    for (qsizetype i = 0; i < body.size(); ++i)
        if (!isDigit(body[i]))
            failFound(
                QT_TRANSLATE_NOOP("ImportMessages", "Number expected but %s found (position %d)"), found(body, i), QString::number(i + 1));
    qint64 value = 0;
    for (QChar c : body)
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), 1000000000);
    return int(value);
}

QString parseSheetName(const QString &text)
{
    const QString body = pieceBody(text, QT_TRANSLATE_NOOP("ImportMessages", "Sheet is empty"),
        QT_TRANSLATE_NOOP("ImportMessages", "So long sheet definition"), false);
    static const QString illegal = QStringLiteral(":\\/?*[]");
    for (qsizetype i = 0; i < body.size(); ++i)
        if (illegal.contains(body[i]))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Illegal char %s in sheet name at position %d"),
                { QString(body[i]), QString::number(i + 1) });
    return body;
}

QRadioButton *radio(int messageId, const QString &name, QWidget *parent)
{
    auto *r = new QRadioButton(trMessage(messageId), parent);
    r->setObjectName(name);
    return r;
}

QLineEdit *edit(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}

} // namespace

RangeEditor::RangeEditor(const MapRange &range, const QStringList &sheetNames, QWidget *parent)
    : QDialog(parent)
    , m_range(range)
    , m_sheetNames(sheetNames)
{
    setObjectName(QStringLiteral("RangeEditor"));
    setWindowTitle(trMessage(ImportMsg::RangeCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QGroupBox *typeGroup = buildTypeGroup();
    buildEndGroup(ImportMsg::RangeStartGroup, ImportMsg::RangeWhereStarted, QStringLiteral("Start"), m_startGroup, m_startOpen,
        m_startGiven, m_start);
    buildEndGroup(ImportMsg::RangeFinishGroup, ImportMsg::RangeWhereFinished, QStringLiteral("Finish"), m_finishGroup, m_finishOpen,
        m_finishGiven, m_finish);
    buildDirectionGroup();
    buildSheetGroup(sheetNames);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RangeEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RangeEditor::reject);

    auto *ends = new QHBoxLayout;
    ends->addWidget(m_startGroup);
    ends->addWidget(m_finishGroup);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(typeGroup);
    layout->addLayout(ends);
    layout->addWidget(m_directionGroup);
    layout->addWidget(m_sheetGroup);
    layout->addWidget(buttons);

    showRange(range);
    connect(m_type, &QComboBox::currentIndexChanged, this, &RangeEditor::typeChanged);
    for (const QList<QRadioButton *> &group : std::as_const(m_choices))
        for (QRadioButton *r : group)
            connect(r, &QRadioButton::toggled, this, &RangeEditor::tabToChosen);
    tabToChosen();
    m_rangeEdit->setFocus();
}

QGroupBox *RangeEditor::buildTypeGroup()
{
    auto *typeGroup = new QGroupBox(trMessage(ImportMsg::RangeTypeGroup), this);
    m_type = new QComboBox(typeGroup);
    m_type->setObjectName(QStringLiteral("cbRangeType"));
    m_type->addItems({ trMessage(ImportMsg::RangeTypeCol), trMessage(ImportMsg::RangeTypeRow), trMessage(ImportMsg::RangeTypeCell) });
    m_rangeEdit = edit(QStringLiteral("edRange"), typeGroup);
    m_rangeLabel = new QLabel(typeGroup);
    m_rangeLabel->setBuddy(m_rangeEdit);
    auto *typeLayout = new QHBoxLayout(typeGroup);
    typeLayout->addWidget(m_type);
    typeLayout->addSpacing(12);
    typeLayout->addWidget(m_rangeLabel);
    typeLayout->addWidget(m_rangeEdit);
    typeLayout->addStretch();
    return typeGroup;
}

// An end: found in the data, or given in its edit.
void RangeEditor::buildEndGroup(
    int title, int openText, const QString &prefix, QGroupBox *&group, QRadioButton *&open, QRadioButton *&given, QLineEdit *&value)
{
    group = new QGroupBox(trMessage(title), this);
    open = radio(openText, QStringLiteral("rb%1Open").arg(prefix), group);
    given = new QRadioButton(group);
    given->setObjectName(QStringLiteral("rb%1Given").arg(prefix));
    value = edit(QStringLiteral("ed%1").arg(prefix), group);
    auto *buttons = new QButtonGroup(group);
    buttons->addButton(open);
    buttons->addButton(given);
    auto *layout = new QGridLayout(group);
    layout->addWidget(open, 0, 0, 1, 2);
    layout->addWidget(given, 1, 0);
    layout->addWidget(value, 1, 1);
    layout->setColumnStretch(2, 1);
    connect(given, &QRadioButton::toggled, this, &RangeEditor::updateEnabling);
    connect(value, &QLineEdit::textEdited, given, [given] { given->setChecked(true); });
    m_choices << QList<QRadioButton *> { open, given };
}

void RangeEditor::buildDirectionGroup()
{
    m_directionGroup = new QGroupBox(trMessage(ImportMsg::RangeDirectionGroup), this);
    m_forward = new QRadioButton(m_directionGroup);
    m_forward->setObjectName(QStringLiteral("rbForward"));
    m_backward = new QRadioButton(m_directionGroup);
    m_backward->setObjectName(QStringLiteral("rbBackward"));
    auto *directionLayout = new QHBoxLayout(m_directionGroup);
    directionLayout->addWidget(m_forward);
    directionLayout->addWidget(m_backward);
    directionLayout->addStretch();
    m_choices << QList<QRadioButton *> { m_forward, m_backward };
}

void RangeEditor::buildSheetGroup(const QStringList &sheetNames)
{
    m_sheetGroup = new QGroupBox(trMessage(ImportMsg::RangeSheetGroup), this);
    m_defaultSheet = radio(ImportMsg::RangeDefaultSheet, QStringLiteral("rbDefaultSheet"), m_sheetGroup);
    m_customSheet = radio(ImportMsg::RangeCustomSheet, QStringLiteral("rbCustomSheet"), m_sheetGroup);
    auto *sheetKind = new QButtonGroup(m_sheetGroup);
    sheetKind->addButton(m_defaultSheet);
    sheetKind->addButton(m_customSheet);
    m_bySheetNumber = radio(ImportMsg::RangeSheetNumber, QStringLiteral("rbSheetNumber"), m_sheetGroup);
    m_bySheetName = radio(ImportMsg::RangeSheetName, QStringLiteral("rbSheetName"), m_sheetGroup);
    auto *sheetBy = new QButtonGroup(m_sheetGroup);
    sheetBy->addButton(m_bySheetNumber);
    sheetBy->addButton(m_bySheetName);
    m_choices << QList<QRadioButton *> { m_defaultSheet, m_customSheet } << QList<QRadioButton *> { m_bySheetNumber, m_bySheetName };
    m_sheetNumber = new QComboBox(m_sheetGroup);
    m_sheetNumber->setObjectName(QStringLiteral("cbSheetNumber"));
    m_sheetNumber->setEditable(true);
    for (int i = 1; i <= sheetNames.size(); ++i)
        m_sheetNumber->addItem(QString::number(i));
    m_sheetName = new QComboBox(m_sheetGroup);
    m_sheetName->setObjectName(QStringLiteral("cbSheetName"));
    m_sheetName->setEditable(true);
    m_sheetName->addItems(sheetNames);
    m_sheetName->setMinimumWidth(140);
    auto *sheetLayout = new QGridLayout(m_sheetGroup);
    sheetLayout->addWidget(m_defaultSheet, 0, 0, 1, 3);
    sheetLayout->addWidget(m_customSheet, 1, 0, 1, 3);
    sheetLayout->addWidget(m_bySheetNumber, 2, 1);
    sheetLayout->addWidget(m_sheetNumber, 2, 2);
    sheetLayout->addWidget(m_bySheetName, 3, 1);
    sheetLayout->addWidget(m_sheetName, 3, 2);
    sheetLayout->setColumnMinimumWidth(0, 16);
    sheetLayout->setColumnStretch(2, 1);
    for (QRadioButton *r : { m_defaultSheet, m_customSheet, m_bySheetNumber, m_bySheetName })
        connect(r, &QRadioButton::toggled, this, &RangeEditor::updateEnabling);
}

RangeEditor::Type RangeEditor::type() const
{
    return Type(std::clamp(m_type->currentIndex(), 0, 2));
}

void RangeEditor::showRange(const MapRange &range)
{
    const int row = range.startRow() > 0 ? range.startRow() : range.finishRow();
    const int col = range.startCol() > 0 ? range.startCol() : range.finishCol();
    auto rowText = [](int r) { return r > 0 ? QString::number(r) : QString(); };
    Type t = tyCol;
    QString value;
    int start = 0, finish = 0;
    bool byLetters = false; // the ends are columns
    switch (range.kind()) {
    case rkRow:
        t = tyRow;
        value = rowText(range.startRow());
        start = range.startCol();
        finish = range.finishCol();
        byLetters = true;
        break;
    case rkCell:
        t = tyCell;
        value = Xls::columnLetters(col) + rowText(row);
        start = finish = row;
        break;
    case rkCol:
        value = Xls::columnLetters(range.startCol());
        start = range.startRow();
        finish = range.finishRow();
        break;
    default:
        break;
    }
    auto endText = [&](int p) { return p <= 0 ? QString() : byLetters ? Xls::columnLetters(p) : QString::number(p); };
    m_type->setCurrentIndex(t);
    m_rangeEdit->setText(value);
    m_start->setText(endText(start));
    m_finish->setText(endText(finish));
    (start > 0 && t != tyCell ? m_startGiven : m_startOpen)->setChecked(true);
    (finish > 0 && t != tyCell ? m_finishGiven : m_finishOpen)->setChecked(true);
    (range.isForward() ? m_forward : m_backward)->setChecked(true);

    if (range.sheetSelector() == ssDefault)
        m_defaultSheet->setChecked(true);
    else
        m_customSheet->setChecked(true);
    if (range.sheetSelector() == ssByNumber) {
        m_bySheetNumber->setChecked(true);
        m_sheetNumber->setEditText(QString::number(range.sheetNumber()));
    } else {
        m_bySheetName->setChecked(true);
        if (range.sheetSelector() == ssByName) {
            const int i = m_sheetName->findText(range.sheetName(), Qt::MatchFixedString);
            if (i >= 0)
                m_sheetName->setCurrentIndex(i);
            else
                m_sheetName->setEditText(range.sheetName());
        }
    }
    typeChanged();
}

void RangeEditor::typeChanged()
{
    const Type t = type();
    m_rangeLabel->setText(m_type->currentText());
    const bool row = t == tyRow;
    m_startGiven->setText(trMessage(row ? ImportMsg::RangeStartCol : ImportMsg::RangeStartRow));
    m_finishGiven->setText(trMessage(row ? ImportMsg::RangeFinishCol : ImportMsg::RangeFinishRow));
    m_forward->setText(trMessage(row ? ImportMsg::RangeRight : ImportMsg::RangeDown));
    m_backward->setText(trMessage(row ? ImportMsg::RangeLeft : ImportMsg::RangeUp));
    updateEnabling();
}

void RangeEditor::updateEnabling()
{
    const bool cell = type() == tyCell;
    m_startGroup->setEnabled(!cell);
    m_finishGroup->setEnabled(!cell);
    m_start->setEnabled(m_startGiven->isChecked());
    m_finish->setEnabled(m_finishGiven->isChecked());
    // The direction matters only where an end is found in the data.
    m_directionGroup->setEnabled(!cell && (m_startOpen->isChecked() || m_finishOpen->isChecked()));
    m_sheetGroup->setEnabled(!cell);
    const bool custom = m_customSheet->isChecked();
    m_bySheetNumber->setEnabled(custom);
    m_bySheetName->setEnabled(custom);
    m_sheetNumber->setEnabled(custom && m_bySheetNumber->isChecked());
    m_sheetName->setEnabled(custom && m_bySheetName->isChecked());
}

void RangeEditor::checkSheet(const MapRange &range) const
{
    // Without the workbook's sheets any sheet is taken.
    if (m_sheetNames.isEmpty())
        return;
    if (range.sheetSelector() == ssByNumber && (range.sheetNumber() < 1 || range.sheetNumber() > m_sheetNames.size()))
        fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet number %d is not found in the source file"),
            { QString::number(range.sheetNumber()) });
    if (range.sheetSelector() == ssByName && !m_sheetNames.contains(range.sheetName(), Qt::CaseInsensitive))
        fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet with name %s is not found in the source file"), { range.sheetName() });
}

void RangeEditor::tabToChosen()
{
    for (const QList<QRadioButton *> &group : std::as_const(m_choices))
        for (QRadioButton *r : group)
            r->setFocusPolicy(r->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

MapRange RangeEditor::readRange()
{
    // Each piece is read with its edit focused, so that a failure leaves the
    // operator where the fault is.
    auto at = [](QWidget *w) { w->setFocus(); };
    MapRange range(m_range);
    const Type t = type();
    if (t == tyCell) {
        at(m_rangeEdit);
        int row = 0, col = 0;
        parseCell(m_rangeEdit->text(), row, col);
        range.setBounds(row, col, row, col);
        range.setDirection(rdNotSet);
        checkSheet(range); // the sheet stays as it was
        return range;
    }
    const bool isRow = t == tyRow;
    auto readEnd = [&](QLineEdit *e) {
        at(e);
        return isRow ? parseColumn(e->text()) : parseRow(e->text());
    };
    at(m_rangeEdit);
    const int line = isRow ? parseRow(m_rangeEdit->text()) : parseColumn(m_rangeEdit->text());
    const int start = m_startGiven->isChecked() ? readEnd(m_start) : 0;
    const int finish = m_finishGiven->isChecked() ? readEnd(m_finish) : 0;

    if (m_defaultSheet->isChecked()) {
        range.setDefaultSheet();
    } else if (m_bySheetNumber->isChecked()) {
        at(m_sheetNumber);
        range.setSheetNumber(parseSheetNumber(m_sheetNumber->currentText()));
    } else {
        at(m_sheetName);
        range.setSheetName(parseSheetName(m_sheetName->currentText()));
    }
    checkSheet(range);

    if (isRow)
        range.setBounds(line, start, line, finish);
    else
        range.setBounds(start, line, finish, line);
    if (start == 0 || finish == 0)
        range.setDirection(m_forward->isChecked() ? rdForward : rdBackward);
    else if (start == finish)
        range.setDirection(rdNotSet); // one cell
    else
        range.setDirection(start < finish ? rdForward : rdBackward);
    return range;
}

void RangeEditor::accept()
{
    QWidget *focused = nullptr;
    try {
        m_range = readRange();
    } catch (const ImportError &e) {
        focused = focusWidget();
        MessageBox::error(this, e.text());
        if (focused)
            focused->setFocus();
        return;
    }
    QDialog::accept();
}
