#include "declaration/DeclarationFile.h"

#include "app/cli/DemoData.h"
#include "core/DateTime.h"
#include "data/Config.h"
#include "data/Query.h"
#include "declaration/DeclarationGeneration.h"
#include "declaration/windows/DeclarationWindow.h"
#include "tests/declaration/RegisterFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/RunningProgram.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

QList<QByteArray> records(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Every record of the file: 331 characters and CR LF.
void expect331(const QByteArray &file, const char *what)
{
    const QList<QByteArray> lines = records(file);
    EXPECT_GE(lines.size(), 2) << what;
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].endsWith('\r')) << what << " record " << i + 1;
        EXPECT_EQ(lines[i].size(), 332) << what << " record " << i + 1 << ": " << lines[i].toStdString();
    }
}

QStringList filesIn(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

ProgramRun cli(const QStringList &args)
{
    return runProgram(QStringLiteral(KESTRA_CLI), args, 600000);
}

// The disk fills up after `left` bytes: later writes fail with ENOSPC.
qint64 g_left = 0;
ssize_t fillingDisk(int fd, const void *buffer, size_t count)
{
    if (g_left <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min<size_t>(count, static_cast<size_t>(g_left));
    g_left -= static_cast<qint64>(n);
    return ::write(fd, buffer, n);
}

struct FillingDisk
{
    explicit FillingDisk(qint64 left)
    {
        g_left = left;
        DeclarationFile::setWriteFunction(fillingDisk);
    }
    ~FillingDisk() { DeclarationFile::setWriteFunction(nullptr); }
};

int historyCount(TestDatabase &db)
{
    return db.scalar(QStringLiteral("select count(*) from HISTORIQUE_DECLARATION")).toInt();
}

} // namespace

// A quarter holding demonstration invoices, invoices imported from a text
// file (their client identifiers stored without padding) and one typed
// through the invoice form: every record of every quarter has 331
// characters, written by the window's generation and by kestra-cli declare,
// and an imported record's fields stand at their positions.
TEST(DeclarationFile, EveryRecordHas331CharactersWhereverTheInvoicesCameFrom)
{
    TestDatabase db;
    DemoData::insert(db.connection());
    const QString year = db.scalar(QStringLiteral("select EXERCICE from SOCIETE")).toString();
    db.connection().close();

    // Imported: the month's invoices, as an office's export gives them.
    QTemporaryDir work;
    const QString fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/importscreen/");
    const QString templateFile = work.filePath(QStringLiteral("factures.imp"));
    {
        QFile t(templateFile);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(QStringLiteral(
            "[FIRST_STEP]\nImportType=4\nFileName=%1\nGoToLastPage=1\n[CSV_MAP]\nNUMEROFACTURE=1\nDATEFACTURE=2\nCODE=3\nTYPEIDCLIENT=4\n"
            "IDENTIFIANTCLIENT=5\nNOMPRENOMCLIENT=6\nADRESSECLIENT=7\nNUMEROAUTORISATION=8\nDATEAUTORISATION=9\nPRIXVENTE=10\n"
            "TAUXFODEC=11\nMONTANTFODEC=12\nTAUXDROITCONSOMMATION=13\nMONTANTDROITCONSOMMATION=14\nTAUXTVA=15\nMONTANTTVA=16\n"
            "[CSV_OPTIONS]\nSkipLines=1\nDelimiter=;\nEncoding=1\n"
            "[BASE_FORMATS]\nShortDateFormat=dd/mm/yyyy\nDateSeparator=/\nDecimalSeparator=.\nThousandSeparator=#32\n"
            "[DATA_FORMATS_IDENTIFIANT]\nConstantValue=IMPORT\n[DATA_FORMATS_EXERCICE]\nConstantValue=0\n"
            "[DATA_FORMATS_TRIMESTRE]\nConstantValue=0\n[DATA_FORMATS_NUMEROORDRE]\nGeneratorValue=1\nGeneratorStep=1\n")
                    .arg(fixtures + QStringLiteral("monthly-invoices.csv"))
                    .toUtf8());
    }
    const ProgramRun imported = cli({ QStringLiteral("import"), QStringLiteral("--db"), db.directory(), QStringLiteral("--template"),
        templateFile, QStringLiteral("--table"), QStringLiteral("FACTURE"), QStringLiteral("--company"), QStringLiteral("0123456AM000"),
        QStringLiteral("--year"), year });
    // The row without a date is refused, as its date gives its quarter.
    ASSERT_EQ(imported.rc, 3) << imported.err.toStdString() << imported.out.toStdString();
    ASSERT_TRUE(imported.out.contains(QStringLiteral("Lignes insérées : 3"))) << imported.out.toStdString();

    // Typed: one invoice of the first quarter, from the keyboard.
    RunningProgram program(db.path());
    program.chooseFirstCompany();
    ASSERT_EQ(program.main->curMatricule, QStringLiteral("0123456AM000"));
    MainWindow *main = program.main;
    DataModule &module = program.module;
    InvoiceForm *form = typeInvoiceUpToOk(program,
        { QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("F-TAPEE"), QStringLiteral("15/02/") + year, QStringLiteral("1000"),
            QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("18") });
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), form->okButton);
    typeAndEnter(QString()); // OK
    ASSERT_EQ(module.invoices->state(), DataSetState::Browse);

    const QStringList origins = [&] {
        QStringList counts;
        Query q(*module.connection,
            QStringLiteral("select TRIMESTRE, count(*) from FACTURE where IDENTIFIANT = '0123456AM000' group by 1 order by 1"));
        for (const Row &r : q.fetchAll())
            counts << QStringLiteral("T%1: %2").arg(r.value(0).toInt()).arg(r.value(1).toInt());
        return counts;
    }();
    // Ten demonstration invoices a quarter, one imported in each of the
    // first three, and the typed one in the first.
    EXPECT_EQ(origins, (QStringList { "T1: 12", "T2: 11", "T3: 11", "T4: 10" })) << origins.join(QLatin1Char(' ')).toStdString();

    QTemporaryDir byWindow;
    DeclarationGeneration generation(*module.connection);
    for (const char *quarter : { "T1", "T2", "T3", "T4" })
        expect331(readBytes(generation.generate(byWindow.path(), QString::fromLatin1(quarter), *main)), quarter);
    const QByteArray t2 = readBytes(byWindow.path() + QStringLiteral("/FAC_T2_") + year.mid(2));
    const qsizetype at = t2.indexOf("FV-2026-302");
    ASSERT_GE(at, 26);
    const QByteArray imported302 = t2.mid(at - 26, 331);
    EXPECT_EQ(imported302.mid(54, 14), QByteArray("208765432     ")); // kind, then the CIN stored without padding
    EXPECT_EQ(imported302.mid(256, 15), QByteArray("000000000099999")); // the price where a reader takes it
    EXPECT_EQ(imported302.mid(316, 15), QByteArray("000000000007000"));
    module.connection->close();

    QTemporaryDir byCommand;
    for (const char *quarter : { "T1", "T2", "T3", "T4" }) {
        const ProgramRun run = cli({ QStringLiteral("declare"), QStringLiteral("--db"), db.directory(), QStringLiteral("--company"),
            QStringLiteral("0123456AM000"), QStringLiteral("--year"), year, QStringLiteral("--quarter"), QString::fromLatin1(quarter),
            QStringLiteral("--out"), byCommand.path() });
        EXPECT_EQ(run.rc, 0) << run.err.toStdString();
        expect331(readBytes(run.out.trimmed()), quarter);
        EXPECT_EQ(readBytes(run.out.trimmed()), readBytes(byWindow.path() + QStringLiteral("/FAC_") + QString::fromLatin1(quarter)
                                                       + QLatin1Char('_') + year.mid(2)));
    }
}

