#include "app/cli/Preview.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/xml/XmlPacketReader.h"

#include <QFile>
#include <QFileInfo>

namespace {
void writeRow(const XmlTag &row, const QStringList &names, QTextStream &out)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            out << '\t';
        out << escapePreviewField(replaceXmlEntities(row.attribute(names[i])));
    }
    out << '\n';
}
} // namespace

// The field names of the packet, then the value of each of those fields per
// row. The field list is parsed as a tree; the rows after it are read one
// tag at a time, so a packet of any length streams through.
int previewXml(const PreviewOptions &options, QTextStream &out, QTextStream &err)
{
    if (!QFileInfo::exists(options.file)) {
        err << "File " << options.file << " not found\n";
        return 1;
    }
    QFile file(options.file);
    if (!file.open(QIODevice::ReadOnly)) {
        err << file.errorString() << "\n";
        return 1;
    }
    try {
        XmlPacketReader xml(&file);
        xml.parse(true);
        QStringList names;
        if (const XmlTagList *fields = xml.fieldList())
            for (const auto &field : *fields)
                names << xmlFieldName(*field);
        out << '#';
        for (const QString &name : names)
            out << '\t' << escapePreviewField(name);
        out << '\n';

        qint64 index = 0;
        // Rows that came before the field list (or all of them when there is
        // none) are already in the tree.
        if (const XmlTagList *rows = xml.rowList())
            for (const auto &row : *rows)
                if (index++ >= options.skip)
                    writeRow(*row, names, out);
        while (!xml.endOfText()) {
            const std::unique_ptr<XmlTag> tag = xml.nextTag();
            if (tag && tag->name().compare(QLatin1String("ROW"), Qt::CaseInsensitive) == 0 && index++ >= options.skip)
                writeRow(*tag, names, out);
        }
    } catch (const ImportError &e) {
        out.flush();
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
