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

QString formatSection(const QString &section, double value, bool withSign, const FormatSettings &fs)
{
    QList<MaskToken> tokens;
    bool thousands = false;
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
            bool seen = false;
            for (const auto &t : tokens)
                seen = seen || t.kind == MaskToken::Point;
            if (seen)
                tokens.append(MaskToken { MaskToken::Literal, QString(c) });
            else
                tokens.append(MaskToken { MaskToken::Point, {} });
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        } else {
            tokens.append(MaskToken { MaskToken::Literal, QString(c) });
        }
    }

    int point = -1, first = -1, last = -1;
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == MaskToken::Point)
            point = i;
        else if (tokens[i].kind == MaskToken::Zero || tokens[i].kind == MaskToken::Hash) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        // No placeholder: the mask is a literal text.
        QString out;
        for (const auto &t : tokens)
            out += t.kind == MaskToken::Point ? QString(fs.decimalSeparator) : t.text;
        return out;
    }
    const int intEnd = point >= 0 ? point : last + 1; // tokens [first, intEnd) hold the integer part
    int minInt = 0, minFrac = 0, maxFrac = 0;
    for (int i = first; i < intEnd; ++i)
        if (tokens[i].kind == MaskToken::Zero)
            ++minInt;
    if (point >= 0)
        for (int i = point + 1; i <= last; ++i) {
            if (tokens[i].kind == MaskToken::Zero) {
                ++maxFrac;
                minFrac = maxFrac;
            } else if (tokens[i].kind == MaskToken::Hash)
                ++maxFrac;
        }

    DecimalText d = toDecimal(static_cast<long double>(value), maxFrac);
    QString intDigits = d.integerDigits;
    if (intDigits.size() < minInt)
        intDigits.prepend(QString(minInt - intDigits.size(), QLatin1Char('0')));
    if (thousands) {
        QString grouped;
        for (int i = 0; i < intDigits.size(); ++i) {
            if (i > 0 && (intDigits.size() - i) % 3 == 0)
                grouped += fs.thousandSeparator;
            grouped += intDigits[i];
        }
        intDigits = grouped;
    }
    QString frac = d.fractionDigits;
    while (frac.size() > minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);

    // A mask grouped by threes with one literal ("# ### ##0") groups a number
    // wider than itself the same way: 1 002 962, not 1002 962.
    QChar groupChar;
    {
        bool regular = true;
        int sinceLiteral = -1; // placeholders after the last literal, -1 before any
        for (int i = first; i < intEnd && regular; ++i) {
            const MaskToken &t = tokens[i];
            if (t.kind == MaskToken::Literal) {
                if (t.text.size() != 1 || (!groupChar.isNull() && t.text[0] != groupChar) || (sinceLiteral >= 0 && sinceLiteral != 3))
                    regular = false;
                groupChar = t.text.isEmpty() ? QChar() : t.text[0];
                sinceLiteral = 0;
            } else if (sinceLiteral >= 0) {
                ++sinceLiteral;
            }
        }
        if (!regular || sinceLiteral != 3)
            groupChar = QChar();
    }
    if (!groupChar.isNull() && !thousands) {
        QString grouped;
        for (int i = 0; i < intDigits.size(); ++i) {
            if (i > 0 && (intDigits.size() - i) % 3 == 0)
                grouped += groupChar;
            grouped += intDigits[i];
        }
        intDigits = grouped;
    }

    // Integer part, right to left: placeholders take digits, literals between
    // them appear only while digits remain on their left.
    QString intText;
    if (!groupChar.isNull())
        intText = intDigits;
    else {
        int remaining = intDigits.size();
        for (int i = intEnd - 1; i >= first; --i) {
            const MaskToken &t = tokens[i];
            if (t.kind == MaskToken::Literal) {
                if (remaining > 0)
                    intText.prepend(t.text);
            } else if (i == first) {
                intText.prepend(intDigits.left(remaining));
                remaining = 0;
            } else if (remaining > 0) {
                intText.prepend(intDigits[remaining - 1]);
                --remaining;
            }
        }
    }

    QString out;
    if (withSign && d.negative)
        out += QLatin1Char('-');
    for (int i = 0; i < first; ++i)
        out += tokens[i].kind == MaskToken::Point ? QString() : tokens[i].text;
    out += intText;
    if (point >= 0) {
        int used = 0;
        if (!frac.isEmpty())
            out += fs.decimalSeparator;
        for (int i = point + 1; i < tokens.size(); ++i) {
            const MaskToken &t = tokens[i];
            if (t.kind == MaskToken::Literal)
                out += t.text;
            else if (t.kind == MaskToken::Zero || t.kind == MaskToken::Hash) {
                if (used < frac.size())
                    out += frac[used];
                ++used;
            }
        }
    } else {
        for (int i = last + 1; i < tokens.size(); ++i)
            out += tokens[i].text;
    }
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