// The disk fills up after the header, at the first byte, or inside a
// record: the generation says "Disk full", and the directory holds the
// earlier file as it was, or nothing; no history is recorded.
TEST(DeclarationFile, AWriteErrorLeavesTheEarlierFileOrNothing)
{
    const struct
    {
        const char *name;
        qint64 left;
    } failures[] = { { "after the header", 333 }, { "at the first byte", 0 }, { "inside the second record", 333 + 333 + 120 } };
    for (const auto &failure : failures) {
        for (const bool earlier : { true, false }) {
            SCOPED_TRACE(std::string(failure.name) + (earlier ? ", an earlier file" : ", no earlier file"));
            Register r;
            DeclarationGeneration generation(r.db.connection());
            const QString path = r.out.path() + QStringLiteral("/FAC_T1_08");
            QByteArray before;
            if (earlier) {
                generation.generate(r.out.path(), QStringLiteral("T1"), r.context);
                before = readBytes(path);
                ASSERT_EQ(before, expectedT1());
            }
            const int recorded = historyCount(r.db);
            {
                const FillingDisk disk(failure.left);
                try {
                    generation.generate(r.out.path(), QStringLiteral("T1"), r.context);
                    ADD_FAILURE() << "a full disk was not told";
                } catch (const Error &e) {
                    EXPECT_EQ(e.text(), QStringLiteral("Disk full"));
                }
            }
            EXPECT_EQ(filesIn(r.out.path()), earlier ? QStringList { QStringLiteral("FAC_T1_08") } : QStringList());
            EXPECT_EQ(readBytes(path), before);
            EXPECT_EQ(historyCount(r.db), recorded);
        }
    }
}

