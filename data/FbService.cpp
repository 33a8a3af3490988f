#include "data/FbService.h"

#include "core/Cp1252.h"
#include "data/Config.h"
#include "data/FbClient.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QThread>

#include <vector>

using namespace Firebird;

namespace {

quint16 readShort(const unsigned char *p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 readLong(const unsigned char *p)
{
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) | (static_cast<quint32>(p[2]) << 16)
        | (static_cast<quint32>(p[3]) << 24);
}

// The engine's log is UTF-8 for names it was given in UTF-8, its own texts
// are ASCII; anything else is taken as the single-byte code page.
QString logText(const unsigned char *p, quint16 length)
{
    const QByteArray bytes(reinterpret_cast<const char *>(p), length);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = Cp1252::toUnicode(bytes);
    return text;
}

// Each query waits at most this long for the engine, so that the caller
// keeps its window alive during a long action.
constexpr unsigned char QueryTimeoutSeconds = 1;
// Output of one query; 64 KiB is what one protocol packet carries.
constexpr unsigned ResultSize = 65000;

} // namespace

struct FbService::Handles
{
    FbRef<IService> service;
};

QString FbService::serverPrefix(const QString &databaseName)
{
    if (!Config::isServerDirectory(databaseName))
        return QString();
    return databaseName.left(databaseName.indexOf(QLatin1Char(':')) + 1);
}

QString FbService::pathOnEngine(const QString &databaseName)
{
    return databaseName.mid(serverPrefix(databaseName).size());
}

FbService::FbService(const QString &serverPrefix, const Credentials &credentials)
    : d(std::make_unique<Handles>())
{
    FbClient &client = FbClient::instance();
    FbStatus status;
    FbOwned<IXpbBuilder> spb(client.util()->getXpbBuilder(&status, IXpbBuilder::SPB_ATTACH, nullptr, 0));
    spb->insertTag(&status, isc_spb_utf8_filename);
    insertCredentials(spb.get(), status, credentials);
    const QByteArray name = (serverPrefix + QStringLiteral("service_mgr")).toUtf8();
    d->service.reset(
        client.provider()->attachServiceManager(&status, name.constData(), spb->getBufferLength(&status), spb->getBuffer(&status)));
}

FbService::~FbService()
{
    try {
        FbStatus status;
        d->service.finish([&status](IService *s) { s->detach(&status); });
    } catch (const Error &) {
        // A service that failed has told why already; the reference goes with the holder.
    }
}

void FbService::startBackup(const QString &database, const QString &file, bool verbose)
{
    FbStatus status;
    FbOwned<IXpbBuilder> spb(FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::SPB_START, nullptr, 0));
    spb->insertTag(&status, isc_action_svc_backup);
    spb->insertString(&status, isc_spb_dbname, database.toUtf8().constData());
    spb->insertString(&status, isc_spb_bkp_file, file.toUtf8().constData());
    if (verbose)
        spb->insertTag(&status, isc_spb_verbose);
    // A trigger of the database (on connect, on commit) has no say in a
    // backup, and must not be able to stop one.
    spb->insertInt(&status, isc_spb_options, isc_spb_bkp_no_triggers);
    d->service->start(&status, spb->getBufferLength(&status), spb->getBuffer(&status));
}

void FbService::startRestore(const QString &file, const QString &database)
{
    FbStatus status;
    FbOwned<IXpbBuilder> spb(FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::SPB_START, nullptr, 0));
    spb->insertTag(&status, isc_action_svc_restore);
    spb->insertString(&status, isc_spb_bkp_file, file.toUtf8().constData());
    spb->insertString(&status, isc_spb_dbname, database.toUtf8().constData());
    spb->insertInt(&status, isc_spb_options, isc_spb_res_create);
    spb->insertTag(&status, isc_spb_verbose);
    d->service->start(&status, spb->getBufferLength(&status), spb->getBuffer(&status));
}

void FbService::run(
    const std::function<void(const QString &)> &onLine, const std::function<void(const char *, qint64)> &onData, QIODevice *input)
{
    // The engine's thread of a failed action may still be ending it: the
    // service is left only once it has stopped, or an embedded engine could
    // be unloaded under that thread when the program ends.
    try {
        read(onLine, onData, input);
    } catch (const Error &) {
        waitUntilStopped();
        // Said stopped, the embedded engine's thread still has its last
        // steps to take after a failure.
        QThread::msleep(200);
        throw;
    }
    waitUntilStopped();
}

void FbService::waitUntilStopped()
{
    const unsigned char receive[] = { isc_info_svc_running };
    unsigned char result[64];
    for (int i = 0; i < 3000; ++i) {
        try {
            FbStatus status;
            d->service->query(&status, 0, nullptr, sizeof receive, receive, sizeof result, result);
        } catch (const Error &) {
            return;
        }
        if (result[0] != isc_info_svc_running || readLong(result + 1) == 0)
            return;
        QThread::msleep(10);
    }
}

