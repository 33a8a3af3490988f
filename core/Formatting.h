#pragma once

#include "core/FormatSettings.h"

#include <QString>

// Number masks: sections "positive;negative;zero", placeholders '0' (always a
// digit) and '#' (a digit when there is one), '.' the decimal point, ',' the
// thousand separator flag, other characters and quoted texts copied. A literal
// between integer placeholders (the blank in "# ### ##0.000") is written only
// when digits stand on its left, so it groups without leading blanks. A number
// wider than its mask is written whole.
QString formatFloat(const QString &mask, double value, const FormatSettings &fs = FormatSettings::current());

// Date masks: d dd ddd dddd, m mm mmm mmmm (minutes right after an hour),
// yy yyyy, h hh, n nn, s ss, z zzz, am/pm, ampm, "/" and ":" the separators,
// quoted texts copied, "c" the short date and long time, "ddddd" the short
// date, "dddddd" the long date, "t" and "tt" the short and long time. Those
// five are expanded at most once along a chain: inside its own expansion a
// format that names itself writes nothing.
QString formatDateTime(const QString &mask, double value, const FormatSettings &fs = FormatSettings::current());
// The first of the settings' date and time formats (short date, long date,
// short time, long time) that names itself through c, ddddd, dddddd, t or tt,
// directly or through the others; empty when none does. Such settings cannot
// show a date, so whoever takes formats from outside refuses them.
QString selfReferringDateTimeFormat(const FormatSettings &fs);

// Shortest text that gives the value back with 15 significant digits.
QString floatToStr(double value, const FormatSettings &fs = FormatSettings::current());
QString dateToStr(double value, const FormatSettings &fs = FormatSettings::current());
QString timeToStr(double value, const FormatSettings &fs = FormatSettings::current());
QString dateTimeToStr(double value, const FormatSettings &fs = FormatSettings::current());
