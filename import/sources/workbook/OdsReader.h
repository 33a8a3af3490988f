#pragma once

class WorkbookBuilder;
class ZipPackage;
class ZipWorkbookLimits;

// Reads an OpenDocument spreadsheet (.ods) into a builder: every table of
// the document in order as a worksheet (hidden ones included), each cell by
// its value type (float, percentage and currency as numbers, date and time
// as date-time numbers, boolean, string), formulas with their cached
// results, several paragraphs of text joined by line feeds. Repeated rows
// and columns are expanded only where they hold something; covered cells of
// a merged area become blank cells, as in a BIFF8 workbook.
class OdsReader
{
public:
    OdsReader(ZipPackage &package, WorkbookBuilder &builder, ZipWorkbookLimits &limits);

    // Whether the package says it is a spreadsheet document.
    static bool isSpreadsheet(ZipPackage &package);
    void read();

private:
    ZipPackage &m_package;
    WorkbookBuilder &m_builder;
    ZipWorkbookLimits &m_limits;
};
