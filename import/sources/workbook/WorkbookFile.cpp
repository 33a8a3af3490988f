// glib's headers use the word "signals", which Qt's object headers define
// as a macro: libgsf comes first.
// clang-format off
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
// clang-format on

#include "import/sources/workbook/WorkbookFile.h"

#include "core/Formatting.h"
#include "import/sources/workbook/ZipWorkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <type_traits>

namespace {

[[noreturn]] void fileInvalid()
{
    throw WorkbookError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Error reading Excel records. File invalid")));
}

[[noreturn]] void readError()
{
    throw WorkbookError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Error reading record")));
}

[[noreturn]] void recordInvalid(quint16 id)
{
    throw WorkbookError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Record with ID 0x%1 is invalid"), QString::number(id, 16)));
}

// A message naming the file (its "%s"), as the operator reads it.
TranslatedText withName(const char *pattern, const QString &name)
{
    return importText(pattern, { name });
}

quint16 le16(const quint8 *p)
{
    return quint16(p[0] | (p[1] << 8));
}

quint32 le32(const quint8 *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

double leDouble(const quint8 *p)
{
    quint64 bits = quint64(le32(p)) | (quint64(le32(p + 4)) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Reads over a record and the CONTINUE records attached to it. Characters of
// a string that run into a CONTINUE record are preceded there by one byte
// giving their width.
class ChainCursor
{
public:
    ChainCursor(const BiffRecord &record, int offset)
        : m_record(&record)
        , m_pos(offset)
    {
    }

    int left() const { return std::max(0, int(m_record->dataSize()) - m_pos); }

    bool nextSegment()
    {
        if (!m_record->continueRecord())
            return false;
        m_record = m_record->continueRecord();
        m_pos = 0;
        return true;
    }

    quint8 byte()
    {
        while (left() == 0)
            if (!nextSegment())
                readError();
        return m_record->data()[m_pos++];
    }

    quint16 word()
    {
        const quint8 lo = byte();
        return quint16(lo | (byte() << 8));
    }

    quint32 dword()
    {
        const quint32 lo = word();
        return lo | (quint32(word()) << 16);
    }

    void skip(quint64 count)
    {
        while (count > 0) {
            if (left() == 0) {
                if (!nextSegment())
                    readError();
                continue;
            }
            const int take = int(std::min<quint64>(count, quint64(left())));
            m_pos += take;
            count -= quint64(take);
        }
    }

    // count characters, starting with the given width; the characters go to
    // out, and wideSeen tells whether any was stored on two bytes.
    void chars(int count, bool wide, std::u16string &out, bool &wideSeen)
    {
        out.clear();
        wideSeen = false;
        while (count > 0) {
            if (left() == 0) {
                if (!nextSegment())
                    readError();
                if (left() == 0)
                    continue;
                wide = (m_record->data()[m_pos++] & 0x01) != 0;
                continue;
            }
            const int width = wide ? 2 : 1;
            const int available = left() / width;
            if (available == 0)
                readError(); // half a character before the record's end
            const int take = std::min(count, available);
            const quint8 *p = m_record->data() + m_pos;
            const std::size_t at = out.size();
            out.resize(at + std::size_t(take));
            char16_t *o = out.data() + at;
            if (wide) {
                wideSeen = true;
                for (int i = 0; i < take; ++i)
                    o[i] = char16_t(le16(p + 2 * i));
            } else {
                for (int i = 0; i < take; ++i)
                    o[i] = char16_t(p[i]);
            }
            m_pos += take * width;
            count -= take;
        }
    }

private:
    const BiffRecord *m_record;
    int m_pos;
};

// A BIFF8 unicode string: character count (8 or 16 bits), option flags, run
// count, phonetic size, characters, runs, phonetic block.
struct RawString
{
    std::u16string chars;
    bool wide = false;
};

// withTail: the runs and the phonetic block are passed over too, as the
// next string of a table starts after them; a string alone in its record
// does not need them (some writers leave them out).
void readRawString(ChainCursor &cursor, bool shortCount, RawString &out, bool withTail = true)
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

// The general format of floatToStr, without its cost for the common cases:
// whole numbers, and numbers that need no exponent (the same 15 significant
// digits, trailing zeros dropped).
QString numberText(double value)
{
    if (!std::isfinite(value))
        return floatToStr(value);
    char buffer[48];
    std::to_chars_result result;
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        result = std::to_chars(buffer, buffer + sizeof buffer, qint64(value));
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    const auto length = qsizetype(result.ptr - buffer);
    if (result.ec != std::errc() || std::memchr(buffer, 'e', std::size_t(length)))
        return floatToStr(value);
    const QChar separator = FormatSettings::current().decimalSeparator;
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = buffer[i] == '.' ? separator : QChar(QLatin1Char(buffer[i]));
    return text;
}

} // namespace

// ---------------------------------------------------------------- arena

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
            recordInvalid(id);
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
    static void assignSection(const BiffRecord *record, XlsSection *section)
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

    // Frees everything; keeps one block for the next use.
    void clear()
    {
        if (m_blocks.empty() || (m_blocks.size() == 1 && m_left == BlockSize - HeaderSize && m_destroy.empty()))
            return; // nothing since the last time
        for (const Destroy &d : m_destroy)
            d.destroy(d.record);
        m_destroy.clear();
        m_blocks.erase(m_blocks.begin() + 1, m_blocks.end());
        startBlock(m_blocks.front().get(), nullptr);
    }

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

    void startBlock(char *block, XlsSection *section)
    {
        auto *h = reinterpret_cast<Header *>(block);
        h->changes.assign(1, { quint32(HeaderSize), section });
        m_next = block + HeaderSize;
        m_left = BlockSize - HeaderSize;
    }

    struct BlockFree
    {
        void operator()(char *p) const
        {
            reinterpret_cast<Header *>(p)->~Header();
            std::free(p);
        }
    };
    using Block = std::unique_ptr<char[], BlockFree>;
    Block newBlock()
    {
        if (m_blocks.size() >= MaxBlocks)
            throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "The workbook is too large to be read")));
        void *p = std::aligned_alloc(BlockSize, BlockSize);
        if (!p)
            throw std::bad_alloc();
        madvise(p, BlockSize, MADV_HUGEPAGE);
        new (p) Header { this, quint32(m_blocks.size()), {} };
        return Block(static_cast<char *>(p));
    }

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

XlsSection *BiffRecord::section() const
{
    return XlsArena::sectionOf(this);
}

XlsWorkbook *BiffRecord::workbook() const
{
    return XlsArena::workbookOf(this);
}

// Cells are many: a kind of them that needed its destructor run would cost
// the arena one more entry per cell.
namespace {
template <class... T> constexpr bool triviallyDestructible = (std::is_trivially_destructible_v<T> && ...);
} // namespace
static_assert(triviallyDestructible<BiffBlank, BiffNumber, BiffRK, BiffBoolErr, BiffLabelSST>);

// ---------------------------------------------------------------- stream

// The record stream, read through a window so that a large workbook never
// sits in memory twice.
class XlsRecordStream
{
public:
    enum class Section { Workbook, Globals, WorkSheet };

    XlsRecordStream(GsfInput *input, XlsArena &keep, XlsArena &scratch)
        : m_input(input)
        , m_keep(keep)
        , m_scratch(scratch)
        , m_size(gsf_input_size(input))
        , m_buffer(WindowSize)
    {
        g_object_ref(m_input);
    }
    ~XlsRecordStream() { g_object_unref(m_input); }

    qint64 position() const { return m_windowPos + m_begin; }
    qint64 remaining() const { return m_size - position(); }

    void rewind()
    {
        if (gsf_input_seek(m_input, 0, G_SEEK_SET))
            fileInvalid();
        m_windowPos = 0;
        m_begin = m_end = 0;
    }

    quint16 peekId()
    {
        if (!fill(2))
            return 0;
        return le16(m_buffer.data() + m_begin);
    }

