#include "app/cli/Commands.h"
#include "app/cli/Preview.h"
#include "import/template/SourceKind.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

// The kind of a file: workbooks by their content (a zip or a compound
// document, whatever the name), the others by their extension.
QString kindOf(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(4);
        if (head.startsWith(QByteArrayLiteral("PK\x03\x04")) || head == QByteArrayLiteral("\xD0\xCF\x11\xE0"))
            return QStringLiteral("xls");
    }
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("xls") || ext == QLatin1String("xlsx") || ext == QLatin1String("xlsm") || ext == QLatin1String("ods"))
        return QStringLiteral("xls");
    // A database container is a dBase table of its own kind.
    if (ext == QLatin1String("dbf") || ext == QLatin1String("dbc"))
        return QStringLiteral("dbf");
    if (ext == QLatin1String("xml") || ext == QLatin1String("txt"))
        return ext;
    return QStringLiteral("csv");
}

using PreviewFunction = int (*)(const PreviewOptions &, QTextStream &, QTextStream &);

// The preview of each kind, in the order of AllowedImport; the kinds are
// named as in import/template/SourceKind.cpp.
const PreviewFunction previews[] = { previewXls, previewDbf, previewXml, previewText, previewText };
static_assert(std::size(previews) == ImportKindCount, "one preview per kind");

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

int previewCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    PreviewOptions o;
    o.file = line.argument();
    o.kind = line.value(QStringLiteral("kind"));
    o.delimiter = line.value(QStringLiteral("delimiter"));
    o.quote = line.value(QStringLiteral("quote"));
    o.dateFormat = line.value(QStringLiteral("date-format"));
    o.decimal = line.value(QStringLiteral("decimal"));
    o.ranges = line.value(QStringLiteral("ranges"));
    o.encoding = line.value(QStringLiteral("encoding"));
    o.skip = line.value(QStringLiteral("skip")).toInt();
    if (o.file.isEmpty()) {
        err << line.usage();
        return 2;
    }
    if (o.kind.isEmpty())
        o.kind = kindOf(o.file);
    // Every workbook goes through the one reader, which tells them apart.
    if (o.kind == QLatin1String("xlsx") || o.kind == QLatin1String("ods"))
        o.kind = QStringLiteral("xls");
    if (const SourceKind *kind = sourceKindNamed(o.kind))
        return previews[kind->kind](o, out, err);
    err << "Type de fichier inconnu : " << o.kind << "\n";
    return 2;
}
