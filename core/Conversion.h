#pragma once

#include "core/FormatSettings.h"

#include <QString>

// Text to value the way the program reads what operators type and what
// import files hold. Integers: leading blanks, a sign, decimal digits or
// "$"/"0x" hexadecimal, nothing after. Floats: blanks around, a sign, digits
// with the decimal separator of the settings, an optional exponent.
bool tryStrToInt(const QString &text, int &value);
bool tryStrToInt64(const QString &text, qint64 &value);
bool tryStrToFloat(const QString &text, double &value, const FormatSettings &fs = FormatSettings::current());
bool tryStrToCurrency(const QString &text, double &value, const FormatSettings &fs = FormatSettings::current());

// Dates: day, month and year numbers in the order of the short date format,
// separated by the date separator; two numbers mean day and month of the
// current year; a two-digit year falls in the century window.
bool tryStrToDate(const QString &text, double &value, const FormatSettings &fs = FormatSettings::current());
// Times: hours, minutes, optional seconds and milliseconds, optional AM/PM.
bool tryStrToTime(const QString &text, double &value, const FormatSettings &fs = FormatSettings::current());
// A date optionally followed by a time, or a time alone.
bool tryStrToDateTime(const QString &text, double &value, const FormatSettings &fs = FormatSettings::current());

// The toolkit's messages for a text that does not convert.
QString invalidIntegerMessage(const QString &text);
QString invalidFloatMessage(const QString &text);
QString invalidDateMessage(const QString &text);
QString invalidTimeMessage(const QString &text);
QString invalidDateTimeMessage(const QString &text);
