#pragma once

#include "data/Query.h"
#include "report/Report.h"
#include "report/ReportTableSource.h"

#include <memory>

class Connection;

// The printed list of the working company's invoices dated within a period,
// with their amounts and rates and the totals of the four amounts.
class PeriodicStatement
{
public:
    static inline const QString QueryText = QStringLiteral("select *  from facture\nwhere IDENTIFIANT=:CODE AND EXERCICE=:EXERCICE AND "
                                                           "datefacture  between :datedu and :dateau\norder by numeroordre");

    explicit PeriodicStatement(Connection &connection);

    // The period as typed in the dialog, shown in the title.
    void setPeriodTexts(const QString &du, const QString &au);
    // Binds the query and reads its rows; throws Error with the database's text.
    void open(const QString &code, const QString &exercice, double dateDu, double dateAu);

    Report report;
    Query query;

private:
    void layOut();

    std::unique_ptr<ReportTableSource> m_rows;
    QString m_du;
    QString m_au;
};
