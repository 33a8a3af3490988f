#pragma once

#include "core/WorkingContext.h"

#include <QString>

class DataSet;

// How a company row becomes the working context, with or without the
// selection window.

// The statement the company selection opens with: every company, in order of
// tax identifier.
inline const QString CompanySelectionSql = QStringLiteral("select * from Societe Order by identifiant ");

// Copies the current company row into the working context, as stored.
void chooseCompany(const DataSet &societes, WorkingContext &context);
