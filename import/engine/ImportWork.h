#pragma once

class Connection;

// What one import writes into the shared transaction, so that an import the
// operator aborts (or a signal interrupts) takes back exactly that: the rows
// it wrote since it began or since its last intermediate commit, and nothing
// else the transaction holds. A savepoint marks where the import begins; a
// commit that keeps the transaction ends every savepoint, so each of the
// import's commits sets it again. Its owner tells it of each row written and
// commits through it.
//
// Usage: Begin before the first row; RowWritten for each row added, changed
// or deleted; Commit where the import asks for a commit; then Discard when
// the import was aborted, End otherwise.
class ImportWork
{
public:
    explicit ImportWork(Connection &connection);
    ImportWork(const ImportWork &) = delete;
    ImportWork &operator=(const ImportWork &) = delete;

    void begin();
    bool running() const { return m_running; }
    void rowWritten() { ++m_pending; }
    // Commits the shared transaction keeping it open: the rows written so
    // far are kept.
    void commit();
    // Takes back the rows written since the import began or last committed;
    // returns how many. The rows committed before stay.
    int discard();
    // The import is over and keeps what it wrote: committed, or waiting in
    // the transaction for its owner's commit.
    void end() { m_running = false; }

    // Rows made durable by the import's commits.
    int kept() const { return m_kept; }
    // Rows written since the last of them.
    int pending() const { return m_pending; }

private:
    void mark();

    Connection &m_connection;
    bool m_running = false;
    int m_pending = 0;
    int m_kept = 0;
};
