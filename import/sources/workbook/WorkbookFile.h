#pragma once

#include "import/engine/ImportMessages.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// Reader of Excel 97-2003 workbooks (BIFF8 records, normally the stream
// "Workbook" of a compound document). The whole workbook is loaded at open:
// every record kept becomes an object owning a copy of its bytes. Workbooks
// are only read, never written.

class WorkbookFile;
class XlsWorkbook;
class XlsSection;
class XlsGlobals;
class XlsSheet;
class XlsWorkSheet;
class BiffRecord;
class BiffContinue;
class BiffFormat;
class XlsArena;

// File and record errors of the reader.
class WorkbookError : public ImportError
{
public:
    using ImportError::ImportError;
};

// A formula token the shared-formula walk does not know.
class TokenError : public ImportError
{
public:
    TokenError(quint8 tokenId, const TranslatedText &text)
        : ImportError(text)
        , m_tokenId(tokenId)
    {
    }
    quint8 tokenId() const { return m_tokenId; }

private:
    quint8 m_tokenId;
};

namespace XlsRecordId {
constexpr quint16 Formula = 0x0006;
constexpr quint16 Eof = 0x000A;
constexpr quint16 Name = 0x0018;
constexpr quint16 DateMode = 0x0022;
constexpr quint16 FilePass = 0x002F;
constexpr quint16 Continue = 0x003C;
constexpr quint16 BoundSheet = 0x0085;
constexpr quint16 MulRk = 0x00BD;
constexpr quint16 MulBlank = 0x00BE;
constexpr quint16 RString = 0x00D6;
constexpr quint16 Xf = 0x00E0;
constexpr quint16 Sst = 0x00FC;
constexpr quint16 LabelSst = 0x00FD;
constexpr quint16 Blank = 0x0201;
constexpr quint16 Number = 0x0203;
constexpr quint16 Label = 0x0204;
constexpr quint16 BoolErr = 0x0205;
constexpr quint16 String = 0x0207;
constexpr quint16 Bof3 = 0x0209;
constexpr quint16 Rk = 0x027E;
constexpr quint16 Format = 0x041E;
constexpr quint16 ShrFmla = 0x04BC;
constexpr quint16 Bof = 0x0809;
// FORMULA under the identifiers of older versions, which some writers still
// use in BIFF8 files; the cached result sits at the same place.
constexpr quint16 Formula3 = 0x0206;
constexpr quint16 Formula4 = 0x0406;
constexpr bool isFormula(quint16 id)
{
    return id == Formula || id == Formula3 || id == Formula4;
}
} // namespace XlsRecordId

// What a cell holds, as the import and the wizard tell cells apart.
enum class XlsCellKind { String = 0, Boolean = 1, Number = 2, DateTime = 3, Other = 4 };

namespace Xls {
// Column n (1-based) as letters: A..Z, then AA..IV.
QString columnLetters(int column);
// "B7" for row index 6, column index 1 (both 0-based).
QString cellName(int row, int column);
// The value of an RK number: a 30-bit integer or the high bits of a double,
// possibly divided by 100.
double decodeRk(quint32 rk);
// The error texts of error cells by code.
QString errorText(quint8 code);
// The code of an error text; -1 for a text that is none of them.
int errorCode(QStringView text);
// Whether a number format string shows a date or a time.
bool isDateFormatString(const QString &format);
// The record stream of a workbook file held in memory: the "Workbook" stream
// of a compound document, or the bytes themselves when they are no compound
// document. Raises the reader's errors.
QByteArray workbookStream(const QByteArray &fileBytes, const QString &fileName = QString());
} // namespace Xls

// A BIFF8 string: 8-bit (compressed) or UTF-16 characters, whichever the
// record used.
class XlsString
{
public:
    XlsString() = default;
    static XlsString narrow(QByteArray latin1);
    static XlsString wide(QString text);
    bool isWide() const { return m_wide; }
    QString text() const;
    int length() const { return m_wide ? int(m_wideText.size()) : int(m_narrowText.size()); }

private:
    bool m_wide = false;
    QByteArray m_narrowText;
    QString m_wideText;
};

// One shared string: its characters live in the table's pool.
struct XlsSSTEntry
{
    quint32 offset = 0; // in the pool, bytes
    quint16 length = 0; // characters
    bool wide = false;
    quint32 refCount = 0; // LABELSST cells that use it
};

// ---------------------------------------------------------------- records

