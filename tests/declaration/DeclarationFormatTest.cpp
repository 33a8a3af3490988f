#include "declaration/DeclarationFormat.h"

#include "core/DateTime.h"

#include <gtest/gtest.h>

using namespace DeclarationFormat;

namespace {
const Prefix P { QStringLiteral("0123456AM000"), QStringLiteral("2008"), QStringLiteral("T1") };

Invoice sample()
{
    Invoice i;
    i.numeroOrdre = 1;
    i.numeroFacture = QStringLiteral("F-1");
    i.dateFacture = QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3, 5) });
    i.typeIdClient = QStringLiteral("1");
    i.identifiantClient = QStringLiteral("1234567ABM000");
    i.nomPrenomClient = QStringLiteral("CLIENT");
    i.adresseClient = QStringLiteral("RUE");
    i.numeroAutorisation = QStringLiteral("A1");
    i.dateAutorisation = QVariant::fromValue(TimeStamp { DateTime::encodeDate(2007, 1, 2) });
    i.prixVente = 1000.0;
    i.tauxFodec = 0.0;
    i.montantFodec = 0.0;
    i.tauxDroitConsommation = 0.0;
    i.montantDroitConsommation = 0.0;
    i.tauxTva = 18.0;
    i.montantTva = 180.0;
    return i;
}
} // namespace

TEST(DeclarationFormat, FieldRenderings)
{
    struct Case
    {
        const char *name;
        QByteArray rendered;
        const char *expected;
    } cases[] = {
        { "amount 1234.567", amount(1234.567), "000000001234567" },
        { "amount -1234.5", amount(-1234.5), "-00000001234500" },
        { "amount -0.5", amount(-0.5), "-00000000000500" },
        { "amount 0.0005", amount(0.0005), "000000000000001" },
        { "amount -0.0005", amount(-0.0005), "-00000000000001" },
        // below half a millime and negative: written as zero, keeping 15 characters
        { "amount -0.0004", amount(-0.0004), "000000000000000" },
        { "amount -0.0", amount(-0.0), "000000000000000" },
        { "amount 2.5 millimes", amount(0.0025), "000000000000003" },
        { "amount -2.5 millimes", amount(-0.0025), "-00000000000003" },
        { "amount wider than its mask", amount(1e13), "10000000000000000" },
        { "rate 18", rate(18.0), "01800" },
        { "rate 12.5", rate(12.5), "01250" },
        { "rate 0.5", rate(0.5), "00050" },
        { "rate null", rate(QVariant()), "00000" },
        { "whole number", wholeNumber(42), "000042" },
        { "whole number 1000000", wholeNumber(1000000), "1000000" },
        { "date", date(QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3, 5) })), "05032008" },
        { "date with time", date(QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3, 5) + 0.75 })), "05032008" },
        { "null date", date(QVariant()), "30121899" },
        { "padded", padded(QStringLiteral(" F-12 "), 20), "F-12                " },
        { "padded control characters", padded(QStringLiteral("\tAB\r\n"), 5), "AB   " },
        { "padded empty", padded(QString(), 20), "                    " },
        { "as stored keeps blanks", asStored(QStringLiteral("AB  "), 4), "AB  " },
        { "one byte a character", asStored(QStringLiteral("é€"), 2), "\xE9\x80" },
        // Stored without its padding (an imported row), or null: filled to its width.
        { "as stored null", asStored(QVariant(), 1), " " },
        { "as stored short", asStored(QStringLiteral("09876543"), 13), "09876543     " },
        { "as stored leading blank kept", asStored(QStringLiteral(" AB"), 4), " AB " },
        { "as stored never cut", asStored(QStringLiteral("ABCDE"), 4), "ABCDE" },
        { "matricule parts at their widths", matricule(QStringLiteral("12345"), QStringLiteral("A"), QStringLiteral("M"), QStringLiteral("0")).toLatin1(),
            "12345  AM0  " },
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.rendered.toStdString(), std::string(c.expected)) << c.name;
}

