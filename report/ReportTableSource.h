#pragma once

#include "report/ReportDataSource.h"

#include <QHash>
#include <QStringList>
#include <QVector>

// Rows held in memory, each a vector of values in the order of the column
// names: the shape a query's fetched rows already have.
class ReportTableSource : public ReportDataSource
{
public:
    explicit ReportTableSource(const QStringList &columns, QVector<QVector<QVariant>> rows = {});

    void addRow(QVector<QVariant> row);
    int rowCount() const { return static_cast<int>(m_rows.size()); }

    void rewind() override;
    bool next() override;
    bool hasColumn(const QString &name) const override;
    // A row shorter than the column list reads null in the missing columns.
    QVariant value(const QString &name) const override;

private:
    QHash<QString, int> m_index; // upper-case name -> position
    QVector<QVector<QVariant>> m_rows;
    int m_current = -1;
};
