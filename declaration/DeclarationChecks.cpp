#include "declaration/DeclarationChecks.h"

#include "core/DateTime.h"
#include "core/Formatting.h"
#include "core/Text.h"
#include "invoices/InvoiceComputations.h"

#include <cmath>

namespace DeclarationChecks {

namespace {

// The 23 key letters of a tax identifier: A to Z but I, O and U.
const QString KeyLetters = QStringLiteral("ABCDEFGHJKLMNPQRSTVWXYZ");
const QString VatCodes = QStringLiteral("ABDFNP");
const QString Categories = QStringLiteral("MPCNE");
const QStringList Quarters = { QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4") };
// An amount may differ from its computation by one millime (the form
// computes unrounded; a clerk may type the rounded amount).
constexpr double Tolerance = 0.001 + 1e-9;

// Messages are in the program's conventions whatever the machine's settings,
// so that the window, the command line and their tests say the same.
const FormatSettings &french()
{
    static const FormatSettings settings;
    return settings;
}

QString text(const QVariant &v)
{
    return v.isValid() ? v.toString() : QString();
}

// Without the trailing blanks the forms pad with.
QString rightTrimmed(const QString &s)
{
    qsizetype end = s.size();
    while (end > 0 && s[end - 1].unicode() <= 0x20)
        --end;
    return s.left(end);
}

bool isDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

using DeclarationFormat::number;

// A null date and day zero (what the forms store for "no date") are no date.
bool hasDate(const QVariant &v)
{
    return v.isValid() && std::floor(number(v)) != 0;
}

QString dateText(double value)
{
    return formatDateTime(QStringLiteral("dd/mm/yyyy"), value, french());
}

QString rateText(double rate)
{
    QString s = QString::number(rate, 'g', 12);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QString quoted(const QString &s)
{
    return QStringLiteral("« %1 »").arg(s);
}

// A kind-1 client identifier of its 13 characters, or empty when it has
// not that length (the length check says so once).
QString taxIdentifier(const InvoiceFacts &f)
{
    return f.kind == QLatin1String("1") && f.identifier.size() == 13 ? f.identifier : QString();
}

const char *const IdentifiantClient = "IDENTIFIANTCLIENT";

void amountCheck(Findings &f, const char *field, const QString &name, double stored, double rate, double base,
    double computed, const QString &baseNote)
{
    if (std::fabs(stored - computed) > Tolerance)
        f.add(QString::fromLatin1(field),
            QStringLiteral("Montant %1 de %2 ; le taux de %3 % appliqué à %4%5 donne %6.")
                .arg(name, amountText(stored), rateText(rate), amountText(base), baseNote, amountText(computed)));
}

void totalCheck(Findings &f, const char *field, const QString &name, double sum, qint64 printed)
{
    bool fits = false;
    const qint64 total = DeclarationFormat::millimes(sum, &fits);
    if (!fits || total == printed)
        return;
    const qint64 gap = total > printed ? total - printed : printed - total;
    f.add(QString::fromLatin1(field),
        QStringLiteral("Le total %1 de la ligne TF (%2) diffère de %3 millime%4 de la somme des lignes DF (%5) : il est calculé sur les "
                       "montants non arrondis des factures.")
            .arg(name, amountText(total / 1000.0))
            .arg(gap)
            .arg(gap > 1 ? QStringLiteral("s") : QString())
            .arg(amountText(printed / 1000.0)));
}

const std::vector<Check> Table = {
    // Errors: the file would be refused or would declare what is not.
    { "quarter-text", Severity::Error, Scope::Company,
        [](const Subject &s, Findings &f) {
            if (!Quarters.contains(s.declared->quarterText))
                f.add(QStringLiteral("TRIMESTRE"), QStringLiteral("Trimestre %1 : T1, T2, T3 ou T4 attendu.").arg(quoted(s.declared->quarterText)));
        } },
    { "company-identifier", Severity::Error, Scope::Company,
        [](const Subject &s, Findings &f) {
            const QString &id = s.declared->identifiant;
            if (id.size() != 7 || !isDigits(id))
                f.add(QStringLiteral("IDENTIFIANT"), QStringLiteral("Matricule fiscal de la société %1 : 7 chiffres attendus.").arg(quoted(id)));
        } },
    { "company-key", Severity::Error, Scope::Company,
        [](const Subject &s, Findings &f) {
            const QString &key = s.declared->cle;
            if (key.size() != 1 || !KeyLetters.contains(key[0]))
                f.add(QStringLiteral("CLE"),
                    QStringLiteral("Clé du matricule de la société %1 : une lettre de A à Z, sauf I, O et U, attendue.").arg(quoted(key)));
        } },
    { "company-establishment", Severity::Error, Scope::Company,
        [](const Subject &s, Findings &f) {
            const QString &etab = s.declared->etab;
            if (etab.size() != 3 || !isDigits(etab))
                f.add(QStringLiteral("ETABSECONDAIRE"),
                    QStringLiteral("N° d'établissement secondaire de la société %1 : 3 chiffres attendus.").arg(quoted(etab)));
        } },
    { "invoice-date-missing", Severity::Error, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (!s.facts.dated)
                f.add(QStringLiteral("DATEFACTURE"), QStringLiteral("Facture sans date."));
        } },
    { "invoice-date-quarter", Severity::Error, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (!s.facts.dated)
                return;
            int y, m, d;
            DateTime::decodeDate(s.facts.date, y, m, d);
            if (y != s.exercice || (m - 1) / 3 + 1 != s.trimestre)
                f.add(QStringLiteral("DATEFACTURE"),
                    QStringLiteral("Facture datée du %1, hors du trimestre T%2 %3 sous lequel elle est enregistrée.")
                        .arg(dateText(s.facts.date))
                        .arg(s.trimestre)
                        .arg(s.exercice));
        } },

    // Warnings: what the administration fines as declared wrongly.
    { "invoice-number-missing", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (s.facts.number.isEmpty())
                f.add(QStringLiteral("NUMEROFACTURE"), QStringLiteral("Facture sans numéro."));
        } },
    { "invoice-number-twice", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString &number = s.facts.number;
            const int times = number.isEmpty() || !s.repeatedNumbers || s.repeatedNumbers->isEmpty() ? 0 : s.repeatedNumbers->value(number);
            if (times > 1)
                f.add(QStringLiteral("NUMEROFACTURE"),
                    QStringLiteral("Le numéro de facture %1 figure %2 fois dans l'exercice %3.").arg(quoted(number)).arg(times).arg(s.exercice));
        } },
    { "client-kind", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString &kind = s.facts.kind;
            if (kind.size() != 1 || kind[0] < QLatin1Char('1') || kind[0] > QLatin1Char('4'))
                f.add(QStringLiteral("TYPEIDCLIENT"), QStringLiteral("Type d'identifiant du client %1 : 1, 2, 3 ou 4 attendu.").arg(quoted(kind)));
        } },
    { "client-identifier-empty", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (trimControls(s.facts.identifier).isEmpty())
                f.add(QString::fromLatin1(IdentifiantClient), QStringLiteral("Identifiant du client vide."));
        } },
    { "client-mf-length", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString &id = s.facts.identifier;
            if (s.facts.kind == QLatin1String("1") && !id.isEmpty() && id.size() != 13)
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : 13 caractères attendus (7 chiffres, la clé, le code TVA, la catégorie et "
                                   "3 chiffres d'établissement).")
                        .arg(quoted(id)));
        } },
    { "client-mf-digits", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString id = taxIdentifier(s.facts);
            if (!id.isEmpty() && !isDigits(QStringView(id).left(7)))
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : 7 chiffres attendus en tête.").arg(quoted(id)));
        } },
    { "client-mf-key", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString id = taxIdentifier(s.facts);
            if (!id.isEmpty() && !KeyLetters.contains(id[7]))
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : la clé (8e caractère) doit être une lettre de A à Z, sauf I, O et U.")
                        .arg(quoted(id)));
        } },
    { "client-mf-vat-code", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString id = taxIdentifier(s.facts);
            if (!id.isEmpty() && !VatCodes.contains(id[8]))
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : le code TVA (9e caractère) doit être A, B, D, F, N ou P.").arg(quoted(id)));
        } },
    { "client-mf-category", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString id = taxIdentifier(s.facts);
            if (!id.isEmpty() && !Categories.contains(id[9]))
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : la catégorie (10e caractère) doit être M, P, C, N ou E.").arg(quoted(id)));
        } },
    { "client-mf-establishment", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString id = taxIdentifier(s.facts);
            if (id.isEmpty())
                return;
            const QStringView etab = QStringView(id).mid(10, 3);
            if (!isDigits(etab) || (id[9] != QLatin1Char('E') && etab != QLatin1String("000")))
                f.add(QString::fromLatin1(IdentifiantClient),
                    QStringLiteral("Matricule fiscal du client %1 : l'établissement (3 derniers caractères) doit être 3 chiffres, 000 sauf "
                                   "pour la catégorie E.")
                        .arg(quoted(id)));
        } },
    { "client-cin", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const QString &id = s.facts.identifier;
            if (s.facts.kind == QLatin1String("2") && !id.isEmpty() && (id.size() != 8 || !isDigits(id)))
                f.add(QString::fromLatin1(IdentifiantClient), QStringLiteral("N° CIN du client %1 : 8 chiffres attendus.").arg(quoted(id)));
        } },
    { "authorisation-number", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (s.facts.resident && trimControls(text(s.invoice->numeroAutorisation)).isEmpty())
                f.add(QStringLiteral("NUMEROAUTORISATION"), QStringLiteral("Client résident sans numéro d'autorisation."));
        } },
    { "authorisation-date-missing", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (s.facts.resident && !s.facts.authorised)
                f.add(QStringLiteral("DATEAUTORISATION"), QStringLiteral("Client résident sans date d'autorisation."));
        } },
    { "authorisation-date-after", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            if (!s.facts.resident || !s.facts.authorised || !s.facts.dated)
                return;
            const double authorised = std::floor(s.facts.authorisation);
            const double invoiced = std::floor(s.facts.date);
            if (authorised > invoiced)
                f.add(QStringLiteral("DATEAUTORISATION"),
                    QStringLiteral("Autorisation du %1, postérieure à la facture du %2.").arg(dateText(authorised), dateText(invoiced)));
        } },
    { "negative-amount", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const InvoiceFacts &i = s.facts;
            const struct
            {
                const char *field;
                const char *name;
                double value;
            } amounts[] = { { "PRIXVENTE", "H.T", i.prixVente }, { "MONTANTFODEC", "FODEC", i.montantFodec },
                { "MONTANTDROITCONSOMMATION", "droit de consommation", i.montantDroitConsommation }, { "MONTANTTVA", "TVA", i.montantTva } };
            for (const auto &a : amounts)
                if (a.value < 0)
                    f.add(QString::fromLatin1(a.field), QStringLiteral("Montant %1 négatif : %2.").arg(QString::fromLatin1(a.name), amountText(a.value)));
        } },
    { "fodec-amount", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const InvoiceFacts &i = s.facts;
            amountCheck(f, "MONTANTFODEC", QStringLiteral("FODEC"), i.montantFodec, i.tauxFodec, i.prixVente,
                InvoiceComputations::fodecAmount(i.prixVente, i.tauxFodec), QString());
        } },
    { "duty-amount", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const InvoiceFacts &i = s.facts;
            amountCheck(f, "MONTANTDROITCONSOMMATION", QStringLiteral("du droit de consommation"), i.montantDroitConsommation,
                i.tauxDroitConsommation, i.prixVente, InvoiceComputations::dutyAmount(i.prixVente, i.tauxDroitConsommation), QString());
        } },
    { "vat-amount", Severity::Warning, Scope::Invoice,
        [](const Subject &s, Findings &f) {
            const InvoiceFacts &i = s.facts;
            const long double base = static_cast<long double>(i.prixVente) + i.montantFodec + i.montantDroitConsommation;
            amountCheck(f, "MONTANTTVA", QStringLiteral("TVA"), i.montantTva, i.tauxTva, static_cast<double>(base),
                InvoiceComputations::vatAmount(i.prixVente, i.montantFodec, i.montantDroitConsommation, i.tauxTva),
                QStringLiteral(" (H.T, FODEC et droit de consommation)"));
        } },
    { "totals-rounding", Severity::Warning, Scope::Quarter,
        [](const Subject &s, Findings &f) {
            totalCheck(f, "PRIXVENTE", QStringLiteral("H.T"), s.totals->prixVente, s.printed->prixVente);
            totalCheck(f, "MONTANTFODEC", QStringLiteral("FODEC"), s.totals->montantFodec, s.printed->montantFodec);
            totalCheck(f, "MONTANTDROITCONSOMMATION", QStringLiteral("droit de consommation"), s.totals->montantDroitConsommation,
                s.printed->montantDroitConsommation);
            totalCheck(f, "MONTANTTVA", QStringLiteral("TVA"), s.totals->montantTva, s.printed->montantTva);
        } },
};

} // namespace

