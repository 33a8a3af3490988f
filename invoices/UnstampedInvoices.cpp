#include "invoices/UnstampedInvoices.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/InvoiceNumbering.h"
#include "data/Query.h"
#include "invoices/InvoiceStamping.h"

#include <limits>

namespace {

const QString Unstamped = QStringLiteral("(TRIMESTRE < 1 or TRIMESTRE > 4 or EXERCICE < 1000 or EXERCICE > 9999)");

void execute(Connection &connection, const QString &sql)
{
    Query(connection, sql).execute();
}

QString rightTrimmed(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

namespace UnstampedInvoices {

QList<Group> find(Connection &connection)
{
    Query q(connection,
        QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, count(*) from FACTURE where ") + Unstamped
            + QStringLiteral(" group by IDENTIFIANT, EXERCICE, TRIMESTRE order by IDENTIFIANT, EXERCICE, TRIMESTRE"));
    q.open();
    QList<Group> groups;
    Row row;
    while (q.fetch(row))
        groups.append({ rightTrimmed(row.value(0).toString()), row.value(1).toInt(), row.value(2).toInt(), row.value(3).toInt() });
    return groups;
}

int total(const QList<Group> &groups)
{
    int n = 0;
    for (const Group &g : groups)
        n += g.count;
    return n;
}

QString describe(const QList<Group> &groups)
{
    QStringList lines;
    for (const Group &g : groups)
        lines << QStringLiteral("%1 / %2 / T%3 : %4").arg(g.identifiant).arg(g.exercice).arg(g.trimestre).arg(g.count);
    return lines.join(QLatin1Char('\n'));
}

int stamp(Connection &connection, const QString &matricule, const QString &exercice)
{
    int year = 0;
    if (!tryStrToInt(exercice, year))
        throw Error(invalidIntegerMessage(exercice));
    struct Key
    {
        QString identifiant;
        int exercice;
        int trimestre;
        int numero;
        QVariant date;
    };
    QList<Key> keys;
    {
        Query q(connection,
            QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, DATEFACTURE from FACTURE where ") + Unstamped
                + QStringLiteral(" order by IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE"));
        q.open();
        Row row;
        while (q.fetch(row))
            keys.append({ row.value(0).toString(), row.value(1).toInt(), row.value(2).toInt(), row.value(3).toInt(), row.value(4) });
    }
    if (keys.isEmpty())
        return 0;
    // Their keys are not keys of stamped invoices, nor the keys they take:
    // no renumbering meets another.
    execute(connection, QStringLiteral("SAVEPOINT KESTRA_UNSTAMPED"));
    try {
        InvoiceNumbering::lockCompany(connection, matricule);
        const qint64 highest = InvoiceNumbering::highest(connection, matricule, year);
        if (highest + keys.size() > std::numeric_limits<int>::max())
            throw Error(QStringLiteral("Trop de factures à numéroter."));
        Query q(connection,
            QStringLiteral("update FACTURE set IDENTIFIANT = :matricule, EXERCICE = :exercice, TRIMESTRE = :trimestre, NUMEROORDRE = "
                           ":numero where IDENTIFIANT = :OLD_IDENTIFIANT and EXERCICE = :OLD_EXERCICE and TRIMESTRE = :OLD_TRIMESTRE "
                           "and NUMEROORDRE = :OLD_NUMEROORDRE"));
        q.setParam(QStringLiteral("matricule"), matricule);
        q.setParam(QStringLiteral("exercice"), year);
        for (int i = 0; i < keys.size(); ++i) {
            const Key &k = keys[i];
            q.setParam(QStringLiteral("trimestre"), InvoiceStamping::quarterOfDate(k.date));
            q.setParam(QStringLiteral("numero"), int(highest + i + 1));
            q.setParam(QStringLiteral("OLD_IDENTIFIANT"), k.identifiant);
            q.setParam(QStringLiteral("OLD_EXERCICE"), k.exercice);
            q.setParam(QStringLiteral("OLD_TRIMESTRE"), k.trimestre);
            q.setParam(QStringLiteral("OLD_NUMEROORDRE"), k.numero);
            q.execute();
            if (q.rowsAffected() != 1)
                throw Error(QStringLiteral("Les factures en attente ont changé pendant leur numérotation : rien n'a été modifié."));
        }
        connection.commitRetaining();
    } catch (const Error &) {
        try {
            execute(connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_UNSTAMPED"));
        } catch (const Error &) {
            // The first failure is the one to report.
        }
        throw;
    }
    return int(keys.size());
}

int remove(Connection &connection)
{
    Query q(connection, QStringLiteral("delete from FACTURE where ") + Unstamped);
    q.execute();
    const int removed = int(q.rowsAffected());
    connection.commitRetaining();
    return removed;
}

} // namespace UnstampedInvoices
