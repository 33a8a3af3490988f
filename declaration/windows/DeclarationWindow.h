#pragma once

#include "core/WorkingContext.h"
#include "declaration/DeclarationGeneration.h"

#include <QWidget>

class Connection;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The window that writes the declaration file of the working company and
// year for one quarter into a directory of the operator's choice.
class DeclarationWindow : public QWidget
{
    Q_OBJECT

public:
    // companyCaption: the company name as the main window shows it.
    DeclarationWindow(
        const WorkingContext &context, const QString &companyCaption, Connection &connection, QWidget *parent = nullptr);

    void showCompany();
    void generate();
    void closeWithoutWriting();

    QLabel *matriculeLabel;
    QLabel *exerciceLabel;
    QLabel *companyLabel;
    QLabel *quarterLabel;
    QComboBox *quarterCombo;
    // The last generation of the chosen quarter, from the history.
    QLabel *lastGenerationLabel;
    QLabel *directoryLabel;
    QLineEdit *directoryEdit;
    QToolButton *directoryButton;
    QPushButton *okButton;
    QPushButton *closeButton;

    // Reads the history again for the quarter chosen.
    void showLastGeneration();

signals:
    // A file was written and recorded.
    void generated();

private:
    void browse();
    // The company's tax identifier and the quarter, as the anomaly list heads them.
    QString heading() const;

    const WorkingContext &m_context;
    QString m_companyCaption;
    DeclarationGeneration m_generation;
};
