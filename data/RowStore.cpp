#include "data/RowStore.h"

#include <utility>

void RowStore::moveGap(int index)
{
    if (index < m_gapStart) {
        // shift [index, gapStart) to the end of the gap
        int count = m_gapStart - index;
        for (int i = count - 1; i >= 0; --i)
            m_buf[m_gapEnd - count + i] = std::move(m_buf[index + i]);
        m_gapStart -= count;
        m_gapEnd -= count;
    } else if (index > m_gapStart) {
        int count = index - m_gapStart;
        for (int i = 0; i < count; ++i)
            m_buf[m_gapStart + i] = std::move(m_buf[m_gapEnd + i]);
        m_gapStart += count;
        m_gapEnd += count;
    }
}

void RowStore::insert(int index, QByteArray row)
{
    moveGap(index);
    if (gapLength() == 0) {
        // grow: double the room, the gap staying at index
        const int oldSize = static_cast<int>(m_buf.size());
        const int grow = oldSize < 16 ? 16 : oldSize;
        std::vector<QByteArray> bigger(static_cast<size_t>(oldSize + grow));
        for (int i = 0; i < m_gapStart; ++i)
            bigger[i] = std::move(m_buf[i]);
        for (int i = m_gapStart; i < oldSize; ++i)
            bigger[i + grow] = std::move(m_buf[i]);
        m_buf.swap(bigger);
        m_gapEnd = m_gapStart + grow;
    }
    m_buf[m_gapStart++] = std::move(row);
}

void RowStore::remove(int index)
{
    moveGap(index);
    m_buf[m_gapEnd] = QByteArray();
    ++m_gapEnd;
}

void RowStore::clear()
{
    std::vector<QByteArray>().swap(m_buf);
    m_gapStart = m_gapEnd = 0;
}

void RowStore::reserve(int count)
{
    if (count > size())
        moveGap(size());
    if (static_cast<int>(m_buf.size()) < count) {
        const int extra = count - static_cast<int>(m_buf.size());
        m_buf.resize(static_cast<size_t>(count));
        m_gapEnd += extra; // the gap sits at the end
    }
}
