#pragma once

#include "import/sources/workbook/XlsSection.h"
#include "import/sources/workbook/XlsWorkSheet.h"

#include <QString>

#include <memory>
#include <vector>

class WorkbookFile;
class XlsArena;
class XlsRecordStream;
class BiffBOF;
class BiffFormula;
class BiffMulBlank;
class BiffMulRK;
class BiffRecord;

// The model of one Excel 97-2003 workbook: its globals and its sheets, the
// records of both held in the workbook's arena.
class XlsWorkbook
{
public:
    explicit XlsWorkbook(WorkbookFile *file);
    ~XlsWorkbook();

    WorkbookFile *file() const { return m_file; }
    XlsGlobals &globals() { return *m_globals; }
    const XlsGlobals &globals() const { return *m_globals; }
    XlsSheetList &sheets() { return m_sheets; }
    XlsWorkSheetList &workSheets() { return m_workSheets; }
    const XlsWorkSheetList &workSheets() const { return m_workSheets; }
    XlsArena &arena() { return *m_arena; }

    void clear();
    // Reads the whole record stream.
    void load(XlsRecordStream &stream);
    // Name of a worksheet: its BOUNDSHEET's name.
    QString sheetName(const XlsSheet *sheet) const;
    // The texts of number cells, by the settings in force.
    QString dateTimeText(double value) const;

private:
    friend class WorkbookBuilder;
    // The substream a BOF opens, read to its EOF.
    void readSubstream(XlsRecordStream &stream, BiffBOF *bof, qint64 position);
    void readGlobals(XlsRecordStream &stream);
    void readWorkSheet(XlsRecordStream &stream, XlsWorkSheet *sheet);

    WorkbookFile *m_file;
    std::unique_ptr<XlsArena> m_arena;
    std::unique_ptr<XlsGlobals> m_globals;
    XlsSheetList m_sheets;
    XlsWorkSheetList m_workSheets;
    std::vector<quint32> m_sheetPositions; // stream position of each sheet's BOF
    struct DateTextCache;
    std::unique_ptr<DateTextCache> m_dateTexts;
};
