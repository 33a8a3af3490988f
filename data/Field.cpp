#include "data/Field.h"

#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "core/Formatting.h"
#include "data/DataSet.h"

#include <cmath>

Field::Field(DataSet &dataSet, int index, const ColumnInfo &column)
    : m_dataSet(dataSet)
    , m_index(index)
    , m_info(column)
{
}

void Field::setInfo(const ColumnInfo &column, int index)
{
    m_info = column;
    m_index = index;
}

QString Field::name() const
{
    return m_dataSet.objectName() + m_info.name;
}

bool Field::isNumeric() const
{
    switch (m_info.type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Bcd:
        return true;
    default:
        return false;
    }
}

bool Field::isDateTime() const
{
    return m_info.type == FieldType::DateTime || m_info.type == FieldType::Date || m_info.type == FieldType::Time;
}

QVariant Field::value() const
{
    return m_dataSet.currentValue(m_index);
}

QString Field::asString() const
{
    return textOf(value());
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (v.metaType().id() == QMetaType::QString) {
        int i = 0;
        if (!tryStrToInt(v.toString(), i))
            throw Error(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return i;
    }
    return static_cast<int>(v.toLongLong());
}

qint64 Field::asLargeInt() const
{
    const QVariant v = value();
    return v.isValid() ? v.toLongLong() : 0;
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0.0;
    if (isTimeStamp(v))
        return v.value<TimeStamp>().value;
    return v.toDouble();
}

double Field::asDateTime() const
{
    return asFloat(); // the day count
}

QString Field::displayText() const
{
    return displayTextOf(value());
}

QString Field::textOf(const QVariant &v) const
{
    if (!v.isValid())
        return QString();
    if (isTimeStamp(v)) {
        const double d = v.value<TimeStamp>().value;
        if (m_info.type == FieldType::Time)
            return timeToStr(d);
        return d == std::trunc(d) ? dateToStr(d) : dateTimeToStr(d);
    }
    switch (v.metaType().id()) {
    case QMetaType::Double:
        return floatToStr(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

QString Field::displayTextOf(const QVariant &v) const
{
    if (!v.isValid() || m_displayFormat.isEmpty())
        return textOf(v);
    if (isTimeStamp(v))
        return formatDateTime(m_displayFormat, v.value<TimeStamp>().value);
    if (isNumeric())
        return formatFloat(m_displayFormat, v.toDouble());
    return textOf(v);
}

QVariant Field::fromText(const QString &text) const
{
    switch (m_info.type) {
    case FieldType::String:
    case FieldType::Memo:
        // An empty text is no value: a required column then refuses the post.
        if (text.isEmpty())
            return QVariant();
        return m_info.type == FieldType::String && m_info.size > 0 ? text.left(m_info.size) : text;
    case FieldType::SmallInt:
    case FieldType::Integer: {
        if (text.isEmpty())
            return QVariant();
        int i = 0;
        if (!tryStrToInt(text, i) || (m_info.type == FieldType::SmallInt && (i < -32768 || i > 32767)))
            throw Error(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, m_info.name));
        return i;
    }
    case FieldType::LargeInt: {
        if (text.isEmpty())
            return QVariant();
        qint64 i = 0;
        if (!tryStrToInt64(text, i))
            throw Error(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, m_info.name));
        return i;
    }
    case FieldType::Float:
    case FieldType::Bcd: {
        if (text.isEmpty())
            return QVariant();
        double d = 0;
        if (!tryStrToFloat(text, d))
            throw Error(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, m_info.name));
        return d;
    }
    case FieldType::DateTime:
    case FieldType::Date:
    case FieldType::Time: {
        if (text.trimmed().isEmpty())
            return QVariant();
        double d = 0;
        const bool ok = m_info.type == FieldType::Time ? tryStrToTime(text, d) : tryStrToDateTime(text, d);
        if (!ok)
            throw Error(QStringLiteral("'%1' is not a valid date").arg(text));
        return QVariant::fromValue(TimeStamp { d });
    }
    case FieldType::Boolean: {
        if (text.isEmpty())
            return QVariant();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            return false;
        throw Error(QStringLiteral("'%1' is not a valid boolean value for field '%2'").arg(text, m_info.name));
    }
    default:
        return text;
    }
}

QVariant Field::coerce(const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const int id = v.metaType().id();
    if (id == QMetaType::QString)
        return fromText(v.toString());
    switch (m_info.type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString s = isTimeStamp(v) ? textOf(v) : v.toString();
        return fromText(s);
    }
    case FieldType::SmallInt:
    case FieldType::Integer:
        if (id == QMetaType::Double)
            return static_cast<int>(std::trunc(v.toDouble()));
        return static_cast<int>(v.toLongLong());
    case FieldType::LargeInt:
        if (id == QMetaType::Double)
            return static_cast<qint64>(std::trunc(v.toDouble()));
        return v.toLongLong();
    case FieldType::Float:
    case FieldType::Bcd:
        if (isTimeStamp(v))
            return v.value<TimeStamp>().value;
        return v.toDouble();
    case FieldType::DateTime:
    case FieldType::Date:
    case FieldType::Time:
        if (isTimeStamp(v))
            return v;
        if (id == QMetaType::QDate)
            return QVariant::fromValue(TimeStamp { DateTime::fromQDate(v.toDate()) });
        if (id == QMetaType::QDateTime)
            return QVariant::fromValue(TimeStamp { DateTime::fromQDateTime(v.toDateTime()) });
        return QVariant::fromValue(TimeStamp { v.toDouble() });
    case FieldType::Boolean:
        return v.toBool();
    default:
        return v;
    }
}

void Field::setValue(const QVariant &v)
{
    m_dataSet.setCurrentValue(m_index, coerce(v));
}

void Field::setAsString(const QString &text)
{
    m_dataSet.setCurrentValue(m_index, fromText(text));
}
