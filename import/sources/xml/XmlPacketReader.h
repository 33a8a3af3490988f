#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <vector>

class QFile;
class QIODevice;
class XmlTag;

// The children of an element, in file order.
class XmlTagList
{
public:
    int count() const { return int(m_items.size()); }
    XmlTag *at(int i) const { return m_items[size_t(i)].get(); }
    XmlTag *add(std::unique_ptr<XmlTag> tag);
    // Last child of that name (without regard to case), or null.
    XmlTag *findLast(const QString &name) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    friend class XmlTag;
    std::vector<std::unique_ptr<XmlTag>> m_items;
};

// One element: its name, attributes and children.
class XmlTag
{
public:
    explicit XmlTag(const QString &name, XmlTag *parent = nullptr);
    ~XmlTag();
    XmlTag(const XmlTag &) = delete;
    XmlTag &operator=(const XmlTag &) = delete;

    const QString &name() const { return m_name; }
    XmlTag *parent() const { return m_parent; }
    XmlTagList &children() { return m_children; }
    const XmlTagList &children() const { return m_children; }

    int attributeCount() const { return int(m_attributes.size()); }
    const QString &attributeName(int i) const { return m_attributes[i].first; }
    const QString &attributeValue(int i) const { return m_attributes[i].second; }
    // Looked up without regard to case; an absent attribute is empty.
    bool hasAttribute(const QString &name) const { return indexOf(name) >= 0; }
    QString attribute(const QString &name) const;
    // A later attribute of the same name replaces the earlier one.
    void setAttribute(const QString &name, const QString &value);

private:
    int indexOf(const QString &name) const;

    QString m_name;
    XmlTag *m_parent;
    XmlTagList m_children;
    QList<QPair<QString, QString>> m_attributes;
    QHash<QString, int> m_index; // lower-case name -> position, once there are many
};

// A small non-validating reader of XML data packets: an "?xml" header, then
// elements with attributes and nothing else (no text content, comments or
// other declarations). The text is read as single-byte text (UTF-8 when the
// header's encoding says so).
//
// It reads its input in chunks: fed a device directly it keeps no more than
// the element being read (NextTag) or the tree built so far (Parse); LoadText
// first reads a file whole and releases it.
class XmlPacketReader
{
public:
    explicit XmlPacketReader(const QString &fileName);
    // Reads an open device; not owned, it must outlive the parser.
    explicit XmlPacketReader(QIODevice *device);
    ~XmlPacketReader();
    XmlPacketReader(const XmlPacketReader &) = delete;
    XmlPacketReader &operator=(const XmlPacketReader &) = delete;

    const QString &fileName() const { return m_fileName; }

    // Reads the whole input into memory and lets the file go (a sequential
    // device is left to be read as it comes). Raises "File name is not
    // defined", "File %s not found" or the file system's error.
    void loadText();
    // Builds the tree from the current position. With fieldsOnly it stops
    // right after the closing tag of "FIELDS".
    void parse(bool fieldsOnly = false);
    // The next tag from the current position as a free-standing element;
    // null for a closing tag and at the end of the text.
    std::unique_ptr<XmlTag> nextTag();

    // Children of FIELDS in METADATA in a top-level DATAPACKET (the last one
    // found); null when there is none.
    const XmlTagList *fieldList() const;
    int fieldCount() const;
    // Children of ROWDATA in a top-level DATAPACKET (the last one found).
    const XmlTagList *rowList() const;
    int rowCount() const;

    const XmlTagList &tags() const { return m_tags; }
    // The header's attributes.
    const XmlTag &header() const { return m_header; }
    bool parsed() const { return m_parsed; }
    bool endOfText() const { return m_endOfText; }
    // Position of the next character to read, the first being 1.
    qint64 position() const { return m_bufferStart + m_bufferPos + 1; }

private:
    struct TagText;

    void openInput();
    bool fill();
    bool skipBlanks();
    TagText readTagText();
    void readHeader();
    void readAttributes(const QByteArray &text, qsizetype from, qsizetype to, XmlTag &tag, bool header);
    std::unique_ptr<XmlTag> makeElement(const TagText &tag, XmlTag *parent, bool &complete, bool &closing, QString &name);
    QString decode(const QByteArray &bytes) const;

    QString m_fileName;
    QIODevice *m_device = nullptr;
    std::unique_ptr<QFile> m_file;
    QByteArray m_text;
    QBuffer m_textBuffer;

    QByteArray m_buffer;
    qsizetype m_bufferPos = 0;
    qint64 m_bufferStart = 0; // file offset of m_buffer[0]
    bool m_inputEnd = false;

    XmlTagList m_tags;
    XmlTag m_header;
    XmlTag *m_current = nullptr; // open element while parsing
    bool m_headerRead = false;
    bool m_utf8 = false;
    bool m_parsed = false;
    bool m_endOfText = false;
};

// "&quot;", "&amp;", "&lt;" and "&gt;" replaced one after the other, each
// without regard to case, as the rows of a data packet are imported.
QString replaceXmlEntities(const QString &value);
// Name of a field description: its "attrname", or failing that "FieldName".
QString xmlFieldName(const XmlTag &field);
