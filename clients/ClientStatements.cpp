#include "clients/ClientStatements.h"

#include "data/ListStatements.h"

namespace ClientStatements {

namespace {

struct SearchColumn
{
    const char *title;
    const char *conditionPrefix;
    const char *orderClause;
};

// The same three columns in both windows; the picker names the name column
// after its own title.
constexpr SearchColumn ListColumns[] = {
    { "Code", "Code LIKE ", " Order by Code" },
    { "Nom Tiers", "Nombeneficiaire LIKE ", " Order by Nombeneficiaire" },
    { "Identifiant", "Identifiant LIKE ", " Order by Identifiant" },
};
constexpr SearchColumn PickerColumns[] = {
    { "Code", "Code LIKE ", " Order by Code" },
    { "Identifiant", "Identifiant LIKE ", " Order by Identifiant" },
    { "Nom ou Raison Sociale", "Nombeneficiaire LIKE ", " Order by Nombeneficiaire" },
};

template <size_t N> std::optional<QString> search(const SearchColumn (&columns)[N], const QString &searchedTitle, const QString &typed)
{
    for (const SearchColumn &c : columns) {
        if (searchedTitle != QString::fromUtf8(c.title))
            continue;
        const QString order = QString::fromUtf8(c.orderClause);
        if (typed.isEmpty())
            return QStringLiteral("select * from tiers") + order;
        return QStringLiteral("select * from tiers Where ") + ListStatements::likeCondition(QString::fromUtf8(c.conditionPrefix), typed)
            + order;
    }
    return std::nullopt;
}

} // namespace

QString listOpening()
{
    return QStringLiteral("select * from tiers Order by code");
}

QString listClosing()
{
    return QStringLiteral("select * from tiers Order by code ");
}

QString pickerOpening()
{
    return QStringLiteral("select * from tiers Order by identifiant ");
}

QString sortedBy(const QString &fieldName)
{
    return QStringLiteral("select * from tiers Order by ") + fieldName;
}

std::optional<QString> listSearch(const QString &searchedTitle, const QString &typed)
{
    return search(ListColumns, searchedTitle, typed);
}

std::optional<QString> pickerSearch(const QString &searchedTitle, const QString &typed)
{
    return search(PickerColumns, searchedTitle, typed);
}

} // namespace ClientStatements
