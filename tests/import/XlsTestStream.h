#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

// Builds BIFF8 record streams for the reader's tests: records no spreadsheet
// program writes on demand (LABEL cells, odd RK values, damaged records).
class XlsTestStream
{
public:
    static QByteArray le16(int value);
    static QByteArray le32(quint32 value);
    static QByteArray leDouble(double value);
    // A unicode string with a 16-bit (or 8-bit) count; wide: UTF-16.
    static QByteArray string16(const QString &text, bool wide = false);
    static QByteArray string8(const QString &text, bool wide = false);
    // Record id -> count of a record stream.
    static QMap<quint16, int> recordCounts(const QByteArray &stream);
    // A compound document holding the given streams at its root.
    static QByteArray compoundDocument(const QList<QPair<QString, QByteArray>> &streams);

    XlsTestStream &record(quint16 id, const QByteArray &data);
    XlsTestStream &bof(quint16 type, quint16 version = 0x0600);
    XlsTestStream &eof();

    // Globals: XF i uses format index xfFormats[i]; FORMAT records as given;
    // one BOUNDSHEET per name; the shared strings in one SST record.
    XlsTestStream &globals(const QStringList &sheets, const QStringList &sst = {}, const QList<int> &xfFormats = { 0 },
        const QList<QPair<int, QString>> &formats = {}, bool dates1904 = false);
    XlsTestStream &beginSheet() { return bof(0x0010); }

    XlsTestStream &number(int row, int col, int xf, double value);
    XlsTestStream &rk(int row, int col, int xf, quint32 rk);
    XlsTestStream &labelSst(int row, int col, int xf, quint32 index);
    XlsTestStream &label(int row, int col, int xf, const QString &text);
    XlsTestStream &blank(int row, int col, int xf);
    XlsTestStream &boolErr(int row, int col, int xf, int value, bool error);
    // result: the 8 bytes at offset 6; tokens: the length word and tokens.
    XlsTestStream &formula(
        int row, int col, int xf, const QByteArray &result, const QByteArray &tokens = QByteArray::fromHex("03001e0100"));
    XlsTestStream &string(const QString &text);
    XlsTestStream &mulRk(int row, int firstCol, const QList<QPair<int, quint32>> &xfAndRk);
    XlsTestStream &mulBlank(int row, int firstCol, const QList<int> &xfs);

    // Cached formula results.
    static QByteArray numberResult(double value) { return leDouble(value); }
    static QByteArray specialResult(int kind, int value = 0);

    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
