#pragma once

class DataSet;

// What the invoice form does to the row it edits when the operator leaves an
// edit; plain work on the invoice's fields, the same with or without a screen.
namespace InvoiceRules {

// A quarter from 1 to 4; an empty quarter counts as 0.
bool quarterIsValid(const DataSet &invoice);

// Each amount is computed only while it is zero (or empty), from the price
// and its rate; an amount already set is never recomputed.
void computeFodec(DataSet &invoice);
void computeDuty(DataSet &invoice);
void computeVat(DataSet &invoice);

// Copies the client on which the client data set stands into the invoice:
// code, kind and identifier, name, address, authorisation number and date,
// texts as stored cut to the invoice's widths, an empty date as 30/12/1899.
void copyClient(const DataSet &clients, DataSet &invoice);

} // namespace InvoiceRules
