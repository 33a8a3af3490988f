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
void SplitDelimitedLine(const QString &line, QChar quote, QChar separator, QStringList &list, qsizetype maxFields = -1);
// The same fields handed one by one to take, which answers false to stop:
// a line of millions of fields then needs no list of them.
void ForEachDelimitedField(const QString &line, QChar quote, QChar separator, const std::function<bool(const QString &)> &take);

// End of delimited lines
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Number, date and boolean settings of an import
// ---------------------------------------------------------------------------

// The texts an import reads numbers, dates, booleans and nulls with. The
// eight number and date settings start as the process's; while an import
// runs they are installed as the process's own, so that every conversion and
// the log's time stamps follow the import.
class TDataImportFormats
{
public:
    TDataImportFormats();
    // Copies the eleven settings; a pending saved copy stays with its owner.
    TDataImportFormats(const TDataImportFormats &other);
    TDataImportFormats &operator=(const TDataImportFormats &other);
    void Assign(const TDataImportFormats &other) { *this = other; }

    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QString ShortDateFormat;
    QString LongDateFormat;
    QChar DateSeparator;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QChar TimeSeparator;
    QStringList BooleanTrue;
    QStringList BooleanFalse;
    QStringList NullValues;

    // Saves the process's eight settings and makes these the process's.
    // Installing twice keeps the first saved copy.
    void InstallFormats();
    // Puts the saved settings back; nothing when none were saved.
    void RestoreFormats();
    bool Installed() const { return m_saved.has_value(); }

    // base with the eight settings of this object.
    FormatSettings Settings(const FormatSettings &base = FormatSettings::current()) const;

private:
    std::optional<FormatSettings> m_saved; // the process's settings before InstallFormats
};

// One of the eight number and date settings: its member here, its member in
// the process's FormatSettings and its key in a template's base formats. A
// setting is a separator (one character) or a format (a text). Copies, the
// process's settings and templates all go by the one list below.
struct TBaseFormatField
{
    const char *Key;
    QChar TDataImportFormats::*Separator = nullptr;
    QChar FormatSettings::*SeparatorSetting = nullptr;
    QString TDataImportFormats::*Format = nullptr;
    QString FormatSettings::*FormatSetting = nullptr;
};

// The eight, in the order templates write them.
const std::array<TBaseFormatField, 8> &BaseFormatFields();

// Field separator of delimited files when none is set: ";" where numbers are
// written with a decimal comma (so the comma stays inside values), else ",".
QChar DefaultTextDelimiter(const FormatSettings &settings = FormatSettings::current());

// Installs formats for the life of the guard (tests and previews).
class TDataImportFormatsGuard
{
public:
    explicit TDataImportFormatsGuard(TDataImportFormats &formats)
        : m_formats(formats)
    {
        m_formats.InstallFormats();
    }
    ~TDataImportFormatsGuard() { m_formats.RestoreFormats(); }
    TDataImportFormatsGuard(const TDataImportFormatsGuard &) = delete;
    TDataImportFormatsGuard &operator=(const TDataImportFormatsGuard &) = delete;

private:
    TDataImportFormats &m_formats;
};

// ---------------------------------------------------------------------------
// Per-column field formats
// ---------------------------------------------------------------------------

enum TQuoteAction { qaNone, qaAdd, qaRemove };
enum TImportCharCase { iccNone, iccUpper, iccLower, iccUpperFirst, iccUpperFirstWord };
enum TImportCharSet { icsNone, icsAnsi, icsOem };

class TDataImportReplacement
{
public:
    QString TextToFind;
    QString ReplaceWith;
    bool IgnoreCase = false;

