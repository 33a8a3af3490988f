#pragma once

#include "core/FormatSettings.h"
#include "import/engine/TextEncoding.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

class QIODevice;

// The lines of a single-byte text file, read from a device in fixed-size
// chunks so that a file of any length costs no more memory than its longest
// line. A line ends at LF or CR LF; a CR not followed by LF is dropped; a
// Ctrl-Z ends the file; a last line without its end is still a line. Bytes
// become text in the encoding given, by default the program's code page,
// one character per byte; a UTF-8 byte-order mark at the start of the file
// is dropped and makes it UTF-8.
class TextLineReader
{
public:
    // device must be open for reading; it is not owned.
    explicit TextLineReader(QIODevice *device, TextEncoding encoding = teWindows1252);
    // The encoding the lines are read in, a byte-order mark taken into
    // account once the first line has been asked for.
    TextEncoding encoding() const { return m_encoding; }

    // True once nothing is left to read (end of the device or a Ctrl-Z).
    // A read error of the device raises ImportError with its text.
    bool atEnd();
    // The next line without its end; false when AtEnd().
    bool readLine(QString &line);
    // Physical number of the last line read; the first line is 1.
    qint64 lineNumber() const { return m_lineNumber; }

private:
    bool fill();
    void skipByteOrderMark();

    QIODevice *m_device;
    TextEncoding m_encoding;
    bool m_bomChecked = false;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_deviceEnd = false;
    bool m_ctrlZ = false;
    qint64 m_lineNumber = 0;
    QByteArray m_line;
};

// A line that is empty or holds only blanks is not a data line.
bool isBlankLine(const QString &line);


// Map values of the text source. Delimited: the field number, counting from 1.
// Fixed width: "start;length", start counting from 0.
bool isDelimitedMapValue(const QString &value);
bool isFixedWidthMapValue(const QString &value);
// Raises ImportError MissingMapDefinition "Missing definition of map" at the first map
// value of the wrong form; comma 0 selects the fixed-width layout.
void checkTextMapValues(const QStringList &values, QChar comma);

struct FixedWidthField
{
    int start = 0;
    int length = 0;
};
// A start or length that is not a number counts as 0.
FixedWidthField parseFixedWidthMapValue(const QString &value);
// The characters of line from start (counting from 0) for Length characters;
// shorter or empty where the line is shorter.
QString cutFixedWidth(const QString &line, const FixedWidthField &field);
// Field number mapValue (the first is 1) of a split line; empty when it is not
// a number, below 1 or beyond the fields of the line.
QString delimitedField(const QStringList &fields, const QString &mapValue);
