#include "report/Report.h"

#include "core/DateTime.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "report/ReportFont.h"
#include "report/ReportTableSource.h"
#include "tests/report/PdfText.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QPageRanges>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString AmountMask = QStringLiteral("### ##0.000");
const QStringList Columns
    = { QStringLiteral("DATEFACTURE"), QStringLiteral("NUMERO"), QStringLiteral("NOM"), QStringLiteral("MONTANT"), QStringLiteral("TAUX") };

// Column edges of the test statement, millimetres from the left margin.
constexpr double Col1 = 0, Col2 = 30, Col3 = 90, Col4 = 140, TableRight = 165;
constexpr double Margin = 10;

QVariant date(int y, int m, int d)
{
    return QVariant::fromValue(TimeStamp { DateTime::encodeDate(y, m, d) });
}

QVector<QVariant> invoice(const QVariant &date, const QString &number, const QString &name, const QVariant &amount, const QVariant &rate)
{
    return { date, number, name, amount, rate };
}

void addColumnRules(ReportBand &band, double top, double bottom)
{
    for (double x : { Col2, Col3, Col4 })
        band.add(ReportElement::rule(QPointF(x, top), QPointF(x, bottom)));
}

// A statement shaped like the invoice statements the engine serves: a boxed
// column header in the title, a boxed two-line detail with a wrapped name,
// totals, and a footer with the page number and the running total.
void buildStatement(Report &report)
{
    report.setPage(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(Margin, Margin, Margin, Margin));
    report.setDocumentName(QStringLiteral("Contrôle des ventes"));
    const QFont big = reportFont(14);

    ReportBand &title = report.title();
    title.setHeight(30);
    title.add(ReportElement::fixedText(QRectF(0, 0, TableRight, 10), QStringLiteral("Etat de contrôle des ventes"), Qt::AlignHCenter)
                  .withFont(big));
    title.add(ReportElement::fixedText(QRectF(0, 12, 10, 6), QStringLiteral("Du:")));
    title.add(ReportElement::fixedText(QRectF(10, 12, 30, 6), QStringLiteral("01/01/2024")));
    title.add(ReportElement::fixedText(QRectF(45, 12, 10, 6), QStringLiteral("Au:")));
    title.add(ReportElement::fixedText(QRectF(55, 12, 30, 6), QStringLiteral("31/03/2024")));
    title.add(ReportElement::box(QRectF(0, 22, TableRight, 8)));
    addColumnRules(title, 22, 30);
    title.add(ReportElement::fixedText(QRectF(Col1, 22, Col2 - Col1, 8), QStringLiteral("Date/N°"), Qt::AlignHCenter));
    title.add(ReportElement::fixedText(QRectF(Col2, 22, Col3 - Col2, 8), QStringLiteral("Bénéficiaire"), Qt::AlignHCenter));
    title.add(ReportElement::fixedText(QRectF(Col3, 22, Col4 - Col3, 8), QStringLiteral("Montant"), Qt::AlignHCenter));
    title.add(ReportElement::fixedText(QRectF(Col4, 22, TableRight - Col4, 8), QStringLiteral("Taux"), Qt::AlignHCenter));

    ReportBand &header = report.pageHeader();
    header.setHeight(6);
    header.add(ReportElement::fixedText(QRectF(0, 0, TableRight, 6), QStringLiteral("Contrôle interne"), Qt::AlignRight));

    ReportBand &detail = report.detail();
    detail.setHeight(10);
    detail.add(ReportElement::box(QRectF(0, 0, TableRight, 10)));
    addColumnRules(detail, 0, 10);
    detail.add(ReportElement::field(QRectF(Col1, 0, Col2 - Col1, 5), QStringLiteral("DATEFACTURE"), Qt::AlignHCenter));
    detail.add(ReportElement::field(QRectF(Col1, 5, Col2 - Col1, 5), QStringLiteral("NUMERO"), Qt::AlignHCenter));
    detail.add(ReportElement::field(QRectF(Col2, 0, Col3 - Col2, 10), QStringLiteral("NOM"), Qt::AlignLeft).wrapped());
    detail.add(ReportElement::field(QRectF(Col3, 5, Col4 - Col3, 5), QStringLiteral("MONTANT"), Qt::AlignRight, AmountMask));
    detail.add(ReportElement::field(QRectF(Col4, 0, TableRight - Col4, 5), QStringLiteral("TAUX"), Qt::AlignRight));

    ReportBand &summary = report.summary();
    summary.setHeight(10);
    summary.add(ReportElement::box(QRectF(0, 0, TableRight, 10)));
    summary.add(ReportElement::fixedText(QRectF(0, 0, Col3, 10), QStringLiteral("Totaux")).withFont(big));
    summary.add(ReportElement::sum(QRectF(Col3, 0, Col4 - Col3, 10), QStringLiteral("MONTANT"), Qt::AlignRight, AmountMask));

    ReportBand &footer = report.pageFooter();
    footer.setHeight(6);
    footer.add(ReportElement::pageNumber(QRectF(0, 0, 40, 6), QStringLiteral("Page: ")));
    footer.add(ReportElement::fixedText(QRectF(60, 0, Col3 - 60, 6), QStringLiteral("Cumul:"), Qt::AlignRight));
    footer.add(ReportElement::sum(QRectF(Col3, 0, Col4 - Col3, 6), QStringLiteral("MONTANT"), Qt::AlignRight, AmountMask));
}

