#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/Backup.h"
#include "data/BackupRecord.h"
#include "data/Config.h"
#include "tests/support/BackupChecks.h"
#include "tests/support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A database with rows in every table: accents, nulls, dates and amounts
// with decimals, as an office's holds them.
void fill(TestDatabase &db)
{
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, VILLE, EXERCICE, ACTIVEON) "
                           "values ('0123456', 'A', 'M', '000', 'SOCIÉTÉ DES ÉTAINS', 'Sfax', 2026, 'O')"));
    db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE) values ('7654321', 'B', 'P', '001')"));
    db.exec(QStringLiteral("insert into TIERS (CODE, TYPEIDENTIFIANT, IDENTIFIANT, NOMBENEFICIAIRE, ADRESSE, DATEAUTORISATION) "
                           "values (1, '1', '1234567ABC000', 'Client « un »', 'Rue de l''Église', '2025-12-31')"));
    db.exec(QStringLiteral("insert into TIERS (CODE) values (2)"));
    db.exec(QStringLiteral("insert into PARAMETRES (EXERCICE) values (2026)"));
    BackupChecks::insertInvoices(db.connection(), 1, 250);
    db.connection().commitRetaining();
}

} // namespace

// The backup holds every row of every table, under a dated name in
// Sauvegardes beside the database or under the name given, with a record
// of its size, BLAKE2b-256 and contents; nothing half-written stays behind.
TEST(Backup, RestoresEveryRowOfEveryTable)
{
    TestDatabase db;
    fill(db);
    const auto original = BackupChecks::everyRow(db.connection());
    QTemporaryDir elsewhere;
    struct Case
    {
        const char *name;
        QString file; // empty: the default name and place
    } cases[] = {
        { "default name", QString() },
        { "named by the operator", elsewhere.filePath(QStringLiteral("clé USB/copie.fbk")) },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Backup::Outcome o = Backup::backup(db.path(), Credentials::defaults(), c.file, Backup::Kind::Manual);
        if (c.file.isEmpty()) {
            EXPECT_EQ(QFileInfo(o.file).absolutePath(), QFileInfo(db.path()).absolutePath() + QStringLiteral("/Sauvegardes"));
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^Kestra_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.fbk$"))
                            .match(QFileInfo(o.file).fileName())
                            .hasMatch())
                << o.file.toStdString();
        } else {
            EXPECT_EQ(o.file, c.file);
        }
        ASSERT_TRUE(QFileInfo::exists(o.file));
        EXPECT_FALSE(QFileInfo::exists(o.file + QStringLiteral(".partiel")));
        EXPECT_EQ(o.size, QFileInfo(o.file).size());
        ASSERT_TRUE(o.figures.has_value()) << o.figuresMissing.toStdString();
        EXPECT_EQ(o.figures->invoices(), 250);
        EXPECT_TRUE(o.describe().contains(QStringLiteral("250 facture(s)"))) << o.describe().toStdString();

        const std::optional<BackupRecord> record = BackupRecord::readFor(o.file);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->size, o.size);
        EXPECT_EQ(record->fingerprint, QCryptographicHash::hash(BackupChecks::fileBytes(o.file), QCryptographicHash::Blake2b_256).toHex());
        EXPECT_EQ(record->kind, QStringLiteral("manuelle"));
        ASSERT_TRUE(record->figures.has_value());
        EXPECT_EQ(record->figures->rows,
            (QMap<QString, qint64> {
                { "FACTURE", 250 }, { "HISTORIQUE_DECLARATION", 0 }, { "PARAMETRES", 1 }, { "SOCIETE", 2 }, { "TIERS", 2 } }));

        QTemporaryDir target;
        const QString restored = Config::databaseName(target.filePath(QStringLiteral("restauree")));
        const Backup::Outcome r = Backup::restore(o.file, restored, Credentials::defaults());
        EXPECT_EQ(r.file, restored);
        EXPECT_EQ(BackupChecks::everyRow(restored), original);
    }
}

TEST(Backup, TakenWhileOthersCommitHoldsTheRowsOfItsStart)
{
    QTemporaryDir dir;
    BackupChecks::backupWhileOthersCommit(QString(), dir.filePath(QStringLiteral("pendant.fbk")), dir.filePath(QStringLiteral("restauree")));
}

