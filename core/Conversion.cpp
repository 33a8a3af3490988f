#include "core/Conversion.h"

#include "core/DateTime.h"

#include <QDate>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Parses an integer in [pos, end) with an optional sign and hexadecimal prefix.
bool parseInteger(const QString &text, qint64 min, qint64 max, qint64 &value)
{
    int i = 0;
    const int n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    unsigned long long acc = 0;
    const unsigned long long limit = negative ? static_cast<unsigned long long>(-(min + 1)) + 1 : static_cast<unsigned long long>(max);
    for (; i < n; ++i) {
        int digit = -1;
        QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = c.unicode() - '0';
        else if (base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
            digit = c.toLower().unicode() - 'a' + 10;
        if (digit < 0)
            return false;
        if (acc > (limit - static_cast<unsigned long long>(digit)) / static_cast<unsigned long long>(base))
            return false;
        acc = acc * base + digit;
    }
    value = negative ? static_cast<qint64>(0 - acc) : static_cast<qint64>(acc);
    return true;
}

// A number token of a date or time: up to 4 digits.
bool scanNumber(const QString &s, int &pos, int &value, int &digits)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    int start = pos;
    long v = 0;
    while (pos < s.size() && s[pos].isDigit() && s[pos].unicode() < 128 && pos - start < 9)
        v = v * 10 + (s[pos++].unicode() - '0');
    digits = pos - start;
    value = static_cast<int>(v);
    return digits > 0;
}

bool scanChar(const QString &s, int &pos, QChar c)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

enum class DateOrder { DMY, MDY, YMD };

DateOrder dateOrder(const QString &format)
{
    for (QChar c : format) {
        QChar u = c.toUpper();
        if (u == QLatin1Char('D'))
            return DateOrder::DMY;
        if (u == QLatin1Char('M'))
            return DateOrder::MDY;
        if (u == QLatin1Char('Y'))
            return DateOrder::YMD;
    }
    return DateOrder::DMY;
}

bool scanDate(const QString &s, int &pos, double &value, const FormatSettings &fs)
{
    int n1, n2, n3, d1, d2, d3 = 0;
    if (!scanNumber(s, pos, n1, d1) || !scanChar(s, pos, fs.dateSeparator) || !scanNumber(s, pos, n2, d2))
        return false;
    int savedPos = pos;
    bool three = scanChar(s, pos, fs.dateSeparator) && scanNumber(s, pos, n3, d3);
    if (!three)
        pos = savedPos;
    int year = 0, month = 0, day = 0;
    const int currentYear = QDate::currentDate().year();
    DateOrder order = dateOrder(fs.shortDateFormat);
    if (!three) {
        year = currentYear;
        if (order == DateOrder::MDY) {
            month = n1;
            day = n2;
        } else if (order == DateOrder::DMY) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    } else {
        int yearDigits = 0;
        switch (order) {
        case DateOrder::DMY:
            day = n1;
            month = n2;
            year = n3;
            yearDigits = d3;
            break;
        case DateOrder::MDY:
            month = n1;
            day = n2;
            year = n3;
            yearDigits = d3;
            break;
        case DateOrder::YMD:
            year = n1;
            month = n2;
            day = n3;
            yearDigits = d1;
            break;
        }
        if (yearDigits <= 2) {
            int window = fs.twoDigitYearCenturyWindow;
            int base = currentYear - window;
            year += (base / 100) * 100;
            if (window > 0 && year < base)
                year += 100;
        }
    }
    return DateTime::tryEncodeDate(year, month, day, value);
}

bool scanAmPm(const QString &s, int &pos, const FormatSettings &fs, int &kind)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    const QString rest = s.mid(pos);
    const QList<QPair<QString, int>> markers = { { fs.timeAMString, 0 }, { fs.timePMString, 1 }, { QStringLiteral("AM"), 0 },
        { QStringLiteral("PM"), 1 }, { QStringLiteral("A"), 0 }, { QStringLiteral("P"), 1 } };
    for (const auto &m : markers) {
        if (!m.first.isEmpty() && rest.startsWith(m.first, Qt::CaseInsensitive)) {
            pos += static_cast<int>(m.first.size());
            kind = m.second;
            return true;
        }
    }
    return false;
}

