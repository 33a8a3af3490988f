#include "declaration/DeclarationHistory.h"

#include "declaration/DeclarationGeneration.h"
#include "tests/declaration/RegisterFixture.h"
#include "tests/support/ProgramRun.h"

#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

#include <memory>

namespace {

ProgramRun cli(const QStringList &args)
{
    return runProgram(QStringLiteral(KESTRA_CLI), args, 120000);
}

QStringList quarterArgs(const QString &command, const QString &db, const QString &company)
{
    return { command, QStringLiteral("--db"), db, QStringLiteral("--company"), company, QStringLiteral("--year"), QStringLiteral("2008"),
        QStringLiteral("--quarter"), QStringLiteral("T1") };
}

QString sha256Of(const QString &path)
{
    return QString::fromLatin1(QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256).toHex());
}

} // namespace

// The declaration due on a day is the last ended quarter's, 28 days after
// its end; generated, it says when.
TEST(DeclarationHistory, TheDeclarationDueAndItsDeadline)
{
    const struct
    {
        QDate today;
        const char *due;
        QDate deadline;
        const char *text;
    } cases[] = {
        { QDate(2026, 10, 1), "T3 2026", QDate(2026, 10, 28), "Déclaration T3 2026 à déposer avant le 28/10/2026" },
        { QDate(2026, 10, 28), "T3 2026", QDate(2026, 10, 28), "Déclaration T3 2026 à déposer avant le 28/10/2026" },
        { QDate(2026, 10, 29), "T3 2026", QDate(2026, 10, 28), "Déclaration T3 2026 à déposer avant le 28/10/2026 : délai dépassé" },
        { QDate(2027, 1, 5), "T4 2026", QDate(2027, 1, 28), "Déclaration T4 2026 à déposer avant le 28/01/2027" },
        { QDate(2026, 4, 30), "T1 2026", QDate(2026, 4, 28), "Déclaration T1 2026 à déposer avant le 28/04/2026 : délai dépassé" },
        { QDate(2026, 6, 30), "T1 2026", QDate(2026, 4, 28), "Déclaration T1 2026 à déposer avant le 28/04/2026 : délai dépassé" },
        { QDate(2026, 7, 1), "T2 2026", QDate(2026, 7, 28), "Déclaration T2 2026 à déposer avant le 28/07/2026" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString());
        const DeclarationHistory::Due due = DeclarationHistory::dueOn(c.today);
        EXPECT_EQ(QStringLiteral("%1 %2").arg(due.trimestre()).arg(due.exercice), QString::fromLatin1(c.due));
        EXPECT_EQ(due.deadline, c.deadline);
        EXPECT_EQ(DeclarationHistory::dueText(due, std::nullopt, c.today), QString::fromUtf8(c.text));
    }
    DeclarationRecord generated;
    generated.dateGeneration = QDateTime(QDate(2026, 10, 20), QTime(14, 35, 12));
    EXPECT_EQ(DeclarationHistory::dueText(DeclarationHistory::dueOn(QDate(2026, 11, 2)), generated, QDate(2026, 11, 2)),
        QStringLiteral("Déclaration T3 2026 générée le 20/10/2026 à 14:35"));
}

// Each generation is recorded with what identifies its file; the last one
// of a quarter is the one shown, and the status of the company follows.
TEST(DeclarationHistory, RecordedAndReadBack)
{
    Register r;
    DeclarationGeneration generation(r.db.connection());
    const QString t1 = generation.generate(r.out.path(), QStringLiteral("T1"), r.context);
    const QByteArray firstSha = generation.sha256();
    generation.generate(r.out.path(), QStringLiteral("T2"), r.context);
    r.db.exec(QStringLiteral("delete from FACTURE where NUMEROFACTURE = 'AVOIR'"));
    r.db.connection().commitRetaining();
    generation.generate(r.out.path(), QStringLiteral("T1"), r.context);
    EXPECT_NE(generation.sha256(), firstSha);
    EXPECT_EQ(QString::fromLatin1(generation.sha256()), sha256Of(t1));
    EXPECT_FALSE(generation.keptAs().isEmpty());
    EXPECT_EQ(QString::fromLatin1(firstSha), sha256Of(generation.keptAs()));

    const QVector<DeclarationRecord> all = DeclarationHistory::list(r.db.connection());
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].identifiant, QStringLiteral("0123456AM000"));
    EXPECT_EQ(all[0].exercice, 2008);
    EXPECT_EQ(all[0].trimestre, QStringLiteral("T1"));
    EXPECT_EQ(all[0].nombreFactures, 3);
    EXPECT_DOUBLE_EQ(all[0].totalPrixVente, 1150.25);
    EXPECT_EQ(all[0].empreinte, QString::fromLatin1(firstSha));
    EXPECT_EQ(all[0].chemin, t1);
    EXPECT_FALSE(all[0].poste.isEmpty());
    EXPECT_LE(qAbs(all[0].dateGeneration.secsTo(QDateTime::currentDateTime())), 120);
    EXPECT_EQ(all[1].trimestre, QStringLiteral("T2"));

    const std::optional<DeclarationRecord> last
        = DeclarationHistory::last(r.db.connection(), QStringLiteral("0123456AM000"), 2008, QStringLiteral("T1"));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->nombreFactures, 2);
    EXPECT_FALSE(DeclarationHistory::last(r.db.connection(), QStringLiteral("0123456AM000"), 2008, QStringLiteral("T3")).has_value());
    EXPECT_TRUE(DeclarationHistory::list(r.db.connection(), QStringLiteral("7654321BPM001")).isEmpty());

    // The status bar's text: the due quarter is today's, not generated here.
    const QDate today = QDate::currentDate();
    const DeclarationHistory::Due due = DeclarationHistory::dueOn(today);
    const DeclarationHistory::Status status = DeclarationHistory::statusOf(r.db.connection(), QStringLiteral("0123456AM000"), today);
    EXPECT_EQ(status.text, DeclarationHistory::dueText(due, std::nullopt, today));
    EXPECT_EQ(status.late, today > due.deadline);
}

