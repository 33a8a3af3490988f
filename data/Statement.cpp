#include "data/Statement.h"

#include "data/Connection.h"

using namespace Firebird;

Statement::Statement(Connection &connection, const QByteArray &sqlText)
    : m_connection(connection)
{
    ITransaction *tra = m_connection.transaction();
    IAttachment *att = m_connection.attachment();
    FbStatus st;
    m_statement.reset(att->prepare(&st, tra, 0, sqlText.constData(), 1, IStatement::PREPARE_PREFETCH_METADATA));
    m_type = m_statement->getType(&st);
    m_inMeta.reset(m_statement->getInputMetadata(&st));
    m_outMeta.reset(m_statement->getOutputMetadata(&st));
    m_hasOutput = m_outMeta->getCount(&st) > 0;
}

Statement::~Statement()
{
    try {
        closeCursor();
    } catch (const DbError &) {
        // Nothing to tell while going away; the holder released the cursor.
    }
    // free() would need a live attachment: releasing only drops our reference.
}

bool Statement::isSelect() const
{
    return m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd;
}

qint64 Statement::execute(IMessageMetadata *inMeta, const void *inBuffer, void *outBuffer)
{
    FbStatus st;
    m_statement->execute(&st, m_connection.transaction(), inMeta, const_cast<void *>(inBuffer), m_hasOutput ? m_outMeta.get() : nullptr,
        m_hasOutput ? outBuffer : nullptr);
    return static_cast<qint64>(m_statement->getAffectedRecords(&st));
}

void Statement::openCursor(IMessageMetadata *inMeta, const void *inBuffer)
{
    closeCursor();
    FbStatus st;
    m_cursor.reset(m_statement->openCursor(&st, m_connection.transaction(), inMeta, const_cast<void *>(inBuffer), m_outMeta.get(), 0));
}

bool Statement::fetch(void *outBuffer)
{
    if (!m_cursor)
        return false;
    if (m_cursor->fetchNext(&m_fetchStatus, outBuffer) != IStatus::RESULT_OK) {
        closeCursor();
        return false;
    }
    return true;
}

void Statement::closeCursor()
{
    // Taken out first: a cursor that fails to close is released with this
    // local holder, and the statement is free for the next one.
    FbRef<IResultSet> cursor = std::move(m_cursor);
    FbStatus st;
    cursor.finish([&st](IResultSet *c) { c->close(&st); });
}
