#include "app/cli/CompanyLookup.h"

#include "app/context/CompanyChoice.h"
#include "data/DataSet.h"

namespace {

QString rightTrimmed(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

bool findCompany(Connection &connection, const QString &matricule, WorkingContext &context)
{
    DataSet societes(connection, QStringLiteral("Isociete"));
    societes.setSql(CompanySelectionSql);
    societes.open();
    for (int r = 0; r < societes.recordCount(); ++r) {
        societes.moveTo(r);
        WorkingContext c;
        chooseCompany(societes, c);
        if (rightTrimmed(c.curMatricule) == rightTrimmed(matricule)) {
            context = c;
            return true;
        }
    }
    return false;
}
