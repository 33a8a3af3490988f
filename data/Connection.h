#pragma once

#include "data/DbError.h"

#include <QObject>
#include <QString>

#include <memory>

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

// Who the program connects as. The embedded engine checks neither; a server
// checks both. Taken from the configuration and kept in memory only: never
// shown, logged or written anywhere.
struct Credentials
{
    QString user;
    QString password;

    // The user and password a database of this program was always opened with.
    static Credentials defaults();
    bool operator==(const Credentials &) const = default;
};

// The one connection of the program and its one shared transaction. The
// transaction starts with the first statement and lives until the program
// ends; commit-retaining makes work durable and keeps it (and every open
// data set) alive. A hard commit ends it: data sets close themselves first.
class Connection : public QObject
{
    Q_OBJECT

public:
    static inline const QString UserName = QStringLiteral("SYSDBA");
    static inline const QString Password = QStringLiteral("quillbark");
    // How long a write waits for a row another workstation holds.
    static constexpr int LockTimeoutSeconds = 10;

    explicit Connection(QObject *parent = nullptr);
    ~Connection() override; // commits pending work and detaches

    void setDatabaseName(const QString &name) { m_databaseName = name; }
    const QString &databaseName() const { return m_databaseName; }
    // Taken at the next attachment.
    void setCredentials(const Credentials &credentials) { m_credentials = credentials; }
    const Credentials &credentials() const { return m_credentials; }

    // Attaches; throws DbError with the client library's text. A database
    // made by an older release gets the tables it lacks (Schema::upgrade).
    void open();
    // Why the tables an older database lacks could not be added at the
    // last open (a read-only database...); empty when they are there.
    const QString &upgradeError() const { return m_upgradeError; }
    bool isConnected() const;
    // Attaches again when the connection is closed (a failed start).
    void ensureOpen();
    // Commits pending work and detaches.
    void close();

    Firebird::IAttachment *attachment();
    // The shared transaction, started when first asked for; while a
    // ReadSnapshot is alive, that snapshot's transaction.
    Firebird::ITransaction *transaction();
    bool inTransaction() const;

    void commitRetaining();
    void commit();
    void rollback();

    // For the length of a read that must see the database in one state (the
    // declaration: its lines, and the totals summed from them): statements
    // run meanwhile see what was committed when it began, and nothing that
    // another workstation commits during the read. The shared transaction's
    // own work is committed first, so the snapshot holds it too. Cursors
    // opened in it must be closed before it ends.
    class ReadSnapshot
    {
    public:
        explicit ReadSnapshot(Connection &connection);
        ~ReadSnapshot();
        ReadSnapshot(const ReadSnapshot &) = delete;
        ReadSnapshot &operator=(const ReadSnapshot &) = delete;

    private:
        Connection &m_connection;
    };

signals:
    // Emitted before a hard commit or rollback ends the transaction.
    void transactionEnding();
    void committed();

private:
    QString m_databaseName;
    QString m_upgradeError;
    Credentials m_credentials = Credentials::defaults();
    // The client's handles, held where only the data layer sees them.
    struct Handles;
    std::unique_ptr<Handles> d;
};