    // Reads one record and the CONTINUE records that follow it. Records the
    // section keeps go to the workbook's arena, the others to the scratch
    // arena that the caller empties after each record.
    BiffRecord *readRecord(XlsSection *section, Section where)
    {
        quint16 id = 0, size = 0;
        bool continued = false;
        const quint8 *data = readRaw(id, size, continued);
        XlsArena &arena = keeps(id, where) ? m_keep : m_scratch;
        const Made made = create(arena, section, where, id, data, size, continued);
        BiffRecord *record = made.record;
        consume(size);
        BiffRecord *tail = record;
        while (remaining() >= 4) {
            const quint16 next = peekId();
            if (next == XlsRecordId::Continue) {
                const quint8 *more = readRaw(id, size, continued);
                auto *cont = arena.make<BiffContinue>(section, id, more, size, continued);
                consume(size);
                XlsArena::link(tail, cont);
                tail = cont;
                continue;
            }
            if (next == XlsRecordId::String && !XlsRecordId::isFormula(tail->id()) && tail->id() != XlsRecordId::ShrFmla)
                fileInvalid();
            break;
        }
        made.afterRead(record);
        return record;
    }

    XlsArena &scratch() { return m_scratch; }

private:
    static constexpr int WindowSize = 256 * 1024;

    static bool keeps(quint16 id, Section where)
    {
        using namespace XlsRecordId;
        switch (where) {
        case Section::Workbook:
            return id == Bof || id == Bof3;
        case Section::Globals:
            return id == Eof || id == Name || id == BoundSheet || id == Xf || id == Format;
        case Section::WorkSheet:
            return id == Eof || isFormula(id) || id == Blank || id == Number || id == Rk || id == BoolErr || id == LabelSst || id == Label
                || id == RString || id == ShrFmla;
        }
        return false;
    }

    // Header, then exactly size bytes; returns them in the window, and
    // whether a CONTINUE record follows them.
    const quint8 *readRaw(quint16 &id, quint16 &size, bool &continued)
    {
        if (!fill(4))
            fileInvalid();
        id = le16(m_buffer.data() + m_begin);
        size = le16(m_buffer.data() + m_begin + 2);
        m_begin += 4;
        if (!fill(size))
            fileInvalid();
        continued = fill(size + 2) && le16(m_buffer.data() + m_begin + size) == XlsRecordId::Continue;
        return m_buffer.data() + m_begin;
    }

    void consume(int count) { m_begin += count; }

    // Makes count bytes available from m_begin; false when the stream holds
    // fewer.
    bool fill(int count)
    {
        if (m_end - m_begin >= count)
            return true;
        if (remaining() < count)
            return false;
        const int kept = m_end - m_begin;
        if (kept > 0)
            std::memmove(m_buffer.data(), m_buffer.data() + m_begin, std::size_t(kept));
        m_windowPos += m_begin;
        m_begin = 0;
        m_end = kept;
        const qint64 inStream = m_size - (m_windowPos + m_end);
        const int wanted = int(std::min<qint64>(inStream, qint64(WindowSize - m_end)));
        if (wanted > 0) {
            if (!gsf_input_read(m_input, std::size_t(wanted), m_buffer.data() + m_end))
                fileInvalid();
            m_end += wanted;
        }
        return m_end - m_begin >= count;
    }

    static bool isSheetRecord(quint16 id)
    {
        using namespace XlsRecordId;
        return isFormula(id) || id == Blank || id == Number || id == Rk || id == BoolErr || id == LabelSst || id == Label || id == RString
            || id == MulRk || id == MulBlank || id == String || id == ShrFmla;
    }

    // A record just made, and its kind's afterRead().
    struct Made
    {
        BiffRecord *record;
        void (*afterRead)(BiffRecord *);
    };

    template <class T>
    static Made make(XlsArena &arena, XlsSection *section, quint16 id, const quint8 *data, quint16 size, bool link)
    {
        return { arena.make<T>(section, id, data, size, link), [](BiffRecord *r) { static_cast<T *>(r)->afterRead(); } };
    }

    static Made create(XlsArena &arena, XlsSection *section, Section where, quint16 id, const quint8 *data, quint16 size, bool link)
    {
        using namespace XlsRecordId;
        // Cell records outside a worksheet are ignored like any other.
        if (where != Section::WorkSheet && isSheetRecord(id))
            return make<BiffRecord>(arena, section, id, data, size, link);
        // The date system is read from the globals only.
        if (where == Section::Globals && id == DateMode)
            return make<BiffDateMode>(arena, section, id, data, size, link);
        switch (id) {
        case Formula:
        case Formula3:
        case Formula4:
            return make<BiffFormula>(arena, section, id, data, size, link);
        case Eof:
            return make<BiffEOF>(arena, section, id, data, size, link);
        case Name:
            return make<BiffName>(arena, section, id, data, size, link);
        case Continue:
            return make<BiffContinue>(arena, section, id, data, size, link);
        case BoundSheet:
            return make<BiffBoundSheet>(arena, section, id, data, size, link);
        case MulRk:
            return make<BiffMulRK>(arena, section, id, data, size, link);
        case MulBlank:
            return make<BiffMulBlank>(arena, section, id, data, size, link);
        case Xf:
            return make<BiffXF>(arena, section, id, data, size, link);
        case Sst:
            return make<BiffSST>(arena, section, id, data, size, link);
        case LabelSst:
            return make<BiffLabelSST>(arena, section, id, data, size, link);
        case Blank:
            return make<BiffBlank>(arena, section, id, data, size, link);
        case Number:
            return make<BiffNumber>(arena, section, id, data, size, link);
        case BoolErr:
            return make<BiffBoolErr>(arena, section, id, data, size, link);
        case String:
            return make<BiffString>(arena, section, id, data, size, link);
        case Bof:
        case Bof3:
            return make<BiffBOF>(arena, section, id, data, size, link);
        case Rk:
            return make<BiffRK>(arena, section, id, data, size, link);
        case Format:
            return make<BiffFormat>(arena, section, id, data, size, link);
        case ShrFmla:
            return make<BiffShrFmla>(arena, section, id, data, size, link);
        case Label:
        case RString:
            return make<BiffLabel>(arena, section, id, data, size, link);
        default:
            return make<BiffRecord>(arena, section, id, data, size, link);
        }
    }

    GsfInput *m_input;
    XlsArena &m_keep;
    XlsArena &m_scratch;
    qint64 m_size;
    std::vector<quint8> m_buffer;
    qint64 m_windowPos = 0; // stream position of m_buffer[0]
    int m_begin = 0;
    int m_end = 0;
};

// ---------------------------------------------------------------- helpers

namespace Xls {

QString columnLetters(int column)
{
    if (column < 1)
        return QString();
    if (column <= 26)
        return QString(QChar(u'A' + (column - 1)));
    return QString(QChar(u'A' + ((column - 1) / 26 - 1) % 26)) + QChar(u'A' + (column - 1) % 26);
}

QString cellName(int row, int column)
{
    return columnLetters(column + 1) + QString::number(row + 1);
}

double decodeRk(quint32 rk)
{
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    if (rk & 0x01)
        value /= 100.0;
    return value;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#NULL!");
    }
}

int errorCode(QStringView text)
{
    for (const quint8 code : { 0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A })
        if (text == errorText(code))
            return code;
    return -1;
}

