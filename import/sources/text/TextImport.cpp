#include "import/sources/text/TextImport.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "import/sources/text/TextLineReader.h"

#include <algorithm>

TextImport::TextImport()
    : m_comma(defaultTextDelimiter())
{
    setRefuseUnencodable(true);
}

TextImport::~TextImport() = default;

void TextImport::checkProperties()
{
    ImportEngine::checkProperties();
    QStringList values;
    for (int i = 0; i < map().size(); ++i)
        values << mapValue(i);
    checkTextMapValues(values, m_comma);
}

void TextImport::openSource()
{
    m_file = std::make_unique<QFile>(fileName());
    if (!m_file->open(QIODevice::ReadOnly)) {
        const QString error = m_file->errorString();
        m_file.reset();
        throw Error(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot open file \"%1\". %2"), fileName(), error));
    }
    m_reader = std::make_unique<TextLineReader>(m_file.get(), m_encoding);
    m_headersSkipped = 0;
    m_fields.clear();
    m_mapValues.clear();
    m_lastField = 0;
    for (int i = 0; i < map().size(); ++i) {
        m_mapValues << mapValue(i);
        int number = 0;
        if (tryStrToInt(m_mapValues.last(), number))
            m_lastField = std::max(m_lastField, number);
    }
}

bool TextImport::hasMoreRows()
{
    return !m_reader->atEnd();
}

bool TextImport::skipRow()
{
    if (!m_reader->readLine(m_line))
        m_line.clear();
    if (m_headersSkipped < skipFirstRows()) {
        ++m_headersSkipped;
        return true;
    }
    return isBlankLine(m_line);
}

void TextImport::fillImportRow()
{
    const bool fixedWidth = m_comma == QChar(0);
    if (!fixedWidth)
        splitDelimitedLine(m_line, m_quote, m_comma, m_fields, m_lastField);
    for (int i = 0; i < row().count(); ++i) {
        ImportColumn *col = row().at(i);
        col->value.clear();
        if (!isMappedColumn(col))
            continue;
        const QString &mapValue = m_mapValues.at(col->mapIndex);
        setValue(col, fixedWidth ? cutFixedWidth(m_line, parseFixedWidthMapValue(mapValue)) : delimitedField(m_fields, mapValue));
    }
    applyFieldFormats();
}

void TextImport::closeSource()
{
    // The file goes also when the final commit fails.
    struct Release
    {
        TextImport *self;
        ~Release()
        {
            self->m_fields.clear();
            self->m_reader.reset();
            self->m_file.reset();
        }
    } release { this };
    ImportEngine::closeSource();
}
