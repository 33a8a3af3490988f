#include "data/RowFormat.h"

#include "core/Cp1252.h"
#include "core/DateTime.h"

#include <cstring>

namespace {

int widthOf(RowFormat::Kind kind)
{
    switch (kind) {
    case RowFormat::Kind::None:
        return 0;
    case RowFormat::Kind::Bool:
        return 1;
    case RowFormat::Kind::Int32:
        return 4;
    case RowFormat::Kind::Int64:
    case RowFormat::Kind::Double:
    case RowFormat::Kind::Stamp:
        return 8;
    case RowFormat::Kind::Text:
    case RowFormat::Kind::Bytes:
        return 8; // where in the record, how long
    }
    return 0;
}

RowFormat::Kind kindOf(FieldType type)
{
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return RowFormat::Kind::Text;
    case FieldType::Blob:
        return RowFormat::Kind::Bytes;
    case FieldType::SmallInt:
    case FieldType::Integer:
        return RowFormat::Kind::Int32;
    case FieldType::LargeInt:
        return RowFormat::Kind::Int64;
    case FieldType::Float:
    case FieldType::Bcd:
        return RowFormat::Kind::Double;
    case FieldType::DateTime:
    case FieldType::Date:
    case FieldType::Time:
        return RowFormat::Kind::Stamp;
    case FieldType::Boolean:
        return RowFormat::Kind::Bool;
    case FieldType::Unknown:
        break;
    }
    return RowFormat::Kind::None;
}

template <class T> T read(const char *p)
{
    T x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

} // namespace

RowFormat::RowFormat(const QVector<ColumnInfo> &columns)
{
    m_kinds.reserve(columns.size());
    m_offsets.reserve(columns.size());
    for (const ColumnInfo &c : columns)
        m_kinds.append(kindOf(c.type));
    int offset = bitmapSize();
    for (Kind k : m_kinds) {
        m_offsets.append(offset);
        offset += widthOf(k);
    }
    m_fixedSize = offset;
}

bool RowFormat::isNull(const QByteArray &record, int column) const
{
    // Every bit set in a fresh record: a value not written is null.
    return record.size() < m_fixedSize || (quint8(record.at(column / 8)) >> (column % 8) & 1) != 0;
}

QVariant RowFormat::value(const QByteArray &record, int column) const
{
    if (column < 0 || column >= columnCount() || isNull(record, column))
        return QVariant();
    const char *p = record.constData() + m_offsets[column];
    switch (m_kinds[column]) {
    case Kind::None:
        return QVariant();
    case Kind::Int32:
        return int(read<qint32>(p));
    case Kind::Int64:
        return read<qint64>(p);
    case Kind::Double:
        return read<double>(p);
    case Kind::Stamp:
        return QVariant::fromValue(TimeStamp { read<double>(p) });
    case Kind::Bool:
        return *p != 0;
    case Kind::Text:
    case Kind::Bytes: {
        const auto at = read<quint32>(p);
        const auto length = read<quint32>(p + 4);
        const char *data = record.constData() + at;
        if (m_kinds[column] == Kind::Bytes)
            return QByteArray(data, qsizetype(length));
        return Cp1252::toUnicode(data, qsizetype(length));
    }
    }
    return QVariant();
}

Row RowFormat::unpack(const QByteArray &record) const
{
    Row row(columnCount());
    for (int c = 0; c < columnCount(); ++c)
        row[c] = value(record, c);
    return row;
}

QByteArray RowFormat::pack(const Row &values) const
{
    Writer w(*this);
    for (int c = 0; c < columnCount() && c < values.size(); ++c) {
        const QVariant &v = values[c];
        if (!v.isValid() || v.isNull())
            continue;
        switch (m_kinds[c]) {
        case Kind::None:
            break;
        case Kind::Int32:
            w.setInt32(c, v.toInt());
            break;
        case Kind::Int64:
            w.setInt64(c, v.toLongLong());
            break;
        case Kind::Double:
            w.setDouble(c, v.toDouble());
            break;
        case Kind::Stamp:
            w.setDouble(c, isTimeStamp(v) ? v.value<TimeStamp>().value : v.toDouble());
            break;
        case Kind::Bool:
            w.setBool(c, v.toBool());
            break;
        case Kind::Text: {
            const QByteArray text = Cp1252::fromUnicode(v.toString());
            w.setBytes(c, text.constData(), text.size());
            break;
        }
        case Kind::Bytes: {
            const QByteArray bytes = v.toByteArray();
            w.setBytes(c, bytes.constData(), bytes.size());
            break;
        }
        }
    }
    return w.take();
}

RowFormat::Writer::Writer(const RowFormat &format, qsizetype textBytes)
    : m_format(format)
{
    m_record.reserve(format.m_fixedSize + textBytes);
    m_record.resize(format.m_fixedSize, '\0');
    std::memset(m_record.data(), 0xFF, size_t(format.bitmapSize()));
}

char *RowFormat::Writer::place(int column)
{
    char *bits = m_record.data();
    bits[column / 8] = char(quint8(bits[column / 8]) & ~(1u << (column % 8)));
    return m_record.data() + m_format.m_offsets[column];
}

void RowFormat::Writer::setInt32(int column, qint32 value)
{
    std::memcpy(place(column), &value, sizeof value);
}

void RowFormat::Writer::setInt64(int column, qint64 value)
{
    std::memcpy(place(column), &value, sizeof value);
}

void RowFormat::Writer::setDouble(int column, double value)
{
    std::memcpy(place(column), &value, sizeof value);
}

void RowFormat::Writer::setBool(int column, bool value)
{
    *place(column) = value ? 1 : 0;
}

void RowFormat::Writer::setBytes(int column, const char *data, qsizetype length)
{
    const auto at = quint32(m_record.size());
    const auto size = quint32(length);
    char *p = place(column);
    std::memcpy(p, &at, 4);
    std::memcpy(p + 4, &size, 4);
    m_record.append(data, length);
}
