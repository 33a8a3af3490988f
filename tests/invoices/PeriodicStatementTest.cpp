#include "invoices/windows/PeriodicStatement.h"

#include "data/DataModule.h"
#include "invoices/windows/InvoiceList.h"
#include "invoices/windows/PeriodDialog.h"
#include "tests/report/PdfText.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/DateEdit.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Statement
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    DataModule module;
    QTemporaryDir dir;
    std::unique_ptr<InvoiceList> list;

    explicit Statement(int invoices = 0)
    {
        MessageBox::resetRecord();
        // Numbered in the reverse of their dates; two on the period's bounds.
        const char *rows[] = {
            "'0123456AM000', 2008, 1, 1, 'F-BORNE-FIN', '2008-03-31', 'CLIENT AU DERNIER JOUR', 1000, 1, 10, 18, 181.8, 0, 0",
            "'0123456AM000', 2008, 1, 2, 'F-MILIEU', '2008-02-15', 'CLIENT AU MILIEU', 250.5, 0, 0, 7, 17.535, 12.5, 31.3125",
            "'0123456AM000', 2008, 1, 3, 'F-BORNE-DEBUT', '2008-01-01', 'CLIENT AU PREMIER JOUR', 1234567.891, 1, 12345.67891, 19, "
            "236913.4642, 0, 0",
            "'0123456AM000', 2008, 2, 4, 'F-HORS', '2008-04-01', 'CLIENT HORS PERIODE', 1, 0, 0, 0, 0, 0, 0",
            "'7654321BPM000', 2008, 1, 1, 'F-AUTRE', '2008-02-01', 'AUTRE SOCIETE', 1, 0, 0, 0, 0, 0, 0",
        };
        for (const char *values : rows)
            db.exec(QStringLiteral(
                "insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, NOMPRENOMCLIENT, "
                "PRIXVENTE, TAUXFODEC, MONTANTFODEC, TAUXTVA, MONTANTTVA, TAUXDROITCONSOMMATION, MONTANTDROITCONSOMMATION) values (%1)")
                        .arg(QString::fromLatin1(values)));
        for (int i = 0; i < invoices; ++i)
            db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                                   "NOMPRENOMCLIENT, PRIXVENTE, "
                                   "MONTANTTVA) values ('0123456AM000', 2008, 1, %1, 'N%1', '2008-02-20', 'CLIENT NUMERO %1', 100, 19)")
                        .arg(100 + i));
        db.connection().commitRetaining();
        module.connection->setDatabaseName(db.path());
        list = std::make_unique<InvoiceList>(module.invoices, module.clients, QStringLiteral("0123456AM000"), QStringLiteral("2008"));
    }

    // The statement's text as pdftotext reads it, pages ended by form feeds;
    // empty when none was made.
    QString print(const QString &du, const QString &au, int *pages = nullptr)
    {
        const QString pdf = dir.filePath(QStringLiteral("etat.pdf"));
        QFile::remove(pdf);
        int count = 0;
        if (!list->printStatement(du, au, [&](PeriodicStatement &s) { count = s.report.exportPdf(pdf); }))
            return QString();
        if (pages)
            *pages = count;
        QString text;
        for (const QString &page : pdfPageTexts(pdf))
            text += page + QLatin1Char('\f');
        return text;
    }
    QString pdfPath() const { return dir.filePath(QStringLiteral("etat.pdf")); }
};

} // namespace

