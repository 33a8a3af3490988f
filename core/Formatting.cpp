#include "core/Formatting.h"

#include "core/DateTime.h"
#include "core/Decimal.h"

#include <QStringList>

#include <cmath>

namespace {

QStringList splitSections(const QString &mask)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

// One token of a number mask: a placeholder or a piece of literal text.
struct MaskToken
{
    enum Kind { Zero, Hash, Point, Literal } kind;
    QString text;
};

// A section of a number mask read into tokens, and where its parts lie.
struct SectionMask
{
    QList<MaskToken> tokens;
    bool thousands = false; // ',' anywhere: group the integer digits by threes
    int point = -1; // the decimal point's token
    int first = -1, last = -1; // the first and last placeholders
    int intEnd = 0; // tokens [first, intEnd) hold the integer part
    int minInt = 0, minFrac = 0, maxFrac = 0;
};

void tokenize(const QString &section, SectionMask &mask)
{
    QList<MaskToken> &tokens = mask.tokens;
    bool pointSeen = false;
    for (int i = 0; i < section.size(); ++i) {
        QChar c = section[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int end = section.indexOf(c, i + 1);
            if (end < 0)
                end = section.size();
            tokens.append(MaskToken { MaskToken::Literal, section.mid(i + 1, end - i - 1) });
            i = end;
        } else if (c == QLatin1Char('0')) {
            tokens.append(MaskToken { MaskToken::Zero, {} });
        } else if (c == QLatin1Char('#')) {
            tokens.append(MaskToken { MaskToken::Hash, {} });
        } else if (c == QLatin1Char('.')) {
            // A second point is text.
            tokens.append(pointSeen ? MaskToken { MaskToken::Literal, QString(c) } : MaskToken { MaskToken::Point, {} });
            pointSeen = true;
        } else if (c == QLatin1Char(',')) {
            mask.thousands = true;
        } else {
            tokens.append(MaskToken { MaskToken::Literal, QString(c) });
        }
    }
}

// Where the point and the placeholders stand, and how many digits each side
// of the point must or may have.
void locate(SectionMask &mask)
{
    const QList<MaskToken> &tokens = mask.tokens;
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == MaskToken::Point)
            mask.point = i;
        else if (tokens[i].kind == MaskToken::Zero || tokens[i].kind == MaskToken::Hash) {
            if (mask.first < 0)
                mask.first = i;
            mask.last = i;
        }
    }
    if (mask.first < 0)
        return;
    mask.intEnd = mask.point >= 0 ? mask.point : mask.last + 1;
    for (int i = mask.first; i < mask.intEnd; ++i)
        if (tokens[i].kind == MaskToken::Zero)
            ++mask.minInt;
    if (mask.point >= 0)
        for (int i = mask.point + 1; i <= mask.last; ++i) {
            if (tokens[i].kind == MaskToken::Zero) {
                ++mask.maxFrac;
                mask.minFrac = mask.maxFrac;
            } else if (tokens[i].kind == MaskToken::Hash)
                ++mask.maxFrac;
        }
}

SectionMask readSection(const QString &section)
{
    SectionMask mask;
    tokenize(section, mask);
    locate(mask);
    return mask;
}

// A mask without placeholder is a literal text.
QString literalText(const SectionMask &mask, const FormatSettings &fs)
{
    QString out;
    for (const auto &t : mask.tokens)
        out += t.kind == MaskToken::Point ? QString(fs.decimalSeparator) : t.text;
    return out;
}

