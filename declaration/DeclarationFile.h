#pragma once

#include <QByteArray>
#include <QString>

// The declaration file on disk: created (or replaced), records written in the
// single-byte code page, each ended by CR LF. Failures raise Error with the
// run-time's input/output texts ("Invalid filename", "File access denied"...).
class DeclarationFile
{
public:
    DeclarationFile() = default;
    ~DeclarationFile(); // writes what is pending and closes
    DeclarationFile(const DeclarationFile &) = delete;
    DeclarationFile &operator=(const DeclarationFile &) = delete;

    void create(const QString &path);
    void writeRecord(const QByteArray &record); // bytes of the single-byte code page
    void close();

    // The run-time's text for a system error number.
    static QString ioErrorText(int errorNumber);

private:
    void flush();

    int m_fd = -1;
    QByteArray m_buffer;
};
