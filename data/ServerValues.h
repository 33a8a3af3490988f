#pragma once

// How the server stores dates and times: days from 17/11/1858 and
// ten-thousandths of a second; the program counts days from 30/12/1899.
namespace ServerValues {

constexpr int DayOffset = 15018;
constexpr double TimeUnitsPerDay = 864000000.0;

// A TIMESTAMP (date then time, 4 bytes each) to the program's day count, and back.
double timestampToDays(const unsigned char *p);
void daysToTimestamp(double value, unsigned char *p);

} // namespace ServerValues
