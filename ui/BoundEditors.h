#pragma once

#include "data/DataSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class Field;
class DateEdit;
class QToolButton;

// What every data-aware editor shares: the field it shows, and the write of
// the operator's text into it when the editor is left.
class BoundEditor
{
public:
    virtual ~BoundEditor() = default;
    void setField(DataSet *dataSet, const QString &fieldName);
    DataSet *dataSet() const { return m_dataSet; }
    const QString &fieldName() const { return m_fieldName; }
    Field *field() const; // null while the data set is closed
    // Writes pending text; on refusal shows the message, keeps the focus and
    // answers false.
    virtual bool commit() = 0;

protected:
    virtual void reload() = 0;
    QWidget *asWidget();
    // Starts editing the current row when the operator types in browse mode.
    bool startEditing();
    // Writes text through the field's conversion; false and a message on refusal.
    bool writeText(const QString &text);
    void connectDataSet(QObject *receiver);

    QPointer<DataSet> m_dataSet;
    QString m_fieldName;
    bool m_modified = false;
};

// A line edit bound to a field, limited to the column's width.
class DBEdit : public QLineEdit, public BoundEditor
{
    Q_OBJECT

public:
    explicit DBEdit(QWidget *parent = nullptr);
    bool commit() override;

signals:
    // The editor was left after its text was written: the form's own handler runs now.
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reload() override;
};

// A drop-down list that also accepts typed text; the field keeps as much of
// the chosen text as it can hold (the first character of "1: Matricule Fiscal").
class DBComboBox : public QComboBox, public BoundEditor
{
    Q_OBJECT

public:
    explicit DBComboBox(QWidget *parent = nullptr);
    bool commit() override;

signals:
    void exited();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void reload() override;
};

// A date typed in the short date format, or chosen in a calendar.
class DBDateEdit : public QWidget, public BoundEditor
{
    Q_OBJECT

public:
    explicit DBDateEdit(QWidget *parent = nullptr);
    QLineEdit *lineEdit() const;
    QToolButton *calendarButton() const;
    void setCalendarTitle(const QString &title);
    bool commit() override;

signals:
    void exited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reload() override;

private:
    DateEdit *m_date;
};

// A check box storing "O" when ticked and "N" otherwise.
class DBCheckBox : public QCheckBox, public BoundEditor
{
    Q_OBJECT

public:
    explicit DBCheckBox(const QString &text, QWidget *parent = nullptr);
    bool commit() override { return true; }

protected:
    void reload() override;
};