bool isDateFormatString(const QString &format)
{
    // Quoted texts, escaped and padding characters and bracketed parts
    // (colours, conditions, currencies) are no date letters; [h], [mm] and
    // [ss] are elapsed times.
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c == u'"') {
            const qsizetype end = format.indexOf(u'"', i + 1);
            if (end < 0)
                return false;
            i = end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = format.indexOf(u']', i + 1);
            if (end < 0)
                return false;
            const QString inside = format.mid(i + 1, end - i - 1).toLower();
            if (!inside.isEmpty()
                && (inside.count(u'h') == inside.size() || inside.count(u'm') == inside.size() || inside.count(u's') == inside.size()))
                return true;
            i = end;
        } else {
            switch (c.toLower().unicode()) {
            case u'y':
            case u'm':
            case u'd':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

} // namespace Xls

// ---------------------------------------------------------------- strings

XlsString XlsString::narrow(QByteArray latin1)
{
    XlsString s;
    s.m_narrowText = std::move(latin1);
    return s;
}

XlsString XlsString::wide(QString text)
{
    XlsString s;
    s.m_wide = true;
    s.m_wideText = std::move(text);
    return s;
}

QString XlsString::text() const
{
    return m_wide ? m_wideText : QString::fromLatin1(m_narrowText);
}

// ---------------------------------------------------------------- records

BiffRecord::BiffRecord(quint16 id, quint16 size, quint8 dataOffset)
    : m_id(id)
    , m_size(size)
    , m_dataOffset(dataOffset)
{
}

void *BiffRecord::linkSlot() const
{
    return const_cast<quint8 *>(data()) + m_size;
}

BiffContinue *BiffRecord::continueRecord() const
{
    if (!m_hasLink)
        return nullptr;
    BiffContinue *next;
    std::memcpy(&next, linkSlot(), sizeof next);
    return next;
}

quint8 BiffRecord::byteAt(int offset) const
{
    return offset >= 0 && offset < m_size ? data()[offset] : 0;
}

quint16 BiffRecord::wordAt(int offset) const
{
    return offset >= 0 && offset + 2 <= m_size ? le16(data() + offset) : 0;
}

quint32 BiffRecord::dwordAt(int offset) const
{
    return offset >= 0 && offset + 4 <= m_size ? le32(data() + offset) : 0;
}

BiffBOF::BiffBOF(quint16 id, quint16 size, quint8 dataOffset)
    : BiffRecord(id, size, dataOffset)
{
    if (version() != 0x0600)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File is saved with an invalid Excel version")));
}

void BiffBoundSheet::afterRead()
{
    m_name = readXlsString(*this, 6, true);
}

void BiffXF::setFormatIndex(quint16 index)
{
    quint8 *d = mutableData();
    d[2] = quint8(index & 0xFF);
    d[3] = quint8(index >> 8);
}

void BiffFormat::afterRead()
{
    m_format = readXlsString(*this, 2, false);
}

QString BiffString::text() const
{
    return readXlsString(*this, 0, false).text();
}

// ---------------------------------------------------------------- cells

XlsWorkSheet *BiffCell::workSheet() const
{
    return static_cast<XlsWorkSheet *>(section());
}

void BiffCell::cannotAccess(const char *typeWord) const
{
    throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot access cell '%1' as type %2"), name(), QString::fromLatin1(typeWord)));
}

// Each accessor below picks the kind's own by id. A case may only name a
// kind that declares that accessor itself: one that inherits it would come
// back here.
XlsCellKind BiffCell::kind() const
{
    using namespace XlsRecordId;
    switch (id()) {
    case Number:
    case Rk:
        return static_cast<const BiffNumberCell *>(this)->kind();
    case BoolErr:
        return static_cast<const BiffBoolErr *>(this)->kind();
    case LabelSst:
        return static_cast<const BiffLabelSST *>(this)->kind();
    case Label:
    case RString:
        return static_cast<const BiffLabel *>(this)->kind();
    default:
        return XlsCellKind::Other;
    }
}

QString BiffCell::kindName() const
{
    if (isFormula())
        return QStringLiteral("formula");
    switch (kind()) {
    case XlsCellKind::String:
        return QStringLiteral("string");
    case XlsCellKind::Boolean:
        return QStringLiteral("boolean");
    case XlsCellKind::Number:
        return QStringLiteral("number");
    case XlsCellKind::DateTime:
        return QStringLiteral("datetime");
    default:
        return QStringLiteral("other");
    }
}

QString BiffCell::text() const
{
    using namespace XlsRecordId;
    switch (id()) {
    case Number:
    case Rk:
        return static_cast<const BiffNumberCell *>(this)->text();
    case BoolErr:
        return static_cast<const BiffBoolErr *>(this)->text();
    case LabelSst:
        return static_cast<const BiffLabelSST *>(this)->text();
    case Label:
    case RString:
        return static_cast<const BiffLabel *>(this)->text();
    case Formula:
    case Formula3:
    case Formula4:
        return static_cast<const BiffFormula *>(this)->text();
    default:
        return QString();
    }
}

void BiffCell::setText(const QString &)
{
    cannotAccess("String");
}

bool BiffCell::boolean() const
{
    if (id() == XlsRecordId::BoolErr)
        return static_cast<const BiffBoolErr *>(this)->boolean();
    cannotAccess("Boolean");
}

void BiffCell::setBoolean(bool value)
{
    if (id() != XlsRecordId::BoolErr)
        cannotAccess("Boolean");
    static_cast<BiffBoolErr *>(this)->setBoolean(value);
}

double BiffCell::number() const
{
    switch (id()) {
    case XlsRecordId::Number:
        return static_cast<const BiffNumber *>(this)->number();
    case XlsRecordId::Rk:
        return static_cast<const BiffRK *>(this)->number();
    default:
        cannotAccess("Float");
    }
}

void BiffCell::setNumber(double value)
{
    if (id() != XlsRecordId::Number)
        cannotAccess("Float");
    static_cast<BiffNumber *>(this)->setNumber(value);
}

double BiffCell::dateTime() const
{
    if (id() != XlsRecordId::Number && id() != XlsRecordId::Rk)
        cannotAccess("DateTime");
    return static_cast<const BiffNumberCell *>(this)->dateTime();
}

void BiffCell::setDateTime(double value)
{
    if (id() != XlsRecordId::Number)
        cannotAccess("DateTime");
    static_cast<BiffNumber *>(this)->setDateTime(value);
}

QVariant BiffCell::variant() const
{
    using namespace XlsRecordId;
    switch (id()) {
    case Number:
    case Rk:
        return static_cast<const BiffNumberCell *>(this)->variant();
    case BoolErr:
        return static_cast<const BiffBoolErr *>(this)->variant();
    case LabelSst:
        return static_cast<const BiffLabelSST *>(this)->variant();
    case Label:
    case RString:
        return static_cast<const BiffLabel *>(this)->variant();
    case Formula:
    case Formula3:
    case Formula4:
        return static_cast<const BiffFormula *>(this)->variant();
    default:
        return QVariant();
    }
}

void BiffCell::setVariant(const QVariant &)
{
    cannotAccess("Variant");
}

bool BiffNumberCell::isDate() const
{
    return workbook()->globals().isDateXf(xfIndex());
}

XlsCellKind BiffNumberCell::kind() const
{
    return isDate() ? XlsCellKind::DateTime : XlsCellKind::Number;
}

QString BiffNumberCell::text() const
{
    const double value = number();
    if (isDate())
        return workbook()->dateTimeText(value);
    return numberText(value);
}

double BiffNumberCell::dateTime() const
{
    const double value = number();
    return workbook()->globals().dates1904() ? value + 1462.0 : value;
}

double BiffNumber::number() const
{
    return leDouble(data() + 6);
}

void BiffNumber::setNumber(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, mutableData() + 6);
}

QString BiffBoolErr::text() const
{
    if (isError())
        return Xls::errorText(value());
    return value() ? QStringLiteral("true") : QStringLiteral("false");
}

bool BiffBoolErr::boolean() const
{
    return !isError() && value() != 0;
}

void BiffBoolErr::setBoolean(bool on)
{
    quint8 *d = mutableData();
    d[6] = on ? 1 : 0;
    d[7] = 0;
}

QVariant BiffBoolErr::variant() const
{
    if (isError())
        return Xls::errorText(value());
    return value() != 0;
}

BiffLabelSST::BiffLabelSST(quint16 id, quint16 size, quint8 dataOffset)
    : BiffCell(id, size, dataOffset)
{
    // The table is read before any worksheet; an index beyond it is a
    // damaged file.
    BiffSSTList &sst = workbook()->globals().sst();
    if (sstIndex() >= quint32(sst.count()))
        fileInvalid();
    ++sst.entry(int(sstIndex())).refCount;
}

const XlsSSTEntry &BiffLabelSST::entry() const
{
    return workbook()->globals().sst().entry(int(sstIndex()));
}

QString BiffLabelSST::text() const
{
    return workbook()->globals().sst().text(int(sstIndex()));
}

void BiffLabel::afterRead()
{
    m_text = readXlsString(*this, 6, false);
}

