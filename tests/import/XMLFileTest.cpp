#include "import/sources/xml/XmlPacketReader.h"

#include "import/engine/ImportMessages.h"
#include "tests/import/ReaderTestSupport.h"

#include <QBuffer>
#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString Packet = QStringLiteral(KESTRA_FIXTURES_DIR "/xml/packet.xml");
const QByteArray Header = R"(<?xml version="1.0" standalone="yes"?>)";

// Parses bytes from memory; the error text, or empty when it parsed.
QString parseError(const QByteArray &bytes, bool fieldsOnly = false)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    XmlPacketReader xml(&buffer);
    try {
        xml.parse(fieldsOnly);
    } catch (const ImportError &e) {
        return e.text();
    }
    return QString();
}

QStringList fieldNames(const XmlPacketReader &xml)
{
    QStringList names;
    if (const XmlTagList *fields = xml.fieldList())
        for (const auto &field : *fields)
            names << xmlFieldName(*field);
    return names;
}

} // namespace

TEST(XMLFile, DataPacket)
{
    XmlPacketReader xml(Packet);
    xml.loadText();
    xml.parse();
    EXPECT_TRUE(xml.parsed());
    EXPECT_TRUE(xml.endOfText());
    EXPECT_EQ(xml.header().attribute("VERSION"), "1.0");
    EXPECT_EQ(xml.header().attribute("standalone"), "yes");
    EXPECT_EQ(xml.fieldCount(), 3);
    EXPECT_EQ(fieldNames(xml), (QStringList { "Code", "Name", "Amount" }));
    ASSERT_EQ(xml.rowCount(), 5);

    const XmlTagList &rows = *xml.rowList();
    QStringList names, amounts;
    for (const auto &row : rows) {
        names << replaceXmlEntities(row->attribute("Name"));
        amounts << row->attribute("amount");
    }
    EXPECT_EQ(names, (QStringList { "Dupont & Fils", "\"Le Coin\"", "a < b", "say \"hi\"", "><" }));
    EXPECT_EQ(amounts, (QStringList { "12.5", "3", "", "-1", "7" }));
    EXPECT_EQ(rows.at(1)->attribute("Name"), "&quot;Le Coin&quot;"); // kept as written until imported
    EXPECT_EQ(rows.at(4)->attributeName(0), "Amount");
    EXPECT_EQ(rows.at(0)->parent()->name(), "ROWDATA");
}

TEST(XMLFile, EntitiesAreReplacedOneAfterTheOther)
{
    EXPECT_EQ(replaceXmlEntities("&amp;lt;"), "<");
    EXPECT_EQ(replaceXmlEntities("&AMP;quot;&QUOT;"), "&quot;\"");
    EXPECT_EQ(replaceXmlEntities("a &amp;amp; b &apos;"), "a &amp; b &apos;");
}

TEST(XMLFile, FieldsOnlyThenTagByTag)
{
    XmlPacketReader xml(Packet);
    xml.loadText();
    xml.parse(true);
    EXPECT_FALSE(xml.parsed());
    EXPECT_EQ(fieldNames(xml), (QStringList { "Code", "Name", "Amount" }));
    EXPECT_EQ(xml.rowList(), nullptr);
    EXPECT_EQ(xml.rowCount(), 0);

    // Reading goes on after "</FIELDS>" one tag at a time.
    QStringList seen;
    while (!xml.endOfText()) {
        std::unique_ptr<XmlTag> tag = xml.nextTag();
        seen << (tag ? tag->name() : QStringLiteral("-"));
    }
    EXPECT_EQ(seen, (QStringList { "PARAMS", "-", "ROWDATA", "ROW", "ROW", "ROW", "ROW", "ROW", "-", "-", "-" }));
}

TEST(XMLFile, StreamsFromADeviceWithoutLoading)
{
    QFile file(Packet);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    XmlPacketReader xml(&file);
    int rows = 0;
    QString lastCode;
    while (!xml.endOfText())
        if (std::unique_ptr<XmlTag> tag = xml.nextTag(); tag && tag->name() == "ROW") {
            ++rows;
            lastCode = tag->attribute("code");
        }
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(lastCode, "C5");
}

TEST(XMLFile, EmptyElementWithItsSlashAfterTheName)
{
    // As many programs write an empty parameter list: the element is complete,
    // so the rows that follow are still the packet's.
    const QByteArray text = Header
        + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"CODE\"/></FIELDS><PARAMS/></METADATA>"
          "<ROWDATA><ROW CODE=\"1\"/><ROW/><ROW CODE=\"3\"/></ROWDATA></DATAPACKET>";
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    XmlPacketReader xml(&buffer);
    xml.parse();
    EXPECT_EQ(fieldNames(xml), (QStringList { "CODE" }));
    ASSERT_EQ(xml.rowCount(), 3);
    EXPECT_EQ(xml.rowList()->at(1)->name(), "ROW");
    EXPECT_EQ(xml.rowList()->at(1)->attributeCount(), 0);
    EXPECT_EQ(xml.rowList()->at(2)->attribute("code"), "3");

    // Tag by tag, the same element comes whole, named without its slash.
    QByteArray again = text;
    QBuffer device(&again);
    device.open(QIODevice::ReadOnly);
    XmlPacketReader scanner(&device);
    QStringList seen;
    while (!scanner.endOfText())
        if (std::unique_ptr<XmlTag> tag = scanner.nextTag())
            seen << tag->name();
    EXPECT_EQ(seen, (QStringList { "DATAPACKET", "METADATA", "FIELDS", "FIELD", "PARAMS", "ROWDATA", "ROW", "ROW", "ROW" }));
}

