#include "data/FbClient.h"

#include "core/Cp1252.h"
#include "data/Connection.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstring>
#include <dlfcn.h>
#include <mutex>

namespace {
QString g_libraryName = QStringLiteral("libfbclient.so.2");
} // namespace

QString FbClient::missingLibraryMessage(const QString &libraryName)
{
    return QStringLiteral("Firebird library %1 not found in the path. Please install Firebird to use this functionality").arg(libraryName);
}

bool FbClient::probe(const QString &libraryName, QString *message)
{
    void *handle = dlopen(libraryName.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    const bool ok = handle && dlsym(handle, "fb_get_master_interface");
    if (handle)
        dlclose(handle);
    if (!ok && message)
        *message = missingLibraryMessage(libraryName);
    return ok;
}

void FbClient::setLibraryName(const QString &name)
{
    g_libraryName = name;
}

bool FbClient::available(QString *message)
{
    try {
        instance();
        return true;
    } catch (const Error &e) {
        if (message)
            *message = e.text();
        return false;
    }
}

FbClient &FbClient::instance()
{
    static FbClient client;
    if (client.m_master)
        return client;
    void *handle = dlopen(g_libraryName.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle)
        throw DbError(missingLibraryMessage(g_libraryName));
    using GetMaster = Firebird::IMaster *(*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(handle, "fb_get_master_interface"));
    if (!getMaster)
        throw DbError(missingLibraryMessage(g_libraryName));
    client.m_master = getMaster();
    client.m_util = client.m_master->getUtilInterface();
    client.m_provider = client.m_master->getDispatcher();
    return client;
}

QString FbClient::formatStatus(Firebird::IStatus *status) const
{
    char buf[2048];
    unsigned len = m_util->formatStatus(buf, sizeof buf - 1, status);
    buf[len < sizeof buf ? len : sizeof buf - 1] = 0;
    // File names come back in UTF-8, the server's texts in the connection's
    // single-byte code page: take UTF-8 when the bytes are valid UTF-8.
    const QByteArray bytes(buf, static_cast<qsizetype>(std::strlen(buf)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = Cp1252::toUnicode(bytes);
    return text.trimmed();
}

FbStatus::FbStatus()
    : BaseStatusWrapper(FbClient::instance().master()->getStatus())
{
}

FbStatus::~FbStatus()
{
    dispose();
}

void FbStatus::checkException(FbStatus *status)
{
    if (status->dirty && (status->getState() & Firebird::IStatus::STATE_ERRORS)) {
        // Every code that follows isc_arg_gds: a conflict with another
        // connection is told apart by the second one.
        QList<int> codes;
        for (const intptr_t *v = status->getErrors(); v && *v != isc_arg_end;) {
            const intptr_t kind = v[0];
            if (kind == isc_arg_gds)
                codes.append(static_cast<int>(v[1]));
            // isc_arg_cstring carries a length and a pointer; every other
            // argument one value.
            v += kind == isc_arg_cstring ? 3 : 2;
        }
        QString text = codes.contains(isc_login) ? DbError::LoginRefusedMessage : FbClient::instance().formatStatus(status->status);
        status->clearException();
        throw DbError(text, codes);
    }
}

void insertCredentials(Firebird::IXpbBuilder *block, FbStatus &status, const Credentials &credentials)
{
    block->insertString(&status, isc_dpb_user_name, credentials.user.toUtf8().constData());
    block->insertString(&status, isc_dpb_password, credentials.password.toUtf8().constData());
}

bool DbError::isLockConflict() const
{
    return hasCode(isc_update_conflict) || hasCode(isc_lock_timeout) || hasCode(isc_lock_conflict) || gdsCode() == isc_deadlock;
}

bool DbError::hasLockTimeout() const
{
    return hasCode(isc_lock_timeout);
}

bool DbError::isKeyViolation() const
{
    return hasCode(isc_unique_key_violation) || hasCode(isc_no_dup);
}
