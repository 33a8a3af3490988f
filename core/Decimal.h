#pragma once

#include <QString>

// A number in decimal digits, rounded the way money must be: the value is
// first taken to 18 significant digits (what an 80-bit extended holds), then
// rounded half away from zero. Binary doubles such as 2.0005 then round as the
// operator reads them, not as their nearest binary value falls.
struct DecimalText
{
    bool negative = false; // only when the rounded value is not zero
    QString integerDigits; // no leading zeros; empty for a zero integer part
    QString fractionDigits; // exactly the requested count
};

DecimalText toDecimal(long double value, int decimals);

// Nearest whole number of value, halves away from zero, after the 18-digit step.
long double roundHalfAway(long double value);
// The same as a 64-bit integer; false when it does not fit.
bool roundToWhole(long double value, long long &result);
