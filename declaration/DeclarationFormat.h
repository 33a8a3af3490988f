#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// The quarterly declaration file's records: "EF" header, one "DF" detail per
// invoice, "TF" totals, 331 characters each: a text copied as stored is
// filled with blanks to its width; a value wider than its mask is written whole.
namespace DeclarationFormat {

// The first 20 characters of every record.
struct Prefix
{
    QString matricule; // curIdentifiant + curCle + curCategorie + curEtab, each at its width (matricule())
    QString exercice; // curExercice, as stored
    QString quarter; // the quarter text as chosen ("T1".."T4")
};

struct Company
{
    QString raisonSociale, activite, ville, rue, numero, codePostal; // as stored
};

// One FACTURE row; an invalid QVariant is a null column.
struct Invoice
{
    QVariant numeroOrdre, numeroFacture, dateFacture, typeIdClient, identifiantClient, nomPrenomClient, adresseClient, numeroAutorisation,
        dateAutorisation, prixVente, tauxFodec, montantFodec, tauxDroitConsommation, montantDroitConsommation, tauxTva, montantTva;
};

// Count and sums of the detail records written, in record order.
struct Totals
{
    int count = 0;
    double prixVente = 0;
    double montantFodec = 0;
    double montantDroitConsommation = 0;
    double montantTva = 0;
    // The same amounts as the detail records write them, in millimes,
    // summed: what a reader adding up the lines finds.
    qint64 writtenPrixVente = 0;
    qint64 writtenFodec = 0;
    qint64 writtenDroitConsommation = 0;
    qint64 writtenTva = 0;
};

// Field renderings, in the file's single-byte code page.
QByteArray asStored(const QVariant &value, int width); // never cut; blanks up to the width
QByteArray padded(const QVariant &value, int width);
QByteArray wholeNumber(qint64 value);
QByteArray date(const QVariant &value);
QByteArray rate(const QVariant &value);
QByteArray amount(double value);

// The tax identifier of the records: the four parts as stored, each filled
// with blanks to its width (7, 1, 1, 3).
QString matricule(const QString &identifiant, const QString &cle, const QString &categorie, const QString &etab);
// A column's value as the records read it: 0 for null, a date as its day count.
double number(const QVariant &value);
// An amount as the records write it, in millimes; *fits is false (and 0
// returned) beyond 64 bits.
qint64 millimes(double amount, bool *fits = nullptr);

QByteArray prefix(const char *code, const Prefix &p);
QByteArray header(const Prefix &p, const Company &c);
// Forms the "DF" record and adds the invoice to the totals.
QByteArray detail(const Prefix &p, const Invoice &invoice, Totals &totals);
QByteArray totalsRecord(const Prefix &p, const Totals &totals);

} // namespace DeclarationFormat
