#include "import/sources/xml/XmlImport.h"

#include "import/sources/xml/XmlPacketReader.h"

XmlImport::XmlImport() = default;
XmlImport::~XmlImport() = default;

void XmlImport::prepareImport()
{
    m_current.reset();
    m_xml = std::make_unique<XmlPacketReader>(fileName());
    try {
        m_xml->loadText();
        if (!m_writeOnFly)
            m_xml->parse();
        setTotalRecords(m_writeOnFly ? 0 : m_xml->rowCount());
        ImportEngine::prepareImport();
    } catch (...) {
        m_xml.reset();
        throw;
    }
}

void XmlImport::openSource()
{
    m_rowIndex = 0;
    m_current.reset();
}

bool XmlImport::hasMoreRows()
{
    if (!m_writeOnFly)
        return m_rowIndex < m_xml->rowCount();
    m_current.reset();
    while (!m_xml->endOfText()) {
        std::unique_ptr<XmlTag> tag = m_xml->nextTag();
        if (tag && tag->name().compare(QLatin1String("ROW"), Qt::CaseInsensitive) == 0) {
            m_current = std::move(tag);
            return true;
        }
    }
    return false;
}

bool XmlImport::skipRow()
{
    return m_rowIndex < skipFirstRows();
}

void XmlImport::fillImportRow()
{
    const XmlTag *tag = m_writeOnFly ? m_current.get() : m_xml->rowList()->at(m_rowIndex);
    for (int i = 0; i < row().count(); ++i) {
        ImportColumn *col = row().at(i);
        col->value.clear();
        if (!isMappedColumn(col) || !tag)
            continue;
        const QString attribute = m_writeOnFly ? col->name : mapValue(col->mapIndex).trimmed();
        setValue(col, replaceXmlEntities(tag->attribute(attribute)));
    }
    applyFieldFormats();
}

void XmlImport::nextRow()
{
    ++m_rowIndex;
}

void XmlImport::finishImport()
{
    m_current.reset();
    m_xml.reset();
    ImportEngine::finishImport();
}
