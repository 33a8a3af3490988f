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
#include <QAbstractTableModel>
#include <QTableView>
#include <QVBoxLayout>

using DeclarationChecks::Anomaly;
using DeclarationChecks::Severity;

namespace {

// The anomalies as rows, read where they are: a list of many thousands
// shows at once.
class AnomalyModel : public QAbstractTableModel
{
public:
    AnomalyModel(const QVector<Anomaly> &anomalies, QObject *parent)
        : QAbstractTableModel(parent)
        , m_anomalies(anomalies)
    {
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : static_cast<int>(m_anomalies.size()); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 6; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char *const Titles[] = { "N° ordre", "N° facture", "Client", "Champ", "Anomalie", "Gravité" };
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6)
            return QString::fromUtf8(Titles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const Anomaly &a = m_anomalies.at(index.row());
        if (role == Qt::ForegroundRole && a.severity == Severity::Error)
            return QColor(176, 0, 0);
        if (role == Qt::ToolTipRole && index.column() == 4)
            return a.message;
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (index.column()) {
        case 0:
            return a.numeroOrdre.isValid() ? a.numeroOrdre.toString() : QString();
        case 1:
            return a.numeroFacture;
        case 2:
            return a.client;
        case 3:
            return a.field;
        case 4:
            return a.message;
        default:
            return DeclarationChecks::severityText(a.severity);
        }
    }

private:
    const QVector<Anomaly> &m_anomalies;
};

} // namespace

AnomalyDialog::AnomalyDialog(const QString &caption, const QString &heading, const DeclarationPass &pass, QWidget *parent)
    : QDialog(parent)
    , summaryLabel(new QLabel(this))
    , anomaliesTable(new QTableView(this))
    , totalsLabel(new QLabel(this))
    , copyButton(new QPushButton(QStringLiteral("Copier"), this))
    , printButton(new QPushButton(QStringLiteral("Imprimer"), this))
    , generateAnywayButton(new QPushButton(QStringLiteral("Générer quand même"), this))
    , correctFirstButton(new QPushButton(QStringLiteral("Corriger d'abord"), this))
    , m_caption(caption)
    , m_heading(heading)
    , m_pass(pass)
{
    setObjectName(QStringLiteral("AnomalyDialog"));
    setWindowTitle(QStringLiteral("Anomalies de la déclaration"));
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    anomaliesTable->setObjectName(QStringLiteral("anomaliesTable"));
    totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    copyButton->setObjectName(QStringLiteral("copyButton"));
    printButton->setObjectName(QStringLiteral("printButton"));
    generateAnywayButton->setObjectName(QStringLiteral("generateAnywayButton"));
    correctFirstButton->setObjectName(QStringLiteral("correctFirstButton"));

    QFont bold = summaryLabel->font();
    bold.setBold(true);
    summaryLabel->setFont(bold);
    summaryLabel->setText(QStringLiteral("%1 — %2\n%3 erreur%4, %5 avertissement%6. Le fichier n'est pas encore écrit.")
                        .arg(caption, heading)
                        .arg(pass.errorCount)
                        .arg(pass.errorCount > 1 ? QStringLiteral("s") : QString())
                        .arg(pass.warningCount)
                        .arg(pass.warningCount > 1 ? QStringLiteral("s") : QString()));
    summaryLabel->setWordWrap(true);

    anomaliesTable->setModel(new AnomalyModel(pass.anomalies, this));
    anomaliesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    anomaliesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    anomaliesTable->setAlternatingRowColors(true);
    anomaliesTable->verticalHeader()->hide();
    anomaliesTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    anomaliesTable->setWordWrap(false);
    // Sized on the first rows: measuring them all would take long on a large list.
    anomaliesTable->horizontalHeader()->setResizeContentsPrecision(200);
    for (int column : { 0, 1, 2, 3, 5 })
        anomaliesTable->resizeColumnToContents(column);
    anomaliesTable->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

    totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    totalsLabel->setText(DeclarationChecks::totalsText(pass.totals));

    correctFirstButton->setDefault(true);
    correctFirstButton->setAutoDefault(true);
    generateAnywayButton->setAutoDefault(true);
    connect(copyButton, &QPushButton::clicked, this, &AnomalyDialog::copy);
    connect(printButton, &QPushButton::clicked, this, &AnomalyDialog::print);
    connect(generateAnywayButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(correctFirstButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(copyButton);
    buttons->addWidget(printButton);
    buttons->addStretch();
    buttons->addWidget(generateAnywayButton);
    buttons->addWidget(correctFirstButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summaryLabel);
    layout->addWidget(anomaliesTable, 1);
    layout->addWidget(totalsLabel);
    layout->addLayout(buttons);
    resize(980, 420);
    correctFirstButton->setFocus();
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