    // "find - replace", as lists show it.
    QString DisplayText() const;
    bool SameAs(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const;
};

// Replacements of one column, applied in order.
class TDataImportReplacements
{
public:
    int Count() const { return int(m_items.size()); }
    TDataImportReplacement &Items(int i) { return m_items[i]; }
    const TDataImportReplacement &Items(int i) const { return m_items[i]; }
    TDataImportReplacement &Add();
    TDataImportReplacement &Add(const QString &textToFind, const QString &replaceWith, bool ignoreCase = false);
    void Delete(int i) { m_items.removeAt(i); }
    void Clear() { m_items.clear(); }
    // Whether an item holds the same three values (texts compared exactly).
    bool Contains(const QString &textToFind, const QString &replaceWith, bool ignoreCase) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    QList<TDataImportReplacement> m_items;
};

// How one destination column's text is prepared. In ConstantValue, NullValue
// and DefaultValue the text "''" stands for the empty text.
class TDataImportFieldFormat
{
public:
    QString FieldName;
    qint64 GeneratorValue = 0;
    qint64 GeneratorStep = 0;
    QString ConstantValue;
    QString NullValue;
    QString DefaultValue;
    QString LeftQuote;
    QString RightQuote;
    TQuoteAction QuoteAction = qaNone;
    TImportCharCase CharCase = iccNone;
    TImportCharSet CharSet = icsNone;
    TDataImportReplacements Replacements;

    // True when nothing but the name is set (such an item changes nothing).
    bool IsEmpty() const;
};

class TDataImportFieldFormats
{
public:
    int Count() const { return int(m_items.size()); }
    TDataImportFieldFormat &Items(int i) { return m_items[i]; }
    const TDataImportFieldFormat &Items(int i) const { return m_items[i]; }
    TDataImportFieldFormat &Add(const QString &fieldName = QString());
    void Delete(int i) { m_items.removeAt(i); }
    void Clear() { m_items.clear(); }
    // The first item for that column, without regard to case; -1 or null when none.
    int IndexOfName(const QString &fieldName) const;
    TDataImportFieldFormat *FindByName(const QString &fieldName);
    const TDataImportFieldFormat *FindByName(const QString &fieldName) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    QList<TDataImportFieldFormat> m_items;
};

// A counter column of one import: each value is the previous one plus the
// step, the first being start + step.
class TDataImportGenerator
{
public:
    TDataImportGenerator(const QString &fieldName, qint64 value, qint64 step)
        : FieldName(fieldName)
        , Value(value)
        , Step(step)
    {
    }
    qint64 NextValue();

    QString FieldName;
    qint64 Value;
    qint64 Step;
};

class TDataImportGenerators
{
public:
    int Count() const { return int(m_items.size()); }
    TDataImportGenerator &Items(int i) { return m_items[i]; }
    int Add(const QString &fieldName, qint64 value, qint64 step);
    int IndexOfName(const QString &fieldName) const;
    void Clear() { m_items.clear(); }

private:
    QList<TDataImportGenerator> m_items;
};

// Twelve short and twelve long month names for "MMM" and "MMMM" dates, taken
// from the user's regional settings at first use, English where the system
// gives none. Writable so that tests and the wizard can fix them.
struct TDataImportMonthNames
{
    QStringList ShortNames;
    QStringList LongNames;
};
TDataImportMonthNames &ImportMonthNames();

// ---------------------------------------------------------------------------
// Text preparation and conversion
// ---------------------------------------------------------------------------

// Applies format to value: the counter's next value when there is a counter
// (nothing else then); otherwise null-to-default substitution or the constant,
// the replacements (unless substituted), quotes, letter case and character set.
void ApplyFieldFormat(QString &value, const TDataImportFieldFormat &format, TDataImportGenerator *generator = nullptr);

// Every occurrence of find in text, left to right without overlaps, replaced;
// ignoreCase compares the letters a to z only without regard to case.
QString ReplaceText(const QString &text, const QString &find, const QString &replace, bool ignoreCase);

// Single-byte code pages: OEM (850) and ANSI (1252), one character for one.
QString OemToAnsi(const QString &text);
QString AnsiToOem(const QString &text);

// Sets field from text by its type; returns the error text, empty on success.
// Null texts, booleans and nulls come from formats; numbers and dates are read
// with the process settings, which an import makes its own while it runs.
QString ConvertValue(Field *field, const QString &text, const TDataImportFormats &formats);

// The process's date parsing, then format-driven parsing with the short date
// format, then a day count.
bool TryParseDateTime(const QString &text, double &value);
// Reads text by a date format (Y M MMM MMMM D H N S AP tokens, other
// characters literal); 0 when it does not fit.
double ParseDateByFormat(const QString &text, const QString &format);

// End of import values
// ---------------------------------------------------------------------------
