#include "import/sources/workbook/RangeMap.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/RangeLanguage.h"
#include "import/sources/workbook/WorkbookFile.h"

#include <algorithm>

using namespace RangeLanguage;

MapRange::MapRange(MapRow *owner)
    : m_owner(owner)
{
}

MapRange::MapRange(const MapRange &other)
{
    *this = other;
}

MapRange &MapRange::operator=(const MapRange &other)
{
    if (this == &other)
        return *this;
    // The owner stays: an edited copy is put back into its row this way.
    m_direction = other.m_direction;
    m_sheetSelector = other.m_sheetSelector;
    m_sheetNumber = other.m_sheetNumber;
    m_sheetName = other.m_sheetName;
    m_startRow = other.m_startRow;
    m_startCol = other.m_startCol;
    m_finishRow = other.m_finishRow;
    m_finishCol = other.m_finishCol;
    m_kind = other.m_kind;
    m_sheetIndex = other.m_sheetIndex;
    updateCount(); // with this owner's skips
    return *this;
}

WorkbookFile *MapRange::file() const
{
    return m_owner ? m_owner->file() : nullptr;
}

bool MapRange::isForward() const
{
    if (m_direction != rdNotSet)
        return m_direction == rdForward;
    if (m_kind == rkRow)
        return m_startCol <= m_finishCol || m_finishCol == 0;
    return m_startRow <= m_finishRow || m_finishRow == 0;
}

void MapRange::setDefaultSheet()
{
    m_sheetSelector = ssDefault;
    m_sheetNumber = 0;
    m_sheetName.clear();
}

void MapRange::setSheetNumber(int number)
{
    m_sheetSelector = ssByNumber;
    m_sheetNumber = number;
    m_sheetName.clear();
}

void MapRange::setSheetName(const QString &name)
{
    m_sheetSelector = ssByName;
    m_sheetNumber = 0;
    m_sheetName = name;
}

bool MapRange::sameSheetAs(const MapRange &other) const
{
    // Only ranges of one sheet continue each other; two ranges that name no
    // sheet share the first one.
    if (m_sheetSelector != other.m_sheetSelector)
        return false;
    switch (m_sheetSelector) {
    case ssByNumber:
        return m_sheetNumber == other.m_sheetNumber;
    case ssByName:
        return m_sheetName == other.m_sheetName;
    default:
        return true;
    }
}

void MapRange::setStartRow(int row)
{
    m_startRow = row;
    updateKind();
}

void MapRange::setStartCol(int col)
{
    m_startCol = col;
    updateKind();
}

void MapRange::setFinishRow(int row)
{
    m_finishRow = row;
    updateKind();
}

void MapRange::setFinishCol(int col)
{
    m_finishCol = col;
    updateKind();
}

void MapRange::setBounds(int startRow, int startCol, int finishRow, int finishCol)
{
    m_startRow = startRow;
    m_startCol = startCol;
    m_finishRow = finishRow;
    m_finishCol = finishCol;
    updateKind();
}

void MapRange::updateKind()
{
    if (m_startRow > 0 && m_startCol > 0 && m_finishRow > 0 && m_finishCol > 0 && m_startCol == m_finishCol && m_startRow == m_finishRow)
        m_kind = rkCell;
    else if (m_startRow > 0 || m_startCol > 0 || m_finishRow > 0 || m_finishCol > 0) {
        if (m_startCol == m_finishCol && m_startCol > 0)
            m_kind = rkCol;
        else if (m_startRow == m_finishRow && m_startRow > 0)
            m_kind = rkRow;
        else
            m_kind = rkUndetermined;
    } else
        m_kind = rkUndetermined;
}

int MapRange::skipRows() const
{
    return m_owner ? m_owner->skipRows() : 0;
}

int MapRange::skipCols() const
{
    return m_owner ? m_owner->skipCols() : 0;
}

void MapRange::updateCount()
{
    const int sr = skipRows();
    const int sc = skipCols();
    // Along the range: skipped positions are raised past the skip.
    auto along = [](int fixed, int skipFixed, int a, int b, int skipAlong) {
        if (fixed <= skipFixed || (a <= skipAlong && b <= skipAlong))
            return 0;
        a = std::max(a, skipAlong + 1);
        b = std::max(b, skipAlong + 1);
        return std::abs(b - a) + 1;
    };
    switch (m_kind) {
    case rkCol:
        m_count = along(m_startCol, sc, m_startRow, m_finishRow, sr);
        break;
    case rkRow:
        m_count = along(m_startRow, sr, m_startCol, m_finishCol, sc);
        break;
    case rkCell:
        m_count = m_startRow > sr && m_startCol > sc ? 1 : 0;
        break;
    default:
        m_count = 0;
        break;
    }
}

