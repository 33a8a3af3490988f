#pragma once

#include <QString>
#include <QStringList>

// Replaces each ":name" outside string literals, quoted names and comments by
// "?" and lists the names in order of their places (upper case, so that
// parameters match without regard to case; one name may stand at several places).
QString translateNamedParameters(const QString &sql, QStringList &names);
