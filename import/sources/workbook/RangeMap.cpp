#include "import/sources/workbook/RangeMap.h"

#include "core/Cp1252.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookFile.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int MaxRow = 65536;
constexpr int MaxCol = 256;

// Fills "%s" and "%d" in order; the operator reads the translation.
[[noreturn]] void fail(const char *pattern, const QStringList &args = {}, const QStringList &shownArgs = {})
{
    throw ImportError(importText(pattern, args, shownArgs));
}

QString num(int n)
{
    return QString::number(n);
}

bool isLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isKnown(QChar c)
{
    return isLetter(c) || isDigit(c) || c == u';' || c == u'-' || c == u'[' || c == u']' || c == u':';
}

bool isKeyword(const QString &word)
{
    return word == QLatin1String("COLSTART") || word == QLatin1String("COLFINISH") || word == QLatin1String("ROWSTART")
        || word == QLatin1String("ROWFINISH");
}

QString cellText(int row, int col)
{
    return Xls::columnLetters(col) + QString::number(row);
}

// The parser: one pass over the trimmed, upper-cased text, positions
// counted from 1.
class RangeParser
{
public:
    RangeParser(const QString &text, MapRow *row)
        : m_row(row)
    {
        m_text = text.trimmed();
        for (QChar &c : m_text)
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - 32);
        if (!m_text.endsWith(u';'))
            m_text += u';';
    }

    void run()
    {
        while (m_pos < m_text.size()) {
            auto range = std::make_unique<MapRange>();
            parseRange(*range);
            if (m_row)
                m_row->add(std::move(range));
        }
    }

