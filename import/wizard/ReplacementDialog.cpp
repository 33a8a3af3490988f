#include "import/wizard/ReplacementDialog.h"

#include "import/engine/ImportMessages.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

ReplacementDialog::ReplacementDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ReplacementDialog"));
    setWindowTitle(trMessage(ImportMsg::ReplacementCaption));

    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("edTextToFind"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("edReplaceWith"));
    m_ignoreCase = new QCheckBox(trMessage(ImportMsg::ReplacementIgnoreCase), this);
    m_ignoreCase->setObjectName(QStringLiteral("chIgnoreCase"));
    m_find->setMinimumWidth(240);

    auto *form = new QFormLayout;
    form->addRow(trMessage(ImportMsg::ReplacementTextToFind), m_find);
    form->addRow(trMessage(ImportMsg::ReplacementReplaceWith), m_replace);
    form->addRow(QString(), m_ignoreCase);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ReplacementDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReplacementDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void ReplacementDialog::setReplacement(const FieldReplacement &replacement)
{
    m_find->setText(replacement.textToFind);
    m_replace->setText(replacement.replaceWith);
    m_ignoreCase->setChecked(replacement.ignoreCase);
}

FieldReplacement ReplacementDialog::replacement() const
{
    FieldReplacement r;
    r.textToFind = m_find->text();
    r.replaceWith = m_replace->text();
    r.ignoreCase = m_ignoreCase->isChecked();
    return r;
}

void ReplacementDialog::accept()
{
    if (m_find->text().isEmpty()) {
        MessageBox::error(this, trMessage(ImportMsg::TextToFindNotDefined));
        m_find->setFocus();
        return;
    }
    QDialog::accept();
}
