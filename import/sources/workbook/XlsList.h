#pragma once

// What the reader's lists have in common: whether their items are in order.
class XlsList
{
public:
    bool isSorted() const { return m_sorted; }

protected:
    bool m_sorted = true;
};
