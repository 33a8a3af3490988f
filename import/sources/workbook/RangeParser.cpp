#include "import/sources/workbook/RangeMap.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/RangeLanguage.h"

#include <QStringList>

#include <algorithm>

using namespace RangeLanguage;

// The range language's parser: one pass over the text a column's map entry
// holds, into the ranges of its MapRow.
namespace {

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
