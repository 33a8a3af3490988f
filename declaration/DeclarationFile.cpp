#include "declaration/DeclarationFile.h"

#include "core/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Records go out in blocks; a failure still leaves what came before them.
constexpr int BufferSize = 64 * 1024;
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

DeclarationFile::~DeclarationFile()
{
    try {
        close();
    } catch (const Error &) {
        // Already told by the failing step; nothing more to say here.
    }
}

void DeclarationFile::create(const QString &path)
{
    close();
    const QByteArray name = path.toLocal8Bit();
    int fd;
    do
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw Error(ioErrorText(errno));
    m_fd = fd;
    m_buffer.reserve(BufferSize + 512);
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
    const char *p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, static_cast<size_t>(left));
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

void DeclarationFile::close()
{
    if (m_fd < 0)
        return;
    int fd = m_fd;
    try {
        flush();
    } catch (...) {
        ::close(fd);
        m_fd = -1;
        throw;
    }
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw Error(ioErrorText(errno));
}
