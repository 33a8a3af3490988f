#pragma once

#include <QDialog>

class DataSet;
class DBGrid;
class QLabel;
class UpperCaseEdit;

// The modal list in which the operator chooses the client of an invoice by
// double-clicking it (or pressing Enter on it). However it closes, the choice
// is the current row of the shared client data set, which keeps the picker's
// statement. Made on the stack, or deleted by its caller after exec().
class ClientPicker : public QDialog
{
    Q_OBJECT

public:
    explicit ClientPicker(DataSet *tiers, QWidget *parent = nullptr);

    QLabel *bannerLabel;
    QLabel *searchLabel;
    UpperCaseEdit *searchEdit;
    DBGrid *grid;

    void openList();
    void chooseCurrentRow();
    void sortByColumn(int column);
    void search();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class Panel;
    Panel *m_panel;
    DataSet *m_tiers;
};
