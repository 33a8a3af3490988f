#pragma once

#include <QString>

class Connection;

// Invoice rows for benchmarks: one company (0123456AM000), year 2008,
// spread over `quarters` quarters, with full-width texts, dates in their
// quarter and amounts as the invoice form computes them.
void fillInvoices(Connection &connection, int rows, int quarters);
// A new database in dir, filled as fillInvoices does; its name.
QString invoiceDatabase(const QString &dir, int rows, int quarters);
// Resident memory of this process, in KiB.
long residentKiB();