// Records are made by the workbook's arena only (XlsArena::make), which
// refuses a record shorter than its kind's MinSize: the fixed fields a kind
// reads are then always within its data. The arena also runs the destructor
// of every kind that is not trivially destructible, so a kind that holds
// texts needs no mark of its own.
//
// Records have no virtual functions: a workbook holds millions of cells, and
// a table pointer in each would be a third of a cell's memory. What differs
// by kind is chosen by the record's id (see BiffCell), and afterRead() is
// called by the code that made the record, which knows its kind.
class BiffRecord
{
public:
    // The arena destroys each record as its own kind, and a kind holding
    // nothing to free costs it nothing.
    ~BiffRecord() = default;
    BiffRecord(const BiffRecord &) = delete;
    BiffRecord &operator=(const BiffRecord &) = delete;

    quint16 id() const { return m_id; }
    quint16 dataSize() const { return m_size; }
    // Through an integer: the bytes lie beyond the object, where the
    // compiler's own bounds would not have them.
    const quint8 *data() const { return reinterpret_cast<const quint8 *>(reinterpret_cast<std::uintptr_t>(this) + m_dataOffset); }
    // Both known by the arena that holds the record (see XlsArena).
    XlsSection *section() const;
    XlsWorkbook *workbook() const;
    // The CONTINUE record that follows this one, if any.
    BiffContinue *continueRecord() const;

    // Little-endian fields of the variable part; 0 for a field beyond the
    // data.
    quint8 byteAt(int offset) const;
    quint16 wordAt(int offset) const;
    quint32 dwordAt(int offset) const;

    // Called once the record's CONTINUE chain is attached; a kind that reads
    // something then declares its own.
    void afterRead() { }

    // The bytes of the fixed part: a shorter record is refused.
    static constexpr int MinSize = 0;

protected:
    // The data bytes follow the object in the workbook's arena, dataOffset
    // bytes after its start; a record followed by a CONTINUE record has room
    // for the link after its data (see XlsArena). Cells are many: they carry
    // nothing more, not even their section, which the arena keeps by
    // address.
    BiffRecord(quint16 id, quint16 size, quint8 dataOffset);
    quint8 *mutableData() { return const_cast<quint8 *>(data()); }
    // Fields of the fixed part (within MinSize): no bounds test on these hot
    // paths.
    quint8 fixedByte(int offset) const
    {
        Q_ASSERT(offset + 1 <= m_size);
        return data()[offset];
    }
    quint16 fixedWord(int offset) const
    {
        Q_ASSERT(offset + 2 <= m_size);
        const quint8 *d = data() + offset;
        return quint16(d[0] | (d[1] << 8));
    }
    quint32 fixedDword(int offset) const
    {
        Q_ASSERT(offset + 4 <= m_size);
        const quint8 *d = data() + offset;
        return quint32(d[0]) | (quint32(d[1]) << 8) | (quint32(d[2]) << 16) | (quint32(d[3]) << 24);
    }

private:
    void *linkSlot() const; // unaligned: read and written by memcpy

    // Six bytes in all, the size of every cell's overhead.
    quint16 m_id;
    quint16 m_size;
    quint8 m_dataOffset;
    bool m_hasLink = false;

    friend class XlsArena;
};

class BiffContinue : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

class BiffBOF : public BiffRecord
{
public:
    BiffBOF(quint16 id, quint16 size, quint8 dataOffset);
    static constexpr int MinSize = 4;
    quint16 version() const { return fixedWord(0); }
    quint16 substreamType() const { return fixedWord(2); }
};

class BiffEOF : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

class BiffBoundSheet : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // Position, visibility, type, then the name's count and flags.
    static constexpr int MinSize = 8;
    quint32 streamPosition() const { return fixedDword(0); }
    quint8 sheetType() const { return fixedByte(5); }
    QString name() const { return m_name.text(); }
    void afterRead();

private:
    XlsString m_name;
};

class BiffName : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
};

// DATEMODE of the globals: 1 for the 1904 date system.
class BiffDateMode : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 2;
    bool dates1904() const { return fixedWord(0) == 1; }
};

class BiffXF : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 4;
    quint16 formatIndex() const { return fixedWord(2); }
    void setFormatIndex(quint16 index);
    BiffFormat *format() const { return m_format; }
    void setFormat(BiffFormat *format) { m_format = format; }

private:
    BiffFormat *m_format = nullptr;
};

class BiffFormat : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // Index, then the string's count and flags.
    static constexpr int MinSize = 5;
    quint16 formatIndex() const { return fixedWord(0); }
    QString formatString() const { return m_format.text(); }
    void afterRead();

