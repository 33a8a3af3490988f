#include "core/Text.h"

QString trimControls(const QString &s)
{
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s[start].unicode() <= 0x20)
        ++start;
    while (end > start && s[end - 1].unicode() <= 0x20)
        --end;
    return s.mid(start, end - start);
}
