#include "report/ReportBand.h"

ReportBand &ReportBand::add(const ReportElement &element)
{
    m_elements.append(element);
    return *this;
}