private:
    XlsString m_format;
};

class BiffSST : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 8;
    quint32 uniqueCount() const { return fixedDword(4); }
};

class BiffString : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    QString text() const; // read over the record's CONTINUE chain
};

class BiffShrFmla : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // The range, then the formula's length word.
    static constexpr int MinSize = 10;
    quint16 firstRow() const { return fixedWord(0); }
    quint8 firstColumn() const { return fixedByte(4); }
    quint32 key() const { return quint32(firstRow()) + quint32(firstColumn()) * 65536u; }
};

class BiffColRow : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    static constexpr int MinSize = 4;
    int row() const { return fixedWord(0); }
    int column() const { return fixedWord(2); }
};

// A cell of a worksheet. The accessors a kind does not support raise
// "Cannot access cell '%s' as type %s". Each accessor picks the kind's own
// by the record's id; within a worksheet every cell id is made as its kind
// (see XlsRecordStream::create and WorkbookBuilder).
class BiffCell : public BiffColRow
{
public:
    using BiffColRow::BiffColRow;
    // Row, column and XF index.
    static constexpr int MinSize = 6;

    int xfIndex() const { return fixedWord(4); }
    XlsWorkSheet *workSheet() const;
    QString name() const { return Xls::cellName(row(), column()); }

    XlsCellKind kind() const;
    bool isFormula() const { return XlsRecordId::isFormula(id()); }
    // "string", "boolean", "number", "datetime" or "other"; "formula" for a formula.
    QString kindName() const;
    QString text() const;
    void setText(const QString &value);
    bool boolean() const;
    void setBoolean(bool value);
    double number() const;
    void setNumber(double value);
    double dateTime() const;
    void setDateTime(double value);
    QVariant variant() const;
    void setVariant(const QVariant &value);

protected:
    [[noreturn]] void cannotAccess(const char *typeWord) const;
};

class BiffBlank : public BiffCell
{
public:
    using BiffCell::BiffCell;
};

// NUMBER and RK share the date test and the texts.
class BiffNumberCell : public BiffCell
{
public:
    using BiffCell::BiffCell;
    XlsCellKind kind() const;
    QString text() const;
    double dateTime() const;
    QVariant variant() const { return number(); }

protected:
    bool isDate() const;
};

class BiffNumber : public BiffNumberCell
{
public:
    using BiffNumberCell::BiffNumberCell;
    static constexpr int MinSize = 14;
    double number() const;
    void setNumber(double value);
    void setDateTime(double value) { setNumber(value); }
};

class BiffRK : public BiffNumberCell
{
public:
    using BiffNumberCell::BiffNumberCell;
    static constexpr int MinSize = 10;
    quint32 rk() const { return fixedDword(6); }
    double number() const { return Xls::decodeRk(rk()); }
};

class BiffBoolErr : public BiffCell
{
public:
    using BiffCell::BiffCell;
    static constexpr int MinSize = 8;
    bool isError() const { return fixedByte(7) != 0; }
    quint8 value() const { return fixedByte(6); }
    XlsCellKind kind() const { return XlsCellKind::Boolean; }
    QString text() const;
    bool boolean() const;
    void setBoolean(bool value);
    QVariant variant() const;
};

class BiffLabelSST : public BiffCell
{
public:
    BiffLabelSST(quint16 id, quint16 size, quint8 dataOffset);
    static constexpr int MinSize = 10;
    quint32 sstIndex() const { return fixedDword(6); }
    const XlsSSTEntry &entry() const;
    XlsCellKind kind() const { return XlsCellKind::String; }
    QString text() const;
    QVariant variant() const { return text(); }
};

// LABEL and RSTRING: a string held in the cell record itself. Writers other
// than Excel use them in place of the shared-string table.
class BiffLabel : public BiffCell
{
public:
    using BiffCell::BiffCell;
    // The cell, then the string's count and flags.
    static constexpr int MinSize = 9;
    XlsCellKind kind() const { return XlsCellKind::String; }
    QString text() const { return m_text.text(); }
    QVariant variant() const { return text(); }
    void afterRead();

private:
    XlsString m_text;
};

