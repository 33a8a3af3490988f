#include "report/ReportTableSource.h"

ReportTableSource::ReportTableSource(const QStringList &columns, QVector<QVector<QVariant>> rows)
    : m_rows(std::move(rows))
{
    for (int i = 0; i < columns.size(); ++i)
        m_index.insert(columns[i].toUpper(), i);
}

void ReportTableSource::addRow(QVector<QVariant> row)
{
    m_rows.append(std::move(row));
}

void ReportTableSource::rewind()
{
    m_current = -1;
}

bool ReportTableSource::next()
{
    if (m_current < rowCount())
        ++m_current;
    return m_current < rowCount();
}

bool ReportTableSource::hasColumn(const QString &name) const
{
    return m_index.contains(name.toUpper());
}

QVariant ReportTableSource::value(const QString &name) const
{
    if (m_current < 0 || m_current >= rowCount())
        return {};
    const int column = m_index.value(name.toUpper(), -1);
    if (column < 0)
        return {};
    return m_rows[m_current].value(column);
}
