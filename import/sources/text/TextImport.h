#pragma once

#include "import/engine/ImportEngine.h"
#include "import/engine/TextEncoding.h"

#include <QChar>
#include <QFile>
#include <QStringList>

#include <memory>
#include <vector>

class TextLineReader;

// Text files, one record per line: delimited (fields separated by Comma and
// optionally enclosed in Quote; a map value is the field number, the first
// being 1) or fixed width (Comma 0; a map value is "start;length", start
// counting from 0). Lines are read in Encoding, by default as single-byte
// text in the program's code page; a UTF-8 byte-order mark makes a file
// UTF-8. A text with a character the database cannot store is a value error.
class TextImport : public ImportEngine
{
public:
    TextImport();
    ~TextImport() override;

    // The field separator; 0 selects the fixed-width layout.
    QChar comma() const { return m_comma; }
    void setComma(QChar comma) { m_comma = comma; }
    // The quote character of delimited fields; 0 turns quoting off.
    QChar quote() const { return m_quote; }
    void setQuote(QChar quote) { m_quote = quote; }
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }

protected:
    void checkProperties() override;
    void openSource() override;
    bool hasMoreRows() override;
    // Reads the next line: the leading SkipFirstRows lines and blank lines are skipped.
    bool skipRow() override;
    void fillImportRow() override;
    void closeSource() override;

private:
    QChar m_comma;
    QChar m_quote = QLatin1Char('"');
    TextEncoding m_encoding = teWindows1252;

    std::unique_ptr<QFile> m_file;
    std::unique_ptr<TextLineReader> m_reader;
    QString m_line;
    QStringList m_fields;
    int m_headersSkipped = 0;
    QStringList m_mapValues; // of the import, by map line
    int m_lastField = 0; // the highest field number mapped: later fields are not split off
};
