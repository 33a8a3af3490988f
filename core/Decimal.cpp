#include "core/Decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

DecimalText toDecimal(long double value, int decimals)
{
    DecimalText out;
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value) || value == 0.0L) {
        out.fractionDigits = QString(decimals, QLatin1Char('0'));
        return out;
    }

    // Whole numbers far from a half: taking the value to 18 significant digits
    // moves it by at most 0.05 below 1e17, so it cannot change the rounding.
    if (decimals == 0) {
        const long double a = std::fabs(value);
        if (a < 1e17L) {
            const long double whole = std::floor(a);
            const long double frac = a - whole;
            if (frac < 0.45L || frac > 0.55L) {
                const long long n = static_cast<long long>(whole) + (frac > 0.55L ? 1 : 0);
                out.integerDigits = n ? QString::number(n) : QString();
                out.negative = value < 0 && n != 0;
                return out;
            }
        }
    }

    // 18 significant digits D, so that |value| = D * 10^(exponent - 17).
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(value));
    QByteArray digits;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits.append(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // N = |value| * 10^decimals, rounded half away from zero.
    QByteArray n;
    const int shift = exponent - 17 + decimals;
    if (shift >= 0) {
        n = digits + QByteArray(shift, '0');
    } else {
        const int drop = -shift;
        char roundDigit = '0';
        if (drop <= digits.size()) {
            n = digits.left(digits.size() - drop);
            roundDigit = digits[digits.size() - drop];
        }
        if (roundDigit >= '5') {
            int i = n.size() - 1;
            for (; i >= 0 && n[i] == '9'; --i)
                n[i] = '0';
            if (i >= 0)
                n[i] = static_cast<char>(n[i] + 1);
            else
                n.prepend('1');
        }
    }
    int lead = 0;
    while (lead < n.size() && n[lead] == '0')
        ++lead;
    n = n.mid(lead);
    const bool isZero = n.isEmpty();
    if (n.size() < decimals + 1)
        n.prepend(QByteArray(decimals + 1 - n.size(), '0'));

    QByteArray intPart = n.left(n.size() - decimals);
    lead = 0;
    while (lead < intPart.size() && intPart[lead] == '0')
        ++lead;
    out.integerDigits = QString::fromLatin1(intPart.mid(lead));
    out.fractionDigits = QString::fromLatin1(n.right(decimals));
    out.negative = value < 0 && !isZero;
    return out;
}

bool roundToWhole(long double value, long long &result)
{
    const long double a = std::fabs(value);
    if (!(a < 9e18L))
        return false;
    // Far from a half, the 18-digit step (at most 0.05 below 1e17) changes nothing.
    if (a < 1e17L) {
        const long double whole = std::floor(a);
        const long double frac = a - whole;
        if (frac < 0.45L || frac > 0.55L) {
            const long long n = static_cast<long long>(whole) + (frac > 0.55L ? 1 : 0);
            result = value < 0 ? -n : n;
            return true;
        }
    }
    const DecimalText d = toDecimal(value, 0);
    long long n = 0;
    for (QChar c : d.integerDigits)
        n = n * 10 + (c.unicode() - '0');
    result = d.negative ? -n : n;
    return true;
}

long double roundHalfAway(long double value)
{
    DecimalText d = toDecimal(value, 0);
    long double r = d.integerDigits.isEmpty() ? 0.0L : std::strtold(d.integerDigits.toLatin1().constData(), nullptr);
    return d.negative ? -r : r;
}
