#include "companies/CompanyRules.h"

#include "core/Text.h"
#include "data/DataReset.h"

namespace CompanyRules {

const QList<PaddedColumn> &paddedColumns()
{
    static const QList<PaddedColumn> columns {
        { "RAISON_SOCIALE", 40 },
        { "ACTIVITE", 40 },
        { "VILLE", 40 },
        { "RUE", 72 },
        { "NUMERO", 4 },
        { "CODEPOSTAL", 4 },
    };
    return columns;
}

int paddedWidth(const QString &column)
{
    for (const PaddedColumn &c : paddedColumns())
        if (column.compare(QLatin1String(c.column), Qt::CaseInsensitive) == 0)
            return c.width;
    return 0;
}

QString padToWidth(const QString &text, int width)
{
    if (text.size() >= width)
        return text;
    return text + QString(width - text.size(), QLatin1Char(' '));
}

bool deletionPasswordAccepted(const QString &typed)
{
    return trimControls(typed) == DataReset::AdministratorPassword;
}

} // namespace CompanyRules
