#include "import/sources/text/TextImport.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "import/sources/text/TextLineReader.h"

#include <algorithm>

TDataImportASCII::TDataImportASCII()
    : m_comma(DefaultTextDelimiter())
{
    SetRefuseUnencodable(true);
}

TDataImportASCII::~TDataImportASCII() = default;

void TDataImportASCII::CheckProperties()
{
    TDataImport::CheckProperties();
    QStringList values;
    for (int i = 0; i < Map().size(); ++i)
        values << MapValue(i);
    CheckTextMapValues(values, m_comma);
}

void TDataImportASCII::OpenSource()
{
    m_file = std::make_unique<QFile>(FileName());
    if (!m_file->open(QIODevice::ReadOnly)) {
        const QString error = m_file->errorString();
        m_file.reset();
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName(), error));
    }
    m_reader = std::make_unique<TTextLineReader>(m_file.get(), m_encoding);
    m_headersSkipped = 0;
    m_fields.clear();
    m_mapValues.clear();
    m_lastField = 0;
    for (int i = 0; i < Map().size(); ++i) {
        m_mapValues << MapValue(i);
        int number = 0;
        if (tryStrToInt(m_mapValues.last(), number))
            m_lastField = std::max(m_lastField, number);
    }
}

bool TDataImportASCII::HasMoreRows()
{
    return !m_reader->AtEnd();
}

bool TDataImportASCII::SkipRow()
{
    if (!m_reader->ReadLine(m_line))
        m_line.clear();
    if (m_headersSkipped < SkipFirstRows()) {
        ++m_headersSkipped;
        return true;
    }
    return IsBlankLine(m_line);
}

void TDataImportASCII::FillImportRow()
{
    const bool fixedWidth = m_comma == QChar(0);
    if (!fixedWidth)
        SplitDelimitedLine(m_line, m_quote, m_comma, m_fields, m_lastField);
    for (int i = 0; i < Row().Count(); ++i) {
        TDataImportCol *col = Row().Items(i);
        col->Value.clear();
        if (!IsMappedColumn(col))
            continue;
        const QString &mapValue = m_mapValues.at(col->MapIndex);
        SetValue(col, fixedWidth ? CutFixedWidth(m_line, ParseFixedWidthMapValue(mapValue)) : DelimitedField(m_fields, mapValue));
    }
    ApplyFieldFormats();
}

void TDataImportASCII::CloseSource()
{
    // The file goes also when the final commit fails.
    struct Release
    {
        TDataImportASCII *self;
        ~Release()
        {
            self->m_fields.clear();
            self->m_reader.reset();
            self->m_file.reset();
        }
    } release { this };
    TDataImport::CloseSource();
}