private:
    QChar at(qsizetype pos) const { return pos < m_text.size() ? m_text[pos] : QChar(u';'); }
    QChar current() const { return at(m_pos); }

    [[noreturn]] void unexpected(qsizetype pos) const
    {
        const QChar c = at(pos);
        if (!isKnown(c))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "The %s symbol at position %d is unknown"), { QString(c), num(int(pos + 1)) });
        fail(QT_TRANSLATE_NOOP("ImportMessages", "The symbol %s at position %d is unexpected"), { QString(c), num(int(pos + 1)) });
    }

    void expectEnd()
    {
        if (current() != u';')
            unexpected(m_pos);
        ++m_pos;
    }

    QString letters()
    {
        const qsizetype start = m_pos;
        while (isLetter(current()) && m_pos < m_text.size())
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    int number()
    {
        qint64 value = 0;
        while (isDigit(current()) && m_pos < m_text.size()) {
            value = std::min<qint64>(value * 10 + (current().unicode() - u'0'), 1000000000);
            ++m_pos;
        }
        return int(value);
    }

    // A column word that began at start: two letters at most, A..IV.
    int column(const QString &word, qsizetype start) const
    {
        if (word.size() > 2)
            unexpected(start + 2);
        int value = word[0].unicode() - u'A' + 1;
        if (word.size() == 2)
            value = value * 26 + (word[1].unicode() - u'A' + 1);
        if (value < 1 || value > MaxCol)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Column %d is out of range [%s..%s]"), { num(value), QStringLiteral("A"), QStringLiteral("IV") });
        return value;
    }

    int rowNumber()
    {
        if (!isDigit(current()))
            unexpected(m_pos);
        const int value = number();
        if (value < 1 || value > MaxRow)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Row %d is out of range [%d..%d]"), { num(value), num(1), num(MaxRow) });
        return value;
    }

    // After "-": a word of letters.
    QString wordAfterDash()
    {
        if (!isLetter(current())) {
            const TranslatedText found = current() == u';'
                ? translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "end of range"))
                : TranslatedText { QString(current()), QString(current()) };
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Letter expected but %s found (position %d)"), { found.source, num(int(m_pos + 1)) },
                { found.shown, num(int(m_pos + 1)) });
        }
        return letters();
    }

    void parseSheet(MapRange &range)
    {
        ++m_pos; // "["
        if (current() == u':') {
            ++m_pos;
            if (!isDigit(current()))
                unexpected(m_pos);
            const int n = number();
            if (current() != u']')
                unexpected(m_pos);
            ++m_pos;
            range.setSheetNumber(n);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u']') {
            const QChar c = m_text[m_pos];
            if (c == u':' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'[')
                fail(QT_TRANSLATE_NOOP("ImportMessages", "Illegal char %s in sheet name at position %d"), { QString(c), num(int(m_pos + 1)) });
            ++m_pos;
        }
        if (m_pos >= m_text.size())
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Unexpected end of range"));
        if (m_pos == start)
            unexpected(m_pos);
        range.setSheetName(m_text.mid(start, m_pos - start));
        ++m_pos;
    }

    void parseRange(MapRange &range)
    {
        if (current() == u'[')
            parseSheet(range);
        if (current() == u';' && m_pos < m_text.size())
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Unexpected end of range"));
        if (isLetter(current())) {
            const qsizetype start = m_pos;
            const QString word = letters();
            if (isKeyword(word))
                keywordCell(range, word);
            else
                fromColumn(range, column(word, start));
        } else if (isDigit(current())) {
            const int row = rowNumber();
            if (current() != u'-')
                unexpected(m_pos);
            ++m_pos;
            const QString word = wordAfterDash();
            if (word == QLatin1String("ROWFINISH"))
                range.setDirection(rdForward);
            else if (word == QLatin1String("ROWSTART"))
                range.setDirection(rdBackward);
            else
                fail(QT_TRANSLATE_NOOP("ImportMessages", "Expect %s but %s found"), { QStringLiteral("ROWSTART or ROWFINISH"), word });
            expectEnd();
            range.setBounds(row, 0, row, 0);
        } else {
            unexpected(m_pos);
        }
    }

    // COLSTART-B40, COLFINISH-B40, ROWSTART-H3, ROWFINISH-H3.
    void keywordCell(MapRange &range, const QString &keyword)
    {
        if (current() != u'-')
            unexpected(m_pos);
        ++m_pos;
        const qsizetype start = m_pos;
        const QString word = wordAfterDash();
        if (isKeyword(word))
            unexpected(start);
        const int col = column(word, start);
        const int row = rowNumber();
        expectEnd();
        const bool forward = keyword.endsWith(QLatin1String("START"));
        range.setDirection(forward ? rdForward : rdBackward);
        if (keyword.startsWith(QLatin1String("COL")))
            range.setBounds(0, col, row, col);
        else
            range.setBounds(row, 0, row, col);
    }

    void fromColumn(MapRange &range, int col)
    {
        if (current() == u'-') {
            // The whole column.
            ++m_pos;
            const QString word = wordAfterDash();
            if (word == QLatin1String("COLFINISH"))
                range.setDirection(rdForward);
            else if (word == QLatin1String("COLSTART"))
                range.setDirection(rdBackward);
            else
                fail(QT_TRANSLATE_NOOP("ImportMessages", "Expect %s but %s found"), { QStringLiteral("COLSTART or COLFINISH"), word });
            expectEnd();
            range.setBounds(0, col, 0, col);
            return;
        }
        const int row = rowNumber();
        if (current() == u';') {
            ++m_pos;
            range.setBounds(row, col, row, col);
            return;
        }
        if (current() != u'-')
            unexpected(m_pos);
        ++m_pos;
        const QString word = wordAfterDash();
        if (isKeyword(word)) {
            expectEnd();
            const bool forward = word.endsWith(QLatin1String("FINISH"));
            range.setDirection(forward ? rdForward : rdBackward);
            if (word.startsWith(QLatin1String("COL")))
                range.setBounds(row, col, 0, col);
            else
                range.setBounds(row, col, row, 0);
            return;
        }
        int col2 = 0;
        if (word.size() <= 2) {
            col2 = word[0].unicode() - u'A' + 1;
            if (word.size() == 2)
                col2 = col2 * 26 + (word[1].unicode() - u'A' + 1);
        }
        if (col2 < 1 || col2 > MaxCol)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Expect %s but %s found"), { QStringLiteral("COLSTART, COLFINISH, ROWSTART or ROWFINISH"), word });
        const int row2 = rowNumber();
        expectEnd();
        if (col2 != col && row2 != row)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Range %s is fail. It must be COL or ROW"), { cellText(row, col) + u'-' + cellText(row2, col2) });
        if (row2 > row || col2 > col)
            range.setDirection(rdForward);
        else if (row2 < row || col2 < col)
            range.setDirection(rdBackward);
        range.setBounds(row, col, row2, col2);
    }

    QString m_text;
    qsizetype m_pos = 0;
    MapRow *m_row;
};

} // namespace

