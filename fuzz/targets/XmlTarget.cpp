// XML data packets, parsed whole and read tag by tag as the import streams them.

#include "fuzz/FuzzTarget.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/xml/XmlPacketReader.h"

#include <QBuffer>

KESTRA_FUZZ_TARGET(xml)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        XmlPacketReader xml(&buffer);
        xml.parse();
        if (const XmlTagList *fields = xml.fieldList())
            for (const auto &field : *fields)
                xmlFieldName(*field);
        if (const XmlTagList *rows = xml.rowList())
            for (const auto &row : *rows)
                for (int i = 0; i < row->attributeCount(); ++i)
                    replaceXmlEntities(row->attributeValue(i));
    } catch (const ImportError &) {
    }
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        XmlPacketReader xml(&buffer);
        xml.parse(true);
        while (!xml.endOfText())
            xml.nextTag();
    } catch (const ImportError &) {
    }
}
