#include "import/InvoiceStamping.h"

#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/Query.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <limits>

namespace {

struct Key
{
    QString identifiant;
    int exercice = 0;
    int trimestre = 0;
    int numero = 0;
};

// The server ignores trailing blanks when it compares VARCHAR keys; so do we.
QString rightTrimmed(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QString keyText(const Key &k)
{
    return rightTrimmed(k.identifiant) + QChar(0x1F) + QString::number(k.exercice) + QChar(0x1F) + QString::number(k.trimestre)
        + QChar(0x1F) + QString::number(k.numero);
}

Key keyOf(const Row &row)
{
    return { row.value(0).toString(), row.value(1).toInt(), row.value(2).toInt(), row.value(3).toInt() };
}

const QString KeysSql = QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE from FACTURE");
const QString RowsSql = QStringLiteral("select IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, DATEFACTURE from FACTURE order by "
                                       "IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE");
const QString RekeySql = QStringLiteral(
    "update FACTURE set IDENTIFIANT = :NEW_IDENTIFIANT, EXERCICE = :NEW_EXERCICE, TRIMESTRE = :NEW_TRIMESTRE, NUMEROORDRE = "
    ":NEW_NUMEROORDRE where IDENTIFIANT = :IDENTIFIANT and EXERCICE = :EXERCICE and TRIMESTRE = :TRIMESTRE and NUMEROORDRE = "
    ":NUMEROORDRE");

// Gives one row a new key, in place.
class Rekey
{
public:
    explicit Rekey(Connection &connection)
        : m_query(connection, RekeySql)
    {
    }
    void run(const Key &from, const Key &to)
    {
        m_query.setParam(QStringLiteral("NEW_IDENTIFIANT"), to.identifiant);
        m_query.setParam(QStringLiteral("NEW_EXERCICE"), to.exercice);
        m_query.setParam(QStringLiteral("NEW_TRIMESTRE"), to.trimestre);
        m_query.setParam(QStringLiteral("NEW_NUMEROORDRE"), to.numero);
        m_query.setParam(QStringLiteral("IDENTIFIANT"), from.identifiant);
        m_query.setParam(QStringLiteral("EXERCICE"), from.exercice);
        m_query.setParam(QStringLiteral("TRIMESTRE"), from.trimestre);
        m_query.setParam(QStringLiteral("NUMEROORDRE"), from.numero);
        m_query.execute();
        if (m_query.rowsAffected() != 1)
            throw Error(QStringLiteral("La facture %1 / %2 / T%3 / %4 n'a pas pu être numérotée.")
                            .arg(rightTrimmed(from.identifiant))
                            .arg(from.exercice)
                            .arg(from.trimestre)
                            .arg(from.numero));
    }

private:
    Query m_query;
};

void execute(Connection &connection, const QString &sql)
{
    Query q(connection, sql);
    q.execute();
}

} // namespace

TInvoiceStamping::TInvoiceStamping(Connection &connection, const QString &matricule, const QString &exercice)
    : m_connection(connection)
    , m_matricule(matricule)
    , m_exercice(exercice)
{
    int year = 0;
    const bool knownYear = tryStrToInt(exercice, year);
    const QString company = rightTrimmed(matricule);
    Query q(connection, KeysSql);
    q.open();
    Row row;
    while (q.fetch(row)) {
        const Key k = keyOf(row);
        m_before.insert(keyText(k));
        if (knownYear && k.exercice == year && rightTrimmed(k.identifiant) == company)
            m_highest = std::max(m_highest, k.numero);
    }
}

int TInvoiceStamping::QuarterOfMonth(int month)
{
    return (month - 1) / 3 + 1;
}

int TInvoiceStamping::QuarterOfDate(const QVariant &date)
{
    const double value = isTimeStamp(date) ? date.value<TimeStamp>().value : 0.0;
    int year = 0, month = 0, day = 0;
    DateTime::decodeDate(value, year, month, day);
    return QuarterOfMonth(month);
}

int TInvoiceStamping::Stamp()
{
    int year = 0;
    if (!tryStrToInt(m_exercice, year))
        throw Error(invalidIntegerMessage(m_exercice));

    struct Stamped
    {
        Key current;
        Key final;
    };
    QList<Stamped> rows;
    {
        Query q(m_connection, RowsSql);
        q.open();
        Row row;
        qint64 number = m_highest;
        while (q.fetch(row)) {
            const Key k = keyOf(row);
            if (m_before.contains(keyText(k)))
                continue;
            if (++number > std::numeric_limits<int>::max())
                throw Error(QStringLiteral("Trop de factures à numéroter."));
            rows.append({ k, { m_matricule, year, QuarterOfDate(row.value(4)), int(number) } });
        }
    }
    if (rows.isEmpty())
        return 0;

    // A row may hold the final key of another one (the source can bring any
    // key): such rows first move aside to numbers below every number of the
    // table, so that no renumbering meets a key still taken.
    QSet<QString> finals;
    for (const Stamped &r : rows)
        finals.insert(keyText(r.final));
    QList<int> aside;
    for (int i = 0; i < rows.size(); ++i) {
        const QString current = keyText(rows[i].current);
        if (finals.contains(current) && current != keyText(rows[i].final))
            aside.append(i);
    }

    // All or nothing: the import's rows may already be committed, so only
    // the stamping itself is undone when a row cannot take its key.
    execute(m_connection, QStringLiteral("SAVEPOINT KESTRA_STAMPING"));
    try {
        Rekey rekey(m_connection);
        if (!aside.isEmpty()) {
            Query low(m_connection, QStringLiteral("select min(NUMEROORDRE) from FACTURE"));
            low.execute();
            qint64 next = std::min<qint64>(0, low.outputRow().value(0).toLongLong()) - 1;
            if (next - aside.size() < std::numeric_limits<int>::min())
                throw Error(QStringLiteral("Trop de factures à numéroter."));
            for (int i : aside) {
                Key temporary = rows[i].current;
                temporary.numero = int(next--);
                rekey.run(rows[i].current, temporary);
                rows[i].current = temporary;
            }
        }
        for (const Stamped &r : rows)
            if (keyText(r.current) != keyText(r.final) || r.current.identifiant != r.final.identifiant)
                rekey.run(r.current, r.final);
        execute(m_connection, QStringLiteral("RELEASE SAVEPOINT KESTRA_STAMPING"));
    } catch (...) {
        try {
            execute(m_connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_STAMPING"));
        } catch (const Error &) {
            // The stamping's own failure is the one to report.
        }
        throw;
    }
    return int(rows.size());
}
