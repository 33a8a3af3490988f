#pragma once

#include "data/Query.h"

#include <QByteArray>
#include <QVector>

// How a data set keeps its rows in memory: one compact record a row, with a
// null bit a column, fixed-width values at fixed places and texts after
// them, in the connection's single-byte code page. A list of a year's
// invoices holds hundreds of thousands of rows of which the screen shows a
// few dozen: values are made into QVariants only when asked for. An empty
// record is a row whose every value is null.
class RowFormat
{
public:
    enum class Kind : quint8 { None, Int32, Int64, Double, Stamp, Bool, Text, Bytes };

    RowFormat() = default;
    explicit RowFormat(const QVector<ColumnInfo> &columns);

    int columnCount() const { return int(m_kinds.size()); }
    Kind kind(int column) const { return m_kinds[column]; }

    // The values of a row as the program holds them (QString, int, qint64,
    // double, bool, TimeStamp, QByteArray; invalid for null).
    QByteArray pack(const Row &values) const;
    QVariant value(const QByteArray &record, int column) const;
    Row unpack(const QByteArray &record) const;

    // Builds one record value by value; a value not set stays null.
    class Writer
    {
    public:
        // textBytes: room to keep for the texts, so that the record is
        // allocated once at its size.
        explicit Writer(const RowFormat &format, qsizetype textBytes = 0);
        void setInt32(int column, qint32 value);
        void setInt64(int column, qint64 value);
        void setDouble(int column, double value); // Double and Stamp
        void setBool(int column, bool value);
        void setBytes(int column, const char *data, qsizetype length); // Text and Bytes
        QByteArray take() { return std::move(m_record); }

    private:
        char *place(int column);
        const RowFormat &m_format;
        QByteArray m_record;
    };

private:
    bool isNull(const QByteArray &record, int column) const;
    int bitmapSize() const { return (columnCount() + 7) / 8; }

    QVector<Kind> m_kinds;
    QVector<int> m_offsets; // of each value from the record's start
    int m_fixedSize = 0; // the null bits and the fixed-width values
};
