#include "invoices/windows/PeriodicStatement.h"

#include "core/DateTime.h"
#include "data/Connection.h"
#include "report/ReportFont.h"

#include <QFont>
#include <QPageSize>

namespace {

// Column edges of the eight columns, in millimetres across the 277 mm of
// an A4 landscape page within 10 mm margins.
const double Edges[] = { 0, 28, 60, 122, 155, 186, 216, 246, 277 };
constexpr double LineHeight = 5.0;
constexpr double Inset = 1.0;
const QString AmountMask = QStringLiteral("### ##0.000");

QRectF cell(int column, double top, double height)
{
    return QRectF(Edges[column] + Inset, top, Edges[column + 1] - Edges[column] - 2 * Inset, height);
}

void columnRules(ReportBand &band, double top, double height)
{
    for (int i = 1; i < 8; ++i)
        band.add(ReportElement::rule(QPointF(Edges[i], top), QPointF(Edges[i], top + height)));
}

} // namespace

PeriodicStatement::PeriodicStatement(Connection &connection)
    : query(connection, QueryText)
{
    report.setPage(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    report.setDocumentName(QStringLiteral("Factures Périodiques"));
    report.setFont(reportFont(8));
}

void PeriodicStatement::setPeriodTexts(const QString &du, const QString &au)
{
    m_du = du;
    m_au = au;
}

void PeriodicStatement::layOut()
{
    const QFont big = reportFont(14);
    const double width = Edges[8];
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;

    ReportBand &title = report.title();
    title.setHeight(32);
    title.add(
        ReportElement::fixedText(QRectF(0, 0, width, 9), QStringLiteral("Etat Périodique des Kestra"), Qt::AlignHCenter).withFont(big));
    title.add(ReportElement::fixedText(QRectF(0, 12, 12, 6), QStringLiteral("Du:")));
    title.add(ReportElement::fixedText(QRectF(12, 12, 40, 6), m_du));
    title.add(ReportElement::fixedText(QRectF(60, 12, 12, 6), QStringLiteral("Au:")));
    title.add(ReportElement::fixedText(QRectF(72, 12, 40, 6), m_au));
    title.add(ReportElement::box(QRectF(0, 22, width, 10)));
    columnRules(title, 22, 10);
    const char *captions[] = { "Date/N°Fre", "Identifiant", "Nom Bénéficiaire", "N°Autorisation/Date", "Montant Facture", "%Fodec/Montant",
        "%TVA/Montant", "%DC/D.Consommation" };
    QFont bold = report.font();
    bold.setBold(true);
    for (int i = 0; i < 8; ++i)
        title.add(ReportElement::fixedText(cell(i, 22, 10), QString::fromUtf8(captions[i]), centred).wrapped().withFont(bold));

    ReportBand &detail = report.detail();
    const double h = 2 * LineHeight;
    detail.setHeight(h);
    detail.add(ReportElement::box(QRectF(0, 0, width, h)));
    columnRules(detail, 0, h);
    detail.add(ReportElement::field(cell(0, 0, LineHeight), QStringLiteral("DATEFACTURE"), centred));
    detail.add(ReportElement::field(cell(0, LineHeight, LineHeight), QStringLiteral("NUMEROFACTURE"), centred));
    detail.add(ReportElement::field(cell(1, 0, h), QStringLiteral("IDENTIFIANTCLIENT"), right));
    detail.add(ReportElement::field(cell(2, 0, h), QStringLiteral("NOMPRENOMCLIENT"), Qt::AlignLeft | Qt::AlignTop).wrapped());
    detail.add(ReportElement::field(cell(3, 0, LineHeight), QStringLiteral("NUMEROAUTORISATION"), left));
    detail.add(ReportElement::field(cell(3, LineHeight, LineHeight), QStringLiteral("DATEAUTORISATION"), left));
    detail.add(ReportElement::field(cell(4, LineHeight, LineHeight), QStringLiteral("PRIXVENTE"), right, AmountMask));
    const char *rates[][2]
        = { { "TAUXFODEC", "MONTANTFODEC" }, { "TAUXTVA", "MONTANTTVA" }, { "TAUXDROITCONSOMMATION", "MONTANTDROITCONSOMMATION" } };
    for (int i = 0; i < 3; ++i) {
        detail.add(ReportElement::field(cell(5 + i, 0, LineHeight), QString::fromLatin1(rates[i][0]), right));
        detail.add(ReportElement::field(cell(5 + i, LineHeight, LineHeight), QString::fromLatin1(rates[i][1]), right, AmountMask));
    }

    ReportBand &summary = report.summary();
    summary.setHeight(10);
    summary.add(ReportElement::box(QRectF(0, 0, width, 10)));
    summary.add(ReportElement::fixedText(QRectF(Edges[2], 0, Edges[4] - Edges[2] - 3, 10), QStringLiteral("Totaux"), right).withFont(big));
    const char *sums[] = { "PRIXVENTE", "MONTANTFODEC", "MONTANTTVA", "MONTANTDROITCONSOMMATION" };
    for (int i = 0; i < 4; ++i) {
        summary.add(ReportElement::rule(QPointF(Edges[4 + i], 0), QPointF(Edges[4 + i], 10)));
        summary.add(ReportElement::sum(cell(4 + i, 0, 10), QString::fromLatin1(sums[i]), right, AmountMask));
    }

    ReportBand &footer = report.pageFooter();
    footer.setHeight(6);
    footer.add(ReportElement::pageNumber(QRectF(width - 40, 0, 40, 6), QStringLiteral("Page: "), right));
}

void PeriodicStatement::open(const QString &code, const QString &exercice, double dateDu, double dateAu)
{
    query.close();
    query.setParam(QStringLiteral("CODE"), code);
    query.setParam(QStringLiteral("EXERCICE"), exercice);
    query.setParam(QStringLiteral("datedu"), QVariant::fromValue(TimeStamp { dateDu }));
    query.setParam(QStringLiteral("dateau"), QVariant::fromValue(TimeStamp { dateAu }));
    QVector<Row> rows = query.fetchAll();
    QStringList columns;
    for (const ColumnInfo &c : query.columns())
        columns << c.name;
    m_rows = std::make_unique<ReportTableSource>(columns, std::move(rows));
    report.setDataSource(m_rows.get());
    layOut();
}
