#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <sys/types.h>

struct evp_md_ctx_st;

// The declaration file on disk, whole or absent: records are written in the
// single-byte code page, each ended by CR LF, into a temporary file of the
// destination's directory that has no name there (or a hidden one where the
// file system cannot do without); commit() syncs it to disk and only then
// puts it under its name. A failure, or a process that dies before commit(),
// leaves the earlier file of that name untouched and nothing of the new one.
// Failures raise Error with the run-time's input/output texts ("Invalid
// filename", "File access denied", "Disk full"...).
class DeclarationFile
{
public:
    DeclarationFile() = default;
    ~DeclarationFile(); // discards a file not committed
    DeclarationFile(const DeclarationFile &) = delete;
    DeclarationFile &operator=(const DeclarationFile &) = delete;

    // Starts the file that will be named path; path itself is not touched.
    void create(const QString &path);
    void writeRecord(const QByteArray &record); // bytes of the single-byte code page
    // Writes what is pending and syncs it to disk, still without a name.
    void finish();
    // Puts the finished file under its name. An earlier file of that name
    // is kept beside it, named after its own date and time; returns that
    // name, or an empty text when there was none.
    QString commit();
    // Drops the file: nothing of it remains.
    void discard();

    const QString &path() const { return m_path; }
    // SHA-256 of the bytes written, in hexadecimal; known once finished.
    const QByteArray &sha256() const { return m_sha256; }

    // The run-time's text for a system error number.
    static QString ioErrorText(int errorNumber);
    // The name an earlier file is kept under: its name, "_", and the date and
    // time it was last written ("FAC_T1_26_20260420-143512"), with "-2",
    // "-3"... when that name is taken.
    static QString keptName(const QString &path);

    // For tests: the system call that writes, replaced to make a disk fail.
    using WriteFunction = ssize_t (*)(int fd, const void *buffer, size_t count);
    static void setWriteFunction(WriteFunction write); // nullptr: the system's

private:
    void flush();
    void closeDescriptor();

    QString m_path;
    QString m_tempPath; // the hidden name, where the file system has no unnamed files
    int m_fd = -1;
    bool m_finished = false;
    QByteArray m_buffer;
    // SHA-256 through OpenSSL: a quarter of 100,000 invoices is 33 MB, which
    // the processor's SHA instructions hash ten times faster than Qt's own code.
    struct HashDeleter
    {
        void operator()(evp_md_ctx_st *context) const;
    };
    std::unique_ptr<evp_md_ctx_st, HashDeleter> m_hash;
    QByteArray m_sha256;
};
