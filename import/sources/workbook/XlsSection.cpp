#include "import/sources/workbook/XlsSection.h"

#include "import/sources/workbook/Xls.h"
#include "import/sources/workbook/XlsArena.h"
#include "import/sources/workbook/XlsWorkbook.h"

#include <QHash>

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
