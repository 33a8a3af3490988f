#include "core/DateTime.h"

#include <gtest/gtest.h>

TEST(DateTime, DayCountsFrom1899)
{
    EXPECT_EQ(DateTime::encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(DateTime::encodeDate(2008, 1, 1), 39448.0);
    EXPECT_EQ(DateTime::encodeDate(2008, 2, 30), 0.0);
    int y, m, d, h, n, s, ms;
    DateTime::decodeDate(-1.25, y, m, d);
    DateTime::decodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
    EXPECT_EQ(h, 6);
    EXPECT_EQ(DateTime::toQDate(45366), QDate(2024, 3, 15));
}
