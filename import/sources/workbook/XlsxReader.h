#pragma once

#include <QHash>
#include <QString>

#include <vector>

class WorkbookBuilder;
class ZipPackage;
class ZipWorkbookLimits;

// Reads an Office Open XML workbook (.xlsx, .xlsm; transitional or strict)
// into a builder: the worksheets named by the workbook part in its order,
// hidden ones included, chart and dialog sheets left out; the shared
// strings; the number formats of the cell formats, so that the date test is
// that of BIFF8 workbooks; and the cells with their values, formulas with
// their cached results.
class XlsxReader
{
public:
    XlsxReader(ZipPackage &package, WorkbookBuilder &builder, ZipWorkbookLimits &limits);

    // Whether the package holds a spreadsheet's workbook part.
    static bool isWorkbook(const ZipPackage &package);
    // Reads the whole workbook.
    void read();

    struct Relationship
    {
        QString type; // the last element of the type's URI ("worksheet")
        QString target; // the part, resolved
    };

private:
    QHash<QString, Relationship> relationships(const QString &part);
    void readStyles(const QString &part);
    void readSharedStrings(const QString &part);
    void readSheet(const QString &part, const QString &name, bool hidden);

    ZipPackage &m_package;
    WorkbookBuilder &m_builder;
    ZipWorkbookLimits &m_limits;
    std::vector<bool> m_dateXf; // by cell format, the date test's answer
    int m_dateTimeXf = -1; // for ISO date cells whose format shows no date
    int m_firstString = 0; // the shared strings' first index in the builder
    int m_stringCount = 0;
};
