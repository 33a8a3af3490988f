// libgsf before Qt: glib's headers use the word "signals".
// clang-format off
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
// clang-format on

#include "XlsTestStream.h"

#include <QtEndian>

#include <cstring>

QByteArray XlsTestStream::le16(int value)
{
    QByteArray b(2, '\0');
    qToLittleEndian(quint16(value), b.data());
    return b;
}

QByteArray XlsTestStream::le32(quint32 value)
{
    QByteArray b(4, '\0');
    qToLittleEndian(value, b.data());
    return b;
}

QByteArray XlsTestStream::leDouble(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray b(8, '\0');
    qToLittleEndian(bits, b.data());
    return b;
}

namespace {
QByteArray chars(const QString &text, bool wide)
{
    QByteArray out;
    for (QChar c : text) {
        if (wide)
            out += XlsTestStream::le16(c.unicode());
        else
            out += char(c.unicode() & 0xFF);
    }
    return out;
}
} // namespace

QByteArray XlsTestStream::string16(const QString &text, bool wide)
{
    return le16(int(text.size())) + char(wide ? 1 : 0) + chars(text, wide);
}

QByteArray XlsTestStream::string8(const QString &text, bool wide)
{
    return QByteArray(1, char(text.size())) + char(wide ? 1 : 0) + chars(text, wide);
}

QMap<quint16, int> XlsTestStream::recordCounts(const QByteArray &stream)
{
    QMap<quint16, int> counts;
    qsizetype pos = 0;
    while (pos + 4 <= stream.size()) {
        const quint16 id = qFromLittleEndian<quint16>(stream.constData() + pos);
        const quint16 size = qFromLittleEndian<quint16>(stream.constData() + pos + 2);
        if (id == 0 && size == 0)
            break;
        ++counts[id];
        pos += 4 + size;
    }
    return counts;
}

QByteArray XlsTestStream::compoundDocument(const QList<QPair<QString, QByteArray>> &streams)
{
    gsf_init();
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(memory);
    for (const auto &s : streams) {
        GsfOutput *child = gsf_outfile_new_child(ole, s.first.toUtf8().constData(), FALSE);
        gsf_output_write(child, gsize(s.second.size()), reinterpret_cast<const guint8 *>(s.second.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const guint8 *data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
    QByteArray out(reinterpret_cast<const char *>(data), qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return out;
}

XlsTestStream &XlsTestStream::record(quint16 id, const QByteArray &data)
{
    m_bytes += le16(id) + le16(int(data.size())) + data;
    return *this;
}

XlsTestStream &XlsTestStream::bof(quint16 type, quint16 version)
{
    return record(0x0809, le16(version) + le16(type) + QByteArray(12, '\0'));
}

XlsTestStream &XlsTestStream::eof()
{
    return record(0x000A, QByteArray());
}

XlsTestStream &XlsTestStream::globals(const QStringList &sheets, const QStringList &sst, const QList<int> &xfFormats,
    const QList<QPair<int, QString>> &formats, bool dates1904)
{
    bof(0x0005);
    if (dates1904)
        record(0x0022, le16(1));
    for (const auto &f : formats)
        record(0x041E, le16(f.first) + string16(f.second));
    for (int format : xfFormats)
        record(0x00E0, le16(0) + le16(format) + QByteArray(16, '\0'));
    for (const QString &name : sheets)
        record(0x0085, le32(0) + QByteArray(2, '\0') + string8(name));
    if (!sst.isEmpty()) {
        QByteArray data = le32(quint32(sst.size())) + le32(quint32(sst.size()));
        for (const QString &s : sst) {
            bool wide = false;
            for (QChar c : s)
                wide = wide || c.unicode() > 0xFF;
            data += string16(s, wide);
        }
        record(0x00FC, data);
    }
    return eof();
}

namespace {
QByteArray cellHead(int row, int col, int xf)
{
    return XlsTestStream::le16(row) + XlsTestStream::le16(col) + XlsTestStream::le16(xf);
}
} // namespace

XlsTestStream &XlsTestStream::number(int row, int col, int xf, double value)
{
    return record(0x0203, cellHead(row, col, xf) + leDouble(value));
}

XlsTestStream &XlsTestStream::rk(int row, int col, int xf, quint32 value)
{
    return record(0x027E, cellHead(row, col, xf) + le32(value));
}

XlsTestStream &XlsTestStream::labelSst(int row, int col, int xf, quint32 index)
{
    return record(0x00FD, cellHead(row, col, xf) + le32(index));
}

XlsTestStream &XlsTestStream::label(int row, int col, int xf, const QString &text)
{
    return record(0x0204, cellHead(row, col, xf) + string16(text));
}

XlsTestStream &XlsTestStream::blank(int row, int col, int xf)
{
    return record(0x0201, cellHead(row, col, xf));
}

XlsTestStream &XlsTestStream::boolErr(int row, int col, int xf, int value, bool error)
{
    return record(0x0205, cellHead(row, col, xf) + char(value) + char(error ? 1 : 0));
}

XlsTestStream &XlsTestStream::formula(int row, int col, int xf, const QByteArray &result, const QByteArray &tokens)
{
    return record(0x0006, cellHead(row, col, xf) + result + le16(0) + le32(0) + tokens);
}

XlsTestStream &XlsTestStream::string(const QString &text)
{
    return record(0x0207, string16(text));
}

XlsTestStream &XlsTestStream::mulRk(int row, int firstCol, const QList<QPair<int, quint32>> &xfAndRk)
{
    QByteArray data = le16(row) + le16(firstCol);
    for (const auto &e : xfAndRk)
        data += le16(e.first) + le32(e.second);
    return record(0x00BD, data + le16(firstCol + int(xfAndRk.size()) - 1));
}

XlsTestStream &XlsTestStream::mulBlank(int row, int firstCol, const QList<int> &xfs)
{
    QByteArray data = le16(row) + le16(firstCol);
    for (int xf : xfs)
        data += le16(xf);
    return record(0x00BE, data + le16(firstCol + int(xfs.size()) - 1));
}

QByteArray XlsTestStream::specialResult(int kind, int value)
{
    QByteArray b(8, '\0');
    b[0] = char(kind);
    b[2] = char(value);
    b[6] = char(0xFF);
    b[7] = char(0xFF);
    return b;
}
