#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstring>

// Small pieces of the Excel 97-2003 format that the reader, the wizard and
// the range language share.
namespace Xls {
// Column n (1-based) as letters: A..Z, then AA..IV.
QString columnLetters(int column);
// "B7" for row index 6, column index 1 (both 0-based).
QString cellName(int row, int column);
// The value of an RK number: a 30-bit integer or the high bits of a double,
// possibly divided by 100.
double decodeRk(quint32 rk);
// The error texts of error cells by code.
QString errorText(quint8 code);
// The code of an error text; -1 for a text that is none of them.
int errorCode(QStringView text);
// Whether a number format string shows a date or a time.
bool isDateFormatString(const QString &format);
// The record stream of a workbook file held in memory: the "Workbook" stream
// of a compound document, or the bytes themselves when they are no compound
// document. Raises the reader's errors.
QByteArray workbookStream(const QByteArray &fileBytes, const QString &fileName = QString());

// Little-endian fields, read byte by byte: record data lies unaligned.
inline quint16 le16(const quint8 *p)
{
    return quint16(p[0] | (p[1] << 8));
}

inline quint32 le32(const quint8 *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

inline double leDouble(const quint8 *p)
{
    const quint64 bits = quint64(le32(p)) | (quint64(le32(p + 4)) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace Xls
