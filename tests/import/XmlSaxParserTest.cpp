#include "import/sources/workbook/XmlSaxParser.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The events of a document as lines; consecutive texts joined, as a
// reader gathers them.
class Recorder : public XmlHandler
{
public:
    std::vector<std::string> events;
    int texts = 0;

    void startElement(std::string_view local, std::string_view uri, const XmlAttributes &a) override
    {
        std::string e = "<{" + std::string(uri) + "}" + std::string(local);
        for (int i = 0; i < a.count(); ++i)
            e += " {" + std::string(a.uri(i)) + "}" + std::string(a.localName(i)) + "=" + std::string(a.value(i));
        events.push_back(e);
    }
    void endElement(std::string_view local, std::string_view uri) override
    {
        events.push_back("</{" + std::string(uri) + "}" + std::string(local));
    }
    void characters(std::string_view text) override
    {
        ++texts;
        if (!events.empty() && events.back().front() == '"')
            events.back().insert(events.back().size() - 1, text);
        else
            events.push_back("\"" + std::string(text) + "\"");
    }
};

// Parses a document fed in pieces of the given size (0: all at once).
std::vector<std::string> parse(const std::string &document, std::size_t piece = 0)
{
    Recorder r;
    XmlSaxParser parser(r);
    if (piece == 0)
        piece = document.size() + 1;
    for (std::size_t at = 0; at < document.size(); at += piece)
        parser.feed(document.data() + at, qsizetype(std::min(piece, document.size() - at)));
    parser.finish();
    return r.events;
}

std::string errorOf(const std::string &document)
{
    try {
        parse(document);
    } catch (const XmlSyntaxError &e) {
        return e.what();
    }
    return std::string();
}

const std::string Document = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                             "<!-- a comment -->\n"
                             "<w:book xmlns:w=\"urn:w\" xmlns=\"urn:d\" xmlns:r=\"urn:r\">\n"
                             "<sheet name=\"R&amp;D &lt;1&gt;\" r:id='rId&#49;' xml:space=\"preserve\" tab=\"a\tb\"/>"
                             "<t>Soci&#233;t&#xE9; &quot;G&apos;n&quot; &amp; fils</t>"
                             "<t><![CDATA[<b>&amp;</b>]]></t>"
                             "<w:t xmlns:w=\"urn:other\">inner</w:t><?pi ignored?>"
                             "<t>Gabès Ελληνικά €</t>"
                             "<t a=\"1\r\n2\">l1\r\nl2\rl3&#13;<![CDATA[c1\nc2]]></t>"
                             "</w:book>\n";

} // namespace

TEST(XmlSaxParser, EventsNamespacesAndReferences)
{
    const std::vector<std::string> expected = {
        "<{urn:w}book",
        "\"\n\"",
        "<{urn:d}sheet {}name=R&D <1> {urn:r}id=rId1 {http://www.w3.org/XML/1998/namespace}space=preserve {}tab=a b",
        "</{urn:d}sheet",
        "<{urn:d}t",
        "\"Société \"G'n\" & fils\"",
        "</{urn:d}t",
        "<{urn:d}t",
        "\"<b>&amp;</b>\"",
        "</{urn:d}t",
        "<{urn:other}t",
        "\"inner\"",
        "</{urn:other}t",
        "<{urn:d}t",
        "\"Gabès Ελληνικά €\"",
        "</{urn:d}t",
        // Line ends read as LF, as blanks in attributes; a CR written as a
        // reference stays.
        "<{urn:d}t {}a=1 2",
        "\"l1\nl2\nl3\rc1\nc2\"",
        "</{urn:d}t",
        "</{urn:w}book",
    };
    EXPECT_EQ(parse(Document), expected);
    // Cut anywhere, even inside a reference, a name or a character.
    for (std::size_t piece : { 1u, 2u, 3u, 7u, 64u })
        EXPECT_EQ(parse(Document, piece), expected) << "pieces of " << piece;
}

TEST(XmlSaxParser, Utf16Documents)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a v=\"é\">Ελ €</a>");
    for (QStringConverter::Encoding encoding : { QStringConverter::Utf16LE, QStringConverter::Utf16BE }) {
        QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        const std::string doc(bytes.constData(), std::size_t(bytes.size()));
        const std::vector<std::string> expected = { "<{}a {}v=é", "\"Ελ €\"", "</{}a" };
        EXPECT_EQ(parse(doc), expected);
        EXPECT_EQ(parse(doc, 3), expected);
    }
}

TEST(XmlSaxParser, MalformedDocumentsAreRefused)
{
    const char *const documents[] = {
        "",
        "   ",
        "<a><b></a></b>",
        "<a>",
        "<a",
        "<a></a><b/>",
        "text<a/>",
        "<a/>text",
        "</a>",
        "<a b=c/>",
        "<a b/>",
        "<a b=\"<\"/>",
        "<a>&nbsp;</a>",
        "<a>&amp</a>",
        "<a>&#0;</a>",
        "<a>&#xD800;</a>",
        "<a>x ]]> y</a>",
        "<1a/>",
        "<a/ >",
        "<a>\xFF\xFE</a>",
    };
    for (const char *d : documents)
        EXPECT_FALSE(errorOf(d).empty()) << d;
    // Entities are only what XML predefines: a declaration is not read.
    EXPECT_EQ(errorOf("<!DOCTYPE a [<!ENTITY x \"xxxxxxxx\">]><a>&x;</a>"), "a document type declaration is not allowed here");
    EXPECT_EQ(errorOf("<?xml version=\"1.0\"?>\n<!DOCTYPE a SYSTEM \"http://example.org/a.dtd\"><a/>"),
        "a document type declaration is not allowed here");
}

TEST(XmlSaxParser, MemoryStaysBounded)
{
    // Nesting and single values past libxml2's limits are refused, not
    // followed.
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "<a>";
    EXPECT_FALSE(errorOf(deep).empty());

    Recorder r;
    XmlSaxParser parser(r);
    parser.feed("<a b=\"", 6);
    const std::string filler(1024 * 1024, 'x');
    EXPECT_THROW(
        {
            for (int i = 0; i < 12; ++i)
                parser.feed(filler.data(), qsizetype(filler.size()));
        },
        XmlSyntaxError);

    // Text without markup is handed over as it comes, not gathered whole.
    Recorder pieces;
    XmlSaxParser text(pieces);
    text.feed("<a>", 3);
    for (int i = 0; i < 12; ++i)
        text.feed(filler.data(), qsizetype(filler.size()));
    EXPECT_GE(pieces.texts, 12);
    ASSERT_EQ(pieces.events.size(), 2u);
    EXPECT_EQ(pieces.events[1].size(), 12 * filler.size() + 2);
}

TEST(XmlSaxParser, ErrorsTellTheLine)
{
    try {
        parse("<a>\n<b>\n\n</c></a>");
        FAIL();
    } catch (const XmlSyntaxError &e) {
        EXPECT_EQ(e.line(), 4);
    }
    try {
        parse("<a>\n<b>\n\n</c></a>", 2);
        FAIL();
    } catch (const XmlSyntaxError &e) {
        EXPECT_EQ(e.line(), 4);
    }
}