// The same through the window: the error in a box, the window open, the
// earlier file untouched.
TEST(DeclarationFile, AWriteErrorInTheWindowIsToldAndChangesNothing)
{
    std::unique_ptr<QuarterRegister> r(soundQuarter());
    DeclarationGeneration(r->db.connection()).generate(r->out.path(), QStringLiteral("T1"), r->context);
    const QByteArray before = readBytes(r->out.path() + QStringLiteral("/FAC_T1_08"));
    MessageBox::setAutoAnswer(QMessageBox::Yes); // replace it
    auto *w = new DeclarationWindow(r->context, QStringLiteral("SOCIETE SAINE"), r->db.connection());
    QPointer<DeclarationWindow> alive(w);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    w->directoryEdit->setText(r->out.path());
    MessageBox::resetRecord();
    {
        const FillingDisk disk(333);
        w->okButton->click();
    }
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Disk full"));
    EXPECT_EQ(MessageBox::count(), 1);
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(filesIn(r->out.path()), QStringList { QStringLiteral("FAC_T1_08") });
    EXPECT_EQ(readBytes(r->out.path() + QStringLiteral("/FAC_T1_08")), before);
    delete alive.data();
}

// kestra-cli declare killed at several points of a quarter of 100,000
// invoices: the directory holds the earlier file as it was, or nothing, or
// (when the run had ended) the new file whole with the earlier one kept
// beside it; never a part of a file, under any name.
TEST(DeclarationFile, AKilledGenerationLeavesTheEarlierFileOrNone)
{
    constexpr int Rows = 100000;
    TestDatabase db;
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, EXERCICE) "
                           "values ('0123456', 'A', 'M', '000', 'SOCIETE A', 2008)"));
    {
        Query q(db.connection(),
            QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, TYPEIDCLIENT, "
                           "IDENTIFIANTCLIENT, NOMPRENOMCLIENT, ADRESSECLIENT, NUMEROAUTORISATION, DATEAUTORISATION, PRIXVENTE, TAUXFODEC, "
                           "MONTANTFODEC, TAUXDROITCONSOMMATION, MONTANTDROITCONSOMMATION, TAUXTVA, MONTANTTVA) values ('0123456AM000', "
                           "2008, 1, :n, :f, :d, '1', '1234567ABM000', :c, 'RUE', 'AUT', '2007-01-01', :p, 1, :fodec, 0, 0, 19, :tva)"));
        for (int i = 1; i <= Rows; ++i) {
            q.setParam(QStringLiteral("n"), i);
            q.setParam(QStringLiteral("f"), QStringLiteral("F%1").arg(i));
            q.setParam(QStringLiteral("d"), QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 1, 1) + i % 90 }));
            q.setParam(QStringLiteral("c"), QStringLiteral("CLIENT %1").arg(i % 500));
            q.setParam(QStringLiteral("p"), 1000.0 + i);
            q.setParam(QStringLiteral("fodec"), (1000.0 + i) / 100);
            q.setParam(QStringLiteral("tva"), (1000.0 + i + (1000.0 + i) / 100) * 19 / 100);
            q.execute();
        }
        db.connection().commit();
    }
    db.connection().close();
    QTemporaryDir dirs;
    auto declare = [&](QProcess &p, const QString &out) {
        QDir().mkpath(out);
        p.start(QStringLiteral(KESTRA_CLI),
            { QStringLiteral("declare"), QStringLiteral("--db"), db.directory(), QStringLiteral("--company"), QStringLiteral("0123456AM000"),
                QStringLiteral("--year"), QStringLiteral("2008"), QStringLiteral("--quarter"), QStringLiteral("T1"), QStringLiteral("--out"),
                out });
        EXPECT_TRUE(p.waitForStarted());
    };

    // The earlier file, then the register corrected: the new file differs.
    const QString first = dirs.filePath(QStringLiteral("first"));
    QProcess earlierRun;
    declare(earlierRun, first);
    ASSERT_TRUE(earlierRun.waitForFinished(600000));
    ASSERT_EQ(earlierRun.exitCode(), 0) << earlierRun.readAllStandardError().toStdString();
    const QByteArray earlier = readBytes(first + QStringLiteral("/FAC_T1_08"));
    ASSERT_EQ(records(earlier).size(), Rows + 2);
    db.connection().ensureOpen();
    db.exec(QStringLiteral("update FACTURE set NOMPRENOMCLIENT = 'CLIENT CORRIGE' where NUMEROORDRE = %1").arg(Rows / 2));
    db.connection().commit();
    db.connection().close();

    // How long a whole run takes here tells where to kill the others.
    const QString whole = dirs.filePath(QStringLiteral("whole"));
    QElapsedTimer clock;
    QProcess full;
    clock.start();
    declare(full, whole);
    ASSERT_TRUE(full.waitForFinished(600000));
    const qint64 duration = clock.elapsed();
    ASSERT_EQ(full.exitCode(), 0) << full.readAllStandardError().toStdString();
    const QByteArray corrected = readBytes(whole + QStringLiteral("/FAC_T1_08"));
    ASSERT_EQ(records(corrected).size(), Rows + 2);
    ASSERT_NE(corrected, earlier);

    int run = 0;
    for (const bool withEarlier : { true, false }) {
        for (double at : { 0.05, 0.2, 0.35, 0.5, 0.65, 0.8, 0.9, 0.95, 1.0, 1.2 }) {
            SCOPED_TRACE(QStringLiteral("%1 of the run, %2").arg(at).arg(withEarlier ? "an earlier file" : "no earlier file").toStdString());
            const QString out = dirs.filePath(QStringLiteral("run%1").arg(++run));
            QDir().mkpath(out);
            if (withEarlier) {
                QFile f(out + QStringLiteral("/FAC_T1_08"));
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(earlier);
            }
            QProcess p;
            declare(p, out);
            QThread::msleep(qMax<qint64>(1, qint64(duration * at)));
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
            // Whatever the directory holds is a whole file: the earlier one,
            // or the new one once renamed, with the earlier one kept beside it.
            const QByteArray named = readBytes(out + QStringLiteral("/FAC_T1_08"));
            bool kept = false;
            for (const QString &file : filesIn(out)) {
                const QByteArray content = readBytes(out + QLatin1Char('/') + file);
                EXPECT_TRUE(content == earlier || content == corrected) << file.toStdString() << ": " << content.size() << " bytes";
                kept = kept || (file.startsWith(QStringLiteral("FAC_T1_08_")) && content == earlier);
            }
            if (withEarlier) {
                EXPECT_TRUE(named == earlier || (named == corrected && kept)) << named.size() << " bytes";
            } else {
                EXPECT_TRUE(named.isEmpty() || named == corrected) << named.size() << " bytes";
            }
        }
    }
}
