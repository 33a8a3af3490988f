#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Field.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"

#include <array>
#include <cmath>

// A value read from a source, written into a destination field by the
// field's type; dates read by the import's formats.

// ---------------------------------------------------------------------------
// Conversion into a field
// ---------------------------------------------------------------------------

namespace {

bool containsText(const QStringList &list, const QString &text)
{
    for (const QString &item : list)
        if (item.compare(text, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

enum class TypeClass { Text, Integer, Boolean, Float, DateTime, None };

TypeClass typeClass(FieldType type)
{
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        return TypeClass::Text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
        return TypeClass::Integer;
    case FieldType::Boolean:
        return TypeClass::Boolean;
    case FieldType::Float:
    case FieldType::Bcd:
        return TypeClass::Float;
    case FieldType::DateTime:
    case FieldType::Date:
    case FieldType::Time:
        return TypeClass::DateTime;
    default:
        return TypeClass::None;
    }
}

void replaceFirstPoint(QString &text, QChar decimalSeparator)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text[dot] = decimalSeparator;
}

void convertInteger(Field &field, const QString &text, const ImportFormats &formats)
{
    if (text.isEmpty()) {
        field.clear();
        return;
    }
    const FormatSettings &fs = FormatSettings::current();
    QString number = text;
    number.remove(fs.thousandSeparator);
    replaceFirstPoint(number, fs.decimalSeparator);
    double value = 0;
    if (tryStrToFloat(number, value, fs)) {
        const double whole = std::trunc(value);
        // A value the column cannot hold is refused rather than cut to its low bits.
        if (field.type() == FieldType::LargeInt) {
            if (whole < -9223372036854775808.0 || whole >= 9223372036854775808.0)
                throw Error(invalidIntegerMessage(text));
            field.setValue(static_cast<qint64>(whole));
        } else {
            if (whole < -2147483648.0 || whole > 2147483647.0)
                throw Error(invalidIntegerMessage(text));
            field.setValue(static_cast<int>(whole));
        }
        return;
    }
    if (containsText(formats.booleanTrue, text))
        field.setValue(1);
    else if (containsText(formats.booleanFalse, text))
        field.setValue(0);
    else
        throw Error(invalidFloatMessage(text));
}

void convertFloat(Field &field, const QString &text)
{
    const FormatSettings &fs = FormatSettings::current();
    QString number = text;
    replaceFirstPoint(number, fs.decimalSeparator);
    if (number.toUpper() == QLatin1String("NULL") || number.trimmed().isEmpty()) {
        field.clear();
        return;
    }
    number.remove(fs.thousandSeparator);
    double value = 0;
    if (!tryStrToFloat(number, value, fs))
        throw Error(invalidFloatMessage(text));
    field.setValue(value);
}

void convertDateTime(Field &field, const QString &text)
{
    if (text.isEmpty()) {
        field.clear();
        return;
    }
    double value = 0;
    if (!tryParseDateTime(text, value)) {
        field.clear();
        throw dataImportError(ImportMsg::WrongDateFormat, { text });
    }
    field.setValue(QVariant::fromValue(TimeStamp { value }));
}

} // namespace

QString convertValue(Field *field, const QString &text, const ImportFormats &formats)
{
    if (!field)
        return QString();
    try {
        if (containsText(formats.nullValues, text.trimmed())) {
            field->clear();
            return QString();
        }
        switch (typeClass(field->type())) {
        case TypeClass::Text:
            field->setValue(text);
            break;
        case TypeClass::Integer:
            convertInteger(*field, text, formats);
            break;
        case TypeClass::Boolean:
            field->setValue(containsText(formats.booleanTrue, text));
            break;
        case TypeClass::Float:
            convertFloat(*field, text);
            break;
        case TypeClass::DateTime:
            convertDateTime(*field, text);
            break;
        case TypeClass::None:
            throw dataImportError(ImportMsg::UnknownFieldType);
        }
    } catch (const Error &e) {
        // Told in the error log, which keeps its lines as written.
        return e.sourceText();
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Dates
// ---------------------------------------------------------------------------

namespace {

// Day counts of 1/1/0001 and 31/12/9999: beyond them no date exists.
constexpr double FirstDay = -693593.0;
constexpr double LastDay = 2958466.0;

// Reads a date by a format token by token; the state of one parse.
class DateByFormat
{
public:
    DateByFormat(const QString &text, const QString &format)
        : m_text(text)
        , m_format(format.toUpper())
    {
    }

    double parse()
    {
        while (!m_format.isEmpty()) {
            if (!step())
                return 0;
        }
        double date = 0, time = 0;
        if (!DateTime::tryEncodeDate(m_year, m_month, m_day, date) || !DateTime::tryEncodeTime(m_hour, m_minute, m_second, 0, time))
            return 0;
        return date >= 0 ? date + time : date - time;
    }

private:
    // Position (from 1) of token in what is left of the format; 0 when absent.
    int pos(const char *token) const { return int(m_format.indexOf(QLatin1String(token))) + 1; }
    int textLength() const { return int(m_text.size()); }

    // The numeric field of width characters at position p of the text.
    bool number(int tokenLength, int p, int width, int &result)
    {
        const QString part = m_text.mid(p - 1, width);
        int kept = int(part.size());
        int value = 0;
        if (!tryStrToInt(part, value) || value == 0) {
            QString digits;
            for (QChar c : part)
                if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                    digits += c;
            kept = int(digits.size());
            value = digits.isEmpty() ? 0 : digits.toInt();
            if (value == 0)
                return false;
        }
        if (textLength() < kept || m_format.size() < tokenLength)
            return false;
        m_format.remove(0, tokenLength);
        m_text.remove(0, kept);
        result = value;
        return true;
    }

    // A one- or two-letter token (DD/D, HH/H ...).
    bool pair(const char *two, const char *one, int &result)
    {
        int p = pos(two);
        if (p > 0 && p < textLength())
            return number(2, p, 2, result);
        p = pos(one);
        if (p > 0 && p <= textLength())
            return number(1, p, 1, result);
        return false;
    }

    bool monthName(const QStringList &names, int tokenLength)
    {
        const QString upper = m_text.toUpper();
        for (int m = 0; m < names.size() && m < 12; ++m) {
            const QString name = names[m].toUpper();
            if (!name.isEmpty() && upper.contains(name)) {
                m_month = m + 1;
                m_format.remove(0, tokenLength);
                m_text.remove(0, name.size());
                return true;
            }
        }
        return false;
    }

    bool step()
    {
        const int n = textLength();
        int p = 0;
        switch (m_format[0].unicode()) {
        case 'Y': {
            int value = 0;
            if ((p = pos("YYYY")) > 0 && p < n)
                return number(4, p, 4, m_year);
            if ((p = pos("YY")) > 0 && p < n) {
                if (!number(2, p, 2, value))
                    return false;
            } else if ((p = pos("Y")) > 0 && p <= n) {
                if (!number(1, p, 1, value))
                    return false;
            } else {
                return false;
            }
            m_year = 2000 + value;
            return true;
        }
        case 'M':
            if ((p = pos("MMMM")) > 0 && p < n)
                return monthName(importMonthNames().longNames, 4);
            if ((p = pos("MMM")) > 0 && p < n)
                return monthName(importMonthNames().shortNames, 3);
            return pair("MM", "M", m_month);
        case 'D':
            return pair("DD", "D", m_day);
        case 'H':
            return pair("HH", "H", m_hour);
        case 'N':
            return pair("NN", "N", m_minute);
        case 'S':
            return pair("SS", "S", m_second);
        case 'A':
            if ((p = pos("AP")) > 0 && p < n) {
                const QChar first = m_text[p - 1];
                if (first == QLatin1Char('P') || first == QLatin1Char('p')) {
                    if (m_hour < 12)
                        m_hour += 12;
                } else if (m_hour == 12) {
                    m_hour = 0;
                }
                m_format.remove(0, 2);
                m_text.remove(0, 2);
                return true;
            }
            break;
        default:
            break;
        }
        if (!m_text.isEmpty() && m_text[0] == m_format[0]) {
            m_text.remove(0, 1);
            m_format.remove(0, 1);
            return true;
        }
        return false;
    }

    QString m_text;
    QString m_format;
    int m_year = 0, m_month = 0, m_day = 0;
    int m_hour = 0, m_minute = 0, m_second = 0;
};

} // namespace

double parseDateByFormat(const QString &text, const QString &format)
{
    if (text.isEmpty() || format.size() < 5 || format.size() < text.size())
        return 0;
    return DateByFormat(text, format).parse();
}

bool tryParseDateTime(const QString &text, double &value)
{
    const FormatSettings &fs = FormatSettings::current();
    double v = 0;
    if (tryStrToDateTime(text, v, fs)) {
        value = v;
        return true;
    }
    v = parseDateByFormat(text, fs.shortDateFormat);
    if (v != 0) {
        value = v;
        return true;
    }
    // A day count; one outside the calendar would only fail later, in the database.
    if (tryStrToFloat(text, v, fs) && v >= FirstDay && v < LastDay) {
        value = v;
        return true;
    }
    return false;
}

// End of import values
// ---------------------------------------------------------------------------
