#include "import/sources/xml/XmlImport.h"

#include "import/sources/xml/XmlPacketReader.h"

TDataImportXML::TDataImportXML() = default;
TDataImportXML::~TDataImportXML() = default;

void TDataImportXML::prepareImport()
{
    m_current.reset();
    m_xml = std::make_unique<TXMLFile>(fileName());
    try {
        m_xml->loadText();
        if (!m_writeOnFly)
            m_xml->parse();
        setTotalRecords(m_writeOnFly ? 0 : m_xml->rowCount());
        TDataImport::prepareImport();
    } catch (...) {
        m_xml.reset();
        throw;
    }
}

void TDataImportXML::openSource()
{
    m_rowIndex = 0;
    m_current.reset();
}

bool TDataImportXML::hasMoreRows()
{
    if (!m_writeOnFly)
        return m_rowIndex < m_xml->rowCount();
    m_current.reset();
    while (!m_xml->endOfText()) {
        std::unique_ptr<TXMLTag> tag = m_xml->nextTag();
        if (tag && tag->name().compare(QLatin1String("ROW"), Qt::CaseInsensitive) == 0) {
            m_current = std::move(tag);
            return true;
        }
    }
    return false;
}

bool TDataImportXML::skipRow()
{
    return m_rowIndex < skipFirstRows();
}

void TDataImportXML::fillImportRow()
{
    const TXMLTag *tag = m_writeOnFly ? m_current.get() : m_xml->rowList()->at(m_rowIndex);
    for (int i = 0; i < row().count(); ++i) {
        TDataImportCol *col = row().at(i);
        col->value.clear();
        if (!isMappedColumn(col) || !tag)
            continue;
        const QString attribute = m_writeOnFly ? col->name : mapValue(col->mapIndex).trimmed();
        setValue(col, replaceXmlEntities(tag->attribute(attribute)));
    }
    applyFieldFormats();
}

void TDataImportXML::nextRow()
{
    ++m_rowIndex;
}

void TDataImportXML::finishImport()
{
    m_current.reset();
    m_xml.reset();
    TDataImport::finishImport();
}
