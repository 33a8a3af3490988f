#pragma once

#include "data/Field.h"
#include "data/Query.h"
#include "data/RowFormat.h"
#include "data/RowStore.h"
#include "data/UpdateStatements.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class Connection;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// A statement's rows, fetched into memory when opened, with a current row
// that lists and forms share. Rows are added, changed and deleted through
// statements generated from the table and its key columns; every change goes
// through post() (or remove()), whose failures leave the row as typed.
class DataSet : public QObject
{
    Q_OBJECT

public:
    DataSet(Connection &connection, const QString &name, QObject *parent = nullptr);
    ~DataSet() override;

    Connection &connection() const { return m_connection; }

    // The statement; replacing it closes the data set. Parameter values are
    // kept across statements, by name.
    void setSql(const QString &sql);
    const QString &sql() const { return m_select->sql(); }
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;

    // Where posts and deletions go: without a table the data set is read-only.
    void setUpdateTable(const QString &table, const QStringList &keyColumns);
    const QString &updateTable() const { return m_updateTable; }
    const QStringList &keyColumns() const { return m_keyColumns; }
    UpdateStatements updateStatements() const; // from the open columns
    // Masks by column name, kept across statements.
    void setDisplayFormat(const QString &fieldName, const QString &mask);

    void open();
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    Field *field(int index) const { return m_fields[static_cast<size_t>(index)].get(); }
    Field *findField(const QString &fieldName) const;
    Field *fieldByName(const QString &fieldName) const; // throws when absent

    int recordCount() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recNo() const { return m_current; } // -1 when empty
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    // Finds the first row whose fields (names joined by ';') hold the values
    // (one value, or a list in the same order), texts compared without
    // regard to case. The row becomes current when found.
    bool locate(const QString &fieldNames, const QVariant &values);

    // A cell of any row, the row being edited showing its pending values.
    QVariant valueAt(int row, int column) const;

    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void remove();
    // Posts a pending edit, as moving away from a row does.
    void checkBrowseMode();

    // Raises "Field '%s' must have a value" for the first required field
    // of the row being edited that has none.
    void checkRequired() const;
    // The value a column of the current row had when it was read (the row
    // being edited keeps it until posted).
    QVariant oldValue(int column) const { return m_current < 0 ? QVariant() : m_format.value(m_rows.at(m_current), column); }

    // Handlers run after a new row was started, before a post (the row may
    // still be changed there; a throw refuses the post), when the post's
    // statement failed (before the failure is raised) and after a
    // successful post.
    std::function<void(DataSet &)> afterInsert;
    std::function<void(DataSet &)> beforePost;
    std::function<void(DataSet &, const Error &)> postFailed;
    std::function<void(DataSet &)> afterPost;

    // While disabled, views are not told of changes; enabling resets them.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

    // Used by Field.
    QVariant currentValue(int column) const;
    void setCurrentValue(int column, const QVariant &value);

signals:
    void layoutReset(); // opened, closed, or controls enabled again
    void stateChanged(DataSetState state);
    void currentChanged(int row);
    void fieldChanged(Field *field);
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);

private:
    void checkActive() const;
    void checkNotEmpty() const;
    void setState(DataSetState state);
    void setCurrent(int row);
    void startRow(int position);
    void bindRow(Query &query, const Row &values, const Row *oldValues);
    Query &updateQuery(std::unique_ptr<Query> &query, const QString &sql);

    Connection &m_connection;
    std::unique_ptr<Query> m_select;
    std::unique_ptr<Query> m_insert;
    std::unique_ptr<Query> m_modify;
    std::unique_ptr<Query> m_delete;
    QString m_updateTable;
    QStringList m_keyColumns;
    QHash<QString, QString> m_displayFormats;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, int> m_fieldIndex; // upper-case column name -> index
    RowFormat m_format; // of the open statement's columns
    RowStore m_rows;
    Row m_editRow;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    DataSetState m_state = DataSetState::Inactive;
    int m_disabled = 0;
};
