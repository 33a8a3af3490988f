#include "declaration/windows/DeclarationWindow.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "declaration/DeclarationHistory.h"
#include "declaration/windows/AnomalyDialog.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QLabel *boldLabel(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

DeclarationWindow::DeclarationWindow(const WorkingContext &context, const QString &companyCaption, Connection &connection, QWidget *parent)
    : QWidget(parent)
    , matriculeLabel(boldLabel(QStringLiteral("Matricule"), this))
    , exerciceLabel(boldLabel(QStringLiteral("Exercice"), this))
    , companyLabel(boldLabel(QStringLiteral("Societe"), this))
    , quarterLabel(boldLabel(QStringLiteral("quarterLabel"), this))
    , quarterCombo(new QComboBox(this))
    , lastGenerationLabel(new QLabel(this))
    , directoryLabel(new QLabel(QStringLiteral("Emplacement des Fichiers Résultats"), this))
    , directoryEdit(new QLineEdit(this))
    , directoryButton(new QToolButton(this))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , closeButton(new QPushButton(QStringLiteral("Fermer"), this))
    , m_context(context)
    , m_companyCaption(companyCaption)
    , m_generation(connection)
{
    setObjectName(QStringLiteral("DeclarationWindow"));
    setWindowTitle(QStringLiteral("Génération des Fichiers de Déclaration"));
    quarterLabel->setText(QStringLiteral("Trimestre"));
    directoryLabel->setObjectName(QStringLiteral("directoryLabel"));
    quarterCombo->setObjectName(QStringLiteral("quarterCombo"));
    quarterCombo->setEditable(true);
    quarterCombo->setInsertPolicy(QComboBox::NoInsert);
    quarterCombo->addItems({ QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") });
    quarterLabel->setBuddy(quarterCombo);
    lastGenerationLabel->setObjectName(QStringLiteral("lastGenerationLabel"));
    lastGenerationLabel->setStyleSheet(QStringLiteral("color: #1f4e79;"));
    directoryEdit->setObjectName(QStringLiteral("directoryEdit"));
    directoryEdit->setMinimumWidth(320);
    directoryLabel->setBuddy(directoryEdit);
    directoryButton->setObjectName(QStringLiteral("directoryButton"));
    directoryButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    directoryButton->setToolTip(QStringLiteral("Choisir le répertoire"));
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    okButton->setDefault(true);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(true); // Enter on "Fermer" closes
    closeButton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    auto *company = new QGroupBox(QStringLiteral("Société"), this);
    auto *companyLayout = new QFormLayout(company);
    companyLayout->addRow(QStringLiteral("Matricule Fiscal :"), matriculeLabel);
    companyLayout->addRow(QStringLiteral("Exercice :"), exerciceLabel);
    companyLayout->addRow(QStringLiteral("Raison Sociale :"), companyLabel);

    auto *choice = new QFormLayout;
    choice->addRow(quarterLabel, quarterCombo);
    choice->addRow(QString(), lastGenerationLabel);
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(directoryEdit, 1);
    dirRow->addWidget(directoryButton);
    choice->addRow(directoryLabel, dirRow);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(company);
    layout->addLayout(choice);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(directoryButton, &QToolButton::clicked, this, &DeclarationWindow::browse);
    connect(okButton, &QPushButton::clicked, this, &DeclarationWindow::generate);
    // OK is the default button, as in a dialog: Enter in the boxes presses it.
    connect(directoryEdit, &QLineEdit::returnPressed, okButton, &QPushButton::click);
    connect(quarterCombo->lineEdit(), &QLineEdit::returnPressed, okButton, &QPushButton::click);
    connect(closeButton, &QPushButton::clicked, this, &DeclarationWindow::closeWithoutWriting);
    connect(quarterCombo, &QComboBox::currentTextChanged, this, &DeclarationWindow::showLastGeneration);
    showCompany();
}

void DeclarationWindow::showCompany()
{
    matriculeLabel->setText(m_context.curIdentifiant);
    exerciceLabel->setText(m_context.curExercice);
    companyLabel->setText(m_companyCaption);
    quarterCombo->setCurrentIndex(0);
    showLastGeneration();
}

void DeclarationWindow::showLastGeneration()
{
    int year = 0;
    if (m_context.curIdentifiant.isEmpty() || !tryStrToInt(m_context.curExercice, year)) {
        lastGenerationLabel->clear();
        return;
    }
    try {
        const std::optional<DeclarationRecord> last = DeclarationHistory::last(m_generation.query().connection(),
            m_context.curIdentifiant + m_context.curCle + m_context.curCategorie + m_context.curEtab, year, quarterCombo->currentText());
        lastGenerationLabel->setText(last ? DeclarationHistory::lastText(*last) : QStringLiteral("Pas encore généré."));
    } catch (const Error &e) {
        lastGenerationLabel->setText(e.text());
    }
}

QString DeclarationWindow::heading() const
{
    return DeclarationChecks::headingText(m_context.curIdentifiant + m_context.curCle + m_context.curCategorie + m_context.curEtab,
        quarterCombo->currentText(), m_context.curExercice);
}

void DeclarationWindow::browse()
{
    const QString dir
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Emplacement des Fichiers Résultats"), directoryEdit->text());
    if (!dir.isEmpty())
        directoryEdit->setText(dir);
}

void DeclarationWindow::generate()
{
    // The file is written without its name and checked as it is written;
    // it takes its name once the clerk has seen what the checks found and
    // agreed to replace an earlier file.
    const DeclarationPass *pass = nullptr;
    try {
        pass = &m_generation.prepare(directoryEdit->text(), quarterCombo->currentText(), m_context);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (!pass->anomalies.isEmpty() && !AnomalyDialog::generateAnyway(m_companyCaption, heading(), *pass, this)) {
        m_generation.discard();
        return;
    }
    if (QFileInfo::exists(pass->path)
        && !MessageBox::confirm(this,
            QStringLiteral("Remplacer le fichier %1 ?\nLe fichier actuel sera conservé sous le nom %2.")
                .arg(pass->shownPath, QFileInfo(DeclarationFile::keptName(pass->path)).fileName()),
            QMessageBox::No)) {
        m_generation.discard();
        return;
    }
    try {
        m_generation.commit();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (!m_generation.historyError().isEmpty())
        MessageBox::error(this, m_generation.historyError());
    emit generated();
    MessageBox::information(this, pass->shownPath);
    MessageBox::information(this, QStringLiteral("Fichier de déclaration Crée"));
    close();
}

void DeclarationWindow::closeWithoutWriting()
{
    close();
}
