#include "declaration/DeclarationGeneration.h"

#include "tests/declaration/RegisterFixture.h"

#include "app/CompanySelection.h"
#include "data/DataSet.h"
#include "data/Query.h"
#include "declaration/windows/DeclarationWindow.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(DeclarationGeneration, GoldenFileByteForByte)
{
    Register r;
    DeclarationGeneration generation(r.db.connection());
    const QString path = generation.generate(r.out.path(), QStringLiteral("T1"), r.context);
    EXPECT_EQ(path, r.out.path() + QStringLiteral("/FAC_T1_08"));
    expectFile(readBytes(path), expectedT1());

    // Generating again replaces the file; another quarter holds its own invoice only.
    expectFile(readBytes(generation.generate(r.out.path(), QStringLiteral("T1"), r.context)), expectedT1());
    const QByteArray t2 = readBytes(generation.generate(r.out.path(), QStringLiteral("T2"), r.context));
    EXPECT_EQ(t2.count("\r\n"), 3);
    EXPECT_TRUE(t2.contains("AUTRE TRIMESTRE"));
    const QByteArray t4 = readBytes(generation.generate(r.out.path(), QStringLiteral("T4"), r.context));
    EXPECT_EQ(t4.count("\r\n"), 2); // "EF" and "TF" only
}

// The declaration reads one state of the database: this workstation's own
// pending deletion is in it (the invoice is gone), an invoice another
// workstation commits afterwards is in the next one.
TEST(DeclarationGeneration, ReadsOwnPendingWorkAndOthersCommittedWork)
{
    Register r;
    r.db.exec(QStringLiteral("delete from FACTURE where NUMEROFACTURE = ' F-12 '")); // not committed
    DeclarationGeneration generation(r.db.connection());
    const QByteArray without = readBytes(generation.generate(r.out.path(), QStringLiteral("T1"), r.context));
    EXPECT_EQ(without.count("\r\n"), 4);
    EXPECT_FALSE(without.contains("F-12"));

    auto other = r.db.otherConnection();
    Query insert(*other, QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, PRIXVENTE) "
                                        "values ('0123456AM000', 2008, 1, 7, 'AUTRE POSTE', 5)"));
    insert.execute();
    other->commitRetaining();
    const QByteArray with = readBytes(generation.generate(r.out.path(), QStringLiteral("T1"), r.context));
    EXPECT_EQ(with.count("\r\n"), 5);
    EXPECT_TRUE(with.contains("AUTRE POSTE"));
}

TEST(DeclarationGeneration, QuarterTextOutsideTheListKeepsTheLastQuarter)
{
    Register r;
    DeclarationGeneration fresh(r.db.connection());
    // No generation ran yet in this window: nothing matches.
    const QByteArray none = readBytes(fresh.generate(r.out.path(), QStringLiteral("t1"), r.context));
    EXPECT_EQ(none.count("\r\n"), 2);
    EXPECT_TRUE(none.startsWith("EF0123456AM0002008t1"));

    fresh.generate(r.out.path(), QStringLiteral("T2"), r.context);
    // The quarter bound by the earlier press stays: the T2 invoice, under the typed text.
    const QByteArray kept = readBytes(fresh.generate(r.out.path(), QStringLiteral("T5"), r.context));
    EXPECT_EQ(kept.count("\r\n"), 3);
    EXPECT_TRUE(kept.contains("DF0123456AM0002008T5000004F-T2"));

    // A directory typed with blanks: written as typed, shown trimmed.
    QDir().mkpath(r.out.path() + QStringLiteral("/d  "));
    const QString path = fresh.generate(r.out.path() + QStringLiteral("/d  "), QStringLiteral("T1"), r.context);
    EXPECT_EQ(path, r.out.path() + QStringLiteral("/d/FAC_T1_08"));
    EXPECT_TRUE(QFile::exists(r.out.path() + QStringLiteral("/d  /FAC_T1_08")));
}

