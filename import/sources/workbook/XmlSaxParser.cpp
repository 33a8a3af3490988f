#include "import/sources/workbook/XmlSaxParser.h"

#include <algorithm>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <mutex>

XmlHandler::~XmlHandler() = default;

void XmlHandler::characters(std::string_view)
{
}

std::optional<std::string_view> XmlAttributes::value(std::string_view localName) const
{
    for (const Attribute &a : m_attributes)
        if (a.localName == localName)
            return a.value;
    return std::nullopt;
}

namespace {

std::string_view view(const xmlChar *s)
{
    return s ? std::string_view(reinterpret_cast<const char *>(s)) : std::string_view();
}

} // namespace

struct XmlSaxParser::State
{
    XmlHandler *handler = nullptr;
    xmlParserCtxtPtr context = nullptr;
    std::exception_ptr pending; // what a handler raised, raised again outside libxml2
    std::string error; // the first error libxml2 reported
    int errorLine = 0;
    std::string head; // the first bytes, kept until the encoding can be told
    std::vector<XmlAttributes::Attribute> attributes;

    ~State()
    {
        if (context) {
            xmlFreeDoc(context->myDoc);
            xmlFreeParserCtxt(context);
        }
    }

    // Callbacks run inside libxml2's C frames: nothing may be thrown
    // through them, so a handler's exception stops the parser and waits.
    template <typename F> static void guarded(void *user, F &&call)
    {
        auto *state = static_cast<State *>(user);
        if (state->pending)
            return;
        try {
            call(*state);
        } catch (...) {
            state->pending = std::current_exception();
            xmlStopParser(state->context);
        }
    }

    // Namespace names are interned by libxml2 and come back again and
    // again, long: measured once per name rather than at every element.
    const xmlChar *lastUri = nullptr;
    std::string_view lastUriView;
    std::string_view uriView(const xmlChar *uri)
    {
        if (uri != lastUri) {
            lastUri = uri;
            lastUriView = view(uri);
        }
        return lastUriView;
    }

    static void startElement(void *user, const xmlChar *localName, const xmlChar *, const xmlChar *uri, int, const xmlChar **, int count,
        int, const xmlChar **attributes)
    {
        guarded(user, [&](State &s) {
            s.attributes.resize(std::size_t(count));
            for (int i = 0; i < count; ++i) {
                const xmlChar *const *a = attributes + 5 * i;
                XmlAttributes::Attribute &out = s.attributes[std::size_t(i)];
                out.localName = view(a[0]);
                out.uri = a[2] ? s.uriView(a[2]) : std::string_view();
                out.value = std::string_view(reinterpret_cast<const char *>(a[3]), std::size_t(a[4] - a[3]));
            }
            s.handler->startElement(view(localName), uri ? s.uriView(uri) : std::string_view(), XmlAttributes(s.attributes));
        });
    }

    static void endElement(void *user, const xmlChar *localName, const xmlChar *, const xmlChar *uri)
    {
        guarded(user, [&](State &s) { s.handler->endElement(view(localName), uri ? s.uriView(uri) : std::string_view()); });
    }

    static void characters(void *user, const xmlChar *text, int length)
    {
        guarded(
            user, [&](State &s) { s.handler->characters(std::string_view(reinterpret_cast<const char *>(text), std::size_t(length))); });
    }

    static void internalSubset(void *user, const xmlChar *, const xmlChar *, const xmlChar *)
    {
        auto *state = static_cast<State *>(user);
        if (state->error.empty()) {
            state->error = "a document type declaration is not allowed here";
            state->errorLine = xmlSAX2GetLineNumber(state->context);
        }
        xmlStopParser(state->context);
    }

    static void structuredError(void *user, xmlErrorPtr e)
    {
        auto *state = static_cast<State *>(user);
        if (!e || e->level < XML_ERR_ERROR || !state->error.empty())
            return;
        // One line, as a message box shows it.
        state->error = e->message ? e->message : "unknown error";
        std::replace(state->error.begin(), state->error.end(), '\n', ' ');
        while (!state->error.empty() && state->error.back() == ' ')
            state->error.pop_back();
        state->errorLine = e->line;
    }
};

XmlSaxParser::XmlSaxParser(XmlHandler &handler)
    : m_state(std::make_unique<State>())
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    m_state->handler = &handler;
}

XmlSaxParser::~XmlSaxParser() = default;

void XmlSaxParser::feed(const char *data, qsizetype size)
{
    if (size > 0)
        parse(data, size, false);
}

void XmlSaxParser::finish()
{
    parse(nullptr, 0, true);
}

void XmlSaxParser::parse(const char *data, qsizetype size, bool last)
{
    State &s = *m_state;
    if (!s.context) {
        // libxml2 tells the encoding from the first four bytes it is given.
        if (size > 0)
            s.head.append(data, std::size_t(size));
        if (s.head.size() < 4 && !last)
            return;
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = &State::startElement;
        sax.endElementNs = &State::endElement;
        sax.characters = &State::characters;
        sax.cdataBlock = &State::characters;
        sax.ignorableWhitespace = &State::characters;
        sax.internalSubset = &State::internalSubset;
        sax.serror = &State::structuredError;
        s.context = xmlCreatePushParserCtxt(&sax, &s, nullptr, 0, nullptr);
        if (!s.context)
            throw std::bad_alloc();
        // Entities are replaced so that attribute values come decoded; with
        // no DOCTYPE allowed only the predefined ones and character
        // references exist. No network, no warnings on the console.
        xmlCtxtUseOptions(s.context, XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
        const std::string head = std::move(s.head);
        s.head = std::string();
        parse(head.data(), qsizetype(head.size()), last);
        return;
    }
    const char *at = data;
    qsizetype left = size;
    do {
        // xmlParseChunk takes an int.
        const int piece = int(std::min<qsizetype>(left, 1 << 30));
        const int status = xmlParseChunk(s.context, at, piece, last && piece == left);
        if (s.pending)
            std::rethrow_exception(s.pending);
        if (status != 0 || !s.context->wellFormed || !s.error.empty()) {
            if (s.error.empty())
                s.error = "the document is not well-formed";
            throw XmlSyntaxError(s.error, s.errorLine ? s.errorLine : xmlSAX2GetLineNumber(s.context));
        }
        at += piece;
        left -= piece;
    } while (left > 0);
}
