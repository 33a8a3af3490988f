#include "data/RowDecoder.h"

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/FbClient.h"
#include "data/RowFormat.h"
#include "data/ServerValues.h"

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {

unsigned bytesPerChar(unsigned charSet)
{
    switch (charSet & 0xFF) {
    case 3:
        return 3; // UNICODE_FSS
    case 4:
        return 4; // UTF8
    default:
        return 1;
    }
}

FieldType fieldTypeOf(unsigned type, int scale, int subType)
{
    switch (type) {
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldType::String;
    case SQL_SHORT:
        return scale ? FieldType::Bcd : FieldType::SmallInt;
    case SQL_LONG:
        return scale ? FieldType::Bcd : FieldType::Integer;
    case SQL_INT64:
        return scale ? FieldType::Bcd : FieldType::LargeInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldType::Float;
    case SQL_TIMESTAMP:
        return FieldType::DateTime;
    case SQL_TYPE_DATE:
        return FieldType::Date;
    case SQL_TYPE_TIME:
        return FieldType::Time;
    case SQL_BOOLEAN:
        return FieldType::Boolean;
    case SQL_BLOB:
        return subType == 1 ? FieldType::Memo : FieldType::Blob;
    default:
        return FieldType::Unknown;
    }
}

double scaled(qint64 v, int scale)
{
    return static_cast<double>(v) / std::pow(10.0, -scale);
}

template <class T> T read(const unsigned char *p)
{
    T x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

} // namespace

RowDecoder::RowDecoder(Connection &connection, IMessageMetadata *output)
    : m_connection(connection)
{
    FbStatus st;
    const unsigned count = output->getCount(&st);
    m_slots.resize(int(count));
    m_columns.resize(int(count));
    for (unsigned i = 0; i < count; ++i) {
        Slot &o = m_slots[int(i)];
        o.type = output->getType(&st, i) & ~1u;
        o.offset = output->getOffset(&st, i);
        o.nullOffset = output->getNullOffset(&st, i);
        o.length = output->getLength(&st, i);
        o.scale = output->getScale(&st, i);
        o.subType = output->getSubType(&st, i);
        const unsigned charSet = output->getCharSet(&st, i);

        ColumnInfo &c = m_columns[int(i)];
        const char *alias = output->getAlias(&st, i);
        const char *field = output->getField(&st, i);
        c.name = QString::fromLatin1(alias && *alias ? alias : field);
        c.relation = QString::fromLatin1(output->getRelation(&st, i));
        c.type = fieldTypeOf(o.type, o.scale, o.subType);
        c.fixed = o.type == SQL_TEXT;
        c.size = o.type == SQL_TEXT || o.type == SQL_VARYING ? int(o.length / bytesPerChar(charSet)) : 0;
        c.required = !output->isNullable(&st, i);
        c.scale = o.scale;
    }
    m_length = output->getMessageLength(&st);
}

void RowDecoder::decode(const unsigned char *message, Row &row) const
{
    const int n = int(m_slots.size());
    row = Row(n);
    for (int i = 0; i < n; ++i) {
        const Slot &o = m_slots[i];
        if (read<short>(message + o.nullOffset) == 0)
            row[i] = value(o, message + o.offset);
    }
}

QVariant RowDecoder::value(const Slot &o, const unsigned char *p) const
{
    switch (o.type) {
    case SQL_VARYING:
        return Cp1252::toUnicode(reinterpret_cast<const char *>(p + 2), read<unsigned short>(p));
    case SQL_TEXT:
        return Cp1252::toUnicode(reinterpret_cast<const char *>(p), o.length);
    case SQL_SHORT:
        return o.scale ? QVariant(scaled(read<qint16>(p), o.scale)) : QVariant(int(read<qint16>(p)));
    case SQL_LONG:
        return o.scale ? QVariant(scaled(read<qint32>(p), o.scale)) : QVariant(int(read<qint32>(p)));
    case SQL_INT64:
        return o.scale ? QVariant(scaled(read<qint64>(p), o.scale)) : QVariant(read<qint64>(p));
    case SQL_FLOAT:
        return double(read<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return read<double>(p);
    case SQL_TIMESTAMP:
        return QVariant::fromValue(TimeStamp { ServerValues::timestampToDays(p) });
    case SQL_TYPE_DATE:
        return QVariant::fromValue(TimeStamp { double(read<ISC_DATE>(p)) - ServerValues::DayOffset });
    case SQL_TYPE_TIME:
        return QVariant::fromValue(TimeStamp { read<ISC_TIME>(p) / ServerValues::TimeUnitsPerDay });
    case SQL_BOOLEAN:
        return *p != 0;
    case SQL_BLOB:
        return blob(o, p);
    default:
        return QVariant();
    }
}

QVariant RowDecoder::blob(const Slot &o, const unsigned char *p) const
{
    const QByteArray data = blobBytes(p);
    return o.subType == 1 ? QVariant(Cp1252::toUnicode(data)) : QVariant(data);
}

QByteArray RowDecoder::blobBytes(const unsigned char *p) const
{
    ISC_QUAD id = read<ISC_QUAD>(p);
    FbStatus st;
    FbRef<IBlob> blob(m_connection.attachment()->openBlob(&st, m_connection.transaction(), &id, 0, nullptr));
    QByteArray data;
    char chunk[16384];
    for (;;) {
        unsigned got = 0;
        const int r = blob->getSegment(&st, sizeof chunk, chunk, &got);
        if (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT)
            break;
        data.append(chunk, qsizetype(got));
    }
    blob.finish([&st](IBlob *b) { b->close(&st); });
    return data;
}

QByteArray RowDecoder::pack(const unsigned char *message, const RowFormat &format) const
{
    const int n = int(m_slots.size());
    qsizetype texts = 0;
    for (const Slot &o : m_slots)
        if (read<short>(message + o.nullOffset) == 0)
            texts += o.type == SQL_VARYING ? read<unsigned short>(message + o.offset) : o.type == SQL_TEXT ? o.length : 0;
    RowFormat::Writer w(format, texts);
    for (int i = 0; i < n; ++i) {
        const Slot &o = m_slots[i];
        if (read<short>(message + o.nullOffset) != 0)
            continue;
        const unsigned char *p = message + o.offset;
        // Scaled numbers are doubles, as the decoded values are.
        switch (o.type) {
        case SQL_VARYING:
            w.setBytes(i, reinterpret_cast<const char *>(p + 2), read<unsigned short>(p));
            break;
        case SQL_TEXT:
            w.setBytes(i, reinterpret_cast<const char *>(p), o.length);
            break;
        case SQL_SHORT:
            if (o.scale)
                w.setDouble(i, scaled(read<qint16>(p), o.scale));
            else
                w.setInt32(i, read<qint16>(p));
            break;
        case SQL_LONG:
            if (o.scale)
                w.setDouble(i, scaled(read<qint32>(p), o.scale));
            else
                w.setInt32(i, read<qint32>(p));
            break;
        case SQL_INT64:
            if (o.scale)
                w.setDouble(i, scaled(read<qint64>(p), o.scale));
            else
                w.setInt64(i, read<qint64>(p));
            break;
        case SQL_FLOAT:
            w.setDouble(i, double(read<float>(p)));
            break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            w.setDouble(i, read<double>(p));
            break;
        case SQL_TIMESTAMP:
            w.setDouble(i, ServerValues::timestampToDays(p));
            break;
        case SQL_TYPE_DATE:
            w.setDouble(i, double(read<ISC_DATE>(p)) - ServerValues::DayOffset);
            break;
        case SQL_TYPE_TIME:
            w.setDouble(i, read<ISC_TIME>(p) / ServerValues::TimeUnitsPerDay);
            break;
        case SQL_BOOLEAN:
            w.setBool(i, *p != 0);
            break;
        case SQL_BLOB: {
            const QByteArray data = blobBytes(p);
            w.setBytes(i, data.constData(), data.size());
            break;
        }
        default:
            break;
        }
    }
    return w.take();
}
