#pragma once

#include "import/wizard/WizardPage.h"

#include <QAbstractTableModel>
#include <QColor>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;

// The first lines of a delimited file split into fields, for the page.
class DelimitedPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setLines(const QList<QStringList> &lines);
    // The column (from 1) drawn as the selected destination column's.
    void setMarkedColumn(int column);
    // The lines the import skips, drawn in colour and never marked.
    void setSkippedLines(int count, const QColor &colour);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<QStringList> m_lines;
    int m_columns = 0;
    int m_marked = 0;
    int m_skipped = 0;
    QColor m_skippedColour;
};

// The delimited text page: the file's first lines split as the import
// splits them, one grid column per field ("Column_1", ...). A click in a
// column gives it to the destination column selected in the list, or takes
// it back when it had it.
class DelimitedPage : public WizardPage
{
    Q_OBJECT

public:
    DelimitedPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    void prepare(bool sourceChanged) override;
    void settingsChanged() override;

    QTableView *grid() const { return m_grid; }
    int columnCount() const;

private:
    void connectControls();
    void readFile();
    // Clears the column numbers this file does not have, and says which.
    void dropNumbersBeyondColumns();
    void showSkipped();
    QString sourceSignature() const;
    QString currentColumn() const;
    void columnClicked(int number);
    void setNumber(const QString &column, int number);
    void showFields();
    void showCurrent();

    QString m_loaded; // file, delimiter, quote and encoding of the lines shown
    DelimitedPreviewModel *m_model;
    QTreeWidget *m_fields;
    QComboBox *m_colNumber;
    QTableView *m_grid;
    QPushButton *m_autoFill;
    QPushButton *m_clear;
    QLineEdit *m_skipLines;
    QComboBox *m_encoding = nullptr;
    bool m_updating = false;
};
