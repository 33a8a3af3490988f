#pragma once

#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/WorkbookError.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

// Records live in one arena per workbook: the object, then its data bytes.
// Nothing is freed one by one; the kinds that are not trivially destructible
// (those holding texts) are destroyed when the arena is cleared, each as its
// own kind.
//
// Blocks are aligned on their size, so a record finds the header of its
// block from its own address. The header names the workbook and, by offset,
// where the records of one section end and those of the next begin: a
// record need not carry a pointer to its section, which for a million cells
// is eight megabytes.
class XlsArena
{
public:
    explicit XlsArena(XlsWorkbook *workbook)
        : m_workbook(workbook)
    {
    }
    ~XlsArena() { clear(); }
    XlsArena(const XlsArena &) = delete;
    XlsArena &operator=(const XlsArena &) = delete;

    // The object, its data, and with withLink the room for the link to the
    // CONTINUE record that follows.
    // A record shorter than its kind's fixed part is refused here, before
    // any of its fields is read.
    template <class T> T *make(XlsSection *section, quint16 id, const quint8 *data, quint16 size, bool withLink = false)
    {
        static_assert(std::is_base_of_v<BiffRecord, T>);
        if (size < T::MinSize)
            WorkbookError::recordInvalid(id);
        // The data follows the object unaligned: fields are read byte by
        // byte, and a cell then takes its six bytes of header and its data,
        // nothing more.
        constexpr std::size_t objectSize = sizeof(T);
        static_assert(objectSize <= 255);
        // Any record fits a block, whatever its size word says.
        static_assert(objectSize + 65536 + sizeof(void *) + alignof(std::max_align_t) <= BlockSize - HeaderSize);
        const std::size_t dataSpace = size + (withLink ? sizeof(void *) : 0);
        auto *memory = static_cast<char *>(allocate(objectSize + dataSpace, alignof(T), section));
        if (size)
            std::memcpy(memory + objectSize, data, size);
        if (withLink)
            std::memset(memory + objectSize + size, 0, sizeof(void *));
        T *record = new (memory) T(id, size, quint8(objectSize));
        record->m_hasLink = withLink;
        if constexpr (!std::is_trivially_destructible_v<T>)
            m_destroy.push_back({ record, [](BiffRecord *r) { static_cast<T *>(r)->~T(); } });
        return record;
    }

    // A record's handle: its block's number and its offset in the block,
    // in two-byte steps (every kind is aligned on at least two bytes).
    quint32 handleOf(const BiffRecord *record) const
    {
        static_assert(alignof(BiffRecord) >= 2 && BlockSize == (std::size_t(1) << OffsetBits) * 2);
        Q_ASSERT(headerOf(record)->arena == this);
        return (headerOf(record)->index << OffsetBits) | (offsetOf(record) >> 1);
    }
    BiffRecord *record(quint32 handle) const
    {
        return reinterpret_cast<BiffRecord *>(m_blocks[handle >> OffsetBits].get() + std::size_t(handle & ((1u << OffsetBits) - 1)) * 2);
    }

    static void link(BiffRecord *record, BiffContinue *next)
    {
        Q_ASSERT(record->m_hasLink);
        std::memcpy(record->linkSlot(), &next, sizeof next);
    }

    static XlsWorkbook *workbookOf(const BiffRecord *record) { return headerOf(record)->arena->m_workbook; }

    static XlsSection *sectionOf(const BiffRecord *record)
    {
        const Header *h = headerOf(record);
        const quint32 offset = offsetOf(record);
        // Mostly one section a block: the last change is the one.
        if (h->changes.back().offset <= offset)
            return h->changes.back().section;
        const auto it = std::upper_bound(
            h->changes.begin(), h->changes.end(), offset, [](quint32 o, const SectionChange &c) { return o < c.offset; });
        return std::prev(it)->section;
    }

    // Gives a record made earlier to another section.
    static void assignSection(const BiffRecord *record, XlsSection *section);

    // Frees everything; keeps one block for the next use.
    void clear();

private:
    struct SectionChange
    {
        quint32 offset; // in the block: the records from here on
        XlsSection *section;
    };
    struct Header
    {
        XlsArena *arena;
        quint32 index; // in m_blocks
        std::vector<SectionChange> changes; // by offset; never empty
    };
    // Blocks of one huge page each where the system offers them: a large
    // workbook then takes hundreds of page faults rather than tens of
    // thousands.
    static constexpr std::size_t BlockSize = 2 * 1024 * 1024;
    // A handle's offset part; the rest numbers the block, which allows
    // 4,096 blocks: 8 GB of records, far beyond the largest sheet.
    static constexpr int OffsetBits = 20;
    static constexpr std::size_t MaxBlocks = std::size_t(1) << (32 - OffsetBits);
    static constexpr std::size_t HeaderSize = (sizeof(Header) + 15) & ~std::size_t(15);

    static Header *headerOf(const void *p)
    {
        return reinterpret_cast<Header *>(reinterpret_cast<std::uintptr_t>(p) & ~std::uintptr_t(BlockSize - 1));
    }
    static quint32 offsetOf(const void *p) { return quint32(reinterpret_cast<std::uintptr_t>(p) & (BlockSize - 1)); }
    // The bytes make() took for the record.
    static std::size_t spanOf(const BiffRecord *r) { return r->m_dataOffset + r->m_size + (r->m_hasLink ? sizeof(void *) : 0); }

    inline void *allocate(std::size_t size, std::size_t align, XlsSection *section)
    {
        Q_ASSERT(align && (align & (align - 1)) == 0);
        std::size_t padding = (0 - reinterpret_cast<std::uintptr_t>(m_next)) & (align - 1);
        if (padding + size > m_left) {
            m_blocks.push_back(newBlock());
            startBlock(m_blocks.back().get(), section);
            padding = 0; // a block's records start on its header's alignment
        }
        m_next += padding;
        m_left -= padding;
        Header *h = headerOf(m_next);
        if (h->changes.back().section != section)
            h->changes.push_back({ offsetOf(m_next), section });
        void *p = m_next;
        m_next += size;
        m_left -= size;
        return p;
    }

    void startBlock(char *block, XlsSection *section);

    struct BlockFree
    {
        void operator()(char *p) const
        {
            reinterpret_cast<Header *>(p)->~Header();
            std::free(p);
        }
    };
    using Block = std::unique_ptr<char[], BlockFree>;
    Block newBlock();

    XlsWorkbook *m_workbook;
    std::vector<Block> m_blocks;
    struct Destroy
    {
        BiffRecord *record;
        void (*destroy)(BiffRecord *);
    };
    std::vector<Destroy> m_destroy;
    char *m_next = nullptr;
    std::size_t m_left = 0;
};
