#include "import/sources/workbook/BiffRecord.h"

#include "import/sources/workbook/ChainCursor.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/Xls.h"
#include "import/sources/workbook/XlsArena.h"

#include <cstring>

XlsSection *BiffRecord::section() const
{
    return XlsArena::sectionOf(this);
}

XlsWorkbook *BiffRecord::workbook() const
{
    return XlsArena::workbookOf(this);
}
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
    return offset >= 0 && offset + 2 <= m_size ? Xls::le16(data() + offset) : 0;
}

quint32 BiffRecord::dwordAt(int offset) const
{
    return offset >= 0 && offset + 4 <= m_size ? Xls::le32(data() + offset) : 0;
}

BiffBOF::BiffBOF(quint16 id, quint16 size, quint8 dataOffset)
    : BiffRecord(id, size, dataOffset)
{
    if (version() != 0x0600)
        throw ImportError(messageText(ImportMsg::XlsInvalidVersion));
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
