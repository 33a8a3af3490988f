#pragma once

#include "core/FormatSettings.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class Field;

// ---------------------------------------------------------------------------
// Delimited lines (the text source and the wizard's preview of it)
// ---------------------------------------------------------------------------

// Fills list with the fields of line, left to right. A field that starts with
// quote (when quote is not 0) is quoted: the separator is part of it, a doubled
// quote is one literal quote, and whatever follows its closing quote up to the
// next separator is dropped. Other fields run to the next separator and keep
// any quote characters. The last field is always added, even when empty.
// With maxFields 0 or above no more than that many fields are kept: the
// rest of the line is not looked at.
void splitDelimitedLine(const QString &line, QChar quote, QChar separator, QStringList &list, qsizetype maxFields = -1);
// The same fields handed one by one to take, which answers false to stop:
// a line of millions of fields then needs no list of them.
void forEachDelimitedField(const QString &line, QChar quote, QChar separator, const std::function<bool(const QString &)> &take);

// End of delimited lines
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Number, date and boolean settings of an import
// ---------------------------------------------------------------------------

// The texts an import reads numbers, dates, booleans and nulls with. The
// eight number and date settings start as the process's; while an import
// runs they are installed as the process's own, so that every conversion and
// the log's time stamps follow the import.
class ImportFormats
{
public:
    ImportFormats();
    // Copies the eleven settings; a pending saved copy stays with its owner.
    ImportFormats(const ImportFormats &other);
    ImportFormats &operator=(const ImportFormats &other);
    void assign(const ImportFormats &other) { *this = other; }

    QChar decimalSeparator;
    QChar thousandSeparator;
    QString shortDateFormat;
    QString longDateFormat;
    QChar dateSeparator;
    QString shortTimeFormat;
    QString longTimeFormat;
    QChar timeSeparator;
    QStringList booleanTrue;
    QStringList booleanFalse;
    QStringList nullValues;

    // Saves the process's eight settings and makes these the process's.
    // Installing twice keeps the first saved copy.
    void installFormats();
    // Puts the saved settings back; nothing when none were saved.
    void restoreFormats();
    bool installed() const { return m_saved.has_value(); }

    // base with the eight settings of this object.
    FormatSettings settings(const FormatSettings &base = FormatSettings::current()) const;

private:
    std::optional<FormatSettings> m_saved; // the process's settings before InstallFormats
};

// One of the eight number and date settings: its member here, its member in
// the process's FormatSettings and its key in a template's base formats. A
// setting is a separator (one character) or a format (a text). Copies, the
// process's settings and templates all go by the one list below.
struct BaseFormatField
{
    const char *key;
    QChar ImportFormats::*separator = nullptr;
    QChar FormatSettings::*separatorSetting = nullptr;
    QString ImportFormats::*format = nullptr;
    QString FormatSettings::*formatSetting = nullptr;
};

// The eight, in the order templates write them.
const std::array<BaseFormatField, 8> &baseFormatFields();

// Field separator of delimited files when none is set: ";" where numbers are
// written with a decimal comma (so the comma stays inside values), else ",".
QChar defaultTextDelimiter(const FormatSettings &settings = FormatSettings::current());

// Installs formats for the life of the guard (tests and previews).
class ImportFormatsGuard
{
public:
    explicit ImportFormatsGuard(ImportFormats &formats)
        : m_formats(formats)
    {
        m_formats.installFormats();
    }
    ~ImportFormatsGuard() { m_formats.restoreFormats(); }
    ImportFormatsGuard(const ImportFormatsGuard &) = delete;
    ImportFormatsGuard &operator=(const ImportFormatsGuard &) = delete;

private:
    ImportFormats &m_formats;
};

// ---------------------------------------------------------------------------
// Per-column field formats
// ---------------------------------------------------------------------------

enum ImportQuoteAction { qaNone, qaAdd, qaRemove };
enum ImportCharCase { iccNone, iccUpper, iccLower, iccUpperFirst, iccUpperFirstWord };
enum ImportCharSet { icsNone, icsAnsi, icsOem };

class FieldReplacement
{
public:
    QString textToFind;
    QString replaceWith;
    bool ignoreCase = false;

