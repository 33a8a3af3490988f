#include "declaration/windows/AnomalyDialog.h"

#include "declaration/DeclarationHistory.h"
#include "declaration/windows/AnomalyReport.h"
#include "declaration/windows/DeclarationWindow.h"
#include "tests/declaration/RegisterFixture.h"
#include "tests/report/PdfText.h"
#include "tests/support/ProgramRun.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// A generation window of the register's company, its directory typed.
struct Window
{
    QPointer<DeclarationWindow> w;

    Window(const WorkingContext &context, Connection &connection, const QString &directory)
    {
        w = new DeclarationWindow(context, QStringLiteral("SOCIÉTÉ TEST"), connection);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QApplication::setActiveWindow(w);
        w->directoryEdit->setText(directory);
    }
    ~Window() { delete w.data(); }
    bool closed() const { return w.isNull() || !w->isVisible(); }
};

// Runs `act` on the modal window of that class as soon as one shows;
// whether one showed is told afterwards.
// With `every`, each one that shows, until the object goes.
template <typename Modal> struct WhenShown
{
    int shown = 0;

    explicit WhenShown(std::function<void(Modal &)> act, bool every = false)
        : m_act(std::move(act))
        , m_every(every)
    {
        poll();
    }
    ~WhenShown() { *m_alive = false; }

private:
    void poll()
    {
        std::shared_ptr<bool> alive = m_alive;
        QTimer::singleShot(20, [this, alive] {
            if (!*alive)
                return;
            auto *modal = qobject_cast<Modal *>(QApplication::activeModalWidget());
            if (modal) {
                ++shown;
                m_act(*modal);
            }
            if (!modal || m_every)
                poll();
        });
    }

    std::function<void(Modal &)> m_act;
    bool m_every;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

ProgramRun check(const QString &db, const QString &company)
{
    return runProgram(QStringLiteral(KESTRA_CLI),
        { QStringLiteral("check"), QStringLiteral("--db"), db, QStringLiteral("--company"), company, QStringLiteral("--year"),
            QStringLiteral("2008"), QStringLiteral("--quarter"), QStringLiteral("T1") },
        120000);
}

} // namespace

// A register with one of each anomaly: the list shows each in the file's
// order, and kestra-cli check prints what the list copies, exiting 5.
// "Corriger d'abord" is the default: Enter writes nothing.
TEST(AnomalyList, TheWindowAndTheCommandLineSayTheSame)
{
    std::unique_ptr<QuarterRegister> r(everyAnomaly());
    MessageBox::setAutoAnswer(QMessageBox::NoButton); // the list itself is shown and answered
    QString listed;
    int rows = 0;
    QStringList columns;
    {
        Window window(r->context, r->db.connection(), r->out.path());
        WhenShown<AnomalyDialog> list([&](AnomalyDialog &d) {
            listed = d.text();
            rows = d.anomaliesTable->model()->rowCount();
            for (int c = 0; c < d.anomaliesTable->model()->columnCount(); ++c)
                columns << d.anomaliesTable->model()->headerData(c, Qt::Horizontal).toString();
            EXPECT_TRUE(d.correctFirstButton->isDefault());
            EXPECT_TRUE(d.summaryLabel->text().contains(QStringLiteral("5 erreurs, 22 avertissements"))) << d.summaryLabel->text().toStdString();
            d.resize(1100, 560);
            d.grab().save(QDir::temp().filePath(QStringLiteral("kestra-anomaly-list.png")));
            QTest::keyClick(&d, Qt::Key_Return);
        });
        window.w->okButton->click();
        ASSERT_EQ(list.shown, 1);
        EXPECT_FALSE(window.closed());
    }
    EXPECT_EQ(QDir(r->out.path()).entryList(QDir::Files | QDir::Hidden), QStringList()); // nothing written
    EXPECT_EQ(MessageBox::count(), 0);
    EXPECT_EQ(columns, (QStringList { "N° ordre", "N° facture", "Client", "Champ", "Anomalie", "Gravité" }));
    EXPECT_EQ(rows, 27);
    EXPECT_TRUE(listed.endsWith(QStringLiteral("Erreurs : 5 ; avertissements : 22\n"))) << listed.toStdString();

    // Every check of the table but the typed quarter's (the command line
    // takes T1 to T4 only) is in it.
    DeclarationGeneration generation(r->db.connection());
    const DeclarationPass &pass = generation.check(QStringLiteral("T1"), r->context);
    QSet<QString> found;
    for (const DeclarationChecks::Anomaly &a : pass.anomalies)
        found << a.check;
    for (const DeclarationChecks::Check &c : DeclarationChecks::checks())
        EXPECT_EQ(found.contains(QString::fromLatin1(c.id)), QLatin1String(c.id) != QLatin1String("quarter-text")) << c.id;

    r->db.connection().close();
    const ProgramRun run = check(r->db.directory(), QStringLiteral("012345XOM01"));
    EXPECT_EQ(run.rc, 5) << run.err.toStdString();
    EXPECT_EQ(run.out, listed);
}

