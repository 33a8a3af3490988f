#include "import/sources/workbook/XlsWorkbook.h"

#include "core/Formatting.h"
#include "import/sources/workbook/BiffKind.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/XlsArena.h"
#include "import/sources/workbook/XlsRecordStream.h"

#include <QtEndian>

#include <cmath>
#include <limits>

namespace {

// What the globals' records do to them, by kind.
class GlobalsRecords
{
public:
    explicit GlobalsRecords(XlsGlobals &globals)
        : m_globals(globals)
    {
    }
    bool done() const { return m_done; }

    void operator()(BiffEOF &eof)
    {
        m_globals.setEof(&eof);
        m_done = true;
    }
    // A BOF of the current version opens a substream the globals cannot
    // hold; an older one is passed over.
    void operator()(BiffBOF &bof)
    {
        if (bof.id() == XlsRecordId::Bof)
            WorkbookError::fileInvalid();
    }
    void operator()(BiffName &name) { m_globals.names().append(&name); }
    void operator()(BiffBoundSheet &sheet) { m_globals.boundSheets().append(&sheet); }
    void operator()(BiffXF &xf) { m_globals.xfs().append(&xf); }
    void operator()(BiffFormat &format) { m_globals.formats().append(&format); }
    void operator()(BiffSST &sst) { m_globals.sst().load(sst); }
    void operator()(BiffDateMode &mode) { m_globals.setDates1904(mode.dates1904()); }
    void operator()(BiffRecord &record)
    {
        if (record.id() == XlsRecordId::FilePass)
            WorkbookError::fileInvalid(); // encrypted: the records would read as garbage
    }

private:
    XlsGlobals &m_globals;
    bool m_done = false;
};

// What a worksheet's records do to it, by kind. A STRING record gives the
// result of the FORMULA read last.
class WorkSheetRecords
{
public:
    WorkSheetRecords(XlsWorkSheet *sheet, XlsArena &arena)
        : m_sheet(sheet)
        , m_arena(arena)
    {
    }
    bool done() const { return m_done; }

    void operator()(BiffBOF &) { WorkbookError::fileInvalid(); } // an embedded chart or another nested substream
    void operator()(BiffFormula &formula)
    {
        m_lastFormula = &formula;
        add(&formula);
    }
    void operator()(BiffCell &cell) { add(&cell); }
    void operator()(BiffMulRK &cells);
    void operator()(BiffMulBlank &cells);
    void operator()(BiffShrFmla &shared) { m_sheet->sharedFormulas().add(&shared); }
    void operator()(BiffString &string)
    {
        if (!m_lastFormula)
            WorkbookError::fileInvalid();
        m_lastFormula->setCachedResult(string.text());
    }
    void operator()(BiffEOF &eof)
    {
        m_sheet->setEof(&eof);
        m_done = true;
    }
    void operator()(BiffRecord &) { }

private:
    void add(BiffCell *cell);

    XlsWorkSheet *m_sheet;
    XlsArena &m_arena;
    BiffFormula *m_lastFormula = nullptr;
    bool m_done = false;
};

// A sheet of this format has 256 columns. A formatted blank beyond them
// holds nothing and is passed over; a value there is one no range can name,
// so the damaged file is refused rather than read without it.
void WorkSheetRecords::add(BiffCell *cell)
{
    if (cell->column() > 255) {
        if (cell->id() == XlsRecordId::Blank)
            return;
        throw WorkbookError(messageText(ImportMsg::XlsInvalidColumn, { QString::number(cell->column()) }));
    }
    m_sheet->addCell(cell);
}

// MULRK and MULBLANK become one RK or BLANK cell per entry.
void WorkSheetRecords::operator()(BiffMulRK &cells)
{
    quint8 bytes[10];
    while (cells.next() && cells.currentColumn() <= 0xFFFF) {
        qToLittleEndian(quint16(cells.row()), bytes);
        qToLittleEndian(quint16(cells.currentColumn()), bytes + 2);
        qToLittleEndian(quint16(cells.currentXf()), bytes + 4);
        qToLittleEndian(cells.currentRk(), bytes + 6);
        add(m_arena.make<BiffRK>(m_sheet, XlsRecordId::Rk, bytes, 10));
    }
}

void WorkSheetRecords::operator()(BiffMulBlank &cells)
{
    quint8 bytes[6];
    while (cells.next() && cells.currentColumn() <= 0xFFFF) {
        qToLittleEndian(quint16(cells.row()), bytes);
        qToLittleEndian(quint16(cells.currentColumn()), bytes + 2);
        qToLittleEndian(quint16(cells.currentXf()), bytes + 4);
        add(m_arena.make<BiffBlank>(m_sheet, XlsRecordId::Blank, bytes, 6));
    }
}

} // namespace

struct XlsWorkbook::DateTextCache
{
    // The settings the texts were made with.
    QString shortDateFormat;
    QChar dateSeparator;
    QStringList shortMonths, longMonths, shortDays, longDays;
    // Direct-mapped by day: the dates of a workbook mostly fall within a few
    // years, and the same days come back again and again.
    static constexpr std::size_t Slots = 16384;
    struct Slot
    {
        qint64 day = std::numeric_limits<qint64>::min();
        QString text;
    };
    std::vector<Slot> texts;

