#pragma once

#include <QString>

class Connection;

// Erasing stored data behind the administrator password: the movements (the
// invoice register) or everything that was entered. The database's own
// procedures do the erasing.
namespace DataReset {

inline const QString AdministratorPassword = QStringLiteral("quillbark");

// The reset's password is taken exactly as typed: no blank is forgiven.
bool passwordAccepted(const QString &typed);

enum class Depth { Movements, Complete };

QString procedureName(Depth depth); // INITIALISATIONMVT or INITIALISATION

} // namespace DataReset

// A stored procedure without parameters, executed inside the shared
// transaction. No commit follows: the work becomes durable with the next
// commit of that transaction, as every other change does.
class StoredProcedure
{
public:
    StoredProcedure(Connection &connection, const QString &procedureName);

    const QString &procedureName() const { return m_name; }
    // Throws DbError with the server's text.
    void execute();

private:
    Connection &m_connection;
    QString m_name;
};