// Warnings only: the list, then "Générer quand même" writes the file as it
// always was, both messages follow and the window closes.
TEST(AnomalyList, GenerateAnywayWritesTheFileAsBefore)
{
    Register r;
    MessageBox::setAutoAnswer(QMessageBox::NoButton);
    Window window(r.context, r.db.connection(), r.out.path());
    WhenShown<AnomalyDialog> list([](AnomalyDialog &d) { d.generateAnywayButton->click(); });
    WhenShown<QMessageBox> boxes([](QMessageBox &box) { box.accept(); }, true);
    window.w->okButton->click();
    EXPECT_EQ(list.shown, 1);
    EXPECT_EQ(boxes.shown, 2);
    EXPECT_EQ(MessageBox::count(), 2);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Fichier de déclaration Crée"));
    QApplication::processEvents();
    EXPECT_TRUE(window.closed());
    expectFile(readBytes(r.out.path() + QStringLiteral("/FAC_T1_08")), expectedT1());
    MessageBox::setAutoAnswer(QMessageBox::Ok);
}

// Without anomaly the road is the one it always was: no list, the path, the
// confirmation, the window closes, and the file byte for byte.
TEST(AnomalyList, WithoutAnomalyNothingIsAsked)
{
    std::unique_ptr<QuarterRegister> r(soundQuarter());
    Window window(r->context, r->db.connection(), r->out.path());
    WhenShown<AnomalyDialog> list([](AnomalyDialog &d) { d.correctFirstButton->click(); });
    window.w->okButton->click();
    EXPECT_EQ(list.shown, 0);
    EXPECT_EQ(MessageBox::count(), 2);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Fichier de déclaration Crée"));
    QApplication::processEvents();
    EXPECT_TRUE(window.closed());
    EXPECT_EQ(readBytes(r->out.path() + QStringLiteral("/FAC_T1_08")), soundQuarterFile());
    EXPECT_EQ(QDir(r->out.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("FAC_T1_08") });
}

// "Copier" puts the lines kestra-cli check prints on the clipboard;
// "Imprimer" prints them through the statement's report engine.
TEST(AnomalyList, CopiedAndPrinted)
{
    Register r;
    DeclarationGeneration generation(r.db.connection());
    const DeclarationPass &pass = generation.check(QStringLiteral("T1"), r.context);
    ASSERT_EQ(pass.anomalies.size(), 5);
    const QString heading = DeclarationChecks::headingText(r.context.curMatricule, QStringLiteral("T1"), r.context.curExercice);
    AnomalyDialog dialog(QStringLiteral("SOCIÉTÉ TEST"), heading, pass);
    dialog.show();
    QApplication::clipboard()->clear();
    QTest::mouseClick(dialog.copyButton, Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, DeclarationChecks::listText(heading, pass.anomalies, pass.totals));
    EXPECT_EQ(copied,
        QStringLiteral(
            "Société 0123456AM000 : T1 2008\n"
            "Avertissement\t2\tAVOIR\tCLIENT UN\tPRIXVENTE\tMontant H.T négatif : -100,250.\n"
            "Avertissement\t2\tAVOIR\tCLIENT UN\tMONTANTTVA\tMontant TVA négatif : -19,047.\n"
            "Avertissement\t3\tF-12\tBEN SALAH\tNUMEROAUTORISATION\tClient résident sans numéro d'autorisation.\n"
            "Avertissement\t3\tF-12\tBEN SALAH\tDATEAUTORISATION\tClient résident sans date d'autorisation.\n"
            "Avertissement\t\t\t\tMONTANTTVA\tLe total TVA de la ligne TF (182,479) diffère de 1 millime de la somme des lignes DF (182,480) : "
            "il est calculé sur les montants non arrondis des factures.\n"
            "Factures : 3 ; H.T : 1 150,250 ; FODEC : 10,000 ; droit de consommation : 31,313 ; TVA : 182,479\n"
            "Erreurs : 0 ; avertissements : 5\n"));
    // "Imprimer" opens the print preview of the report.
    WhenShown<QPrintPreviewDialog> preview([](QPrintPreviewDialog &d) { d.reject(); });
    QTest::mouseClick(dialog.printButton, Qt::LeftButton);
    EXPECT_EQ(preview.shown, 1);
    dialog.close();

    AnomalyReport report(QStringLiteral("SOCIÉTÉ TEST — ") + heading, pass.anomalies, pass.totals, pass.errorCount, pass.warningCount);
    const QString pdf = r.out.filePath(QStringLiteral("anomalies.pdf"));
    EXPECT_EQ(report.report().exportPdf(pdf), 1);
    const QString page = pdfPageTexts(pdf).join(QLatin1Char('\n')).simplified();
    for (const QString &text : { QStringLiteral("Anomalies de la déclaration"), QStringLiteral("Société 0123456AM000 : T1 2008"),
             QStringLiteral("Client résident sans numéro d'autorisation."), QStringLiteral("Montant H.T négatif : -100,250."),
             QStringLiteral("TVA : 182,479"), QStringLiteral("Erreurs : 0 ; avertissements : 5") })
        EXPECT_TRUE(page.contains(text)) << text.toStdString() << "\n" << page.toStdString();
}

