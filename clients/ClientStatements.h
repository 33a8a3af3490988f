#pragma once

#include <QString>

#include <optional>

// The statements the client windows give the shared client data set. Each
// list searches only some of its columns, found by the title shown in the
// search bar; for the other titles typing changes nothing (no statement).
namespace ClientStatements {

// The client list: all clients by code when it opens; the closing text (with
// its trailing blank) is what the invoice form's lookup finds afterwards.
QString listOpening();
QString listClosing();
// The client picker: all clients by identifier.
QString pickerOpening();

// A click on a column title: all clients ordered by that column.
QString sortedBy(const QString &fieldName);

// The typed text as a prefix of the searched column, ordered by it; the whole
// register in that order for an empty text.
std::optional<QString> listSearch(const QString &searchedTitle, const QString &typed);
std::optional<QString> pickerSearch(const QString &searchedTitle, const QString &typed);

} // namespace ClientStatements