BiffFormula::BiffFormula(quint16 id, quint16 size, quint8 dataOffset)
    : BiffCell(id, size, dataOffset)
{
    if (fixedWord(12) == 0xFFFF) {
        switch (fixedByte(6)) {
        case 0:
            m_result = QString();
            break; // the STRING record that follows gives it
        case 1:
            m_result = fixedByte(8) == 1;
            break;
        default:
            break; // error or empty: no result
        }
    } else {
        m_result = leDouble(data() + 6);
    }
}

QString BiffFormula::text() const
{
    switch (m_result.typeId()) {
    case QMetaType::Double:
        return floatToStr(m_result.toDouble());
    case QMetaType::QString:
        return m_result.toString();
    case QMetaType::Bool:
        return m_result.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString();
    }
}

QByteArray BiffFormula::tokens() const
{
    if (!m_tokens.isEmpty())
        return m_tokens;
    if (dataSize() < 22)
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(data()) + 20, dataSize() - 20);
}

bool BiffFormula::refersToSharedFormula() const
{
    return dataSize() == 27 && wordAt(20) == 5 && byteAt(22) == 0x01;
}

quint32 BiffFormula::sharedFormulaKey() const
{
    return quint32(wordAt(23)) + quint32(wordAt(25)) * 65536u;
}

int BiffMultiple::count() const
{
    return (dataSize() - MinSize) / entrySize();
}

bool BiffMultiple::next()
{
    if (m_current + 1 >= count())
        return false;
    ++m_current;
    return true;
}

// ---------------------------------------------------------------- lists

void BiffRecordList::clear()
{
    m_items.clear();
    m_sorted = true;
}

BiffCellList::BiffCellList(bool byColumn, const XlsArena &arena)
    : m_arena(&arena)
    , m_byColumn(byColumn)
{
}

BiffCell *BiffCellList::at(quint32 handle) const
{
    return static_cast<BiffCell *>(m_arena->record(handle));
}

int BiffCellList::keyOf(quint32 handle) const
{
    const BiffCell *cell = at(handle);
    return m_byColumn ? cell->column() : cell->row();
}

void BiffCellList::add(BiffCell *cell)
{
    const int key = m_byColumn ? cell->column() : cell->row();
    if (m_items.empty()) {
        m_number = m_byColumn ? cell->row() : cell->column();
        m_lowest = m_highest = key;
    } else {
        if (key < m_lastKey)
            m_sorted = false;
        m_lowest = std::min(m_lowest, key);
        m_highest = std::max(m_highest, key);
    }
    m_lastKey = key;
    m_items.push_back(m_arena->handleOf(cell));
}

void BiffCellList::sort()
{
    if (m_sorted)
        return;
    std::stable_sort(m_items.begin(), m_items.end(), [this](quint32 a, quint32 b) { return keyOf(a) < keyOf(b); });
    m_sorted = true;
}

BiffCell *BiffCellList::find(int position)
{
    sort();
    // Of two records at one place the later one wins, as it would on screen.
    auto it = std::upper_bound(m_items.begin(), m_items.end(), position, [this](int p, quint32 c) { return p < keyOf(c); });
    if (it == m_items.begin())
        return nullptr;
    --it;
    return keyOf(*it) == position ? at(*it) : nullptr;
}

int BiffCellList::lowerBound(int position)
{
    sort();
    auto it = std::lower_bound(m_items.begin(), m_items.end(), position, [this](quint32 c, int p) { return keyOf(c) < p; });
    return int(it - m_items.begin());
}

BiffCell *BiffCellList::cell(int i)
{
    sort();
    return at(m_items[std::size_t(i)]);
}

XlsRow *XlsRowList::row(int index) const
{
    if (index >= 0 && std::size_t(index) < m_rows.size() && m_rows[std::size_t(index)].index == index)
        return m_rows[std::size_t(index)].row.get();
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), index, [](const Entry &e, int i) { return e.index < i; });
    return it != m_rows.end() && it->index == index ? it->row.get() : &m_empty;
}

XlsRow *XlsRowList::grow(int index)
{
    if (m_rows.empty() || m_rows.back().index < index) {
        m_rows.push_back({ index, std::make_unique<XlsRow>(m_arena) });
        return m_rows.back().row.get();
    }
    if (m_rows.back().index == index)
        return m_rows.back().row.get();
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), index, [](const Entry &e, int i) { return e.index < i; });
    if (it == m_rows.end() || it->index != index)
        it = m_rows.insert(it, { index, std::make_unique<XlsRow>(m_arena) });
    return it->row.get();
}

void XlsRowList::squeeze()
{
    m_rows.shrink_to_fit();
    for (auto &entry : m_rows)
        entry.row->squeeze();
}

XlsCol *XlsColList::col(int index) const
{
    int lowest, highest;
    if (!extent(index, lowest, highest))
        return &m_empty;
    std::unique_ptr<XlsCol> &column = m_gathered[index];
    if (!column) {
        column = std::make_unique<XlsCol>(m_rows.arena());
        for (int r = lowest; r <= highest; ++r) {
            XlsRow *row = m_rows.row(r);
            for (int i = row->lowerBound(index); i < row->count() && row->cell(i)->column() == index; ++i)
                column->add(row->cell(i));
        }
    }
    return column.get();
}

void XlsColList::add(BiffCell *cell)
{
    const int index = cell->column();
    if (index >= count())
        m_extents.resize(std::size_t(index) + 1);
    Extent &e = m_extents[std::size_t(index)];
    if (e.lowest < 0) {
        e.lowest = e.highest = cell->row();
    } else {
        e.lowest = std::min(e.lowest, cell->row());
        e.highest = std::max(e.highest, cell->row());
    }
    const auto gathered = m_gathered.find(index);
    if (gathered != m_gathered.end())
        gathered->second->add(cell);
}

bool XlsColList::extent(int index, int &lowest, int &highest) const
{
    lowest = highest = -1;
    if (index < 0 || index >= count() || m_extents[std::size_t(index)].lowest < 0)
        return false;
    lowest = m_extents[std::size_t(index)].lowest;
    highest = m_extents[std::size_t(index)].highest;
    return true;
}

void XlsColList::squeeze()
{
    for (auto &entry : m_gathered)
        entry.second->squeeze();
}

void XlsColList::clear()
{
    m_extents.clear();
    m_gathered.clear();
}

BiffShrFmla *BiffShrFmlaList::find(quint32 key)
{
    auto keyOf = [](const BiffRecord *r) { return static_cast<const BiffShrFmla *>(r)->key(); };
    if (!m_sorted) {
        std::stable_sort(m_items.begin(), m_items.end(), [&](const BiffRecord *a, const BiffRecord *b) { return keyOf(a) < keyOf(b); });
        m_sorted = true;
    }
    auto it = std::lower_bound(m_items.begin(), m_items.end(), key, [&](const BiffRecord *r, quint32 k) { return keyOf(r) < k; });
    if (it == m_items.end() || keyOf(*it) != key)
        return nullptr;
    return static_cast<BiffShrFmla *>(*it);
}