TEST(XMLFile, ScannerErrors)
{
    const struct
    {
        QByteArray text;
        QString error;
    } cases[] = {
        { "<DATAPACKET />", "XML header failed" },
        { "", "XML header failed" },
        { "  \r\n ", "XML header failed" },
        { "<?xml version=\"1.0\">", "XML header failed" },
        { "x" + Header, "Unexpected symbol x at position 1" },
        { " \n\t x", "Unexpected symbol x at position 5" },
        { "<?xml standalone=\"yes\"?>", "Version attribute expected but $s found" },
        { "<?xml?>", "Version attribute expected but $s found" },
        { "<?xml version=\"1.0\" foo=\"x\"?>", "Unexpected attriute name foo" },
        { Header + "<ROW/>", "" },
        { Header + "<ROW />", "" },
        { Header + "<ROW//>", "Unexpected symbol / at position 4" },
        { Header + "<ROW/ >", "Unexpected symbol / at position 4" },
        { Header + "<A/B/>", "Unexpected symbol / at position 2" },
        { Header + "<A></A/>", "Unexpected symbol / at position 3" },
        { Header + "<A>text</A>", "Unexpected symbol t at position 42" },
        { Header + "<A></B>", "/B - corresponding tag not found" },
        { Header + "<A></a>", "/a - corresponding tag not found" },
        { Header + "</A>", "/A - corresponding tag not found" },
        { Header + "<A x=1/>", "Unexpected symbol 1 at position 5" },
        { Header + "<A x \"1\"/>", "Unexpected symbol \" at position 5" },
        { Header + "<A x=\"1>", "Unexpected symbol > at position 7" },
        { Header + "<A x/>", "Unexpected symbol / at position 4" },
        { Header + "<A 1x=\"1\"/>", "Unexpected symbol 1 at position 3" },
        { Header + "<A x=\"1\"", "Tag at position 39 is not closed" },
        { Header + "<A><B />", "Tag A is not closed" },
        { Header + "<!-- note -->", "Unexpected symbol ! at position 1" },
        { Header + "<>", "Unexpected symbol > at position 1" },
        { Header + "<a:b-c.d_\xB7\xC0 x='1'/>", "" },
        { Header + "<A x='>'/>", "Unexpected symbol > at position 6" },
        { Header + "<A\xD7/>", "Unexpected symbol \u00D7 at position 2" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << c.text.constData();
}

TEST(XMLFile, AttributesAndEncodings)
{
    QByteArray text = Header + "<A x=\"1\" X='2' y = \"a'b\"/>";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    XmlPacketReader xml(&buffer);
    xml.parse();
    const XmlTag &a = *xml.tags().at(0);
    EXPECT_EQ(a.attributeCount(), 2);
    EXPECT_EQ(a.attribute("x"), "2");
    EXPECT_EQ(a.attribute("Y"), "a'b");
    EXPECT_FALSE(a.hasAttribute("z"));

    for (const bool utf8 : { false, true }) {
        QByteArray bytes = QByteArray("<?xml version=\"1.0\"") + (utf8 ? " encoding=\"utf-8\"" : "") + "?><A v=\"\xC3\xA9\"/>";
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        XmlPacketReader packet(&device);
        packet.parse();
        EXPECT_EQ(packet.tags().at(0)->attribute("v"), utf8 ? QStringLiteral("\u00E9") : QStringLiteral("\u00C3\u00A9"));
    }
}

TEST(XMLFile, HugeNestingAndAttributeCounts)
{
    // Deep trees are built and freed without recursion; many attributes are
    // looked up through an index.
    const int depth = 200000;
    QByteArray text = Header;
    text += QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    EXPECT_EQ(parseError(text), QString());

    QByteArray wide = Header + "<ROW";
    for (int i = 0; i < 100000; ++i)
        wide += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    wide += " a5=\"again\"/>";
    QBuffer buffer(&wide);
    buffer.open(QIODevice::ReadOnly);
    XmlPacketReader xml(&buffer);
    xml.parse();
    const XmlTag &row = *xml.tags().at(0);
    EXPECT_EQ(row.attributeCount(), 100000);
    EXPECT_EQ(row.attribute("A99999"), "99999");
    EXPECT_EQ(row.attribute("a5"), "again");
}

TEST(XMLFile, PacketWithoutRowDataOrFields)
{
    QByteArray text = Header + "<DATAPACKET><METADATA /><OTHER><ROW a=\"1\"/></OTHER></DATAPACKET>";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    XmlPacketReader packet(&buffer);
    packet.parse(true);
    EXPECT_TRUE(packet.parsed());
    EXPECT_EQ(packet.fieldList(), nullptr);
    EXPECT_EQ(packet.fieldCount(), 0);
    EXPECT_EQ(packet.rowCount(), 0);
}

TEST(XMLFile, FileErrors)
{
    try {
        XmlPacketReader xml { QString() };
        xml.loadText();
        FAIL() << "loaded";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "File name is not defined");
    }
    const QString missing = QDir::tempPath() + "/no-such-packet.xml";
    try {
        XmlPacketReader xml(missing);
        xml.parse();
        FAIL() << "parsed";
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), "File " + missing + " not found");
    }
}
