#include "import/sources/dbf/DbfReader.h"

#include "core/Conversion.h"
#include "core/Cp1252.h"
#include "import/engine/ImportMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
constexpr int HeaderSize = 32;
constexpr int DescriptorSize = 32;
constexpr char Terminator = 0x0D;
constexpr qint64 DBaseBlockSize = 512;
// A dBase memo ends with its end mark. One whose mark is missing would run to
// the end of the file, for every record that points at it; it stops here,
// the most the format's writers put in one memo.
constexpr qint64 MaxUnterminatedDBaseMemo = 64 * 1024;
// Memo texts already read, in characters: records that share a block read it
// once. Past this the cache starts afresh.
constexpr qsizetype MemoCacheBudget = 4 * 1024 * 1024;

ImportError openError()
{
    return dataImportError(ImportMsg::DbfOpenError);
}
ImportError readError()
{
    return dataImportError(ImportMsg::DbfReadError);
}
ImportError invalidTable()
{
    return dataImportError(ImportMsg::DbfTableInvalid);
}

quint32 le32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}
quint16 le16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint16(b[0] | b[1] << 8);
}
quint32 be32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}
quint16 be16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return quint16(b[0] << 8 | b[1]);
}

// Reads exactly size bytes or says why not: -1 read error, otherwise the
// count actually read.
qint64 readFully(QIODevice *device, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = device->read(data + done, size - done);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

QByteArray trimBlanks(const QByteArray &bytes)
{
    qsizetype from = 0, to = bytes.size();
    while (from < to && static_cast<unsigned char>(bytes[from]) <= ' ')
        ++from;
    while (to > from && static_cast<unsigned char>(bytes[to - 1]) <= ' ')
        --to;
    return bytes.mid(from, to - from);
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
QByteArray asciiUpper(QByteArray bytes)
{
    for (char &c : bytes)
        c = asciiUpper(c);
    return bytes;
}

// Names written on a system that ignores letter case ("calls.FPT" for
// "calls.fpt") are found whatever their case.
QString existingFileName(const QString &path)
{
    if (QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return path;
}

// Start of the file name part: after the last directory separator.
qsizetype fileNameStart(const QString &path)
{
    return path.lastIndexOf(QLatin1Char('/')) + 1;
}
} // namespace

QString DbfReader::tableFileName(const QString &fileName)
{
    const qsizetype nameStart = fileNameStart(fileName);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return fileName + QStringLiteral(".DBF");
    if (fileName.mid(dot).compare(QLatin1String(".DBF"), Qt::CaseInsensitive) == 0 || isDatabaseContainer(fileName))
        return fileName;
    return fileName.left(dot) + QStringLiteral(".DBF");
}

bool DbfReader::isDatabaseContainer(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= fileNameStart(fileName) && fileName.mid(dot).compare(QLatin1String(".DBC"), Qt::CaseInsensitive) == 0;
}

QString DbfReader::memoFileName(const QString &tableFileName, unsigned char version)
{
    const qsizetype nameStart = fileNameStart(tableFileName);
    qsizetype end = tableFileName.indexOf(QLatin1Char('.'), nameStart);
    if (end < 0)
        end = tableFileName.size();
    if (isDatabaseContainer(tableFileName))
        return tableFileName.left(end) + QStringLiteral(".dct");
    return tableFileName.left(end) + (version == 0x83 ? QStringLiteral(".dbt") : QStringLiteral(".fpt"));
}

DbfReader::DbfReader(const QString &fileName)
{
    const QString tableName = existingFileName(tableFileName(fileName));
    m_ownTable = std::make_unique<QFile>(tableName);
    if (!m_ownTable->open(QIODevice::ReadOnly))
        throw openError();
    m_table = m_ownTable.get();
    open();
    if (!m_open)
        return;
    const QString memoName = existingFileName(memoFileName(tableName, m_version));
    if (!QFileInfo(memoName).isFile())
        return;
    m_ownMemo = std::make_unique<QFile>(memoName);
    if (!m_ownMemo->open(QIODevice::ReadOnly)) {
        // There but unreadable: the memos are read errors, not empty texts.
        m_memoKind = m_version == 0x83 ? MemoKind::DBase : MemoKind::FoxPro;
        m_memoBroken = true;
        return;
    }
    attachMemo(m_ownMemo.get());
}

DbfReader::DbfReader(QIODevice *table, QIODevice *memo)
    : m_table(table)
{
    if (!m_table || !m_table->isOpen() || !m_table->isReadable())
        throw openError();
    open();
    if (m_open && memo)
        attachMemo(memo);
}

DbfReader::~DbfReader() = default;

void DbfReader::open()
{
    char header[HeaderSize];
    const qint64 got = readFully(m_table, header, HeaderSize);
    if (got < 0)
        throw readError();
    if (got == 0)
        return; // an empty file: a closed table without records
    if (got < HeaderSize)
        throw invalidTable();

    m_version = static_cast<unsigned char>(header[0]);
    m_recordCount = le32(header + 4);
    m_headerLength = le16(header + 8);
    if (!m_table->isSequential() && m_headerLength > m_table->size())
        throw invalidTable();

    if (m_headerLength >= 2 * DescriptorSize) {
        const int slotCount = m_headerLength / DescriptorSize - 1;
        QByteArray descriptors(qsizetype(slotCount) * DescriptorSize, Qt::Uninitialized);
        const qint64 n = readFully(m_table, descriptors.data(), descriptors.size());
        if (n < 0)
            throw readError();
        if (n < descriptors.size())
            throw invalidTable();
        int offset = 1;
        for (int i = 0; i < slotCount; ++i) {
            const char *d = descriptors.constData() + qsizetype(i) * DescriptorSize;
            // The terminator ends the list; what follows it (a back-link
            // area, padding) is not a field.
            if (d[0] == Terminator)
                break;
            DbfDescriptor field;
            field.name = Cp1252::toUnicode(asciiUpper(trimBlanks(QByteArray(d, qstrnlen(d, 10)))));
            field.type = asciiUpper(d[11]);
            field.length = static_cast<unsigned char>(d[16]);
            field.decimals = static_cast<unsigned char>(d[17]);
            field.offset = offset;
            offset += field.length;
            m_fields.append(field);
        }
        m_recordLength = offset;
    }
    m_open = true;
    m_nextRecord = 1;
    skipTo(m_headerLength);
}

void DbfReader::skipTo(qint64 position)
{
    if (!m_table->isSequential()) {
        if (!m_table->seek(position))
            throw readError();
        return;
    }
    char scratch[4096];
    for (qint64 left = position - m_table->pos(); left > 0;) {
        const qint64 n = m_table->read(scratch, qMin<qint64>(left, sizeof scratch));
        if (n < 0)
            throw readError();
        if (n == 0)
            break;
        left -= n;
    }
}

void DbfReader::attachMemo(QIODevice *memo)
{
    m_memo = memo;
    if (m_version == 0x83) {
        m_memoKind = MemoKind::DBase;
        m_memoBroken = !memo->isOpen() || memo->isSequential();
        char header[4];
        if (!m_memoBroken && memo->seek(0) && readFully(memo, header, 4) == 4)
            m_memoNextFreeBlock = le32(header);
        return;
    }
    m_memoKind = MemoKind::FoxPro;
    char header[8];
    if (!memo->isOpen() || memo->isSequential() || !memo->seek(0) || readFully(memo, header, 8) != 8) {
        m_memoBroken = true;
        return;
    }
    m_memoBlockSize = be16(header + 6);
}

qint64 DbfReader::recordCount() const
{
    // Without fields nothing would ever move on to the next record.
    return m_fields.isEmpty() ? 0 : qint64(m_recordCount);
}

int DbfReader::fieldCount() const
{
    return m_open ? int(m_fields.size()) : -1;
}

QString DbfReader::fieldName(int i) const
{
    return i >= 0 && i < m_fields.size() ? m_fields[i].name : QString();
}

char DbfReader::fieldType(int i) const
{
    return i >= 0 && i < m_fields.size() ? m_fields[i].type : char(0);
}

int DbfReader::fieldLength(int i) const
{
    return i >= 0 && i < m_fields.size() ? m_fields[i].length : 0;
}

int DbfReader::fieldDecimals(int i) const
{
    return i >= 0 && i < m_fields.size() ? m_fields[i].decimals : 0;
}

bool DbfReader::endOfTable() const
{
    return m_nextRecord > recordCount();
}

QString DbfReader::readField(int i)
{
    if (i < 0 || i >= m_fields.size())
        return QString();
    if (i == 0) {
        if (endOfTable())
            return QString();
        // The whole record at once: its length is known and bounded, and a
        // record cut short by the end of the file is caught here.
        m_record.resize(m_recordLength);
        const qint64 n = readFully(m_table, m_record.data(), m_recordLength);
        if (n < 0)
            throw readError();
        if (n < m_recordLength) {
            m_record.clear();
            throw invalidTable();
        }
        m_deleted = m_record[0] == '*';
        ++m_nextRecord;
    }
    if (m_record.isEmpty())
        return QString(); // no record read yet
    const DbfDescriptor &field = m_fields[i];
    const QByteArray bytes = m_record.mid(field.offset, field.length);
    if (field.type == 'M')
        return memoText(bytes);
    return Cp1252::toUnicode(bytes);
}

QString DbfReader::memoText(const QByteArray &pointer)
{
    qint64 block = 0;
    if (m_version == 0x30) {
        for (qsizetype k = qMin<qsizetype>(pointer.size(), 4); k-- > 0;)
            block = block << 8 | static_cast<unsigned char>(pointer[k]);
    } else {
        int number = 0;
        if (tryStrToInt(QString::fromLatin1(trimBlanks(pointer)), number))
            block = number;
    }
    if (block <= 0 || m_memoKind == MemoKind::None)
        return QString();
    if (const auto cached = m_memoCache.constFind(block); cached != m_memoCache.cend())
        return *cached;
    const QString text = m_memoKind == MemoKind::DBase ? dbaseMemo(block) : foxproMemo(block);
    m_memoCacheSize += text.size();
    if (m_memoCacheSize > MemoCacheBudget) {
        m_memoCache.clear();
        m_memoCacheSize = text.size();
    }
    m_memoCache.insert(block, text);
    return text;
}

QString DbfReader::dbaseMemo(qint64 block)
{
    const QString failed = QStringLiteral("ERROR!!!");
    if (m_memoBroken)
        return failed;
    const qint64 start = block * DBaseBlockSize;
    const qint64 size = m_memo->size();
    if (start >= size)
        return QString(); // past the end: nothing was read
    // No memo runs past the first free block the header names (when it names
    // one after this memo), nor past the most one memo holds.
    qint64 end = std::min(size, start + MaxUnterminatedDBaseMemo);
    if (m_memoNextFreeBlock > quint32(block))
        end = std::min(end, qint64(m_memoNextFreeBlock) * DBaseBlockSize);
    if (!m_memo->seek(start))
        return failed;
    QByteArray text;
    char chunk[DBaseBlockSize];
    for (qint64 at = start; at < end; at += DBaseBlockSize) {
        const qint64 n = readFully(m_memo, chunk, std::min(DBaseBlockSize, end - at));
        if (n < 0)
            return failed;
        // The end mark: a pair of marks in the block, else a single one.
        const QByteArrayView view(chunk, n);
        qsizetype mark = view.indexOf(QByteArrayView("\x1A\x1A", 2));
        if (mark < 0)
            mark = view.indexOf('\x1A');
        if (mark >= 0) {
            text.append(chunk, mark);
            break;
        }
        text.append(chunk, n);
        if (n < DBaseBlockSize)
            break; // end of the file
    }
    text.replace('\x8D', '\x0D');
    return Cp1252::toUnicode(text);
}

QString DbfReader::foxproMemo(qint64 block)
{
    const QString failed = QStringLiteral("Error!!!");
    if (m_memoBroken)
        return failed;
    const qint64 start = block * m_memoBlockSize;
    const qint64 size = m_memo->size();
    char head[8];
    if (start > size - 8 || !m_memo->seek(start) || readFully(m_memo, head, 8) != 8)
        return failed;
    const quint32 type = be32(head);
    const quint32 length = be32(head + 4);
    if (type == 0)
        return QStringLiteral("(Picture)");
    if (qint64(length) > size - start - 8)
        return failed;
    QByteArray text(length, Qt::Uninitialized);
    if (readFully(m_memo, text.data(), length) != length)
        return failed;
    return Cp1252::toUnicode(text);
}
