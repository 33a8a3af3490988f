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

long double roundHalfAway(long double value)
{
    DecimalText d = toDecimal(value, 0);
    long double r = d.integerDigits.isEmpty() ? 0.0L : std::strtold(d.integerDigits.toLatin1().constData(), nullptr);
    return d.negative ? -r : r;
}