InvoiceFacts InvoiceFacts::of(const DeclarationFormat::Invoice &i)
{
    InvoiceFacts f;
    f.number = trimControls(text(i.numeroFacture));
    f.kind = trimControls(text(i.typeIdClient));
    f.identifier = rightTrimmed(text(i.identifiantClient));
    f.resident = f.kind == QLatin1String("1") || f.kind == QLatin1String("2") || f.kind == QLatin1String("3");
    f.dated = hasDate(i.dateFacture);
    f.date = DeclarationFormat::number(i.dateFacture);
    f.authorised = hasDate(i.dateAutorisation);
    f.authorisation = DeclarationFormat::number(i.dateAutorisation);
    f.prixVente = DeclarationFormat::number(i.prixVente);
    f.tauxFodec = DeclarationFormat::number(i.tauxFodec);
    f.montantFodec = DeclarationFormat::number(i.montantFodec);
    f.tauxDroitConsommation = DeclarationFormat::number(i.tauxDroitConsommation);
    f.montantDroitConsommation = DeclarationFormat::number(i.montantDroitConsommation);
    f.tauxTva = DeclarationFormat::number(i.tauxTva);
    f.montantTva = DeclarationFormat::number(i.montantTva);
    return f;
}

const std::vector<Check> &checks()
{
    return Table;
}

