#pragma once

#include "data/Connection.h"

#include <QString>
#include <QStringList>

class Connection;

// The database's tables and procedures, kept in one SQL script that isql-fb
// can also read.
namespace Schema {

QString script();
// The statements of a script, "SET TERM" honoured, comments kept inside.
QStringList statements(const QString &script);
// Creates a dialect 1 WIN1252 database at path with the schema (or with
// another script: a database as an older release made it), owned by the
// user it is created as. Never overwrites: an existing file raises an Error
// and stays untouched.
void createDatabase(const QString &path, const Credentials &credentials = Credentials::defaults());
void createDatabase(const QString &path, const QString &script, const Credentials &credentials = Credentials::defaults());

// The tables added to the schema after the first release.
QStringList addedTables();
// Adds to an open database the tables it lacks, each with its statement
// from the schema script, committed on its own. Run when a database is
// opened; other workstations may be attached, and one of them may be adding
// the same table at the same moment: whoever comes second finds it made.
// Throws Error when a table is missing and cannot be made.
void upgrade(Connection &connection);

} // namespace Schema
