#include "declaration/windows/AnomalyDialog.h"

#include "core/Error.h"
#include "declaration/windows/AnomalyReport.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using DeclarationChecks::Anomaly;
using DeclarationChecks::Severity;

AnomalyDialog::AnomalyDialog(const QString &caption, const QString &heading, const DeclarationPass &pass, QWidget *parent)
    : QDialog(parent)
    , Resume(new QLabel(this))
    , Anomalies(new QTableWidget(this))
    , Totaux(new QLabel(this))
    , Copier(new QPushButton(QStringLiteral("Copier"), this))
    , Imprimer(new QPushButton(QStringLiteral("Imprimer"), this))
    , GenererQuandMeme(new QPushButton(QStringLiteral("Générer quand même"), this))
    , CorrigerDabord(new QPushButton(QStringLiteral("Corriger d'abord"), this))
    , m_caption(caption)
    , m_heading(heading)
    , m_pass(pass)
{
    setObjectName(QStringLiteral("AnomalyDialog"));
    setWindowTitle(QStringLiteral("Anomalies de la déclaration"));
    Resume->setObjectName(QStringLiteral("Resume"));
    Anomalies->setObjectName(QStringLiteral("Anomalies"));
    Totaux->setObjectName(QStringLiteral("Totaux"));
    Copier->setObjectName(QStringLiteral("Copier"));
    Imprimer->setObjectName(QStringLiteral("Imprimer"));
    GenererQuandMeme->setObjectName(QStringLiteral("GenererQuandMeme"));
    CorrigerDabord->setObjectName(QStringLiteral("CorrigerDabord"));

    QFont bold = Resume->font();
    bold.setBold(true);
    Resume->setFont(bold);
    Resume->setText(QStringLiteral("%1 — %2\n%3 erreur%4, %5 avertissement%6. Le fichier n'est pas encore écrit.")
                        .arg(caption, heading)
                        .arg(pass.errorCount)
                        .arg(pass.errorCount > 1 ? QStringLiteral("s") : QString())
                        .arg(pass.warningCount)
                        .arg(pass.warningCount > 1 ? QStringLiteral("s") : QString()));
    Resume->setWordWrap(true);

    const QStringList titles = { QStringLiteral("N° ordre"), QStringLiteral("N° facture"), QStringLiteral("Client"), QStringLiteral("Champ"),
        QStringLiteral("Anomalie"), QStringLiteral("Gravité") };
    Anomalies->setColumnCount(static_cast<int>(titles.size()));
    Anomalies->setHorizontalHeaderLabels(titles);
    Anomalies->setRowCount(static_cast<int>(pass.anomalies.size()));
    Anomalies->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Anomalies->setSelectionBehavior(QAbstractItemView::SelectRows);
    Anomalies->setAlternatingRowColors(true);
    Anomalies->verticalHeader()->hide();
    Anomalies->setWordWrap(false);
    int row = 0;
    for (const Anomaly &a : pass.anomalies) {
        const QStringList cells = { a.numeroOrdre.isValid() ? a.numeroOrdre.toString() : QString(), a.numeroFacture, a.client, a.field,
            a.message, DeclarationChecks::severityText(a.severity) };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == 4)
                item->setToolTip(a.message);
            if (a.severity == Severity::Error)
                item->setForeground(QColor(176, 0, 0));
            Anomalies->setItem(row, column, item);
        }
        ++row;
    }
    Anomalies->resizeColumnsToContents();
    Anomalies->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    Anomalies->horizontalHeader()->setStretchLastSection(false);

    Totaux->setObjectName(QStringLiteral("Totaux"));
    Totaux->setText(DeclarationChecks::totalsText(pass.totals));

    CorrigerDabord->setDefault(true);
    CorrigerDabord->setAutoDefault(true);
    GenererQuandMeme->setAutoDefault(true);
    connect(Copier, &QPushButton::clicked, this, &AnomalyDialog::copy);
    connect(Imprimer, &QPushButton::clicked, this, &AnomalyDialog::print);
    connect(GenererQuandMeme, &QPushButton::clicked, this, &QDialog::accept);
    connect(CorrigerDabord, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Copier);
    buttons->addWidget(Imprimer);
    buttons->addStretch();
    buttons->addWidget(GenererQuandMeme);
    buttons->addWidget(CorrigerDabord);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Resume);
    layout->addWidget(Anomalies, 1);
    layout->addWidget(Totaux);
    layout->addLayout(buttons);
    resize(980, 420);
    CorrigerDabord->setFocus();
}

bool AnomalyDialog::generateAnyway(const QString &caption, const QString &heading, const DeclarationPass &pass, QWidget *parent)
{
    if (const std::optional<QMessageBox::StandardButton> answer = MessageBox::presetAnswer())
        return *answer == QMessageBox::Ok || *answer == QMessageBox::Yes;
    AnomalyDialog dialog(caption, heading, pass, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString AnomalyDialog::text() const
{
    return DeclarationChecks::listText(m_heading, m_pass.anomalies, m_pass.totals);
}

void AnomalyDialog::copy()
{
    QApplication::clipboard()->setText(text());
}

void AnomalyDialog::print()
{
    AnomalyReport report(m_caption + QStringLiteral(" — ") + m_heading, m_pass.anomalies, m_pass.totals, m_pass.errorCount, m_pass.warningCount);
    try {
        report.report().preview(this);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}
