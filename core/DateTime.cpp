#include "core/DateTime.h"

#include <cmath>

namespace {
const qint64 Epoch = QDate(1899, 12, 30).toJulianDay();
constexpr double MSecsPerDay = 86400000.0;

// Whole day part and the time fraction as a positive number, so that
// -1.25 means 29/12/1899 06:00 as in the stored files' convention.
void split(double value, qint64 &days, double &fraction)
{
    double whole = std::trunc(value);
    days = static_cast<qint64>(whole);
    fraction = std::fabs(value - whole);
}

qint64 msecOfDay(double fraction)
{
    auto ms = static_cast<qint64>(std::llround(fraction * MSecsPerDay));
    return ms >= 86400000 ? 86399999 : ms;
}
} // namespace

namespace DateTime {

bool tryEncodeDate(int year, int month, int day, double &result)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    result = static_cast<double>(QDate(year, month, day).toJulianDay() - Epoch);
    return true;
}

double encodeDate(int year, int month, int day)
{
    double r = 0;
    return tryEncodeDate(year, month, day, r) ? r : 0.0;
}

bool tryEncodeTime(int hour, int minute, int second, int msec, double &result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / MSecsPerDay;
    return true;
}

double encodeTime(int hour, int minute, int second, int msec)
{
    double r = 0;
    return tryEncodeTime(hour, minute, second, msec, r) ? r : 0.0;
}

void decodeDate(double value, int &year, int &month, int &day)
{
    qint64 days;
    double fraction;
    split(value, days, fraction);
    QDate d = QDate::fromJulianDay(days + Epoch);
    d.getDate(&year, &month, &day);
}

void decodeTime(double value, int &hour, int &minute, int &second, int &msec)
{
    qint64 days;
    double fraction;
    split(value, days, fraction);
    qint64 ms = msecOfDay(fraction);
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int dayOfWeek(double value)
{
    return toQDate(value).dayOfWeek() % 7 + 1;
}

double fromQDate(const QDate &date)
{
    return date.isValid() ? static_cast<double>(date.toJulianDay() - Epoch) : 0.0;
}

double fromQDateTime(const QDateTime &dateTime)
{
    double days = fromQDate(dateTime.date());
    double t = dateTime.time().msecsSinceStartOfDay() / MSecsPerDay;
    return days >= 0 ? days + t : days - t;
}

QDate toQDate(double value)
{
    qint64 days;
    double fraction;
    split(value, days, fraction);
    return QDate::fromJulianDay(days + Epoch);
}

QDateTime toQDateTime(double value)
{
    qint64 days;
    double fraction;
    split(value, days, fraction);
    return QDateTime(QDate::fromJulianDay(days + Epoch), QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecOfDay(fraction))));
}

double today()
{
    return fromQDate(QDate::currentDate());
}

double now()
{
    return fromQDateTime(QDateTime::currentDateTime());
}

} // namespace DateTime