void parseMapRow(const QString &text, MapRow *row)
{
    if (row)
        row->clear();
    RangeParser(text, row).run();
}

// ---------------------------------------------------------------- range

MapRange::MapRange(MapRow *owner)
    : m_owner(owner)
{
}

MapRange::MapRange(const MapRange &other)
{
    *this = other;
}

MapRange &MapRange::operator=(const MapRange &other)
{
    if (this == &other)
        return *this;
    // The owner stays: an edited copy is put back into its row this way.
    m_direction = other.m_direction;
    m_sheetSelector = other.m_sheetSelector;
    m_sheetNumber = other.m_sheetNumber;
    m_sheetName = other.m_sheetName;
    m_startRow = other.m_startRow;
    m_startCol = other.m_startCol;
    m_finishRow = other.m_finishRow;
    m_finishCol = other.m_finishCol;
    m_kind = other.m_kind;
    m_sheetIndex = other.m_sheetIndex;
    updateCount(); // with this owner's skips
    return *this;
}

WorkbookFile *MapRange::file() const
{
    return m_owner ? m_owner->file() : nullptr;
}

bool MapRange::isForward() const
{
    if (m_direction != rdNotSet)
        return m_direction == rdForward;
    if (m_kind == rkRow)
        return m_startCol <= m_finishCol || m_finishCol == 0;
    return m_startRow <= m_finishRow || m_finishRow == 0;
}

void MapRange::setDefaultSheet()
{
    m_sheetSelector = ssDefault;
    m_sheetNumber = 0;
    m_sheetName.clear();
}

void MapRange::setSheetNumber(int number)
{
    m_sheetSelector = ssByNumber;
    m_sheetNumber = number;
    m_sheetName.clear();
}

void MapRange::setSheetName(const QString &name)
{
    m_sheetSelector = ssByName;
    m_sheetNumber = 0;
    m_sheetName = name;
}

bool MapRange::sameSheetAs(const MapRange &other) const
{
    // Only ranges of one sheet continue each other; two ranges that name no
    // sheet share the first one.
    if (m_sheetSelector != other.m_sheetSelector)
        return false;
    switch (m_sheetSelector) {
    case ssByNumber:
        return m_sheetNumber == other.m_sheetNumber;
    case ssByName:
        return m_sheetName == other.m_sheetName;
    default:
        return true;
    }
}

void MapRange::setStartRow(int row)
{
    m_startRow = row;
    updateKind();
}

void MapRange::setStartCol(int col)
{
    m_startCol = col;
    updateKind();
}

void MapRange::setFinishRow(int row)
{
    m_finishRow = row;
    updateKind();
}

void MapRange::setFinishCol(int col)
{
    m_finishCol = col;
    updateKind();
}

void MapRange::setBounds(int startRow, int startCol, int finishRow, int finishCol)
{
    m_startRow = startRow;
    m_startCol = startCol;
    m_finishRow = finishRow;
    m_finishCol = finishCol;
    updateKind();
}

void MapRange::updateKind()
{
    if (m_startRow > 0 && m_startCol > 0 && m_finishRow > 0 && m_finishCol > 0 && m_startCol == m_finishCol && m_startRow == m_finishRow)
        m_kind = rkCell;
    else if (m_startRow > 0 || m_startCol > 0 || m_finishRow > 0 || m_finishCol > 0) {
        if (m_startCol == m_finishCol && m_startCol > 0)
            m_kind = rkCol;
        else if (m_startRow == m_finishRow && m_startRow > 0)
            m_kind = rkRow;
        else
            m_kind = rkUndetermined;
    } else
        m_kind = rkUndetermined;
}

