#include "import/sources/xml/XmlImport.h"

#include "import/sources/xml/XmlPacketReader.h"

TDataImportXML::TDataImportXML() = default;
TDataImportXML::~TDataImportXML() = default;

void TDataImportXML::PrepareImport()
{
    m_current.reset();
    m_xml = std::make_unique<TXMLFile>(FileName());
    try {
        m_xml->LoadText();
        if (!m_writeOnFly)
            m_xml->Parse();
        SetTotalRecords(m_writeOnFly ? 0 : m_xml->RowCount());
        TDataImport::PrepareImport();
    } catch (...) {
        m_xml.reset();
        throw;
    }
}

void TDataImportXML::OpenSource()
{
    m_rowIndex = 0;
    m_current.reset();
}

bool TDataImportXML::HasMoreRows()
{
    if (!m_writeOnFly)
        return m_rowIndex < m_xml->RowCount();
    m_current.reset();
    while (!m_xml->EndOfText()) {
        std::unique_ptr<TXMLTag> tag = m_xml->NextTag();
        if (tag && tag->Name().compare(QLatin1String("ROW"), Qt::CaseInsensitive) == 0) {
            m_current = std::move(tag);
            return true;
        }
    }
    return false;
}

bool TDataImportXML::SkipRow()
{
    return m_rowIndex < SkipFirstRows();
}

void TDataImportXML::FillImportRow()
{
    const TXMLTag *row = m_writeOnFly ? m_current.get() : m_xml->RowList()->Items(m_rowIndex);
    for (int i = 0; i < Row().Count(); ++i) {
        TDataImportCol *col = Row().Items(i);
        col->Value.clear();
        if (!IsMappedColumn(col) || !row)
            continue;
        const QString attribute = m_writeOnFly ? col->Name : MapValue(col->MapIndex).trimmed();
        SetValue(col, ReplaceXMLEntities(row->Attribute(attribute)));
    }
    ApplyFieldFormats();
}

void TDataImportXML::NextRow()
{
    ++m_rowIndex;
}

void TDataImportXML::FinishImport()
{
    m_current.reset();
    m_xml.reset();
    TDataImport::FinishImport();
}
