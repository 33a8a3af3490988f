#include "core/Text.h"

QStringView trimmedControls(QStringView s)
{
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s[start].unicode() <= 0x20)
        ++start;
    while (end > start && s[end - 1].unicode() <= 0x20)
        --end;
    return s.sliced(start, end - start);
}

QString trimControls(const QString &s)
{
    return trimmedControls(s).toString();
}
