#pragma once

#include "declaration/DeclarationGeneration.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// What the checks found in a quarter about to be written, with the count
// and the four totals: the clerk writes the file anyway or corrects first
// (the default). The list can be copied and printed.
class AnomalyDialog : public QDialog
{
    Q_OBJECT

public:
    // caption: the company's name; heading: its tax identifier and the
    // quarter, as DeclarationChecks::headingText() says them.
    AnomalyDialog(const QString &caption, const QString &heading, const DeclarationPass &pass, QWidget *parent = nullptr);

    // Shows the list and waits; true when the clerk chose "Générer quand
    // même". Tests answer through the message boxes' answers: Ok or Yes
    // writes, any other declines, and nothing is shown.
    static bool generateAnyway(const QString &caption, const QString &heading, const DeclarationPass &pass, QWidget *parent);

    // The text "Copier" puts on the clipboard: the lines kestra-cli check prints.
    QString text() const;
    void copy();
    void print();

    QLabel *summaryLabel;
    QTableView *anomaliesTable; // over a model of the list: a quarter may hold many
    QLabel *totalsLabel;
    QPushButton *copyButton;
    QPushButton *printButton;
    QPushButton *generateAnywayButton;
    QPushButton *correctFirstButton;

private:
    QString m_caption;
    QString m_heading;
    const DeclarationPass &m_pass;
};
