#include "data/SqlParameters.h"

namespace {
bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

QString translateNamedParameters(const QString &sql, QStringList &names)
{
    names.clear();
    QString out;
    out.reserve(sql.size());
    const int n = static_cast<int>(sql.size());
    for (int i = 0; i < n; ++i) {
        QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // a literal or a quoted name, doubled quotes inside
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, qMin(j, n - 1) - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = static_cast<int>(sql.indexOf(QLatin1Char('\n'), i));
            if (j < 0)
                j = n - 1;
            out += QStringView(sql).mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = static_cast<int>(sql.indexOf(QLatin1String("*/"), i + 2));
            j = j < 0 ? n - 1 : j + 1;
            out += QStringView(sql).mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            names << sql.mid(i + 1, j - i - 1).toUpper();
            out += QLatin1Char('?');
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}