class BiffFormula : public BiffCell
{
public:
    BiffFormula(quint16 id, quint16 size, quint8 dataOffset);
    // The cell and its cached result.
    static constexpr int MinSize = 14;
    QString text() const;
    QVariant variant() const { return m_result; }
    QVariant cachedResult() const { return m_result; }
    void setCachedResult(const QVariant &value) { m_result = value; }
    // The length word and the tokens (shared formulas expanded).
    QByteArray tokens() const;
    void setTokens(const QByteArray &tokens) { m_tokens = tokens; }
    // A reference to a shared formula: exactly one ptgExp token.
    bool refersToSharedFormula() const;
    quint32 sharedFormulaKey() const;

private:
    QVariant m_result;
    QByteArray m_tokens; // empty until a shared formula replaces them
};

// MULRK and MULBLANK: a cursor over the cells the record holds.
class BiffMultiple : public BiffRecord
{
public:
    using BiffRecord::BiffRecord;
    // Row, first column and last column around the entries.
    static constexpr int MinSize = 6;
    int row() const { return fixedWord(0); }
    int firstColumn() const { return fixedWord(2); }
    int entrySize() const { return id() == XlsRecordId::MulRk ? 6 : 2; }
    int count() const;
    // Moves to the next entry; false after the last one.
    bool next();
    int currentColumn() const { return firstColumn() + m_current; }
    int currentXf() const { return fixedWord(4 + m_current * entrySize()); }

protected:
    int m_current = -1;
};

class BiffMulBlank : public BiffMultiple
{
public:
    using BiffMultiple::BiffMultiple;
};

class BiffMulRK : public BiffMultiple
{
public:
    using BiffMultiple::BiffMultiple;
    quint32 currentRk() const { return fixedDword(4 + m_current * 6 + 2); }
};

// ---------------------------------------------------------------- lists

class XlsList
{
public:
    bool isSorted() const { return m_sorted; }

protected:
    bool m_sorted = true;
};

// Records in stream order. The records themselves belong to the workbook's
// arena and go with it.
class BiffRecordList : public XlsList
{
public:
    BiffRecordList() = default;
    BiffRecordList(const BiffRecordList &) = delete;
    BiffRecordList &operator=(const BiffRecordList &) = delete;

    int count() const { return int(m_items.size()); }
    BiffRecord *item(int i) const { return m_items[std::size_t(i)]; }
    void append(BiffRecord *record) { m_items.push_back(record); }
    void clear();

protected:
    std::vector<BiffRecord *> m_items;
};

// The cells of one row (ordered by column) or of one column (by row). A
// cell is held by its four-byte handle in the workbook's arena rather than
// by pointer: on a large sheet these lists are a fifth of all memory.
class BiffCellList
{
public:
    BiffCellList(bool byColumn, const XlsArena &arena);
    BiffCellList(const BiffCellList &) = delete;
    BiffCellList &operator=(const BiffCellList &) = delete;
    int count() const { return int(m_items.size()); }
    int number() const { return m_number; }
    bool isEmpty() const { return m_items.empty(); }
    int lowest() const { return m_lowest; }
    int highest() const { return m_highest; }
    void add(BiffCell *cell);
    // The cell at the given position along the list; nullptr when none.
    BiffCell *find(int position);
    // Index of the first cell at or after the position (count() when none).
    int lowerBound(int position);
    BiffCell *cell(int i);
    void squeeze() { m_items.shrink_to_fit(); }
    void reserve(std::size_t count) { m_items.reserve(count); }

private:
    BiffCell *at(quint32 handle) const;
    int keyOf(quint32 handle) const;
    void sort();

    std::vector<quint32> m_items;
    const XlsArena *m_arena;
    int m_number = -1;
    int m_lowest = -1;
    int m_highest = -1;
    int m_lastKey = -1; // of the cell added last
    bool m_byColumn; // a row: cells ordered by column
    bool m_sorted = true;
};

class XlsRow : public BiffCellList
{
public:
    explicit XlsRow(const XlsArena &arena)
        : BiffCellList(true, arena)
    {
    }
};

class XlsCol : public BiffCellList
{
public:
    explicit XlsCol(const XlsArena &arena)
        : BiffCellList(false, arena)
    {
    }
};

// The rows of a worksheet by row index. Only rows that hold cells are kept,
// so memory follows the cells present, not the highest index a record names;
// an index without cells answers with an empty row.
class XlsRowList : public XlsList
{
public:
    // The arena that holds the rows' cells.
    explicit XlsRowList(const XlsArena &arena)
        : m_arena(arena)
        , m_empty(arena)
    {
    }
    const XlsArena &arena() const { return m_arena; }
    // One past the highest row index that holds a cell.
    int count() const { return m_rows.empty() ? 0 : m_rows.back().index + 1; }
    XlsRow *row(int index) const;
    // The row at that index, made when it holds no cell yet.
    XlsRow *grow(int index);
    void squeeze();
    void clear() { m_rows.clear(); }

private:
    // By index; rows mostly come in order and without gaps, so the entry of
    // row i is mostly the i-th.
    struct Entry
    {
        int index;
        std::unique_ptr<XlsRow> row;
    };
    const XlsArena &m_arena;
    std::vector<Entry> m_rows;
    mutable XlsRow m_empty;
};

