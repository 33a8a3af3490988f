#pragma once

#include "declaration/DeclarationChecks.h"
#include "report/Report.h"
#include "report/ReportTableSource.h"

#include <memory>

// The anomaly list on paper, through the report engine of the statement:
// one line per anomaly under the company and quarter, the count, the four
// totals and how many errors and warnings close it.
class AnomalyReport
{
public:
    // caption: the company and quarter, as the list's window says them.
    AnomalyReport(const QString &caption, const QVector<DeclarationChecks::Anomaly> &anomalies, const DeclarationFormat::Totals &totals,
        int errors, int warnings);

    Report &report() { return m_report; }

private:
    Report m_report;
    std::unique_ptr<ReportTableSource> m_rows;
};
