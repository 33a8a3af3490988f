#pragma once

#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/XlsString.h"

#include <algorithm>
#include <string>

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
    bool nextSegment();
    // Kept inline: a shared-string table reads a few of these per string.
    quint8 byte()
    {
        while (left() == 0)
            if (!nextSegment())
                WorkbookError::readError();
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
    void skip(quint64 count);
    // count characters, starting with the given width; the characters go to
    // out, and wideSeen tells whether any was stored on two bytes.
    void chars(int count, bool wide, std::u16string &out, bool &wideSeen);

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
void readRawString(ChainCursor &cursor, bool shortCount, RawString &out, bool withTail = true);
XlsString toXlsString(const RawString &raw);
// The string at offset of the record, read over its CONTINUE chain.
XlsString readXlsString(const BiffRecord &record, int offset, bool shortCount);
