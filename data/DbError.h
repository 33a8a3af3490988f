#pragma once

#include "core/Error.h"

#include <QList>

// A failure reported by the database client or server, with its own text and
// the error codes of its status vector (the first is the main one, the
// others tell it apart: a lock conflict comes as "deadlock" followed by
// "update conflict" or "lock time-out").
class DbError : public Error
{
public:
    explicit DbError(QString text, QList<int> gdsCodes = {})
        : Error(std::move(text))
        , m_gdsCodes(std::move(gdsCodes))
    {
    }
    // What the operator reads when a server refuses the configured user or
    // password, in place of the server's text: neither is repeated.
    static inline const QString LoginRefusedMessage = QStringLiteral(
        "Le serveur Firebird a refusé l'utilisateur ou le mot de passe de la configuration de Kestra : la base n'a pas été ouverte.");

    int gdsCode() const { return m_gdsCodes.isEmpty() ? 0 : m_gdsCodes.first(); }
    bool hasCode(int code) const { return m_gdsCodes.contains(code); }

    // Whether another connection's work stood in the way: a write that met a
    // row another transaction holds, whether the wait timed out or the other
    // transaction committed first.
    bool isLockConflict() const;
    // The write waited for another transaction longer than allowed.
    bool hasLockTimeout() const;
    // A primary or unique key that another row already holds.
    bool isKeyViolation() const;

private:
    QList<int> m_gdsCodes;
};