    // "find - replace", as lists show it.
    QString displayText() const;
    bool sameAs(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const;
};

// Replacements of one column, applied in order.
class FieldReplacements
{
public:
    int count() const { return int(m_items.size()); }
    FieldReplacement &at(int i) { return m_items[i]; }
    const FieldReplacement &at(int i) const { return m_items[i]; }
    FieldReplacement &add();
    FieldReplacement &add(const QString &textToFind, const QString &replaceWith, bool ignoreCase = false);
    void removeAt(int i) { m_items.removeAt(i); }
    void clear() { m_items.clear(); }
    // Whether an item holds the same three values (texts compared exactly).
    bool contains(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    QList<FieldReplacement> m_items;
};

// How one destination column's text is prepared. In ConstantValue, NullValue
// and DefaultValue the text "''" stands for the empty text.
class FieldFormat
{
public:
    QString fieldName;
    qint64 generatorValue = 0;
    qint64 generatorStep = 0;
    QString constantValue;
    QString nullValue;
    QString defaultValue;
    QString leftQuote;
    QString rightQuote;
    ImportQuoteAction quoteAction = qaNone;
    ImportCharCase charCase = iccNone;
    ImportCharSet charSet = icsNone;
    FieldReplacements replacements;

    // True when nothing but the name is set (such an item changes nothing).
    bool isEmpty() const;
};

class FieldFormats
{
public:
    int count() const { return int(m_items.size()); }
    FieldFormat &at(int i) { return m_items[i]; }
    const FieldFormat &at(int i) const { return m_items[i]; }
    FieldFormat &add(const QString &fieldName = QString());
    void removeAt(int i) { m_items.removeAt(i); }
    void clear() { m_items.clear(); }
    // The first item for that column, without regard to case; -1 or null when none.
    int indexOfName(const QString &fieldName) const;
    FieldFormat *findByName(const QString &fieldName);
    const FieldFormat *findByName(const QString &fieldName) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    QList<FieldFormat> m_items;
};

// A counter column of one import: each value is the previous one plus the
// step, the first being start + step.
class ValueGenerator
{
public:
    ValueGenerator(const QString &fieldName, qint64 value, qint64 step)
        : fieldName(fieldName)
        , value(value)
        , step(step)
    {
    }
    qint64 nextValue();

    QString fieldName;
    qint64 value;
    qint64 step;
};

class ValueGenerators
{
public:
    int count() const { return int(m_items.size()); }
    ValueGenerator &at(int i) { return m_items[i]; }
    int add(const QString &fieldName, qint64 value, qint64 step);
    int indexOfName(const QString &fieldName) const;
    void clear() { m_items.clear(); }

private:
    QList<ValueGenerator> m_items;
};

// Twelve short and twelve long month names for "MMM" and "MMMM" dates, taken
// from the user's regional settings at first use, English where the system
// gives none. Writable so that tests and the wizard can fix them.
struct MonthNames
{
    QStringList shortNames;
    QStringList longNames;
};
MonthNames &importMonthNames();

// ---------------------------------------------------------------------------
// Text preparation and conversion
// ---------------------------------------------------------------------------

// Applies format to value: the counter's next value when there is a counter
// (nothing else then); otherwise null-to-default substitution or the constant,
// the replacements (unless substituted), quotes, letter case and character set.
void applyFieldFormat(QString &value, const FieldFormat &format, ValueGenerator *generator = nullptr);

// Every occurrence of find in text, left to right without overlaps, replaced;
// ignoreCase compares the letters a to z only without regard to case.
QString replaceText(const QString &text, const QString &find, const QString &replace, bool ignoreCase);

// Single-byte code pages: OEM (850) and ANSI (1252), one character for one.
QString oemToAnsi(const QString &text);
QString ansiToOem(const QString &text);

// Sets field from text by its type; returns the error text as written (the
// error log keeps it so), empty on success.
// Null texts, booleans and nulls come from formats; numbers and dates are read
// with the process settings, which an import makes its own while it runs.
QString convertValue(Field *field, const QString &text, const ImportFormats &formats);

// The process's date parsing, then format-driven parsing with the short date
// format, then a day count.
bool tryParseDateTime(const QString &text, double &value);
// Reads text by a date format (Y M MMM MMMM D H N S AP tokens, other
// characters literal); 0 when it does not fit.
double parseDateByFormat(const QString &text, const QString &format);

// End of import values
// ---------------------------------------------------------------------------