const Check *findCheck(const QString &id)
{
    for (const Check &c : Table)
        if (id == QLatin1String(c.id))
            return &c;
    return nullptr;
}

Checker::Checker(Declared declared, QHash<QString, int> repeatedNumbers)
    : m_declared(std::move(declared))
    , m_repeated(std::move(repeatedNumbers))
{
}

void Checker::run(Scope scope, const Subject &subject)
{
    for (const Check &c : Table) {
        if (c.scope != scope)
            continue;
        Findings found;
        c.run(subject, found);
        for (const Findings::Item &item : found.items()) {
            Anomaly a;
            a.check = QString::fromLatin1(c.id);
            a.severity = c.severity;
            a.field = item.field;
            a.message = item.message;
            if (subject.invoice) {
                a.numeroOrdre = subject.invoice->numeroOrdre;
                a.numeroFacture = subject.facts.number;
                a.client = trimControls(text(subject.invoice->nomPrenomClient));
            }
            if (a.severity == Severity::Error)
                ++m_errors;
            m_anomalies.append(std::move(a));
        }
    }
}

void Checker::checkCompany()
{
    Subject s;
    s.declared = &m_declared;
    run(Scope::Company, s);
}

void Checker::checkInvoice(const DeclarationFormat::Invoice &invoice, int exercice, int trimestre)
{
    Subject s;
    s.declared = &m_declared;
    s.invoice = &invoice;
    s.facts = InvoiceFacts::of(invoice);
    s.exercice = exercice;
    s.trimestre = trimestre;
    s.repeatedNumbers = &m_repeated;
    run(Scope::Invoice, s);
    m_printed.prixVente += DeclarationFormat::millimes(s.facts.prixVente);
    m_printed.montantFodec += DeclarationFormat::millimes(s.facts.montantFodec);
    m_printed.montantDroitConsommation += DeclarationFormat::millimes(s.facts.montantDroitConsommation);
    m_printed.montantTva += DeclarationFormat::millimes(s.facts.montantTva);
}

