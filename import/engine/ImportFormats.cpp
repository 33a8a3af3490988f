#include "import/engine/ImportFormats.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Field.h"
#include "import/engine/ImportMessages.h"

#include <array>
#include <cmath>
#include <iconv.h>
#include <type_traits>

// ---------------------------------------------------------------------------
// Delimited lines
// ---------------------------------------------------------------------------

void forEachDelimitedField(const QString &line, QChar quote, QChar separator, const std::function<bool(const QString &)> &take)
{
    enum class State { FieldStart, Plain, Quoted, AfterQuote, Dropping };

    QString field;
    State state = State::FieldStart;
    const bool quoting = quote != QChar(0);
    auto endField = [&] {
        const bool more = take(field);
        field.clear();
        state = State::FieldStart;
        return more;
    };

    for (const QChar c : line) {
        switch (state) {
        case State::FieldStart:
            if (quoting && c == quote) {
                state = State::Quoted;
                break;
            }
            state = State::Plain;
            [[fallthrough]];
        case State::Plain:
            if (c == separator) {
                if (!endField())
                    return;
            } else {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == quote)
                state = State::AfterQuote;
            else
                field += c;
            break;
        case State::AfterQuote:
            if (c == quote) {
                field += c;
                state = State::Quoted;
            } else if (c == separator) {
                if (!endField())
                    return;
            } else {
                // Text glued to a closing quote is not part of the value.
                state = State::Dropping;
            }
            break;
        case State::Dropping:
            if (c == separator && !endField())
                return;
            break;
        }
    }
    take(field);
}

void splitDelimitedLine(const QString &line, QChar quote, QChar separator, QStringList &list, qsizetype maxFields)
{
    list.clear();
    if (maxFields == 0)
        return;
    forEachDelimitedField(line, quote, separator, [&](const QString &field) {
        list.append(field);
        return maxFields < 0 || list.size() < maxFields;
    });
}

// End of delimited lines
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Number, date and boolean settings of an import
// ---------------------------------------------------------------------------

const std::array<BaseFormatField, 8> &baseFormatFields()
{
    using F = ImportFormats;
    using S = FormatSettings;
    static const std::array<BaseFormatField, 8> fields { {
        { "DecimalSeparator", &F::decimalSeparator, &S::decimalSeparator },
        { "ThousandSeparator", &F::thousandSeparator, &S::thousandSeparator },
        { "ShortDateFormat", nullptr, nullptr, &F::shortDateFormat, &S::shortDateFormat },
        { "LongDateFormat", nullptr, nullptr, &F::longDateFormat, &S::longDateFormat },
        { "DateSeparator", &F::dateSeparator, &S::dateSeparator },
        { "ShortTimeFormat", nullptr, nullptr, &F::shortTimeFormat, &S::shortTimeFormat },
        { "LongTimeFormat", nullptr, nullptr, &F::longTimeFormat, &S::longTimeFormat },
        { "TimeSeparator", &F::timeSeparator, &S::timeSeparator },
    } };
    return fields;
}