TEST(DeclarationFormat, Records)
{
    // 1000 at 18 %, no FODEC nor duty.
    Totals totals;
    QByteArray r = detail(P, sample(), totals);
    ASSERT_EQ(r.size(), 331);
    EXPECT_EQ(r.mid(256),
        QByteArray("000000001000000"
                   "00000"
                   "000000000000000"
                   "00000"
                   "000000000000000"
                   "01800"
                   "000000000180000"));
    EXPECT_EQ(r.left(20), QByteArray("DF0123456AM0002008T1"));
    EXPECT_EQ(r.mid(46, 8), QByteArray("05032008"));
    EXPECT_EQ(totals.count, 1);

    // A negative amount keeps the record at 331 characters.
    Invoice credit = sample();
    credit.prixVente = -0.5;
    EXPECT_EQ(detail(P, credit, totals).size(), 331);

    // Null dates and amounts.
    Invoice empty;
    empty.numeroOrdre = 7;
    empty.typeIdClient = QStringLiteral("1");
    empty.identifiantClient = QStringLiteral("1234567ABM000");
    r = detail(P, empty, totals);
    EXPECT_EQ(r.size(), 331);
    EXPECT_EQ(r.mid(46, 8), QByteArray("30121899"));
    EXPECT_EQ(r.mid(248, 8), QByteArray("30121899"));

    // Fields copied as stored keep their width whatever was stored: an
    // identifier without its padding, a null kind. A wide order number moves
    // what follows.
    Invoice shortId = sample();
    shortId.identifiantClient = QStringLiteral("09876543");
    shortId.typeIdClient = QVariant();
    r = detail(P, shortId, totals);
    EXPECT_EQ(r.size(), 331);
    EXPECT_EQ(r.mid(54, 14), QByteArray(" 09876543     "));
    EXPECT_EQ(r.mid(68, 6), QByteArray("CLIENT"));
    Invoice big = sample();
    big.numeroOrdre = 1000000;
    r = detail(P, big, totals);
    EXPECT_EQ(r.size(), 332);
    EXPECT_EQ(r.mid(20, 7), QByteArray("1000000"));
}

TEST(DeclarationFormat, EmptyQuarterAndTotals)
{
    Totals none;
    const QByteArray tf = totalsRecord(P, none);
    EXPECT_EQ(tf,
        QByteArray("TF0123456AM0002008T1") + QByteArray("000000") + QByteArray(230, ' ')
            + QByteArray("000000000000000"
                         "00000"
                         "000000000000000"
                         "00000"
                         "000000000000000"
                         "00000"
                         "000000000000000"));
    EXPECT_EQ(tf.size(), 331);

    const QByteArray ef = header(P,
        Company { QStringLiteral("A").leftJustified(40), QStringLiteral("B").leftJustified(40), QStringLiteral("C").leftJustified(40),
            QStringLiteral("D").leftJustified(72), QStringLiteral("12  "), QStringLiteral("1000") });
    EXPECT_EQ(ef.size(), 331);
    EXPECT_EQ(ef.mid(100, 1), QByteArray("C")); // city first, then street, number, postal code
    EXPECT_EQ(ef.mid(212, 8), QByteArray("12  1000"));

    // Sums run in double precision and are rounded once, at the end.
    Totals t;
    Invoice tiny = sample();
    tiny.montantTva = 0.0004;
    for (int i = 0; i < 3; ++i)
        detail(P, tiny, t);
    EXPECT_EQ(totalsRecord(P, t).right(15), QByteArray("000000000000001"));
    EXPECT_EQ(t.writtenTva, 0); // while each record writes none
    EXPECT_EQ(t.writtenPrixVente, 3000000);
    Invoice refund = sample();
    refund.montantTva = -500.25;
    Totals negative;
    detail(P, refund, negative);
    const QByteArray r = totalsRecord(P, negative);
    EXPECT_EQ(r.size(), 331);
    EXPECT_EQ(r.mid(316), QByteArray("-00000000500250"));
    EXPECT_EQ(negative.writtenTva, -500250);
}

// Company texts typed through the form are stored padded; imported or older
// rows are not. Either way each field keeps its place.
TEST(DeclarationFormat, TextsStoredWithoutTheirPaddingKeepTheirPlace)
{
    const Prefix shortIdentifier { matricule(QStringLiteral("12345"), QStringLiteral("A"), QStringLiteral("M"), QStringLiteral("000")),
        QStringLiteral("2008"), QStringLiteral("T1") };
    const QByteArray ef = header(shortIdentifier,
        Company { QStringLiteral("SOCIETE"), QStringLiteral("COMMERCE"), QStringLiteral("TUNIS"), QStringLiteral("RUE DE ROME"),
            QStringLiteral("12"), QString() });
    ASSERT_EQ(ef.size(), 331);
    struct Field
    {
        int position;
        int width;
        QByteArray expected;
    } fields[] = {
        { 1, 20, "EF12345  AM0002008T1" },
        { 21, 40, QByteArray("SOCIETE").leftJustified(40) },
        { 61, 40, QByteArray("COMMERCE").leftJustified(40) },
        { 101, 40, QByteArray("TUNIS").leftJustified(40) },
        { 141, 72, QByteArray("RUE DE ROME").leftJustified(72) },
        { 213, 4, "12  " },
        { 217, 4, "    " },
    };
    for (const Field &f : fields)
        EXPECT_EQ(ef.mid(f.position - 1, f.width), f.expected) << "position " << f.position;
    EXPECT_EQ(totalsRecord(shortIdentifier, Totals()).size(), 331);
}

