#include "data/UpdateStatements.h"

UpdateStatements UpdateStatements::build(const QString &table, const QStringList &columns, const QStringList &keyColumns)
{
    UpdateStatements s;
    QStringList params, sets, oldKeys, newKeys;
    for (const QString &c : columns) {
        params << QLatin1Char(':') + c;
        sets << QStringLiteral("%1 = :%1").arg(c);
    }
    for (const QString &k : keyColumns) {
        oldKeys << QStringLiteral("%1 = :OLD_%1").arg(k);
        newKeys << QStringLiteral("%1 = :%1").arg(k);
    }
    s.insertSql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(table, columns.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    s.modifySql
        = QStringLiteral("update %1 set %2 where %3").arg(table, sets.join(QStringLiteral(", ")), oldKeys.join(QStringLiteral(" and ")));
    s.deleteSql = QStringLiteral("delete from %1 where %2").arg(table, oldKeys.join(QStringLiteral(" and ")));
    s.refreshSql = QStringLiteral("select %1 from %2 where %3")
                       .arg(columns.join(QStringLiteral(", ")), table, newKeys.join(QStringLiteral(" and ")));
    return s;
}
