#include "bench/support/PlainCursor.h"

#include "data/FbClient.h"

using namespace Firebird;

PlainCursor::PlainCursor(const QString &databasePath)
{
    FbClient &client = FbClient::instance();
    FbStatus st;
    IXpbBuilder *dpb = client.util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 1);
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
    m_attachment
        = client.provider()->attachDatabase(&st, databasePath.toUtf8().constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    dpb->dispose();
    m_transaction = m_attachment->startTransaction(&st, 0, nullptr);
}

PlainCursor::~PlainCursor()
{
    FbStatus st;
    try {
        if (m_cursor)
            m_cursor->close(&st);
        if (m_metadata)
            m_metadata->release();
        if (m_statement)
            m_statement->free(&st);
        m_transaction->commit(&st);
        m_attachment->detach(&st);
    } catch (const DbError &) {
        // A benchmark ending: nothing to keep.
    }
}

void PlainCursor::open(const char *sql)
{
    FbStatus st;
    m_statement = m_attachment->prepare(&st, m_transaction, 0, sql, 1, IStatement::PREPARE_PREFETCH_METADATA);
    m_metadata = m_statement->getOutputMetadata(&st);
    const unsigned n = m_metadata->getCount(&st);
    for (unsigned i = 0; i < n; ++i)
        m_columns.push_back({ m_metadata->getOffset(&st, i), m_metadata->getType(&st, i) & ~1u, m_metadata->getLength(&st, i) });
    m_buffer.resize(m_metadata->getMessageLength(&st));
    m_cursor = m_statement->openCursor(&st, m_transaction, nullptr, nullptr, m_metadata, 0);
}

bool PlainCursor::next()
{
    FbStatus st;
    return m_cursor->fetchNext(&st, m_buffer.data()) == IStatus::RESULT_OK;
}
