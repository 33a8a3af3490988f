#pragma once

#include "import/sources/workbook/XlsString.h"

#include <QString>

#include <cstdint>

class XlsSection;
class XlsWorkbook;
class BiffContinue;
class BiffFormat;

// The records of an Excel 97-2003 workbook that are no cells: the kinds of
// the globals and the few a worksheet keeps beside its cells.
//
// Records are made by the workbook's arena only (XlsArena::make), which
// refuses a record shorter than its kind's MinSize: the fixed fields a kind
// reads are then always within its data. The arena also runs the destructor
// of every kind that is not trivially destructible, so a kind that holds
// texts needs no mark of its own.
//
// Records have no virtual functions: a workbook holds millions of cells, and
// a table pointer in each would be a third of a cell's memory. What differs
// by kind is chosen by the record's id (see BiffKind.h), and afterRead() is
// called by the code that made the record, which knows its kind.
class BiffRecord
{
public:
    // The arena destroys each record as its own kind, and a kind holding
    // nothing to free costs it nothing.
    ~BiffRecord() = default;
    BiffRecord(const BiffRecord &) = delete;
    BiffRecord &operator=(const BiffRecord &) = delete;

    quint16 id() const { return m_id; }
    quint16 dataSize() const { return m_size; }
    // Through an integer: the bytes lie beyond the object, where the
    // compiler's own bounds would not have them.
    const quint8 *data() const { return reinterpret_cast<const quint8 *>(reinterpret_cast<std::uintptr_t>(this) + m_dataOffset); }
    // Both known by the arena that holds the record (see XlsArena).
    XlsSection *section() const;
    XlsWorkbook *workbook() const;
    // The CONTINUE record that follows this one, if any.
    BiffContinue *continueRecord() const;

    // Little-endian fields of the variable part; 0 for a field beyond the
    // data.
    quint8 byteAt(int offset) const;
    quint16 wordAt(int offset) const;
    quint32 dwordAt(int offset) const;

    // Called once the record's CONTINUE chain is attached; a kind that reads
    // something then declares its own.
    void afterRead() { }

    // The bytes of the fixed part: a shorter record is refused.
    static constexpr int MinSize = 0;

protected:
    // The data bytes follow the object in the workbook's arena, dataOffset
    // bytes after its start; a record followed by a CONTINUE record has room
    // for the link after its data (see XlsArena). Cells are many: they carry
    // nothing more, not even their section, which the arena keeps by
    // address.
    BiffRecord(quint16 id, quint16 size, quint8 dataOffset);
    quint8 *mutableData() { return const_cast<quint8 *>(data()); }
    // Fields of the fixed part (within MinSize): no bounds test on these hot
    // paths.
    quint8 fixedByte(int offset) const
    {
        Q_ASSERT(offset + 1 <= m_size);
        return data()[offset];
    }
    quint16 fixedWord(int offset) const
    {
        Q_ASSERT(offset + 2 <= m_size);
        const quint8 *d = data() + offset;
        return quint16(d[0] | (d[1] << 8));
    }
    quint32 fixedDword(int offset) const
    {
        Q_ASSERT(offset + 4 <= m_size);
        const quint8 *d = data() + offset;
        return quint32(d[0]) | (quint32(d[1]) << 8) | (quint32(d[2]) << 16) | (quint32(d[3]) << 24);
    }

private:
    void *linkSlot() const; // unaligned: read and written by memcpy

    // Six bytes in all, the size of every cell's overhead.
    quint16 m_id;
    quint16 m_size;
    quint8 m_dataOffset;
    bool m_hasLink = false;

    friend class XlsArena;
};

class BiffContinue : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

class BiffBOF : public BiffRecord
{
public:
    BiffBOF(quint16 id, quint16 size, quint8 dataOffset);
    static constexpr int MinSize = 4;
    quint16 version() const { return fixedWord(0); }
    quint16 substreamType() const { return fixedWord(2); }
};

class BiffEOF : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

class BiffBoundSheet : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // Position, visibility, type, then the name's count and flags.
    static constexpr int MinSize = 8;
    quint32 streamPosition() const { return fixedDword(0); }
    quint8 sheetType() const { return fixedByte(5); }
    QString name() const { return m_name.text(); }
    void afterRead();

private:
    XlsString m_name;
};

class BiffName : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

// DATEMODE of the globals: 1 for the 1904 date system.
class BiffDateMode : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 2;
    bool dates1904() const { return fixedWord(0) == 1; }
};

class BiffXF : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 4;
    quint16 formatIndex() const { return fixedWord(2); }
    void setFormatIndex(quint16 index);
    BiffFormat *format() const { return m_format; }
    void setFormat(BiffFormat *format) { m_format = format; }

private:
    BiffFormat *m_format = nullptr;
};

class BiffFormat : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // Index, then the string's count and flags.
    static constexpr int MinSize = 5;
    quint16 formatIndex() const { return fixedWord(0); }
    QString formatString() const { return m_format.text(); }
    void afterRead();

private:
    XlsString m_format;
};

class BiffSST : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 8;
    quint32 uniqueCount() const { return fixedDword(4); }
};

class BiffString : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    QString text() const; // read over the record's CONTINUE chain
};

class BiffShrFmla : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // The range, then the formula's length word.
    static constexpr int MinSize = 10;
    quint16 firstRow() const { return fixedWord(0); }
    quint8 firstColumn() const { return fixedByte(4); }
    quint32 key() const { return quint32(firstRow()) + quint32(firstColumn()) * 65536u; }
};

class BiffColRow : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 4;
    int row() const { return fixedWord(0); }
    int column() const { return fixedWord(2); }
};