int MapRange::skipRows() const
{
    return m_owner ? m_owner->skipRows() : 0;
}

int MapRange::skipCols() const
{
    return m_owner ? m_owner->skipCols() : 0;
}

void MapRange::updateCount()
{
    const int sr = skipRows();
    const int sc = skipCols();
    // Along the range: skipped positions are raised past the skip.
    auto along = [](int fixed, int skipFixed, int a, int b, int skipAlong) {
        if (fixed <= skipFixed || (a <= skipAlong && b <= skipAlong))
            return 0;
        a = std::max(a, skipAlong + 1);
        b = std::max(b, skipAlong + 1);
        return std::abs(b - a) + 1;
    };
    switch (m_kind) {
    case rkCol:
        m_count = along(m_startCol, sc, m_startRow, m_finishRow, sr);
        break;
    case rkRow:
        m_count = along(m_startRow, sr, m_startCol, m_finishCol, sc);
        break;
    case rkCell:
        m_count = m_startRow > sr && m_startCol > sc ? 1 : 0;
        break;
    default:
        m_count = 0;
        break;
    }
}

void MapRange::resolve()
{
    WorkbookFile *f = file();
    if (!f)
        return;
    if (!f->isOpened())
        f->open();
    int index = 0;
    if (m_sheetSelector == ssByNumber) {
        if (m_sheetNumber < 1 || m_sheetNumber > f->workSheetCount())
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet number %d is not found in the source file"), { num(m_sheetNumber) });
        index = m_sheetNumber - 1;
    } else if (m_sheetSelector == ssByName) {
        index = f->workSheetIndex(m_sheetName);
        if (index < 0)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet with name %s is not found in the source file"), { m_sheetName });
    }
    m_sheetIndex = index;
    XlsWorkSheet *sheet = f->workSheet(index);
    const bool forward = isForward();
    int lowest = -1, highest = -1;
    if (m_kind == rkRow) {
        if (!sheet || !sheet->rowExtent(m_startRow - 1, lowest, highest))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Row %d not found in the sheet %s"), { num(m_startRow), m_sheetName });
        if (m_startCol == 0)
            m_startCol = (forward ? lowest : highest) + 1;
        if (m_finishCol == 0)
            m_finishCol = (forward ? highest : lowest) + 1;
    } else if (m_kind == rkCol) {
        if (!sheet || !sheet->colExtent(m_startCol - 1, lowest, highest))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Col %d not found in the sheet %s"), { num(m_startCol), m_sheetName });
        if (m_startRow == 0)
            m_startRow = forward ? 1 : highest + 1;
        if (m_finishRow == 0)
            m_finishRow = (forward ? highest : lowest) + 1;
    }
    updateKind();
    updateCount();
}

