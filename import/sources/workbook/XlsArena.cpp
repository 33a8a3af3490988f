#include "import/sources/workbook/XlsArena.h"

#include "import/sources/workbook/BiffCell.h"

#include <sys/mman.h>

void XlsArena::assignSection(const BiffRecord *record, XlsSection *section)
{
    Header *h = headerOf(record);
    const quint32 begin = offsetOf(record);
    const quint32 end = begin + quint32(spanOf(record));
    // The section of what follows the record in its block, if anything can.
    XlsSection *after = nullptr;
    if (end < BlockSize)
        after = sectionOf(reinterpret_cast<const BiffRecord *>(reinterpret_cast<const char *>(record) + spanOf(record)));
    auto &changes = h->changes;
    changes.erase(
        std::remove_if(changes.begin(), changes.end(), [&](const SectionChange &c) { return c.offset >= begin && c.offset <= end; }),
        changes.end());
    const auto at
        = std::upper_bound(changes.begin(), changes.end(), begin, [](quint32 o, const SectionChange &c) { return o < c.offset; });
    const auto next = changes.insert(at, { begin, section });
    if (end < BlockSize)
        changes.insert(next + 1, { end, after });
}

void XlsArena::clear()
{
    if (m_blocks.empty() || (m_blocks.size() == 1 && m_left == BlockSize - HeaderSize && m_destroy.empty()))
        return; // nothing since the last time
    for (const Destroy &d : m_destroy)
        d.destroy(d.record);
    m_destroy.clear();
    m_blocks.erase(m_blocks.begin() + 1, m_blocks.end());
    startBlock(m_blocks.front().get(), nullptr);
}

void XlsArena::startBlock(char *block, XlsSection *section)
{
    auto *h = reinterpret_cast<Header *>(block);
    h->changes.assign(1, { quint32(HeaderSize), section });
    m_next = block + HeaderSize;
    m_left = BlockSize - HeaderSize;
}

XlsArena::Block XlsArena::newBlock()
{
    if (m_blocks.size() >= MaxBlocks)
        throw ImportError(messageText(ImportMsg::XlsWorkbookTooLarge));
    void *p = std::aligned_alloc(BlockSize, BlockSize);
    if (!p)
        throw std::bad_alloc();
    madvise(p, BlockSize, MADV_HUGEPAGE);
    new (p) Header { this, quint32(m_blocks.size()), {} };
    return Block(static_cast<char *>(p));
}

// Cells are many: a kind of them that needed its destructor run would cost
// the arena one more entry per cell.
namespace {
template <class... T> constexpr bool triviallyDestructible = (std::is_trivially_destructible_v<T> && ...);
} // namespace
static_assert(triviallyDestructible<BiffBlank, BiffNumber, BiffRK, BiffBoolErr, BiffLabelSST>);

