#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>

// Dates are day counts from 30 December 1899 with the time of day as the
// fraction, the convention the stored files and the declaration rely on.
namespace DateTime {

constexpr double Zero = 0.0; // 30/12/1899

bool tryEncodeDate(int year, int month, int day, double &result);
double encodeDate(int year, int month, int day); // 0 when invalid
bool tryEncodeTime(int hour, int minute, int second, int msec, double &result);
double encodeTime(int hour, int minute, int second, int msec);

void decodeDate(double value, int &year, int &month, int &day);
void decodeTime(double value, int &hour, int &minute, int &second, int &msec);
int dayOfWeek(double value); // 1 = Sunday .. 7 = Saturday

double fromQDate(const QDate &date);
double fromQDateTime(const QDateTime &dateTime);
QDate toQDate(double value);
QDateTime toQDateTime(double value);
double today();
double now();

} // namespace DateTime

#include <QMetaType>

// A date-time value carried in a QVariant, so that it is never mistaken for
// a plain number: the day count of the convention above.
struct TimeStamp
{
    double value = 0.0;
    bool operator==(const TimeStamp &o) const { return value == o.value; }
};
Q_DECLARE_METATYPE(TimeStamp)

inline bool isTimeStamp(const QVariant &v)
{
    return v.metaType() == QMetaType::fromType<TimeStamp>();
}
