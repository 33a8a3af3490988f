#pragma once

#include "import/engine/DataImportCommon.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Edits one replacement of a column's field format. OK refuses an empty
// text to find.
class TReplacementDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TReplacementDialog(QWidget *parent = nullptr);

    void SetReplacement(const TDataImportReplacement &replacement);
    TDataImportReplacement Replacement() const;

    void accept() override;

private:
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_ignoreCase;
};