QString MapRange::text() const
{
    QString body;
    const bool forward = isForward();
    switch (m_kind) {
    case rkCell:
        body = cellText(m_startRow, m_startCol);
        break;
    case rkCol: {
        const QString col = Xls::columnLetters(m_startCol);
        const QString toStart = forward ? QStringLiteral("COLSTART") : QStringLiteral("COLFINISH");
        const QString toFinish = forward ? QStringLiteral("COLFINISH") : QStringLiteral("COLSTART");
        if (m_startRow > 0 && m_finishRow > 0)
            body = col + QString::number(m_startRow) + u'-' + col + QString::number(m_finishRow);
        else if (m_finishRow > 0)
            body = toStart + u'-' + col + QString::number(m_finishRow);
        else if (m_startRow > 0)
            body = col + QString::number(m_startRow) + u'-' + toFinish;
        else
            body = col + u'-' + toFinish;
        break;
    }
    case rkRow: {
        const QString row = QString::number(m_startRow);
        const QString toStart = forward ? QStringLiteral("ROWSTART") : QStringLiteral("ROWFINISH");
        const QString toFinish = forward ? QStringLiteral("ROWFINISH") : QStringLiteral("ROWSTART");
        if (m_startCol > 0 && m_finishCol > 0)
            body = Xls::columnLetters(m_startCol) + row + u'-' + Xls::columnLetters(m_finishCol) + row;
        else if (m_finishCol > 0)
            body = toStart + u'-' + Xls::columnLetters(m_finishCol) + row;
        else if (m_startCol > 0)
            body = Xls::columnLetters(m_startCol) + row + u'-' + toFinish;
        else
            body = row + u'-' + toFinish;
        break;
    }
    default:
        return QString();
    }
    QString prefix;
    if (m_sheetSelector == ssByName)
        prefix = u'[' + m_sheetName + u']';
    else if (m_sheetSelector == ssByNumber)
        prefix = QStringLiteral("[:") + QString::number(m_sheetNumber) + u']';
    return prefix + body + u';';
}

namespace {

// Whether position p lies between a start and a finish, either of which may
// be open.
bool between(int p, int start, int finish, bool forward)
{
    if (start > 0 && finish > 0)
        return p >= std::min(start, finish) && p <= std::max(start, finish);
    if (start > 0)
        return forward ? p >= start : p <= start;
    if (finish > 0)
        return forward ? p <= finish : p >= finish;
    return true;
}

} // namespace

bool MapRange::contains(int sheetNumber, const QString &sheetName, int row, int col) const
{
    switch (m_sheetSelector) {
    case ssByNumber:
        if (m_sheetNumber != sheetNumber)
            return false;
        break;
    case ssByName:
        if (QString::compare(m_sheetName, sheetName, Qt::CaseInsensitive) != 0)
            return false;
        break;
    default:
        if (sheetNumber != 1)
            return false;
        break;
    }
    switch (m_kind) {
    case rkCell:
        return row == m_startRow && col == m_startCol;
    case rkCol:
        return col == m_startCol && between(row, m_startRow, m_finishRow, isForward());
    case rkRow:
        return row == m_startRow && between(col, m_startCol, m_finishCol, isForward());
    default:
        return false;
    }
}

