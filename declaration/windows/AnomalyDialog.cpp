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
    , Resume(new QLabel(this))
    , Anomalies(new QTableView(this))
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

    Anomalies->setModel(new AnomalyModel(pass.anomalies, this));
    Anomalies->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Anomalies->setSelectionBehavior(QAbstractItemView::SelectRows);
    Anomalies->setAlternatingRowColors(true);
    Anomalies->verticalHeader()->hide();
    Anomalies->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Anomalies->setWordWrap(false);
    // Sized on the first rows: measuring them all would take long on a large list.
    Anomalies->horizontalHeader()->setResizeContentsPrecision(200);
    for (int column : { 0, 1, 2, 3, 5 })
        Anomalies->resizeColumnToContents(column);
    Anomalies->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

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
