#include "app/cli/Commands.h"
#include "app/cli/Preview.h"

#include <QFileInfo>

#include <algorithm>

namespace {
bool isPlain(QChar c)
{
    return c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r') && c != QLatin1Char('\\');
}
} // namespace

void writePreviewField(QTextStream &out, const QString &value)
{
    constexpr qsizetype Slice = 4096;
    for (qsizetype from = 0; from < value.size(); from += Slice) {
        const QStringView slice = QStringView(value).mid(from, Slice);
        if (std::all_of(slice.cbegin(), slice.cend(), isPlain))
            out << slice;
        else
            out << escapePreviewField(slice.toString());
    }
}

QString escapePreviewField(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        default:
            out += c;
        }
    }
    return out;
}

int previewCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    PreviewOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &target) {
            if (i + 1 >= args.size())
                return false;
            target = args[++i];
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--kind"))
            ok = value(o.kind);
        else if (a == QLatin1String("--delimiter"))
            ok = value(o.delimiter);
        else if (a == QLatin1String("--quote"))
            ok = value(o.quote);
        else if (a == QLatin1String("--date-format"))
            ok = value(o.dateFormat);
        else if (a == QLatin1String("--decimal"))
            ok = value(o.decimal);
        else if (a == QLatin1String("--ranges"))
            ok = value(o.ranges);
        else if (a == QLatin1String("--skip")) {
            QString n;
            ok = value(n);
            o.skip = n.toInt(&ok);
            ok = ok && o.skip >= 0;
        } else if (a.startsWith(QLatin1String("--")) || !o.file.isEmpty())
            ok = false;
        else
            o.file = a;
        if (!ok) {
            err << "Argument incorrect : " << a << "\n";
            return 2;
        }
    }
    if (o.file.isEmpty()) {
        err << "Utilisation : kestra-cli preview FILE [--kind csv|txt|dbf|xml|xls] [--delimiter C] [--quote C] [--skip N]\n";
        return 2;
    }
    if (o.kind.isEmpty()) {
        const QString ext = QFileInfo(o.file).suffix().toLower();
        o.kind = ext == QLatin1String("xls") ? QStringLiteral("xls")
            : ext == QLatin1String("dbf")    ? QStringLiteral("dbf")
            : ext == QLatin1String("xml")    ? QStringLiteral("xml")
            : ext == QLatin1String("txt")    ? QStringLiteral("txt")
                                             : QStringLiteral("csv");
    }
    if (o.kind == QLatin1String("csv") || o.kind == QLatin1String("txt"))
        return previewText(o, out, err);
    if (o.kind == QLatin1String("dbf"))
        return previewDbf(o, out, err);
    if (o.kind == QLatin1String("xml"))
        return previewXml(o, out, err);
    if (o.kind == QLatin1String("xls"))
        return previewXls(o, out, err);
    err << "Type de fichier inconnu : " << o.kind << "\n";
    return 2;
}
