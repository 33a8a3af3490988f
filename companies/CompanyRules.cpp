#include "companies/CompanyRules.h"

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

namespace {
// Blanks and control characters (code 32 and below) off both ends.
QString trimControls(const QString &s)
{
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s[start].unicode() <= 0x20)
        ++start;
    while (end > start && s[end - 1].unicode() <= 0x20)
        --end;
    return s.mid(start, end - start);
}
} // namespace

bool deletionPasswordAccepted(const QString &typed)
{
    return trimControls(typed) == DataReset::AdministratorPassword;
}

} // namespace CompanyRules
