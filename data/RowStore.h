#pragma once

#include <QByteArray>

#include <vector>

// The rows of an open data set, each a compact record (see RowFormat), with
// insertion and removal at any position.
// Rows are kept in a gap buffer: an import that keeps inserting at the current
// position pays a constant cost per row instead of moving every row after it.
class RowStore
{
public:
    int size() const { return static_cast<int>(m_buf.size()) - gapLength(); }
    bool isEmpty() const { return size() == 0; }
    const QByteArray &at(int index) const { return m_buf[physical(index)]; }
    QByteArray &at(int index) { return m_buf[physical(index)]; }
    void append(QByteArray row) { insert(size(), std::move(row)); }
    void insert(int index, QByteArray row);
    void remove(int index);
    void clear();
    void reserve(int count);

private:
    int gapLength() const { return m_gapEnd - m_gapStart; }
    int physical(int index) const { return index < m_gapStart ? index : index + gapLength(); }
    void moveGap(int index);

    std::vector<QByteArray> m_buf;
    int m_gapStart = 0;
    int m_gapEnd = 0;
};
