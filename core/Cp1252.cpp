#include "core/Cp1252.h"

#include <array>

namespace {
// 0x80..0x9F; 0 marks the five unassigned bytes, read as their C1 code points.
constexpr std::array<char16_t, 32> High
    = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019,
          0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };
} // namespace

namespace Cp1252 {

QString toUnicode(const char *data, qsizetype size)
{
    // Outside 0x80..0x9F the code page is Latin-1, which Qt converts fastest.
    bool latin1 = true;
    for (qsizetype i = 0; i < size && latin1; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        latin1 = b < 0x80 || b >= 0xA0;
    }
    if (latin1)
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        auto b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b < 0xA0 && High[b - 0x80])
            d[i] = QChar(High[b - 0x80]);
        else
            d[i] = QChar(b);
    }
    return out;
}

QString toUnicode(const QByteArray &bytes)
{
    return toUnicode(bytes.constData(), bytes.size());
}

char fromUnicode(QChar c)
{
    char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    if (u >= 0x80 && u < 0xA0) {
        // C1 controls map to themselves where the code page leaves a hole
        if (!High[u - 0x80])
            return static_cast<char>(u);
        return '?';
    }
    for (int i = 0; i < 32; ++i)
        if (High[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

QByteArray fromUnicode(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    const QChar *s = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = fromUnicode(s[i]);
    return out;
}

} // namespace Cp1252
