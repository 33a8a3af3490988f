#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string_view>

class WorkbookFile;
class WorkbookBuilder;
class ZipPackage;

// Workbooks in a zip container, .xlsx (.xlsm) and .ods, told apart by their
// parts whatever the file is named, and read into a WorkbookFile like a BIFF8
// workbook (WorkbookBuilder).

// Whether a file's first bytes are those of a zip container.
bool isZipWorkbook(const QByteArray &head);
// Whether a file holds a workbook by its content, whatever its name: a zip
// container or a compound document.
bool looksLikeWorkbook(const QString &fileName);
// Loads the workbook of a file, or of bytes held in memory (fileName then
// only names it in messages). Raises ImportError; the file stays
// closed on failure.
void openZipWorkbook(WorkbookFile &file, const QString &fileName);
void openZipWorkbook(WorkbookFile &file, const QByteArray &bytes, const QString &fileName);

// What both zip readers allow: cells within a BIFF8 sheet, and at most
// MaxCells of them in a workbook, so that memory stays bounded whatever a
// file claims (an .ods row can repeat a million times in a few bytes).
class ZipWorkbookLimits
{
public:
    static constexpr qint64 MaxCells = 4 * 1024 * 1024;

    explicit ZipWorkbookLimits(const ZipPackage &package);

    // Whether a cell at this 0-based position is kept: true within the
    // sheet; false beyond it for a cell that holds nothing (formatting
    // only); beyond it, a cell holding data raises, as it cannot be
    // imported and must not be dropped in silence. Counts the cells kept.
    bool admit(const QString &sheet, qint64 row, qint64 column, bool holdsData);
    // Raises when count more cells would pass MaxCells (before a repeat).
    void reserve(qint64 count);
    // A text longer than a cell can keep raises.
    void checkText(const QString &sheet, qint64 row, qint64 column, qsizetype length) const;
    // Data in a cell that no BIFF8 sheet has, named as the file names it.
    [[noreturn]] void refuseCell(const QString &sheet, const QString &cell) const;

    // The most bytes of XML a text that a cell can keep may take: every
    // character written as an "_xHHHH_" escape. Texts are measured against
    // it while they are gathered, so that a huge one is refused before it
    // fills memory.
    static constexpr std::size_t MaxTextBytes = 7 * 65535;

    // "AB12", columns beyond IV included.
    static QString cellName(qint64 row, qint64 column);

private:
    const ZipPackage &m_package;
    qint64 m_cells = 0;
};

// Texts of the XML parts, shared by both readers.
namespace ZipXml {
// UTF-8 from the parser as text.
QString text(std::string_view utf8);
// A number as XML writes it (C locale, optional sign and exponent, blanks
// around); false for anything else, infinities and NaN included.
bool number(std::string_view text, double &value);
// A whole number; false for anything else.
bool integer(std::string_view text, qint64 &value);
// An ISO 8601 date with an optional time ("2024-03-15", "2024-03-15T10:30:00"
// with fractions and a zone ignored), or a time alone ("10:30:00"), as a day
// count from 30 December 1899 with the time as fraction; false when it is
// none or out of 1..9999.
bool isoDateTime(std::string_view text, double &days);
// An ISO 8601 duration of days, hours, minutes and seconds ("PT12H30M00S",
// "-P1DT2H") as days; false when it is none.
bool isoDuration(std::string_view text, double &days);
} // namespace ZipXml
