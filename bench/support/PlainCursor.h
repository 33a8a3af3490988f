#pragma once

#include <QString>

#include <vector>

namespace Firebird {
class IAttachment;
class IMessageMetadata;
class IResultSet;
class IStatement;
class ITransaction;
} // namespace Firebird

// The reading benchmarks' baseline: the client library alone, with no layer
// of ours in between. Attaches on construction; open() prepares a select and
// opens its cursor; next() fetches a row into a raw message buffer.
class PlainCursor
{
public:
    explicit PlainCursor(const QString &databasePath);
    ~PlainCursor(); // closes, commits and detaches
    PlainCursor(const PlainCursor &) = delete;
    PlainCursor &operator=(const PlainCursor &) = delete;

    void open(const char *sql);
    bool next();
    const unsigned char *row() const { return m_buffer.data(); }

    // The columns of the message: offset in the buffer, type and length.
    struct Column
    {
        unsigned offset, type, length;
    };
    const std::vector<Column> &columns() const { return m_columns; }

private:
    Firebird::IAttachment *m_attachment = nullptr;
    Firebird::ITransaction *m_transaction = nullptr;
    Firebird::IStatement *m_statement = nullptr;
    Firebird::IMessageMetadata *m_metadata = nullptr;
    Firebird::IResultSet *m_cursor = nullptr;
    std::vector<unsigned char> m_buffer;
    std::vector<Column> m_columns;
};
