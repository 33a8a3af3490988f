#include "declaration/DeclarationFormat.h"

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Decimal.h"
#include "core/Text.h"

#include <string>

// Records are built byte by byte into one buffer: a quarter of a hundred
// thousand invoices is formed as fast as the rows are read. Every field has
// its width, also a text stored without its padding (an imported row) or
// null: a reader of fixed positions takes each field where it belongs.
namespace DeclarationFormat {

namespace {

// Widths of the detail record's masked texts and of its dates.
constexpr int InvoiceNumberWidth = 20;
constexpr int ClientNameWidth = 40;
constexpr int ClientAddressWidth = 120;
constexpr int AuthorisationNumberWidth = 20;
constexpr int DateWidth = 8;
constexpr int ClientTypeWidth = 1;
constexpr int ClientIdWidth = 13;

// The company's texts in the header, as the company form pads them.
constexpr int CompanyNameWidth = 40;
constexpr int ActivityWidth = 40;
constexpr int TownWidth = 40;
constexpr int StreetWidth = 72;
constexpr int NumberWidth = 4;
constexpr int PostalCodeWidth = 4;
// The prefix: tax identifier in its four parts, year, quarter.
constexpr int IdentifierWidth = 7;
constexpr int KeyWidth = 1;
constexpr int CategoryWidth = 1;
constexpr int EstablishmentWidth = 3;
constexpr int MatriculeWidth = IdentifierWidth + KeyWidth + CategoryWidth + EstablishmentWidth;
constexpr int YearWidth = 4;
constexpr int QuarterWidth = 2;

// Every record has this width when its texts have their full width.
constexpr int RecordWidth = 331;
constexpr int PrefixWidth = 20;
// The header's company texts, as the company form masks them: name,
// activity, town (40 each), street (72), number and postal code (4 each).
constexpr int HeaderTextsWidth = CompanyNameWidth + ActivityWidth + TownWidth + StreetWidth + NumberWidth + PostalCodeWidth;
// The header closes with blanks up to the record's width.
constexpr int HeaderTrailingBlanks = RecordWidth - PrefixWidth - HeaderTextsWidth;
static_assert(HeaderTrailingBlanks == 111, "the header record has the detail's width");
static_assert(PrefixWidth == 2 + MatriculeWidth + YearWidth + QuarterWidth, "the prefix is code, identifier, year and quarter");
// The totals record leaves blank what the detail holds between its order
// number and its first amount: invoice number, date, client, authorisation.
constexpr int TotalsBlankWidth = InvoiceNumberWidth + DateWidth + ClientTypeWidth + ClientIdWidth + ClientNameWidth + ClientAddressWidth
    + AuthorisationNumberWidth + DateWidth;
static_assert(TotalsBlankWidth == 230, "the totals record keeps the detail's columns in place");

// A record under construction: plain bytes, appended without checks per byte.
class Record
{
public:
    Record() { m_bytes.reserve(400); }
    void byte(char c) { m_bytes.push_back(c); }
    void bytes(const char *s) { m_bytes.append(s); }
    void fill(qsizetype n, char c) { m_bytes.append(static_cast<size_t>(n), c); }
    void text(QStringView s)
    {
        for (const QChar c : s) {
            const char16_t u = c.unicode();
            m_bytes.push_back(u < 0x80 ? static_cast<char>(u) : Cp1252::fromUnicode(c));
        }
    }
    QByteArray take() const { return QByteArray(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())); }

private:
    std::string m_bytes;
};

void appendText(Record &out, const QString &s)
{
    out.text(s);
}

// A text as stored, neither trimmed nor cut, filled with blanks to its
// width: a null one is blanks only.
void appendAsStored(Record &out, const QString &s, int width)
{
    appendText(out, s);
    if (s.size() < width)
        out.fill(width - s.size(), ' ');
}

void appendAsStored(Record &out, const QVariant &v, int width)
{
    appendAsStored(out, v.isValid() ? v.toString() : QString(), width);
}

void appendPadded(Record &out, const QVariant &v, int width)
{
    const QString s = v.isValid() ? v.toString() : QString();
    const QStringView trimmed = trimmedControls(s);
    out.text(trimmed);
    if (trimmed.size() < width)
        out.fill(width - trimmed.size(), ' ');
}

// Digits of a non-negative whole number, zero-filled to at least `digits`.
void appendZeroFilled(Record &out, unsigned long long n, int digits)
{
    char buf[24];
    int len = 0;
    do {
        buf[len++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    if (len < digits)
        out.fill(digits - len, '0');
    while (len)
        out.byte(buf[--len]);
}

// A signed whole number: "-" and one digit fewer when negative, so that a
// negative value takes as many characters as a positive one.
// *whole: the number written, when it fits 64 bits.
void appendSigned(Record &out, long double value, int digits, bool signTakesADigit, long long *whole = nullptr)
{
    long long n = 0;
    if (roundToWhole(value, n)) {
        if (whole)
            *whole = n;
        if (n < 0) {
            out.byte('-');
            appendZeroFilled(out, static_cast<unsigned long long>(-n), signTakesADigit ? digits - 1 : digits);
        } else {
            appendZeroFilled(out, static_cast<unsigned long long>(n), digits);
        }
        return;
    }
    // Beyond 64 bits: written whole, from its decimal digits.
    const DecimalText d = toDecimal(value, 0);
    if (d.negative)
        out.byte('-');
    const int wanted = d.negative && signTakesADigit ? digits - 1 : digits;
    if (d.integerDigits.size() < wanted)
        out.fill(wanted - d.integerDigits.size(), '0');
    appendText(out, d.integerDigits);
}

void appendWhole(Record &out, qint64 v)
{
    appendSigned(out, static_cast<long double>(v), 6, false);
}

void appendDate(Record &out, const QVariant &v)
{
    // A null date is day zero of the date system: 30/12/1899.
    int y, m, d;
    DateTime::decodeDate(number(v), y, m, d);
    appendZeroFilled(out, static_cast<unsigned long long>(d), 2);
    appendZeroFilled(out, static_cast<unsigned long long>(m), 2);
    appendZeroFilled(out, static_cast<unsigned long long>(y), 4);
}

void appendRate(Record &out, const QVariant &v)
{
    appendSigned(out, static_cast<long double>(number(v)) * 100, 5, false);
}

void appendAmount(Record &out, double v)
{
    // Millimes: the product rounded, never the stored value. A negative amount
    // that rounds to zero is written as zero, so the record keeps its layout.
    appendSigned(out, static_cast<long double>(v) * 1000, 15, true);
}

// The same, adding the millimes written to a sum (nothing beyond 64 bits).
void appendAmount(Record &out, double v, qint64 &written)
{
    long long n = 0;
    appendSigned(out, static_cast<long double>(v) * 1000, 15, true, &n);
    written += n;
}

void appendPrefix(Record &out, const char *code, const Prefix &p)
{
    out.bytes(code);
    appendAsStored(out, p.matricule, MatriculeWidth);
    appendAsStored(out, p.exercice, YearWidth);
    appendAsStored(out, p.quarter, QuarterWidth);
}

} // namespace

double number(const QVariant &v)
{
    if (!v.isValid())
        return 0.0;
    // Amounts and rates come as doubles: read them without a conversion.
    if (v.typeId() == QMetaType::Double)
        return *static_cast<const double *>(v.constData());
    if (isTimeStamp(v))
        return v.value<TimeStamp>().value;
    return v.toDouble();
}

QByteArray asStored(const QVariant &value, int width)
{
    Record out;
    appendAsStored(out, value, width);
    return out.take();
}

QString matricule(const QString &identifiant, const QString &cle, const QString &categorie, const QString &etab)
{
    return identifiant.leftJustified(IdentifierWidth) + cle.leftJustified(KeyWidth) + categorie.leftJustified(CategoryWidth)
        + etab.leftJustified(EstablishmentWidth);
}

qint64 millimes(double amount, bool *fits)
{
    long long n = 0;
    const bool ok = roundToWhole(static_cast<long double>(amount) * 1000, n);
    if (fits)
        *fits = ok;
    return ok ? n : 0;
}

QByteArray padded(const QVariant &value, int width)
{
    Record out;
    appendPadded(out, value, width);
    return out.take();
}

QByteArray wholeNumber(qint64 value)
{
    Record out;
    appendWhole(out, value);
    return out.take();
}

QByteArray date(const QVariant &value)
{
    Record out;
    appendDate(out, value);
    return out.take();
}

QByteArray rate(const QVariant &value)
{
    Record out;
    appendRate(out, value);
    return out.take();
}

QByteArray amount(double value)
{
    Record out;
    appendAmount(out, value);
    return out.take();
}

QByteArray prefix(const char *code, const Prefix &p)
{
    Record out;
    appendPrefix(out, code, p);
    return out.take();
}

QByteArray header(const Prefix &p, const Company &c)
{
    Record r;
    appendPrefix(r, "EF", p);
    appendAsStored(r, c.raisonSociale, CompanyNameWidth);
    appendAsStored(r, c.activite, ActivityWidth);
    appendAsStored(r, c.ville, TownWidth);
    appendAsStored(r, c.rue, StreetWidth);
    appendAsStored(r, c.numero, NumberWidth);
    appendAsStored(r, c.codePostal, PostalCodeWidth);
    r.fill(HeaderTrailingBlanks, ' ');
    return r.take();
}

QByteArray detail(const Prefix &p, const Invoice &i, Totals &totals)
{
    Record r;
    appendPrefix(r, "DF", p);
    appendWhole(r, i.numeroOrdre.isValid() ? i.numeroOrdre.toLongLong() : 0);
    appendPadded(r, i.numeroFacture, InvoiceNumberWidth);
    appendDate(r, i.dateFacture);
    appendAsStored(r, i.typeIdClient, ClientTypeWidth);
    appendAsStored(r, i.identifiantClient, ClientIdWidth);
    appendPadded(r, i.nomPrenomClient, ClientNameWidth);
    appendPadded(r, i.adresseClient, ClientAddressWidth);
    appendPadded(r, i.numeroAutorisation, AuthorisationNumberWidth);
    appendDate(r, i.dateAutorisation);
    appendAmount(r, number(i.prixVente), totals.writtenPrixVente);
    appendRate(r, i.tauxFodec);
    appendAmount(r, number(i.montantFodec), totals.writtenFodec);
    appendRate(r, i.tauxDroitConsommation);
    appendAmount(r, number(i.montantDroitConsommation), totals.writtenDroitConsommation);
    appendRate(r, i.tauxTva);
    appendAmount(r, number(i.montantTva), totals.writtenTva);

    ++totals.count;
    totals.prixVente += number(i.prixVente);
    totals.montantFodec += number(i.montantFodec);
    totals.montantDroitConsommation += number(i.montantDroitConsommation);
    totals.montantTva += number(i.montantTva);
    return r.take();
}

QByteArray totalsRecord(const Prefix &p, const Totals &t)
{
    Record r;
    appendPrefix(r, "TF", p);
    appendWhole(r, t.count);
    r.fill(TotalsBlankWidth, ' ');
    appendAmount(r, t.prixVente);
    r.bytes("00000");
    appendAmount(r, t.montantFodec);
    r.bytes("00000");
    appendAmount(r, t.montantDroitConsommation);
    r.bytes("00000");
    appendAmount(r, t.montantTva);
    return r.take();
}

} // namespace DeclarationFormat
