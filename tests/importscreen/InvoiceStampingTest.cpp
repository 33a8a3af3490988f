#include "invoices/InvoiceStamping.h"

#include "core/Error.h"
#include "data/DataSet.h"
#include "import/engine/ImportTableViews.h"
#include "tests/importscreen/ImportScreenSupport.h"

#include <gtest/gtest.h>

namespace {

const QString Stamped
    = QStringLiteral("select NUMEROFACTURE, IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE from FACTURE order by NUMEROFACTURE");

// What the engine does for a row: add it with whatever key the source gives,
// then post it.
void importRow(DataSet &view, const QString &company, int year, int quarter, int number, const QString &invoice, const QString &date)
{
    view.insert();
    view.fieldByName(QStringLiteral("IDENTIFIANT"))->setValue(company);
    view.fieldByName(QStringLiteral("EXERCICE"))->setValue(year);
    view.fieldByName(QStringLiteral("TRIMESTRE"))->setValue(quarter);
    view.fieldByName(QStringLiteral("NUMEROORDRE"))->setValue(number);
    view.fieldByName(QStringLiteral("NUMEROFACTURE"))->setValue(invoice);
    if (!date.isEmpty())
        view.fieldByName(QStringLiteral("DATEFACTURE"))->setAsString(date);
    view.post();
}

class InvoiceStampingTest : public ::testing::Test
{
protected:
    TestDatabase db;
    DataSet view { db.connection(), QStringLiteral("IBTable1") };

    void SetUp() override
    {
        insertInvoice(db, CompanyA, 2026, 1, 1, QStringLiteral("A1"));
        insertInvoice(db, CompanyA, 2026, 1, 2, QStringLiteral("A2"));
        insertInvoice(db, CompanyB, 2026, 1, 7, QStringLiteral("B7"));
        db.connection().commitRetaining();
        setupInvoiceTableView(view);
        view.open();
    }

    // A trigger that refuses FACTURE rows on `event` ("insert", "update")
    // when `condition` holds, committed before the data set reopens.
    void refuseRows(const char *event, const char *condition)
    {
        db.exec(QStringLiteral("create exception REFUSED 'refused by the test'"));
        db.connection().commit();
        db.exec(QStringLiteral("create trigger REFUSE for FACTURE before %1 as begin if (%2) then exception REFUSED; end")
                    .arg(QLatin1String(event), QLatin1String(condition)));
        db.connection().commit();
    }
};

} // namespace

// The source may bring any key, even the key of a stored invoice or of
// another imported row: every imported row is added, nothing else moves, and
// the rows take the numbers after the company's highest, in the order they
// came, with the quarter of their invoice date (December's without one).
TEST_F(InvoiceStampingTest, ImportedRowsAreNumberedAfterTheHighestInTheirOrder)
{
    InvoiceStamping stamping(db.connection(), CompanyA, Year);
    stamping.begin(view);
    importRow(view, CompanyA, 2026, 1, 1, QStringLiteral("R1"), QStringLiteral("15/04/2026"));
    importRow(view, CompanyA, 2026, 1, 1, QStringLiteral("R2"), QStringLiteral("15/03/2026"));
    importRow(view, QStringLiteral("IMPORT"), 0, 0, 1, QStringLiteral("R3"), QStringLiteral("01/09/2026"));
    importRow(view, QStringLiteral("IMPORT"), 0, 0, 2, QStringLiteral("R4"), QString());
    // Nothing of the import is visible elsewhere before its stamping.
    EXPECT_EQ(committedRows(db, QStringLiteral("select count(*) from FACTURE")).value(0).value(0), QStringLiteral("3"));
    EXPECT_EQ(stamping.finish(), 4);
    EXPECT_FALSE(stamping.running());

    EXPECT_EQ(committedRows(db, Stamped),
        (QList<QStringList> {
            { "A1", CompanyA, "2026", "1", "1" },
            { "A2", CompanyA, "2026", "1", "2" },
            { "B7", CompanyB, "2026", "1", "7" },
            { "R1", CompanyA, "2026", "2", "3" },
            { "R2", CompanyA, "2026", "1", "4" },
            { "R3", CompanyA, "2026", "3", "5" },
            { "R4", CompanyA, "2026", "4", "6" },
        }));
}

