#include "import/sources/workbook/WorkbookBuilder.h"

#include "import/sources/workbook/XlsArena.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

WorkbookBuilder::WorkbookBuilder(WorkbookFile &file)
    : m_file(file)
    , m_workbook(*file.m_workbook)
{
    m_file.close();
}

WorkbookBuilder::~WorkbookBuilder()
{
    if (!m_finished)
        m_file.close();
}

void WorkbookBuilder::setDates1904(bool on)
{
    m_workbook.globals().setDates1904(on);
}

bool WorkbookBuilder::dates1904() const
{
    return m_workbook.globals().dates1904();
}

void WorkbookBuilder::addFormat(int formatIndex, const QString &formatString)
{
    // FORMAT: index, then the string with a 16-bit count, within one record.
    const QString text = formatString.left(0xFFF0 / 2 - 4);
    const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray data(5 + text.size() * (wide ? 2 : 1), Qt::Uninitialized);
    auto *d = reinterpret_cast<quint8 *>(data.data());
    qToLittleEndian(quint16(formatIndex), d);
    qToLittleEndian(quint16(text.size()), d + 2);
    d[4] = wide ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (wide)
            qToLittleEndian(quint16(text[i].unicode()), d + 5 + 2 * i);
        else
            d[5 + i] = quint8(text[i].unicode());
    }
    XlsGlobals &g = m_workbook.globals();
    auto *record = m_workbook.arena().make<BiffFormat>(&g, XlsRecordId::Format, d, quint16(data.size()));
    record->afterRead();
    g.formats().append(record);
}

int WorkbookBuilder::addXf(int formatIndex)
{
    quint8 d[4] = { 0, 0, 0, 0 };
    qToLittleEndian(quint16(formatIndex), d + 2);
    XlsGlobals &g = m_workbook.globals();
    g.xfs().append(m_workbook.arena().make<BiffXF>(&g, XlsRecordId::Xf, d, 4));
    return g.xfs().count() - 1;
}

int WorkbookBuilder::xfCount() const
{
    return m_workbook.globals().xfs().count();
}

int WorkbookBuilder::addString(QStringView text)
{
    return m_workbook.globals().sst().append(text);
}

int WorkbookBuilder::stringCount() const
{
    return m_workbook.globals().sst().count();
}

QString WorkbookBuilder::string(int index) const
{
    return m_workbook.globals().sst().text(index);
}

XlsWorkSheet *WorkbookBuilder::addWorkSheet(const QString &name, bool hidden)
{
    const int index = m_workbook.sheets().count();
    // BOUNDSHEET: position, visibility, type, then the name with an 8-bit count.
    const QString text = name.left(255);
    const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray data(8 + text.size() * (wide ? 2 : 1), Qt::Uninitialized);
    auto *d = reinterpret_cast<quint8 *>(data.data());
    qToLittleEndian(quint32(index), d);
    d[4] = hidden ? 1 : 0;
    d[5] = 0;
    d[6] = quint8(text.size());
    d[7] = wide ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (wide)
            qToLittleEndian(quint16(text[i].unicode()), d + 8 + 2 * i);
        else
            d[8 + i] = quint8(text[i].unicode());
    }
    XlsGlobals &g = m_workbook.globals();
    auto *bound = m_workbook.arena().make<BiffBoundSheet>(&g, XlsRecordId::BoundSheet, d, quint16(data.size()));
    bound->afterRead();
    g.boundSheets().append(bound);

    auto owned = std::make_unique<XlsWorkSheet>(&m_workbook);
    XlsWorkSheet *sheet = owned.get();
    m_workbook.sheets().add(std::move(owned));
    m_workbook.workSheets().add(sheet);
    m_workbook.m_sheetPositions.push_back(quint32(index));
    return sheet;
}

template <typename T>
T *WorkbookBuilder::makeCell(XlsWorkSheet *sheet, quint16 id, int row, int column, int xf, const quint8 *tail, int tailSize)
{
    if (row < 0 || row > MaxRow || column < 0 || column > MaxColumn)
        throw ImportError(messageText(ImportMsg::XlsCellBeyondSheet, { Xls::cellName(row, column) }));
    quint8 d[20] = {};
    qToLittleEndian(quint16(row), d);
    qToLittleEndian(quint16(column), d + 2);
    qToLittleEndian(quint16(std::clamp(xf, 0, 0xFFFF)), d + 4);
    if (tailSize > 0)
        std::memcpy(d + 6, tail, std::size_t(tailSize));
    T *cell = m_workbook.arena().make<T>(sheet, id, d, quint16(6 + tailSize));
    sheet->addCell(cell);
    return cell;
}

void WorkbookBuilder::addNumber(XlsWorkSheet *sheet, int row, int column, int xf, double value)
{
    quint8 tail[8];
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, tail);
    makeCell<BiffNumber>(sheet, XlsRecordId::Number, row, column, xf, tail, 8);
}

void WorkbookBuilder::addString(XlsWorkSheet *sheet, int row, int column, int xf, int stringIndex)
{
    quint8 tail[4];
    qToLittleEndian(quint32(stringIndex), tail);
    makeCell<BiffLabelSST>(sheet, XlsRecordId::LabelSst, row, column, xf, tail, 4);
}

void WorkbookBuilder::addBoolean(XlsWorkSheet *sheet, int row, int column, int xf, bool value)
{
    const quint8 tail[2] = { quint8(value ? 1 : 0), 0 };
    makeCell<BiffBoolErr>(sheet, XlsRecordId::BoolErr, row, column, xf, tail, 2);
}

void WorkbookBuilder::addError(XlsWorkSheet *sheet, int row, int column, int xf, quint8 code)
{
    const quint8 tail[2] = { code, 1 };
    makeCell<BiffBoolErr>(sheet, XlsRecordId::BoolErr, row, column, xf, tail, 2);
}

void WorkbookBuilder::addBlank(XlsWorkSheet *sheet, int row, int column, int xf)
{
    makeCell<BiffBlank>(sheet, XlsRecordId::Blank, row, column, xf, nullptr, 0);
}

void WorkbookBuilder::addFormula(XlsWorkSheet *sheet, int row, int column, int xf, const QVariant &result)
{
    // FORMULA up to its token count: the cached result (8 bytes), options
    // and the chain word. A result that is no number is marked by 0xFFFF in
    // its last word and typed by its first byte.
    quint8 tail[14] = {};
    QString text;
    switch (result.typeId()) {
    case QMetaType::Double: {
        quint64 bits;
        const double value = result.toDouble();
        std::memcpy(&bits, &value, sizeof bits);
        qToLittleEndian(bits, tail);
        break;
    }
    case QMetaType::QString:
        text = result.toString();
        tail[0] = 0;
        tail[6] = tail[7] = 0xFF;
        break;
    case QMetaType::Bool:
        tail[0] = 1;
        tail[2] = result.toBool() ? 1 : 0;
        tail[6] = tail[7] = 0xFF;
        break;
    default:
        tail[0] = 3; // empty
        tail[6] = tail[7] = 0xFF;
        break;
    }
    auto *cell = makeCell<BiffFormula>(sheet, XlsRecordId::Formula, row, column, xf, tail, 14);
    if (result.typeId() == QMetaType::QString)
        cell->setCachedResult(text);
}

void WorkbookBuilder::finish()
{
    m_workbook.globals().bindFormats();
    for (int s = 0; s < m_workbook.workSheets().count(); ++s) {
        m_workbook.workSheets().sheet(s)->rows().squeeze();
        m_workbook.workSheets().sheet(s)->cols().squeeze();
    }
    m_file.m_opened = true;
    m_finished = true;
}
