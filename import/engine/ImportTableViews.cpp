#include "import/engine/ImportTableViews.h"

#include "data/DataSet.h"

QStringList InvoiceKeyColumns()
{
    return { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") };
}

void SetupInvoiceTableView(DataSet &dataSet)
{
    dataSet.setSql(InvoiceTableViewSql);
    dataSet.setUpdateTable(QStringLiteral("FACTURE"), InvoiceKeyColumns());
}

void SetupClientTableView(DataSet &dataSet)
{
    dataSet.setSql(ClientTableViewSql);
    dataSet.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
}