// The settings' formats named by c, ddddd, dddddd, t and tt are expanded at
// most once along a chain of expansions (expanding holds those under way): a
// format that names itself, directly or through another, writes nothing at
// its inner mention instead of recursing until the stack runs out.
QString formatDateTimeGuarded(const QString &mask, double value, const FormatSettings &fs, unsigned expanding)
{
    auto expand = [&](unsigned which) {
        if (expanding & which)
            return QString();
        return formatDateTimeGuarded(settingsFormat(fs, which), value, fs, expanding | which);
    };
    int year, month, day, hour, minute, second, msec;
    DateTime::decodeDate(value, year, month, day);
    DateTime::decodeTime(value, hour, minute, second, msec);
    const bool twelveHour = mask.contains(QLatin1String("am/pm"), Qt::CaseInsensitive)
        || mask.contains(QLatin1String("ampm"), Qt::CaseInsensitive) || mask.contains(QLatin1String("a/p"), Qt::CaseInsensitive);

    QString out;
    bool lastWasHour = false;
    const QString &m = mask;
    for (int i = 0; i < m.size();) {
        QChar c = m[i];
        QChar u = c.toUpper();
        auto run = [&](QChar ch) {
            int n = 0;
            while (i + n < m.size() && m[i + n].toUpper() == ch)
                ++n;
            return n;
        };
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int end = m.indexOf(c, i + 1);
            if (end < 0)
                end = m.size();
            out += m.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (u == QLatin1Char('D')) {
            int n = run(u);
            if (n == 1)
                out += QString::number(day);
            else if (n == 2)
                out += pad(day, 2);
            else if (n == 3)
                out += fs.shortDayNames.value(DateTime::dayOfWeek(value) - 1);
            else if (n == 4)
                out += fs.longDayNames.value(DateTime::dayOfWeek(value) - 1);
            else if (n == 5)
                out += expand(ShortDate);
            else
                out += expand(LongDate);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('M')) {
            int n = run(u);
            if (lastWasHour && n <= 2) {
                out += n == 1 ? QString::number(minute) : pad(minute, 2);
            } else if (n == 1)
                out += QString::number(month);
            else if (n == 2)
                out += pad(month, 2);
            else if (n == 3)
                out += fs.shortMonthNames.value(month - 1);
            else
                out += fs.longMonthNames.value(month - 1);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('Y')) {
            int n = run(u);
            out += n <= 2 ? pad(year % 100, 2) : pad(year, 4);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('H')) {
            int n = run(u);
            int h = hour;
            if (twelveHour) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 1 ? QString::number(h) : pad(h, 2);
            i += n;
            lastWasHour = true;
            continue;
        } else if (u == QLatin1Char('N')) {
            int n = run(u);
            out += n == 1 ? QString::number(minute) : pad(minute, 2);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('S')) {
            int n = run(u);
            out += n == 1 ? QString::number(second) : pad(second, 2);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('Z')) {
            int n = run(u);
            out += n == 1 ? QString::number(msec) : pad(msec, 3);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('T')) {
            int n = run(u);
            out += expand(n == 1 ? ShortTime : LongTime);
            i += n;
            lastWasHour = false;
        } else if (u == QLatin1Char('C')) {
            out += expand(ShortDate);
            if (hour || minute || second || msec)
                out += QLatin1Char(' ') + expand(LongTime);
            ++i;
            lastWasHour = false;
        } else if (u == QLatin1Char('A') && startsWithCI(m, i, "ampm")) {
            out += hour < 12 ? fs.timeAMString : fs.timePMString;
            i += 4;
        } else if (u == QLatin1Char('A') && startsWithCI(m, i, "am/pm")) {
            QString t = hour < 12 ? m.mid(i, 2) : m.mid(i + 3, 2);
            out += t;
            i += 5;
        } else if (u == QLatin1Char('A') && startsWithCI(m, i, "a/p")) {
            out += hour < 12 ? m.mid(i, 1) : m.mid(i + 2, 1);
            i += 3;
        } else if (c == QLatin1Char('/')) {
            out += fs.dateSeparator;
            ++i;
        } else if (c == QLatin1Char(':')) {
            out += fs.timeSeparator;
            ++i;
        } else {
            out += c;
            ++i;
            // a blank between the hour and "mm" keeps "mm" as minutes
            if (c != QLatin1Char(' '))
                lastWasHour = false;
        }
    }
    return out;
}

} // namespace

QString formatDateTime(const QString &mask, double value, const FormatSettings &fs)
{
    return formatDateTimeGuarded(mask, value, fs, 0);
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
