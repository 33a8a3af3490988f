#pragma once

#include "data/Connection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Query;

// A fresh database made from the schema in a temporary directory, with a
// connection on it; both go away with the object. Opened with the embedded
// engine, or through a server when its prefix ("localhost/PORT:") is given.
class TestDatabase
{
public:
    explicit TestDatabase(const QString &serverPrefix = QString());
    ~TestDatabase();

    const QString &path() const { return m_path; }
    // As the configuration names it (with the server's prefix).
    QString directory() const { return m_prefix + m_dir.path(); }
    Connection &connection() { return *m_connection; }

    // Runs a statement on the shared transaction.
    void exec(const QString &sql);
    // First column of the first row of a select, as a variant.
    QVariant scalar(const QString &sql);
    // Opens a second, independent connection: what another program would see.
    std::unique_ptr<Connection> otherConnection() const;

private:
    QString m_prefix;
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Connection> m_connection;
};
