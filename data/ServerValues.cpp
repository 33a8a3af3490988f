#include "data/ServerValues.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ServerValues {

double timestampToDays(const unsigned char *p)
{
    std::int32_t date;
    std::uint32_t time;
    std::memcpy(&date, p, 4);
    std::memcpy(&time, p + 4, 4);
    const double days = static_cast<double>(date) - DayOffset;
    const double fraction = time / TimeUnitsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

void daysToTimestamp(double value, unsigned char *p)
{
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    auto units = static_cast<std::int64_t>(std::llround(fraction * TimeUnitsPerDay));
    if (units >= static_cast<std::int64_t>(TimeUnitsPerDay))
        units = static_cast<std::int64_t>(TimeUnitsPerDay) - 1;
    const auto date = static_cast<std::int32_t>(static_cast<std::int64_t>(whole) + DayOffset);
    const auto time = static_cast<std::uint32_t>(units);
    std::memcpy(p, &date, 4);
    std::memcpy(p + 4, &time, 4);
}

} // namespace ServerValues
