#include "declaration/windows/AnomalyReport.h"

#include "report/ReportFont.h"

#include <QPageSize>

namespace {

// Column edges across the 277 mm of an A4 landscape page within 10 mm
// margins: severity, order number, invoice number, client, field, message.
const double Edges[] = { 0, 24, 40, 72, 122, 170, 277 };
constexpr double LineHeight = 5.0;
constexpr double Inset = 1.0;

QRectF cell(int column, double top, double height)
{
    return QRectF(Edges[column] + Inset, top, Edges[column + 1] - Edges[column] - 2 * Inset, height);
}

} // namespace

AnomalyReport::AnomalyReport(const QString &caption, const QVector<DeclarationChecks::Anomaly> &anomalies,
    const DeclarationFormat::Totals &totals, int errors, int warnings)
{
    m_report.setPage(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    m_report.setDocumentName(QStringLiteral("Anomalies de la déclaration"));
    m_report.setFont(reportFont(8));

    const QStringList columns = { QStringLiteral("GRAVITE"), QStringLiteral("NUMEROORDRE"), QStringLiteral("NUMEROFACTURE"),
        QStringLiteral("CLIENT"), QStringLiteral("CHAMP"), QStringLiteral("ANOMALIE") };
    m_rows = std::make_unique<ReportTableSource>(columns);
    for (const DeclarationChecks::Anomaly &a : anomalies)
        m_rows->addRow({ DeclarationChecks::severityText(a.severity), a.numeroOrdre, a.numeroFacture, a.client, a.field, a.message });
    m_report.setDataSource(m_rows.get());

    const double width = Edges[6];
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    QFont bold = m_report.font();
    bold.setBold(true);

    ReportBand &header = m_report.pageHeader();
    header.setHeight(24);
    header.add(ReportElement::fixedText(QRectF(0, 0, width, 8), QStringLiteral("Anomalies de la déclaration"), Qt::AlignHCenter)
                   .withFont(reportFont(14)));
    header.add(ReportElement::fixedText(QRectF(0, 9, width, 6), caption, Qt::AlignHCenter).withFont(reportFont(10)));
    header.add(ReportElement::box(QRectF(0, 17, width, 7)));
    const char *captions[] = { "Gravité", "N° ordre", "N° facture", "Client", "Champ", "Anomalie" };
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            header.add(ReportElement::rule(QPointF(Edges[i], 17), QPointF(Edges[i], 24)));
        header.add(ReportElement::fixedText(cell(i, 17, 7), QString::fromUtf8(captions[i]), Qt::AlignLeft).withFont(bold));
    }

    ReportBand &detail = m_report.detail();
    detail.setHeight(LineHeight + 1);
    for (int i = 0; i < 6; ++i)
        detail.add(ReportElement::field(cell(i, 0.5, LineHeight), columns[i], left).wrapped());
    detail.add(ReportElement::rule(QPointF(0, LineHeight + 1), QPointF(width, LineHeight + 1)));

    ReportBand &summary = m_report.summary();
    summary.setHeight(16);
    summary.add(ReportElement::fixedText(QRectF(0, 3, width, 6), DeclarationChecks::totalsText(totals)).withFont(bold));
    summary.add(ReportElement::fixedText(
        QRectF(0, 9, width, 6), QStringLiteral("Erreurs : %1 ; avertissements : %2").arg(errors).arg(warnings)));

    ReportBand &footer = m_report.pageFooter();
    footer.setHeight(6);
    footer.add(ReportElement::pageNumber(QRectF(width - 40, 0, 40, 6), QStringLiteral("Page: "), Qt::AlignRight | Qt::AlignVCenter));
}