// The columns of a worksheet by column index. Each column's extent is kept
// as cells are added; its list of cells, which only a lookup by column
// needs, is gathered from the rows on first use and kept up to date from
// then on. The cells themselves are the rows' ones.
class XlsColList : public XlsList
{
public:
    explicit XlsColList(const XlsRowList &rows)
        : m_rows(rows)
        , m_empty(rows.arena())
    {
    }
    // One past the highest column index that holds a cell.
    int count() const { return int(m_extents.size()); }
    XlsCol *col(int index) const;
    // A cell just added to the rows.
    void add(BiffCell *cell);
    // Whether the column holds a cell, and its lowest and highest row.
    bool extent(int index, int &lowest, int &highest) const;
    void squeeze();
    void clear();

private:
    struct Extent
    {
        int lowest = -1;
        int highest = -1;
    };
    const XlsRowList &m_rows;
    std::vector<Extent> m_extents;
    mutable std::map<int, std::unique_ptr<XlsCol>> m_gathered;
    mutable XlsCol m_empty;
};

class BiffShrFmlaList : public BiffRecordList
{
public:
    BiffShrFmla *find(quint32 key);
    void add(BiffShrFmla *record)
    {
        append(record);
        m_sorted = false;
    }
};

class BiffBoundSheetList : public BiffRecordList
{
public:
    BiffBoundSheet *sheet(int i) const { return static_cast<BiffBoundSheet *>(item(i)); }
};

class BiffNameList : public BiffRecordList
{
};

class BiffXFList : public BiffRecordList
{
public:
    BiffXF *xf(int i) const { return static_cast<BiffXF *>(item(i)); }
};

class BiffFormatList : public BiffRecordList
{
public:
    BiffFormat *format(int i) const { return static_cast<BiffFormat *>(item(i)); }
};

// The shared strings; their characters sit in one pool.
class BiffSSTList
{
public:
    int count() const { return int(m_entries.size()); }
    const XlsSSTEntry &entry(int i) const { return m_entries[std::size_t(i)]; }
    XlsSSTEntry &entry(int i) { return m_entries[std::size_t(i)]; }
    QString text(int i) const;
    void clear();
    // Expands an SST record (and its CONTINUE chain) into its strings.
    void load(const BiffSST &sst);
    // One more string (at most 65535 characters); returns its index.
    int append(QStringView text);

private:
    std::vector<XlsSSTEntry> m_entries;
    QByteArray m_pool;
};

// ---------------------------------------------------------------- sections

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

class XlsWorkSheet : public XlsSheet
{
public:
    explicit XlsWorkSheet(XlsWorkbook *workbook);
    ~XlsWorkSheet() override;

    XlsRowList &rows() { return m_rows; }
    const XlsRowList &rows() const { return m_rows; }
    XlsColList &cols() { return m_cols; }
    BiffShrFmlaList &sharedFormulas() { return m_sharedFormulas; }

    void clear();
    void addCell(BiffCell *cell);
    // The cell at a 0-based position; nullptr for an empty position or one
    // beyond the used area. Raises "Invalid Row (%d)" / "Invalid Column (%d)".
    BiffCell *cell(int row, int column);
    // The text of the cell there (empty when there is none).
    QString cellText(int row, int column);
    // Extents: whether the row (column) holds any cell, and its lowest and
    // highest column (row).
    bool rowExtent(int row, int &lowest, int &highest) const;
    bool colExtent(int column, int &lowest, int &highest) const;
    // Cells of any record kind in all rows.
    qsizetype cellCount() const { return m_cellCount; }
    // Called at the sheet's EOF: ptgExp formulas take their shared formula's
    // tokens; one whose shared formula is not there keeps its own.
    void expandSharedFormulas();

private:
    XlsRowList m_rows; // made on the workbook's arena
    XlsColList m_cols { m_rows };
    BiffShrFmlaList m_sharedFormulas;
    std::vector<BiffFormula *> m_formulas;
    qsizetype m_cellCount = 0;
    int m_lastRow = -1;
};

