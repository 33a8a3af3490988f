#pragma once

#include <QString>

// The statements the company list gives the shared company data set when the
// operator sorts or searches.
namespace CompanyStatements {

// All companies ordered by one column (IDENTIFIANT or RAISON_SOCIALE).
QString sortStatement(const QString &fieldName);
// The companies whose name begins with the typed text, in name order; all of
// them, in name order, when nothing is typed.
QString searchStatement(const QString &typed);

} // namespace CompanyStatements