bool scanTime(const QString &s, int &pos, double &value, const FormatSettings &fs)
{
    int marker = -1;
    int p = pos;
    int amPmFirst = -1;
    if (scanAmPm(s, p, fs, amPmFirst))
        pos = p;
    int hour, minute = 0, second = 0, msec = 0, digits;
    if (!scanNumber(s, pos, hour, digits))
        return false;
    if (scanChar(s, pos, fs.timeSeparator)) {
        if (!scanNumber(s, pos, minute, digits))
            return false;
        if (scanChar(s, pos, fs.timeSeparator)) {
            if (!scanNumber(s, pos, second, digits))
                return false;
            if (scanChar(s, pos, fs.decimalSeparator) || scanChar(s, pos, QLatin1Char('.'))) {
                if (!scanNumber(s, pos, msec, digits))
                    return false;
            }
        }
    } else if (amPmFirst < 0) {
        // a lone number is a time only with a marker after it
        int q = pos;
        if (!scanAmPm(s, q, fs, marker))
            return false;
    }
    if (amPmFirst >= 0)
        marker = amPmFirst;
    else {
        int q = pos;
        if (scanAmPm(s, q, fs, marker))
            pos = q;
    }
    if (marker >= 0) {
        if (hour == 0 || hour > 12)
            return false;
        if (marker == 0 && hour == 12)
            hour = 0;
        else if (marker == 1 && hour < 12)
            hour += 12;
    }
    return DateTime::tryEncodeTime(hour, minute, second, msec, value);
}

bool atEnd(const QString &s, int pos)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    return pos >= s.size();
}

} // namespace

bool tryStrToInt(const QString &text, int &value)
{
    qint64 v;
    if (!parseInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v))
        return false;
    value = static_cast<int>(v);
    return true;
}

bool tryStrToInt64(const QString &text, qint64 &value)
{
    return parseInteger(text, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), value);
}

bool tryStrToFloat(const QString &text, double &value, const FormatSettings &fs)
{
    QByteArray c;
    int i = 0;
    const int n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        c.append(static_cast<char>(text[i++].unicode()));
    int mantissaDigits = 0;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        c.append(static_cast<char>(text[i++].unicode()));
        ++mantissaDigits;
    }
    if (i < n && text[i] == fs.decimalSeparator) {
        c.append('.');
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            c.append(static_cast<char>(text[i++].unicode()));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        c.append('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            c.append(static_cast<char>(text[i++].unicode()));
        int expDigits = 0;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            c.append(static_cast<char>(text[i++].unicode()));
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return false;
    errno = 0;
    double v = std::strtod(c.constData(), nullptr);
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool tryStrToCurrency(const QString &text, double &value, const FormatSettings &fs)
{
    double v;
    if (!tryStrToFloat(text, v, fs) || std::fabs(v) > 922337203685477.0)
        return false;
    value = std::round(v * 10000.0) / 10000.0;
    return true;
}

bool tryStrToDate(const QString &text, double &value, const FormatSettings &fs)
{
    int pos = 0;
    double v;
    if (!scanDate(text, pos, v, fs) || !atEnd(text, pos))
        return false;
    value = v;
    return true;
}

bool tryStrToTime(const QString &text, double &value, const FormatSettings &fs)
{
    int pos = 0;
    double v;
    if (!scanTime(text, pos, v, fs) || !atEnd(text, pos))
        return false;
    value = v;
    return true;
}

bool tryStrToDateTime(const QString &text, double &value, const FormatSettings &fs)
{
    int pos = 0;
    double date;
    if (scanDate(text, pos, date, fs)) {
        double time = 0;
        if (atEnd(text, pos)) {
            value = date;
            return true;
        }
        if (scanTime(text, pos, time, fs) && atEnd(text, pos)) {
            value = date >= 0 ? date + time : date - time;
            return true;
        }
    }
    return tryStrToTime(text, value, fs);
}

QString invalidIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString invalidFloatMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

QString invalidDateMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid date").arg(text);
}

QString invalidTimeMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid time").arg(text);
}

QString invalidDateTimeMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid date and time").arg(text);
}
