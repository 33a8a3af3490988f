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
        xml.Parse();
        if (const TXMLTagList *fields = xml.FieldList())
            for (const auto &field : *fields)
                XMLFieldName(*field);
        if (const TXMLTagList *rows = xml.RowList())
            for (const auto &row : *rows)
                for (int i = 0; i < row->AttributeCount(); ++i)
                    ReplaceXMLEntities(row->AttributeValue(i));
    } catch (const EDataImportError &) {
    }
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TXMLFile xml(&buffer);
        xml.Parse(true);
        while (!xml.EndOfText())
            xml.NextTag();
    } catch (const EDataImportError &) {
    }
}
