#include "ui/EntryForm.h"

#include "core/Error.h"
#include "data/DataSet.h"
#include "ui/BoundEditors.h"
#include "ui/FormKeys.h"
#include "ui/MessageBox.h"
#include "ui/WindowClose.h"

#include <QApplication>
#include <QCloseEvent>

EntryForm::EntryForm(DataSet *dataSet, QWidget *parent)
    : QWidget(parent)
    , m_dataSet(dataSet)
    , m_keys(new FormKeys(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void EntryForm::closeWith(FormResult result)
{
    m_result = result;
    closeWindow(this);
}

bool EntryForm::commitFocusedEditor()
{
    QWidget *focus = QApplication::focusWidget();
    for (QWidget *w = focus; w && w != this; w = w->parentWidget())
        if (auto *editor = dynamic_cast<BoundEditor *>(w))
            return editor->commit();
    return true;
}

void EntryForm::closeEvent(QCloseEvent *event)
{
    if (m_result == FormResult::Ok) {
        if (!commitFocusedEditor()) {
            event->ignore();
            return;
        }
        try {
            if (m_dataSet)
                m_dataSet->post();
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
            event->ignore();
            return;
        }
    } else if (m_dataSet) {
        m_dataSet->cancel();
    }
    event->accept();
    emit closed();
}
