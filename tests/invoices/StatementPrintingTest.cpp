// The periodic statement printed as a clerk prints it: "Imprimer" in the
// invoice list, the period, the preview, its print command and the system's
// print dialog, to a CUPS daemon of the test's own with a virtual PDF
// printer. What the queue received and what the printer put out are read
// back and held against the preview's own pages.

#include "data/DataModule.h"
#include "invoices/windows/InvoiceList.h"
#include "invoices/windows/PeriodDialog.h"
#include "invoices/windows/PeriodicStatement.h"
#include "tests/report/PdfText.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestPrintServer.h"
#include "ui/DateEdit.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

const QString Queue = QStringLiteral("Comptabilite");

// Known invoices: 40 of the first quarter (three pages or more), one outside
// the period, one of another company.
struct Register
{
    TestDatabase db;
    DataModule module;
    std::unique_ptr<InvoiceList> list;

    Register()
    {
        for (int i = 1; i <= 40; ++i)
            db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                                   "NOMPRENOMCLIENT, PRIXVENTE, TAUXTVA, MONTANTTVA) values ('0123456AM000', 2008, 1, %1, 'FA-%1', "
                                   "'2008-02-%2', 'CLIENT IMPRIME %1', %3, 19, %4)")
                        .arg(i)
                        .arg(1 + i % 28)
                        .arg(1000 + i)
                        .arg((1000 + i) * 0.19));
        db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                               "NOMPRENOMCLIENT, PRIXVENTE) values ('0123456AM000', 2008, 2, 41, 'FA-HORS', '2008-04-02', 'HORS', 5)"));
        db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                               "NOMPRENOMCLIENT, PRIXVENTE) values ('7654321BPM000', 2008, 1, 1, 'FA-AUTRE', '2008-02-02', 'AUTRE', 5)"));
        db.connection().commitRetaining();
        module.connection->setDatabaseName(db.path());
        list = std::make_unique<InvoiceList>(module.invoices, module.clients, QStringLiteral("0123456AM000"), QStringLiteral("2008"));
        list->show();
    }

    // The statement of the first quarter as the preview lays it out on a
    // PDF file, one text a page.
    QStringList referencePages(const QString &dir)
    {
        const QString pdf = dir + QStringLiteral("/reference.pdf");
        list->printStatement(
            QStringLiteral("01/01/2008"), QStringLiteral("31/03/2008"), [&](PeriodicStatement &s) { s.report.exportPdf(pdf); });
        return pdfPageTexts(pdf);
    }
};

// Runs one step for each modal window as it comes up, in order, while the
// window that opened the first one waits in its own event loop.
class ModalSteps
{
public:
    using Step = std::function<void(QWidget *)>;
    ModalSteps(std::initializer_list<QPair<const char *, Step>> steps)
        : m_steps(steps)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(20);
    }
    int done() const { return m_next; }

private:
    void tick()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_next >= m_steps.size() || !modal->inherits(m_steps[m_next].first))
            return;
        // Run from a timer of its own: the step may open the next window and
        // wait in it, and a timer does not fire again while its slot runs.
        const Step step = m_steps[m_next++].second;
        QTimer::singleShot(0, modal, [step, modal] { step(modal); });
    }

    QList<QPair<const char *, Step>> m_steps;
    int m_next = 0;
    QTimer m_timer;
};

void typePeriod(QWidget *modal)
{
    auto *dialog = qobject_cast<PeriodDialog *>(modal);
    QTest::keyClicks(dialog->fromDateEdit->lineEdit(), QStringLiteral("01/01/2008"));
    QTest::keyClick(dialog->fromDateEdit->lineEdit(), Qt::Key_Tab);
    QTest::keyClicks(dialog->toDateEdit->lineEdit(), QStringLiteral("31/03/2008"));
    QTest::keyClick(dialog->toDateEdit->lineEdit(), Qt::Key_Return);
}

