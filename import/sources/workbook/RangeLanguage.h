#pragma once

#include <QString>
#include <QStringList>

// What the range language's parser and its ranges share.
namespace RangeLanguage {
// The largest row and column a range may name (1-based).
constexpr int MaxRow = 65536;
constexpr int MaxCol = 256;

// Raises the language's error: "%s" and "%d" filled in order; the operator
// reads the translation.
[[noreturn]] void fail(const char *pattern, const QStringList &args = {}, const QStringList &shownArgs = {});
QString num(int n);
// "B7" for row 7, column 2 (both 1-based), as a range names a cell.
QString cellText(int row, int col);
} // namespace RangeLanguage