// kestra-cli check: 0 without anomaly, 4 with warnings only, 5 with an
// error; what it cannot run says why, with 1 or 2.
TEST(CheckCommand, ExitCodesSayWhatWasFound)
{
    std::unique_ptr<QuarterRegister> sound(soundQuarter());
    Register warnings;
    std::unique_ptr<QuarterRegister> errors(everyAnomaly());
    for (TestDatabase *db : { &sound->db, &warnings.db, &errors->db })
        db->connection().close();
    const struct
    {
        const char *name;
        QStringList args;
        int rc;
        QString out;
    } cases[] = {
        { "no anomaly", quarterArgs("check", sound->db.directory(), "7654321BP000"), 0,
            "Société 7654321BP000 : T1 2008\nFactures : 2 ; H.T : 2 000,000 ; FODEC : 20,000 ; droit de consommation : 0,000 ; TVA : "
            "363,600\nErreurs : 0 ; avertissements : 0\n" },
        { "warnings", quarterArgs("check", warnings.db.directory(), "0123456AM000"), 4, "Erreurs : 0 ; avertissements : 5\n" },
        { "errors", quarterArgs("check", errors->db.directory(), "all"), 5, "Erreurs : 5 ; avertissements : 22\n" },
        { "no such company", quarterArgs("check", sound->db.directory(), "1111111AM000"), 1, QString() },
        { "no database", quarterArgs("check", warnings.out.filePath("none"), "all"), 1, QString() },
        { "a typed quarter", { "check", "--db", sound->db.directory(), "--company", "all", "--year", "2008", "--quarter", "t1" }, 2,
            QString() },
        { "no year", { "check", "--db", sound->db.directory(), "--company", "all", "--quarter", "T1" }, 2, QString() },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = cli(c.args);
        EXPECT_EQ(run.rc, c.rc) << run.err.toStdString();
        EXPECT_TRUE(run.out.endsWith(c.out)) << run.out.toStdString();
        if (c.rc == 1 || c.rc == 2) {
            EXPECT_FALSE(run.err.isEmpty());
        }
    }
    // The check writes nothing anywhere.
    EXPECT_EQ(QDir(warnings.out.path()).entryList(QDir::Files), QStringList());
}

