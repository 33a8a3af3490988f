#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// The quarterly declaration file's records: "EF" header, one "DF" detail per
// invoice, "TF" totals. 331 characters when every text copied as stored has
// its full width; a value wider than its mask is written whole.
namespace DeclarationFormat {

// The first 20 characters of every record.
struct Prefix
{
    QString matricule; // curIdentifiant + curCle + curCategorie + curEtab, as stored
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
};

// Field renderings, in the file's single-byte code page.
QByteArray asStored(const QVariant &value);
QByteArray padded(const QVariant &value, int width);
QByteArray wholeNumber(qint64 value);
QByteArray date(const QVariant &value);
QByteArray rate(const QVariant &value);
QByteArray amount(double value);

QByteArray prefix(const char *code, const Prefix &p);
QByteArray header(const Prefix &p, const Company &c);
// Forms the "DF" record and adds the invoice to the totals.
QByteArray detail(const Prefix &p, const Invoice &invoice, Totals &totals);
QByteArray totalsRecord(const Prefix &p, const Totals &totals);

} // namespace DeclarationFormat
