#include "invoices/InvoiceStatements.h"

#include "data/ListStatements.h"

namespace InvoiceStatements {

namespace {
struct Searched
{
    const char *title;
    const char *conditionPrefix;
    const char *order;
    const char *whenEmpty;
};

const Searched SearchedColumns[] = {
    { "Trm", "Trimestre LIKE ", " Order by  Identifiant,trimestre",
        "select * from facture WHERE identifiant=:id and exercice=:ex Order by Identifiant,trimestre" },
    { "Id.Bénéficiaire", "identifiantclient LIKE ", " Order by identifiantclient",
        "select * from facture WHERE identifiant=:id and exercice=:ex Order by identifiantclient" },
    { "Nom Prénom Ou Raison Sociale", "Nomprenomclient LIKE ", " Order by Nomprenomclient",
        "select * from facture WHERE identifiant=:id and exercice=:ex Order by Nomprenomclient" },
    { "N°Facture", "Numerofacture LIKE ", " Order by Numerofacture",
        "select * from facture WHERE identifiant=:id and exercice=:ex Order by Numerofacture" },
};
} // namespace

QString opening()
{
    return QStringLiteral(
        "select * from FACTURE WHERE identifiant=:id and exercice=:ex Order by IDENTIFIANT,EXERCICE,TRIMeSTRE,NUMEROORDRE");
}

QString sortedBy(const QString &fieldName)
{
    return QStringLiteral("select * from Facture  WHERE identifiant=:id and exercice=:ex  Order by ") + fieldName;
}

std::optional<QString> search(const QString &searchedTitle, const QString &typed)
{
    for (const Searched &s : SearchedColumns) {
        if (searchedTitle != QString::fromUtf8(s.title))
            continue;
        if (typed.isEmpty())
            return QString::fromUtf8(s.whenEmpty);
        return QStringLiteral("select * from facture WHERE identifiant=:id and exercice=:ex and ")
            + ListStatements::likeCondition(QString::fromLatin1(s.conditionPrefix), typed) + QString::fromLatin1(s.order);
    }
    return std::nullopt;
}

} // namespace InvoiceStatements
