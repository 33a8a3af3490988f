#pragma once

#include <QString>

#include <ostream>

// Readable texts in the failure messages of the reader tests.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
