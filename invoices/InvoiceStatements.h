#pragma once

#include <QString>

#include <optional>

// The statements the invoice list gives the shared invoice data set; all of
// them take the company's tax identifier and the year as text parameters
// `id` and `ex`.
namespace InvoiceStatements {

QString opening();
// Ordered by the clicked column.
QString sortedBy(const QString &fieldName);
// Search by the title of the searched column; nothing for a column that is
// not searched (typing then changes nothing).
std::optional<QString> search(const QString &searchedTitle, const QString &typed);

} // namespace InvoiceStatements