// A file cut, changed or foreign is refused, whether a record tells it or
// the engine finds it; the database it was to become is not left behind.
TEST(Backup, DamagedCutOrForeignFilesAreRefusedAndLeaveNothing)
{
    TestDatabase db;
    fill(db);
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("bonne.fbk"));
    Backup::backup(db.path(), Credentials::defaults(), good, Backup::Kind::Manual);
    const QByteArray bytes = BackupChecks::fileBytes(good);
    const QByteArray record = BackupChecks::fileBytes(BackupRecord::pathFor(good));
    QByteArray flipped = bytes;
    flipped[bytes.size() / 2] = static_cast<char>(flipped[bytes.size() / 2] ^ 0x10);

    struct Case
    {
        const char *name;
        QByteArray content;
        QByteArray record; // empty: none beside the file
        QString said;
    } cases[] = {
        { "cut, with its record", bytes.left(bytes.size() / 2), record, QStringLiteral("octets au lieu des") },
        { "cut, without a record", bytes.left(bytes.size() / 2), {}, QStringLiteral("incomplet") },
        { "cut just after its header", bytes.left(600), {}, QStringLiteral("n'a pas pu être restaurée") },
        { "one bit changed, with its record", flipped, record, QStringLiteral("BLAKE2b-256") },
        { "not a backup", "[CheminBase]\r\nRep=/srv/kestra\r\n", {}, QStringLiteral("n'a pas pu être restaurée") },
        { "empty", QByteArray(), {}, QStringLiteral("n'a pas pu être restaurée") },
        { "a record that is not one", bytes, "n'importe quoi", QStringLiteral("relevé") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir work;
        const QString file = work.filePath(QStringLiteral("sauvegarde.fbk"));
        BackupChecks::writeBytes(file, c.content);
        if (!c.record.isEmpty())
            BackupChecks::writeBytes(BackupRecord::pathFor(file), c.record);
        const QString target = work.filePath(QStringLiteral("restauree"));
        try {
            Backup::restore(file, Config::databaseName(target), Credentials::defaults());
            ADD_FAILURE() << "restored";
        } catch (const Error &e) {
            EXPECT_TRUE(e.text().contains(c.said)) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(file)) << e.text().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(target)); // not even the directory made for it
        EXPECT_THROW(Backup::verify(file, Credentials::defaults()), Error);
        EXPECT_EQ(BackupChecks::fileBytes(file), c.content); // the file itself is left as it was
    }
}

// A restore makes a new database and nothing else: an existing one, the
// open database itself included, is never written over.
TEST(Backup, RestoreNeverOverwritesADatabase)
{
    TestDatabase db;
    fill(db);
    TestDatabase other;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("b.fbk"));
    Backup::backup(db.path(), Credentials::defaults(), file, Backup::Kind::Manual);
    db.exec(QStringLiteral("delete from FACTURE where NUMEROORDRE > 200"));
    db.connection().commitRetaining();
    for (TestDatabase *target : { &db, &other }) {
        const auto before = BackupChecks::everyRow(target->connection());
        try {
            Backup::restore(file, target->path(), Credentials::defaults());
            ADD_FAILURE() << "restored over " << target->path().toStdString();
        } catch (const Error &e) {
            EXPECT_TRUE(e.text().contains(QStringLiteral("existe déjà"))) << e.text().toStdString();
        }
        EXPECT_EQ(BackupChecks::everyRow(target->connection()), before);
    }
    // Nor is a backup written over an existing file.
    const QByteArray kept = BackupChecks::fileBytes(file);
    EXPECT_THROW(Backup::backup(db.path(), Credentials::defaults(), file, Backup::Kind::Manual), Error);
    EXPECT_EQ(BackupChecks::fileBytes(file), kept);
}

