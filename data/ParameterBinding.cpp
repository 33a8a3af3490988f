#include "data/ParameterBinding.h"

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "data/ServerValues.h"

#include <cstring>

using namespace Firebird;

struct ParameterBinding::Layout
{
    FbRef<IMessageMetadata> meta;
    QVector<unsigned> offsets;
    QVector<unsigned> nullOffsets;
    unsigned length = 0;
};

size_t qHash(const ParameterBinding::Slot &slot, size_t seed)
{
    return qHashMulti(seed, slot.type, slot.length, slot.scale, slot.subType, slot.charSet);
}

ParameterBinding::ParameterBinding(IMessageMetadata *serverInput)
{
    serverInput->addRef();
    m_serverMeta.reset(serverInput);
    FbStatus st;
    const unsigned count = serverInput->getCount(&st);
    m_server.resize(int(count));
    for (unsigned i = 0; i < count; ++i) {
        Slot &s = m_server[int(i)];
        s.type = serverInput->getType(&st, i) & ~1u;
        s.length = serverInput->getLength(&st, i);
        s.scale = serverInput->getScale(&st, i);
        s.subType = serverInput->getSubType(&st, i);
        s.charSet = serverInput->getCharSet(&st, i);
    }
}

ParameterBinding::~ParameterBinding() = default;

IMessageMetadata *ParameterBinding::metadata() const
{
    return m_current ? m_current->meta.get() : m_serverMeta.get();
}

ParameterBinding::Slot ParameterBinding::slotFor(const QVariant &v, const Slot &server, QByteArray &text) const
{
    if (!v.isValid() || v.isNull())
        return server;
    Slot s;
    const int typeId = v.metaType().id();
    if (isTimeStamp(v) || typeId == QMetaType::QDate || typeId == QMetaType::QDateTime) {
        s.type = SQL_TIMESTAMP;
        s.length = 8;
    } else if (typeId == QMetaType::Bool) {
        s.type = server.type == SQL_BOOLEAN ? SQL_BOOLEAN : SQL_SHORT;
        s.length = server.type == SQL_BOOLEAN ? 1 : 2;
    } else if (typeId == QMetaType::Int || typeId == QMetaType::LongLong || typeId == QMetaType::UInt || typeId == QMetaType::Short
        || typeId == QMetaType::Long) {
        s.type = SQL_INT64;
        s.length = 8;
    } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
        // A day count bound to a date is a date.
        s.type = server.type == SQL_TIMESTAMP || server.type == SQL_TYPE_DATE ? SQL_TIMESTAMP : SQL_DOUBLE;
        s.length = 8;
    } else {
        text = Cp1252::fromUnicode(v.toString());
        s.type = SQL_VARYING;
        s.charSet = CharsetWin1252;
        const auto wanted = unsigned(text.size());
        const unsigned declared = server.type == SQL_TEXT || server.type == SQL_VARYING ? server.length : 0;
        // Stable lengths keep the number of distinct layouts small.
        s.length = qMin(qMax(qMax(declared, ((wanted + 31) / 32) * 32), 1u), 32765u);
        if (text.size() > qsizetype(s.length))
            text.truncate(qsizetype(s.length));
    }
    return s;
}

std::shared_ptr<ParameterBinding::Layout> ParameterBinding::layoutFor(const QVector<Slot> &kinds)
{
    auto it = m_layouts.constFind(kinds);
    if (it != m_layouts.constEnd())
        return *it;
    FbStatus st;
    auto layout = std::make_shared<Layout>();
    const int count = int(kinds.size());
    if (count > 0) {
        FbRef<IMetadataBuilder> builder(m_serverMeta->getBuilder(&st));
        for (int i = 0; i < count; ++i) {
            const Slot &s = kinds[i];
            builder->setType(&st, unsigned(i), s.type + 1);
            builder->setLength(&st, unsigned(i), s.length);
            builder->setScale(&st, unsigned(i), s.scale);
            builder->setSubType(&st, unsigned(i), s.subType);
            builder->setCharSet(&st, unsigned(i), s.charSet);
        }
        layout->meta.reset(builder->getMetadata(&st));
    } else {
        m_serverMeta->addRef();
        layout->meta.reset(m_serverMeta.get());
    }
    layout->length = layout->meta->getMessageLength(&st);
    layout->offsets.resize(count);
    layout->nullOffsets.resize(count);
    for (int i = 0; i < count; ++i) {
        layout->offsets[i] = layout->meta->getOffset(&st, unsigned(i));
        layout->nullOffsets[i] = layout->meta->getNullOffset(&st, unsigned(i));
    }
    if (m_layouts.size() > 64)
        m_layouts.clear();
    m_layouts.insert(kinds, layout);
    return layout;
}

void ParameterBinding::bind(const QVector<const QVariant *> &values)
{
    static const QVariant Null;
    const int count = int(m_server.size());
    QVector<Slot> kinds(count);
    QVector<QByteArray> texts(count);
    for (int i = 0; i < count; ++i) {
        const QVariant &v = i < values.size() && values[i] ? *values[i] : Null;
        kinds[i] = slotFor(v, m_server[i], texts[i]);
    }
    m_current = layoutFor(kinds);
    const Layout &layout = *m_current;
    m_buffer.fill(0, qsizetype(layout.length));
    auto *buf = reinterpret_cast<unsigned char *>(m_buffer.data());
    for (int i = 0; i < count; ++i) {
        const QVariant &v = i < values.size() && values[i] ? *values[i] : Null;
        const short nullFlag = !v.isValid() || v.isNull() ? -1 : 0;
        std::memcpy(buf + layout.nullOffsets[i], &nullFlag, sizeof nullFlag);
        if (!nullFlag)
            write(v, kinds[i], texts[i], buf + layout.offsets[i]);
    }
}

void ParameterBinding::write(const QVariant &v, const Slot &slot, const QByteArray &text, unsigned char *p)
{
    switch (slot.type) {
    case SQL_TIMESTAMP: {
        double days = 0;
        if (isTimeStamp(v))
            days = v.value<TimeStamp>().value;
        else if (v.metaType().id() == QMetaType::QDate)
            days = DateTime::fromQDate(v.toDate());
        else if (v.metaType().id() == QMetaType::QDateTime)
            days = DateTime::fromQDateTime(v.toDateTime());
        else
            days = v.toDouble();
        ServerValues::daysToTimestamp(days, p);
        break;
    }
    case SQL_BOOLEAN:
        *p = v.toBool() ? 1 : 0;
        break;
    case SQL_SHORT: {
        const short b = v.toBool() ? 1 : 0;
        std::memcpy(p, &b, 2);
        break;
    }
    case SQL_INT64: {
        const qint64 x = v.toLongLong();
        std::memcpy(p, &x, 8);
        break;
    }
    case SQL_DOUBLE: {
        const double x = v.toDouble();
        std::memcpy(p, &x, 8);
        break;
    }
    case SQL_VARYING: {
        const auto len = static_cast<unsigned short>(text.size());
        std::memcpy(p, &len, 2);
        std::memcpy(p + 2, text.constData(), len);
        break;
    }
    default:
        break;
    }
}
