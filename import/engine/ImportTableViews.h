#pragma once

#include <QString>
#include <QStringList>

class DataSet;

// The two tables an import fills, as the import screen shows them and as an
// unattended import writes them: the whole table in the order of its key,
// rows written back through that key.

inline const QString InvoiceTableViewSql = QStringLiteral("select * from FACTURE order by IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE");
inline const QString ClientTableViewSql = QStringLiteral("select * from TIERS order by CODE");

QStringList invoiceKeyColumns();

// Gives dataSet the statement and the update table of its view; it stays closed.
void setupInvoiceTableView(DataSet &dataSet);
void setupClientTableView(DataSet &dataSet);
