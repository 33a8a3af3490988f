#include "app/cli/Preview.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"

#include <QFile>

namespace {
// The wizard's rule for a typed delimiter or quote: TAB, SPACE, one
// character, or "#" and its code ("#0" turns quoting off).
bool characterOption(const QString &text, QChar &c)
{
    if (text.compare(QLatin1String("TAB"), Qt::CaseInsensitive) == 0)
        c = QLatin1Char('\t');
    else if (text.compare(QLatin1String("SPACE"), Qt::CaseInsensitive) == 0)
        c = QLatin1Char(' ');
    else if (text.size() == 1)
        c = text[0];
    else if (text.size() > 1 && text[0] == QLatin1Char('#')) {
        bool ok = false;
        const uint code = text.mid(1).toUInt(&ok);
        c = ok && code < 256 ? QChar(char16_t(code)) : QChar(0);
    } else
        return false;
    return true;
}
} // namespace

// Each data line as the text source hands it to the import: leading lines
// skipped, blank lines left out, then the fields of a delimited line or the
// whole line of a fixed-width file. One line in memory at a time.
int previewText(const PreviewOptions &options, QTextStream &out, QTextStream &err)
{
    QChar comma = options.kind == QLatin1String("txt") ? QChar(0) : defaultTextDelimiter();
    QChar quote = QLatin1Char('"');
    if (!options.delimiter.isEmpty() && !characterOption(options.delimiter, comma)) {
        err << "Argument incorrect : " << options.delimiter << "\n";
        return 2;
    }
    if (!options.quote.isEmpty() && !characterOption(options.quote, quote)) {
        err << "Argument incorrect : " << options.quote << "\n";
        return 2;
    }
    if (options.kind == QLatin1String("txt"))
        comma = QChar(0);
    TextEncoding encoding = teWindows1252;
    if (!options.encoding.isEmpty() && !textEncodingFromName(options.encoding, encoding)) {
        err << "Argument incorrect : " << options.encoding << "\n";
        return 2;
    }

    QFile file(options.file);
    if (!file.open(QIODevice::ReadOnly)) {
        err << file.errorString() << "\n";
        return 1;
    }
    try {
        TextLineReader reader(&file, encoding);
        QString line;
        qint64 skipped = 0;
        while (reader.readLine(line)) {
            if (skipped < options.skip) {
                ++skipped;
                continue;
            }
            if (isBlankLine(line))
                continue;
            if (comma == QChar(0)) {
                out << escapePreviewField(line) << '\n';
                continue;
            }
            // Written as they come: a line of millions of fields needs no list.
            bool first = true;
            forEachDelimitedField(line, quote, comma, [&](const QString &field) {
                if (!first)
                    out << '\t';
                first = false;
                writePreviewField(out, field);
                return true;
            });
            out << '\n';
        }
    } catch (const ImportError &e) {
        out.flush();
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
