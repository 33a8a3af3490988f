#include "import/sources/workbook/Xls.h"

#include <cstring>

namespace Xls {

QString columnLetters(int column)
{
    if (column < 1)
        return QString();
    if (column <= 26)
        return QString(QChar(u'A' + (column - 1)));
    return QString(QChar(u'A' + ((column - 1) / 26 - 1) % 26)) + QChar(u'A' + (column - 1) % 26);
}

QString cellName(int row, int column)
{
    return columnLetters(column + 1) + QString::number(row + 1);
}

double decodeRk(quint32 rk)
{
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    if (rk & 0x01)
        value /= 100.0;
    return value;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#NULL!");
    }
}

int errorCode(QStringView text)
{
    for (const quint8 code : { 0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A })
        if (text == errorText(code))
            return code;
    return -1;
}

bool isDateFormatString(const QString &format)
{
    // Quoted texts, escaped and padding characters and bracketed parts
    // (colours, conditions, currencies) are no date letters; [h], [mm] and
    // [ss] are elapsed times.
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c == u'"') {
            const qsizetype end = format.indexOf(u'"', i + 1);
            if (end < 0)
                return false;
            i = end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = format.indexOf(u']', i + 1);
            if (end < 0)
                return false;
            const QString inside = format.mid(i + 1, end - i - 1).toLower();
            if (!inside.isEmpty()
                && (inside.count(u'h') == inside.size() || inside.count(u'm') == inside.size() || inside.count(u's') == inside.size()))
                return true;
            i = end;
        } else {
            switch (c.toLower().unicode()) {
            case u'y':
            case u'm':
            case u'd':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

} // namespace Xls
