#include "import/sources/workbook/BiffCell.h"

#include "core/Formatting.h"
#include "import/sources/workbook/BiffKind.h"
#include "import/sources/workbook/ChainCursor.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/XlsWorkbook.h"

#include <QtEndian>

#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// The general format of floatToStr, without its cost for the common cases:
// whole numbers, and numbers that need no exponent (the same 15 significant
// digits, trailing zeros dropped).
QString numberText(double value)
{
    if (!std::isfinite(value))
        return floatToStr(value);
    char buffer[48];
    std::to_chars_result result;
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        result = std::to_chars(buffer, buffer + sizeof buffer, qint64(value));
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    const auto length = qsizetype(result.ptr - buffer);
    if (result.ec != std::errc() || std::memchr(buffer, 'e', std::size_t(length)))
        return floatToStr(value);
    const QChar separator = FormatSettings::current().decimalSeparator;
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = buffer[i] == '.' ? separator : QChar(QLatin1Char(buffer[i]));
    return text;
}

template <class T> using KindOf = std::remove_cvref_t<T>;

} // namespace

XlsWorkSheet *BiffCell::workSheet() const
{
    return static_cast<XlsWorkSheet *>(section());
}

void BiffCell::cannotAccess(const char *typeWord) const
{
    throw ImportError(messageText(ImportMsg::XlsCannotAccessCell, { name(), QString::fromLatin1(typeWord) }));
}

// Each accessor below calls the kind's own; a kind without one (declaresOwn)
// gets BiffCell's answer or its refusal.
XlsCellKind BiffCell::kind() const
{
    return visitCell(*this, [](const auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::kind, &BiffCell::kind>)
            return cell.kind();
        else
            return XlsCellKind::Other;
    });
}

BiffFormula *BiffCell::asFormula()
{
    return visitCell(*this, BiffVisitor { [](BiffFormula &formula) { return &formula; }, [](BiffCell &) -> BiffFormula * { return nullptr; } });
}

const BiffFormula *BiffCell::asFormula() const
{
    return const_cast<BiffCell *>(this)->asFormula();
}

QString BiffCell::kindName() const
{
    if (isFormula())
        return QStringLiteral("formula");
    switch (kind()) {
    case XlsCellKind::String:
        return QStringLiteral("string");
    case XlsCellKind::Boolean:
        return QStringLiteral("boolean");
    case XlsCellKind::Number:
        return QStringLiteral("number");
    case XlsCellKind::DateTime:
        return QStringLiteral("datetime");
    default:
        return QStringLiteral("other");
    }
}

QString BiffCell::text() const
{
    return visitCell(*this, [](const auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::text, &BiffCell::text>)
            return cell.text();
        else
            return QString();
    });
}

void BiffCell::setText(const QString &)
{
    cannotAccess("String");
}

bool BiffCell::boolean() const
{
    return visitCell(*this, [this](const auto &cell) -> bool {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::boolean, &BiffCell::boolean>)
            return cell.boolean();
        else
            cannotAccess("Boolean");
    });
}

void BiffCell::setBoolean(bool value)
{
    visitCell(*this, [this, value](auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::setBoolean, &BiffCell::setBoolean>)
            cell.setBoolean(value);
        else
            cannotAccess("Boolean");
    });
}

double BiffCell::number() const
{
    return visitCell(*this, [this](const auto &cell) -> double {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::number, &BiffCell::number>)
            return cell.number();
        else
            cannotAccess("Float");
    });
}

void BiffCell::setNumber(double value)
{
    visitCell(*this, [this, value](auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::setNumber, &BiffCell::setNumber>)
            cell.setNumber(value);
        else
            cannotAccess("Float");
    });
}

double BiffCell::dateTime() const
{
    return visitCell(*this, [this](const auto &cell) -> double {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::dateTime, &BiffCell::dateTime>)
            return cell.dateTime();
        else
            cannotAccess("DateTime");
    });
}

void BiffCell::setDateTime(double value)
{
    visitCell(*this, [this, value](auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::setDateTime, &BiffCell::setDateTime>)
            cell.setDateTime(value);
        else
            cannotAccess("DateTime");
    });
}

