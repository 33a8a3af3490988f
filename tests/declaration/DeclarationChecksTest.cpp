#include "declaration/DeclarationChecks.h"

#include "core/DateTime.h"

#include <QSet>

#include <functional>
#include <gtest/gtest.h>

using namespace DeclarationChecks;
using DeclarationFormat::Invoice;
using DeclarationFormat::Totals;

namespace {

QVariant day(int y, int m, int d)
{
    return QVariant::fromValue(TimeStamp { DateTime::encodeDate(y, m, d) });
}

// What every check passes: a company with a sound tax identifier, and an
// invoice of T1 2008 to a resident company client, its amounts as the form
// computes them.
struct Sample
{
    Declared declared { QStringLiteral("0123456"), QStringLiteral("A"), QStringLiteral("M"), QStringLiteral("000"), QStringLiteral("T1"), 2008 };
    Invoice invoice;
    int exercice = 2008;
    int trimestre = 1;
    QHash<QString, NumberUse> numbers;
    Totals totals;

    Sample()
    {
        invoice.numeroOrdre = 7;
        invoice.numeroFacture = QStringLiteral(" F-7 ");
        invoice.dateFacture = day(2008, 3, 5);
        invoice.typeIdClient = QStringLiteral("1");
        invoice.identifiantClient = QStringLiteral("1234567ABM000");
        invoice.nomPrenomClient = QStringLiteral("CLIENT SEPT").leftJustified(40);
        invoice.adresseClient = QStringLiteral("RUE SEPT");
        invoice.numeroAutorisation = QStringLiteral("AUT-7");
        invoice.dateAutorisation = day(2007, 6, 1);
        invoice.prixVente = 1000.0;
        invoice.tauxFodec = 1.0;
        invoice.montantFodec = 10.0;
        invoice.tauxDroitConsommation = 12.5;
        invoice.montantDroitConsommation = 125.0;
        invoice.tauxTva = 18.0;
        invoice.montantTva = 204.3; // 18 % of 1135
        totals.count = 1;
        totals.prixVente = 1000.0;
        totals.montantFodec = 10.0;
        totals.montantDroitConsommation = 125.0;
        totals.montantTva = 204.3;
        totals.writtenPrixVente = 1000000;
        totals.writtenFodec = 10000;
        totals.writtenDroitConsommation = 125000;
        totals.writtenTva = 204300;
    }

    Subject subject(Scope scope) const
    {
        Subject s;
        s.declared = &declared;
        if (scope == Scope::Invoice) {
            s.invoice = &invoice;
            s.facts = InvoiceFacts::of(invoice);
            s.exercice = exercice;
            s.trimestre = trimestre;
        } else if (scope == Scope::Quarter) {
            s.totals = &totals;
            s.numbers = &numbers;
        }
        return s;
    }
};

QVector<Findings::Item> run(const Check &check, const Sample &sample)
{
    Findings found;
    check.run(sample.subject(check.scope), found);
    return found.items();
}

using Change = std::function<void(Sample &)>;

struct Case
{
    const char *check;
    const char *name;
    Change failing; // makes the sample fail the check
    const char *field;
    QString message;
    Change passing; // a near case the check lets through
};

} // namespace