bool MapRange::cellPosition(int n, int &row, int &col) const
{
    if (n < 1 || n > m_count)
        return false;
    const bool forward = isForward();
    switch (m_kind) {
    case rkCol:
        col = m_startCol;
        row = forward ? std::max(m_startRow, skipRows() + 1) + n - 1 : m_startRow - n + 1;
        return true;
    case rkRow:
        row = m_startRow;
        col = forward ? std::max(m_startCol, skipCols() + 1) + n - 1 : m_startCol - n + 1;
        return true;
    case rkCell:
        row = m_startRow;
        col = m_startCol;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- row

MapRow::MapRow(RangeMap *list, WorkbookFile *file)
    : m_list(list)
    , m_file(file)
{
}

MapRow::~MapRow() = default;

int MapRow::skipRows() const
{
    return m_list ? m_list->skipRows() : 0;
}

int MapRow::skipCols() const
{
    return m_list ? m_list->skipCols() : 0;
}

MapRange *MapRow::add(std::unique_ptr<MapRange> range)
{
    return insert(count(), std::move(range));
}

MapRange *MapRow::insert(int index, std::unique_ptr<MapRange> range)
{
    range->setOwner(this);
    range->resolve();
    range->updateCount();
    MapRange *r = range.get();
    m_ranges.insert(m_ranges.begin() + std::clamp(index, 0, count()), std::move(range));
    updateTotal();
    return r;
}

void MapRow::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    m_ranges.erase(m_ranges.begin() + index);
    updateTotal();
}

void MapRow::move(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    auto range = std::move(m_ranges[std::size_t(from)]);
    m_ranges.erase(m_ranges.begin() + from);
    m_ranges.insert(m_ranges.begin() + to, std::move(range));
}

void MapRow::clear()
{
    m_ranges.clear();
    m_total = 0;
}

void MapRow::updateTotal()
{
    m_total = 0;
    for (const auto &r : m_ranges)
        m_total += r->count();
}

void MapRow::parse(const QString &text)
{
    parseMapRow(text, this);
}

QString MapRow::text() const
{
    QString out;
    for (const auto &r : m_ranges)
        out += r->text();
    return out;
}

QString MapRow::cellText(int n) const
{
    if (!m_file || n <= 0 || n > m_total)
        return QString();
    for (const auto &r : m_ranges) {
        if (n > r->count()) {
            n -= r->count();
            continue;
        }
        int row = 0, col = 0;
        XlsWorkSheet *sheet = m_file->workSheet(r->sheetIndex());
        if (!sheet || !r->cellPosition(n, row, col) || row < 1 || row > MaxRow || col < 1 || col > MaxCol)
            return QString();
        const QString text = sheet->cellText(row - 1, col - 1);
        // The import works in the program's single-byte character set.
        return Cp1252::toUnicode(Cp1252::fromUnicode(text));
    }
    return QString();
}

bool MapRow::contains(int sheetNumber, const QString &sheetName, int row, int col) const
{
    for (const auto &r : m_ranges)
        if (r->contains(sheetNumber, sheetName, row, col))
            return true;
    return false;
}

void MapRow::removeCell(int sheetNumber, const QString &sheetName, int row, int col)
{
    QString text;
    for (const auto &r : m_ranges) {
        if (!r->contains(sheetNumber, sheetName, row, col) || (r->kind() != rkCol && r->kind() != rkRow && r->kind() != rkCell)) {
            text += r->text();
            continue;
        }
        if (r->kind() == rkCell)
            continue; // the range was that cell
        const bool byRow = r->kind() == rkCol; // positions run along rows
        const int p = byRow ? row : col;
        const int start = byRow ? r->startRow() : r->startCol();
        const int finish = byRow ? r->finishRow() : r->finishCol();
        const int step = r->isForward() ? 1 : -1;
        MapRange changed(*r);
        auto setAlong = [&](MapRange &range, int s, int f) {
            if (byRow)
                range.setBounds(s, range.startCol(), f, range.finishCol());
            else
                range.setBounds(range.startRow(), s, range.finishRow(), f);
        };
        if (start > 0 && p == start) {
            setAlong(changed, start + step, finish);
            text += changed.text();
        } else if (finish > 0 && p == finish) {
            setAlong(changed, start, finish - step);
            text += changed.text();
        } else if (start > 0 && finish > 0) {
            MapRange after(*r);
            setAlong(changed, start, p - step);
            setAlong(after, p + step, finish);
            text += changed.text() + after.text();
        } else {
            text += r->text(); // an open end: the cell cannot be cut out
        }
    }
    if (text.isEmpty())
        clear();
    else
        parse(text);
}

namespace {

bool known(const MapRange &r)
{
    return r.startRow() > 0 && r.startCol() > 0 && r.finishRow() > 0 && r.finishCol() > 0;
}

// Joins next into prev when it continues it; true when it did.
bool join(MapRange &prev, const MapRange &next)
{
    if (!known(prev) || !known(next))
        return false;
    const RangeKind pk = prev.kind();
    const RangeKind nk = next.kind();
    if (pk == rkCol && prev.startCol() == next.startCol() && (nk == rkCell || (nk == rkCol && next.isForward() == prev.isForward()))) {
        const bool follows = prev.isForward() ? next.startRow() == prev.finishRow() + 1 : prev.finishRow() == next.startRow() + 1;
        if (follows)
            prev.setFinishRow(next.finishRow());
        return follows;
    }
    if (pk == rkRow && prev.startRow() == next.startRow() && (nk == rkCell || (nk == rkRow && next.isForward() == prev.isForward()))) {
        const bool follows = prev.isForward() ? next.startCol() == prev.finishCol() + 1 : prev.finishCol() == next.startCol() + 1;
        if (follows)
            prev.setFinishCol(next.finishCol());
        return follows;
    }
    if (pk == rkCell && nk == rkCol && prev.startCol() == next.startCol()) {
        const int step = next.isForward() ? 1 : -1;
        if (prev.startRow() == next.finishRow() + step) {
            prev.setStartRow(next.startRow());
            return true;
        }
        if (prev.startRow() == next.startRow() - step) {
            prev.setFinishRow(next.finishRow());
            return true;
        }
        return false;
    }
    if (pk == rkCell && nk == rkRow && prev.startRow() == next.startRow()) {
        const int step = next.isForward() ? 1 : -1;
        if (prev.startCol() == next.finishCol() + step) {
            prev.setStartCol(next.startCol());
            return true;
        }
        if (prev.startCol() == next.startCol() - step) {
            prev.setFinishCol(next.finishCol());
            return true;
        }
        return false;
    }
    if (pk == rkCell && nk == rkCell) {
        if (prev.startCol() == next.startCol() && std::abs(prev.startRow() - next.startRow()) == 1) {
            prev.setFinishRow(next.startRow());
            return true;
        }
        if (prev.startRow() == next.startRow() && std::abs(prev.startCol() - next.startCol()) == 1) {
            prev.setFinishCol(next.startCol());
            return true;
        }
    }
    return false;
}

} // namespace

void MapRow::merge()
{
    for (int i = count() - 1; i >= 1; --i) {
        MapRange &prev = *m_ranges[std::size_t(i - 1)];
        const MapRange &next = *m_ranges[std::size_t(i)];
        if (!prev.sameSheetAs(next))
            continue;
        const RangeKind before = prev.kind();
        if (!join(prev, next))
            continue;
        if (prev.kind() != before) {
            // Down a column or right along a row runs forward.
            const bool forward = prev.kind() == rkRow ? prev.startCol() <= prev.finishCol() : prev.startRow() <= prev.finishRow();
            prev.setDirection(forward ? rdForward : rdBackward);
        }
        prev.updateCount();
        m_ranges.erase(m_ranges.begin() + i);
    }
    updateTotal();
}

// ---------------------------------------------------------------- list

RangeMap::RangeMap(WorkbookFile *file, int skipRows, int skipCols)
    : m_file(file)
    , m_skipRows(skipRows)
    , m_skipCols(skipCols)
{
}

RangeMap::~RangeMap() = default;

int RangeMap::indexOf(const QString &name) const
{
    for (int i = 0; i < count(); ++i)
        if (QString::compare(m_rows[std::size_t(i)]->name(), name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

MapRow *RangeMap::add(const QString &name, const QString &rangeText)
{
    auto row = std::make_unique<MapRow>(this, m_file);
    row->setName(name);
    row->parse(rangeText);
    m_rows.push_back(std::move(row));
    return m_rows.back().get();
}

void RangeMap::clear()
{
    m_rows.clear();
    m_minRow = m_maxRow = -1;
}

void RangeMap::updateTotals()
{
    m_minRow = m_maxRow = -1;
    for (int i = 0; i < count(); ++i) {
        const int total = row(i)->total();
        if (m_minRow < 0 || total < row(m_minRow)->total())
            m_minRow = i;
        if (m_maxRow < 0 || total > row(m_maxRow)->total())
            m_maxRow = i;
    }
}

int RangeMap::recordCount(ImportRange range) const
{
    const int index = range == qirMin ? m_minRow : m_maxRow;
    return index < 0 ? 0 : row(index)->total();
}

int RangeMap::lastRecordIndex(ImportRange range, int importRecCount) const
{
    int last = recordCount(range) - 1;
    if (importRecCount > 0 && importRecCount - 1 < last)
        last = importRecCount - 1;
    return last;
}

QString RangeMap::cellText(int rowIndex, int recordIndex) const
{
    if (rowIndex < 0 || rowIndex >= count())
        return QString();
    return row(rowIndex)->cellText(recordIndex + 1);
}
