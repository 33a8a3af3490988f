#pragma once

#include "data/Query.h"

#include <vector>

// The rows of an open data set, with insertion and removal at any position.
// Rows are kept in a gap buffer: an import that keeps inserting at the current
// position pays a constant cost per row instead of moving every row after it.
class RowStore
{
public:
    int size() const { return static_cast<int>(m_buf.size()) - gapLength(); }
    bool isEmpty() const { return size() == 0; }
    const Row &at(int index) const { return m_buf[physical(index)]; }
    Row &at(int index) { return m_buf[physical(index)]; }
    void append(Row row) { insert(size(), std::move(row)); }
    void insert(int index, Row row);
    void remove(int index);
    void clear();
    void reserve(int count);

private:
    int gapLength() const { return m_gapEnd - m_gapStart; }
    int physical(int index) const { return index < m_gapStart ? index : index + gapLength(); }
    void moveGap(int index);

    std::vector<Row> m_buf;
    int m_gapStart = 0;
    int m_gapEnd = 0;
};
