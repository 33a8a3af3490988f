#include "declaration/DeclarationGeneration.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "core/Text.h"
#include "data/Connection.h"
#include "declaration/DeclarationHistory.h"

#include <QDateTime>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSysInfo>

DeclarationGeneration::DeclarationGeneration(Connection &connection)
    : m_query(connection, QueryText)
{
}

QString DeclarationGeneration::filePath(const QString &directoryText, const QString &quarterText, const QString &exercice)
{
    return directoryText + QStringLiteral("/FAC_") + quarterText + QLatin1Char('_') + exercice.mid(2, 2);
}

const DeclarationPass &DeclarationGeneration::prepare(const QString &directoryText, const QString &quarterText, const WorkingContext &c)
{
    discard();
    m_pass = DeclarationPass();
    m_pass.path = filePath(directoryText, quarterText, c.curExercice);
    m_pass.shownPath = filePath(trimControls(directoryText), quarterText, c.curExercice);
    m_file.create(m_pass.path);
    try {
        read(&m_file, quarterText, c);
        m_file.finish();
    } catch (...) {
        m_file.discard();
        throw;
    }
    return m_pass;
}

const DeclarationPass &DeclarationGeneration::check(const QString &quarterText, const WorkingContext &c)
{
    discard();
    m_pass = DeclarationPass();
    read(nullptr, quarterText, c);
    return m_pass;
}

void DeclarationGeneration::read(DeclarationFile *file, const QString &quarterText, const WorkingContext &c)
{
    using namespace DeclarationFormat;
    m_context = c;
    m_quarterText = quarterText;
    // The invoices carry the tax identifier as stored; the records carry
    // each of its parts at its width.
    const QString storedMatricule = c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab;
    const Prefix prefix { matricule(c.curIdentifiant, c.curCle, c.curCategorie, c.curEtab), c.curExercice, quarterText };

    if (file)
        file->writeRecord(header(prefix, Company { c.curRaisonSociale, c.curActivite, c.curVille, c.curRue, c.curNumero, c.curCodePostal }));

    m_query.close();
    m_query.setParam(QStringLiteral("id"), storedMatricule);
    static const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
    const int quarter = static_cast<int>(Quarters.indexOf(quarterText));
    if (quarter >= 0)
        m_query.setParam(QStringLiteral("trm"), quarter + 1);
    int year = 0;
    if (!tryStrToInt(c.curExercice, year))
        throw Error(invalidIntegerMessage(c.curExercice));
    m_year = year;
    m_query.setParam(QStringLiteral("exercice"), year);

    // The lines, the totals summed from them and what the checks compare
    // come from one state of the database, whatever other workstations
    // commit meanwhile.
    Connection::ReadSnapshot snapshot(m_query.connection());
    QHash<QString, int> elsewhere;
    const QVariant bound = m_query.param(QStringLiteral("trm"));
    if (bound.isValid()) {
        Query numbers(m_query.connection(), OtherNumbersText);
        numbers.setParam(QStringLiteral("id"), storedMatricule);
        numbers.setParam(QStringLiteral("exercice"), year);
        int other = 0;
        for (int q = 1; q <= 4; ++q)
            if (q != bound.toInt())
                numbers.setParam(QStringLiteral("q%1").arg(++other), q);
        numbers.open();
        Row r;
        while (numbers.fetch(r))
            ++elsewhere[r.value(0).toString()];
    }
    DeclarationChecks::Checker checker({ c.curIdentifiant, c.curCle, c.curCategorie, c.curEtab, quarterText, year }, std::move(elsewhere));
    checker.checkCompany();

    // Declared after the snapshot, so closed before it ends, also on a throw.
    const auto closeQuery = qScopeGuard([this] { m_query.close(); });
    m_query.open();
    auto col = [&](const char *name) { return m_query.columnIndex(QString::fromLatin1(name)); };
    const int iOrdre = col("NUMEROORDRE"), iFacture = col("NUMEROFACTURE"), iDate = col("DATEFACTURE"), iType = col("TYPEIDCLIENT"),
              iClient = col("IDENTIFIANTCLIENT"), iNom = col("NOMPRENOMCLIENT"), iAdresse = col("ADRESSECLIENT"),
              iAut = col("NUMEROAUTORISATION"), iDateAut = col("DATEAUTORISATION"), iPrix = col("PRIXVENTE"), iTauxFodec = col("TAUXFODEC"),
              iFodec = col("MONTANTFODEC"), iTauxDroit = col("TAUXDROITCONSOMMATION"), iDroit = col("MONTANTDROITCONSOMMATION"),
              iTauxTva = col("TAUXTVA"), iTva = col("MONTANTTVA"), iExercice = col("EXERCICE"), iTrimestre = col("TRIMESTRE");
    Totals totals;
    Row row;
    while (m_query.fetch(row)) {
        const Invoice invoice { row.value(iOrdre), row.value(iFacture), row.value(iDate), row.value(iType), row.value(iClient),
            row.value(iNom), row.value(iAdresse), row.value(iAut), row.value(iDateAut), row.value(iPrix), row.value(iTauxFodec),
            row.value(iFodec), row.value(iTauxDroit), row.value(iDroit), row.value(iTauxTva), row.value(iTva) };
        const QByteArray record = detail(prefix, invoice, totals);
        if (file)
            file->writeRecord(record);
        checker.checkInvoice(invoice, row.value(iExercice).toInt(), row.value(iTrimestre).toInt());
    }
    if (file)
        file->writeRecord(totalsRecord(prefix, totals));
    checker.checkQuarter(totals);

    m_pass.totals = totals;
    m_pass.anomalies = checker.anomalies();
    m_pass.errorCount = checker.errorCount();
    m_pass.warningCount = checker.warningCount();
}

void DeclarationGeneration::commit()
{
    m_sha256 = m_file.sha256();
    m_keptAs = m_file.commit();
    m_historyError.clear();
    DeclarationRecord r;
    r.identifiant = m_context.curIdentifiant + m_context.curCle + m_context.curCategorie + m_context.curEtab;
    r.exercice = m_year;
    r.trimestre = m_quarterText;
    r.dateGeneration = QDateTime::currentDateTime();
    r.poste = QSysInfo::machineHostName();
    r.nombreFactures = m_pass.totals.count;
    r.totalPrixVente = m_pass.totals.prixVente;
    r.totalFodec = m_pass.totals.montantFodec;
    r.totalDroitConsommation = m_pass.totals.montantDroitConsommation;
    r.totalTva = m_pass.totals.montantTva;
    r.empreinte = QString::fromLatin1(m_sha256);
    r.chemin = QFileInfo(m_pass.path).absoluteFilePath();
    try {
        DeclarationHistory::record(m_query.connection(), r);
    } catch (const Error &e) {
        m_historyError = e.text();
    }
}

void DeclarationGeneration::discard()
{
    m_file.discard();
}

QString DeclarationGeneration::generate(const QString &directoryText, const QString &quarterText, const WorkingContext &c)
{
    prepare(directoryText, quarterText, c);
    commit();
    return m_pass.shownPath;
}
