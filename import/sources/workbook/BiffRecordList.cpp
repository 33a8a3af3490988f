#include "import/sources/workbook/BiffRecordList.h"

#include <algorithm>

BiffShrFmla *BiffShrFmlaList::find(quint32 key)
{
    if (!m_sorted) {
        std::stable_sort(m_items.begin(), m_items.end(), [](const BiffShrFmla *a, const BiffShrFmla *b) { return a->key() < b->key(); });
        m_sorted = true;
    }
    auto it = std::lower_bound(m_items.begin(), m_items.end(), key, [](const BiffShrFmla *r, quint32 k) { return r->key() < k; });
    if (it == m_items.end() || (*it)->key() != key)
        return nullptr;
    return *it;
}
