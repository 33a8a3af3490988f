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
        TXMLFile xml(&buffer);
        xml.parse();
        if (const TXMLTagList *fields = xml.fieldList())
            for (const auto &field : *fields)
                xmlFieldName(*field);
        if (const TXMLTagList *rows = xml.rowList())
            for (const auto &row : *rows)
                for (int i = 0; i < row->attributeCount(); ++i)
                    replaceXmlEntities(row->attributeValue(i));
    } catch (const EDataImportError &) {
    }
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TXMLFile xml(&buffer);
        xml.parse(true);
        while (!xml.endOfText())
            xml.nextTag();
    } catch (const EDataImportError &) {
    }
}
