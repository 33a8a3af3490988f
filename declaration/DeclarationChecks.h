#pragma once

#include "declaration/DeclarationFormat.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

// What is checked before a declaration goes to the administration, in one
// table: the company's tax identifier, each invoice as it is written, and the
// totals. The checks only report; the file is written as the register holds it.
namespace DeclarationChecks {

enum class Severity { Error, Warning };

// One thing found, as the anomaly list shows it.
struct Anomaly
{
    QString check; // the check's id
    Severity severity = Severity::Warning;
    QVariant numeroOrdre; // null for the company's and the totals' anomalies
    QString numeroFacture; // trimmed
    QString client; // the client's name, trimmed
    QString field; // the column concerned
    QString message;
};

// The quarter being declared: the company's tax identifier in its four parts
// as stored, and the quarter text as it goes into the file.
struct Declared
{
    QString identifiant, cle, categorie, etab;
    QString quarterText;
};

// Millimes of the detail records' amounts as written, summed record by record.
struct PrintedSums
{
    qint64 prixVente = 0, montantFodec = 0, montantDroitConsommation = 0, montantTva = 0;
};

// What several checks read of an invoice, worked out once for it: a
// quarter of a hundred thousand invoices is checked as it is written.
struct InvoiceFacts
{
    QString number; // the invoice number as the file writes it, trimmed
    QString kind; // TYPEIDCLIENT, trimmed
    QString identifier; // IDENTIFIANTCLIENT without the blanks the forms pad with
    bool resident = false; // kinds 1 to 3
    bool dated = false; // an invoice date other than null or day zero
    double date = 0;
    bool authorised = false; // the same for the authorisation date
    double authorisation = 0;
    double prixVente = 0, tauxFodec = 0, montantFodec = 0, tauxDroitConsommation = 0, montantDroitConsommation = 0, tauxTva = 0,
           montantTva = 0; // null as 0

    static InvoiceFacts of(const DeclarationFormat::Invoice &invoice);
};

// What one check looks at; the pointers its scope does not use are null.
struct Subject
{
    const Declared *declared = nullptr;
    // Invoice scope: the row, what is read of it, and the year and quarter it is stored under.
    const DeclarationFormat::Invoice *invoice = nullptr;
    InvoiceFacts facts;
    int exercice = 0;
    int trimestre = 0;
    // Invoice numbers (trimmed) found more than once in the company's year, with their count.
    const QHash<QString, int> *repeatedNumbers = nullptr;
    // Quarter scope: the totals of the "TF" record and the sums of the "DF" records.
    const DeclarationFormat::Totals *totals = nullptr;
    const PrintedSums *printed = nullptr;
};

// A check's findings: the field concerned and the message.
class Findings
{
public:
    void add(const QString &field, const QString &message) { m_items.append({ field, message }); }
    struct Item
    {
        QString field;
        QString message;
    };
    const QVector<Item> &items() const { return m_items; }

private:
    QVector<Item> m_items;
};

enum class Scope { Company, Invoice, Quarter };

struct Check
{
    const char *id;
    Severity severity;
    Scope scope;
    void (*run)(const Subject &subject, Findings &findings);
};

// Every check, errors first.
const std::vector<Check> &checks();
const Check *findCheck(const QString &id);

// Runs the table over a quarter as its records are written.
class Checker
{
public:
    Checker(Declared declared, QHash<QString, int> repeatedNumbers);

    // The company's checks; once, before the invoices.
    void checkCompany();
    // One invoice, in the order of the file, with the year and quarter it is stored under.
    void checkInvoice(const DeclarationFormat::Invoice &invoice, int exercice, int trimestre);
    // The totals, once the last invoice was checked.
    void checkTotals(const DeclarationFormat::Totals &totals);

    const QVector<Anomaly> &anomalies() const { return m_anomalies; }
    int errorCount() const { return m_errors; }
    int warningCount() const { return static_cast<int>(m_anomalies.size()) - m_errors; }

private:
    void run(Scope scope, const Subject &subject);

    Declared m_declared;
    QHash<QString, int> m_repeated;
    PrintedSums m_printed;
    QVector<Anomaly> m_anomalies;
    int m_errors = 0;
};

// The identifier checks the company form shows beside a box as the clerk
// leaves it: the messages of the company's checks on that column
// ("IDENTIFIANT", "CLE" or "ETABSECONDAIRE").
QStringList companyHints(const QString &column, const QString &identifiant, const QString &cle, const QString &etab);
// The same for the client form: the client identifier checks on a kind ("1"
// to "4") and an identifier as typed.
QStringList clientHints(const QString &kind, const QString &identifier);

// "Erreur" or "Avertissement".
QString severityText(Severity severity);
// One anomaly on one line, tab-separated: severity, order number, invoice
// number, client, field, message. The command line prints these lines and
// the anomaly list copies them.
QString lineText(const Anomaly &anomaly);
// The count and the four totals, as one line.
QString totalsText(const DeclarationFormat::Totals &totals);
// What the list says, as kestra-cli check prints it and the anomaly list
// copies it: a heading, one line per anomaly, the totals, the counts.
QString listText(const QString &heading, const QVector<Anomaly> &anomalies, const DeclarationFormat::Totals &totals);
// The heading of a company's quarter: "Société 0123456AM000 : T1 2008".
QString headingText(const QString &matricule, const QString &quarterText, const QString &exercice);
// An amount as the screens show it: "1 234,567".
QString amountText(double value);

} // namespace DeclarationChecks