    bool matches(const FormatSettings &fs) const
    {
        // Mostly the very settings the texts were made with: shared data.
        if (shortDateFormat.constData() == fs.shortDateFormat.constData() && dateSeparator == fs.dateSeparator
            && shortMonths.constData() == fs.shortMonthNames.constData() && longMonths.constData() == fs.longMonthNames.constData()
            && shortDays.constData() == fs.shortDayNames.constData() && longDays.constData() == fs.longDayNames.constData())
            return true;
        return shortDateFormat == fs.shortDateFormat && dateSeparator == fs.dateSeparator && shortMonths == fs.shortMonthNames
            && longMonths == fs.longMonthNames && shortDays == fs.shortDayNames && longDays == fs.longDayNames;
    }
    void reset(const FormatSettings &fs)
    {
        shortDateFormat = fs.shortDateFormat;
        dateSeparator = fs.dateSeparator;
        shortMonths = fs.shortMonthNames;
        longMonths = fs.longMonthNames;
        shortDays = fs.shortDayNames;
        longDays = fs.longDayNames;
        texts.assign(Slots, Slot());
    }
};

XlsWorkbook::XlsWorkbook(WorkbookFile *file)
    : m_file(file)
    , m_arena(std::make_unique<XlsArena>(this))
    , m_globals(std::make_unique<XlsGlobals>(this))
    , m_dateTexts(std::make_unique<DateTextCache>())
{
}

XlsWorkbook::~XlsWorkbook()
{
    clear();
}

void XlsWorkbook::clear()
{
    m_workSheets.clear();
    m_sheets.clear();
    m_sheetPositions.clear();
    m_globals->clear();
    m_arena->clear();
    m_dateTexts->texts.clear();
    m_dateTexts->texts.shrink_to_fit();
}

QString XlsWorkbook::sheetName(const XlsSheet *sheet) const
{
    // A BOUNDSHEET names the sheet whose BOF sits at its stream position;
    // failing that, the sheets and the BOUNDSHEETs pair in order.
    const BiffBoundSheetList &list = const_cast<XlsGlobals &>(*m_globals).boundSheets();
    const int index = sheet->index();
    if (index < 0)
        return QString();
    if (std::size_t(index) < m_sheetPositions.size()) {
        for (int i = 0; i < list.count(); ++i)
            if (list.sheet(i)->streamPosition() == m_sheetPositions[std::size_t(index)])
                return list.sheet(i)->name();
    }
    return index < list.count() ? list.sheet(index)->name() : QString();
}

QString XlsWorkbook::dateTimeText(double value) const
{
    const FormatSettings &fs = FormatSettings::current();
    // Days from 1 January 1 to 31 December 9999; other values are no dates.
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0)
        return floatToStr(value, fs);
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    if (whole == 0.0 && fraction != 0.0)
        return formatDateTime(fs.longTimeFormat, value, fs);
    if (m_globals->dates1904())
        value += 1462.0;
    if (fraction == 0.0) {
        if (m_dateTexts->texts.empty() || !m_dateTexts->matches(fs))
            m_dateTexts->reset(fs);
        const qint64 day = qint64(value);
        DateTextCache::Slot &slot = m_dateTexts->texts[std::size_t(day) % DateTextCache::Slots];
        if (slot.day != day) {
            slot.day = day;
            slot.text = formatDateTime(fs.shortDateFormat, value, fs);
        }
        return slot.text;
    }
    return formatDateTime(fs.shortDateFormat, value, fs) + QLatin1Char(' ') + formatDateTime(fs.longTimeFormat, value, fs);
}

void XlsWorkbook::load(XlsRecordStream &stream)
{
    clear();
    XlsArena &scratch = stream.scratch();
    stream.rewind();
    bool read = false;
    while (stream.remaining() >= 4) {
        const quint16 id = stream.peekId();
        if (id == XlsRecordId::Eof || id == 0)
            break;
        read = true;
        const qint64 position = stream.position();
        BiffRecord *record = stream.readRecord(nullptr, BiffSubstream::Workbook);
        visitRecord(BiffSubstream::Workbook, *record,
            BiffVisitor { [&](BiffBOF &bof) { readSubstream(stream, &bof, position); }, [](BiffRecord &) { WorkbookError::fileInvalid(); } });
        scratch.clear();
    }
    // An empty stream is no workbook.
    if (!read)
        WorkbookError::fileInvalid();
}

void XlsWorkbook::readSubstream(XlsRecordStream &stream, BiffBOF *bof, qint64 position)
{
    switch (bof->substreamType()) {
    case 0x0005:
        m_globals->setBof(bof);
        readGlobals(stream);
        break;
    case 0x0010: {
        auto owned = std::make_unique<XlsWorkSheet>(this);
        XlsWorkSheet *sheet = owned.get();
        sheet->setBof(bof);
        m_sheets.add(std::move(owned));
        m_workSheets.add(sheet);
        m_sheetPositions.push_back(quint32(position));
        readWorkSheet(stream, sheet);
        break;
    }
    default:
        // A chart sheet (0x0020) ends here too: its records are no cells.
        WorkbookError::fileInvalid();
    }
}

void XlsWorkbook::readGlobals(XlsRecordStream &stream)
{
    XlsArena &scratch = stream.scratch();
    GlobalsRecords records(*m_globals);
    while (!records.done()) {
        if (stream.remaining() <= 0)
            WorkbookError::fileInvalid();
        visitRecord(BiffSubstream::Globals, *stream.readRecord(m_globals.get(), BiffSubstream::Globals), records);
        scratch.clear();
    }
    m_globals->bindFormats();
}

void XlsWorkbook::readWorkSheet(XlsRecordStream &stream, XlsWorkSheet *sheet)
{
    XlsArena &scratch = stream.scratch();
    sheet->clear();
    WorkSheetRecords records(sheet, *m_arena);
    while (!records.done()) {
        if (stream.remaining() <= 0)
            WorkbookError::fileInvalid();
        visitRecord(BiffSubstream::WorkSheet, *stream.readRecord(sheet, BiffSubstream::WorkSheet), records);
        scratch.clear();
    }
    sheet->expandSharedFormulas();
    sheet->rows().squeeze();
    sheet->cols().squeeze();
}
