#include "ui/BoundEditors.h"

#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "data/DataSet.h"
#include "ui/DateEdit.h"
#include "ui/MessageBox.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

// ---- BoundEditor

void BoundEditor::setField(DataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        QObject::disconnect(m_dataSet, nullptr, asWidget(), nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    connectDataSet(asWidget());
    reload();
}

Field *BoundEditor::field() const
{
    return m_dataSet && m_dataSet->isActive() ? m_dataSet->findField(m_fieldName) : nullptr;
}

QWidget *BoundEditor::asWidget()
{
    return dynamic_cast<QWidget *>(this);
}

void BoundEditor::connectDataSet(QObject *receiver)
{
    if (!m_dataSet)
        return;
    auto refresh = [this] {
        m_modified = false;
        reload();
    };
    QObject::connect(m_dataSet, &DataSet::layoutReset, receiver, refresh);
    QObject::connect(m_dataSet, &DataSet::currentChanged, receiver, refresh);
    QObject::connect(m_dataSet, &DataSet::stateChanged, receiver, [this](DataSetState state) {
        if (state == DataSetState::Browse)
            m_modified = false; // posted or cancelled: show what is stored
        reload();
    });
    QObject::connect(m_dataSet, &DataSet::fieldChanged, receiver, [this](Field *f) {
        if (f && f->fieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0) {
            m_modified = false;
            reload();
        }
    });
}

bool BoundEditor::startEditing()
{
    if (!m_dataSet || !m_dataSet->isActive() || m_dataSet->isEditing())
        return true;
    try {
        m_dataSet->edit();
        return true;
    } catch (const Error &e) {
        MessageBox::error(asWidget(), e.text());
        return false;
    }
}

bool BoundEditor::writeText(const QString &text)
{
    Field *f = field();
    if (!f) {
        m_modified = false;
        return true;
    }
    try {
        if (!m_dataSet->isEditing())
            m_dataSet->edit();
        f->setAsString(text);
        m_modified = false;
        return true;
    } catch (const Error &e) {
        MessageBox::error(asWidget(), e.text());
        QWidget *w = asWidget();
        // The operator corrects the text where it was typed.
        QTimer::singleShot(0, w, [w] { w->setFocus(Qt::OtherFocusReason); });
        return false;
    }
}

// ---- DBEdit

DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        startEditing();
    });
}

void DBEdit::reload()
{
    Field *f = field();
    if (f && f->isString() && f->size() > 0)
        setMaxLength(f->size());
    else
        setMaxLength(32767);
    if (m_modified)
        return;
    // Away from the focus a field shows its display mask, as the lists do; in
    // the operator's hands, the value to edit.
    if (f && !hasFocus() && !f->displayFormat().isEmpty())
        setText(f->displayText());
    else
        setText(f ? f->asString() : QString());
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    Field *f = field();
    if (f && !m_modified && !f->displayFormat().isEmpty())
        setText(f->asString());
    QLineEdit::focusInEvent(event);
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    // The keypad's point is the decimal separator in a number, whatever the settings.
    Field *f = field();
    const QChar sep = FormatSettings::current().decimalSeparator;
    if (f && (f->type() == FieldType::Float || f->type() == FieldType::Bcd) && event->text() == QLatin1String(".")
        && sep != QLatin1Char('.') && FormatSettings::current().thousandSeparator != QLatin1Char('.')) {
        QKeyEvent translated(event->type(), event->key(), event->modifiers(), QString(sep));
        QLineEdit::keyPressEvent(&translated);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool DBEdit::commit()
{
    if (!m_modified || isReadOnly())
        return true;
    return writeText(text());
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (commit()) {
        emit exited();
        if (!hasFocus())
            reload();
    }
}

// ---- DBComboBox

DBComboBox::DBComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        startEditing();
    });
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        m_modified = true;
        if (startEditing())
            commit(); // a choice from the list is written at once
    });
}

void DBComboBox::reload()
{
    Field *f = field();
    if (m_modified)
        return;
    const QString value = f ? f->asString() : QString();
    // The item the stored value stands for is the current one, so that the
    // arrows move from it; the text shows the value as stored.
    int index = -1;
    for (int i = 0; i < count() && !value.isEmpty(); ++i)
        if (itemText(i).startsWith(value)) {
            index = i;
            break;
        }
    const QSignalBlocker block(this);
    setCurrentIndex(index);
    setEditText(value);
}

bool DBComboBox::commit()
{
    if (!m_modified)
        return true;
    return writeText(currentText());
}

void DBComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (commit())
        emit exited();
}

// ---- DBDateEdit

DBDateEdit::DBDateEdit(QWidget *parent)
    : QWidget(parent)
    , m_date(new DateEdit(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_date);
    setFocusProxy(m_date->lineEdit());
    setFocusPolicy(Qt::StrongFocus);
    m_date->lineEdit()->installEventFilter(this);
    connect(m_date->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        startEditing();
    });
    // A date chosen in the calendar is written at once.
    connect(m_date, &DateEdit::picked, this, [this] {
        if (!startEditing())
            return;
        m_modified = true;
        commit();
        m_date->lineEdit()->setFocus();
    });
}

QLineEdit *DBDateEdit::lineEdit() const
{
    return m_date->lineEdit();
}

QToolButton *DBDateEdit::calendarButton() const
{
    return m_date->calendarButton();
}

void DBDateEdit::setCalendarTitle(const QString &title)
{
    m_date->setCalendarTitle(title);
}

void DBDateEdit::reload()
{
    Field *f = field();
    if (!m_modified)
        m_date->setText(f && !f->isNull() ? dateToStr(f->asDateTime()) : QString());
}

bool DBDateEdit::commit()
{
    if (!m_modified)
        return true;
    const QString text = m_date->text();
    if (text.trimmed().isEmpty())
        return writeText(QString());
    double d = 0;
    if (!tryStrToDate(text.trimmed(), d)) {
        MessageBox::error(this, invalidDateMessage(text));
        QLineEdit *edit = m_date->lineEdit();
        QTimer::singleShot(0, edit, [edit] { edit->setFocus(Qt::OtherFocusReason); });
        return false;
    }
    return writeText(dateToStr(d));
}

bool DBDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_date->lineEdit() && event->type() == QEvent::FocusOut) {
        auto *fe = static_cast<QFocusEvent *>(event);
        if (fe->reason() != Qt::PopupFocusReason && fe->reason() != Qt::ActiveWindowFocusReason && commit())
            emit exited();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- DBCheckBox

DBCheckBox::DBCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        if (!startEditing())
            return;
        m_modified = true;
        writeText(checked ? QStringLiteral("O") : QStringLiteral("N"));
    });
}

void DBCheckBox::reload()
{
    Field *f = field();
    const QSignalBlocker block(this);
    setChecked(f && f->asString() == QLatin1String("O"));
}
