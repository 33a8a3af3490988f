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
        // Several workstations may share one database on a server. The one
        // transaction of the program therefore reads committed data (record
        // versions): every statement sees what the other workstations have
        // committed, so a list that is reopened, searched or sorted shows
        // their rows, while a long-lived snapshot would show the database as
        // it was at start until the program ends. A write that meets a row
        // another workstation is changing waits for it, as their posts
        // commit at once, but not forever: after LockTimeoutSeconds the
        // write fails with a lock conflict that the caller turns into the
        // program's own message. Commit-retaining after each post keeps
        // this transaction and its open data sets, as on one workstation.
        FbStatus status;
        IXpbBuilder *tpb = FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0);
        try {
            tpb->insertTag(&status, isc_tpb_read_committed);
            tpb->insertTag(&status, isc_tpb_rec_version);
            tpb->insertTag(&status, isc_tpb_write);
            tpb->insertTag(&status, isc_tpb_wait);
            tpb->insertInt(&status, isc_tpb_lock_timeout, LockTimeoutSeconds);
            m_transaction = m_attachment->startTransaction(&status, tpb->getBufferLength(&status), tpb->getBuffer(&status));
        } catch (...) {
            tpb->dispose();
            throw;
        }
        tpb->dispose();
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