QString BiffSSTList::text(int i) const
{
    const XlsSSTEntry &e = m_entries[std::size_t(i)];
    const char *p = m_pool.constData() + e.offset;
    if (!e.wide)
        return QString::fromLatin1(p, e.length);
    QString s(e.length, Qt::Uninitialized);
    QChar *out = s.data();
    for (int k = 0; k < e.length; ++k)
        out[k] = QChar(le16(reinterpret_cast<const quint8 *>(p) + 2 * k));
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

// ---------------------------------------------------------------- sections

XlsSection::~XlsSection() = default;

void XlsSection::setBof(BiffBOF *bof)
{
    m_bof = bof;
    // Read before its substream's type was known, it belongs here now.
    if (bof)
        XlsArena::assignSection(bof, this);
}

void XlsSection::setEof(BiffEOF *eof)
{
    m_eof = eof;
}

void XlsSection::clearSection()
{
    m_bof = nullptr;
    m_eof = nullptr;
}

XlsGlobals::~XlsGlobals() = default;

void XlsGlobals::clear()
{
    clearSection();
    m_boundSheets.clear();
    m_names.clear();
    m_sst.clear();
    m_xfs.clear();
    m_formats.clear();
    m_dateXf.clear();
    m_dates1904 = false;
}

void XlsGlobals::bindFormats()
{
    QHash<quint16, BiffFormat *> byIndex;
    for (int i = 0; i < m_formats.count(); ++i) {
        BiffFormat *f = m_formats.format(i);
        if (!byIndex.contains(f->formatIndex()))
            byIndex.insert(f->formatIndex(), f);
    }
    m_dateXf.assign(std::size_t(m_xfs.count()), false);
    for (int i = 0; i < m_xfs.count(); ++i) {
        BiffXF *xf = m_xfs.xf(i);
        xf->setFormat(byIndex.value(xf->formatIndex()));
        // The date test, once per XF rather than once per cell.
        if (xf->format())
            m_dateXf[std::size_t(i)] = Xls::isDateFormatString(xf->format()->formatString());
        else
            m_dateXf[std::size_t(i)] = xf->formatIndex() >= 14 && xf->formatIndex() <= 22;
    }
}

bool XlsGlobals::isDateXf(int xfIndex) const
{
    return xfIndex >= 0 && std::size_t(xfIndex) < m_dateXf.size() && m_dateXf[std::size_t(xfIndex)];
}

QString XlsSheet::name() const
{
    return m_workbook->sheetName(this);
}

XlsWorkSheet::XlsWorkSheet(XlsWorkbook *workbook)
    : XlsSheet(workbook)
    , m_rows(workbook->arena())
{
}

XlsWorkSheet::~XlsWorkSheet()
{
    if (m_workbook)
        m_workbook->workSheets().remove(this);
}

void XlsWorkSheet::clear()
{
    m_rows.clear();
    m_cols.clear();
    m_sharedFormulas.clear();
    m_formulas.clear();
    m_cellCount = 0;
    m_lastRow = -1;
}

void XlsWorkSheet::addCell(BiffCell *cell)
{
    // Cells come row after row: a row left behind gives back its spare room.
    // A new row is given the size of the last one, which it most often has.
    XlsRow *row = m_rows.grow(cell->row());
    if (cell->row() != m_lastRow) {
        std::size_t expected = 0;
        if (m_lastRow >= 0 && m_lastRow < m_rows.count()) {
            expected = std::size_t(m_rows.row(m_lastRow)->count());
            m_rows.row(m_lastRow)->squeeze();
        }
        if (row->isEmpty())
            row->reserve(expected);
        m_lastRow = cell->row();
    }
    row->add(cell);
    m_cols.add(cell);
    ++m_cellCount;
    if (cell->isFormula())
        m_formulas.push_back(static_cast<BiffFormula *>(cell));
}

BiffCell *XlsWorkSheet::cell(int row, int column)
{
    if (row < 0 || row > 65535)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Invalid Row (%1)"), row));
    if (column < 0 || column > 255)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Invalid Column (%1)"), column));
    if (row >= m_rows.count())
        return nullptr;
    return m_rows.row(row)->find(column);
}

QString XlsWorkSheet::cellText(int row, int column)
{
    BiffCell *c = cell(row, column);
    return c ? c->text() : QString();
}

bool XlsWorkSheet::rowExtent(int row, int &lowest, int &highest) const
{
    lowest = highest = -1;
    if (row < 0 || row >= m_rows.count() || m_rows.row(row)->isEmpty())
        return false;
    lowest = m_rows.row(row)->lowest();
    highest = m_rows.row(row)->highest();
    return true;
}

bool XlsWorkSheet::colExtent(int column, int &lowest, int &highest) const
{
    return m_cols.extent(column, lowest, highest);
}

namespace {

int tokenSize(const QByteArray &t, int i, int end)
{
    const quint8 ptg = quint8(t[i]);
    auto at = [&](int k) { return k < end ? quint8(t[k]) : quint8(0); };
    if (ptg >= 0x03 && ptg <= 0x16)
        return 1;
    switch (ptg) {
    case 0x17:
        return 3 + at(i + 1) * ((at(i + 2) & 0x01) ? 2 : 1);
    case 0x19:
        return 4 + ((at(i + 1) & 0x04) ? 2 * (int(at(i + 2) | (at(i + 3) << 8)) + 1) : 0);
    case 0x1C:
    case 0x1D:
        return 2;
    case 0x1E:
    case 0x21:
    case 0x41:
    case 0x61:
        return 3;
    case 0x1F:
        return 9;
    case 0x22:
    case 0x42:
    case 0x62:
        return 4;
    case 0x20:
    case 0x40:
        return 8;
    default:
        break;
    }
    if (ptg >= 0x23 && ptg <= 0x7D && ptg != 0x60) {
        switch (ptg & 0x1F) {
        case 0x03: // name
        case 0x04: // reference
        case 0x0A: // reference error
        case 0x0C:
            return 5; // relative reference
        case 0x05: // area
        case 0x0B: // area error
        case 0x0D:
            return 9; // relative area
        case 0x19: // external name
        case 0x1A: // 3-D reference
        case 0x1C:
            return 7; // 3-D reference error
        case 0x1B: // 3-D area
        case 0x1D:
            return 11; // 3-D area error
        default:
            break;
        }
    }
    throw TokenError(ptg, translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Unsupported token 0x%1"), QString::number(ptg, 16)));
}

// A relative column (low 8 bits of the field, the flags above them) made
// absolute.
void absoluteColumn(QByteArray &t, int k, int cellColumn)
{
    const quint16 field = quint16(quint8(t[k]) | (quint8(t[k + 1]) << 8));
    if (field & 0x4000) {
        const int col = (cellColumn + qint8(field & 0xFF)) & 0xFF;
        t[k] = char(col);
    }
}

void absoluteRow(QByteArray &t, int k, quint16 colField, int cellRow)
{
    if (colField & 0x8000) {
        const int row = (cellRow + qint16(quint16(quint8(t[k]) | (quint8(t[k + 1]) << 8)))) & 0xFFFF;
        t[k] = char(row & 0xFF);
        t[k + 1] = char(row >> 8);
    }
}

// Walks the tokens of a shared formula copied into a cell (length word, then
// the tokens), turning relative references into absolute ones.
void walkSharedTokens(QByteArray &t, int cellRow, int cellColumn, quint16 recordId)
{
    if (t.size() < 2)
        recordInvalid(recordId);
    const int length = int(quint8(t[0]) | (quint8(t[1]) << 8));
    const int end = 2 + length;
    if (end > t.size())
        recordInvalid(recordId);
    int i = 2;
    while (i < end) {
        const quint8 ptg = quint8(t[i]);
        const int size = tokenSize(t, i, end);
        if (i + size > end)
            recordInvalid(recordId);
        const quint8 base = ptg & 0x1F;
        if (ptg >= 0x2C && (base == 0x0C || base == 0x0D) && (ptg >> 5) >= 1) {
            if (base == 0x0C) {
                const quint16 colField = quint16(quint8(t[i + 3]) | (quint8(t[i + 4]) << 8));
                absoluteRow(t, i + 1, colField, cellRow);
                absoluteColumn(t, i + 3, cellColumn);
            } else {
                const quint16 firstCol = quint16(quint8(t[i + 5]) | (quint8(t[i + 6]) << 8));
                const quint16 lastCol = quint16(quint8(t[i + 7]) | (quint8(t[i + 8]) << 8));
                absoluteRow(t, i + 1, firstCol, cellRow);
                absoluteRow(t, i + 3, lastCol, cellRow);
                absoluteColumn(t, i + 5, cellColumn);
                absoluteColumn(t, i + 7, cellColumn);
            }
            t[i] = char(ptg - 0x08); // now a plain reference or area
        }
        i += size;
    }
}

} // namespace

void XlsWorkSheet::expandSharedFormulas()
{
    for (BiffFormula *f : m_formulas) {
        if (!f->refersToSharedFormula())
            continue;
        BiffShrFmla *shared = m_sharedFormulas.find(f->sharedFormulaKey());
        // An array formula (whose ARRAY record is not kept) or a shared
        // formula the writer left out: the cell keeps its own token and its
        // cached result, which is all the import reads.
        if (!shared)
            continue;
        QByteArray tokens(reinterpret_cast<const char *>(shared->data()) + 8, shared->dataSize() - 8);
        try {
            walkSharedTokens(tokens, f->row(), f->column(), shared->id());
        } catch (const TokenError &e) {
            throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Formula at Row %1, column %2 is not supported. Token Id: 0x%3"), QString::number(f->row() + 1), QString::number(f->column() + 1),
                QStringLiteral("%1").arg(e.tokenId(), 2, 16, QLatin1Char(' '))));
        }
        f->setTokens(tokens);
    }
}

