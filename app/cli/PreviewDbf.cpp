#include "app/cli/Preview.h"
#include "core/Cp1252.h"
#include "import/sources/dbf/DbfReader.h"
#include "import/engine/ImportMessages.h"

namespace {
// Blanks and control bytes (the padding of fixed-width fields) at both ends.
QString trimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= ' ')
        ++from;
    while (to > from && text[to - 1].unicode() <= ' ')
        --to;
    return text.mid(from, to - from);
}
} // namespace

// The field list, then every record as the table reader returns it: the
// deletion mark and each field's text (memo text included) without its
// padding. Skipped leading records are read but not shown.
int previewDbf(const PreviewOptions &options, QTextStream &out, QTextStream &err)
{
    try {
        DbfReader table(options.file);
        out << '#';
        for (const DbfDescriptor &field : table.descriptors()) {
            const QString type = Cp1252::toUnicode(&field.type, 1);
            out << '\t' << escapePreviewField(QStringLiteral("%1:%2:%3:%4").arg(field.name, type).arg(field.length).arg(field.decimals));
        }
        out << '\n';
        while (!table.endOfTable()) {
            QStringList values;
            for (int i = 0; i < table.fieldCount(); ++i)
                values << trimBlanks(table.readField(i));
            if (table.recordNumber() <= options.skip)
                continue;
            out << (table.deleted() ? "*" : "");
            for (const QString &value : values) {
                out << '\t';
                writePreviewField(out, value);
            }
            out << '\n';
        }
    } catch (const ImportError &e) {
        out.flush();
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
