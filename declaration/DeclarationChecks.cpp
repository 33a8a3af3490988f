#include "declaration/DeclarationChecks.h"

#include "core/DateTime.h"
#include "core/Formatting.h"
#include "core/Text.h"
#include "invoices/InvoiceComputations.h"

#include <algorithm>
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
            // The days of the quarter, worked out again only when it changes.
            static thread_local struct
            {
                int exercice = 0, trimestre = 0;
                double first = 0, next = 0;
            } days;
            if (days.exercice != s.exercice || days.trimestre != s.trimestre) {
                days = { s.exercice, s.trimestre, 0, 0 };
                if (s.trimestre >= 1 && s.trimestre <= 4) {
                    days.first = DateTime::encodeDate(s.exercice, 3 * s.trimestre - 2, 1);
                    days.next = s.trimestre == 4 ? DateTime::encodeDate(s.exercice + 1, 1, 1)
                                                 : DateTime::encodeDate(s.exercice, 3 * s.trimestre + 1, 1);
                }
            }
            const double day = std::floor(s.facts.date);
            if (day < days.first || day >= days.next)
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
    { "invoice-number-twice", Severity::Warning, Scope::Quarter,
        [](const Subject &s, Findings &f) {
            for (auto use = s.numbers->cbegin(); use != s.numbers->cend(); ++use) {
                const int times = static_cast<int>(use->inQuarter.size()) + use->elsewhere;
                if (times < 2)
                    continue;
                const QString message = QStringLiteral("Le numéro de facture %1 figure %2 fois dans l'exercice %3.")
                                            .arg(quoted(use.key()))
                                            .arg(times)
                                            .arg(s.declared->exercice);
                for (const InvoiceRef &invoice : use->inQuarter)
                    f.add(QStringLiteral("NUMEROFACTURE"), message, &invoice);
            }
        } },
    { "totals-rounding", Severity::Warning, Scope::Quarter,
        [](const Subject &s, Findings &f) {
            const DeclarationFormat::Totals &t = *s.totals;
            totalCheck(f, "PRIXVENTE", QStringLiteral("H.T"), t.prixVente, t.writtenPrixVente);
            totalCheck(f, "MONTANTFODEC", QStringLiteral("FODEC"), t.montantFodec, t.writtenFodec);
            totalCheck(f, "MONTANTDROITCONSOMMATION", QStringLiteral("droit de consommation"), t.montantDroitConsommation,
                t.writtenDroitConsommation);
            totalCheck(f, "MONTANTTVA", QStringLiteral("TVA"), t.montantTva, t.writtenTva);
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

Checker::Checker(Declared declared, QHash<QString, int> numbersElsewhere)
    : m_declared(std::move(declared))
    , m_elsewhere(std::move(numbersElsewhere))
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
            int position = scope == Scope::Company ? -1 : m_invoices;
            if (subject.invoice) {
                a.numeroOrdre = subject.invoice->numeroOrdre;
                a.numeroFacture = subject.facts.number;
                a.client = trimControls(text(subject.invoice->nomPrenomClient));
            } else if (item.invoice) {
                position = item.invoice->position;
                if (item.invoice->hasNumeroOrdre)
                    a.numeroOrdre = item.invoice->numeroOrdre;
                a.numeroFacture = item.invoice->numeroFacture;
                a.client = trimControls(item.invoice->nomPrenomClient);
            }
            if (a.severity == Severity::Error)
                ++m_errors;
            m_anomalies.append(std::move(a));
            m_positions.append(position);
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
    run(Scope::Invoice, s);
    if (!s.facts.number.isEmpty()) {
        const int index = static_cast<int>(m_seen.size());
        const QString name = text(invoice.nomPrenomClient);
        qsizetype from = 0, to = name.size();
        while (from < to && name[from].unicode() <= 0x20)
            ++from;
        while (to > from && name[to - 1].unicode() <= 0x20)
            --to;
        Seen seen { m_invoices, invoice.numeroOrdre.toLongLong(), invoice.numeroOrdre.isValid(),
            static_cast<qsizetype>(m_seenText.size()), s.facts.number.size(), 0, to - from };
        m_seenText.append(reinterpret_cast<const char16_t *>(s.facts.number.constData()), static_cast<size_t>(s.facts.number.size()));
        seen.clientAt = static_cast<qsizetype>(m_seenText.size());
        m_seenText.append(reinterpret_cast<const char16_t *>(name.constData()) + from, static_cast<size_t>(to - from));
        m_seen.append(seen);
        const size_t hash = qHash(s.facts.number);
        const int first = firstUse(s.facts.number, hash);
        if (first >= 0)
            m_seenAgain.append(first);
        else if (!m_firstSeen.contains(hash))
            m_firstSeen.insert(hash, index);
        else
            m_firstSeenOther.insert(s.facts.number, index);
    }
    ++m_invoices;
}

QStringView Checker::seenNumber(const Seen &seen) const
{
    return QStringView(m_seenText.data() + seen.numberAt, seen.numberLength);
}

InvoiceRef Checker::seenInvoice(const Seen &seen) const
{
    return { seen.position, seen.numeroOrdre, seen.hasNumeroOrdre, seenNumber(seen).toString(),
        QStringView(m_seenText.data() + seen.clientAt, seen.clientLength).toString() };
}

int Checker::firstUse(QStringView number, size_t hash) const
{
    const auto first = m_firstSeen.constFind(hash);
    if (first == m_firstSeen.constEnd())
        return -1;
    if (seenNumber(m_seen[*first]) == number)
        return *first;
    return m_firstSeenOther.value(number.toString(), -1);
}

void Checker::checkQuarter(const DeclarationFormat::Totals &totals)
{
    // The numbers used more than once: seen again in the quarter, or used
    // elsewhere in the year; then every invoice of the quarter that has one.
    QHash<QString, NumberUse> numbers;
    for (int first : std::as_const(m_seenAgain))
        numbers.insert(seenNumber(m_seen[first]).toString(), NumberUse());
    for (auto other = m_elsewhere.cbegin(); other != m_elsewhere.cend(); ++other)
        if (firstUse(other.key(), qHash(other.key())) >= 0)
            numbers.insert(other.key(), NumberUse());
    if (!numbers.isEmpty()) {
        for (auto use = numbers.begin(); use != numbers.end(); ++use)
            use->elsewhere = m_elsewhere.value(use.key());
        for (const Seen &seen : std::as_const(m_seen)) {
            const auto use = numbers.find(seenNumber(seen).toString());
            if (use != numbers.end())
                use->inQuarter.append(seenInvoice(seen));
        }
    }
    Subject s;
    s.declared = &m_declared;
    s.totals = &totals;
    s.numbers = &numbers;
    const qsizetype before = m_anomalies.size();
    run(Scope::Quarter, s);
    // What was found of an invoice goes where that invoice's own anomalies
    // stand: the list follows the file.
    bool inPlace = true;
    for (qsizetype i = before; i < m_positions.size(); ++i)
        inPlace = inPlace && m_positions[i] >= m_invoices;
    if (inPlace)
        return;
    QVector<qsizetype> order(m_anomalies.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](qsizetype a, qsizetype b) { return m_positions[a] < m_positions[b]; });
    QVector<Anomaly> sorted;
    QVector<int> positions;
    sorted.reserve(m_anomalies.size());
    positions.reserve(m_anomalies.size());
    for (qsizetype i : order) {
        sorted.append(std::move(m_anomalies[i]));
        positions.append(m_positions[i]);
    }
    m_anomalies = std::move(sorted);
    m_positions = std::move(positions);
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
