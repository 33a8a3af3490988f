#include "declaration/DeclarationFile.h"

#include "core/Error.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Records go out in blocks.
constexpr int BufferSize = 64 * 1024;

DeclarationFile::WriteFunction g_write = ::write;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// The directory part of a path formed as directory + "/" + name.
QString directoryOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString hiddenName(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate64(), 16);
}

bool exists(const QString &path)
{
    struct stat st;
    return ::lstat(native(path).constData(), &st) == 0;
}

// File systems without unnamed temporary files say so in one of these ways.
bool noUnnamedFiles(int e)
{
    return e == EOPNOTSUPP || e == EISDIR || e == EINVAL;
}

// File systems without hard links (some network shares) say so in one of these ways.
bool noHardLinks(int e)
{
    return e == EPERM || e == EXDEV || e == EOPNOTSUPP || e == EMLINK || e == ENOSYS;
}
} // namespace

QString DeclarationFile::ioErrorText(int e)
{
    switch (e) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Invalid filename"); // the directory does not exist
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return QStringLiteral("File access denied");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(e);
    }
}

void DeclarationFile::setWriteFunction(WriteFunction write)
{
    g_write = write ? write : ::write;
}

QString DeclarationFile::keptName(const QString &path)
{
    struct stat st;
    QDateTime written = QDateTime::currentDateTime();
    if (::stat(native(path).constData(), &st) == 0)
        written = QDateTime::fromSecsSinceEpoch(st.st_mtime);
    const QString base = path + QLatin1Char('_') + written.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

void DeclarationFile::HashDeleter::operator()(evp_md_ctx_st *context) const
{
    EVP_MD_CTX_free(context);
}

DeclarationFile::~DeclarationFile()
{
    discard();
}

void DeclarationFile::create(const QString &path)
{
    discard();
    m_path = path;
    m_sha256.clear();
    const QByteArray directory = native(directoryOf(path));
    int fd;
    do
        fd = ::open(directory.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && noUnnamedFiles(errno)) {
        // A hidden name, removed again on failure; only a killed process leaves it.
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString candidate = hiddenName(path);
            do
                fd = ::open(native(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            while (fd < 0 && errno == EINTR);
            if (fd >= 0) {
                m_tempPath = candidate;
                break;
            }
            if (errno != EEXIST)
                break;
        }
    }
    if (fd < 0)
        throw Error(ioErrorText(errno));
    m_fd = fd;
    m_buffer.reserve(BufferSize + 512);
    m_hash.reset(EVP_MD_CTX_new());
    if (!m_hash || EVP_DigestInit_ex(m_hash.get(), EVP_sha256(), nullptr) != 1) {
        discard();
        throw Error(QStringLiteral("SHA-256 indisponible (bibliothèque OpenSSL)"));
    }
}

void DeclarationFile::writeRecord(const QByteArray &record)
{
    m_buffer += record;
    m_buffer += "\r\n";
    if (m_buffer.size() >= BufferSize)
        flush();
}

void DeclarationFile::flush()
{
    if (m_fd < 0) {
        m_buffer.clear();
        return;
    }
    EVP_DigestUpdate(m_hash.get(), m_buffer.constData(), static_cast<size_t>(m_buffer.size()));
    const char *p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = g_write(m_fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            m_buffer.clear();
            throw Error(ioErrorText(e));
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
}

void DeclarationFile::finish()
{
    if (m_finished)
        return;
    if (m_fd < 0)
        throw Error(ioErrorText(EBADF));
    flush();
    if (::fsync(m_fd) != 0)
        throw Error(ioErrorText(errno));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_hash.get(), digest, &length);
    m_sha256 = QByteArray(reinterpret_cast<const char *>(digest), static_cast<qsizetype>(length)).toHex();
    m_finished = true;
}

QString DeclarationFile::commit()
{
    finish();
    const QByteArray finalName = native(m_path);
    struct stat st;
    const bool earlier = ::lstat(finalName.constData(), &st) == 0 && S_ISREG(st.st_mode);
    QString kept;
    bool keepByRenaming = false;
    if (earlier) {
        // A second name for the earlier file; the file itself stays where it
        // is until the new one replaces it in one step.
        kept = keptName(m_path);
        if (::link(finalName.constData(), native(kept).constData()) != 0) {
            if (!noHardLinks(errno))
                throw Error(ioErrorText(errno));
            keepByRenaming = true;
        }
    }
    auto undoKeeping = [&] {
        if (!earlier)
            return;
        if (keepByRenaming)
            ::rename(native(kept).constData(), finalName.constData());
        else
            ::unlink(native(kept).constData());
    };

    if (m_tempPath.isEmpty()) {
        // The unnamed file gets a hidden name first: a name cannot be given
        // over an existing one, a rename can.
        const QString hidden = hiddenName(m_path);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(hidden).constData(), AT_SYMLINK_FOLLOW) != 0
            && ::linkat(m_fd, "", AT_FDCWD, native(hidden).constData(), AT_EMPTY_PATH) != 0) {
            const int e = errno;
            if (earlier && !keepByRenaming)
                ::unlink(native(kept).constData());
            throw Error(ioErrorText(e));
        }
        m_tempPath = hidden;
    }
    if (keepByRenaming && ::rename(finalName.constData(), native(kept).constData()) != 0) {
        const int e = errno;
        throw Error(ioErrorText(e));
    }
    if (::rename(native(m_tempPath).constData(), finalName.constData()) != 0) {
        const int e = errno;
        undoKeeping();
        throw Error(ioErrorText(e));
    }
    m_tempPath.clear();
    closeDescriptor();
    // The new name made durable too. Some file systems cannot sync a
    // directory; the file's own content is on disk already.
    const int dir = ::open(native(directoryOf(m_path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return kept;
}

void DeclarationFile::closeDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void DeclarationFile::discard()
{
    closeDescriptor();
    if (!m_tempPath.isEmpty())
        ::unlink(native(m_tempPath).constData());
    m_tempPath.clear();
    m_buffer.clear();
    m_hash.reset();
    m_finished = false;
}