QVariant BiffCell::variant() const
{
    return visitCell(*this, [](const auto &cell) {
        using T = KindOf<decltype(cell)>;
        if constexpr (declaresOwn<&T::variant, &BiffCell::variant>)
            return cell.variant();
        else
            return QVariant();
    });
}

void BiffCell::setVariant(const QVariant &)
{
    cannotAccess("Variant");
}

bool BiffNumberCell::isDate() const
{
    return workbook()->globals().isDateXf(xfIndex());
}

XlsCellKind BiffNumberCell::kind() const
{
    return isDate() ? XlsCellKind::DateTime : XlsCellKind::Number;
}

QString BiffNumberCell::text() const
{
    const double value = number();
    if (isDate())
        return workbook()->dateTimeText(value);
    return numberText(value);
}

double BiffNumberCell::dateTime() const
{
    const double value = number();
    return workbook()->globals().dates1904() ? value + 1462.0 : value;
}

double BiffNumber::number() const
{
    return Xls::leDouble(data() + 6);
}

void BiffNumber::setNumber(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, mutableData() + 6);
}

QString BiffBoolErr::text() const
{
    if (isError())
        return Xls::errorText(value());
    return value() ? QStringLiteral("true") : QStringLiteral("false");
}

bool BiffBoolErr::boolean() const
{
    return !isError() && value() != 0;
}

void BiffBoolErr::setBoolean(bool on)
{
    quint8 *d = mutableData();
    d[6] = on ? 1 : 0;
    d[7] = 0;
}

QVariant BiffBoolErr::variant() const
{
    if (isError())
        return Xls::errorText(value());
    return value() != 0;
}

BiffLabelSST::BiffLabelSST(quint16 id, quint16 size, quint8 dataOffset)
    : BiffCell(id, size, dataOffset)
{
    // The table is read before any worksheet; an index beyond it is a
    // damaged file.
    BiffSSTList &sst = workbook()->globals().sst();
    if (sstIndex() >= quint32(sst.count()))
        WorkbookError::fileInvalid();
    ++sst.entry(int(sstIndex())).refCount;
}

const XlsSSTEntry &BiffLabelSST::entry() const
{
    return workbook()->globals().sst().entry(int(sstIndex()));
}

QString BiffLabelSST::text() const
{
    return workbook()->globals().sst().text(int(sstIndex()));
}

void BiffLabel::afterRead()
{
    m_text = readXlsString(*this, 6, false);
}

BiffFormula::BiffFormula(quint16 id, quint16 size, quint8 dataOffset)
    : BiffCell(id, size, dataOffset)
{
    if (fixedWord(12) == 0xFFFF) {
        switch (fixedByte(6)) {
        case 0:
            m_result = QString();
            break; // the STRING record that follows gives it
        case 1:
            m_result = fixedByte(8) == 1;
            break;
        default:
            break; // error or empty: no result
        }
    } else {
        m_result = Xls::leDouble(data() + 6);
    }
}

QString BiffFormula::text() const
{
    switch (m_result.typeId()) {
    case QMetaType::Double:
        return floatToStr(m_result.toDouble());
    case QMetaType::QString:
        return m_result.toString();
    case QMetaType::Bool:
        return m_result.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString();
    }
}

QByteArray BiffFormula::tokens() const
{
    if (!m_tokens.isEmpty())
        return m_tokens;
    if (dataSize() < 22)
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(data()) + 20, dataSize() - 20);
}

bool BiffFormula::refersToSharedFormula() const
{
    return dataSize() == 27 && wordAt(20) == 5 && byteAt(22) == 0x01;
}

quint32 BiffFormula::sharedFormulaKey() const
{
    return quint32(wordAt(23)) + quint32(wordAt(25)) * 65536u;
}

int BiffMultiple::count() const
{
    return (dataSize() - MinSize) / entrySize();
}

bool BiffMultiple::next()
{
    if (m_current + 1 >= count())
        return false;
    ++m_current;
    return true;
}