TEST(DeclarationGeneration, FailuresStopAtTheirStepAndKeepWhatWasWritten)
{
    Register r;
    DeclarationGeneration generation(r.db.connection());
    try {
        generation.generate(r.out.path() + QStringLiteral("/absent"), QStringLiteral("T1"), r.context);
        FAIL() << "wrote into a missing directory";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Invalid filename"));
    }
    WorkingContext noYear = r.context;
    noYear.curExercice = QStringLiteral("20x8");
    try {
        generation.generate(r.out.path(), QStringLiteral("T1"), noYear);
        FAIL() << "a year that is not a number was accepted";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'20x8' is not a valid integer value"));
    }
    // The header was written before the year was read: it went with the
    // file, which never had a name.
    EXPECT_FALSE(QFile::exists(r.out.path() + QStringLiteral("/FAC_T1_x8")));
    EXPECT_EQ(QDir(r.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(DeclarationWindow, OkWritesConfirmsAndCloses)
{
    Register r;
    auto *w = new DeclarationWindow(r.context, QStringLiteral("SOCIÉTÉ TEST"), r.db.connection());
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<DeclarationWindow> alive(w);
    w->show();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Génération des Fichiers de Déclaration"));
    EXPECT_EQ(w->matriculeLabel->text(), QStringLiteral("0123456"));
    EXPECT_EQ(w->exerciceLabel->text(), QStringLiteral("2008"));
    EXPECT_EQ(w->quarterCombo->currentText(), QStringLiteral("T1"));

    w->directoryEdit->setText(r.out.path() + QStringLiteral("/absent"));
    w->okButton->click();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Invalid filename"));
    EXPECT_EQ(MessageBox::count(), 1); // no confirmation
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(w->isVisible());

    w->directoryEdit->setText(r.out.path());
    w->okButton->click();
    EXPECT_EQ(MessageBox::count(), 3);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Fichier de déclaration Crée"));
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
    expectFile(readBytes(r.out.path() + QStringLiteral("/FAC_T1_08")), expectedT1());
}

// OK is the window's default button: Enter in the directory box (and in the
// quarter) presses it; Enter on "Fermer" closes without writing.
TEST(DeclarationWindow, EnterPressesOk)
{
    const struct
    {
        const char *where;
        bool writes;
    } cases[] = { { "directoryEdit", true }, { "quarterCombo", true }, { "closeButton", false } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        Register r;
        auto *w = new DeclarationWindow(r.context, QStringLiteral("SOCIÉTÉ TEST"), r.db.connection());
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<DeclarationWindow> alive(w);
        w->show();
        QApplication::setActiveWindow(w);
        w->directoryEdit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w->directoryEdit, r.out.path());
        QWidget *target = w->findChild<QWidget *>(QString::fromLatin1(c.where));
        ASSERT_NE(target, nullptr);
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_TRUE(alive.isNull() || !alive->isVisible());
        EXPECT_EQ(QFile::exists(r.out.path() + QStringLiteral("/FAC_T1_08")), c.writes);
        EXPECT_EQ(MessageBox::lastText(), c.writes ? QStringLiteral("Fichier de déclaration Crée") : QString());
        delete alive.data();
    }
}

TEST(DeclareCommand, WritesTheSameBytesAndRefusesBadInput)
{
    Register r;
    r.db.connection().close();
    const QString dbDir = r.db.directory();
    auto run = [&](const QStringList &args, int expectedCode) {
        QProcess p;
        p.start(QStringLiteral(KESTRA_CLI), QStringList { QStringLiteral("declare") } + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), expectedCode) << args.join(QLatin1Char(' ')).toStdString() << " " << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    const QString path = run({ "--db", dbDir, "--company", "0123456AM000", "--year", "2008", "--quarter", "T1", "--out", r.out.path() }, 0);
    EXPECT_EQ(path, r.out.path() + QStringLiteral("/FAC_T1_08"));
    expectFile(readBytes(path), expectedT1());

    const QString all = run({ "--db", dbDir, "--company", "all", "--year", "2008", "--quarter", "T1", "--out", r.out.path() }, 0);
    expectFile(readBytes(r.out.path() + QStringLiteral("/0123456AM000/FAC_T1_08")), expectedT1());
    EXPECT_TRUE(all.endsWith(QStringLiteral("0123456AM000/FAC_T1_08")));

    run({ "--db", dbDir, "--company", "9999999AM000", "--year", "2008", "--quarter", "T1", "--out", r.out.path() }, 1);
    run({ "--db", dbDir, "--company", "0123456AM000", "--year", "2008", "--quarter", "T5", "--out", r.out.path() }, 2);
    run({ "--db", dbDir, "--company", "0123456AM000", "--year", "08", "--quarter", "T1", "--out", r.out.path() }, 2);
    run({ "--db", dbDir, "--company", "0123456AM000", "--year", "2008", "--quarter", "T1", "--out", r.out.path() + "/absent" }, 1);
}
