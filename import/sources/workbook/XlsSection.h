#pragma once

#include "import/sources/workbook/BiffRecordList.h"
#include "import/sources/workbook/BiffSSTList.h"

#include <QString>

#include <vector>

class XlsWorkbook;

// A substream of the workbook, from its BOF to its EOF.
class XlsSection
{
public:
    explicit XlsSection(XlsWorkbook *workbook)
        : m_workbook(workbook)
    {
    }
    virtual ~XlsSection();
    XlsWorkbook *workbook() const { return m_workbook; }
    BiffBOF *bof() const { return m_bof; }
    BiffEOF *eof() const { return m_eof; }
    void setBof(BiffBOF *bof);
    void setEof(BiffEOF *eof);

protected:
    void clearSection();

    XlsWorkbook *m_workbook;
    BiffBOF *m_bof = nullptr; // owned
    BiffEOF *m_eof = nullptr; // owned
};

class XlsGlobals : public XlsSection
{
public:
    using XlsSection::XlsSection;
    ~XlsGlobals() override;

    BiffBoundSheetList &boundSheets() { return m_boundSheets; }
    BiffNameList &names() { return m_names; }
    BiffSSTList &sst() { return m_sst; }
    const BiffSSTList &sst() const { return m_sst; }
    BiffXFList &xfs() { return m_xfs; }
    BiffFormatList &formats() { return m_formats; }
    bool dates1904() const { return m_dates1904; }
    void setDates1904(bool on) { m_dates1904 = on; }

    void clear();
    // Binds every XF to the FORMAT record of its format index.
    void bindFormats();
    bool isDateXf(int xfIndex) const;

private:
    BiffBoundSheetList m_boundSheets;
    BiffNameList m_names;
    BiffSSTList m_sst;
    BiffXFList m_xfs;
    BiffFormatList m_formats;
    std::vector<bool> m_dateXf;
    bool m_dates1904 = false;
};

class XlsSheet : public XlsSection
{
public:
    using XlsSection::XlsSection;
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    QString name() const;

private:
    int m_index = -1;
};