// "Print" in the system's print dialog, as it stands.
void accept(QWidget *modal)
{
    QTest::mouseClick(modal->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// The words of each page, one line a page: the printed copy is the same
// document, whatever spacing the printer's filters give it.
QString words(const QStringList &pages)
{
    QStringList out;
    for (const QString &page : pages)
        out << page.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    return out.join(QLatin1Char('\n'));
}

int newestJob(const TestPrintServer &server)
{
    int id = 0;
    for (const TestPrintServer::Job &job : server.jobs())
        id = std::max(id, job.id);
    return id;
}

} // namespace

// The queue takes the statement, the job completes, and what it printed is
// the preview's statement: the same rows and totals on the same pages. On a
// queue whose paper is Letter (the print dialog takes the printer's default
// paper) the A4 statement is printed whole, a little smaller.
TEST(StatementPrinting, AQueueTakesTheStatementAndPrintsItWhole)
{
    const struct
    {
        const char *paper; // the queue's default
        bool asPreviewed; // the same pages as the preview
    } cases[] = {
        { "A4", true },
        { "Letter", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.paper);
        TestPrintServer server;
        ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
        ASSERT_TRUE(server.addPrinter(Queue, QString::fromLatin1(c.paper), true)) << server.failure().toStdString();
        ScopedAutoAnswer answer { QMessageBox::Ok };
        MessageBox::resetRecord();
        QTemporaryDir dir;
        Register r;
        // The statement as the program lays it out for this queue, into a file.
        const QString reference = dir.filePath(QStringLiteral("reference.prn"));
        r.list->printStatement(QStringLiteral("01/01/2008"), QStringLiteral("31/03/2008"), [&](PeriodicStatement &s) {
            QPrinter printer(QPrinter::HighResolution);
            s.report.setUpPrinter(printer);
            printer.setOutputFileName(reference);
            s.report.print(printer);
        });
        const QStringList referencePages = pdfPageTexts(reference);
        ASSERT_GE(referencePages.size(), 3);

        int previewPages = 0;
        QString printerChosen;
        ModalSteps steps {
            { "PeriodDialog", typePeriod },
            { "QPrintPreviewDialog",
                [&](QWidget *preview) {
                    previewPages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
                    preview->findChild<QAction *>(QStringLiteral("printAction"))->trigger();
                } },
            { "QPrintDialog",
                [&](QWidget *print) {
                    printerChosen = qobject_cast<QPrintDialog *>(print)->printer()->printerName();
                    accept(print);
                } },
        };
        QTest::mouseClick(r.list->printButton, Qt::LeftButton);
        EXPECT_EQ(steps.done(), 3);
        EXPECT_EQ(printerChosen, Queue); // the print dialog lists the queue, the default
        EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString(); // a job taken needs no word
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // and the preview has closed
        EXPECT_EQ(previewPages, referencePages.size());

        const int job = newestJob(server);
        ASSERT_GT(job, 0) << server.log().toStdString();
        ASSERT_EQ(server.waitForJob(job), TestPrintServer::Completed) << server.log().toStdString();
        const QList<TestPrintServer::Job> jobs = server.jobs();
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(jobs.first().printer, Queue);
        EXPECT_EQ(jobs.first().title, QStringLiteral("Factures Périodiques"));

        // What the queue received, kept in its spool, and what the printer
        // put out.
        const QStringList sent = pdfPageTexts(server.spoolFile(job));
        const QStringList printed = pdfPageTexts(server.outputOf(Queue));
        ASSERT_FALSE(printed.isEmpty()) << server.log().toStdString();
        EXPECT_EQ(words(printed).toStdString(), words(sent).toStdString());
        if (c.asPreviewed) {
            EXPECT_EQ(words(sent).toStdString(), words(referencePages).toStdString());
        }
        // The rows of the period in order, the totals on the last page, each
        // page whole to its number.
        const QString all = printed.join(QLatin1Char('\f'));
        qsizetype previous = -1;
        for (int i = 1; i <= 40; ++i) {
            const qsizetype at = all.indexOf(QStringLiteral("CLIENT IMPRIME %1 ").arg(i));
            EXPECT_GT(at, previous) << i;
            previous = at;
        }
        EXPECT_FALSE(all.contains(QStringLiteral("FA-HORS")));
        EXPECT_FALSE(all.contains(QStringLiteral("FA-AUTRE")));
        EXPECT_TRUE(printed.last().contains(QStringLiteral("Totaux")));
        EXPECT_TRUE(printed.last().contains(QStringLiteral("40 820,000"))); // 40 × 1000 + (1 + … + 40)
        EXPECT_TRUE(printed.last().contains(QStringLiteral("7 755,800"))); // 19 % of it
        for (int p = 0; p < printed.size(); ++p)
            EXPECT_TRUE(printed[p].contains(QStringLiteral("Page: %1").arg(p + 1))) << p;
    }
}

// A queue that refuses jobs: the clerk is told in the program's words, the
// preview stays open to print elsewhere, and no job exists.
TEST(StatementPrinting, ARefusingQueueIsToldAndThePreviewStaysOpen)
{
    TestPrintServer server;
    ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
    ASSERT_TRUE(server.addPrinter(Queue, QStringLiteral("A4"), true)) << server.failure().toStdString();
    ASSERT_TRUE(server.reject(Queue)) << server.failure().toStdString();
    ScopedAutoAnswer answer { QMessageBox::Ok };
    MessageBox::resetRecord();
    Register r;

    bool stillOpen = false;
    ModalSteps steps {
        { "PeriodDialog", typePeriod },
        { "QPrintPreviewDialog",
            [&](QWidget *preview) {
                preview->findChild<QAction *>(QStringLiteral("printAction"))->trigger();
                // Back from the print dialog and the message: still there.
                stillOpen = preview->isVisible() && QApplication::activeModalWidget() == preview;
                preview->close();
            } },
        { "QPrintDialog", accept },
    };
    QTest::mouseClick(r.list->printButton, Qt::LeftButton);
    EXPECT_EQ(steps.done(), 3);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(MessageBox::count(), 1);
    EXPECT_EQ(MessageBox::lastText(),
        QStringLiteral("L'imprimante « %1 » refuse les travaux d'impression pour le moment. L'état n'a pas été imprimé.").arg(Queue));
    EXPECT_TRUE(server.jobs().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(server.outputOf(Queue)));
}

// No printer at all: the print dialog offers a file only, and the clerk is
// told where the statement went.
TEST(StatementPrinting, WithoutAPrinterTheFileItWentToIsTold)
{
    TestPrintServer server;
    ASSERT_TRUE(server.isRunning()) << server.failure().toStdString();
    QTemporaryDir home;
    ScopedEnvironment env({ { "HOME", home.path() } }, home.path());
    ScopedAutoAnswer answer { QMessageBox::Ok };
    MessageBox::resetRecord();
    QTemporaryDir dir;
    Register r;
    const QStringList reference = r.referencePages(dir.path());

    ModalSteps steps {
        { "PeriodDialog", typePeriod },
        { "QPrintPreviewDialog", [&](QWidget *preview) { preview->findChild<QAction *>(QStringLiteral("printAction"))->trigger(); } },
        { "QPrintDialog",
            [&](QWidget *print) {
                // The only choice is a file; the clerk names it.
                auto *name = print->findChild<QLineEdit *>(QStringLiteral("filename"));
                name->selectAll();
                QTest::keyClicks(name, QStringLiteral("Etat du premier trimestre.pdf"));
                accept(print);
            } },
    };
    QTest::mouseClick(r.list->printButton, Qt::LeftButton);
    EXPECT_EQ(steps.done(), 3);
    EXPECT_EQ(MessageBox::count(), 1);
    const QString prefix = QStringLiteral("L'état a été enregistré dans le fichier ");
    ASSERT_TRUE(MessageBox::lastText().startsWith(prefix)) << MessageBox::lastText().toStdString();
    QString file = MessageBox::lastText().mid(prefix.size());
    file.chop(1); // the full stop
    EXPECT_EQ(file, home.filePath(QStringLiteral("Etat du premier trimestre.pdf"))); // a name alone goes into the home folder
    EXPECT_EQ(words(pdfPageTexts(file)).toStdString(), words(reference).toStdString());
    EXPECT_TRUE(server.jobs().isEmpty());
}
