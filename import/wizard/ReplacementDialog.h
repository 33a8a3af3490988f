#pragma once

#include "import/engine/ImportFormats.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Edits one replacement of a column's field format. OK refuses an empty
// text to find.
class ReplacementDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReplacementDialog(QWidget *parent = nullptr);

    void setReplacement(const FieldReplacement &replacement);
    FieldReplacement replacement() const;

    void accept() override;

private:
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_ignoreCase;
};
