#pragma once

#include <QString>

#include <ostream>

// Texts in gtest's failure messages as texts, blanks included, rather than
// as their bytes.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
