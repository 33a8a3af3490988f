#include "declaration/DeclarationGeneration.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "core/Text.h"
#include "data/Connection.h"
#include "declaration/DeclarationFile.h"
#include "declaration/DeclarationFormat.h"

#include <QScopeGuard>

DeclarationGeneration::DeclarationGeneration(Connection &connection)
    : m_query(connection, QueryText)
{
}

QString DeclarationGeneration::filePath(const QString &directoryText, const QString &quarterText, const QString &exercice)
{
    return directoryText + QStringLiteral("/FAC_") + quarterText + QLatin1Char('_') + exercice.mid(2, 2);
}

QString DeclarationGeneration::generate(const QString &directoryText, const QString &quarterText, const WorkingContext &c)
{
    using namespace DeclarationFormat;
    const Prefix prefix { c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab, c.curExercice, quarterText };

    DeclarationFile file;
    file.create(filePath(directoryText, quarterText, c.curExercice));
    const QString shown = filePath(trimControls(directoryText), quarterText, c.curExercice);

    file.writeRecord(header(prefix, Company { c.curRaisonSociale, c.curActivite, c.curVille, c.curRue, c.curNumero, c.curCodePostal }));

    m_query.close();
    m_query.setParam(QStringLiteral("id"), prefix.matricule);
    static const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
    const int quarter = static_cast<int>(Quarters.indexOf(quarterText));
    if (quarter >= 0)
        m_query.setParam(QStringLiteral("trm"), quarter + 1);
    int year = 0;
    if (!tryStrToInt(c.curExercice, year))
        throw Error(invalidIntegerMessage(c.curExercice));
    m_query.setParam(QStringLiteral("exercice"), year);

    // The lines and the totals summed from them come from one state of the
    // database, whatever other workstations commit meanwhile.
    Connection::ReadSnapshot snapshot(m_query.connection());
    // Declared after the snapshot, so closed before it ends, also on a throw.
    const auto closeQuery = qScopeGuard([this] { m_query.close(); });
    m_query.open();
    auto col = [&](const char *name) { return m_query.columnIndex(QString::fromLatin1(name)); };
    const int iOrdre = col("NUMEROORDRE"), iFacture = col("NUMEROFACTURE"), iDate = col("DATEFACTURE"), iType = col("TYPEIDCLIENT"),
              iClient = col("IDENTIFIANTCLIENT"), iNom = col("NOMPRENOMCLIENT"), iAdresse = col("ADRESSECLIENT"),
              iAut = col("NUMEROAUTORISATION"), iDateAut = col("DATEAUTORISATION"), iPrix = col("PRIXVENTE"), iTauxFodec = col("TAUXFODEC"),
              iFodec = col("MONTANTFODEC"), iTauxDroit = col("TAUXDROITCONSOMMATION"), iDroit = col("MONTANTDROITCONSOMMATION"),
              iTauxTva = col("TAUXTVA"), iTva = col("MONTANTTVA");
    Totals totals;
    Row row;
    while (m_query.fetch(row)) {
        const Invoice invoice { row.value(iOrdre), row.value(iFacture), row.value(iDate), row.value(iType), row.value(iClient),
            row.value(iNom), row.value(iAdresse), row.value(iAut), row.value(iDateAut), row.value(iPrix), row.value(iTauxFodec),
            row.value(iFodec), row.value(iTauxDroit), row.value(iDroit), row.value(iTauxTva), row.value(iTva) };
        file.writeRecord(detail(prefix, invoice, totals));
    }
    file.writeRecord(totalsRecord(prefix, totals));
    file.close();
    return shown;
}