// An earlier file of the quarter: replaced only on Yes (No is the default),
// and then kept beside it under its date and time.
TEST(DeclarationWindow, ReplacingAsksAndKeepsTheEarlierFile)
{
    std::unique_ptr<QuarterRegister> r(soundQuarter());
    const QString path = r->out.path() + QStringLiteral("/FAC_T1_08");
    {
        Window first(r->context, r->db.connection(), r->out.path());
        first.w->okButton->click();
    }
    const QByteArray earlier = readBytes(path);
    ASSERT_EQ(earlier, soundQuarterFile());
    r->db.exec(QStringLiteral("update FACTURE set NOMPRENOMCLIENT = 'CLIENT CORRIGE' where NUMEROORDRE = 2"));
    r->db.connection().commitRetaining();

    // Enter in the question: No.
    MessageBox::setAutoAnswer(QMessageBox::NoButton);
    MessageBox::resetRecord();
    {
        Window again(r->context, r->db.connection(), r->out.path());
        QString question;
        WhenShown<QMessageBox> box([&](QMessageBox &b) {
            question = b.text();
            EXPECT_EQ(b.defaultButton(), b.button(QMessageBox::No));
            QTest::keyClick(&b, Qt::Key_Return);
        });
        again.w->okButton->click();
        ASSERT_EQ(box.shown, 1);
        EXPECT_TRUE(question.startsWith(QStringLiteral("Remplacer le fichier %1 ?").arg(path))) << question.toStdString();
        EXPECT_FALSE(again.closed());
        EXPECT_EQ(MessageBox::count(), 1);
    }
    EXPECT_EQ(readBytes(path), earlier);
    EXPECT_EQ(QDir(r->out.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("FAC_T1_08") });

    // Yes: the new file under the name, the earlier one beside it.
    MessageBox::setAutoAnswer(QMessageBox::Yes);
    {
        Window again(r->context, r->db.connection(), r->out.path());
        again.w->okButton->click();
        QApplication::processEvents();
        EXPECT_TRUE(again.closed());
    }
    MessageBox::setAutoAnswer(QMessageBox::Ok);
    const QStringList files = QDir(r->out.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files.size(), 2) << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(readBytes(path).contains("CLIENT CORRIGE"));
    EXPECT_TRUE(files[1].startsWith(QStringLiteral("FAC_T1_08_"))) << files[1].toStdString();
    EXPECT_EQ(readBytes(r->out.filePath(files[1])), earlier);
}

// The window shows the quarter's last generation, from the history.
TEST(DeclarationWindow, ShowsTheLastGenerationOfTheQuarter)
{
    std::unique_ptr<QuarterRegister> r(soundQuarter());
    {
        Window fresh(r->context, r->db.connection(), r->out.path());
        EXPECT_EQ(fresh.w->lastGenerationLabel->text(), QStringLiteral("Pas encore généré."));
        fresh.w->okButton->click();
    }
    Window after(r->context, r->db.connection(), r->out.path());
    const QString text = after.w->lastGenerationLabel->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Déjà généré le %1 à ").arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" : 2 factures\nH.T 2 000,000 ; FODEC 20,000 ; droit de consommation 0,000 ; TVA 363,600")))
        << text.toStdString();
    after.w->quarterCombo->setCurrentText(QStringLiteral("T2"));
    EXPECT_EQ(after.w->lastGenerationLabel->text(), QStringLiteral("Pas encore généré."));
}

// An invoice number of the quarter used again in another quarter of the
// year is listed; one used in another year or by another company is not.
TEST(AnomalyList, ANumberUsedInAnotherQuarterOfTheYear)
{
    Register r;
    const char *insert = "insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE) values (%1)";
    for (const char *values : { "'0123456AM000', 2008, 3, 9, 'F-001 '", "'0123456AM000', 2009, 2, 9, 'AVOIR'",
             "'7654321BPM001', 2008, 2, 9, ' F-12'" })
        r.db.exec(QString::fromLatin1(insert).arg(QString::fromLatin1(values)));
    r.db.connection().commitRetaining();
    DeclarationGeneration generation(r.db.connection());
    QStringList twice;
    for (const DeclarationChecks::Anomaly &a : generation.check(QStringLiteral("T1"), r.context).anomalies)
        if (a.check == QLatin1String("invoice-number-twice"))
            twice << DeclarationChecks::lineText(a);
    EXPECT_EQ(twice, QStringList { QStringLiteral("Avertissement\t1\tF-001\tCLIENT UN\tNUMEROFACTURE\tLe numéro de facture « F-001 » figure 2 "
                                                  "fois dans l'exercice 2008.") });
}
