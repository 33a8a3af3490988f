#pragma once

#include "data/Connection.h"

#include <QString>

// A new register database, as kestra-cli create-db and the first start make
// it: DIR/Kestra.GDB with the schema, and the demonstration data when asked.
namespace NewDatabase {

// Makes a local directory when needed (a server's is the server's to have)
// and the database in it, as the user given, who then owns it; returns the
// database's name. Never over an existing file. Throws Error; a database
// this call made and could not fill is removed again, so that the same call
// can be made once the fault is mended.
QString create(const QString &directory, bool demo, const Credentials &credentials = Credentials::defaults());

} // namespace NewDatabase
