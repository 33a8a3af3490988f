#include "import/engine/ImportTableViews.h"

#include "data/DataSet.h"

QStringList invoiceKeyColumns()
{
    return { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") };
}

void setupInvoiceTableView(DataSet &dataSet)
{
    dataSet.setSql(InvoiceTableViewSql);
    dataSet.setUpdateTable(QStringLiteral("FACTURE"), invoiceKeyColumns());
}

void setupClientTableView(DataSet &dataSet)
{
    dataSet.setSql(ClientTableViewSql);
    dataSet.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
}
