#include "import/sources/workbook/ChainCursor.h"

#include "import/sources/workbook/Xls.h"

bool ChainCursor::nextSegment()
{
    if (!m_record->continueRecord())
        return false;
    m_record = m_record->continueRecord();
    m_pos = 0;
    return true;
}

void ChainCursor::skip(quint64 count)
{
    while (count > 0) {
        if (left() == 0) {
            if (!nextSegment())
                WorkbookError::readError();
            continue;
        }
        const int take = int(std::min<quint64>(count, quint64(left())));
        m_pos += take;
        count -= quint64(take);
    }
}

void ChainCursor::chars(int count, bool wide, std::u16string &out, bool &wideSeen)
{
    out.clear();
    wideSeen = false;
    while (count > 0) {
        if (left() == 0) {
            if (!nextSegment())
                WorkbookError::readError();
            if (left() == 0)
                continue;
            wide = (m_record->data()[m_pos++] & 0x01) != 0;
            continue;
        }
        const int width = wide ? 2 : 1;
        const int available = left() / width;
        if (available == 0)
            WorkbookError::readError(); // half a character before the record's end
        const int take = std::min(count, available);
        const quint8 *p = m_record->data() + m_pos;
        const std::size_t at = out.size();
        out.resize(at + std::size_t(take));
        char16_t *o = out.data() + at;
        if (wide) {
            wideSeen = true;
            for (int i = 0; i < take; ++i)
                o[i] = char16_t(Xls::le16(p + 2 * i));
        } else {
            for (int i = 0; i < take; ++i)
                o[i] = char16_t(p[i]);
        }
        m_pos += take * width;
        count -= take;
    }
}

void readRawString(ChainCursor &cursor, bool shortCount, RawString &out, bool withTail)
{
    const int count = shortCount ? cursor.byte() : cursor.word();
    const quint8 flags = cursor.byte();
    const quint32 runs = (flags & 0x08) ? cursor.word() : 0;
    const quint32 phonetic = (flags & 0x04) ? cursor.dword() : 0;
    cursor.chars(count, (flags & 0x01) != 0, out.chars, out.wide);
    if (withTail) {
        cursor.skip(quint64(runs) * 4);
        cursor.skip(phonetic);
    }
}

XlsString toXlsString(const RawString &raw)
{
    if (raw.wide)
        return XlsString::wide(QString::fromUtf16(raw.chars.data(), qsizetype(raw.chars.size())));
    QByteArray latin1(qsizetype(raw.chars.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < raw.chars.size(); ++i)
        latin1[qsizetype(i)] = char(raw.chars[i]);
    return XlsString::narrow(latin1);
}

XlsString readXlsString(const BiffRecord &record, int offset, bool shortCount)
{
    ChainCursor cursor(record, offset);
    RawString raw;
    readRawString(cursor, shortCount, raw, false);
    return toXlsString(raw);
}