void MapRange::resolve()
{
    WorkbookFile *f = file();
    if (!f)
        return;
    if (!f->isOpened())
        f->open();
    int index = 0;
    if (m_sheetSelector == ssByNumber) {
        if (m_sheetNumber < 1 || m_sheetNumber > f->workSheetCount())
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet number %d is not found in the source file"), { num(m_sheetNumber) });
        index = m_sheetNumber - 1;
    } else if (m_sheetSelector == ssByName) {
        index = f->workSheetIndex(m_sheetName);
        if (index < 0)
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Sheet with name %s is not found in the source file"), { m_sheetName });
    }
    m_sheetIndex = index;
    XlsWorkSheet *sheet = f->workSheet(index);
    const bool forward = isForward();
    int lowest = -1, highest = -1;
    if (m_kind == rkRow) {
        if (!sheet || !sheet->rowExtent(m_startRow - 1, lowest, highest))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Row %d not found in the sheet %s"), { num(m_startRow), m_sheetName });
        if (m_startCol == 0)
            m_startCol = (forward ? lowest : highest) + 1;
        if (m_finishCol == 0)
            m_finishCol = (forward ? highest : lowest) + 1;
    } else if (m_kind == rkCol) {
        if (!sheet || !sheet->colExtent(m_startCol - 1, lowest, highest))
            fail(QT_TRANSLATE_NOOP("ImportMessages", "Col %d not found in the sheet %s"), { num(m_startCol), m_sheetName });
        if (m_startRow == 0)
            m_startRow = forward ? 1 : highest + 1;
        if (m_finishRow == 0)
            m_finishRow = (forward ? highest : lowest) + 1;
    }
    updateKind();
    updateCount();
}

QString MapRange::text() const
{
    QString body;
    const bool forward = isForward();
    switch (m_kind) {
    case rkCell:
        body = cellText(m_startRow, m_startCol);
        break;
    case rkCol: {
        const QString col = Xls::columnLetters(m_startCol);
        const QString toStart = forward ? QStringLiteral("COLSTART") : QStringLiteral("COLFINISH");
        const QString toFinish = forward ? QStringLiteral("COLFINISH") : QStringLiteral("COLSTART");
        if (m_startRow > 0 && m_finishRow > 0)
            body = col + QString::number(m_startRow) + u'-' + col + QString::number(m_finishRow);
        else if (m_finishRow > 0)
            body = toStart + u'-' + col + QString::number(m_finishRow);
        else if (m_startRow > 0)
            body = col + QString::number(m_startRow) + u'-' + toFinish;
        else
            body = col + u'-' + toFinish;
        break;
    }
    case rkRow: {
        const QString row = QString::number(m_startRow);
        const QString toStart = forward ? QStringLiteral("ROWSTART") : QStringLiteral("ROWFINISH");
        const QString toFinish = forward ? QStringLiteral("ROWFINISH") : QStringLiteral("ROWSTART");
        if (m_startCol > 0 && m_finishCol > 0)
            body = Xls::columnLetters(m_startCol) + row + u'-' + Xls::columnLetters(m_finishCol) + row;
        else if (m_finishCol > 0)
            body = toStart + u'-' + Xls::columnLetters(m_finishCol) + row;
        else if (m_startCol > 0)
            body = Xls::columnLetters(m_startCol) + row + u'-' + toFinish;
        else
            body = row + u'-' + toFinish;
        break;
    }
    default:
        return QString();
    }
    QString prefix;
    if (m_sheetSelector == ssByName)
        prefix = u'[' + m_sheetName + u']';
    else if (m_sheetSelector == ssByNumber)
        prefix = QStringLiteral("[:") + QString::number(m_sheetNumber) + u']';
    return prefix + body + u';';
}

namespace {

// Whether position p lies between a start and a finish, either of which may
// be open.
bool between(int p, int start, int finish, bool forward)
{
    if (start > 0 && finish > 0)
        return p >= std::min(start, finish) && p <= std::max(start, finish);
    if (start > 0)
        return forward ? p >= start : p <= start;
    if (finish > 0)
        return forward ? p <= finish : p >= finish;
    return true;
}

} // namespace

bool MapRange::contains(int sheetNumber, const QString &sheetName, int row, int col) const
{
    switch (m_sheetSelector) {
    case ssByNumber:
        if (m_sheetNumber != sheetNumber)
            return false;
        break;
    case ssByName:
        if (QString::compare(m_sheetName, sheetName, Qt::CaseInsensitive) != 0)
            return false;
        break;
    default:
        if (sheetNumber != 1)
            return false;
        break;
    }
    switch (m_kind) {
    case rkCell:
        return row == m_startRow && col == m_startCol;
    case rkCol:
        return col == m_startCol && between(row, m_startRow, m_finishRow, isForward());
    case rkRow:
        return row == m_startRow && between(col, m_startCol, m_finishCol, isForward());
    default:
        return false;
    }
}

bool MapRange::cellPosition(int n, int &row, int &col) const
{
    if (n < 1 || n > m_count)
        return false;
    const bool forward = isForward();
    switch (m_kind) {
    case rkCol:
        col = m_startCol;
        row = forward ? std::max(m_startRow, skipRows() + 1) + n - 1 : m_startRow - n + 1;
        return true;
    case rkRow:
        row = m_startRow;
        col = forward ? std::max(m_startCol, skipCols() + 1) + n - 1 : m_startCol - n + 1;
        return true;
    case rkCell:
        row = m_startRow;
        col = m_startCol;
        return true;
    default:
        return false;
    }
}