class XlsSheetList
{
public:
    int count() const { return int(m_sheets.size()); }
    XlsSheet *sheet(int i) const { return m_sheets[std::size_t(i)].get(); }
    void add(std::unique_ptr<XlsSheet> sheet);
    void clear() { m_sheets.clear(); }

private:
    std::vector<std::unique_ptr<XlsSheet>> m_sheets;
};

// The worksheets again, not owning them.
class XlsWorkSheetList
{
public:
    int count() const { return int(m_sheets.size()); }
    XlsWorkSheet *sheet(int i) const { return m_sheets[std::size_t(i)]; }
    void add(XlsWorkSheet *sheet) { m_sheets.push_back(sheet); }
    void remove(XlsWorkSheet *sheet);
    void clear() { m_sheets.clear(); }

private:
    std::vector<XlsWorkSheet *> m_sheets;
};

class XlsRecordStream;

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

class WorkbookFile
{
public:
    WorkbookFile();
    ~WorkbookFile();
    WorkbookFile(const WorkbookFile &) = delete;
    WorkbookFile &operator=(const WorkbookFile &) = delete;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    bool isOpened() const { return m_opened; }

    // Loads the workbook named by the file name: a BIFF8 workbook, or an
    // .xlsx or .ods one (ZipWorkbook.h), told apart by the file's content.
    void open();
    // Loads a workbook file held in memory (a compound document, a bare
    // record stream or a zip workbook); the file name, when given, only
    // names it in messages.
    void openBuffer(const QByteArray &fileBytes);
    void close();

    XlsWorkbook &workbook() { return *m_workbook; }
    int workSheetCount() const;
    XlsWorkSheet *workSheet(int index) const;
    QString workSheetName(int index) const;
    // Index of the worksheet with that name, without regard to case; -1 when
    // none matches.
    int workSheetIndex(const QString &name) const;

private:
    friend struct XlsFileLoader;
    friend class WorkbookBuilder;

    QString m_fileName;
    bool m_opened = false;
    std::unique_ptr<XlsWorkbook> m_workbook;
};

// ---------------------------------------------------------------- other formats

// Fills a WorkbookFile from a workbook of another format (.xlsx, .ods) with the
// records a BIFF8 workbook of the same content holds, so that everything
// above the reader sees one model. Positions are those of a BIFF8 sheet:
// rows 0..65535, columns 0..255.
class WorkbookBuilder
{
public:
    static constexpr int MaxRow = 65535;
    static constexpr int MaxColumn = 255;
    static constexpr int MaxTextLength = 65535;

    // Closes the file; it is opened by finish().
    explicit WorkbookBuilder(WorkbookFile &file);
    // A build that did not finish leaves the file closed and empty.
    ~WorkbookBuilder();
    WorkbookBuilder(const WorkbookBuilder &) = delete;
    WorkbookBuilder &operator=(const WorkbookBuilder &) = delete;

    void setDates1904(bool on);
    bool dates1904() const;
    // A number format of the workbook, by its index; the built-in ones need
    // none (the date test knows them by number).
    void addFormat(int formatIndex, const QString &formatString);
    // A cell format showing number format formatIndex; returns its index.
    int addXf(int formatIndex);
    int xfCount() const;
    // A string of the shared-string table (at most MaxTextLength
    // characters); returns its index.
    int addString(QStringView text);
    int stringCount() const;
    QString string(int index) const;
    // A worksheet, after the ones added before; hidden only marks it.
    XlsWorkSheet *addWorkSheet(const QString &name, bool hidden);

    void addNumber(XlsWorkSheet *sheet, int row, int column, int xf, double value);
    void addString(XlsWorkSheet *sheet, int row, int column, int xf, int stringIndex);
    void addBoolean(XlsWorkSheet *sheet, int row, int column, int xf, bool value);
    void addError(XlsWorkSheet *sheet, int row, int column, int xf, quint8 code);
    void addBlank(XlsWorkSheet *sheet, int row, int column, int xf);
    // A formula cell and its cached result: a double, a QString, a bool, or
    // an invalid QVariant for an error or no result.
    void addFormula(XlsWorkSheet *sheet, int row, int column, int xf, const QVariant &result);

    // Binds the formats and marks the file opened.
    void finish();

private:
    template <typename T> T *makeCell(XlsWorkSheet *sheet, quint16 id, int row, int column, int xf, const quint8 *tail, int tailSize);

    WorkbookFile &m_file;
    XlsWorkbook &m_workbook;
    bool m_finished = false;
};