void XlsSheetList::add(std::unique_ptr<XlsSheet> sheet)
{
    sheet->setIndex(count());
    m_sheets.push_back(std::move(sheet));
}

void XlsWorkSheetList::remove(XlsWorkSheet *sheet)
{
    m_sheets.erase(std::remove(m_sheets.begin(), m_sheets.end(), sheet), m_sheets.end());
}

// ---------------------------------------------------------------- workbook

struct XlsWorkbook::DateTextCache
{
    // The settings the texts were made with.
    QString shortDateFormat;
    QChar dateSeparator;
    QStringList shortMonths, longMonths, shortDays, longDays;
    // Direct-mapped by day: the dates of a workbook mostly fall within a few
    // years, and the same days come back again and again.
    static constexpr std::size_t Slots = 16384;
    struct Slot
    {
        qint64 day = std::numeric_limits<qint64>::min();
        QString text;
    };
    std::vector<Slot> texts;

    bool matches(const FormatSettings &fs) const
    {
        // Mostly the very settings the texts were made with: shared data.
        if (shortDateFormat.constData() == fs.shortDateFormat.constData() && dateSeparator == fs.dateSeparator
            && shortMonths.constData() == fs.shortMonthNames.constData() && longMonths.constData() == fs.longMonthNames.constData()
            && shortDays.constData() == fs.shortDayNames.constData() && longDays.constData() == fs.longDayNames.constData())
            return true;
        return shortDateFormat == fs.shortDateFormat && dateSeparator == fs.dateSeparator && shortMonths == fs.shortMonthNames
            && longMonths == fs.longMonthNames && shortDays == fs.shortDayNames && longDays == fs.longDayNames;
    }
    void reset(const FormatSettings &fs)
    {
        shortDateFormat = fs.shortDateFormat;
        dateSeparator = fs.dateSeparator;
        shortMonths = fs.shortMonthNames;
        longMonths = fs.longMonthNames;
        shortDays = fs.shortDayNames;
        longDays = fs.longDayNames;
        texts.assign(Slots, Slot());
    }
};

XlsWorkbook::XlsWorkbook(WorkbookFile *file)
    : m_file(file)
    , m_arena(std::make_unique<XlsArena>(this))
    , m_globals(std::make_unique<XlsGlobals>(this))
    , m_dateTexts(std::make_unique<DateTextCache>())
{
}

XlsWorkbook::~XlsWorkbook()
{
    clear();
}

void XlsWorkbook::clear()
{
    m_workSheets.clear();
    m_sheets.clear();
    m_sheetPositions.clear();
    m_globals->clear();
    m_arena->clear();
    m_dateTexts->texts.clear();
    m_dateTexts->texts.shrink_to_fit();
}

QString XlsWorkbook::sheetName(const XlsSheet *sheet) const
{
    // A BOUNDSHEET names the sheet whose BOF sits at its stream position;
    // failing that, the sheets and the BOUNDSHEETs pair in order.
    const BiffBoundSheetList &list = const_cast<XlsGlobals &>(*m_globals).boundSheets();
    const int index = sheet->index();
    if (index < 0)
        return QString();
    if (std::size_t(index) < m_sheetPositions.size()) {
        for (int i = 0; i < list.count(); ++i)
            if (list.sheet(i)->streamPosition() == m_sheetPositions[std::size_t(index)])
                return list.sheet(i)->name();
    }
    return index < list.count() ? list.sheet(index)->name() : QString();
}

QString XlsWorkbook::dateTimeText(double value) const
{
    const FormatSettings &fs = FormatSettings::current();
    // Days from 1 January 1 to 31 December 9999; other values are no dates.
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0)
        return floatToStr(value, fs);
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    if (whole == 0.0 && fraction != 0.0)
        return formatDateTime(fs.longTimeFormat, value, fs);
    if (m_globals->dates1904())
        value += 1462.0;
    if (fraction == 0.0) {
        if (m_dateTexts->texts.empty() || !m_dateTexts->matches(fs))
            m_dateTexts->reset(fs);
        const qint64 day = qint64(value);
        DateTextCache::Slot &slot = m_dateTexts->texts[std::size_t(day) % DateTextCache::Slots];
        if (slot.day != day) {
            slot.day = day;
            slot.text = formatDateTime(fs.shortDateFormat, value, fs);
        }
        return slot.text;
    }
    return formatDateTime(fs.shortDateFormat, value, fs) + QLatin1Char(' ') + formatDateTime(fs.longTimeFormat, value, fs);
}

void XlsWorkbook::load(XlsRecordStream &stream)
{
    clear();
    XlsArena &scratch = stream.scratch();
    stream.rewind();
    bool read = false;
    while (stream.remaining() >= 4) {
        const quint16 id = stream.peekId();
        if (id == XlsRecordId::Eof || id == 0)
            break;
        read = true;
        const qint64 position = stream.position();
        BiffRecord *record = stream.readRecord(nullptr, XlsRecordStream::Section::Workbook);
        if (record->id() != XlsRecordId::Bof && record->id() != XlsRecordId::Bof3)
            fileInvalid();
        auto *bof = static_cast<BiffBOF *>(record);
        switch (bof->substreamType()) {
        case 0x0005:
            m_globals->setBof(bof);
            readGlobals(stream);
            break;
        case 0x0010: {
            auto owned = std::make_unique<XlsWorkSheet>(this);
            XlsWorkSheet *sheet = owned.get();
            sheet->setBof(bof);
            m_sheets.add(std::move(owned));
            m_workSheets.add(sheet);
            m_sheetPositions.push_back(quint32(position));
            readWorkSheet(stream, sheet);
            break;
        }
        default:
            // A chart sheet (0x0020) ends here too: its records are no cells.
            fileInvalid();
        }
        scratch.clear();
    }
    // An empty stream is no workbook.
    if (!read)
        fileInvalid();
}

void XlsWorkbook::readGlobals(XlsRecordStream &stream)
{
    XlsArena &scratch = stream.scratch();
    XlsGlobals &g = *m_globals;
    for (;;) {
        if (stream.remaining() <= 0)
            fileInvalid();
        BiffRecord *record = stream.readRecord(&g, XlsRecordStream::Section::Globals);
        bool done = false;
        switch (record->id()) {
        case XlsRecordId::Eof:
            g.setEof(static_cast<BiffEOF *>(record));
            done = true;
            break;
        case XlsRecordId::Bof:
            fileInvalid();
        case XlsRecordId::Name:
            g.names().append(record);
            break;
        case XlsRecordId::BoundSheet:
            g.boundSheets().append(record);
            break;
        case XlsRecordId::Xf:
            g.xfs().append(record);
            break;
        case XlsRecordId::Format:
            g.formats().append(record);
            break;
        case XlsRecordId::Sst:
            g.sst().load(*static_cast<BiffSST *>(record));
            break;
        case XlsRecordId::FilePass:
            fileInvalid(); // encrypted: the records would read as garbage
        case XlsRecordId::DateMode:
            g.setDates1904(static_cast<BiffDateMode *>(record)->dates1904());
            break;
        default:
            break;
        }
        scratch.clear();
        if (done)
            break;
    }
    g.bindFormats();
}

