#pragma once

#include <QString>

// Pieces of the statements that list windows build when the operator sorts
// or searches. Typed text is always a literal: quotes are doubled, so it can
// never end the statement early; "%" and "_" stay the database's wildcards.
namespace ListStatements {

// 'text%' between single quotes.
QString likePattern(const QString &typed);
// prefix + pattern, for instance "Raison_Sociale LIKE 'ABC%'".
QString likeCondition(const QString &conditionPrefix, const QString &typed);

} // namespace ListStatements