QString groupedByThrees(const QString &digits, QChar separator)
{
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

// A mask grouped by threes with one literal ("# ### ##0") groups a number
// wider than itself the same way: 1 002 962, not 1002 962. The literal that
// groups, or none.
QChar groupingLiteral(const SectionMask &mask)
{
    QChar groupChar;
    bool regular = true;
    int sinceLiteral = -1; // placeholders after the last literal, -1 before any
    for (int i = mask.first; i < mask.intEnd && regular; ++i) {
        const MaskToken &t = mask.tokens[i];
        if (t.kind == MaskToken::Literal) {
            if (t.text.size() != 1 || (!groupChar.isNull() && t.text[0] != groupChar) || (sinceLiteral >= 0 && sinceLiteral != 3))
                regular = false;
            groupChar = t.text.isEmpty() ? QChar() : t.text[0];
            sinceLiteral = 0;
        } else if (sinceLiteral >= 0) {
            ++sinceLiteral;
        }
    }
    return regular && sinceLiteral == 3 ? groupChar : QChar();
}

// Integer part, right to left: placeholders take digits, literals between
// them appear only while digits remain on their left.
QString placedInteger(const SectionMask &mask, const QString &intDigits)
{
    QString intText;
    int remaining = intDigits.size();
    for (int i = mask.intEnd - 1; i >= mask.first; --i) {
        const MaskToken &t = mask.tokens[i];
        if (t.kind == MaskToken::Literal) {
            if (remaining > 0)
                intText.prepend(t.text);
        } else if (i == mask.first) {
            intText.prepend(intDigits.left(remaining));
            remaining = 0;
        } else if (remaining > 0) {
            intText.prepend(intDigits[remaining - 1]);
            --remaining;
        }
    }
    return intText;
}

// The integer part as the mask writes it, from its digits.
QString integerText(const SectionMask &mask, QString intDigits, const FormatSettings &fs)
{
    if (intDigits.size() < mask.minInt)
        intDigits.prepend(QString(mask.minInt - intDigits.size(), QLatin1Char('0')));
    if (mask.thousands)
        intDigits = groupedByThrees(intDigits, fs.thousandSeparator);
    const QChar groupChar = groupingLiteral(mask);
    if (groupChar.isNull())
        return placedInteger(mask, intDigits);
    return mask.thousands ? intDigits : groupedByThrees(intDigits, groupChar);
}

// What follows the integer part: the fraction's digits in its placeholders,
// among its literals.
void appendFraction(QString &out, const SectionMask &mask, const QString &frac, const FormatSettings &fs)
{
    if (mask.point < 0) {
        for (int i = mask.last + 1; i < mask.tokens.size(); ++i)
            out += mask.tokens[i].text;
        return;
    }
    int used = 0;
    if (!frac.isEmpty())
        out += fs.decimalSeparator;
    for (int i = mask.point + 1; i < mask.tokens.size(); ++i) {
        const MaskToken &t = mask.tokens[i];
        if (t.kind == MaskToken::Literal)
            out += t.text;
        else if (t.kind == MaskToken::Zero || t.kind == MaskToken::Hash) {
            if (used < frac.size())
                out += frac[used];
            ++used;
        }
    }
}

QString formatSection(const QString &section, double value, bool withSign, const FormatSettings &fs)
{
    const SectionMask mask = readSection(section);
    if (mask.first < 0)
        return literalText(mask, fs);
    const DecimalText d = toDecimal(static_cast<long double>(value), mask.maxFrac);
    QString frac = d.fractionDigits;
    while (frac.size() > mask.minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);

    QString out;
    if (withSign && d.negative)
        out += QLatin1Char('-');
    for (int i = 0; i < mask.first; ++i)
        out += mask.tokens[i].kind == MaskToken::Point ? QString() : mask.tokens[i].text;
    out += integerText(mask, d.integerDigits, fs);
    appendFraction(out, mask, frac, fs);
    return out;
}

QString pad(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

bool startsWithCI(const QString &s, int pos, const char *what)
{
    return s.mid(pos).startsWith(QLatin1String(what), Qt::CaseInsensitive);
}

} // namespace

QString formatFloat(const QString &mask, double value, const FormatSettings &fs)
{
    if (mask.isEmpty())
        return floatToStr(value, fs);
    QStringList sections = splitSections(mask);
    DecimalText probe = toDecimal(static_cast<long double>(value), 18);
    const bool negative = value < 0;
    const bool zero = probe.integerDigits.isEmpty() && probe.fractionDigits.count(QLatin1Char('0')) == probe.fractionDigits.size();
    if (zero && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(sections[2], 0.0, false, fs);
    if (negative && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(sections[1], -value, false, fs);
    return formatSection(sections[0], value, true, fs);
}

QString floatToStr(double value, const FormatSettings &fs)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString s = QString::number(value, 'g', 15);
    int e = s.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString mantissa = s.left(e);
        int exp = s.mid(e + 1).toInt();
        s = mantissa + QLatin1Char('E') + QString::number(exp);
    }
    s.replace(QLatin1Char('.'), fs.decimalSeparator);
    return s;
}

namespace {

enum SettingsFormat : unsigned { ShortDate = 1, LongDate = 2, ShortTime = 4, LongTime = 8 };

const QString &settingsFormat(const FormatSettings &fs, unsigned which)
{
    switch (which) {
    case ShortDate:
        return fs.shortDateFormat;
    case LongDate:
        return fs.longDateFormat;
    case ShortTime:
        return fs.shortTimeFormat;
    default:
        return fs.longTimeFormat;
    }
}

// The settings' formats a mask names, read the way formatDateTime reads it.
unsigned namedFormats(const QString &mask)
{
    unsigned named = 0;
    for (qsizetype i = 0; i < mask.size();) {
        const QChar c = mask[i];
        const QChar u = c.toUpper();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = mask.indexOf(c, i + 1);
            i = end < 0 ? mask.size() : end + 1;
            continue;
        }
        qsizetype n = 1;
        if (u == QLatin1Char('D') || u == QLatin1Char('T'))
            while (i + n < mask.size() && mask[i + n].toUpper() == u)
                ++n;
        if (u == QLatin1Char('D') && n == 5)
            named |= ShortDate;
        else if (u == QLatin1Char('D') && n > 5)
            named |= LongDate;
        else if (u == QLatin1Char('T'))
            named |= n == 1 ? ShortTime : LongTime;
        else if (u == QLatin1Char('C'))
            named |= ShortDate | LongTime;
        i += n;
    }
    return named;
}

// Writes a value through a date mask, left to right. The settings' formats
// named by c, ddddd, dddddd, t and tt are expanded at most once along a
// chain of expansions (expanding holds those under way): a format that
// names itself, directly or through another, writes nothing at its inner
// mention instead of recursing until the stack runs out.
class DateTimeWriter
{
public:
    DateTimeWriter(const QString &mask, double value, const FormatSettings &fs, unsigned expanding)
        : m_mask(mask)
        , m_value(value)
        , m_fs(fs)
        , m_expanding(expanding)
        , m_twelveHour(mask.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) || mask.contains(QLatin1String("ampm"), Qt::CaseInsensitive)
              || mask.contains(QLatin1String("a/p"), Qt::CaseInsensitive))
    {
        DateTime::decodeDate(value, m_year, m_month, m_day);
        DateTime::decodeTime(value, m_hour, m_minute, m_second, m_msec);
    }

    QString write()
    {
        while (m_i < m_mask.size()) {
            const QChar c = m_mask[m_i];
            const QChar u = c.toUpper();
            if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                writeQuoted(c);
            else if (!writeDatePart(u) && !writeTimePart(u) && !writeAmPm(u))
                writeLiteral(c);
        }
        return m_out;
    }

private:
    // The length of the run of u (any case) that starts here.
    int run(QChar u) const
    {
        int n = 0;
        while (m_i + n < m_mask.size() && m_mask[m_i + n].toUpper() == u)
            ++n;
        return n;
    }

    QString expand(unsigned which) const
    {
        if (m_expanding & which)
            return QString();
        return DateTimeWriter(settingsFormat(m_fs, which), m_value, m_fs, m_expanding | which).write();
    }

    void writeQuoted(QChar quote)
    {
        int end = m_mask.indexOf(quote, m_i + 1);
        if (end < 0)
            end = m_mask.size();
        m_out += m_mask.mid(m_i + 1, end - m_i - 1);
        m_i = end + 1;
    }

    void writeDay(int n)
    {
        if (n == 1)
            m_out += QString::number(m_day);
        else if (n == 2)
            m_out += pad(m_day, 2);
        else if (n == 3)
            m_out += m_fs.shortDayNames.value(DateTime::dayOfWeek(m_value) - 1);
        else if (n == 4)
            m_out += m_fs.longDayNames.value(DateTime::dayOfWeek(m_value) - 1);
        else
            m_out += expand(n == 5 ? ShortDate : LongDate);
    }

    // "m_mask" and "mm" right after an hour are its minutes.
    void writeMonth(int n)
    {
        if (m_lastWasHour && n <= 2)
            m_out += n == 1 ? QString::number(m_minute) : pad(m_minute, 2);
        else if (n == 1)
            m_out += QString::number(m_month);
        else if (n == 2)
            m_out += pad(m_month, 2);
        else if (n == 3)
            m_out += m_fs.shortMonthNames.value(m_month - 1);
        else
            m_out += m_fs.longMonthNames.value(m_month - 1);
    }

    // Days, months, years and the settings' formats; false for another letter.
    bool writeDatePart(QChar u)
    {
        int n = 1;
        if (u == QLatin1Char('D'))
            writeDay(n = run(u));
        else if (u == QLatin1Char('M'))
            writeMonth(n = run(u));
        else if (u == QLatin1Char('Y'))
            m_out += (n = run(u)) <= 2 ? pad(m_year % 100, 2) : pad(m_year, 4);
        else if (u == QLatin1Char('T'))
            m_out += expand((n = run(u)) == 1 ? ShortTime : LongTime);
        else if (u == QLatin1Char('C')) {
            m_out += expand(ShortDate);
            if (m_hour || m_minute || m_second || m_msec)
                m_out += QLatin1Char(' ') + expand(LongTime);
        } else
            return false;
        m_i += n;
        m_lastWasHour = false;
        return true;
    }

    // Hours, minutes, seconds, milliseconds; false for another letter.
    bool writeTimePart(QChar u)
    {
        if (u != QLatin1Char('H') && u != QLatin1Char('N') && u != QLatin1Char('S') && u != QLatin1Char('Z'))
            return false;
        const int n = run(u);
        if (u == QLatin1Char('H')) {
            int h = m_hour;
            if (m_twelveHour) {
                h = m_hour % 12;
                if (h == 0)
                    h = 12;
            }
            m_out += n == 1 ? QString::number(h) : pad(h, 2);
        } else if (u == QLatin1Char('N'))
            m_out += n == 1 ? QString::number(m_minute) : pad(m_minute, 2);
        else if (u == QLatin1Char('S'))
            m_out += n == 1 ? QString::number(m_second) : pad(m_second, 2);
        else
            m_out += n == 1 ? QString::number(m_msec) : pad(m_msec, 3);
        m_i += n;
        m_lastWasHour = u == QLatin1Char('H');
        return true;
    }

    // "ampm" the settings' texts, "am/pm" and "a/p" the mask's own letters.
    bool writeAmPm(QChar u)
    {
        if (u != QLatin1Char('A'))
            return false;
        const bool morning = m_hour < 12;
        if (startsWithCI(m_mask, m_i, "ampm")) {
            m_out += morning ? m_fs.timeAMString : m_fs.timePMString;
            m_i += 4;
        } else if (startsWithCI(m_mask, m_i, "am/pm")) {
            m_out += morning ? m_mask.mid(m_i, 2) : m_mask.mid(m_i + 3, 2);
            m_i += 5;
        } else if (startsWithCI(m_mask, m_i, "a/p")) {
            m_out += morning ? m_mask.mid(m_i, 1) : m_mask.mid(m_i + 2, 1);
            m_i += 3;
        } else {
            return false;
        }
        return true;
    }

    void writeLiteral(QChar c)
    {
        ++m_i;
        if (c == QLatin1Char('/')) {
            m_out += m_fs.dateSeparator;
        } else if (c == QLatin1Char(':')) {
            m_out += m_fs.timeSeparator;
        } else {
            m_out += c;
            // a blank between the hour and "mm" keeps "mm" as minutes
            if (c != QLatin1Char(' '))
                m_lastWasHour = false;
        }
    }

    const QString &m_mask;
    const double m_value;
    const FormatSettings &m_fs;
    const unsigned m_expanding;
    const bool m_twelveHour;
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0, m_msec = 0;
    QString m_out;
    bool m_lastWasHour = false;
    int m_i = 0;
};

} // namespace

QString formatDateTime(const QString &mask, double value, const FormatSettings &fs)
{
    return DateTimeWriter(mask, value, fs, 0).write();
}

QString selfReferringDateTimeFormat(const FormatSettings &fs)
{
    // A format refers to itself when following the formats it names, and the
    // ones those name, leads back to it.
    for (unsigned start : { ShortDate, LongDate, ShortTime, LongTime }) {
        unsigned reached = 0, frontier = namedFormats(settingsFormat(fs, start));
        while (frontier & ~reached) {
            reached |= frontier;
            unsigned next = 0;
            for (unsigned which : { ShortDate, LongDate, ShortTime, LongTime })
                if (frontier & which)
                    next |= namedFormats(settingsFormat(fs, which));
            frontier = next;
        }
        if (reached & start)
            return settingsFormat(fs, start);
    }
    return QString();
}

QString dateToStr(double value, const FormatSettings &fs)
{
    return formatDateTime(fs.shortDateFormat, value, fs);
}

QString timeToStr(double value, const FormatSettings &fs)
{
    return formatDateTime(fs.longTimeFormat, value, fs);
}

QString dateTimeToStr(double value, const FormatSettings &fs)
{
    return formatDateTime(QStringLiteral("c"), value, fs);
}