void XlsWorkbook::readWorkSheet(XlsRecordStream &stream, XlsWorkSheet *sheet)
{
    XlsArena &scratch = stream.scratch();
    XlsArena &arena = *m_arena;
    sheet->clear();
    BiffFormula *lastFormula = nullptr;
    // A sheet of this format has 256 columns. A formatted blank beyond them
    // holds nothing and is passed over; a value there is one no range can
    // name, so the damaged file is refused rather than read without it.
    auto addCell = [sheet](BiffCell *cell) {
        if (cell->column() > 255) {
            if (cell->id() == XlsRecordId::Blank)
                return;
            throw WorkbookError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Invalid Column (%1)"), cell->column()));
        }
        sheet->addCell(cell);
    };
    for (;;) {
        if (stream.remaining() <= 0)
            fileInvalid();
        BiffRecord *record = stream.readRecord(sheet, XlsRecordStream::Section::WorkSheet);
        bool done = false;
        switch (record->id()) {
        case XlsRecordId::Bof:
        case XlsRecordId::Bof3:
            fileInvalid(); // an embedded chart or another nested substream
        case XlsRecordId::Formula:
        case XlsRecordId::Formula3:
        case XlsRecordId::Formula4:
            lastFormula = static_cast<BiffFormula *>(record);
            addCell(lastFormula);
            break;
        case XlsRecordId::Blank:
        case XlsRecordId::Number:
        case XlsRecordId::Rk:
        case XlsRecordId::BoolErr:
        case XlsRecordId::LabelSst:
        case XlsRecordId::Label:
        case XlsRecordId::RString:
            addCell(static_cast<BiffCell *>(record));
            break;
        case XlsRecordId::MulRk: {
            auto *m = static_cast<BiffMulRK *>(record);
            quint8 bytes[10];
            while (m->next() && m->currentColumn() <= 0xFFFF) {
                qToLittleEndian(quint16(m->row()), bytes);
                qToLittleEndian(quint16(m->currentColumn()), bytes + 2);
                qToLittleEndian(quint16(m->currentXf()), bytes + 4);
                qToLittleEndian(m->currentRk(), bytes + 6);
                addCell(arena.make<BiffRK>(sheet, XlsRecordId::Rk, bytes, 10));
            }
            break;
        }
        case XlsRecordId::MulBlank: {
            auto *m = static_cast<BiffMulBlank *>(record);
            quint8 bytes[6];
            while (m->next() && m->currentColumn() <= 0xFFFF) {
                qToLittleEndian(quint16(m->row()), bytes);
                qToLittleEndian(quint16(m->currentColumn()), bytes + 2);
                qToLittleEndian(quint16(m->currentXf()), bytes + 4);
                addCell(arena.make<BiffBlank>(sheet, XlsRecordId::Blank, bytes, 6));
            }
            break;
        }
        case XlsRecordId::ShrFmla:
            sheet->sharedFormulas().add(static_cast<BiffShrFmla *>(record));
            break;
        case XlsRecordId::String:
            if (!lastFormula)
                fileInvalid();
            lastFormula->setCachedResult(static_cast<BiffString *>(record)->text());
            break;
        case XlsRecordId::Eof:
            sheet->setEof(static_cast<BiffEOF *>(record));
            done = true;
            break;
        default:
            break;
        }
        scratch.clear();
        if (done)
            break;
    }
    sheet->expandSharedFormulas();
    sheet->rows().squeeze();
    sheet->cols().squeeze();
}

// ---------------------------------------------------------------- file

namespace {

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged container is reported by the exception; libgsf's own
        // warnings about it would only clutter the operator's console.
        const auto quiet = GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE);
        for (const char *domain : { "libgsf:msole", "libgsf:gsf", "libgsf" })
            g_log_set_handler(
                domain, quiet, [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    });
}

struct GObjectRef
{
    gpointer object = nullptr;
    GObjectRef() = default;
    explicit GObjectRef(gpointer o)
        : object(o)
    {
    }
    ~GObjectRef()
    {
        if (object)
            g_object_unref(object);
    }
    GObjectRef(const GObjectRef &) = delete;
    GObjectRef &operator=(const GObjectRef &) = delete;
};

// The record stream inside a container: the first root element named
// exactly "Workbook" of a compound document, or the input itself when it is
// no compound document. The result holds its own reference.
GsfInput *openWorkbookStream(GsfInput *input, const QString &fileName)
{
    if (!input)
        fileInvalid();
    GError *error = nullptr;
    GsfInfile *ole = gsf_infile_msole_new(input, &error);
    if (!ole) {
        if (error)
            g_error_free(error);
        if (gsf_input_seek(input, 0, G_SEEK_SET))
            fileInvalid();
        g_object_ref(input);
        return input;
    }
    GObjectRef oleRef(ole);
    const int count = gsf_infile_num_children(ole);
    bool encrypted = false;
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(ole, i);
        if (name && std::strcmp(name, "Workbook") == 0) {
            GsfInput *child = gsf_infile_child_by_index(ole, i);
            if (!child)
                fileInvalid();
            return child;
        }
        // An .xlsx under a password is its zip, encrypted, in a compound document.
        encrypted = encrypted || (name && std::strcmp(name, "EncryptedPackage") == 0);
    }
    if (encrypted)
        throw WorkbookError(withName(QT_TRANSLATE_NOOP("ImportMessages", "File %s is protected by a password"), fileName));
    throw WorkbookError(withName(QT_TRANSLATE_NOOP("ImportMessages", "File %s is not an Excel Workbook"), fileName));
}

} // namespace

QByteArray Xls::workbookStream(const QByteArray &fileBytes, const QString &fileName)
{
    initGsf();
    GObjectRef input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(fileBytes.constData()), fileBytes.size(), FALSE));
    GObjectRef stream(openWorkbookStream(GSF_INPUT(input.object), fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    const gsf_off_t size = gsf_input_size(in);
    // A stream is never larger than the file that holds it.
    if (size < 0 || size > fileBytes.size())
        fileInvalid();
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(in, std::size_t(size), reinterpret_cast<guint8 *>(out.data())))
        fileInvalid();
    return out;
}

// Runs the load for WorkbookFile's two ways of opening.
struct XlsFileLoader
{
    static void load(WorkbookFile &file, GsfInput *input)
    {
        XlsArena scratch(file.m_workbook.get());
        XlsRecordStream stream(input, file.m_workbook->arena(), scratch);
        try {
            file.m_workbook->load(stream);
        } catch (...) {
            file.m_workbook->clear();
            throw;
        }
        file.m_opened = true;
    }
};

WorkbookFile::WorkbookFile()
    : m_workbook(std::make_unique<XlsWorkbook>(this))
{
}

WorkbookFile::~WorkbookFile() = default;