// Each check of the table on the sample changed to fail it, with its field
// and message, and on a near case it lets through.
TEST(DeclarationChecks, EachCheckFailsAndPasses)
{
    const QList<Case> cases = {
        { "quarter-text", "typed quarter", [](Sample &s) { s.declared.quarterText = QStringLiteral("t1"); }, "TRIMESTRE",
            QStringLiteral("Trimestre « t1 » : T1, T2, T3 ou T4 attendu."), [](Sample &s) { s.declared.quarterText = QStringLiteral("T4"); } },
        { "company-identifier", "six digits", [](Sample &s) { s.declared.identifiant = QStringLiteral("012345"); }, "IDENTIFIANT",
            QStringLiteral("Matricule fiscal de la société « 012345 » : 7 chiffres attendus."),
            [](Sample &s) { s.declared.identifiant = QStringLiteral("9999999"); } },
        { "company-identifier", "a letter", [](Sample &s) { s.declared.identifiant = QStringLiteral("012345X"); }, "IDENTIFIANT",
            QStringLiteral("Matricule fiscal de la société « 012345X » : 7 chiffres attendus."), nullptr },
        { "company-key", "I is no key", [](Sample &s) { s.declared.cle = QStringLiteral("I"); }, "CLE",
            QStringLiteral("Clé du matricule de la société « I » : une lettre de A à Z, sauf I, O et U, attendue."),
            [](Sample &s) { s.declared.cle = QStringLiteral("Z"); } },
        { "company-key", "lower case", [](Sample &s) { s.declared.cle = QStringLiteral("a"); }, "CLE",
            QStringLiteral("Clé du matricule de la société « a » : une lettre de A à Z, sauf I, O et U, attendue."), nullptr },
        { "company-establishment", "blank-padded", [](Sample &s) { s.declared.etab = QStringLiteral("1  "); }, "ETABSECONDAIRE",
            QStringLiteral("N° d'établissement secondaire de la société « 1   » : 3 chiffres attendus."),
            [](Sample &s) { s.declared.etab = QStringLiteral("001"); } },
        { "invoice-date-missing", "null", [](Sample &s) { s.invoice.dateFacture = QVariant(); }, "DATEFACTURE",
            QStringLiteral("Facture sans date."), nullptr },
        { "invoice-date-missing", "day zero", [](Sample &s) { s.invoice.dateFacture = QVariant::fromValue(TimeStamp { 0.0 }); },
            "DATEFACTURE", QStringLiteral("Facture sans date."), [](Sample &s) { s.invoice.dateFacture = day(2008, 1, 1); } },
        { "invoice-date-quarter", "next quarter", [](Sample &s) { s.invoice.dateFacture = day(2008, 4, 1); }, "DATEFACTURE",
            QStringLiteral("Facture datée du 01/04/2008, hors du trimestre T1 2008 sous lequel elle est enregistrée."),
            [](Sample &s) { s.invoice.dateFacture = day(2008, 3, 31); } },
        { "invoice-date-quarter", "another year", [](Sample &s) { s.invoice.dateFacture = day(2007, 3, 5); }, "DATEFACTURE",
            QStringLiteral("Facture datée du 05/03/2007, hors du trimestre T1 2008 sous lequel elle est enregistrée."),
            [](Sample &s) { s.invoice.dateFacture = QVariant(); } }, // a missing date is the other check's
        { "invoice-number-missing", "blanks", [](Sample &s) { s.invoice.numeroFacture = QStringLiteral("   "); }, "NUMEROFACTURE",
            QStringLiteral("Facture sans numéro."), [](Sample &s) { s.invoice.numeroFacture = QStringLiteral("0"); } },
        { "invoice-number-twice", "once more in another quarter",
            [](Sample &s) {
                NumberUse use;
                use.inQuarter.append({ 0, 7, true, QStringLiteral("F-7"), QStringLiteral("CLIENT SEPT") });
                use.elsewhere = 1;
                s.numbers.insert(QStringLiteral("F-7"), use);
            },
            "NUMEROFACTURE", QStringLiteral("Le numéro de facture « F-7 » figure 2 fois dans l'exercice 2008."),
            [](Sample &s) {
                NumberUse use;
                use.inQuarter.append({ 0, 7, true, QStringLiteral("F-7"), QStringLiteral("CLIENT SEPT") });
                s.numbers.insert(QStringLiteral("F-7"), use);
            } },
        { "client-kind", "none", [](Sample &s) { s.invoice.typeIdClient = QVariant(); }, "TYPEIDCLIENT",
            QStringLiteral("Type d'identifiant du client «  » : 1, 2, 3 ou 4 attendu."),
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("4");
                s.invoice.identifiantClient = QStringLiteral("EXT00000FR09");
            } },
        { "client-kind", "five", [](Sample &s) { s.invoice.typeIdClient = QStringLiteral("5"); }, "TYPEIDCLIENT",
            QStringLiteral("Type d'identifiant du client « 5 » : 1, 2, 3 ou 4 attendu."), nullptr },
        { "client-identifier-empty", "kind 4, blanks",
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("4");
                s.invoice.identifiantClient = QString(13, QLatin1Char(' '));
            },
            "IDENTIFIANTCLIENT", QStringLiteral("Identifiant du client vide."),
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("4");
                s.invoice.identifiantClient = QStringLiteral("X");
            } },
        { "client-mf-length", "imported without its establishment",
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABM"); }, "IDENTIFIANTCLIENT",
            QStringLiteral("Matricule fiscal du client « 1234567ABM » : 13 caractères attendus (7 chiffres, la clé, le code TVA, la "
                           "catégorie et 3 chiffres d'établissement)."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABM000"); } },
        { "client-mf-digits", "a letter among the digits", [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("12345O7ABM000"); },
            "IDENTIFIANTCLIENT", QStringLiteral("Matricule fiscal du client « 12345O7ABM000 » : 7 chiffres attendus en tête."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("0000000ABM000"); } },
        { "client-mf-key", "O is no key", [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567OBM000"); },
            "IDENTIFIANTCLIENT",
            QStringLiteral(
                "Matricule fiscal du client « 1234567OBM000 » : la clé (8e caractère) doit être une lettre de A à Z, sauf I, O et U."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567WBM000"); } },
        { "client-mf-vat-code", "C is no VAT code", [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ACM000"); },
            "IDENTIFIANTCLIENT",
            QStringLiteral("Matricule fiscal du client « 1234567ACM000 » : le code TVA (9e caractère) doit être A, B, D, F, N ou P."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567APM000"); } },
        { "client-mf-category", "B is no category", [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABB000"); },
            "IDENTIFIANTCLIENT",
            QStringLiteral("Matricule fiscal du client « 1234567ABB000 » : la catégorie (10e caractère) doit être M, P, C, N ou E."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABN000"); } },
        { "client-mf-establishment", "a secondary establishment outside category E",
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABM001"); }, "IDENTIFIANTCLIENT",
            QStringLiteral("Matricule fiscal du client « 1234567ABM001 » : l'établissement (3 derniers caractères) doit être 3 chiffres, 000 "
                           "sauf pour la catégorie E."),
            [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABE001"); } },
        { "client-mf-establishment", "not digits", [](Sample &s) { s.invoice.identifiantClient = QStringLiteral("1234567ABE0X1"); },
            "IDENTIFIANTCLIENT",
            QStringLiteral("Matricule fiscal du client « 1234567ABE0X1 » : l'établissement (3 derniers caractères) doit être 3 chiffres, 000 "
                           "sauf pour la catégorie E."),
            nullptr },
        { "client-cin", "seven digits",
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("2");
                s.invoice.identifiantClient = QStringLiteral("0987654      ");
            },
            "IDENTIFIANTCLIENT", QStringLiteral("N° CIN du client « 0987654 » : 8 chiffres attendus."),
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("2");
                s.invoice.identifiantClient = QStringLiteral("09876543     ");
            } },
        { "authorisation-number", "resident without one", [](Sample &s) { s.invoice.numeroAutorisation = QVariant(); }, "NUMEROAUTORISATION",
            QStringLiteral("Client résident sans numéro d'autorisation."),
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("4");
                s.invoice.identifiantClient = QStringLiteral("EXT00000FR09");
                s.invoice.numeroAutorisation = QVariant();
            } },
        { "authorisation-date-missing", "the form's zero date",
            [](Sample &s) { s.invoice.dateAutorisation = QVariant::fromValue(TimeStamp { 0.0 }); }, "DATEAUTORISATION",
            QStringLiteral("Client résident sans date d'autorisation."),
            [](Sample &s) {
                s.invoice.typeIdClient = QStringLiteral("4");
                s.invoice.identifiantClient = QStringLiteral("EXT00000FR09");
                s.invoice.dateAutorisation = QVariant();
            } },
        { "authorisation-date-after", "authorised the day after", [](Sample &s) { s.invoice.dateAutorisation = day(2008, 3, 6); },
            "DATEAUTORISATION", QStringLiteral("Autorisation du 06/03/2008, postérieure à la facture du 05/03/2008."),
            [](Sample &s) { s.invoice.dateAutorisation = QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3, 5) + 0.9 }); } },
        { "negative-amount", "a credit note's VAT", [](Sample &s) { s.invoice.montantTva = -204.3; }, "MONTANTTVA",
            QStringLiteral("Montant TVA négatif : -204,300."), [](Sample &s) { s.invoice.montantTva = -0.0; } },
        { "fodec-amount", "two millimes off", [](Sample &s) { s.invoice.montantFodec = 10.002; }, "MONTANTFODEC",
            QStringLiteral("Montant FODEC de 10,002 ; le taux de 1 % appliqué à 1 000,000 donne 10,000."),
            [](Sample &s) { s.invoice.montantFodec = 10.001; } },
        { "duty-amount", "rate changed afterwards", [](Sample &s) { s.invoice.tauxDroitConsommation = 10.0; }, "MONTANTDROITCONSOMMATION",
            QStringLiteral("Montant du droit de consommation de 125,000 ; le taux de 10 % appliqué à 1 000,000 donne 100,000."),
            [](Sample &s) {
                s.invoice.prixVente = 250.5;
                s.invoice.tauxDroitConsommation = 12.5;
                s.invoice.montantDroitConsommation = 31.313; // typed rounded: half a millime off
            } },
        { "vat-amount", "computed without the duty", [](Sample &s) { s.invoice.montantTva = 181.8; }, "MONTANTTVA",
            QStringLiteral("Montant TVA de 181,800 ; le taux de 18 % appliqué à 1 135,000 (H.T, FODEC et droit de consommation) donne "
                           "204,300."),
            [](Sample &s) { s.invoice.montantTva = 204.301; } },
        { "totals-rounding", "the unrounded sum rounds one millime off",
            [](Sample &s) {
                s.totals.montantTva = 182.479375;
                s.totals.writtenTva = 182480;
            },
            "MONTANTTVA",
            QStringLiteral("Le total TVA de la ligne TF (182,479) diffère de 1 millime de la somme des lignes DF (182,480) : il est calculé "
                           "sur les montants non arrondis des factures."),
            [](Sample &s) {
                s.totals.montantTva = 182.4796;
                s.totals.writtenTva = 182480;
            } },
    };

    // The sample passes them all.
    const Sample sound;
    for (const Check &check : checks())
        EXPECT_TRUE(run(check, sound).isEmpty()) << check.id << ": " << run(check, sound).value(0).message.toStdString();

    QSet<QString> failed, passed;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.check) + ", " + c.name);
        const Check *check = findCheck(QString::fromLatin1(c.check));
        ASSERT_NE(check, nullptr);
        Sample failing;
        c.failing(failing);
        const QVector<Findings::Item> found = run(*check, failing);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0].field, QString::fromLatin1(c.field));
        EXPECT_EQ(found[0].message, c.message);
        failed << QString::fromLatin1(c.check);
        if (c.passing) {
            Sample near;
            c.passing(near);
            EXPECT_TRUE(run(*check, near).isEmpty()) << run(*check, near).value(0).message.toStdString();
            passed << QString::fromLatin1(c.check);
        }
    }
    // Every check of the table was fed both.
    for (const Check &check : checks()) {
        EXPECT_TRUE(failed.contains(QString::fromLatin1(check.id))) << check.id << " never failed";
        EXPECT_TRUE(passed.contains(QString::fromLatin1(check.id))) << check.id << " never passed";
    }
}

