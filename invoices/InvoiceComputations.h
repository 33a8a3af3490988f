#pragma once

// The three tax amounts of an invoice, computed in extended precision in the
// order written and stored unrounded; screens and the declaration round.
namespace InvoiceComputations {

double fodecAmount(double price, double fodecRate);
double dutyAmount(double price, double dutyRate);
// On the price plus the FODEC plus the consumption duty.
double vatAmount(double price, double fodec, double duty, double vatRate);

} // namespace InvoiceComputations