bool matches(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern).match(text).hasMatch();
}

class ReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = FormatSettings::current();
        FormatSettings fs;
        fs.decimalSeparator = QLatin1Char(',');
        fs.thousandSeparator = QLatin1Char(' ');
        fs.dateSeparator = QLatin1Char('/');
        fs.shortDateFormat = QStringLiteral("dd/mm/yyyy");
        FormatSettings::setCurrent(fs);
        ASSERT_TRUE(m_dir.isValid());
        buildStatement(m_report);
        m_report.setDataSource(&m_source);
    }
    void TearDown() override { FormatSettings::setCurrent(m_saved); }

    // Renders the report to a PDF file and returns its path.
    QString render(const QString &name = QStringLiteral("statement.pdf"))
    {
        const QString path = m_dir.filePath(name);
        m_pages = m_report.exportPdf(path);
        return path;
    }

    QTemporaryDir m_dir;
    FormatSettings m_saved;
    ReportTableSource m_source { Columns };
    Report m_report;
    int m_pages = 0;
};

TEST_F(ReportTest, OnePagePrintsTitleEachRowInOrderSumsAndFooter)
{
    m_source.addRow(invoice(date(2024, 1, 5), QStringLiteral("F0001"), QStringLiteral("Société Alpha"), 1234.5, 18.0));
    m_source.addRow(invoice(date(2024, 2, 29), QStringLiteral("F0002"), QStringLiteral("Beta SARL"), 0.25, 7.5));
    m_source.addRow(
        invoice(date(2024, 3, 31), QStringLiteral("F0003"), QStringLiteral("Gamma"), QVariant(), 12)); // null amount adds nothing
    m_source.addRow(invoice(date(2024, 3, 31), QStringLiteral("F0004"), QStringLiteral("Delta"), qint64(100), QVariant()));

    const QStringList pages = pdfPageTexts(render());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(m_pages, 1);
    const QString &page = pages[0];
    for (const char *text :
        { "Contrôle interne", "Etat de contrôle des ventes", "Date/N°", "Bénéficiaire", "Montant", "Taux", "Société Alpha", "Beta SARL" })
        EXPECT_TRUE(page.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(matches(page, QStringLiteral("Du: +01/01/2024 +Au: +31/03/2024")));

    // Upper line date and rate, lower line number and amount.
    EXPECT_TRUE(matches(page, QStringLiteral("05/01/2024 +18\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("F0001 +1 234,500\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("29/02/2024 +7,5\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("F0002 +0,250\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("31/03/2024 +12\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("F0003\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("F0004 +100,000\\n")));
    const qsizetype first = page.indexOf(QStringLiteral("F0001")), second = page.indexOf(QStringLiteral("F0002")),
                    third = page.indexOf(QStringLiteral("F0003")), fourth = page.indexOf(QStringLiteral("F0004")),
                    totals = page.indexOf(QStringLiteral("Totaux"));
    EXPECT_TRUE(first >= 0 && first < second && second < third && third < fourth && fourth < totals);

    EXPECT_TRUE(matches(page, QStringLiteral("Totaux +1 334,750\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("Page: 1 +Cumul: +1 334,750")));
}

// The page must not depend on the fonts a machine happens to have: every
// text, the default and the named sizes alike, prints with the report family.
TEST_F(ReportTest, PrintsWithTheReportFamilyOnly)
{
    EXPECT_EQ(QFontInfo(reportFont(9)).family(), ReportFontFamily) << "the set-up installs it";
    m_source.addRow(invoice(date(2024, 1, 5), QStringLiteral("F0001"), QStringLiteral("Société Alpha"), 1234.5, 18.0));
    const QStringList fonts = pdfFontNames(render());
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString &font : fonts)
        EXPECT_TRUE(font.startsWith(QStringLiteral("LiberationSans"))) << font.toStdString();
}

TEST_F(ReportTest, SourceWithoutRowPrintsHeaderEmptyBodyZeroSumsAndFooter)
{
    const QStringList pages = pdfPageTexts(render());
    ASSERT_EQ(pages.size(), 1);
    const QString &page = pages[0];
    EXPECT_TRUE(page.contains(QStringLiteral("Etat de contrôle des ventes")));
    EXPECT_TRUE(page.contains(QStringLiteral("Bénéficiaire")));
    EXPECT_FALSE(page.contains(QStringLiteral("F0")));
    EXPECT_TRUE(matches(page, QStringLiteral("Totaux +0,000\\n")));
    EXPECT_TRUE(matches(page, QStringLiteral("Page: 1 +Cumul: +0,000")));

    // Without any source the report prints the same way.
    m_report.setDataSource(nullptr);
    const QStringList bare = pdfPageTexts(render(QStringLiteral("bare.pdf")));
    ASSERT_EQ(bare.size(), 1);
    EXPECT_TRUE(matches(bare[0], QStringLiteral("Totaux +0,000\\n")));
}

TEST_F(ReportTest, ManyRowsKeepEachDetailWholeAndTheSummaryOnceAtTheEnd)
{
    const int rows = 60;
    QVector<double> amounts;
    for (int i = 1; i <= rows; ++i) {
        QString name = QStringLiteral("Nom%1").arg(i, 4, 10, QLatin1Char('0'));
        if (i % 7 == 0) // some bands grow
            name += QStringLiteral(" avec une raison sociale assez longue pour tenir sur plusieurs lignes de sa colonne fin%1").arg(i);
        amounts << i + i / 1000.0;
        m_source.addRow(
            invoice(date(2024, 1, 1 + i % 28), QStringLiteral("F%1").arg(i, 4, 10, QLatin1Char('0')), name, amounts.last(), 18.0));
    }
    const QString path = render();
    const QStringList pages = pdfPageTexts(path);
    const QVector<PdfWord> words = pdfWords(path);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(m_pages, pages.size());

    // Every text of a row on one page, the rows in order.
    QVector<int> pageOfRow(rows + 1, 0);
    double lastTop = -1;
    for (int i = 1; i <= rows; ++i) {
        const QString number = QStringLiteral("F%1").arg(i, 4, 10, QLatin1Char('0'));
        int page = 0;
        for (int p = 1; p <= pages.size() && !page; ++p)
            page = wordsOnPage(words, p, number).isEmpty() ? 0 : p;
        ASSERT_NE(page, 0) << number.toStdString();
        EXPECT_EQ(wordsOnPage(words, page, QStringLiteral("Nom%1").arg(i, 4, 10, QLatin1Char('0'))).size(), 1) << i;
        EXPECT_EQ(wordsOnPage(words, page, formatFloat(AmountMask, amounts[i - 1])).size(), 1) << i;
        if (i % 7 == 0) {
            EXPECT_EQ(wordsOnPage(words, page, QStringLiteral("fin%1").arg(i)).size(), 1) << i;
        }
        const double top = wordsOnPage(words, page, number).first().box.top();
        if (page == pageOfRow[i - 1]) {
            EXPECT_GT(top, lastTop) << i;
        } else {
            EXPECT_EQ(page, pageOfRow[i - 1] + 1) << i;
        }
        pageOfRow[i] = page;
        lastTop = top;
    }

    // Header on every page, title once; each footer carries the page number
    // and the total of the rows up to that page.
    double cumul = 0;
    for (int p = 1; p <= pages.size(); ++p) {
        for (int i = 1; i <= rows; ++i)
            cumul += pageOfRow[i] == p ? amounts[i - 1] : 0;
        EXPECT_TRUE(pages[p - 1].contains(QStringLiteral("Contrôle interne"))) << p;
        EXPECT_EQ(pages[p - 1].contains(QStringLiteral("Etat de contrôle")), p == 1) << p;
        EXPECT_TRUE(matches(pages[p - 1], QStringLiteral("Page: %1 +Cumul: +%2").arg(p).arg(formatFloat(AmountMask, cumul)))) << p;
    }

    // The totals once, on the last page, below the last row.
    const int last = static_cast<int>(pages.size());
    EXPECT_EQ(pages.join(QString()).count(QStringLiteral("Totaux")), 1);
    const QVector<PdfWord> totals = wordsOnPage(words, last, QStringLiteral("Totaux"));
    ASSERT_EQ(totals.size(), 1);
    if (pageOfRow[rows] == last) {
        EXPECT_GT(totals.first().box.top(), wordsOnPage(words, last, QStringLiteral("F0060")).first().box.bottom());
    }
    EXPECT_TRUE(matches(pages[last - 1], QStringLiteral("Totaux +%1\\n").arg(formatFloat(AmountMask, cumul))));
}

TEST_F(ReportTest, SummaryThatDoesNotFitGoesToANewPage)
{
    m_report.summary().setHeight(120);
    for (int i = 1; i <= 10; ++i)
        m_source.addRow(
            invoice(date(2024, 1, i), QStringLiteral("F%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("Client"), 1.0, 18.0));

    const QStringList pages = pdfPageTexts(render());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("F0010")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Totaux")));
    EXPECT_TRUE(matches(pages[0], QStringLiteral("Page: 1 +Cumul: +10,000")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("F00")));
    EXPECT_TRUE(matches(pages[1], QStringLiteral("Totaux +10,000\\n")));
    EXPECT_TRUE(matches(pages[1], QStringLiteral("Page: 2 +Cumul: +10,000")));
}

TEST_F(ReportTest, WrappedTextStaysInItsBoxAndItsBandGrows)
{
    m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F0001"),
        QStringLiteral("Entreprise Générale de Travaux Publics et de Bâtiment du Sahel Centre "
                       "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ fin"),
        10.0, 18.0));
    m_source.addRow(invoice(date(2024, 1, 3), QStringLiteral("F0002"), QStringLiteral("Suivant"), 20.0, 18.0));

    const QString path = render();
    const QVector<PdfWord> words = pdfWords(path);
    const double left = Margin + Col2, right = Margin + Col3;
    QVector<PdfWord> name;
    bool inName = false;
    for (const PdfWord &w : words) {
        inName = inName || w.text == QStringLiteral("Entreprise");
        if (inName)
            name << w;
        if (w.text == QStringLiteral("fin"))
            break;
    }
    ASSERT_GT(name.size(), 10);
    EXPECT_EQ(name.last().text, QStringLiteral("fin"));
    QList<double> lineTops;
    for (const PdfWord &w : name) {
        EXPECT_GE(w.box.left(), left) << w.text.toStdString();
        EXPECT_LE(w.box.right(), right) << w.text.toStdString();
        if (lineTops.isEmpty() || w.box.top() > lineTops.last() + 1)
            lineTops << w.box.top();
    }
    EXPECT_GE(lineTops.size(), 4); // more than the band's two lines
    // The long word is broken within the box and loses no letter.
    QString letters;
    for (const PdfWord &w : name)
        if (w.text.startsWith(QStringLiteral("ABC")) || (!letters.isEmpty() && letters.size() < 52))
            letters += w.text;
    EXPECT_EQ(letters, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ"));

    // The name starts in its row, not above it.
    const QVector<PdfWord> rowDate = wordsOnPage(words, 1, QStringLiteral("02/01/2024"));
    ASSERT_EQ(rowDate.size(), 1);
    EXPECT_GE(name.first().box.top(), rowDate.first().box.top() - 1.0);

    // The next row starts below the grown band.
    const QVector<PdfWord> next = wordsOnPage(words, 1, QStringLiteral("03/01/2024"));
    ASSERT_EQ(next.size(), 1);
    EXPECT_GT(next.first().box.top(), name.last().box.bottom());
}

TEST_F(ReportTest, FieldsPrintAsTheirMaskSays)
{
    struct Case
    {
        QVariant value;
        const char *mask;
        const char *expected;
    } cases[] = {
        // clang-format off
        { 1234.5, "### ##0.000", "1 234,500" },
        { 0.0, "### ##0.000", "0,000" },
        { -123456.789, "### ##0.000", "-123 456,789" },
        { 2.0005, "### ##0.000", "2,001" },
        { 3.14159, "0.00", "3,14" },
        { 18.0, "", "18" }, // rates print as plain numbers
        { 0.5, "", "0,5" },
        { qint64(123456789012), "", "123456789012" },
        { date(2024, 3, 5), "", "05/03/2024" }, // the short date
        { date(2024, 3, 5), "yyyy-mm-dd", "2024-03-05" },
        { QStringLiteral("Texte libre"), "### ##0.000", "Texte libre" }, // a mask leaves text alone
        // clang-format on
    };
    QStringList columns;
    QVector<QVariant> row;
    Report report;
    report.setPage(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(Margin, Margin, Margin, Margin));
    report.detail().setHeight(std::size(cases) * 6);
    int i = 0;
    for (const Case &c : cases) {
        columns << QStringLiteral("V%1").arg(i);
        row << c.value;
        report.detail().add(ReportElement::field(QRectF(0, i * 6, 60, 6), columns.last(), Qt::AlignRight, QString::fromLatin1(c.mask)));
        ++i;
    }
    // An amount wider than its box is printed whole, in smaller type.
    columns << QStringLiteral("WIDE");
    row << 98765.5;
    report.detail().add(ReportElement::field(QRectF(100, 0, 12, 6), QStringLiteral("WIDE"), Qt::AlignRight, AmountMask));

    ReportTableSource source(columns, { row });
    report.setDataSource(&source);
    const QString path = m_dir.filePath(QStringLiteral("masks.pdf"));
    report.exportPdf(path);
    const QStringList pages = pdfPageTexts(path);
    ASSERT_EQ(pages.size(), 1);
    QStringList lines;
    for (const QString &line : pages[0].split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    i = 0;
    for (const Case &c : cases) {
        ASSERT_GT(lines.size(), i);
        EXPECT_TRUE(lines[i].startsWith(QString::fromUtf8(c.expected))) << c.mask << " line: " << lines[i].toStdString();
        ++i;
    }
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("98 765,500"))) << lines[0].toStdString();
    // Right-aligned: the amounts end at their box's right edge, less the inset.
    const QVector<PdfWord> words = pdfWords(path);
    const QVector<PdfWord> amount = wordsOnPage(words, 1, QStringLiteral("234,500"));
    ASSERT_EQ(amount.size(), 1);
    EXPECT_NEAR(amount.first().box.right(), Margin + 60, 1.5);
    for (const PdfWord &w : words) {
        if (w.text == QStringLiteral("98") || w.text == QStringLiteral("765,500")) {
            EXPECT_GE(w.box.left(), Margin + 100);
            EXPECT_LE(w.box.right(), Margin + 112);
        }
    }
}

TEST_F(ReportTest, ABandTallerThanAPageIsCutNotPushedForever)
{
    QString huge;
    for (int i = 0; i < 3000; ++i)
        huge += QStringLiteral("mot ");
    m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F0001"), QStringLiteral("Avant"), 1.0, 18.0));
    m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F0002"), huge, 2.0, 18.0));
    m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F0003"), QStringLiteral("Après"), 4.0, 18.0));

    const QStringList pages = pdfPageTexts(render());
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("F0001")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("mot")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("F0003")));
    EXPECT_TRUE(matches(pages[2], QStringLiteral("Totaux +7,000\\n")));
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(matches(pages[p], QStringLiteral("Page: %1 +Cumul:").arg(p + 1))) << p;
}

TEST_F(ReportTest, FaultsAreReportedAndWriteNothing)
{
    m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F0001"), QStringLiteral("Client"), QStringLiteral("douze"), 18.0));
    struct Case
    {
        const char *what;
        std::function<void(Report &)> change;
        QString file;
        const char *message;
    } cases[] = {
        { "unknown field", [](Report &r) { r.detail().add(ReportElement::field(QRectF(0, 0, 10, 5), QStringLiteral("ABSENT"))); },
            QStringLiteral("a.pdf"), "Field 'ABSENT' not found" },
        { "unknown sum", [](Report &r) { r.pageFooter().add(ReportElement::sum(QRectF(0, 0, 10, 5), QStringLiteral("NULLE"))); },
            QStringLiteral("b.pdf"), "Field 'NULLE' not found" },
        { "text summed", [](Report &) {}, QStringLiteral("c.pdf"), "'douze' is not a valid floating point value for field 'MONTANT'" },
        { "no room", [](Report &r) { r.setPage(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(110, 10, 110, 10)); },
            QStringLiteral("d.pdf"), "The page margins leave no room to print" },
    };
    for (const Case &c : cases) {
        Report report;
        buildStatement(report);
        report.setDataSource(&m_source);
        c.change(report);
        const QString path = m_dir.filePath(c.file);
        try {
            report.exportPdf(path);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error &e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(c.message)) << c.what;
        }
        EXPECT_FALSE(QFile::exists(path)) << c.what;
    }

    // A file that cannot be created names itself.
    m_source = ReportTableSource(Columns);
    const QString unwritable = m_dir.filePath(QStringLiteral("absent/dossier/etat.pdf"));
    try {
        m_report.exportPdf(unwritable);
        ADD_FAILURE() << "no error for an unwritable file";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot create file \"%1\"").arg(unwritable));
    }
}

// Closes whatever modal window comes up next, noting how many pages its
// preview showed.
class PreviewCloser
{
public:
    PreviewCloser()
    {
        QTimer::singleShot(0, [this] { closeNow(); });
    }
    bool shown = false;
    int pageCount = -1;
    QString caption;

private:
    void closeNow()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        shown = true;
        caption = modal->windowTitle();
        if (auto *view = modal->findChild<QPrintPreviewWidget *>())
            pageCount = view->pageCount();
        modal->close();
    }
};

TEST_F(ReportTest, PreviewShowsThePagesModallyAndReturnsWhenClosed)
{
    for (int i = 1; i <= 60; ++i)
        m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F%1").arg(i), QStringLiteral("Client"), 1.0, 18.0));
    const int pages = m_report.exportPdf(m_dir.filePath(QStringLiteral("reference.pdf")));

    PreviewCloser closer;
    m_report.preview();
    EXPECT_TRUE(closer.shown);
    EXPECT_EQ(closer.caption, QStringLiteral("Contrôle des ventes"));
    EXPECT_EQ(closer.pageCount, pages);

    // A fault shows no preview at all.
    m_report.detail().add(ReportElement::field(QRectF(0, 0, 10, 5), QStringLiteral("ABSENT")));
    PreviewCloser unused;
    EXPECT_THROW(m_report.preview(), Error);
    QApplication::processEvents();
    EXPECT_FALSE(unused.shown);
}

} // namespace

