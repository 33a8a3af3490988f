#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

class Connection;

// What was filed: one row of HISTORIQUE_DECLARATION per successful
// generation, on whichever workstation it ran.
struct DeclarationRecord
{
    QString identifiant; // the company's joined tax identifier, as its invoices carry it
    int exercice = 0;
    QString trimestre; // the quarter text of the file ("T1".."T4")
    QDateTime dateGeneration;
    QString poste; // the workstation
    int nombreFactures = 0;
    double totalPrixVente = 0;
    double totalFodec = 0;
    double totalDroitConsommation = 0;
    double totalTva = 0;
    QString empreinte; // SHA-256 of the file, hexadecimal
    QString chemin; // where the file was written
};

namespace DeclarationHistory {

// Adds the record and commits it (commit-retaining). Throws Error.
void record(Connection &connection, const DeclarationRecord &record);
// The latest record of a company's quarter, if any. Throws Error.
std::optional<DeclarationRecord> last(Connection &connection, const QString &identifiant, int exercice, const QString &trimestre);
// Every record, oldest first; of one company when identifiant is not empty
// (trailing blanks aside). Throws Error.
QVector<DeclarationRecord> list(Connection &connection, const QString &identifiant = QString());

// "Déjà généré le 20/10/2026 à 14:35 (COMPTA-2) : 23 factures", and the
// four totals on a second line.
QString lastText(const DeclarationRecord &record);

// The declaration due on a day: the one of the last quarter that ended,
// to be filed within 28 days.
struct Due
{
    int exercice = 0;
    int quarter = 0; // 1..4
    QDate deadline;
    QString trimestre() const { return QStringLiteral("T%1").arg(quarter); }
};
Due dueOn(const QDate &today);
// "Déclaration T3 2026 à déposer avant le 28/10/2026", "... : délai
// dépassé", or "Déclaration T3 2026 générée le 20/10/2026 à 14:35".
QString dueText(const Due &due, const std::optional<DeclarationRecord> &generated, const QDate &today);

// The due declaration of a company, as the main window's status bar shows
// it; late when its deadline passed and it was not generated. A history that
// cannot be read is said in the text.
struct Status
{
    QString text;
    bool late = false;
};
Status statusOf(Connection &connection, const QString &identifiant, const QDate &today);

} // namespace DeclarationHistory