// Checks that look at several fields report each.
TEST(DeclarationChecks, SeveralFieldsOfOneCheck)
{
    Sample credit;
    credit.invoice.prixVente = -1000.0;
    credit.invoice.montantFodec = -10.0;
    credit.invoice.montantDroitConsommation = -125.0;
    credit.invoice.montantTva = -204.3;
    QStringList fields;
    for (const Findings::Item &item : run(*findCheck(QStringLiteral("negative-amount")), credit))
        fields << item.field;
    EXPECT_EQ(fields, (QStringList { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" }));

    Sample totals;
    totals.totals.prixVente = 0.0005;
    totals.totals.writtenPrixVente = 0;
    totals.totals.montantFodec = 0.0126;
    totals.totals.writtenFodec = 10;
    fields.clear();
    QStringList messages;
    for (const Findings::Item &item : run(*findCheck(QStringLiteral("totals-rounding")), totals)) {
        fields << item.field;
        messages << item.message;
    }
    EXPECT_EQ(fields, (QStringList { "PRIXVENTE", "MONTANTFODEC" }));
    EXPECT_TRUE(messages.value(1).contains(QStringLiteral("diffère de 3 millimes"))) << messages.value(1).toStdString();
}

// The checker runs the table over a quarter as it is written: the company
// once, each invoice with its identification, the totals from the records;
// what the whole quarter shows of an invoice (its number used elsewhere)
// stands in that invoice's place.
TEST(DeclarationChecks, CheckerOverAQuarter)
{
    Checker checker(
        { QStringLiteral("0123456"), QStringLiteral("I"), QStringLiteral("M"), QStringLiteral("000"), QStringLiteral("T1"), 2008 },
        { { QStringLiteral("F-7"), 1 } }); // once in another quarter
    checker.checkCompany();
    // Each VAT is 0.4 millime over its computation: each record rounds it
    // away, their sum does not.
    Invoice first = Sample().invoice;
    first.montantTva = 204.3004;
    checker.checkInvoice(first, 2008, 1);
    Invoice late = first;
    late.numeroOrdre = 8;
    late.numeroFacture = QStringLiteral("F-8");
    late.dateFacture = day(2008, 4, 2);
    checker.checkInvoice(late, 2008, 1);
    // The totals as the records were formed.
    Totals totals;
    for (const Invoice *i : { &first, &late })
        DeclarationFormat::detail({ QStringLiteral("0123456IM000"), QStringLiteral("2008"), QStringLiteral("T1") }, *i, totals);
    checker.checkQuarter(totals);

    QStringList lines;
    for (const Anomaly &a : checker.anomalies())
        lines << lineText(a);
    EXPECT_EQ(lines,
        (QStringList {
            QStringLiteral("Erreur\t\t\t\tCLE\tClé du matricule de la société « I » : une lettre de A à Z, sauf I, O et U, attendue."),
            QStringLiteral("Avertissement\t7\tF-7\tCLIENT SEPT\tNUMEROFACTURE\tLe numéro de facture « F-7 » figure 2 fois dans l'exercice 2008."),
            QStringLiteral("Erreur\t8\tF-8\tCLIENT SEPT\tDATEFACTURE\tFacture datée du 02/04/2008, hors du trimestre T1 2008 sous lequel elle "
                           "est enregistrée."),
            QStringLiteral("Avertissement\t\t\t\tMONTANTTVA\tLe total TVA de la ligne TF (408,601) diffère de 1 millime de la somme des lignes "
                           "DF (408,600) : il est calculé sur les montants non arrondis des factures."),
        }));
    EXPECT_EQ(checker.errorCount(), 2);
    EXPECT_EQ(checker.warningCount(), 2);
    EXPECT_EQ(listText(headingText(QStringLiteral("0123456IM000 "), QStringLiteral("T1"), QStringLiteral("2008")), checker.anomalies(), totals),
        QStringLiteral("Société 0123456IM000 : T1 2008\n") + lines.join(QLatin1Char('\n'))
            + QStringLiteral("\nFactures : 2 ; H.T : 2 000,000 ; FODEC : 20,000 ; droit de consommation : 250,000 ; TVA : 408,601\n"
                             "Erreurs : 2 ; avertissements : 2\n"));
}

// The forms show the identifier checks of the box the clerk leaves.
TEST(DeclarationChecks, FormHints)
{
    struct CompanyCase
    {
        const char *column;
        const char *identifiant, *cle, *etab;
        QStringList hints;
    } companies[] = {
        { "IDENTIFIANT", "12345", "A", "000", { QStringLiteral("Matricule fiscal de la société « 12345 » : 7 chiffres attendus.") } },
        // Each box says only its own part.
        { "CLE", "12345", "A", "000", {} },
        { "CLE", "1234567", "U", "000",
            { QStringLiteral("Clé du matricule de la société « U » : une lettre de A à Z, sauf I, O et U, attendue.") } },
        { "ETABSECONDAIRE", "1234567", "A", "0", { QStringLiteral("N° d'établissement secondaire de la société « 0 » : 3 chiffres attendus.") } },
        { "ETABSECONDAIRE", "1234567", "A", "000", {} },
    };
    for (const CompanyCase &c : companies)
        EXPECT_EQ(companyHints(QString::fromLatin1(c.column), QString::fromLatin1(c.identifiant), QString::fromLatin1(c.cle),
                      QString::fromLatin1(c.etab)),
            c.hints)
            << c.column << " " << c.identifiant;

    struct ClientCase
    {
        const char *kind;
        QString identifier;
        QStringList hints;
    } clients[] = {
        { "1", QStringLiteral("1234567ABM000"), {} },
        { "1", QStringLiteral("1234567"), { QStringLiteral("Matricule fiscal du client « 1234567 » : 13 caractères attendus (7 chiffres, la "
                                                          "clé, le code TVA, la catégorie et 3 chiffres d'établissement).") } },
        { "1", QStringLiteral("1234567IBM000"),
            { QStringLiteral(
                "Matricule fiscal du client « 1234567IBM000 » : la clé (8e caractère) doit être une lettre de A à Z, sauf I, O et U.") } },
        // The client form pads to 13 characters.
        { "2", QStringLiteral("12345678     "), {} },
        { "2", QStringLiteral("1234567A     "), { QStringLiteral("N° CIN du client « 1234567A » : 8 chiffres attendus.") } },
        { "3", QString(13, QLatin1Char(' ')), { QStringLiteral("Identifiant du client vide.") } },
        { "4", QStringLiteral("EXT00000FR09"), {} },
    };
    for (const ClientCase &c : clients)
        EXPECT_EQ(clientHints(QString::fromLatin1(c.kind), c.identifier), c.hints) << c.kind << " " << c.identifier.toStdString();
}

// A number used twice in the quarter, an invoice between them: both are
// listed, each in its place, with how often the year uses the number.
TEST(DeclarationChecks, ANumberTwiceInTheQuarterListsBothInTheirPlaces)
{
    Checker checker({ QStringLiteral("0123456"), QStringLiteral("A"), QStringLiteral("M"), QStringLiteral("000"), QStringLiteral("T1"), 2008 },
        {});
    checker.checkCompany();
    Totals totals;
    const char *numbers[] = { " F-1", "F-2", "F-1 " };
    for (int n = 0; n < 3; ++n) {
        Invoice i = Sample().invoice;
        i.numeroOrdre = n + 1;
        i.numeroFacture = QString::fromLatin1(numbers[n]);
        if (n == 1)
            i.dateFacture = QVariant(); // an anomaly of its own, between the two
        DeclarationFormat::detail({ QStringLiteral("0123456AM000"), QStringLiteral("2008"), QStringLiteral("T1") }, i, totals);
        checker.checkInvoice(i, 2008, 1);
    }
    checker.checkQuarter(totals);
    QStringList listed;
    for (const Anomaly &a : checker.anomalies())
        listed << QStringLiteral("%1 %2 %3").arg(a.numeroOrdre.toString(), a.numeroFacture, a.check);
    EXPECT_EQ(listed,
        (QStringList { "1 F-1 invoice-number-twice", "2 F-2 invoice-date-missing", "3 F-1 invoice-number-twice" }));
    EXPECT_EQ(checker.anomalies().first().message, QStringLiteral("Le numéro de facture « F-1 » figure 2 fois dans l'exercice 2008."));
}

