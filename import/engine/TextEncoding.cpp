#include "import/engine/TextEncoding.h"

#include "core/Cp1252.h"
#include "import/engine/ImportMessages.h"

#include <QtEndian>

#include <array>
#include <iconv.h>

namespace {

// Code page 850 (the DOS code page of Western Europe) to Unicode, through
// iconv once; a byte it cannot convert keeps its Latin-1 meaning.
std::array<char16_t, 256> oem850Table()
{
    std::array<char16_t, 256> table;
    for (int b = 0; b < 256; ++b)
        table[std::size_t(b)] = char16_t(b);
    iconv_t cd = iconv_open("UTF-16LE", "CP850");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return table;
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char out[4];
        char *pin = &in, *pout = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &pin, &inLeft, &pout, &outLeft) != size_t(-1) && pout - out == 2)
            table[std::size_t(b)] = qFromLittleEndian<quint16>(out);
    }
    iconv_close(cd);
    return table;
}

} // namespace

QString decodeText(const char *data, qsizetype size, TextEncoding encoding)
{
    switch (encoding) {
    case teUtf8:
        return QString::fromUtf8(data, size);
    case teOem850: {
        static const std::array<char16_t, 256> table = oem850Table();
        QString out(size, Qt::Uninitialized);
        QChar *d = out.data();
        for (qsizetype i = 0; i < size; ++i)
            d[i] = QChar(table[static_cast<unsigned char>(data[i])]);
        return out;
    }
    case teWindows1252:
        break;
    }
    return Cp1252::toUnicode(data, size);
}

bool textEncodingFromNumber(int number, TextEncoding &encoding)
{
    if (number < 0 || number >= TextEncodingCount)
        return false;
    encoding = TextEncoding(number);
    return true;
}

QString textEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case teUtf8:
        return QStringLiteral("utf-8");
    case teOem850:
        return QStringLiteral("oem-850");
    case teWindows1252:
        break;
    }
    return QStringLiteral("windows-1252");
}

bool textEncodingFromName(const QString &name, TextEncoding &encoding)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("windows-1252") || n == QLatin1String("cp1252") || n == QLatin1String("ansi"))
        encoding = teWindows1252;
    else if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        encoding = teUtf8;
    else if (n == QLatin1String("oem-850") || n == QLatin1String("cp850") || n == QLatin1String("oem") || n == QLatin1String("850"))
        encoding = teOem850;
    else
        return false;
    return true;
}

qsizetype firstUnencodableCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // The code page's own question mark is the only "?" that is one.
        if (c != QLatin1Char('?') && Cp1252::fromUnicode(c) == '?')
            return i;
    }
    return -1;
}

QString unencodableValueError(const QString &value)
{
    const qsizetype at = firstUnencodableCharacter(value);
    if (at < 0)
        return QString();
    // A character beyond the first plane comes as two halves: shown whole.
    const qsizetype length = value[at].isHighSurrogate() && at + 1 < value.size() && value[at + 1].isLowSurrogate() ? 2 : 1;
    const QString character = value.mid(at, length);
    const char32_t code = length == 2 ? QChar::surrogateToUcs4(value[at], value[at + 1]) : value[at].unicode();
    return formatMessage(ImportMsg::CharacterNotStorable,
        { value, character, QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0')) });
}
