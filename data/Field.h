#pragma once

#include "data/Query.h"

#include <QString>
#include <QVariant>

class DataSet;

// One column of a data set, named after the data set and the column
// (ifactureNUMEROORDRE). It reads and writes the current row; text written to
// it is converted by the column's type, and refused with the toolkit's words.
class Field
{
public:
    Field(DataSet &dataSet, int index, const ColumnInfo &column);

    DataSet &dataSet() const { return m_dataSet; }
    int index() const { return m_index; }
    QString name() const; // data set name + column name
    const QString &fieldName() const { return m_info.name; } // the column name
    FieldType type() const { return m_info.type; }
    int size() const { return m_info.size; }
    bool isFixed() const { return m_info.fixed; }
    bool isRequired() const { return m_info.required; }
    bool isString() const { return m_info.type == FieldType::String || m_info.type == FieldType::Memo; }
    bool isNumeric() const;
    bool isDateTime() const;
    const QString &displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &mask) { m_displayFormat = mask; }
    void setInfo(const ColumnInfo &column, int index);

    // The value of the current row (of the row being edited while editing).
    QVariant value() const;
    bool isNull() const { return !value().isValid(); }
    QString asString() const;
    int asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    double asDateTime() const;
    QString displayText() const;

    // Writing requires the data set to be in edit or insert mode.
    void setValue(const QVariant &value);
    void setAsString(const QString &text);
    void clear() { setValue(QVariant()); }

    // Converting helpers on any value of this column.
    QString textOf(const QVariant &value) const;
    QString displayTextOf(const QVariant &value) const;
    QVariant fromText(const QString &text) const; // throws Error
    QVariant coerce(const QVariant &value) const; // throws Error

private:
    DataSet &m_dataSet;
    int m_index;
    ColumnInfo m_info;
    QString m_displayFormat;
};
