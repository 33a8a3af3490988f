#include "tests/support/BackupChecks.h"

#include "data/Backup.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/DatabaseFigures.h"
#include "data/Query.h"
#include "tests/support/TestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>

namespace BackupChecks {

QMap<QString, QList<QStringList>> everyRow(Connection &connection)
{
    QMap<QString, QList<QStringList>> out;
    for (const QString &table : DatabaseFigures::tables(connection)) {
        Query q(connection, QStringLiteral("select * from ") + table);
        q.prepare();
        QStringList order;
        for (int i = 1; i <= q.columnCount(); ++i)
            order << QString::number(i);
        q.setSql(QStringLiteral("select * from %1 order by %2").arg(table, order.join(QLatin1Char(','))));
        q.open();
        QList<QStringList> rows;
        Row row;
        while (q.fetch(row)) {
            QStringList values;
            for (const QVariant &v : std::as_const(row))
                values << (v.isValid() ? v.toString() : QStringLiteral("<null>"));
            rows << values;
        }
        out.insert(table, rows);
    }
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QMap<QString, QList<QStringList>> everyRow(const QString &databaseName)
{
    Connection c;
    c.setDatabaseName(databaseName);
    c.open();
    auto rows = everyRow(c);
    c.close();
    return rows;
}

void insertInvoices(Connection &connection, int from, int to)
{
    Query q(connection,
        QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, PRIXVENTE, "
                       "MONTANTTVA) values ('BACKUP', 2026, 1, :n, :numero, '2026-02-10', :prix, :tva)"));
    for (int n = from; n <= to; ++n) {
        q.setParam(QStringLiteral("n"), n);
        q.setParam(QStringLiteral("numero"), QStringLiteral("F-%1").arg(n));
        q.setParam(QStringLiteral("prix"), 100.0 + n / 1000.0);
        q.setParam(QStringLiteral("tva"), 19.0 + n / 1000.0);
        q.execute();
    }
}

namespace {

QList<int> invoiceNumbers(const QString &databaseName)
{
    Connection c;
    c.setDatabaseName(databaseName);
    c.open();
    QList<int> out;
    {
        Query q(c, QStringLiteral("select NUMEROORDRE from FACTURE order by NUMEROORDRE"));
        q.open();
        Row row;
        while (q.fetch(row))
            out << row.value(0).toInt();
    }
    c.close();
    return out;
}

} // namespace

void backupWhileOthersCommit(const QString &serverPrefix, const QString &file, const QString &restoreDirectory)
{
    constexpr int Before = 2000;
    TestDatabase db(serverPrefix);
    insertInvoices(db.connection(), 1, Before);
    db.connection().commitRetaining();
    // Begun before the backup, committed once it has begun: not in it.
    std::unique_ptr<Connection> pending = db.otherConnection();
    insertInvoices(*pending, 900000, 900000);
    std::unique_ptr<Connection> writer = db.otherConnection();

    int next = Before + 1;
    bool reading = false; // the engine writes rows: its snapshot was taken
    bool pendingCommitted = false;
    QList<int> maybe; // committed before the engine said it reads rows
    QList<int> after; // committed while it did
    const Backup::ProgressCallback progress = [&](const Backup::Progress &p) {
        if (p.text.contains(QLatin1String("de la table")))
            reading = true;
        if (reading && !pendingCommitted) {
            pending->commitRetaining();
            pendingCommitted = true;
        }
        if (next > Before + 300)
            return;
        insertInvoices(*writer, next, next);
        writer->commitRetaining();
        (reading ? after : maybe) << next;
        ++next;
    };
    const Backup::Outcome o = Backup::backup(db.path(), Credentials::defaults(), file, Backup::Kind::Manual, progress);
    ASSERT_TRUE(pendingCommitted);
    ASSERT_FALSE(after.isEmpty()) << "nothing was committed while the backup read rows";
    ASSERT_TRUE(o.figures.has_value()) << o.figuresMissing.toStdString();

    const QString restored = Config::databaseName(restoreDirectory);
    const Backup::Outcome r = Backup::restore(file, restored, Credentials::defaults());
    const QList<int> numbers = invoiceNumbers(restored);
    // A run 1..k: nothing committed later, nothing skipped.
    ASSERT_GE(numbers.size(), Before);
    for (int i = 0; i < numbers.size(); ++i)
        ASSERT_EQ(numbers[i], i + 1) << "the backup holds invoice " << numbers[i] << " without " << i + 1;
    EXPECT_LE(numbers.size(), Before + maybe.size());
    EXPECT_FALSE(numbers.contains(900000));
    for (int n : std::as_const(after))
        EXPECT_FALSE(numbers.contains(n)) << n;
    // What the backup says it holds is what came back.
    EXPECT_EQ(o.figures->invoices(), numbers.size());
    ASSERT_TRUE(r.figures.has_value());
    EXPECT_EQ(r.figures->invoices(), numbers.size());
    pending->close();
    writer->close();
}

} // namespace BackupChecks
