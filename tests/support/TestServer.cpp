#include "tests/support/TestServer.h"

#include "data/Connection.h"
#include "tests/support/Files.h"
#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Where Debian's server packages put the server and its run-time files.
const QString ServerProgram = QStringLiteral("/usr/sbin/firebird");
const QString ServerRoot = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
const QString SecuritySchema = QStringLiteral("/usr/share/firebird/3.0/security.sql");

// A port of the loopback nobody listens on now.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

bool listening(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

} // namespace

TestServer::TestServer()
{
    if (!start())
        stopProcess(m_server);
}

TestServer::~TestServer()
{
    stopProcess(m_server);
}

QString TestServer::prefix() const
{
    return QStringLiteral("localhost/%1:").arg(m_port);
}

bool TestServer::start()
{
    for (const QString &needed : { ServerProgram, ServerRoot + QStringLiteral("/plugins"), SecuritySchema })
        if (!QFileInfo::exists(needed)) {
            m_failure = needed + QStringLiteral(" is missing: the Firebird server package is not installed (scripts/setup.sh)");
            return false;
        }
    m_port = freePort();
    if (!m_root.isValid() || m_port == 0) {
        m_failure = QStringLiteral("no temporary directory or no free port");
        return false;
    }
    const QString root = m_root.path();
    QDir dir(root);
    dir.mkpath(QStringLiteral("lock"));
    dir.mkpath(QStringLiteral("tmp"));
    for (const char *part : { "plugins", "lib", "UDF", "firebird.msg", "plugins.conf" })
        QFile::link(ServerRoot + QLatin1Char('/') + QLatin1String(part), root + QLatin1Char('/') + QLatin1String(part));
    // The character sets' module finds none of them through a linked
    // directory: its files are copied.
    dir.mkpath(QStringLiteral("intl"));
    for (const char *part : { "libfbintl.so", "fbintl.conf" })
        QFile::copy(ServerRoot + QStringLiteral("/intl/") + QLatin1String(part), root + QStringLiteral("/intl/") + QLatin1String(part));
    const QString security = root + QStringLiteral("/security3.fdb");
    writeBytes(root + QStringLiteral("/firebird.conf"),
        QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = %2\nServerMode = Super\n"
                       "IpcName = KestraTest%1\n")
            .arg(m_port)
            .arg(security)
            .toUtf8());
    writeBytes(root + QStringLiteral("/databases.conf"),
        QStringLiteral("security.db = %1\n{\n  RemoteAccess = false\n}\n").arg(security).toUtf8());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), root);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), root + QStringLiteral("/lock"));
    env.insert(QStringLiteral("FIREBIRD_TMP"), root + QStringLiteral("/tmp"));

    // The security database and the password the program connects with.
    QProcess isql;
    isql.setProcessEnvironment(env);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), { QStringLiteral("-q"), QStringLiteral("-user"), Connection::UserName });
    isql.write(QStringLiteral("create database '%1'; input %2; commit; create user %3 password '%4' using plugin Srp; commit;\n")
                   .arg(security, SecuritySchema, Connection::UserName, Connection::Password)
                   .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitStatus() != QProcess::NormalExit || !QFileInfo::exists(security)) {
        m_failure = QStringLiteral("the security database could not be made: ") + QString::fromUtf8(isql.readAll());
        return false;
    }

    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(ServerProgram, {});
    if (!m_server.waitForStarted(10000)) {
        m_failure = QStringLiteral("the server did not start: ") + m_server.errorString();
        return false;
    }
    for (int i = 0; i < 300; ++i) {
        if (listening(m_port))
            return true;
        if (m_server.state() == QProcess::NotRunning)
            break;
        QThread::msleep(20);
    }
    m_failure = QStringLiteral("the server does not listen on port %1: %2").arg(m_port).arg(QString::fromUtf8(m_server.readAll()));
    return false;
}
