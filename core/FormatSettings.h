#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Regional conventions used to show and read numbers and dates. One
// process-wide instance is current; the import installs its own for the
// length of a run and puts the previous one back.
struct FormatSettings
{
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char(' ');
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QChar listSeparator = QLatin1Char(';');
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QString longDateFormat = QStringLiteral("dddd d mmmm yyyy");
    QString shortTimeFormat = QStringLiteral("hh:mm");
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    QString timeAMString = QStringLiteral("AM");
    QString timePMString = QStringLiteral("PM");
    QStringList shortMonthNames;
    QStringList longMonthNames;
    QStringList shortDayNames; // Sunday first
    QStringList longDayNames;
    int twoDigitYearCenturyWindow = 50;

    FormatSettings();

    // French conventions where the system locale gives none (the C locale).
    static FormatSettings fromSystemLocale();
    static const FormatSettings &current();
    static void setCurrent(const FormatSettings &settings);
};

// Converts a date or time pattern of the toolkit's locale ("M/d/yy", "h:mm AP")
// to the pattern letters the program uses ("m/d/yy", "h:mm AMPM").
QString fromLocaleDatePattern(const QString &pattern);
QString fromLocaleTimePattern(const QString &pattern);
