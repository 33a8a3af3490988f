#pragma once

#include "core/Error.h"

// A failure reported by the database client or server, with its own text.
class DbError : public Error
{
public:
    explicit DbError(QString text, int gdsCode = 0)
        : Error(std::move(text))
        , m_gdsCode(gdsCode)
    {
    }
    int gdsCode() const { return m_gdsCode; }

private:
    int m_gdsCode;
};