// kestra-cli declare writes whatever the checks found and says it on stderr
// with the file's SHA-256; again, it replaces the file and keeps the earlier
// one; with --strict it writes nothing when anything was found.
TEST(DeclareCommand, AnomaliesOnStderrStrictWritesNothing)
{
    Register r;
    r.db.connection().close();
    QStringList args = quarterArgs(QStringLiteral("declare"), r.db.directory(), QStringLiteral("0123456AM000"));
    args << QStringLiteral("--out") << r.out.path();
    const QString path = r.out.path() + QStringLiteral("/FAC_T1_08");

    const ProgramRun first = cli(args);
    EXPECT_EQ(first.rc, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, path + QLatin1Char('\n'));
    EXPECT_TRUE(first.err.contains(QStringLiteral("Avertissement\t3\tF-12\tBEN SALAH\tNUMEROAUTORISATION\t"))) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(QStringLiteral("SHA-256 : %1  %2\n").arg(sha256Of(path), path))) << first.err.toStdString();
    expectFile(readBytes(path), expectedT1());

    const ProgramRun again = cli(args);
    EXPECT_EQ(again.rc, 0) << again.err.toStdString();
    const QStringList files = QDir(r.out.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Fichier précédent conservé : %1/%2\n").arg(r.out.path(), files[1])))
        << again.err.toStdString();
    EXPECT_EQ(readBytes(r.out.filePath(files[1])), expectedT1());

    QFile::remove(path);
    const ProgramRun strict = cli(args << QStringLiteral("--strict"));
    EXPECT_EQ(strict.rc, 4);
    EXPECT_EQ(strict.out, QString());
    EXPECT_TRUE(strict.err.contains(QStringLiteral("Fichier non écrit (--strict) : ") + path)) << strict.err.toStdString();
    EXPECT_EQ(QDir(r.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList { files[1] });

    std::unique_ptr<QuarterRegister> errors(everyAnomaly());
    errors->db.connection().close();
    QStringList errorArgs = quarterArgs(QStringLiteral("declare"), errors->db.directory(), QStringLiteral("all"));
    errorArgs << QStringLiteral("--out") << errors->out.path() << QStringLiteral("--strict");
    EXPECT_EQ(cli(errorArgs).rc, 5);
    EXPECT_EQ(QDir(errors->out.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("012345XOM01") });
    EXPECT_EQ(QDir(errors->out.filePath(QStringLiteral("012345XOM01"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// kestra-cli history lists what was filed, on the window's side and the
// command line's alike.
TEST(HistoryCommand, ListsWhatWasFiled)
{
    Register r;
    DeclarationGeneration generation(r.db.connection());
    generation.generate(r.out.path(), QStringLiteral("T2"), r.context);
    r.db.connection().close();
    QStringList args = quarterArgs(QStringLiteral("declare"), r.db.directory(), QStringLiteral("0123456AM000"));
    ASSERT_EQ(cli(args << QStringLiteral("--out") << r.out.path()).rc, 0);

    const ProgramRun all = cli({ QStringLiteral("history"), QStringLiteral("--db"), r.db.directory() });
    EXPECT_EQ(all.rc, 0) << all.err.toStdString();
    const QStringList lines = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
        QStringLiteral("Société\tExercice\tTrimestre\tGénérée le\tPoste\tFactures\tH.T\tFODEC\tDroit de consommation\tTVA\tSHA-256\tFichier"));
    const QStringList t1 = lines[2].split(QLatin1Char('\t'));
    ASSERT_EQ(t1.size(), 12);
    EXPECT_EQ(t1.mid(0, 3), (QStringList { "0123456AM000", "2008", "T1" }));
    EXPECT_EQ(t1.mid(5, 5), (QStringList { "3", "1 150,250", "10,000", "31,313", "182,479" }));
    EXPECT_EQ(t1[10], sha256Of(r.out.path() + QStringLiteral("/FAC_T1_08")));
    EXPECT_EQ(t1[11], r.out.path() + QStringLiteral("/FAC_T1_08"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("0123456AM000\t2008\tT2\t")));

    const ProgramRun other = cli({ QStringLiteral("history"), QStringLiteral("--db"), r.db.directory(), QStringLiteral("--company"),
        QStringLiteral("7654321BPM001") });
    EXPECT_EQ(other.rc, 0);
    EXPECT_EQ(other.out, QStringLiteral("Aucune déclaration enregistrée.\n"));
    EXPECT_EQ(cli({ QStringLiteral("history") }).rc, 2);
}

// An older database that cannot take the table (made read-only) still
// opens and declares; the history says why it is missing.
TEST(DeclarationHistory, AReadOnlyOlderDatabaseOpensAndSaysWhyItHasNone)
{
    const QString gfix = QStandardPaths::findExecutable(QStringLiteral("gfix"));
    ASSERT_FALSE(gfix.isEmpty()) << "gfix (firebird3.0-utils) is needed to make a database read-only";
    QTemporaryDir dir;
    QFile script(QStringLiteral(KESTRA_FIXTURES_DIR "/data/schema-first-release.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    Schema::createDatabase(dir.filePath(QStringLiteral("Kestra.GDB")), QString::fromUtf8(script.readAll()));
    const ProgramRun readOnly = runProgram(gfix,
        { QStringLiteral("-mode"), QStringLiteral("read_only"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
            dir.filePath(QStringLiteral("Kestra.GDB")) },
        60000);
    ASSERT_EQ(readOnly.rc, 0) << readOnly.err.toStdString();

    Connection c;
    c.setDatabaseName(dir.filePath(QStringLiteral("Kestra.GDB")));
    c.open();
    EXPECT_FALSE(c.upgradeError().isEmpty());
    try {
        DeclarationHistory::last(c, QStringLiteral("0123456AM000"), 2008, QStringLiteral("T1"));
        ADD_FAILURE() << "a history without its table was read";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Historique des déclarations : "))) << e.what();
        EXPECT_TRUE(e.text().contains(QStringLiteral("\nLa base n'a pas pu être mise à jour à l'ouverture : ") + c.upgradeError())) << e.what();
    }
    c.close();

    // The declaration is still written; only its record is missing, and the command says so.
    QTemporaryDir out;
    const ProgramRun run = cli({ QStringLiteral("declare"), QStringLiteral("--db"), dir.path(), QStringLiteral("--company"),
        QStringLiteral("0123456AM000"), QStringLiteral("--year"), QStringLiteral("2008"), QStringLiteral("--quarter"), QStringLiteral("T1"),
        QStringLiteral("--out"), out.path() });
    EXPECT_EQ(run.rc, 0) << run.err.toStdString();
    EXPECT_EQ(readBytes(out.path() + QStringLiteral("/FAC_T1_08")).count("\r\n"), 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Historique des déclarations : "))) << run.err.toStdString();
}

