#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Firebird server of the test's own, as an office's server is: the
// installed server program, started on a free port of the loopback with a
// configuration, a security database and a SYSDBA password of its own, and
// stopped when the object goes. Nothing of the machine's own server, if one
// runs, is used or changed. Fails the test when it cannot start.
class TestServer
{
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    bool isRunning() const { return m_server.state() == QProcess::Running; }
    // "localhost/PORT:": what goes before a directory to name it on this server.
    QString prefix() const;
    // Why it did not start.
    const QString &failure() const { return m_failure; }

private:
    bool start();

    QTemporaryDir m_root;
    QProcess m_server;
    int m_port = 0;
    QString m_failure;
};
