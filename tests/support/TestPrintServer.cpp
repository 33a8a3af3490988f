#include "tests/support/TestPrintServer.h"

#include "tests/support/Files.h"
#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// Where Debian's packages put the daemon, its tools and the PDF printer's driver.
const QString Daemon = QStringLiteral("/usr/sbin/cupsd");
const QString Admin = QStringLiteral("/usr/sbin/lpadmin");
const QString Reject = QStringLiteral("/usr/sbin/cupsreject");
const QString PdfDriver = QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");
const QString PdfFilter = QStringLiteral("/usr/lib/cups/filter/pdftopdf");

} // namespace

TestPrintServer::TestPrintServer()
{
    if (!start())
        stopProcess(m_daemon);
}

TestPrintServer::~TestPrintServer()
{
    // The client of this process goes back to the machine's service.
    cupsSetServer(nullptr);
    qunsetenv("CUPS_SERVER");
    stopProcess(m_daemon);
}

bool TestPrintServer::start()
{
    for (const QString &needed : { Daemon, Admin, Reject, PdfDriver, PdfFilter })
        if (!QFileInfo::exists(needed)) {
            m_failure = needed + QStringLiteral(" is missing: the CUPS packages are not installed (scripts/setup.sh)");
            return false;
        }
    if (!m_root.isValid()) {
        m_failure = QStringLiteral("no temporary directory");
        return false;
    }
    const QString root = m_root.path();
    // The filters run as the daemon's user (lp when started as root) and
    // read the spool below.
    QFile::setPermissions(root,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QDir dir(root);
    for (const char *sub : { "spool/tmp", "state", "cache", "log", "out" })
        dir.mkpath(QString::fromLatin1(sub));
    m_socket = root + QStringLiteral("/cups.sock");

    QString files = QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nStateDir %1/state\nCacheDir %1/cache\n"
                                   "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nDocumentRoot /usr/share/cups/doc-root\n"
                                   "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                                   "Printcap %1/printcap\nFileDevice Yes\n")
                        .arg(root);
    // Not root: the daemon runs as the one who runs the test.
    if (::getuid() != 0) {
        const passwd *user = ::getpwuid(::getuid());
        const group *group = ::getgrgid(::getgid());
        if (user && group)
            files
                += QStringLiteral("User %1\nGroup %2\n").arg(QString::fromLocal8Bit(user->pw_name), QString::fromLocal8Bit(group->gr_name));
    }
    const QString daemon = QStringLiteral("Listen %1\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                          "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
                                          "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                          "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n")
                               .arg(m_socket);
    if (!writeBytes(root + QStringLiteral("/cups-files.conf"), files.toUtf8())
        || !writeBytes(root + QStringLiteral("/cupsd.conf"), daemon.toUtf8())) {
        m_failure = QStringLiteral("the configuration could not be written");
        return false;
    }

    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    m_daemon.start(Daemon,
        { QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"), QStringLiteral("-s"),
            root + QStringLiteral("/cups-files.conf") });
    if (!m_daemon.waitForStarted(10000)) {
        m_failure = QStringLiteral("cupsd did not start: ") + m_daemon.errorString();
        return false;
    }
    qputenv("CUPS_SERVER", m_socket.toLocal8Bit());
    cupsSetServer(m_socket.toLocal8Bit().constData());
    for (int i = 0; i < 750; ++i) {
        if (m_daemon.state() == QProcess::NotRunning)
            break;
        if (QFileInfo::exists(m_socket)) {
            http_t *http = httpConnect2(m_socket.toLocal8Bit().constData(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr);
            if (http) {
                httpClose(http);
                return true;
            }
        }
        QThread::msleep(20);
    }
    m_failure = QStringLiteral("cupsd does not answer on %1: %2\n%3").arg(m_socket, QString::fromUtf8(m_daemon.readAll()), log());
    return false;
}

bool TestPrintServer::run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, QStringList { QStringLiteral("-h"), m_socket } + args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_failure = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromUtf8(p.readAll());
        return false;
    }
    return true;
}

bool TestPrintServer::addPrinter(const QString &name, const QString &paper, bool makeDefault)
{
    if (!run(Admin,
            { QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("file://") + outputOf(name),
                QStringLiteral("-P"), PdfDriver, QStringLiteral("-o"), QStringLiteral("PageSize=") + paper }))
        return false;
    return !makeDefault || run(Admin, { QStringLiteral("-d"), name });
}

QString TestPrintServer::outputOf(const QString &name) const
{
    return m_root.filePath(QStringLiteral("out/") + name + QStringLiteral(".pdf"));
}

bool TestPrintServer::reject(const QString &name)
{
    return run(Reject, { name });
}

QList<TestPrintServer::Job> TestPrintServer::jobs() const
{
    cups_job_t *all = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &all, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QList<Job> list;
    for (int i = 0; i < count; ++i)
        list.append({ all[i].id, QString::fromUtf8(all[i].dest), QString::fromUtf8(all[i].title), int(all[i].state) });
    cupsFreeJobs(count, all);
    return list;
}

int TestPrintServer::waitForJob(int id, int timeoutMs) const
{
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        for (const Job &job : jobs())
            if (job.id == id && job.state >= IPP_JSTATE_CANCELED)
                return job.state;
        QThread::msleep(50);
    }
    return 0;
}

QString TestPrintServer::spoolFile(int id) const
{
    return m_root.filePath(QStringLiteral("spool/d%1-001").arg(id, 5, 10, QLatin1Char('0')));
}

QString TestPrintServer::log() const
{
    QFile f(m_root.filePath(QStringLiteral("log/error_log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
