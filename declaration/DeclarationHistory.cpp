#include "declaration/DeclarationHistory.h"

#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "declaration/DeclarationChecks.h"

namespace DeclarationHistory {

namespace {

const QString Columns = QStringLiteral("IDENTIFIANT, EXERCICE, TRIMESTRE, DATEGENERATION, POSTE, NOMBREFACTURES, TOTALPRIXVENTE, "
                                       "TOTALFODEC, TOTALDROITCONSOMMATION, TOTALTVA, EMPREINTE, CHEMIN");

// Columns' widths: what does not fit is cut rather than refused, the file
// being written already.
constexpr int QuarterWidth = 10;
constexpr int WorkstationWidth = 60;
constexpr int PathWidth = 1024;

QString rightTrimmed(QString s)
{
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

DeclarationRecord fromRow(const Row &r)
{
    DeclarationRecord d;
    d.identifiant = r.value(0).toString();
    d.exercice = r.value(1).toInt();
    d.trimestre = r.value(2).toString();
    if (isTimeStamp(r.value(3)))
        d.dateGeneration = DateTime::toQDateTime(r.value(3).value<TimeStamp>().value);
    d.poste = r.value(4).toString();
    d.nombreFactures = r.value(5).toInt();
    d.totalPrixVente = r.value(6).toDouble();
    d.totalFodec = r.value(7).toDouble();
    d.totalDroitConsommation = r.value(8).toDouble();
    d.totalTva = r.value(9).toDouble();
    d.empreinte = r.value(10).toString().trimmed();
    d.chemin = r.value(11).toString();
    return d;
}

// The server's own text says what failed; this says where, and why the
// table may be missing.
[[noreturn]] void fail(Connection &connection, const Error &e)
{
    QString text = QStringLiteral("Historique des déclarations : ") + e.text();
    if (!connection.upgradeError().isEmpty())
        text += QStringLiteral("\nLa base n'a pas pu être mise à jour à l'ouverture : ") + connection.upgradeError();
    throw Error(text);
}

QString trimestreText(const QString &quarter)
{
    return quarter.left(QuarterWidth);
}

} // namespace

void record(Connection &connection, const DeclarationRecord &r)
{
    try {
        Query q(connection,
            QStringLiteral("insert into HISTORIQUE_DECLARATION (%1) values (:identifiant, :exercice, :trimestre, :dategeneration, :poste, "
                           ":nombre, :prixvente, :fodec, :droit, :tva, :empreinte, :chemin)")
                .arg(Columns));
        q.setParam(QStringLiteral("identifiant"), r.identifiant);
        q.setParam(QStringLiteral("exercice"), r.exercice);
        q.setParam(QStringLiteral("trimestre"), trimestreText(r.trimestre));
        q.setParam(QStringLiteral("dategeneration"), r.dateGeneration);
        q.setParam(QStringLiteral("poste"), r.poste.left(WorkstationWidth));
        q.setParam(QStringLiteral("nombre"), r.nombreFactures);
        q.setParam(QStringLiteral("prixvente"), r.totalPrixVente);
        q.setParam(QStringLiteral("fodec"), r.totalFodec);
        q.setParam(QStringLiteral("droit"), r.totalDroitConsommation);
        q.setParam(QStringLiteral("tva"), r.totalTva);
        q.setParam(QStringLiteral("empreinte"), r.empreinte);
        q.setParam(QStringLiteral("chemin"), r.chemin.left(PathWidth));
        q.execute();
        connection.commitRetaining();
    } catch (const Error &e) {
        fail(connection, e);
    }
}

std::optional<DeclarationRecord> last(Connection &connection, const QString &identifiant, int exercice, const QString &trimestre)
{
    try {
        Query q(connection,
            QStringLiteral("select first 1 %1 from HISTORIQUE_DECLARATION where IDENTIFIANT = :identifiant and EXERCICE = :exercice and "
                           "TRIMESTRE = :trimestre order by DATEGENERATION desc")
                .arg(Columns));
        q.setParam(QStringLiteral("identifiant"), identifiant);
        q.setParam(QStringLiteral("exercice"), exercice);
        q.setParam(QStringLiteral("trimestre"), trimestreText(trimestre));
        const QVector<Row> rows = q.fetchAll();
        if (rows.isEmpty())
            return std::nullopt;
        return fromRow(rows.first());
    } catch (const Error &e) {
        fail(connection, e);
    }
}

QVector<DeclarationRecord> list(Connection &connection, const QString &identifiant)
{
    try {
        const QString company = rightTrimmed(identifiant);
        Query q(connection,
            QStringLiteral("select %1 from HISTORIQUE_DECLARATION%2 order by DATEGENERATION, IDENTIFIANT")
                .arg(Columns, company.isEmpty() ? QString() : QStringLiteral(" where trim(IDENTIFIANT) = :identifiant")));
        if (!company.isEmpty())
            q.setParam(QStringLiteral("identifiant"), company);
        QVector<DeclarationRecord> records;
        for (const Row &r : q.fetchAll())
            records << fromRow(r);
        return records;
    } catch (const Error &e) {
        fail(connection, e);
    }
}

QString lastText(const DeclarationRecord &r)
{
    using DeclarationChecks::amountText;
    return QStringLiteral("Déjà généré le %1 à %2 (%3) : %4 facture%5\nH.T %6 ; FODEC %7 ; droit de consommation %8 ; TVA %9")
        .arg(r.dateGeneration.toString(QStringLiteral("dd/MM/yyyy")), r.dateGeneration.toString(QStringLiteral("HH:mm")), r.poste)
        .arg(r.nombreFactures)
        .arg(r.nombreFactures > 1 ? QStringLiteral("s") : QString())
        .arg(amountText(r.totalPrixVente), amountText(r.totalFodec), amountText(r.totalDroitConsommation), amountText(r.totalTva));
}

Due dueOn(const QDate &today)
{
    // The quarter before the one today lies in.
    int quarter = (today.month() - 1) / 3; // 0..3: the ended quarter, 0 meaning the last one of the year before
    int year = today.year();
    if (quarter == 0) {
        quarter = 4;
        --year;
    }
    const QDate end = QDate(year, quarter * 3, 1).addMonths(1).addDays(-1);
    return Due { year, quarter, end.addDays(28) };
}

QString dueText(const Due &due, const std::optional<DeclarationRecord> &generated, const QDate &today)
{
    const QString which = QStringLiteral("Déclaration %1 %2").arg(due.trimestre()).arg(due.exercice);
    if (generated)
        return which
            + QStringLiteral(" générée le %1 à %2")
                  .arg(generated->dateGeneration.toString(QStringLiteral("dd/MM/yyyy")),
                      generated->dateGeneration.toString(QStringLiteral("HH:mm")));
    QString text = which + QStringLiteral(" à déposer avant le %1").arg(due.deadline.toString(QStringLiteral("dd/MM/yyyy")));
    if (today > due.deadline)
        text += QStringLiteral(" : délai dépassé");
    return text;
}

Status statusOf(Connection &connection, const QString &identifiant, const QDate &today)
{
    const Due due = dueOn(today);
    try {
        const std::optional<DeclarationRecord> generated = last(connection, identifiant, due.exercice, due.trimestre());
        return Status { dueText(due, generated, today), !generated && today > due.deadline };
    } catch (const Error &e) {
        return Status { QStringLiteral("Déclaration %1 %2 : ").arg(due.trimestre()).arg(due.exercice) + e.text(), false };
    }
}

} // namespace DeclarationHistory
