#include "invoices/InvoiceComputations.h"

namespace InvoiceComputations {

double fodecAmount(double price, double fodecRate)
{
    long double r = static_cast<long double>(price) * fodecRate;
    return static_cast<double>(r / 100);
}

double dutyAmount(double price, double dutyRate)
{
    long double r = static_cast<long double>(price) * dutyRate;
    return static_cast<double>(r / 100);
}

double vatAmount(double price, double fodec, double duty, double vatRate)
{
    long double base = static_cast<long double>(price) + fodec;
    base += duty;
    return static_cast<double>(base * vatRate / 100);
}

} // namespace InvoiceComputations
