// Text files: lines read as the text source reads them, each split as a
// delimited line with the usual separators and quotes and cut as fixed-width
// fields.

#include "fuzz/FuzzTarget.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/text/TextLineReader.h"

#include <QBuffer>

KESTRA_FUZZ_TARGET(text)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        TextLineReader reader(&buffer);
        QString line;
        QStringList fields;
        while (reader.readLine(line)) {
            isBlankLine(line);
            splitDelimitedLine(line, QLatin1Char('"'), QLatin1Char(';'), fields);
            delimitedField(fields, QStringLiteral("2"));
            splitDelimitedLine(line, QLatin1Char('\''), QLatin1Char(','), fields, 3);
            splitDelimitedLine(line, QChar(0), QLatin1Char('\t'), fields);
            qsizetype counted = 0;
            forEachDelimitedField(line, QLatin1Char('"'), QLatin1Char(' '), [&](const QString &) { return ++counted < 5; });
            for (const char *map : { "0;3", "5;10", "-2;4", "3", "2147483647;2147483647" })
                cutFixedWidth(line, parseFixedWidthMapValue(QString::fromLatin1(map)));
        }
    } catch (const ImportError &) {
    }
}