// The check restores into a temporary place and compares with what the
// backup recorded: a record that does not match its backup is told row by
// row and sum by sum, and a restore from it leaves nothing.
TEST(Backup, VerifyComparesTheRestoredCopyWithTheRecord)
{
    TestDatabase db;
    fill(db);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("b.fbk"));
    const Backup::Outcome o = Backup::backup(db.path(), Credentials::defaults(), file, Backup::Kind::Manual);

    const Backup::Verification good = Backup::verify(file, Credentials::defaults());
    EXPECT_TRUE(good.ok()) << good.differences.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(good.recorded.has_value());
    EXPECT_EQ(good.restored.rows, o.figures->rows);
    EXPECT_NEAR(good.restored.amounts.value(QStringLiteral("PRIXVENTE")), 250 * 100.0 + 0.001 * 250 * 251 / 2, 1e-6);

    // The record of another state of the database: one invoice and its
    // amount more than the file holds.
    QByteArray record = BackupChecks::fileBytes(BackupRecord::pathFor(file));
    record.replace("FACTURE=250", "FACTURE=251");
    const QString sum = QString::number(o.figures->amounts.value(QStringLiteral("PRIXVENTE")), 'g', 17);
    record.replace("PRIXVENTE=" + sum.toLatin1(), "PRIXVENTE=" + QByteArray::number(o.figures->amounts.value(QStringLiteral("PRIXVENTE")) + 100.25, 'g', 17));
    BackupChecks::writeBytes(BackupRecord::pathFor(file), record);
    const Backup::Verification bad = Backup::verify(file, Credentials::defaults());
    EXPECT_EQ(bad.differences,
        (QStringList { QStringLiteral("Table FACTURE : 250 lignes au lieu de 251"),
            QStringLiteral("Somme de PRIXVENTE : %1 au lieu de %2")
                .arg(QString::number(o.figures->amounts.value(QStringLiteral("PRIXVENTE")), 'f', 3),
                    QString::number(o.figures->amounts.value(QStringLiteral("PRIXVENTE")) + 100.25, 'f', 3)) }));
    const QString target = Config::databaseName(dir.filePath(QStringLiteral("restauree")));
    try {
        Backup::restore(file, target, Credentials::defaults());
        ADD_FAILURE() << "restored";
    } catch (const Error &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("Table FACTURE : 250 lignes au lieu de 251"))) << e.text().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(target));

    // Without a record there is nothing to compare with, and it is said.
    QFile::remove(BackupRecord::pathFor(file));
    const Backup::Verification alone = Backup::verify(file, Credentials::defaults());
    EXPECT_FALSE(alone.recorded.has_value());
    EXPECT_TRUE(alone.recordMissing.contains(QStringLiteral("aucun relevé"))) << alone.recordMissing.toStdString();
    EXPECT_EQ(alone.restored.rows, o.figures->rows);
}

// Automatic copies go beside the database and the newest are kept, as many
// as the configuration says (10 unless it says otherwise); a backup made on
// request is never removed.
TEST(AutomaticCopies, TheNewestAreKeptAndNeverAManualBackup)
{
    struct Case
    {
        const char *name;
        const char *ini;
        int kept;
    } cases[] = {
        { "default", "", 10 },
        { "set in the configuration", "[Sauvegarde]\r\nCopiesAutomatiques=3\r\n", 3 },
        { "a count that is none", "[Sauvegarde]\r\nCopiesAutomatiques=zéro\r\n", 10 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase db;
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("CheminBase.ini"));
        BackupChecks::writeBytes(ini, c.ini);
        const Config::BackupSettings settings = Config::readBackupSettings(ini);
        EXPECT_EQ(settings.automaticCopiesKept, c.kept);
        const QString manual = Backup::backup(db.path(), Credentials::defaults(), QString(), Backup::Kind::Manual).file;
        QStringList made;
        for (int i = 0; i < 12; ++i) {
            const Backup::Kind kind = i % 2 ? Backup::Kind::BeforeImport : Backup::Kind::BeforeReset;
            made << AutomaticCopies::make(db.connection(), kind, settings).file;
            EXPECT_TRUE(QFileInfo::exists(made.last()));
        }
        const QString copies = AutomaticCopies::directory(db.path(), settings);
        EXPECT_EQ(copies, QFileInfo(manual).absolutePath());
        EXPECT_EQ(AutomaticCopies::list(copies), made.mid(made.size() - c.kept));
        for (const QString &gone : made.mid(0, made.size() - c.kept)) {
            EXPECT_FALSE(QFileInfo::exists(gone)) << gone.toStdString();
            EXPECT_FALSE(QFileInfo::exists(BackupRecord::pathFor(gone))) << gone.toStdString();
        }
        EXPECT_TRUE(QFileInfo::exists(manual));
        EXPECT_TRUE(QFileInfo::exists(BackupRecord::pathFor(manual)));
        EXPECT_EQ(BackupRecord::readFor(made.last())->kind, QStringLiteral("avant importation"));
    }
}
