#pragma once

#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/XlsList.h"

#include <vector>

// Records of one kind in stream order. The records themselves belong to the
// workbook's arena and go with it.
template <class T> class BiffRecordList : public XlsList
{
public:
    BiffRecordList() = default;
    BiffRecordList(const BiffRecordList &) = delete;
    BiffRecordList &operator=(const BiffRecordList &) = delete;

    int count() const { return int(m_items.size()); }
    T *item(int i) const { return m_items[std::size_t(i)]; }
    void append(T *record) { m_items.push_back(record); }
    void clear()
    {
        m_items.clear();
        m_sorted = true;
    }

protected:
    std::vector<T *> m_items;
};

// A worksheet's SHRFMLA records, found by their first cell.
class BiffShrFmlaList : public BiffRecordList<BiffShrFmla>
{
public:
    BiffShrFmla *find(quint32 key);
    void add(BiffShrFmla *record)
    {
        append(record);
        m_sorted = false;
    }
};

class BiffBoundSheetList : public BiffRecordList<BiffBoundSheet>
{
public:
    BiffBoundSheet *sheet(int i) const { return item(i); }
};

class BiffNameList : public BiffRecordList<BiffName>
{
};

class BiffXFList : public BiffRecordList<BiffXF>
{
public:
    BiffXF *xf(int i) const { return item(i); }
};

class BiffFormatList : public BiffRecordList<BiffFormat>
{
public:
    BiffFormat *format(int i) const { return item(i); }
};
