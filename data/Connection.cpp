#include "data/Connection.h"

#include "core/Cp1252.h"
#include "data/FbClient.h"

using namespace Firebird;

Connection::Connection(QObject *parent)
    : QObject(parent)
{
}

Connection::~Connection()
{
    try {
        close();
    } catch (const Error &) {
        // Nothing left to tell at the end of the program; the server rolls back.
    }
}

void Connection::open()
{
    if (m_attachment)
        return;
    FbClient &client = FbClient::instance();
    FbStatus status;
    IXpbBuilder *dpb = client.util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
    try {
        dpb->insertString(&status, isc_dpb_user_name, UserName.toLatin1().constData());
        dpb->insertString(&status, isc_dpb_password, Password.toLatin1().constData());
        dpb->insertInt(&status, isc_dpb_sql_dialect, 1);
        dpb->insertString(&status, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertTag(&status, isc_dpb_utf8_filename);
        QByteArray name = m_databaseName.toUtf8();
        m_attachment = client.provider()->attachDatabase(&status, name.constData(), dpb->getBufferLength(&status), dpb->getBuffer(&status));
    } catch (...) {
        dpb->dispose();
        throw;
    }
    dpb->dispose();
}

void Connection::ensureOpen()
{
    if (!m_attachment)
        open();
}

void Connection::close()
{
    if (!m_attachment)
        return;
    if (m_transaction) {
        emit transactionEnding();
        FbStatus status;
        m_transaction->commit(&status);
        m_transaction = nullptr;
    }
    FbStatus status;
    m_attachment->detach(&status);
    m_attachment = nullptr;
}

IAttachment *Connection::attachment()
{
    ensureOpen();
    return m_attachment;
}

ITransaction *Connection::transaction()
{
    ensureOpen();
    if (!m_transaction) {
        FbStatus status;
        m_transaction = m_attachment->startTransaction(&status, 0, nullptr);
    }
    return m_transaction;
}

void Connection::commitRetaining()
{
    if (!m_transaction)
        return;
    FbStatus status;
    m_transaction->commitRetaining(&status);
    emit committed();
}

void Connection::commit()
{
    if (!m_transaction)
        return;
    emit transactionEnding();
    FbStatus status;
    m_transaction->commit(&status);
    m_transaction = nullptr;
    emit committed();
}

void Connection::rollback()
{
    if (!m_transaction)
        return;
    emit transactionEnding();
    FbStatus status;
    m_transaction->rollback(&status);
    m_transaction = nullptr;
}
