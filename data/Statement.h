#pragma once

#include "data/FbClient.h"

#include <QByteArray>

class Connection;

// One prepared statement on the shared connection and transaction, and the
// cursor it has open: messages in and out are plain buffers laid out by
// metadata (see ParameterBinding and RowDecoder).
class Statement
{
public:
    Statement(Connection &connection, const QByteArray &sqlText);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isSelect() const;
    Firebird::IMessageMetadata *inputMetadata() const { return m_inMeta.get(); }
    Firebird::IMessageMetadata *outputMetadata() const { return m_outMeta.get(); }
    bool hasOutput() const { return m_hasOutput; }

    // Runs it; output, when it has some, is written into outBuffer. Returns
    // the number of rows it changed.
    qint64 execute(Firebird::IMessageMetadata *inMeta, const void *inBuffer, void *outBuffer);
    void openCursor(Firebird::IMessageMetadata *inMeta, const void *inBuffer);
    bool isOpen() const { return static_cast<bool>(m_cursor); }
    // The next row into outBuffer; false at the end, where the cursor closes.
    bool fetch(void *outBuffer);
    void closeCursor();

private:
    Connection &m_connection;
    FbRef<Firebird::IStatement> m_statement;
    FbRef<Firebird::IMessageMetadata> m_inMeta;
    FbRef<Firebird::IMessageMetadata> m_outMeta;
    FbRef<Firebird::IResultSet> m_cursor;
    unsigned m_type = 0;
    bool m_hasOutput = false;
    // One status for the row loop: a status is an allocation in the client.
    FbStatus m_fetchStatus;
};
