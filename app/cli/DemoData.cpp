#include "app/cli/DemoData.h"

#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "invoices/InvoiceComputations.h"

#include <QDate>

namespace {

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

struct DemoClient
{
    int code;
    const char *identifier;
    const char *type;
    const char *person;
    const char *name;
    const char *address;
    const char *authorisation;
    int authorisationMonth; // 0: none
};

const DemoClient Clients[] = {
    { 1, "0812345BAM000", "1", "2", "STE TUNISIENNE DES ENGRAIS", "ZONE INDUSTRIELLE GABES 6000", "AUT-1187", 2 },
    { 2, "0923456CPM000", "1", "2", "SOCIETE DES CIMENTS DU NORD", "ROUTE DE BIZERTE KM 12 7021 ZARZOUNA", "AUT-2041", 3 },
    { 3, "1034567DAM001", "1", "2", "MEUBLES ARTISANAUX DU SAHEL", "RUE IBN KHALDOUN 4000 SOUSSE", "AUT-0930", 1 },
    { 4, "1145678EBM000", "1", "2", "LAITERIE DU CAP BON", "AVENUE DE LA REPUBLIQUE 8000 NABEUL", "AUT-3312", 0 },
    { 5, "1256789FPM000", "1", "2", "TEXTILES DE MONASTIR", "ZONE INDUSTRIELLE 5000 MONASTIR", "AUT-1450", 4 },
    { 6, "1367890GAM000", "1", "2", "OLIVERAIES DE SFAX", "ROUTE DE GREMDA KM 4 3000 SFAX", "AUT-2210", 5 },
    { 7, "09876543", "2", "1", "BEN SALAH MOHAMED", "12 RUE DE MARSEILLE 1000 TUNIS", "AUT-0044", 0 },
    { 8, "1478901HBM000", "1", "2", "CONSERVERIE DE KELIBIA", "PORT DE PECHE 8090 KELIBIA", "AUT-1999", 6 },
    { 9, "1589012JAM002", "1", "2", "CERAMIQUES DE NABEUL", "AVENUE HABIB THAMEUR 8000 NABEUL", "AUT-0777", 2 },
    { 10, "R4455667", "3", "1", "DUPONT JEAN PIERRE", "RESIDENCE LES JASMINS 2078 LA MARSA", "AUT-5120", 0 },
    { 11, "1690123KPM000", "1", "2", "PLASTIQUES DU CENTRE", "ZONE INDUSTRIELLE 3100 KAIROUAN", "AUT-4011", 7 },
    { 12, "EXT00000FR01", "4", "2", "SOCIETE MEDITERRANEE EXPORT SA", "14 QUAI DE LA JOLIETTE 13002 MARSEILLE FRANCE", "AUT-6001", 3 },
};

void insertCompany(Connection &connection, const QString &identifiant, int year)
{
    Query company(connection,
        QStringLiteral(
            "insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, ACTIVITE, VILLE, RUE, NUMERO, CODEPOSTAL, "
            "EXERCICE, ACTIVEON) values (:IDENTIFIANT, :CLE, :CATEGORIE, :ETAB, :RS, :ACT, :VILLE, :RUE, :NUMERO, :CP, :EXERCICE, "
            ":ACTIVEON)"));
    company.setParam(QStringLiteral("IDENTIFIANT"), identifiant);
    company.setParam(QStringLiteral("CLE"), QStringLiteral("A"));
    company.setParam(QStringLiteral("CATEGORIE"), QStringLiteral("M"));
    company.setParam(QStringLiteral("ETAB"), QStringLiteral("000"));
    // Texts blank-padded as the company form stores them.
    company.setParam(QStringLiteral("RS"), padded(QStringLiteral("KESTRA DEMONSTRATION SARL"), 40));
    company.setParam(QStringLiteral("ACT"), padded(QStringLiteral("COMMERCE DE GROS DE MATERIAUX"), 40));
    company.setParam(QStringLiteral("VILLE"), padded(QStringLiteral("TUNIS"), 40));
    company.setParam(QStringLiteral("RUE"), padded(QStringLiteral("AVENUE HABIB BOURGUIBA"), 72));
    company.setParam(QStringLiteral("NUMERO"), padded(QStringLiteral("25"), 4));
    company.setParam(QStringLiteral("CP"), padded(QStringLiteral("1001"), 4));
    company.setParam(QStringLiteral("EXERCICE"), year);
    company.setParam(QStringLiteral("ACTIVEON"), QStringLiteral("O"));
    company.execute();
}

void insertClients(Connection &connection, int year)
{
    Query client(connection,
        QStringLiteral(
            "insert into TIERS (CODE, TYPEIDENTIFIANT, PHYSIQUEMORALE, IDENTIFIANT, NOMBENEFICIAIRE, ADRESSE, NUMEROAUTORISATION, "
            "DATEAUTORISATION) values (:CODE, :TYPE, :PM, :ID, :NOM, :ADR, :AUT, :DAUT)"));
    for (const DemoClient &c : Clients) {
        client.setParam(QStringLiteral("CODE"), c.code);
        client.setParam(QStringLiteral("TYPE"), QString::fromLatin1(c.type));
        client.setParam(QStringLiteral("PM"), QString::fromLatin1(c.person));
        client.setParam(QStringLiteral("ID"), padded(QString::fromLatin1(c.identifier), 13));
        client.setParam(QStringLiteral("NOM"), padded(QString::fromLatin1(c.name), 40));
        client.setParam(QStringLiteral("ADR"), padded(QString::fromLatin1(c.address), 120));
        client.setParam(QStringLiteral("AUT"), QString::fromLatin1(c.authorisation));
        client.setParam(QStringLiteral("DAUT"),
            c.authorisationMonth ? QVariant::fromValue(TimeStamp { DateTime::encodeDate(year - 1, c.authorisationMonth, 15) })
                                 : QVariant());
        client.execute();
    }
}

void insertInvoices(Connection &connection, const QString &matricule, int year)
{
    Query invoice(connection,
        QStringLiteral(
            "insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, TYPEIDCLIENT, "
            "IDENTIFIANTCLIENT, NOMPRENOMCLIENT, ADRESSECLIENT, NUMEROAUTORISATION, DATEAUTORISATION, PRIXVENTE, TAUXFODEC, MONTANTFODEC, "
            "TAUXDROITCONSOMMATION, MONTANTDROITCONSOMMATION, TAUXTVA, MONTANTTVA, CODE) values (:IDENTIFIANT, :EXERCICE, :TRIMESTRE, "
            ":NUMEROORDRE, :NUMEROFACTURE, :DATEFACTURE, :TYPEIDCLIENT, :IDENTIFIANTCLIENT, :NOMPRENOMCLIENT, :ADRESSECLIENT, "
            ":NUMEROAUTORISATION, :DATEAUTORISATION, :PRIXVENTE, :TAUXFODEC, :MONTANTFODEC, :TAUXDROITCONSOMMATION, "
            ":MONTANTDROITCONSOMMATION, :TAUXTVA, :MONTANTTVA, :CODE)"));
    const double vatRates[] = { 19, 13, 7, 19 };
    const double dutyRates[] = { 0, 0, 10, 0, 25 };
    const int count = 40;
    for (int n = 1; n <= count; ++n) {
        const int quarter = (n - 1) / 10 + 1;
        // Ten invoices a quarter, dated in the order of their numbers.
        const double date = DateTime::encodeDate(year, (quarter - 1) * 3 + 1, 3) + ((n - 1) % 10) * 9;
        const DemoClient &c = Clients[(n * 5) % 12];
        // Prices in steps of 50 dinars: every amount is then a whole number of
        // millimes, so the declaration's totals equal the sums of its lines.
        const double price = 50.0 * ((n * 7919) % 960 + 7);
        const double fodecRate = n % 4 == 0 ? 0.0 : 1.0;
        const double dutyRate = dutyRates[n % 5];
        const double vatRate = vatRates[n % 4];
        const double fodec = InvoiceComputations::fodecAmount(price, fodecRate);
        const double duty = InvoiceComputations::dutyAmount(price, dutyRate);
        const double vat = InvoiceComputations::vatAmount(price, fodec, duty, vatRate);

        invoice.setParam(QStringLiteral("IDENTIFIANT"), matricule);
        invoice.setParam(QStringLiteral("EXERCICE"), year);
        invoice.setParam(QStringLiteral("TRIMESTRE"), quarter);
        invoice.setParam(QStringLiteral("NUMEROORDRE"), n);
        invoice.setParam(QStringLiteral("NUMEROFACTURE"),
            QStringLiteral("F%1-%2").arg(year % 100, 2, 10, QLatin1Char('0')).arg(n, 4, 10, QLatin1Char('0')));
        invoice.setParam(QStringLiteral("DATEFACTURE"), QVariant::fromValue(TimeStamp { date }));
        invoice.setParam(QStringLiteral("TYPEIDCLIENT"), QString::fromLatin1(c.type));
        invoice.setParam(QStringLiteral("IDENTIFIANTCLIENT"), padded(QString::fromLatin1(c.identifier), 13));
        invoice.setParam(QStringLiteral("NOMPRENOMCLIENT"), padded(QString::fromLatin1(c.name), 40));
        invoice.setParam(QStringLiteral("ADRESSECLIENT"), padded(QString::fromLatin1(c.address), 120));
        invoice.setParam(QStringLiteral("NUMEROAUTORISATION"), QString::fromLatin1(c.authorisation));
        invoice.setParam(QStringLiteral("DATEAUTORISATION"),
            QVariant::fromValue(TimeStamp { c.authorisationMonth ? DateTime::encodeDate(year - 1, c.authorisationMonth, 15) : 0.0 }));
        invoice.setParam(QStringLiteral("PRIXVENTE"), price);
        invoice.setParam(QStringLiteral("TAUXFODEC"), fodecRate);
        invoice.setParam(QStringLiteral("MONTANTFODEC"), fodec);
        invoice.setParam(QStringLiteral("TAUXDROITCONSOMMATION"), dutyRate);
        invoice.setParam(QStringLiteral("MONTANTDROITCONSOMMATION"), duty);
        invoice.setParam(QStringLiteral("TAUXTVA"), vatRate);
        invoice.setParam(QStringLiteral("MONTANTTVA"), vat);
        invoice.setParam(QStringLiteral("CODE"), c.code);
        invoice.execute();
    }
}

} // namespace

namespace DemoData {

void insert(Connection &connection)
{
    const int year = QDate::currentDate().year();
    const QString identifiant = QStringLiteral("0123456");
    insertCompany(connection, identifiant, year);
    insertClients(connection, year);
    insertInvoices(connection, identifiant + QStringLiteral("AM000"), year);
    connection.commitRetaining();
}

} // namespace DemoData
