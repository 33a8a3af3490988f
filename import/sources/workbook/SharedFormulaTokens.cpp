#include "import/sources/workbook/SharedFormulaTokens.h"

#include "import/sources/workbook/WorkbookError.h"

namespace {

int tokenSize(const QByteArray &t, int i, int end)
{
    const quint8 ptg = quint8(t[i]);
    auto at = [&](int k) { return k < end ? quint8(t[k]) : quint8(0); };
    if (ptg >= 0x03 && ptg <= 0x16)
        return 1;
    switch (ptg) {
    case 0x17:
        return 3 + at(i + 1) * ((at(i + 2) & 0x01) ? 2 : 1);
    case 0x19:
        return 4 + ((at(i + 1) & 0x04) ? 2 * (int(at(i + 2) | (at(i + 3) << 8)) + 1) : 0);
    case 0x1C:
    case 0x1D:
        return 2;
    case 0x1E:
    case 0x21:
    case 0x41:
    case 0x61:
        return 3;
    case 0x1F:
        return 9;
    case 0x22:
    case 0x42:
    case 0x62:
        return 4;
    case 0x20:
    case 0x40:
        return 8;
    default:
        break;
    }
    if (ptg >= 0x23 && ptg <= 0x7D && ptg != 0x60) {
        switch (ptg & 0x1F) {
        case 0x03: // name
        case 0x04: // reference
        case 0x0A: // reference error
        case 0x0C:
            return 5; // relative reference
        case 0x05: // area
        case 0x0B: // area error
        case 0x0D:
            return 9; // relative area
        case 0x19: // external name
        case 0x1A: // 3-D reference
        case 0x1C:
            return 7; // 3-D reference error
        case 0x1B: // 3-D area
        case 0x1D:
            return 11; // 3-D area error
        default:
            break;
        }
    }
    throw TokenError(ptg, messageText(ImportMsg::XlsUnsupportedToken, { QString::number(ptg, 16) }));
}

// A relative column (low 8 bits of the field, the flags above them) made
// absolute.
void absoluteColumn(QByteArray &t, int k, int cellColumn)
{
    const quint16 field = quint16(quint8(t[k]) | (quint8(t[k + 1]) << 8));
    if (field & 0x4000) {
        const int col = (cellColumn + qint8(field & 0xFF)) & 0xFF;
        t[k] = char(col);
    }
}

void absoluteRow(QByteArray &t, int k, quint16 colField, int cellRow)
{
    if (colField & 0x8000) {
        const int row = (cellRow + qint16(quint16(quint8(t[k]) | (quint8(t[k + 1]) << 8)))) & 0xFFFF;
        t[k] = char(row & 0xFF);
        t[k + 1] = char(row >> 8);
    }
}

} // namespace

void SharedFormulaTokens::makeAbsolute(QByteArray &t, int cellRow, int cellColumn, quint16 recordId)
{
    if (t.size() < 2)
        WorkbookError::recordInvalid(recordId);
    const int length = int(quint8(t[0]) | (quint8(t[1]) << 8));
    const int end = 2 + length;
    if (end > t.size())
        WorkbookError::recordInvalid(recordId);
    int i = 2;
    while (i < end) {
        const quint8 ptg = quint8(t[i]);
        const int size = tokenSize(t, i, end);
        if (i + size > end)
            WorkbookError::recordInvalid(recordId);
        const quint8 base = ptg & 0x1F;
        if (ptg >= 0x2C && (base == 0x0C || base == 0x0D) && (ptg >> 5) >= 1) {
            if (base == 0x0C) {
                const quint16 colField = quint16(quint8(t[i + 3]) | (quint8(t[i + 4]) << 8));
                absoluteRow(t, i + 1, colField, cellRow);
                absoluteColumn(t, i + 3, cellColumn);
            } else {
                const quint16 firstCol = quint16(quint8(t[i + 5]) | (quint8(t[i + 6]) << 8));
                const quint16 lastCol = quint16(quint8(t[i + 7]) | (quint8(t[i + 8]) << 8));
                absoluteRow(t, i + 1, firstCol, cellRow);
                absoluteRow(t, i + 3, lastCol, cellRow);
                absoluteColumn(t, i + 5, cellColumn);
                absoluteColumn(t, i + 7, cellColumn);
            }
            t[i] = char(ptg - 0x08); // now a plain reference or area
        }
        i += size;
    }
}