namespace {

// Hands the engine what a restore asked for, after send's wait limit: never
// more than asked for, as the engine refuses it.
void appendInput(std::vector<unsigned char> &send, QIODevice &input, quint32 asked)
{
    const quint32 room = 0xFFFF - 1 - static_cast<quint32>(send.size()) - 3 - 1;
    const quint32 want = std::min(asked, room);
    const size_t at = send.size();
    send.resize(at + 3 + want);
    const qint64 got = input.read(reinterpret_cast<char *>(send.data() + at + 3), want);
    if (got < 0)
        throw Error(QStringLiteral("Lecture de la sauvegarde impossible : %1").arg(input.errorString()));
    send[at] = isc_info_svc_line;
    send[at + 1] = static_cast<unsigned char>(got & 0xFF);
    send[at + 2] = static_cast<unsigned char>((got >> 8) & 0xFF);
    send.resize(at + 3 + static_cast<size_t>(got));
}

// Hands on what one answer of the engine carries: log lines, streamed bytes,
// and how much of the file a restore asks for next (*asked). True while the
// action goes on.
bool takeAnswer(const unsigned char *p, const std::function<void(const QString &)> &onLine,
    const std::function<void(const char *, qint64)> &onData, quint32 &asked)
{
    bool more = false;
    asked = 0;
    const unsigned char *const end = p + ResultSize;
    while (p < end && *p != isc_info_end) {
        const unsigned char item = *p++;
        switch (item) {
        case isc_info_svc_line:
        case isc_info_svc_to_eof: {
            const quint16 length = readShort(p);
            p += 2;
            if (length > 0) {
                more = true;
                if (item == isc_info_svc_line)
                    onLine(logText(p, length));
                else
                    onData(reinterpret_cast<const char *>(p), length);
            }
            p += length;
            break;
        }
        case isc_info_svc_stdin:
            asked = readLong(p);
            p += 4;
            if (asked > 0)
                more = true;
            break;
        case isc_info_truncated:
        case isc_info_svc_timeout:
        case isc_info_data_not_ready:
            more = true;
            break;
        default:
            throw DbError(QStringLiteral("Réponse inattendue du gestionnaire de services Firebird (%1).").arg(item));
        }
    }
    return more;
}

} // namespace

void FbService::query(const std::vector<unsigned char> &send, const std::vector<unsigned char> &receive, unsigned char *result, int endSent)
{
    try {
        FbStatus status;
        d->service->query(&status, static_cast<unsigned>(send.size()), send.data(), static_cast<unsigned>(receive.size()), receive.data(),
            ResultSize, result);
    } catch (const DbError &e) {
        // Asked twice for more than the file holds, or failing to read
        // once the whole file was handed over, the engine wanted the
        // part a cut file lost.
        const bool failedPastTheEnd = endSent >= 1 && e.text().contains(QLatin1String("reading from backup file"), Qt::CaseInsensitive);
        if (endSent >= 2 || failedPastTheEnd)
            throw DbError(QStringLiteral("la sauvegarde s'arrête avant sa fin : le fichier est incomplet (%1)").arg(e.text()));
        throw;
    }
}

void FbService::read(
    const std::function<void(const QString &)> &onLine, const std::function<void(const char *, qint64)> &onData, QIODevice *input)
{
    std::vector<unsigned char> receive;
    receive.push_back(onData ? isc_info_svc_to_eof : isc_info_svc_line);
    if (input)
        receive.push_back(isc_info_svc_stdin);
    // The wait limit, and room for what the engine asks to read.
    const unsigned char timeout[] = { isc_info_svc_timeout, 4, 0, QueryTimeoutSeconds, 0, 0, 0 };
    std::vector<unsigned char> send;
    std::vector<unsigned char> result(ResultSize);
    quint32 asked = 0;
    int endSent = 0;
    for (;;) {
        send.assign(std::begin(timeout), std::end(timeout));
        // The end of the file is told once, by sending nothing; an engine
        // that asks again wants a part the file does not have.
        if (asked > 0 && input && input->atEnd()) {
            if (++endSent > 5)
                throw Error(QStringLiteral("la sauvegarde s'arrête avant sa fin : le fichier est incomplet."));
        }
        if (asked > 0 && input)
            appendInput(send, *input, asked);
        send.push_back(isc_info_end);
        query(send, receive, result.data(), endSent);
        if (!takeAnswer(result.data(), onLine, onData, asked))
            return;
        // The caller's window lives on while the engine works.
        onLine(QString());
    }
}
