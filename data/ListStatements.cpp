#include "data/ListStatements.h"

namespace ListStatements {

QString likePattern(const QString &typed)
{
    QString text = typed + QLatin1Char('%');
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString likeCondition(const QString &conditionPrefix, const QString &typed)
{
    return conditionPrefix + likePattern(typed);
}

} // namespace ListStatements
