#include "import/sources/workbook/RangeLanguage.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/Xls.h"

namespace RangeLanguage {

void fail(const char *pattern, const QStringList &args, const QStringList &shownArgs)
{
    throw ImportError(importText(pattern, args, shownArgs));
}

QString num(int n)
{
    return QString::number(n);
}

QString cellText(int row, int col)
{
    return Xls::columnLetters(col) + QString::number(row);
}

} // namespace RangeLanguage
