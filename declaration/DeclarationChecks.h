#pragma once

#include "declaration/DeclarationFormat.h"

#include <QHash>
#include <QVarLengthArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <optional>
#include <string>
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
    int exercice = 0;
};

// An invoice of the quarter that a check of the whole quarter names: where
// it stands in the file, and what the list shows of it.
struct InvoiceRef
{
    int position = 0; // from 0, in the file's order
    qint64 numeroOrdre = 0;
    bool hasNumeroOrdre = false;
    QString numeroFacture; // trimmed
    QString nomPrenomClient;
};

// Where an invoice number (trimmed) is used: the quarter's invoices that
// carry it, and how many of the company's other invoices of the year do.
struct NumberUse
{
    QVarLengthArray<InvoiceRef, 1> inQuarter;
    int elsewhere = 0;
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
    // Quarter scope: the totals of the "TF" record with the sums of the "DF"
    // records as written, and the uses of the quarter's invoice numbers.
    const DeclarationFormat::Totals *totals = nullptr;
    const QHash<QString, NumberUse> *numbers = nullptr;
};

// A check's findings: the field concerned and the message, and for a check
// of the whole quarter the invoice it concerns, if any.
class Findings
{
public:
    void add(const QString &field, const QString &message, const InvoiceRef *invoice = nullptr)
    {
        m_items.append({ field, message, invoice ? std::optional<InvoiceRef>(*invoice) : std::nullopt });
    }
    struct Item
    {
        QString field;
        QString message;
        std::optional<InvoiceRef> invoice;
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
    // numbersElsewhere: the invoice numbers (trimmed) of the company's year
    // outside the quarter, with how many invoices carry each.
    Checker(Declared declared, QHash<QString, int> numbersElsewhere);

    // The company's checks; once, before the invoices.
    void checkCompany();
    // One invoice, in the order of the file, with the year and quarter it is stored under.
    void checkInvoice(const DeclarationFormat::Invoice &invoice, int exercice, int trimestre);
    // The whole quarter (its totals, as the records were formed, and its
    // invoice numbers), once the last invoice was checked; what it finds of an invoice takes that invoice's
    // place in the list.
    void checkQuarter(const DeclarationFormat::Totals &totals);

    const QVector<Anomaly> &anomalies() const { return m_anomalies; }
    int errorCount() const { return m_errors; }
    int warningCount() const { return static_cast<int>(m_anomalies.size()) - m_errors; }

private:
    void run(Scope scope, const Subject &subject);

    Declared m_declared;
    QHash<QString, int> m_elsewhere;
    // Each invoice of the quarter that has a number, in the file's order,
    // and where each number was first seen: kept lean, as every invoice
    // passes here and few numbers come twice.
    // Its number and client's name are copied into one buffer rather than
    // kept as the row's own texts, which would keep every row's memory.
    struct Seen
    {
        int position;
        qint64 numeroOrdre;
        bool hasNumeroOrdre;
        qsizetype numberAt, numberLength, clientAt, clientLength;
    };
    QVector<Seen> m_seen;
    std::u16string m_seenText;
    QHash<size_t, int> m_firstSeen; // by the number's hash: cheaper than by its text
    QHash<QString, int> m_firstSeenOther; // numbers whose hash another number had first
    QList<int> m_seenAgain; // m_seen index of the first use of a number seen again

    QStringView seenNumber(const Seen &seen) const;
    InvoiceRef seenInvoice(const Seen &seen) const;
    // The m_seen index of the number's first use, or -1.
    int firstUse(QStringView number, size_t hash) const;
    QVector<Anomaly> m_anomalies;
    QVector<int> m_positions; // of each anomaly: -1 the company's, an invoice's position, or after the last
    int m_invoices = 0;
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