namespace {

// The pages the operator asked for in the print dialog, and only those; on
// a page narrower than the report's, the report whole and smaller.
TEST_F(ReportTest, PrintsThePagesAskedForWholeOnWhateverPaper)
{
    for (int i = 1; i <= 60; ++i)
        m_source.addRow(invoice(date(2024, 1, 2), QStringLiteral("F%1").arg(i), QStringLiteral("Client %1").arg(i), 1.0, 18.0));
    const QStringList all = pdfPageTexts(render());
    ASSERT_GE(all.size(), 3);
    const int last = static_cast<int>(all.size());
    const struct
    {
        const char *name;
        QList<QPair<int, int>> ranges; // empty: all pages
        QPageSize paper;
        QList<int> expected; // pages of the report, from 1; empty: not as on A4
    } cases[] = {
        { "all", {}, QPageSize(QPageSize::A4),
            [&] {
                QList<int> pages;
                for (int p = 1; p <= last; ++p)
                    pages << p;
                return pages;
            }() },
        { "the second", { { 2, 2 } }, QPageSize(QPageSize::A4), { 2 } },
        { "first and last", { { 1, 1 }, { last, last } }, QPageSize(QPageSize::A4), { 1, last } },
        { "beyond the last", { { last, last + 5 } }, QPageSize(QPageSize::A4), { last } },
        { "A5, narrower", {}, QPageSize(QPageSize::A5), {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = m_dir.filePath(QStringLiteral("part.pdf"));
        printer.setOutputFileName(path);
        m_report.setUpPrinter(printer);
        printer.setPageSize(c.paper);
        QPageRanges ranges;
        for (const auto &r : c.ranges)
            ranges.addRange(r.first, r.second);
        printer.setPageRanges(ranges);
        const int printed = m_report.print(printer);
        const QStringList pages = pdfPageTexts(path);
        ASSERT_EQ(pages.size(), printed);
        if (!c.expected.isEmpty()) {
            QStringList expected;
            for (int p : c.expected)
                expected << all.value(p - 1);
            EXPECT_EQ(pages.join(QLatin1Char('\f')).toStdString(), expected.join(QLatin1Char('\f')).toStdString());
        } else {
            // Every row and the totals, nothing cut at the right edge.
            const QString text = pages.join(QLatin1Char('\f'));
            for (int i = 1; i <= 60; ++i)
                EXPECT_TRUE(text.contains(QStringLiteral("Client %1\n").arg(i)) || text.contains(QStringLiteral("Client %1 ").arg(i))) << i;
            EXPECT_TRUE(pages.last().contains(QStringLiteral("Totaux")));
            EXPECT_TRUE(pages.last().contains(QStringLiteral("60,000")));
            for (int p = 0; p < pages.size(); ++p)
                EXPECT_TRUE(pages[p].contains(QStringLiteral("Page: %1").arg(p + 1))) << p;
        }
    }
}

} // namespace
