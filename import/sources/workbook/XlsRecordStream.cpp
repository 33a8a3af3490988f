// glib's headers use the word "signals", which Qt's object headers define
// as a macro: libgsf comes first.
// clang-format off
#include <gsf/gsf-input.h>
// clang-format on

#include "import/sources/workbook/XlsRecordStream.h"

#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/Xls.h"
#include "import/sources/workbook/XlsArena.h"

#include <algorithm>
#include <cstring>

XlsRecordStream::XlsRecordStream(GsfInput *input, XlsArena &keep, XlsArena &scratch)
    : m_input(input)
    , m_keep(keep)
    , m_scratch(scratch)
    , m_size(gsf_input_size(input))
    , m_buffer(WindowSize)
{
    g_object_ref(m_input);
}

XlsRecordStream::~XlsRecordStream()
{
    g_object_unref(m_input);
}

void XlsRecordStream::rewind()
{
    if (gsf_input_seek(m_input, 0, G_SEEK_SET))
        WorkbookError::fileInvalid();
    m_windowPos = 0;
    m_begin = m_end = 0;
}

quint16 XlsRecordStream::peekId()
{
    if (!fill(2))
        return 0;
    return Xls::le16(m_buffer.data() + m_begin);
}

BiffRecord *XlsRecordStream::readRecord(XlsSection *section, BiffSubstream where)
{
    quint16 id = 0, size = 0;
    bool continued = false;
    const quint8 *data = readRaw(id, size, continued);
    XlsArena &arena = keeps(id, where) ? m_keep : m_scratch;
    return withBiffKind(where, id, [&](auto kind) -> BiffRecord * {
        using T = typename decltype(kind)::Type;
        T *record = arena.make<T>(section, id, data, size, continued);
        consume(size);
        attachContinues(record, section, arena);
        // Its strings may run on into the CONTINUE records.
        record->afterRead();
        return record;
    });
}

void XlsRecordStream::attachContinues(BiffRecord *record, XlsSection *section, XlsArena &arena)
{
    BiffRecord *tail = record;
    while (remaining() >= 4) {
        const quint16 next = peekId();
        if (next == XlsRecordId::Continue) {
            quint16 id = 0, size = 0;
            bool continued = false;
            const quint8 *more = readRaw(id, size, continued);
            auto *cont = arena.make<BiffContinue>(section, id, more, size, continued);
            consume(size);
            XlsArena::link(tail, cont);
            tail = cont;
            continue;
        }
        if (next == XlsRecordId::String && !XlsRecordId::isFormula(tail->id()) && tail->id() != XlsRecordId::ShrFmla)
            WorkbookError::fileInvalid();
        break;
    }
}

bool XlsRecordStream::keeps(quint16 id, BiffSubstream where)
{
    using namespace XlsRecordId;
    switch (where) {
    case BiffSubstream::Workbook:
        return id == Bof || id == Bof3;
    case BiffSubstream::Globals:
        return id == Eof || id == Name || id == BoundSheet || id == Xf || id == Format;
    case BiffSubstream::WorkSheet:
        return id == Eof || isFormula(id) || id == Blank || id == Number || id == Rk || id == BoolErr || id == LabelSst || id == Label
            || id == RString || id == ShrFmla;
    }
    return false;
}

const quint8 *XlsRecordStream::readRaw(quint16 &id, quint16 &size, bool &continued)
{
    if (!fill(4))
        WorkbookError::fileInvalid();
    id = Xls::le16(m_buffer.data() + m_begin);
    size = Xls::le16(m_buffer.data() + m_begin + 2);
    m_begin += 4;
    if (!fill(size))
        WorkbookError::fileInvalid();
    continued = fill(size + 2) && Xls::le16(m_buffer.data() + m_begin + size) == XlsRecordId::Continue;
    return m_buffer.data() + m_begin;
}

bool XlsRecordStream::fill(int count)
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
            WorkbookError::fileInvalid();
        m_end += wanted;
    }
    return m_end - m_begin >= count;
}