TEST(PeriodicStatement, InvoicesOfThePeriodInOrderWithTheirTotals)
{
    Statement s;
    const QString text = s.print(QStringLiteral("01/01/2008"), QStringLiteral("31/03/2008"));
    ASSERT_FALSE(text.isEmpty()) << MessageBox::lastText().toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Etat Périodique des Kestra")));
    EXPECT_TRUE(text.contains(QStringLiteral("01/01/2008")));
    EXPECT_TRUE(text.contains(QStringLiteral("31/03/2008")));
    for (const char *caption : { "Date/N°Fre", "Montant Facture", "%Fodec/Montant", "%TVA/Montant" })
        EXPECT_TRUE(text.contains(QString::fromUtf8(caption))) << caption;
    // Both bounds included, in order-number order whatever the dates.
    const qsizetype first = text.indexOf(QStringLiteral("F-BORNE-FIN"));
    const qsizetype second = text.indexOf(QStringLiteral("F-MILIEU"));
    const qsizetype third = text.indexOf(QStringLiteral("F-BORNE-DEBUT"));
    ASSERT_GE(first, 0);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_FALSE(text.contains(QStringLiteral("F-HORS")));
    EXPECT_FALSE(text.contains(QStringLiteral("F-AUTRE")));
    // Amounts with the mask, rates as plain numbers, the four totals once.
    EXPECT_TRUE(text.contains(QStringLiteral("1 234 567,891")));
    EXPECT_TRUE(text.contains(QStringLiteral("12,5")));
    EXPECT_EQ(text.count(QStringLiteral("Totaux")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("1 235 818,391"))); // 1000 + 250.5 + 1234567.891
    EXPECT_TRUE(text.contains(QStringLiteral("237 112,799"))); // 181.8 + 17.535 + 236913.4642
    EXPECT_TRUE(text.contains(QStringLiteral("31,313")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page: 1")));
}

TEST(PeriodicStatement, PrintsWithTheFontItsLayoutWasDrawnFor)
{
    Statement s;
    ASSERT_FALSE(s.print(QStringLiteral("01/01/2008"), QStringLiteral("31/03/2008")).isEmpty());
    const QStringList fonts = pdfFontNames(s.pdfPath());
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString &font : fonts)
        EXPECT_TRUE(font.startsWith(QStringLiteral("LiberationSans"))) << font.toStdString();
}

TEST(PeriodicStatement, AnEmptyPeriodStillPrintsItsFrame)
{
    Statement s;
    const QString text = s.print(QStringLiteral("31/03/2008"), QStringLiteral("01/01/2008"));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("Date/N°Fre")));
    EXPECT_FALSE(text.contains(QStringLiteral("F-MILIEU")));
    EXPECT_TRUE(text.contains(QStringLiteral("Totaux")));
    EXPECT_EQ(text.count(QStringLiteral("0,000")), 4);
    EXPECT_TRUE(text.contains(QStringLiteral("Page: 1")));
}

TEST(PeriodicStatement, ManyInvoicesKeepTheirBandsWholeOverPages)
{
    Statement s(60);
    int pages = 0;
    const QString text = s.print(QStringLiteral("01/01/2008"), QStringLiteral("31/03/2008"), &pages);
    EXPECT_GE(pages, 3);
    const QStringList pageTexts = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pageTexts.size(), 3);
    for (int i = 0; i < 60; ++i) {
        // the number and the name of one invoice always on the same page
        const QString number = QStringLiteral("N%1").arg(100 + i);
        const QString name = QStringLiteral("CLIENT NUMERO %1").arg(100 + i);
        int pagesWithBoth = 0;
        for (const QString &page : pageTexts)
            if (page.contains(number) && page.contains(name))
                ++pagesWithBoth;
        EXPECT_EQ(pagesWithBoth, 1) << number.toStdString();
    }
    for (int p = 0; p < pageTexts.size(); ++p)
        EXPECT_TRUE(pageTexts[p].contains(QStringLiteral("Page: %1").arg(p + 1))) << p;
    EXPECT_EQ(text.count(QStringLiteral("Totaux")), 1);
    EXPECT_TRUE(pageTexts.last().contains(QStringLiteral("Totaux")));
}

TEST(PeriodicStatement, ABadDateShowsItsMessageAndNoStatement)
{
    Statement s;
    EXPECT_TRUE(s.print(QStringLiteral("32/01/2008"), QStringLiteral("31/03/2008")).isEmpty());
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("'32/01/2008' is not a valid date"));
}

TEST(PeriodDialog, TodayByDefaultAndCancelShowsNothing)
{
    PeriodDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Selection Période"));
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(dialog.fromDateEdit->text(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        EXPECT_EQ(dialog.toDateEdit->text(), dialog.fromDateEdit->text());
        dialog.cancelButton->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()); // fixed size
}

// The dialog opens on today's dates with "Du:" selected, so that the operator
// types the period straight away, moves on with Tab and confirms with Enter.
TEST(PeriodDialog, TypedDatesReplaceTodayAndEnterConfirms)
{
    PeriodDialog dialog;
    QString du, au;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QWidget *focus = QApplication::focusWidget();
        if (focus != dialog.fromDateEdit->lineEdit()) {
            ADD_FAILURE() << "the focus is not in Du:";
            dialog.reject();
            return;
        }
        EXPECT_EQ(dialog.fromDateEdit->lineEdit()->selectedText(), dialog.fromDateEdit->text());
        QTest::keyClicks(focus, QStringLiteral("01/01/2008"));
        QTest::keyClick(focus, Qt::Key_Tab);
        QWidget *next = QApplication::focusWidget();
        EXPECT_EQ(next, dialog.toDateEdit->lineEdit());
        QTest::keyClicks(next, QStringLiteral("31/03/2008"));
        du = dialog.fromDateEdit->text();
        au = dialog.toDateEdit->text();
        QTest::keyClick(next, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(du, QStringLiteral("01/01/2008"));
    EXPECT_EQ(au, QStringLiteral("31/03/2008"));
}
