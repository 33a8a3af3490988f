#include "data/DatabaseFigures.h"

#include "data/Connection.h"
#include "data/Query.h"

#include <QRegularExpression>

#include <cmath>

const QStringList DatabaseFigures::AmountColumns
    = { QStringLiteral("PRIXVENTE"), QStringLiteral("MONTANTFODEC"), QStringLiteral("MONTANTDROITCONSOMMATION"), QStringLiteral("MONTANTTVA") };

namespace {

constexpr double HalfMillime = 0.0005;

QVariant scalar(Connection &connection, const QString &sql)
{
    Query q(connection, sql);
    q.open();
    Row row;
    QVariant v = q.fetch(row) ? row.value(0) : QVariant();
    q.close();
    return v;
}

} // namespace

QStringList DatabaseFigures::tables(Connection &connection)
{
    // The program's tables, whichever a later version adds.
    QStringList out;
    Query q(connection,
        QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
                       "and RDB$VIEW_BLR is null and coalesce(RDB$RELATION_TYPE, 0) = 0 order by 1"));
    q.open();
    Row row;
    while (q.fetch(row))
        out << row.value(0).toString();
    return out;
}

DatabaseFigures DatabaseFigures::read(Connection &connection)
{
    Connection::ReadSnapshot snapshot(connection);
    return readInTransaction(connection);
}

DatabaseFigures DatabaseFigures::readInTransaction(Connection &connection)
{
    DatabaseFigures figures;
    // Dialect 1 has no quoted names: a table of another form is not ours.
    static const QRegularExpression plainName(QStringLiteral("^[A-Z][A-Z0-9_$]*$"));
    for (const QString &table : tables(connection)) {
        if (!plainName.match(table).hasMatch())
            continue;
        if (table != QLatin1String("FACTURE")) {
            figures.rows.insert(table, scalar(connection, QStringLiteral("select count(*) from ") + table).toLongLong());
            continue;
        }
        // One reading of the invoices gives their count and their sums.
        QStringList columns { QStringLiteral("count(*)") };
        for (const QString &column : AmountColumns)
            columns << QStringLiteral("sum(%1)").arg(column);
        Query q(connection, QStringLiteral("select %1 from FACTURE").arg(columns.join(QStringLiteral(", "))));
        q.open();
        Row row;
        if (q.fetch(row)) {
            figures.rows.insert(table, row.value(0).toLongLong());
            for (int i = 0; i < AmountColumns.size(); ++i)
                figures.amounts.insert(AmountColumns[i], row.value(i + 1).isValid() ? row.value(i + 1).toDouble() : 0.0);
        }
        q.close();
    }
    return figures;
}

bool DatabaseFigures::agreesWith(const DatabaseFigures &other) const
{
    if (rows != other.rows || amounts.keys() != other.amounts.keys())
        return false;
    for (auto it = amounts.cbegin(); it != amounts.cend(); ++it)
        if (!(std::fabs(it.value() - other.amounts.value(it.key())) < HalfMillime))
            return false;
    return true;
}

QStringList DatabaseFigures::differencesFrom(const DatabaseFigures &recorded) const
{
    QStringList out;
    QStringList tables = recorded.rows.keys();
    for (const QString &table : rows.keys())
        if (!tables.contains(table))
            tables << table;
    for (const QString &table : std::as_const(tables)) {
        if (!rows.contains(table))
            out << QStringLiteral("Table %1 : absente (%2 lignes enregistrées)").arg(table).arg(recorded.rows.value(table));
        else if (!recorded.rows.contains(table))
            out << QStringLiteral("Table %1 : %2 lignes, non enregistrée").arg(table).arg(rows.value(table));
        else if (rows.value(table) != recorded.rows.value(table))
            out << QStringLiteral("Table %1 : %2 lignes au lieu de %3").arg(table).arg(rows.value(table)).arg(recorded.rows.value(table));
    }
    for (auto it = recorded.amounts.cbegin(); it != recorded.amounts.cend(); ++it) {
        const double now = amounts.value(it.key(), std::nan(""));
        if (!(std::fabs(now - it.value()) < HalfMillime))
            out << QStringLiteral("Somme de %1 : %2 au lieu de %3")
                       .arg(it.key(), QString::number(now, 'f', 3), QString::number(it.value(), 'f', 3));
    }
    return out;
}
