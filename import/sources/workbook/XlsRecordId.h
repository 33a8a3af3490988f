#pragma once

#include <QtGlobal>

// The BIFF8 record identifiers the reader tells apart.
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
// The records of a worksheet's cells; outside a worksheet they are ignored
// like any other.
constexpr bool isSheetRecord(quint16 id)
{
    return isFormula(id) || id == Blank || id == Number || id == Rk || id == BoolErr || id == LabelSst || id == Label || id == RString
        || id == MulRk || id == MulBlank || id == String || id == ShrFmla;
}
} // namespace XlsRecordId
