#include "data/DataReset.h"

#include "data/Query.h"

namespace DataReset {

bool passwordAccepted(const QString &typed)
{
    return typed == AdministratorPassword;
}

QString procedureName(Depth depth)
{
    return depth == Depth::Movements ? QStringLiteral("INITIALISATIONMVT") : QStringLiteral("INITIALISATION");
}

} // namespace DataReset

StoredProcedure::StoredProcedure(Connection &connection, const QString &procedureName)
    : m_connection(connection)
    , m_name(procedureName)
{
}

void StoredProcedure::execute()
{
    Query query(m_connection, QStringLiteral("execute procedure ") + m_name);
    query.execute();
}
