#pragma once

#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/Xls.h"
#include "import/sources/workbook/XlsRecordId.h"

#include <QString>
#include <QVariant>

class BiffFormula;
class XlsWorkSheet;
struct XlsSSTEntry;

// What a cell holds, as the import and the wizard tell cells apart.
enum class XlsCellKind { String = 0, Boolean = 1, Number = 2, DateTime = 3, Other = 4 };

// A cell of a worksheet. The accessors a kind does not support raise
// "Cannot access cell '%s' as type %s". Each accessor calls the kind's own
// through visitCell (BiffKind.h); within a worksheet every cell id is made
// as its kind (see XlsRecordStream and WorkbookBuilder).
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
    // The cell as a formula; nullptr for a cell of any other kind.
    BiffFormula *asFormula();
    const BiffFormula *asFormula() const;
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
