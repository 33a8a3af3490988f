#pragma once

#include <QList>
#include <QString>

// The storage and password rules of the company screens.
namespace CompanyRules {

// The texts the declaration file copies as stored, with the width each one
// is stored at: the declaration's fields only line up when they are full.
struct PaddedColumn
{
    const char *column;
    int width;
};
const QList<PaddedColumn> &paddedColumns();
// The width a column is padded to, 0 for a column that is stored as typed.
int paddedWidth(const QString &column);

// The text followed by blanks up to the width; a text as long or longer is
// left as it is.
QString padToWidth(const QString &text, int width);

// The deletion of a company: the administrator password, blanks and control
// characters at either end ignored, letters compared as typed.
bool deletionPasswordAccepted(const QString &typed);

} // namespace CompanyRules