// A row the import found and changed stays under its key, and a row whose
// post failed leaves no gap in the numbers.
TEST_F(InvoiceStampingTest, ChangedRowsKeepTheirKeyAndFailedRowsLeaveNoGap)
{
    refuseRows("insert", "new.NUMEROFACTURE = 'BAD'");
    view.open();
    InvoiceStamping stamping(db.connection(), CompanyA, Year);
    stamping.begin(view);
    ASSERT_TRUE(view.locate(QStringLiteral("NUMEROFACTURE"), QStringLiteral("A2")));
    view.edit();
    view.fieldByName(QStringLiteral("NUMEROORDRE"))->setValue(99);
    view.fieldByName(QStringLiteral("NUMEROFACTURE"))->setValue(QStringLiteral("A2-BIS"));
    view.post();
    importRow(view, QStringLiteral("IMPORT"), 0, 0, 1, QStringLiteral("R1"), QStringLiteral("02/05/2026"));
    EXPECT_THROW(importRow(view, QStringLiteral("IMPORT"), 0, 0, 2, QStringLiteral("BAD"), QString()), Error);
    view.cancel();
    importRow(view, QStringLiteral("IMPORT"), 0, 0, 3, QStringLiteral("R2"), QStringLiteral("02/05/2026"));
    EXPECT_EQ(stamping.finish(), 2);

    EXPECT_EQ(committedRows(db, Stamped),
        (QList<QStringList> {
            { "A1", CompanyA, "2026", "1", "1" },
            { "A2-BIS", CompanyA, "2026", "1", "2" },
            { "B7", CompanyB, "2026", "1", "7" },
            { "R1", CompanyA, "2026", "2", "3" },
            { "R2", CompanyA, "2026", "2", "4" },
        }));
}

// Either the import and its stamping are kept together, or none of the
// import is: a stamping that fails, an import given up, an object that goes
// away unfinished (a failure between Begin and Finish) leave the table as it
// was, in this transaction as for every other program.
TEST_F(InvoiceStampingTest, AFailedOrAbandonedImportLeavesNothing)
{
    refuseRows("update", "new.NUMEROORDRE = 4");
    view.open();
    const QList<QStringList> before = committedRows(db, Stamped);
    const QString count = QStringLiteral("select count(*) from FACTURE");
    const QVariant rows = db.scalar(count);

    enum Ending { FailingStamp, Abandon, Destroy };
    for (Ending ending : { FailingStamp, Abandon, Destroy }) {
        SCOPED_TRACE(int(ending));
        {
            InvoiceStamping stamping(db.connection(), CompanyA, Year);
            stamping.begin(view);
            for (int i = 1; i <= 3; ++i)
                importRow(view, QStringLiteral("IMPORT"), 0, 0, i, QStringLiteral("R%1").arg(i), QStringLiteral("02/05/2026"));
            // The import's own commits wait for the stamping.
            if (ending == FailingStamp) {
                try {
                    stamping.finish();
                    ADD_FAILURE() << "stamped";
                } catch (const Error &e) {
                    EXPECT_TRUE(e.text().contains(QStringLiteral("refused by the test"))) << e.text().toStdString();
                }
            } else if (ending == Abandon) {
                stamping.abandon();
            }
        }
        EXPECT_EQ(db.scalar(count), rows);
        db.connection().commitRetaining();
        EXPECT_EQ(committedRows(db, Stamped), before);
        view.close();
        view.open();
    }
}

TEST(InvoiceStampingYear, AYearThatIsNotANumberRefusesTheImportBeforeItStarts)
{
    TestDatabase db;
    try {
        InvoiceStamping stamping(db.connection(), CompanyA, QString());
        ADD_FAILURE() << "accepted";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'' is not a valid integer value"));
    }
}
