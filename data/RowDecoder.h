#pragma once

#include "data/Query.h"

class RowFormat;

#include <QVector>

namespace Firebird {
class IMessageMetadata;
}

// The columns of a statement's result, and its output message read into the
// program's values: QString, int, qint64, double, bool or TimeStamp, an
// invalid QVariant for null. Text blobs are read through the connection.
class RowDecoder
{
public:
    RowDecoder(Connection &connection, Firebird::IMessageMetadata *output);

    const QVector<ColumnInfo> &columns() const { return m_columns; }
    unsigned messageLength() const { return m_length; }
    // A fresh row: the previous one may be shared with whoever kept it.
    void decode(const unsigned char *message, Row &row) const;
    // The same values in a data set's compact record, without a QVariant on
    // the way (format: of these columns).
    QByteArray pack(const unsigned char *message, const RowFormat &format) const;

private:
    struct Slot
    {
        unsigned type = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
        unsigned length = 0;
        int scale = 0;
        int subType = 0;
    };
    QVariant value(const Slot &slot, const unsigned char *p) const;
    QVariant blob(const Slot &slot, const unsigned char *p) const;
    QByteArray blobBytes(const unsigned char *p) const;

    Connection &m_connection;
    QVector<Slot> m_slots;
    QVector<ColumnInfo> m_columns;
    unsigned m_length = 0;
};
