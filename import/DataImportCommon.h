#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// ---------------------------------------------------------------------------
// Delimited lines (the text source and the wizard's preview of it)
// ---------------------------------------------------------------------------

// Fills list with the fields of line, left to right. A field that starts with
// quote (when quote is not 0) is quoted: the separator is part of it, a doubled
// quote is one literal quote, and whatever follows its closing quote up to the
// next separator is dropped. Other fields run to the next separator and keep
// any quote characters. The last field is always added, even when empty.
void SplitDelimitedLine(const QString &line, QChar quote, QChar separator, QStringList &list);

// End of delimited lines
// ---------------------------------------------------------------------------
