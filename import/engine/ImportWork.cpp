#include "import/engine/ImportWork.h"

#include "data/Connection.h"
#include "data/Query.h"

namespace {
// Distinct from the invoice stamping's own, which an invoice import sets
// first: taking this one back leaves that one in place.
const QString Savepoint = QStringLiteral("KESTRA_IMPORT_WORK");
} // namespace

ImportWork::ImportWork(Connection &connection)
    : m_connection(connection)
{
}

void ImportWork::begin()
{
    m_pending = 0;
    m_kept = 0;
    mark();
    m_running = true;
}

void ImportWork::mark()
{
    Query(m_connection, QStringLiteral("SAVEPOINT ") + Savepoint).execute();
}

void ImportWork::commit()
{
    m_connection.commitRetaining();
    if (!m_running)
        return;
    m_kept += m_pending;
    m_pending = 0;
    mark();
}

int ImportWork::discard()
{
    if (!m_running)
        return 0;
    m_running = false;
    Query(m_connection, QStringLiteral("ROLLBACK TO SAVEPOINT ") + Savepoint).execute();
    Query(m_connection, QStringLiteral("RELEASE SAVEPOINT ") + Savepoint).execute();
    const int discarded = m_pending;
    m_pending = 0;
    return discarded;
}
