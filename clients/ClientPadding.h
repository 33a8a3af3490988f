#pragma once

#include <QString>

// The client form stores the identifier, the name and the address at the full
// width of their columns, because invoices copy them as stored and the
// declaration file takes them position by position.
namespace ClientPadding {

inline constexpr int IdentifierWidth = 13;
inline constexpr int NameWidth = 40;
inline constexpr int AddressWidth = 120;

// Blanks on the right up to `width`; a longer value is left as it is.
QString padded(const QString &value, int width);

} // namespace ClientPadding
