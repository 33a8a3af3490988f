#include "import/sources/text/TextLineReader.h"

#include "core/Conversion.h"
#include "import/engine/ImportMessages.h"

#include <QIODevice>

#include <algorithm>

namespace {
constexpr qsizetype ChunkSize = 64 * 1024;
// No record of an import file comes near this; past it the input is not a
// text file (or never ends), and memory must not follow it.
constexpr qsizetype MaxLineLength = 64 * 1024 * 1024;
constexpr char CtrlZ = 26;

bool isLineByte(char c)
{
    return c != '\n' && c != '\r' && c != CtrlZ;
}
} // namespace

TextLineReader::TextLineReader(QIODevice *device, TextEncoding encoding)
    : m_device(device)
    , m_encoding(encoding)
{
}

void TextLineReader::skipByteOrderMark()
{
    m_bomChecked = true;
    static const char Bom[] = "\xEF\xBB\xBF";
    for (int i = 0; i < 3; ++i) {
        // The mark may come in more than one read of a slow device.
        if (m_pos + i >= m_buffer.size()) {
            if (m_deviceEnd)
                return;
            const QByteArray more = m_device->read(3 - i);
            if (more.isEmpty())
                return;
            m_buffer.append(more);
        }
        if (m_buffer[m_pos + i] != Bom[i])
            return;
    }
    m_pos += 3;
    m_encoding = teUtf8;
}

bool TextLineReader::fill()
{
    if (m_pos < m_buffer.size())
        return true;
    if (m_deviceEnd || m_ctrlZ)
        return false;
    m_buffer.resize(ChunkSize);
    const qint64 n = m_device->read(m_buffer.data(), ChunkSize);
    if (n < 0) {
        m_buffer.clear();
        m_deviceEnd = true;
        throw ImportError(m_device->errorString());
    }
    m_buffer.resize(n);
    m_pos = 0;
    if (n == 0)
        m_deviceEnd = true;
    return n > 0;
}

bool TextLineReader::atEnd()
{
    if (!fill())
        return true;
    if (!m_bomChecked) {
        skipByteOrderMark();
        if (!fill())
            return true;
    }
    if (m_buffer[m_pos] == CtrlZ)
        m_ctrlZ = true;
    return m_ctrlZ;
}

bool TextLineReader::readLine(QString &line)
{
    if (atEnd())
        return false;
    m_line.clear();
    while (fill()) {
        const char *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        qsizetype end = m_pos;
        while (end < size && isLineByte(data[end]))
            ++end;
        if (m_line.size() + (end - m_pos) > MaxLineLength)
            throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Line %1 is too long"), m_lineNumber + 1));
        m_line.append(data + m_pos, end - m_pos);
        m_pos = end;
        if (end == size)
            continue;
        const char c = data[m_pos];
        if (c == CtrlZ) {
            m_ctrlZ = true;
            break;
        }
        ++m_pos;
        if (c == '\n')
            break;
        // A CR ends the line only together with the LF after it; alone it
        // is dropped.
        if (fill() && m_buffer[m_pos] == '\n') {
            ++m_pos;
            break;
        }
    }
    ++m_lineNumber;
    line = decodeText(m_line.constData(), m_line.size(), m_encoding);
    return true;
}

bool isBlankLine(const QString &line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); });
}

bool isDelimitedMapValue(const QString &value)
{
    int n = 0;
    return tryStrToInt(value, n);
}

bool isFixedWidthMapValue(const QString &value)
{
    const qsizetype sep = value.indexOf(QLatin1Char(';'));
    if (sep < 0)
        return false;
    int n = 0;
    return tryStrToInt(value.left(sep), n) && tryStrToInt(value.mid(sep + 1), n);
}

void checkTextMapValues(const QStringList &values, QChar comma)
{
    const bool fixedWidth = comma == QChar(0);
    for (const QString &value : values) {
        if (fixedWidth ? !isFixedWidthMapValue(value) : !isDelimitedMapValue(value))
            throw dataImportError(ImportMsg::MissingMapDefinition);
    }
}

FixedWidthField parseFixedWidthMapValue(const QString &value)
{
    FixedWidthField field;
    const qsizetype sep = value.indexOf(QLatin1Char(';'));
    const QString start = sep < 0 ? value : value.left(sep);
    const QString length = sep < 0 ? QString() : value.mid(sep + 1);
    if (!tryStrToInt(start, field.start))
        field.start = 0;
    if (!tryStrToInt(length, field.length))
        field.length = 0;
    return field;
}

QString cutFixedWidth(const QString &line, const FixedWidthField &field)
{
    // In 64 bits so that extreme map values cannot overflow.
    const qint64 from = std::max<qint64>(field.start, 0);
    const qint64 to = std::min<qint64>(qint64(field.start) + field.length, line.size());
    if (to <= from)
        return QString();
    return line.mid(from, to - from);
}

QString delimitedField(const QStringList &fields, const QString &mapValue)
{
    int number = 0;
    if (!tryStrToInt(mapValue, number) || number < 1 || number > fields.size())
        return QString();
    return fields[number - 1];
}
