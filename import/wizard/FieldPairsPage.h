#pragma once

#include "import/wizard/WizardPage.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

// The dBase and XML pages: the destination columns not yet mapped, the
// source fields read from the file, and the pairs made of one of each, in
// the order they were made.
class FieldPairsPage : public WizardPage
{
    Q_OBJECT

public:
    // kind: aiDBF or aiXML.
    FieldPairsPage(
        AllowedImport kind, ImportSettings &settings, const ImportWizard &component, QWidget *parent = nullptr);

    void prepare(bool sourceChanged) override;
    void settingsChanged() override;

    QStringList sourceFields() const { return m_sourceFields; }
    QStringList unmappedColumns() const { return m_unmapped; }

private:
    QList<WizardFieldPair> &pairs() const;
    void readFields();
    // Removes the pairs whose field this file does not have, and says which.
    void dropPairsNotInSource();
    void showLists();
    void updateButtons();
    void add();
    void remove();
    void autoFill();
    void clear();

    QString m_loadedFile;
    QStringList m_sourceFields;
    QStringList m_unmapped; // in the order columns came back to the list
    QListWidget *m_columns;
    QLabel *m_fileLabel;
    QListWidget *m_fields;
    QTreeWidget *m_pairs;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_autoFill;
    QPushButton *m_clear;
    QCheckBox *m_option;
    bool m_updating = false;
};
