#include "data/Connection.h"

#include "data/FbClient.h"
#include "data/Schema.h"

using namespace Firebird;

struct Connection::Handles
{
    FbRef<IAttachment> attachment;
    FbRef<ITransaction> transaction;
    FbRef<ITransaction> snapshot; // of a ReadSnapshot
};

Credentials Credentials::defaults()
{
    return { Connection::UserName, Connection::Password };
}

Connection::Connection(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Handles>())
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

bool Connection::isConnected() const
{
    return static_cast<bool>(d->attachment);
}

bool Connection::inTransaction() const
{
    return static_cast<bool>(d->transaction);
}

void Connection::open()
{
    if (d->attachment)
        return;
    FbClient &client = FbClient::instance();
    FbStatus status;
    FbOwned<IXpbBuilder> dpb(client.util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertTag(&status, isc_dpb_utf8_filename);
    insertCredentials(dpb.get(), status, m_credentials);
    dpb->insertInt(&status, isc_dpb_sql_dialect, 1);
    dpb->insertString(&status, isc_dpb_lc_ctype, "WIN1252");
    const QByteArray name = m_databaseName.toUtf8();
    d->attachment.reset(
        client.provider()->attachDatabase(&status, name.constData(), dpb->getBufferLength(&status), dpb->getBuffer(&status)));
    // A database that cannot take the new tables (read-only, say) still
    // opens for what it holds; what needs them says why they are missing.
    m_upgradeError.clear();
    try {
        Schema::upgrade(*this);
    } catch (const Error &e) {
        m_upgradeError = e.text();
        if (d->transaction)
            rollback();
    }
}

void Connection::ensureOpen()
{
    if (!d->attachment)
        open();
}

void Connection::close()
{
    if (!d->attachment)
        return;
    if (d->transaction) {
        emit transactionEnding();
        FbStatus status;
        d->transaction.finish([&status](ITransaction *t) { t->commit(&status); });
    }
    FbStatus status;
    d->attachment.finish([&status](IAttachment *a) { a->detach(&status); });
}

IAttachment *Connection::attachment()
{
    ensureOpen();
    return d->attachment.get();
}

ITransaction *Connection::transaction()
{
    ensureOpen();
    if (d->snapshot)
        return d->snapshot.get();
    if (!d->transaction) {
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
        FbOwned<IXpbBuilder> tpb(FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(&status, isc_tpb_read_committed);
        tpb->insertTag(&status, isc_tpb_rec_version);
        tpb->insertTag(&status, isc_tpb_write);
        tpb->insertTag(&status, isc_tpb_wait);
        tpb->insertInt(&status, isc_tpb_lock_timeout, LockTimeoutSeconds);
        d->transaction.reset(d->attachment->startTransaction(&status, tpb->getBufferLength(&status), tpb->getBuffer(&status)));
    }
    return d->transaction.get();
}

void Connection::commitRetaining()
{
    if (!d->transaction)
        return;
    FbStatus status;
    d->transaction->commitRetaining(&status);
    emit committed();
}

void Connection::commit()
{
    if (!d->transaction)
        return;
    emit transactionEnding();
    FbStatus status;
    d->transaction.finish([&status](ITransaction *t) { t->commit(&status); });
    emit committed();
}

void Connection::rollback()
{
    if (!d->transaction)
        return;
    emit transactionEnding();
    FbStatus status;
    d->transaction.finish([&status](ITransaction *t) { t->rollback(&status); });
}

Connection::ReadSnapshot::ReadSnapshot(Connection &connection)
    : m_connection(connection)
{
    Q_ASSERT(!connection.d->snapshot); // one at a time
    connection.commitRetaining();
    FbStatus status;
    FbOwned<IXpbBuilder> tpb(FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&status, isc_tpb_concurrency);
    tpb->insertTag(&status, isc_tpb_read);
    tpb->insertTag(&status, isc_tpb_nowait);
    connection.d->snapshot.reset(
        connection.attachment()->startTransaction(&status, tpb->getBufferLength(&status), tpb->getBuffer(&status)));
}

Connection::ReadSnapshot::~ReadSnapshot()
{
    // Nothing was written: ending it only releases it.
    FbStatus status;
    try {
        m_connection.d->snapshot.finish([&status](ITransaction *t) { t->commit(&status); });
    } catch (const Error &) {
        // A lost attachment has ended it already: only our reference goes.
        m_connection.d->snapshot.reset();
    }
}
