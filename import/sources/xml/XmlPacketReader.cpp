#include "import/sources/xml/XmlPacketReader.h"

#include "core/Cp1252.h"
#include "import/engine/ImportMessages.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr qsizetype ChunkSize = 64 * 1024;
// Far beyond any row of a data packet; past it the input never ends or is
// not a packet, and memory must not follow it.
constexpr qsizetype MaxTagLength = 64 * 1024 * 1024;
constexpr int IndexThreshold = 16;

bool isBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || (c >= 192 && c != 215 && c != 247);
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 183;
}

ImportError unexpectedSymbol(const QString &symbol, qint64 position)
{
    return ImportError(messageText(ImportMsg::XmlUnexpectedSymbol, { symbol, QString::number(position) }));
}

QString symbolAt(const QByteArray &text, qsizetype i)
{
    return Cp1252::toUnicode(text.constData() + i, 1);
}
} // namespace

// --- XmlTagList -----------------------------------------------------------

XmlTag *XmlTagList::add(std::unique_ptr<XmlTag> tag)
{
    m_items.push_back(std::move(tag));
    return m_items.back().get();
}

XmlTag *XmlTagList::findLast(const QString &name) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if ((*it)->name().compare(name, Qt::CaseInsensitive) == 0)
            return it->get();
    return nullptr;
}

// --- XmlTag ---------------------------------------------------------------

XmlTag::XmlTag(const QString &name, XmlTag *parent)
    : m_name(name)
    , m_parent(parent)
{
}

XmlTag::~XmlTag()
{
    // Without recursion, so that deeply nested input cannot exhaust the stack.
    std::vector<std::unique_ptr<XmlTag>> pending = std::move(m_children.m_items);
    while (!pending.empty()) {
        std::unique_ptr<XmlTag> tag = std::move(pending.back());
        pending.pop_back();
        for (auto &child : tag->m_children.m_items)
            pending.push_back(std::move(child));
        tag->m_children.m_items.clear();
    }
}

