#pragma once

#include "import/sources/workbook/BiffCell.h"
#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/XlsRecordId.h"

#include <type_traits>

// Where a record is read: between substreams (their BOFs), in the globals or
// in a worksheet. A record id is made as a kind of its own only where the
// reader uses it, so a short or stray record elsewhere is no error.
enum class BiffSubstream { Workbook, Globals, WorkSheet };

// One record kind, as a value: what withBiffKind hands its function.
template <class T> struct BiffKind
{
    using Type = T;
};

// The one table of record kinds: calls f with BiffKind<T>{} for the kind a
// record of that id is made as in that substream. Records have no virtual
// functions (a workbook holds millions of cells); everything that differs
// by kind goes through here.
template <class F> decltype(auto) withBiffKind(BiffSubstream where, quint16 id, F &&f)
{
    using namespace XlsRecordId;
    if (where != BiffSubstream::WorkSheet && isSheetRecord(id))
        return f(BiffKind<BiffRecord> {});
    switch (id) {
    case Formula:
    case Formula3:
    case Formula4:
        return f(BiffKind<BiffFormula> {});
    case Eof:
        return f(BiffKind<BiffEOF> {});
    case Name:
        return f(BiffKind<BiffName> {});
    case DateMode:
        // The date system is read from the globals only.
        if (where == BiffSubstream::Globals)
            return f(BiffKind<BiffDateMode> {});
        return f(BiffKind<BiffRecord> {});
    case Continue:
        return f(BiffKind<BiffContinue> {});
    case BoundSheet:
        return f(BiffKind<BiffBoundSheet> {});
    case MulRk:
        return f(BiffKind<BiffMulRK> {});
    case MulBlank:
        return f(BiffKind<BiffMulBlank> {});
    case Xf:
        return f(BiffKind<BiffXF> {});
    case Sst:
        return f(BiffKind<BiffSST> {});
    case LabelSst:
        return f(BiffKind<BiffLabelSST> {});
    case Blank:
        return f(BiffKind<BiffBlank> {});
    case Number:
        return f(BiffKind<BiffNumber> {});
    case BoolErr:
        return f(BiffKind<BiffBoolErr> {});
    case String:
        return f(BiffKind<BiffString> {});
    case Bof:
    case Bof3:
        return f(BiffKind<BiffBOF> {});
    case Rk:
        return f(BiffKind<BiffRK> {});
    case Format:
        return f(BiffKind<BiffFormat> {});
    case ShrFmla:
        return f(BiffKind<BiffShrFmla> {});
    case Label:
    case RString:
        return f(BiffKind<BiffLabel> {});
    default:
        return f(BiffKind<BiffRecord> {});
    }
}

// Calls visitor with the record as the kind it was made as (read in that
// substream). An overload set with a BiffRecord & fallback takes the kinds
// it names and passes over the rest.
template <class Record, class Visitor> decltype(auto) visitRecord(BiffSubstream where, Record &record, Visitor &&visitor)
{
    static_assert(std::is_same_v<std::remove_const_t<Record>, BiffRecord>);
    return withBiffKind(where, record.id(), [&](auto kind) -> decltype(auto) {
        using T = std::conditional_t<std::is_const_v<Record>, const typename decltype(kind)::Type, typename decltype(kind)::Type>;
        return visitor(static_cast<T &>(record));
    });
}

// Calls visitor with a worksheet's cell as its own kind; a cell id without
// a kind of its own (none is made so) comes as the BiffCell itself.
template <class Cell, class Visitor> decltype(auto) visitCell(Cell &cell, Visitor &&visitor)
{
    static_assert(std::is_same_v<std::remove_const_t<Cell>, BiffCell>);
    return withBiffKind(BiffSubstream::WorkSheet, cell.id(), [&](auto kind) -> decltype(auto) {
        using Kind = typename decltype(kind)::Type;
        if constexpr (std::is_base_of_v<BiffCell, Kind>) {
            using T = std::conditional_t<std::is_const_v<Cell>, const Kind, Kind>;
            return visitor(static_cast<T &>(cell));
        } else {
            return visitor(cell);
        }
    });
}

// Whether a cell kind declares an accessor itself rather than inheriting
// BiffCell's, which dispatches by kind and would call itself again.
template <auto Accessor, auto BaseAccessor> constexpr bool declaresOwn = !std::is_same_v<decltype(Accessor), decltype(BaseAccessor)>;

// An overload set of lambdas, as one visitor.
template <class... F> struct BiffVisitor : F...
{
    using F::operator()...;
};
template <class... F> BiffVisitor(F...) -> BiffVisitor<F...>;
