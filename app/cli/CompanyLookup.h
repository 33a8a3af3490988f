#pragma once

#include "core/WorkingContext.h"

#include <QString>

class Connection;

// The working context of the company whose joined tax identifier is
// matricule (trailing blanks aside), as choosing it on screen would give;
// false when the database has none.
bool findCompany(Connection &connection, const QString &matricule, WorkingContext &context);
