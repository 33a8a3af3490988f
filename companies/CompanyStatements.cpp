#include "companies/CompanyStatements.h"

#include "data/ListStatements.h"

namespace CompanyStatements {

QString sortStatement(const QString &fieldName)
{
    return QStringLiteral("select * from societe Order by ") + fieldName;
}

QString searchStatement(const QString &typed)
{
    if (typed.isEmpty())
        return QStringLiteral("select * from societe Order by Raison_Sociale");
    return QStringLiteral("select * from societe Where ") + ListStatements::likeCondition(QStringLiteral("Raison_Sociale LIKE "), typed)
        + QStringLiteral(" Order by Raison_Sociale");
}

} // namespace CompanyStatements
