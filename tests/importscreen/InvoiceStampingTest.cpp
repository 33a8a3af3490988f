#include "import/InvoiceStamping.h"

#include "core/Error.h"
#include "tests/importscreen/ImportScreenSupport.h"

#include <gtest/gtest.h>

namespace {

const QString Stamped
    = QStringLiteral("select NUMEROFACTURE, IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROFACTURE");

} // namespace

// The source may bring keys that are the final keys of other imported rows,
// and keys of the company's own year: every imported row still gets its
// number, in the key order the table view shows them.
TEST(InvoiceStamping, RowsHoldingEachOthersFinalKeysAreRenumberedAll)
{
    TestDatabase db;
    insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("A1"));
    insertInvoice(db, CompanyA, 2026, 1, 2, QStringLiteral("A2"));
    db.connection().commitRetaining();
    TInvoiceStamping stamping(db.connection(), CompanyA, Year);
    EXPECT_EQ(stamping.HighestNumber(), 2);

    // In key order: R2 (quarter 1) comes first and its final key, April's
    // quarter 2 and number 3, is the key R1 holds.
    insertInvoice(db, CompanyA, 2026, 2, 3, QStringLiteral("R1"), QStringLiteral("2026-03-15"));
    insertInvoice(db, CompanyA, 2026, 1, 3, QStringLiteral("R2"), QStringLiteral("2026-04-15"));
    // Already where it ends: number 5 of the September quarter.
    insertInvoice(db, CompanyA, 2026, 3, 5, QStringLiteral("R3"), QStringLiteral("2026-09-01"));
    insertInvoice(db, QStringLiteral("X"), 0, 0, -1, QStringLiteral("R4"), QStringLiteral("2026-12-31"));
    EXPECT_EQ(stamping.Stamp(), 4);
    db.connection().commitRetaining();

    EXPECT_EQ(committedRows(db, Stamped),
        (QList<QStringList> {
            { "A1", CompanyA, "2026", "1", "1" },
            { "A2", CompanyA, "2026", "1", "2" },
            { "R1", CompanyA, "2026", "1", "4" },
            { "R2", CompanyA, "2026", "2", "3" },
            { "R3", CompanyA, "2026", "3", "5" },
            { "R4", CompanyA, "2026", "4", "6" },
        }));
}

// Either every imported row is stamped or none; the rows stay as imported.
TEST(InvoiceStamping, AFailureStampsNothing)
{
    struct Case
    {
        const char *name;
        QString year;
        QString refusal; // a trigger that refuses one renumbering
        QString message;
    };
    const QList<Case> cases = {
        { "no year", QString(), QString(), QStringLiteral("'' is not a valid integer value") },
        { "second row refused", Year,
            QStringLiteral("create trigger REFUSE for FACTURE before update as begin if (new.NUMEROORDRE = 2) then exception "
                           "REFUSED; end"),
            QStringLiteral("refused by the test") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase db;
        if (!c.refusal.isEmpty()) {
            db.exec(QStringLiteral("create exception REFUSED 'refused by the test'"));
            db.connection().commit();
            db.exec(c.refusal);
            db.connection().commit();
        }
        TInvoiceStamping stamping(db.connection(), CompanyA, c.year);
        for (int i = 1; i <= 3; ++i)
            insertInvoice(db, QStringLiteral("IMPORT"), 0, 0, i, QStringLiteral("R%1").arg(i), QStringLiteral("2026-05-02"));
        db.connection().commitRetaining();
        const QList<QStringList> imported = committedRows(db, Stamped);
        try {
            stamping.Stamp();
            ADD_FAILURE() << "stamped";
        } catch (const Error &e) {
            EXPECT_TRUE(e.text().contains(c.message)) << e.text().toStdString();
        }
        // What the transaction holds now is what a later commit would keep.
        db.connection().commitRetaining();
        EXPECT_EQ(committedRows(db, Stamped), imported);
    }
}
