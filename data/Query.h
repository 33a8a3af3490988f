#pragma once

#include "data/DbError.h"

#include <QHash>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

class Connection;
class RowFormat;

// Kinds of column values as the program sees them.
enum class FieldType { Unknown, String, SmallInt, Integer, LargeInt, Float, Bcd, DateTime, Date, Time, Boolean, Memo, Blob };

struct ColumnInfo
{
    QString name; // alias, as the server gives it
    QString relation; // table, empty for expressions
    FieldType type = FieldType::Unknown;
    int size = 0; // characters for text columns
    bool fixed = false; // CHAR rather than VARCHAR
    bool required = false;
    int scale = 0;
};

using Row = QVector<QVariant>;

// A statement on the shared connection and transaction. Parameters are
// written ":name" and bound by name; the values travel in the types they
// have (a text bound to a number column is converted by the server). The
// work is shared out: Statement runs it, ParameterBinding lays out the
// values, RowDecoder reads the rows.
// Values read come back as QString, int, qint64, double, bool or TimeStamp,
// an invalid QVariant for null.
class Query
{
public:
    explicit Query(Connection &connection, const QString &sql = QString());
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Connection &connection() const { return m_connection; }
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    // Distinct parameter names, upper case, in order of first appearance.
    QStringList paramNames() const;
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams();

    void prepare();
    bool isPrepared() const;
    bool isSelect();

    // Runs a statement that returns no cursor (or one row for a procedure).
    void execute();
    qint64 rowsAffected() const { return m_rowsAffected; }
    // The output row of an executed procedure.
    const Row &outputRow() const { return m_outputRow; }

    void open();
    bool isOpen() const;
    bool fetch(Row &row); // false at the end, where the cursor closes
    // The next row as a data set keeps it (format: of these columns).
    bool fetchPacked(const RowFormat &format, QByteArray &record);
    void close();
    QVector<Row> fetchAll();

    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const QVector<ColumnInfo> &columns() const { return m_columns; }
    int columnIndex(const QString &name) const; // -1 when absent; without regard to case

private:
    struct Impl;
    void bindInput();
    void closeCursor();

    Connection &m_connection;
    QString m_sql;
    QString m_translated;
    QStringList m_placeNames;
    QHash<QString, QVariant> m_params;
    QVector<ColumnInfo> m_columns;
    Row m_outputRow;
    qint64 m_rowsAffected = 0;
    std::unique_ptr<Impl> d;
    QMetaObject::Connection m_endingConnection;
};
