#pragma once

#include "import/sources/workbook/BiffKind.h"

#include <QtGlobal>

#include <vector>

typedef struct _GsfInput GsfInput;

class BiffRecord;
class XlsArena;
class XlsSection;

// The record stream, read through a window so that a large workbook never
// sits in memory twice.
class XlsRecordStream
{
public:
    XlsRecordStream(GsfInput *input, XlsArena &keep, XlsArena &scratch);
    ~XlsRecordStream();
    XlsRecordStream(const XlsRecordStream &) = delete;
    XlsRecordStream &operator=(const XlsRecordStream &) = delete;

    qint64 position() const { return m_windowPos + m_begin; }
    qint64 remaining() const { return m_size - position(); }
    void rewind();
    quint16 peekId();

    // Reads one record, made as its kind (BiffKind.h), and the CONTINUE
    // records that follow it. Records the substream keeps go to the
    // workbook's arena, the others to the scratch arena that the caller
    // empties after each record.
    BiffRecord *readRecord(XlsSection *section, BiffSubstream where);

    XlsArena &scratch() { return m_scratch; }

private:
    static constexpr int WindowSize = 256 * 1024;

    static bool keeps(quint16 id, BiffSubstream where);
    // Header, then exactly size bytes; returns them in the window, and
    // whether a CONTINUE record follows them.
    const quint8 *readRaw(quint16 &id, quint16 &size, bool &continued);
    void consume(int count) { m_begin += count; }
    // Makes count bytes available from m_begin; false when the stream holds
    // fewer.
    bool fill(int count);
    // The CONTINUE records after record, linked to it in order.
    void attachContinues(BiffRecord *record, XlsSection *section, XlsArena &arena);

    GsfInput *m_input;
    XlsArena &m_keep;
    XlsArena &m_scratch;
    qint64 m_size;
    std::vector<quint8> m_buffer;
    qint64 m_windowPos = 0; // stream position of m_buffer[0]
    int m_begin = 0;
    int m_end = 0;
};
