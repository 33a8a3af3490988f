#pragma once

#include "data/Connection.h"

#include <QString>
#include <QStringList>

// The database's tables and procedures, kept in one SQL script that isql-fb
// can also read.
namespace Schema {

QString script();
// The statements of a script, "SET TERM" honoured, comments kept inside.
QStringList statements(const QString &script);
// Creates a dialect 1 WIN1252 database at path with the schema, owned by
// the user it is created as. Never overwrites: an existing file raises an
// Error and stays untouched.
void createDatabase(const QString &path, const Credentials &credentials = Credentials::defaults());

} // namespace Schema
