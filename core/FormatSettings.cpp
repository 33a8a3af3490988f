#include "core/FormatSettings.h"

#include <QLocale>

namespace {
const QStringList EnglishShortMonths = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
const QStringList EnglishLongMonths
    = { "January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November", "December" };
const QStringList EnglishShortDays = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
const QStringList EnglishLongDays = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };

FormatSettings &currentInstance()
{
    static FormatSettings settings = FormatSettings::fromSystemLocale();
    return settings;
}

QChar firstSeparator(const QString &pattern, QChar fallback)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && c != QLatin1Char(' '))
            return c;
    }
    return fallback;
}
} // namespace

FormatSettings::FormatSettings()
    : shortMonthNames(EnglishShortMonths)
    , longMonthNames(EnglishLongMonths)
    , shortDayNames(EnglishShortDays)
    , longDayNames(EnglishLongDays)
{
}

QString fromLocaleDatePattern(const QString &pattern)
{
    // Day and year letters are the same; months are case-insensitive here.
    QString out = pattern;
    out.replace(QLatin1Char('M'), QLatin1Char('m'));
    return out;
}

QString fromLocaleTimePattern(const QString &pattern)
{
    QString out;
    bool quoted = false;
    for (int i = 0; i < pattern.size(); ++i) {
        QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += QLatin1Char('"');
            continue;
        }
        if (quoted) {
            out += c;
            continue;
        }
        if (c == QLatin1Char('H'))
            out += QLatin1Char('h');
        else if ((c == QLatin1Char('A') || c == QLatin1Char('a')) && i + 1 < pattern.size()
            && (pattern[i + 1] == QLatin1Char('P') || pattern[i + 1] == QLatin1Char('p'))) {
            out += QStringLiteral("AMPM");
            ++i;
        } else if (c == QLatin1Char('t'))
            continue; // time zone: not shown
        else
            out += c;
    }
    return out.trimmed();
}

FormatSettings FormatSettings::fromSystemLocale()
{
    FormatSettings fs;
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        return fs; // French conventions

    fs.decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    QString group = locale.groupSeparator();
    fs.thousandSeparator = group.isEmpty() ? QLatin1Char(' ') : group.at(0);
    if (fs.thousandSeparator == QChar(0x202F))
        fs.thousandSeparator = QChar(0x00A0); // narrow no-break space has no single-byte form
    fs.shortDateFormat = fromLocaleDatePattern(locale.dateFormat(QLocale::ShortFormat));
    fs.longDateFormat = fromLocaleDatePattern(locale.dateFormat(QLocale::LongFormat));
    fs.shortTimeFormat = fromLocaleTimePattern(locale.timeFormat(QLocale::ShortFormat));
    fs.longTimeFormat = fromLocaleTimePattern(locale.timeFormat(QLocale::LongFormat));
    fs.dateSeparator = firstSeparator(fs.shortDateFormat, QLatin1Char('/'));
    fs.timeSeparator = firstSeparator(fs.shortTimeFormat, QLatin1Char(':'));
    fs.listSeparator = fs.decimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
    if (!locale.amText().isEmpty())
        fs.timeAMString = locale.amText();
    if (!locale.pmText().isEmpty())
        fs.timePMString = locale.pmText();
    for (int m = 1; m <= 12; ++m) {
        QString s = locale.monthName(m, QLocale::ShortFormat);
        QString l = locale.monthName(m, QLocale::LongFormat);
        if (!s.isEmpty())
            fs.shortMonthNames[m - 1] = s;
        if (!l.isEmpty())
            fs.longMonthNames[m - 1] = l;
    }
    for (int d = 0; d < 7; ++d) {
        int qtDay = d == 0 ? 7 : d; // Qt: Monday = 1 .. Sunday = 7
        QString s = locale.dayName(qtDay, QLocale::ShortFormat);
        QString l = locale.dayName(qtDay, QLocale::LongFormat);
        if (!s.isEmpty())
            fs.shortDayNames[d] = s;
        if (!l.isEmpty())
            fs.longDayNames[d] = l;
    }
    return fs;
}

const FormatSettings &FormatSettings::current()
{
    return currentInstance();
}

void FormatSettings::setCurrent(const FormatSettings &settings)
{
    currentInstance() = settings;
}