void WorkbookFile::open()
{
    close();
    if (m_fileName.isEmpty())
        throw WorkbookError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File name is not defined")));
    const QFileInfo info(m_fileName);
    if (!info.exists())
        throw WorkbookError(withName(QT_TRANSLATE_NOOP("ImportMessages", "File %s does not exist"), m_fileName));
    // .xlsx, .xlsm and .ods are zip files, whatever they are named.
    QFile probe(m_fileName);
    if (probe.open(QIODevice::ReadOnly) && isZipWorkbook(probe.read(4))) {
        probe.close();
        openZipWorkbook(*this, m_fileName);
        return;
    }
    initGsf();
    GError *error = nullptr;
    GsfInput *raw = gsf_input_stdio_new(QFile::encodeName(m_fileName).constData(), &error);
    if (!raw) {
        if (error)
            g_error_free(error);
        throw WorkbookError(withName(QT_TRANSLATE_NOOP("ImportMessages", "File %s is not an Excel Workbook"), m_fileName));
    }
    GObjectRef input(raw);
    GObjectRef stream(openWorkbookStream(raw, m_fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    if (gsf_input_size(in) > gsf_input_size(raw))
        fileInvalid();
    XlsFileLoader::load(*this, in);
}

void WorkbookFile::openBuffer(const QByteArray &fileBytes)
{
    close();
    if (isZipWorkbook(fileBytes.left(4))) {
        openZipWorkbook(*this, fileBytes, m_fileName);
        return;
    }
    initGsf();
    GObjectRef input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(fileBytes.constData()), fileBytes.size(), FALSE));
    GObjectRef stream(openWorkbookStream(GSF_INPUT(input.object), m_fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    if (gsf_input_size(in) > fileBytes.size())
        fileInvalid();
    XlsFileLoader::load(*this, in);
}

void WorkbookFile::close()
{
    m_workbook->clear();
    m_opened = false;
}

int WorkbookFile::workSheetCount() const
{
    return m_opened ? m_workbook->workSheets().count() : 0;
}

XlsWorkSheet *WorkbookFile::workSheet(int index) const
{
    if (!m_opened || index < 0 || index >= m_workbook->workSheets().count())
        return nullptr;
    return m_workbook->workSheets().sheet(index);
}

QString WorkbookFile::workSheetName(int index) const
{
    XlsWorkSheet *sheet = workSheet(index);
    return sheet ? sheet->name() : QString();
}

int WorkbookFile::workSheetIndex(const QString &name) const
{
    for (int i = 0; i < workSheetCount(); ++i)
        if (QString::compare(workSheetName(i), name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// ---------------------------------------------------------------- other formats

WorkbookBuilder::WorkbookBuilder(WorkbookFile &file)
    : m_file(file)
    , m_workbook(*file.m_workbook)
{
    m_file.close();
}

WorkbookBuilder::~WorkbookBuilder()
{
    if (!m_finished)
        m_file.close();
}

void WorkbookBuilder::setDates1904(bool on)
{
    m_workbook.globals().setDates1904(on);
}

bool WorkbookBuilder::dates1904() const
{
    return m_workbook.globals().dates1904();
}

void WorkbookBuilder::addFormat(int formatIndex, const QString &formatString)
{
    // FORMAT: index, then the string with a 16-bit count, within one record.
    const QString text = formatString.left(0xFFF0 / 2 - 4);
    const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray data(5 + text.size() * (wide ? 2 : 1), Qt::Uninitialized);
    auto *d = reinterpret_cast<quint8 *>(data.data());
    qToLittleEndian(quint16(formatIndex), d);
    qToLittleEndian(quint16(text.size()), d + 2);
    d[4] = wide ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (wide)
            qToLittleEndian(quint16(text[i].unicode()), d + 5 + 2 * i);
        else
            d[5 + i] = quint8(text[i].unicode());
    }
    XlsGlobals &g = m_workbook.globals();
    auto *record = m_workbook.arena().make<BiffFormat>(&g, XlsRecordId::Format, d, quint16(data.size()));
    record->afterRead();
    g.formats().append(record);
}

int WorkbookBuilder::addXf(int formatIndex)
{
    quint8 d[4] = { 0, 0, 0, 0 };
    qToLittleEndian(quint16(formatIndex), d + 2);
    XlsGlobals &g = m_workbook.globals();
    g.xfs().append(m_workbook.arena().make<BiffXF>(&g, XlsRecordId::Xf, d, 4));
    return g.xfs().count() - 1;
}

int WorkbookBuilder::xfCount() const
{
    return m_workbook.globals().xfs().count();
}

int WorkbookBuilder::addString(QStringView text)
{
    return m_workbook.globals().sst().append(text);
}

int WorkbookBuilder::stringCount() const
{
    return m_workbook.globals().sst().count();
}

QString WorkbookBuilder::string(int index) const
{
    return m_workbook.globals().sst().text(index);
}

XlsWorkSheet *WorkbookBuilder::addWorkSheet(const QString &name, bool hidden)
{
    const int index = m_workbook.sheets().count();
    // BOUNDSHEET: position, visibility, type, then the name with an 8-bit count.
    const QString text = name.left(255);
    const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray data(8 + text.size() * (wide ? 2 : 1), Qt::Uninitialized);
    auto *d = reinterpret_cast<quint8 *>(data.data());
    qToLittleEndian(quint32(index), d);
    d[4] = hidden ? 1 : 0;
    d[5] = 0;
    d[6] = quint8(text.size());
    d[7] = wide ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (wide)
            qToLittleEndian(quint16(text[i].unicode()), d + 8 + 2 * i);
        else
            d[8 + i] = quint8(text[i].unicode());
    }
    XlsGlobals &g = m_workbook.globals();
    auto *bound = m_workbook.arena().make<BiffBoundSheet>(&g, XlsRecordId::BoundSheet, d, quint16(data.size()));
    bound->afterRead();
    g.boundSheets().append(bound);

    auto owned = std::make_unique<XlsWorkSheet>(&m_workbook);
    XlsWorkSheet *sheet = owned.get();
    m_workbook.sheets().add(std::move(owned));
    m_workbook.workSheets().add(sheet);
    m_workbook.m_sheetPositions.push_back(quint32(index));
    return sheet;
}

template <typename T>
T *WorkbookBuilder::makeCell(XlsWorkSheet *sheet, quint16 id, int row, int column, int xf, const quint8 *tail, int tailSize)
{
    if (row < 0 || row > MaxRow || column < 0 || column > MaxColumn)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cell %1 is beyond the sheet"), Xls::cellName(row, column)));
    quint8 d[20] = {};
    qToLittleEndian(quint16(row), d);
    qToLittleEndian(quint16(column), d + 2);
    qToLittleEndian(quint16(std::clamp(xf, 0, 0xFFFF)), d + 4);
    if (tailSize > 0)
        std::memcpy(d + 6, tail, std::size_t(tailSize));
    T *cell = m_workbook.arena().make<T>(sheet, id, d, quint16(6 + tailSize));
    sheet->addCell(cell);
    return cell;
}

void WorkbookBuilder::addNumber(XlsWorkSheet *sheet, int row, int column, int xf, double value)
{
    quint8 tail[8];
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, tail);
    makeCell<BiffNumber>(sheet, XlsRecordId::Number, row, column, xf, tail, 8);
}

void WorkbookBuilder::addString(XlsWorkSheet *sheet, int row, int column, int xf, int stringIndex)
{
    quint8 tail[4];
    qToLittleEndian(quint32(stringIndex), tail);
    makeCell<BiffLabelSST>(sheet, XlsRecordId::LabelSst, row, column, xf, tail, 4);
}

void WorkbookBuilder::addBoolean(XlsWorkSheet *sheet, int row, int column, int xf, bool value)
{
    const quint8 tail[2] = { quint8(value ? 1 : 0), 0 };
    makeCell<BiffBoolErr>(sheet, XlsRecordId::BoolErr, row, column, xf, tail, 2);
}

void WorkbookBuilder::addError(XlsWorkSheet *sheet, int row, int column, int xf, quint8 code)
{
    const quint8 tail[2] = { code, 1 };
    makeCell<BiffBoolErr>(sheet, XlsRecordId::BoolErr, row, column, xf, tail, 2);
}

void WorkbookBuilder::addBlank(XlsWorkSheet *sheet, int row, int column, int xf)
{
    makeCell<BiffBlank>(sheet, XlsRecordId::Blank, row, column, xf, nullptr, 0);
}

void WorkbookBuilder::addFormula(XlsWorkSheet *sheet, int row, int column, int xf, const QVariant &result)
{
    // FORMULA up to its token count: the cached result (8 bytes), options
    // and the chain word. A result that is no number is marked by 0xFFFF in
    // its last word and typed by its first byte.
    quint8 tail[14] = {};
    QString text;
    switch (result.typeId()) {
    case QMetaType::Double: {
        quint64 bits;
        const double value = result.toDouble();
        std::memcpy(&bits, &value, sizeof bits);
        qToLittleEndian(bits, tail);
        break;
    }
    case QMetaType::QString:
        text = result.toString();
        tail[0] = 0;
        tail[6] = tail[7] = 0xFF;
        break;
    case QMetaType::Bool:
        tail[0] = 1;
        tail[2] = result.toBool() ? 1 : 0;
        tail[6] = tail[7] = 0xFF;
        break;
    default:
        tail[0] = 3; // empty
        tail[6] = tail[7] = 0xFF;
        break;
    }
    auto *cell = makeCell<BiffFormula>(sheet, XlsRecordId::Formula, row, column, xf, tail, 14);
    if (result.typeId() == QMetaType::QString)
        cell->setCachedResult(text);
}

void WorkbookBuilder::finish()
{
    m_workbook.globals().bindFormats();
    for (int s = 0; s < m_workbook.workSheets().count(); ++s) {
        m_workbook.workSheets().sheet(s)->rows().squeeze();
        m_workbook.workSheets().sheet(s)->cols().squeeze();
    }
    m_file.m_opened = true;
    m_finished = true;
}