QChar defaultTextDelimiter(const FormatSettings &settings)
{
    return settings.decimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

namespace {

// A setting's member in either holder of the eight.
template <typename Holder> auto &separatorOf(Holder &holder, const BaseFormatField &field)
{
    if constexpr (std::is_same_v<std::remove_const_t<Holder>, FormatSettings>)
        return holder.*field.separatorSetting;
    else
        return holder.*field.separator;
}

template <typename Holder> auto &formatOf(Holder &holder, const BaseFormatField &field)
{
    if constexpr (std::is_same_v<std::remove_const_t<Holder>, FormatSettings>)
        return holder.*field.formatSetting;
    else
        return holder.*field.format;
}

template <typename To, typename From> void copyBaseFormats(To &to, const From &from)
{
    for (const BaseFormatField &field : baseFormatFields()) {
        if (field.separator)
            separatorOf(to, field) = separatorOf(from, field);
        else
            formatOf(to, field) = formatOf(from, field);
    }
}

} // namespace

ImportFormats::ImportFormats()
{
    copyBaseFormats(*this, FormatSettings::current());
    booleanTrue = QStringList { loadMessage(ImportMsg::TrueText) };
    booleanFalse = QStringList { loadMessage(ImportMsg::FalseText) };
    nullValues = QStringList { loadMessage(ImportMsg::NullText) };
}

ImportFormats::ImportFormats(const ImportFormats &other)
{
    *this = other;
}

ImportFormats &ImportFormats::operator=(const ImportFormats &other)
{
    copyBaseFormats(*this, other);
    booleanTrue = other.booleanTrue;
    booleanFalse = other.booleanFalse;
    nullValues = other.nullValues;
    return *this;
}

FormatSettings ImportFormats::settings(const FormatSettings &base) const
{
    FormatSettings fs = base;
    copyBaseFormats(fs, *this);
    return fs;
}

void ImportFormats::installFormats()
{
    const FormatSettings &current = FormatSettings::current();
    if (!m_saved)
        m_saved = current;
    FormatSettings::setCurrent(settings(current));
}

void ImportFormats::restoreFormats()
{
    if (!m_saved)
        return;
    // Only the eight go back: whatever else changed meanwhile stays.
    FormatSettings fs = FormatSettings::current();
    copyBaseFormats(fs, *m_saved);
    FormatSettings::setCurrent(fs);
    m_saved.reset();
}

// ---------------------------------------------------------------------------
// Per-column field formats
// ---------------------------------------------------------------------------

namespace {

const QString EmptyMark = QStringLiteral("''");

// "''" written in a field format stands for the empty text.
QString unmark(const QString &text)
{
    return text == EmptyMark ? QString() : text;
}

} // namespace

QString FieldReplacement::displayText() const
{
    return QStringLiteral("%1 - %2").arg(textToFind, replaceWith);
}

bool FieldReplacement::sameAs(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const
{
    return this->textToFind == textToFind && this->replaceWith == replaceWith && this->ignoreCase == ignoreCase;
}

FieldReplacement &FieldReplacements::add()
{
    m_items.append(FieldReplacement());
    return m_items.last();
}

FieldReplacement &FieldReplacements::add(const QString &textToFind, const QString &replaceWith, bool ignoreCase)
{
    FieldReplacement &r = add();
    r.textToFind = textToFind;
    r.replaceWith = replaceWith;
    r.ignoreCase = ignoreCase;
    return r;
}

bool FieldReplacements::contains(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const
{
    for (const FieldReplacement &r : m_items)
        if (r.sameAs(textToFind, replaceWith, ignoreCase))
            return true;
    return false;
}

bool FieldFormat::isEmpty() const
{
    return generatorValue == 0 && generatorStep == 0 && constantValue.isEmpty() && nullValue.isEmpty() && defaultValue.isEmpty()
        && leftQuote.isEmpty() && rightQuote.isEmpty() && quoteAction == qaNone && charCase == iccNone && charSet == icsNone
        && replacements.count() == 0;
}

FieldFormat &FieldFormats::add(const QString &fieldName)
{
    m_items.append(FieldFormat());
    m_items.last().fieldName = fieldName;
    return m_items.last();
}

int FieldFormats::indexOfName(const QString &fieldName) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

FieldFormat *FieldFormats::findByName(const QString &fieldName)
{
    const int i = indexOfName(fieldName);
    return i < 0 ? nullptr : &m_items[i];
}

const FieldFormat *FieldFormats::findByName(const QString &fieldName) const
{
    const int i = indexOfName(fieldName);
    return i < 0 ? nullptr : &m_items[i];
}

qint64 ValueGenerator::nextValue()
{
    // Wraps like the machine's integers instead of overflowing into undefined behaviour.
    value = static_cast<qint64>(static_cast<quint64>(value) + static_cast<quint64>(step));
    return value;
}

int ValueGenerators::add(const QString &fieldName, qint64 value, qint64 step)
{
    m_items.append(ValueGenerator(fieldName, value, step));
    return int(m_items.size()) - 1;
}

int ValueGenerators::indexOfName(const QString &fieldName) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

MonthNames &importMonthNames()
{
    static MonthNames names = [] {
        MonthNames n;
        n.shortNames = QStringList { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
        n.longNames = QStringList { "January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
            "November", "December" };
        const FormatSettings regional = FormatSettings::fromSystemLocale();
        for (int m = 0; m < 12; ++m) {
            if (!regional.shortMonthNames.value(m).isEmpty())
                n.shortNames[m] = regional.shortMonthNames.value(m);
            if (!regional.longMonthNames.value(m).isEmpty())
                n.longNames[m] = regional.longMonthNames.value(m);
        }
        return n;
    }();
    return names;
}

// ---------------------------------------------------------------------------
// Text preparation
// ---------------------------------------------------------------------------

QString replaceText(const QString &text, const QString &find, const QString &replace, bool ignoreCase)
{
    if (text.isEmpty() || find.isEmpty())
        return text;
    auto same = [ignoreCase](QChar a, QChar b) {
        if (a == b)
            return true;
        if (!ignoreCase)
            return false;
        auto fold = [](char16_t c) -> char16_t { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        return fold(a.unicode()) == fold(b.unicode());
    };
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size(), m = find.size();
    qsizetype i = 0;
    while (i < n) {
        bool match = i + m <= n;
        for (qsizetype k = 0; match && k < m; ++k)
            match = same(text[i + k], find[k]);
        if (match) {
            out += replace;
            i += m;
        } else {
            out += text[i++];
        }
    }
    return out;
}

namespace {

// One byte of one code page to the other, through iconv; a byte the target
// cannot hold becomes "?" so that the text keeps its length.
std::array<char, 256> codePageTable(const char *to, const char *from)
{
    std::array<char, 256> table;
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<char>(b);
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return table; // no converter on this system: the text stays as it is
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8];
        char *pin = &in;
        char *pout = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &pin, &inLeft, &pout, &outLeft);
        table[b] = (r != static_cast<size_t>(-1) && pout - out == 1) ? out[0] : '?';
    }
    iconv_close(cd);
    return table;
}

QString convertCodePage(const QString &text, const std::array<char, 256> &table)
{
    QByteArray bytes = Cp1252::fromUnicode(text);
    for (char &c : bytes)
        c = table[static_cast<unsigned char>(c)];
    return Cp1252::toUnicode(bytes);
}

} // namespace

QString oemToAnsi(const QString &text)
{
    static const std::array<char, 256> table = codePageTable("CP1252", "CP850");
    return convertCodePage(text, table);
}

QString ansiToOem(const QString &text)
{
    static const std::array<char, 256> table = codePageTable("CP850", "CP1252");
    return convertCodePage(text, table);
}

void applyFieldFormat(QString &value, const FieldFormat &format, ValueGenerator *generator)
{
    if (generator) {
        value = QString::number(generator->nextValue());
        return;
    }
    bool substituted = false;
    if (!format.defaultValue.isEmpty() && !format.nullValue.isEmpty()
        && ((format.nullValue == EmptyMark && value.isEmpty()) || value.compare(format.nullValue, Qt::CaseInsensitive) == 0)) {
        value = unmark(format.defaultValue);
        substituted = true;
    }
    if (!format.constantValue.isEmpty()) {
        value = unmark(format.constantValue);
        substituted = true;
    }
    if (!substituted)
        for (const FieldReplacement &r : format.replacements)
            value = replaceText(value, r.textToFind, r.replaceWith, r.ignoreCase);

    switch (format.quoteAction) {
    case qaAdd:
        value = format.leftQuote + value + format.rightQuote;
        break;
    case qaRemove:
        if (!format.leftQuote.isEmpty() && value.startsWith(format.leftQuote))
            value.remove(0, format.leftQuote.size());
        if (!format.rightQuote.isEmpty() && value.endsWith(format.rightQuote))
            value.chop(format.rightQuote.size());
        break;
    case qaNone:
        break;
    }

    switch (format.charCase) {
    case iccUpper:
        value = value.toUpper();
        break;
    case iccLower:
        value = value.toLower();
        break;
    case iccUpperFirst:
        if (!value.isEmpty())
            value[0] = value[0].toUpper();
        break;
    case iccUpperFirstWord: {
        bool afterBlank = true;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] == QLatin1Char(' ')) {
                afterBlank = true;
            } else {
                if (afterBlank)
                    value[i] = value[i].toUpper();
                afterBlank = false;
            }
        }
        break;
    }
    case iccNone:
        break;
    }

    if (value.isEmpty())
        return;
    if (format.charSet == icsAnsi)
        value = oemToAnsi(value);
    else if (format.charSet == icsOem)
        value = ansiToOem(value);
}