void Checker::checkTotals(const DeclarationFormat::Totals &totals)
{
    Subject s;
    s.declared = &m_declared;
    s.totals = &totals;
    s.printed = &m_printed;
    run(Scope::Quarter, s);
}

QStringList companyHints(const QString &column, const QString &identifiant, const QString &cle, const QString &etab)
{
    const Declared declared { identifiant, cle, QString(), etab, QStringLiteral("T1") };
    Subject s;
    s.declared = &declared;
    QStringList messages;
    for (const Check &c : Table) {
        if (c.scope != Scope::Company)
            continue;
        Findings found;
        c.run(s, found);
        for (const Findings::Item &item : found.items())
            if (item.field == column)
                messages << item.message;
    }
    return messages;
}

QStringList clientHints(const QString &kind, const QString &identifier)
{
    DeclarationFormat::Invoice invoice;
    invoice.typeIdClient = kind;
    invoice.identifiantClient = identifier;
    Subject s;
    s.invoice = &invoice;
    s.facts = InvoiceFacts::of(invoice);
    QStringList messages;
    for (const Check &c : Table) {
        if (c.scope != Scope::Invoice)
            continue;
        Findings found;
        c.run(s, found);
        for (const Findings::Item &item : found.items())
            if (item.field == QLatin1String(IdentifiantClient))
                messages << item.message;
    }
    return messages;
}

