#include "tests/support/TestDatabase.h"

#include "data/Query.h"
#include "data/Schema.h"

#include <gtest/gtest.h>

TestDatabase::TestDatabase(const QString &serverPrefix)
    : m_prefix(serverPrefix)
{
    m_path = m_prefix + m_dir.path() + QStringLiteral("/Kestra.GDB");
    Schema::createDatabase(m_path);
    m_connection = std::make_unique<Connection>();
    m_connection->setDatabaseName(m_path);
    m_connection->open();
}

TestDatabase::~TestDatabase()
{
    try {
        m_connection->close();
    } catch (const Error &e) {
        ADD_FAILURE() << "closing the test database: " << e.what();
    }
}

void TestDatabase::exec(const QString &sql)
{
    Query q(*m_connection, sql);
    q.execute();
}

QVariant TestDatabase::scalar(const QString &sql)
{
    Query q(*m_connection, sql);
    q.open();
    Row row;
    QVariant v = q.fetch(row) ? row.value(0) : QVariant();
    q.close();
    return v;
}

std::unique_ptr<Connection> TestDatabase::otherConnection() const
{
    auto c = std::make_unique<Connection>();
    c->setDatabaseName(m_path);
    c->open();
    return c;
}
