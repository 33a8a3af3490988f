#pragma once

#include "import/sources/workbook/RangeMap.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Edits one cell range of the spreadsheet page: a column, a row or a cell,
// its two ends (each given or found in the data), the direction used when an
// end is open, and the worksheet. The dialog works on a copy; OK checks every
// edit and refuses with the first failure, its edit focused; a worksheet the
// workbook does not have is such a failure. In each group of choices Tab
// stops on the one chosen and the arrow keys change it.
class RangeEditor : public QDialog
{
    Q_OBJECT

public:
    // sheetNames: the loaded workbook's worksheets, in order (none: any
    // worksheet is taken).
    RangeEditor(const MapRange &range, const QStringList &sheetNames, QWidget *parent = nullptr);

    // The range as edited; meaningful once the dialog was accepted.
    const MapRange &range() const { return m_range; }

    void accept() override;

private:
    QGroupBox *buildTypeGroup();
    void buildEndGroup(
        int title, int openText, const QString &prefix, QGroupBox *&group, QRadioButton *&open, QRadioButton *&given, QLineEdit *&value);
    void buildDirectionGroup();
    void buildSheetGroup(const QStringList &sheetNames);
    enum Type { tyCol, tyRow, tyCell };

    Type type() const;
    void showRange(const MapRange &range);
    void typeChanged();
    void updateEnabling();
    // Tab reaches a group of choices on the one chosen only, so that
    // landing there and pressing Space changes nothing.
    void tabToChosen();
    // Builds the range from the edits; raises the first failure after
    // focusing its edit.
    MapRange readRange();
    // Raises when the range names a worksheet the workbook does not have.
    void checkSheet(const MapRange &range) const;

    MapRange m_range;
    QStringList m_sheetNames;
    QList<QList<QRadioButton *>> m_choices;
    QComboBox *m_type;
    QLabel *m_rangeLabel;
    QLineEdit *m_rangeEdit;
    QGroupBox *m_startGroup;
    QRadioButton *m_startOpen;
    QRadioButton *m_startGiven;
    QLineEdit *m_start;
    QGroupBox *m_finishGroup;
    QRadioButton *m_finishOpen;
    QRadioButton *m_finishGiven;
    QLineEdit *m_finish;
    QGroupBox *m_directionGroup;
    QRadioButton *m_forward;
    QRadioButton *m_backward;
    QGroupBox *m_sheetGroup;
    QRadioButton *m_defaultSheet;
    QRadioButton *m_customSheet;
    QRadioButton *m_bySheetNumber;
    QRadioButton *m_bySheetName;
    QComboBox *m_sheetNumber;
    QComboBox *m_sheetName;
};
