#pragma once

#include "data/DataSet.h"

#include <QPointer>
#include <QWidget>

class FormKeys;

enum class FormResult { None, Ok, Cancel };

// An entry form over the current row of a shared data set. Closing posts the
// row when the result is OK and cancels it otherwise; a refused post keeps the
// window open with what was typed.
class EntryForm : public QWidget
{
    Q_OBJECT

public:
    EntryForm(DataSet *dataSet, QWidget *parent = nullptr);

    FormResult result() const { return m_result; }
    void setResult(FormResult result) { m_result = result; }
    DataSet *dataSet() const { return m_dataSet; }
    FormKeys *keys() const { return m_keys; }

    // Sets the result and closes (the buttons' handlers).
    void closeWith(FormResult result);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Writes what the focused editor holds; false when it was refused.
    bool commitFocusedEditor();

private:
    QPointer<DataSet> m_dataSet;
    FormKeys *m_keys;
    FormResult m_result = FormResult::None;
};
