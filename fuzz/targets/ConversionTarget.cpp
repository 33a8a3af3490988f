// Value conversions and formats. An input is four characters (decimal,
// thousand, date and time separators), a short date format up to the first
// line end, then the text to convert; the text also serves as a number mask
// and as a date mask.

#include "core/Conversion.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "fuzz/FuzzTarget.h"
#include "import/engine/ImportFormats.h"

#include <cmath>

KESTRA_FUZZ_TARGET(conversion)
{
    const QString input = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    if (input.size() < 4)
        return;
    ImportFormats formats;
    formats.decimalSeparator = input[0];
    formats.thousandSeparator = input[1];
    formats.dateSeparator = input[2];
    formats.timeSeparator = input[3];
    const qsizetype lineEnd = input.indexOf(QLatin1Char('\n'), 4);
    formats.shortDateFormat = input.mid(4, lineEnd < 0 ? -1 : lineEnd - 4);
    const QString text = lineEnd < 0 ? QString() : input.mid(lineEnd + 1);
    ImportFormatsGuard installed(formats);
    const FormatSettings &fs = FormatSettings::current();

    selfReferringDateTimeFormat(fs);
    int i = 0;
    qint64 i64 = 0;
    double value = 0;
    tryStrToInt(text, i);
    tryStrToInt64(text, i64);
    tryStrToCurrency(text, value, fs);
    tryStrToTime(text, value, fs);
    tryStrToDate(text, value, fs);
    const bool isNumber = tryStrToFloat(text, value, fs);
    double date = 0;
    const bool isDate = tryParseDateTime(text, date);
    parseDateByFormat(text, formats.shortDateFormat);
    parseDateByFormat(text, QStringLiteral("dd-MMM-yyyy hh:nn:ss ampm"));
    // Dates within the calendar only: the formatter's callers check the range.
    if (isDate && std::isfinite(date) && date > -693594.0 && date < 2958466.0) {
        formatDateTime(formats.shortDateFormat, date, fs);
        formatDateTime(text.left(64), date, fs);
        dateTimeToStr(date, fs);
    }
    if (isNumber) {
        floatToStr(value, fs);
        formatFloat(QStringLiteral("# ### ##0.000"), value, fs);
    }
    formatFloat(text.left(64), 1234.5678, fs);
    formatFloat(text.left(64), -0.5, fs);
    formatDateTime(formats.shortDateFormat, 45366.75, fs);
    replaceText(text, formats.shortDateFormat, QStringLiteral("x"), true);
    oemToAnsi(text);
    ansiToOem(text);
}
