#pragma once

#include <QString>
#include <QStringList>

// The four statements that write a data set's rows back to its table. Every
// column is set from the parameter of its own name; the row is found by its
// key columns' values as read ("OLD_" parameters), so editing a key part
// renames the row in place.
struct UpdateStatements
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;
    QString refreshSql;

    static UpdateStatements build(const QString &table, const QStringList &columns, const QStringList &keyColumns);
};
