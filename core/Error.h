#pragma once

#include <QString>

#include <exception>
#include <string>

// The one exception type the program's layers raise; what the operator reads
// is text(), in the words of the layer that failed.
class Error : public std::exception
{
public:
    explicit Error(QString text);
    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_text;
    std::string m_utf8;
};
