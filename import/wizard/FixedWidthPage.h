#pragma once

#include "import/wizard/WizardPage.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TextViewer;

// The fixed-width text page: the file's first lines under a ruler, where
// the operator places column separators and clicks the region of the
// destination column selected in "Fields", which then takes its position P
// (from 0) and size S.
class FixedWidthPage : public WizardPage
{
    Q_OBJECT

public:
    FixedWidthPage(ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    void prepare(bool sourceChanged) override;
    void settingsChanged() override;

    TextViewer *viewer() const { return m_viewer; }

private:
    struct Attached
    {
        QString column;
        int end; // where the column ends (for one that starts at the separator)
    };

    void readFile();
    QString currentColumn() const;
    bool positionOf(const QString &column, int &p, int &s) const;
    void setPosition(const QString &column, int p, int s);
    void clearPosition(const QString &column);
    void mapChanged();
    void showFields();
    void showSelection();
    void placeSeparators();

    void regionClicked(int left, int right, bool selected);
    void regionClickUndone();
    void separatorRemoved(int position);
    void dragStarted(int position);
    void dragged(int from, int to);
    void dropped(int position, bool removed);

    QString m_loadedFile;
    TextEncoding m_loadedEncoding = teWindows1252;
    QTreeWidget *m_fields;
    TextViewer *m_viewer;
    QPushButton *m_clear;
    QLineEdit *m_skipLines;
    QComboBox *m_encoding = nullptr;
    bool m_updating = false;
    // The columns that follow a separator being dragged.
    QList<Attached> m_starting;
    QStringList m_ending;
    // The column's P and S before the last region click.
    QString m_undoColumn;
    QString m_undoP;
    QString m_undoS;
};