QString severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("Erreur") : QStringLiteral("Avertissement");
}

QString lineText(const Anomaly &a)
{
    return QStringList { severityText(a.severity), a.numeroOrdre.isValid() ? a.numeroOrdre.toString() : QString(), a.numeroFacture, a.client,
        a.field, a.message }
        .join(QLatin1Char('\t'));
}

QString totalsText(const DeclarationFormat::Totals &t)
{
    return QStringLiteral("Factures : %1 ; H.T : %2 ; FODEC : %3 ; droit de consommation : %4 ; TVA : %5")
        .arg(t.count)
        .arg(amountText(t.prixVente), amountText(t.montantFodec), amountText(t.montantDroitConsommation), amountText(t.montantTva));
}

QString listText(const QString &heading, const QVector<Anomaly> &anomalies, const DeclarationFormat::Totals &totals)
{
    int errors = 0;
    QString text = heading + QLatin1Char('\n');
    for (const Anomaly &a : anomalies) {
        text += lineText(a) + QLatin1Char('\n');
        if (a.severity == Severity::Error)
            ++errors;
    }
    text += totalsText(totals) + QLatin1Char('\n');
    text += QStringLiteral("Erreurs : %1 ; avertissements : %2\n").arg(errors).arg(anomalies.size() - errors);
    return text;
}

QString headingText(const QString &matricule, const QString &quarterText, const QString &exercice)
{
    return QStringLiteral("Société %1 : %2 %3").arg(rightTrimmed(matricule), quarterText, exercice);
}

QString amountText(double value)
{
    // In millimes as the file writes them, grouped by thousands: the screens'
    // "# ### ##0.000" in French, without a general formatter's cost when a
    // quarter lists every invoice.
    bool fits = false;
    const qint64 m = DeclarationFormat::millimes(value, &fits);
    if (!fits)
        return formatFloat(QStringLiteral("# ### ##0.000"), value, french());
    const quint64 magnitude = m < 0 ? 0 - static_cast<quint64>(m) : static_cast<quint64>(m);
    QString units = QString::number(magnitude / 1000);
    for (qsizetype at = units.size() - 3; at > 0; at -= 3)
        units.insert(at, QLatin1Char(' '));
    return (m < 0 ? QStringLiteral("-") : QString()) + units + QLatin1Char(',')
        + QStringLiteral("%1").arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace DeclarationChecks