int XmlTag::indexOf(const QString &name) const
{
    if (!m_index.isEmpty())
        return m_index.value(name.toLower(), -1);
    for (int i = 0; i < m_attributes.size(); ++i)
        if (m_attributes[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString XmlTag::attribute(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? QString() : m_attributes[i].second;
}

void XmlTag::setAttribute(const QString &name, const QString &value)
{
    const int i = indexOf(name);
    if (i >= 0) {
        m_attributes[i].second = value;
        return;
    }
    m_attributes.append({ name, value });
    // A hash only pays once there are many attributes; it also keeps a tag
    // with a huge number of them from costing quadratic time.
    if (m_attributes.size() == IndexThreshold) {
        for (int k = 0; k < m_attributes.size(); ++k)
            m_index.insert(m_attributes[k].first.toLower(), k);
    } else if (m_attributes.size() > IndexThreshold) {
        m_index.insert(name.toLower(), int(m_attributes.size() - 1));
    }
}

// --- XmlPacketReader --------------------------------------------------------------

struct XmlPacketReader::TagText
{
    QByteArray text; // between "<" and ">"
    qint64 position = 0; // of the "<"
};

XmlPacketReader::XmlPacketReader(const QString &fileName)
    : m_fileName(fileName)
    , m_header(QStringLiteral("?xml"))
{
}

XmlPacketReader::XmlPacketReader(QIODevice *device)
    : m_device(device)
    , m_header(QStringLiteral("?xml"))
{
}

XmlPacketReader::~XmlPacketReader() = default;

void XmlPacketReader::openInput()
{
    if (m_device)
        return;
    if (m_fileName.isEmpty())
        throw ImportError(messageText(ImportMsg::FileNameNotDefined));
    if (!QFileInfo::exists(m_fileName))
        throw ImportError(messageText(ImportMsg::XmlFileNotFound, { m_fileName }));
    m_file = std::make_unique<QFile>(m_fileName);
    if (!m_file->open(QIODevice::ReadOnly))
        throw ImportError(m_file->errorString());
    m_device = m_file.get();
}

void XmlPacketReader::loadText()
{
    openInput();
    // A pipe or a device without an end is read as it comes, never whole.
    if (m_device == &m_textBuffer || m_device->isSequential())
        return;
    // Whatever was already taken into the buffer comes first, so that
    // positions keep counting from the start of the input.
    m_text = m_buffer.mid(m_bufferPos);
    m_bufferStart += m_bufferPos;
    m_text += m_device->readAll();
    if (m_file && m_file->error() != QFileDevice::NoError)
        throw ImportError(m_file->errorString());
    m_file.reset();
    m_textBuffer.setBuffer(&m_text);
    m_textBuffer.open(QIODevice::ReadOnly);
    m_device = &m_textBuffer;
    m_buffer.clear();
    m_bufferPos = 0;
    m_inputEnd = false;
}

bool XmlPacketReader::fill()
{
    if (m_bufferPos < m_buffer.size())
        return true;
    if (m_inputEnd)
        return false;
    openInput();
    m_bufferStart += m_buffer.size();
    m_buffer.resize(ChunkSize);
    m_bufferPos = 0;
    const qint64 n = m_device->read(m_buffer.data(), ChunkSize);
    if (n < 0) {
        m_buffer.clear();
        m_inputEnd = true;
        throw ImportError(m_device->errorString());
    }
    m_buffer.resize(n);
    if (n == 0)
        m_inputEnd = true;
    return n > 0;
}

// Passes over blanks; false at the end of the text.
bool XmlPacketReader::skipBlanks()
{
    while (fill()) {
        while (m_bufferPos < m_buffer.size() && isBlank(static_cast<unsigned char>(m_buffer[m_bufferPos])))
            ++m_bufferPos;
        if (m_bufferPos < m_buffer.size())
            return true;
    }
    m_endOfText = true;
    return false;
}

// At a "<": the text up to the next ">", wherever it stands.
XmlPacketReader::TagText XmlPacketReader::readTagText()
{
    TagText tag;
    tag.position = position();
    ++m_bufferPos;
    for (;;) {
        if (!fill())
            throw ImportError(messageText(ImportMsg::XmlTagAtPositionNotClosed, { QString::number(tag.position) }));
        const qsizetype end = m_buffer.indexOf('>', m_bufferPos);
        if (tag.text.size() + ((end >= 0 ? end : m_buffer.size()) - m_bufferPos) > MaxTagLength)
            throw ImportError(messageText(ImportMsg::XmlTagTooLong, { QString::number(tag.position) }));
        if (end >= 0) {
            tag.text.append(m_buffer.constData() + m_bufferPos, end - m_bufferPos);
            m_bufferPos = end + 1;
            return tag;
        }
        tag.text.append(m_buffer.constData() + m_bufferPos, m_buffer.size() - m_bufferPos);
        m_bufferPos = m_buffer.size();
    }
}

QString XmlPacketReader::decode(const QByteArray &bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : Cp1252::toUnicode(bytes);
}

void XmlPacketReader::readHeader()
{
    if (!skipBlanks())
        throw ImportError(messageText(ImportMsg::XmlHeaderFailed));
    if (m_buffer[m_bufferPos] != '<')
        throw unexpectedSymbol(symbolAt(m_buffer, m_bufferPos), position());
    const TagText tag = readTagText();
    const QByteArray &text = tag.text;
    if (!text.startsWith("?xml") || !text.endsWith('?') || text.size() < 5)
        throw ImportError(messageText(ImportMsg::XmlHeaderFailed));
    readAttributes(text, 4, text.size() - 1, m_header, true);
    if (m_header.attributeCount() == 0)
        throw ImportError(messageText(ImportMsg::XmlVersionExpected));
    m_utf8 = m_header.attribute(QStringLiteral("encoding")).compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
    m_headerRead = true;
}

void XmlPacketReader::readAttributes(const QByteArray &text, qsizetype from, qsizetype to, XmlTag &tag, bool header)
{
    // Positions in messages count from 1 within the tag's text; running out of
    // text blames the character that ended it ("/" or ">").
    auto fail = [&](qsizetype i) -> ImportError {
        return unexpectedSymbol(i < text.size() ? symbolAt(text, i) : QStringLiteral(">"), i + 1);
    };
    auto at = [&](qsizetype i) { return static_cast<unsigned char>(text[i]); };

    qsizetype i = from;
    int count = 0;
    for (;;) {
        while (i < to && isBlank(at(i)))
            ++i;
        if (i >= to)
            return;
        const qsizetype nameStart = i;
        if (!isNameStart(at(i)))
            throw fail(i);
        while (i < to && isNameChar(at(i)))
            ++i;
        const QString name = decode(text.mid(nameStart, i - nameStart));
        while (i < to && isBlank(at(i)))
            ++i;
        if (i >= to || text[i] != '=')
            throw fail(i);
        ++i;
        while (i < to && isBlank(at(i)))
            ++i;
        if (i >= to || (text[i] != '"' && text[i] != '\''))
            throw fail(i);
        const char quote = text[i++];
        const qsizetype valueStart = i;
        while (i < to && text[i] != quote)
            ++i;
        if (i >= to)
            throw fail(i);
        const QString value = decode(text.mid(valueStart, i - valueStart));
        ++i;
        if (header) {
            if (count == 0 && name.compare(QLatin1String("version"), Qt::CaseInsensitive) != 0)
                throw ImportError(messageText(ImportMsg::XmlVersionExpected));
            if (count > 0 && name.compare(QLatin1String("standalone"), Qt::CaseInsensitive) != 0
                && name.compare(QLatin1String("encoding"), Qt::CaseInsensitive) != 0)
                throw ImportError(messageText(ImportMsg::XmlUnexpectedAttribute, { name }));
        }
        tag.setAttribute(name, value);
        ++count;
    }
}

std::unique_ptr<XmlTag> XmlPacketReader::makeElement(const TagText &tag, XmlTag *parent, bool &complete, bool &closing, QString &name)
{
    const QByteArray &text = tag.text;
    auto at = [&](qsizetype i) { return static_cast<unsigned char>(text[i]); };
    closing = !text.isEmpty() && text[0] == '/';
    qsizetype i = closing ? 1 : 0;
    const qsizetype nameStart = i;
    if (i >= text.size() || !isNameStart(at(i))) {
        // "</>" is a closing tag with an empty name; anything else without a
        // name is out of place.
        if (!(closing && i >= text.size()))
            throw unexpectedSymbol(i < text.size() ? symbolAt(text, i) : QStringLiteral(">"), i + 1);
    }
    while (i < text.size() && !isBlank(at(i))) {
        // "<PARAMS/>": the empty-element slash may follow the name at once.
        if (!closing && i > nameStart && i == text.size() - 1 && at(i) == '/')
            break;
        if (!isNameChar(at(i)))
            throw unexpectedSymbol(symbolAt(text, i), i + 1);
        ++i;
    }
    name = decode(text.mid(nameStart, i - nameStart));
    if (closing)
        return nullptr;
    complete = text.endsWith('/');
    auto element = std::make_unique<XmlTag>(name, parent);
    readAttributes(text, i, complete ? text.size() - 1 : text.size(), *element, false);
    return element;
}

void XmlPacketReader::parse(bool fieldsOnly)
{
    if (!m_headerRead)
        readHeader();
    while (skipBlanks()) {
        if (m_buffer[m_bufferPos] != '<')
            throw unexpectedSymbol(symbolAt(m_buffer, m_bufferPos), position());
        const TagText tag = readTagText();
        bool complete = false, closing = false;
        QString name;
        std::unique_ptr<XmlTag> element = makeElement(tag, m_current, complete, closing, name);
        if (closing) {
            if (!m_current || m_current->name() != name)
                throw ImportError(messageText(ImportMsg::XmlCorrespondingTagNotFound, { decode(tag.text.trimmed()) }));
            m_current = m_current->parent();
            if (fieldsOnly && name.compare(QLatin1String("FIELDS"), Qt::CaseInsensitive) == 0)
                return;
            continue;
        }
        XmlTagList &siblings = m_current ? m_current->children() : m_tags;
        XmlTag *added = siblings.add(std::move(element));
        if (!complete)
            m_current = added;
    }
    // A text that ends inside an element has lost its end: say so rather than
    // import part of it as if it were whole.
    if (m_current)
        throw ImportError(messageText(ImportMsg::XmlTagNotClosed, { m_current->name() }));
    m_parsed = true;
}

std::unique_ptr<XmlTag> XmlPacketReader::nextTag()
{
    if (!m_headerRead)
        readHeader();
    if (!skipBlanks())
        return nullptr;
    if (m_buffer[m_bufferPos] != '<')
        throw unexpectedSymbol(symbolAt(m_buffer, m_bufferPos), position());
    const TagText tag = readTagText();
    bool complete = false, closing = false;
    QString name;
    return makeElement(tag, nullptr, complete, closing, name);
}

const XmlTagList *XmlPacketReader::fieldList() const
{
    const XmlTagList *found = nullptr;
    for (const auto &packet : m_tags) {
        if (packet->name().compare(QLatin1String("DATAPACKET"), Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &meta : packet->children()) {
            if (meta->name().compare(QLatin1String("METADATA"), Qt::CaseInsensitive) != 0)
                continue;
            for (const auto &fields : meta->children())
                if (fields->name().compare(QLatin1String("FIELDS"), Qt::CaseInsensitive) == 0)
                    found = &fields->children();
        }
    }
    return found;
}

int XmlPacketReader::fieldCount() const
{
    const XmlTagList *list = fieldList();
    return list ? list->count() : 0;
}

const XmlTagList *XmlPacketReader::rowList() const
{
    const XmlTagList *found = nullptr;
    for (const auto &packet : m_tags) {
        if (packet->name().compare(QLatin1String("DATAPACKET"), Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &rows : packet->children())
            if (rows->name().compare(QLatin1String("ROWDATA"), Qt::CaseInsensitive) == 0)
                found = &rows->children();
    }
    return found;
}

int XmlPacketReader::rowCount() const
{
    const XmlTagList *list = rowList();
    return list ? list->count() : 0;
}

QString replaceXmlEntities(const QString &value)
{
    QString out = value;
    out.replace(QLatin1String("&quot;"), QLatin1String("\""), Qt::CaseInsensitive);
    out.replace(QLatin1String("&amp;"), QLatin1String("&"), Qt::CaseInsensitive);
    out.replace(QLatin1String("&lt;"), QLatin1String("<"), Qt::CaseInsensitive);
    out.replace(QLatin1String("&gt;"), QLatin1String(">"), Qt::CaseInsensitive);
    return out;
}

QString xmlFieldName(const XmlTag &field)
{
    if (field.hasAttribute(QStringLiteral("attrname")))
        return field.attribute(QStringLiteral("attrname"));
    return field.attribute(QStringLiteral("FieldName"));
}
