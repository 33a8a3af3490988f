#include "import/sources/workbook/BiffSSTList.h"

#include "import/sources/workbook/ChainCursor.h"
#include "import/sources/workbook/Xls.h"

#include <algorithm>

QString BiffSSTList::text(int i) const
{
    const XlsSSTEntry &e = m_entries[std::size_t(i)];
    const char *p = m_pool.constData() + e.offset;
    if (!e.wide)
        return QString::fromLatin1(p, e.length);
    QString s(e.length, Qt::Uninitialized);
    QChar *out = s.data();
    for (int k = 0; k < e.length; ++k)
        out[k] = QChar(Xls::le16(reinterpret_cast<const quint8 *>(p) + 2 * k));
    return s;
}

void BiffSSTList::clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_pool.clear();
    m_pool.squeeze();
}

void BiffSSTList::load(const BiffSST &sst)
{
    // Every string takes at least three bytes, which bounds the reservation
    // whatever count the record claims.
    qint64 bytes = 0;
    for (const BiffRecord *r = &sst; r; r = r->continueRecord())
        bytes += r->dataSize();
    const quint32 count = sst.uniqueCount();
    m_entries.reserve(m_entries.size() + std::size_t(std::min<qint64>(count, bytes / 3)));
    m_pool.reserve(m_pool.size() + bytes);

    ChainCursor cursor(sst, 8);
    RawString raw;
    for (quint32 i = 0; i < count; ++i) {
        readRawString(cursor, false, raw);
        XlsSSTEntry e;
        e.offset = quint32(m_pool.size());
        e.length = quint16(raw.chars.size());
        e.wide = raw.wide;
        const qsizetype at = m_pool.size();
        if (raw.wide) {
            m_pool.resize(at + qsizetype(raw.chars.size()) * 2);
            char *out = m_pool.data() + at;
            for (char16_t c : raw.chars) {
                *out++ = char(c & 0xFF);
                *out++ = char(c >> 8);
            }
        } else {
            m_pool.resize(at + qsizetype(raw.chars.size()));
            char *out = m_pool.data() + at;
            for (char16_t c : raw.chars)
                *out++ = char(c);
        }
        m_entries.push_back(e);
    }
}

int BiffSSTList::append(QStringView text)
{
    XlsSSTEntry e;
    e.offset = quint32(m_pool.size());
    e.length = quint16(std::min<qsizetype>(text.size(), 0xFFFF));
    e.wide = std::any_of(text.begin(), text.begin() + e.length, [](QChar c) { return c.unicode() > 0xFF; });
    const qsizetype at = m_pool.size();
    m_pool.resize(at + qsizetype(e.length) * (e.wide ? 2 : 1));
    char *out = m_pool.data() + at;
    for (int i = 0; i < e.length; ++i) {
        const char16_t c = text[i].unicode();
        *out++ = char(c & 0xFF);
        if (e.wide)
            *out++ = char(c >> 8);
    }
    m_entries.push_back(e);
    return count() - 1;
}
