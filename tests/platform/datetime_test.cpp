#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

namespace {

struct Ymd {
  int year, month, day;
};

Ymd Date(TDateTime d) {
  WORD y, m, dd;
  DecodeDate(d, y, m, dd);
  return {y, m, dd};
}

struct Hms {
  int hour, minute, second, ms;
};

Hms Time(TDateTime d) {
  WORD h, m, s, ms;
  DecodeTime(d, h, m, s, ms);
  return {h, m, s, ms};
}

TEST(DateTime, EncodesDaysFromTheEpoch) {
  struct Case {
    WORD y, m, d;
    double expected;
  } cases[] = {
      {1899, 12, 30, 0},       {1899, 12, 31, 1},       {1900, 3, 1, 61},
      {2000, 1, 1, 36526},     {2000, 2, 29, 36585},    {2000, 3, 1, 36586},
      {1, 1, 1, -693593},      {9999, 12, 31, 2958465}, {1600, 2, 29, -109512},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateTime, RejectsDatesOutsideTheCalendar) {
  struct Case {
    WORD y, m, d;
  } cases[] = {{2000, 2, 30}, {1900, 2, 29}, {2001, 4, 31}, {0, 1, 1},
               {10000, 1, 1}, {2000, 0, 1},  {2000, 13, 1}, {2000, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_THROW(EncodeDate(c.y, c.m, c.d), EDateTimeError) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateTime, DecodesEveryEncodedDateBack) {
  int previousWeekday = DayOfWeek(-693594 + 1);
  for (int64_t day = -693593; day <= 2958465; day += 1) {
    const Ymd d = Date(static_cast<double>(day));
    ASSERT_EQ(EncodeDate(d.year, d.month, d.day), day) << day;
    if (day > -693593) {
      const int weekday = DayOfWeek(static_cast<double>(day));
      ASSERT_EQ(weekday, previousWeekday % 7 + 1) << day;
      previousWeekday = weekday;
    }
  }
  EXPECT_EQ(DayOfWeek(-693593), 2);  // 1 January 1 was a Monday
}

TEST(DateTime, KnowsTheDayOfTheWeek) {
  EXPECT_EQ(DayOfWeek(36526), 7);          // Saturday 1 January 2000
  EXPECT_EQ(DayOfWeek(36526 + 0.99), 7);   // the time does not change the day
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5);  // a Thursday
  EXPECT_EQ(DayOfWeek(0), 7);
}

TEST(DateTime, EncodesTimesOfDay) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(18, 0, 0, 0), 0.75);
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EDateTimeError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EDateTimeError);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), EDateTimeError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EDateTimeError);
}

TEST(DateTime, DecodesTimesToTheMillisecond) {
  const Hms t = Time(0.75);
  EXPECT_EQ(t.hour, 18);
  EXPECT_EQ(t.minute, 0);
  EXPECT_EQ(t.second, 0);
  // The sum lies a hair below 1:02:03 in binary; rounding keeps the second.
  for (int h = 0; h < 24; ++h) {
    for (int s = 0; s < 60; s += 7) {
      const Hms u = Time(36526 + EncodeTime(h, 59 - s, s, 0));
      ASSERT_EQ(u.hour, h);
      ASSERT_EQ(u.minute, 59 - s);
      ASSERT_EQ(u.second, s);
      ASSERT_EQ(u.ms, 0);
    }
  }
  EXPECT_EQ(Time(EncodeTime(1, 2, 3, 456)).ms, 456);
}

TEST(DateTime, ATimeJustBeforeMidnightBelongsToTheNextDay) {
  const double d = 36526 + 0.99999999999;
  const Ymd date = Date(d);
  EXPECT_EQ(date.year, 2000);
  EXPECT_EQ(date.month, 1);
  EXPECT_EQ(date.day, 2);
  EXPECT_EQ(Time(d).hour, 0);
}

TEST(DateTime, DatesBefore1899AddUpWithTheirTime) {
  const double d = EncodeDate(1899, 12, 29) + EncodeTime(6, 0, 0, 0);  // -0.75
  const Ymd date = Date(d);
  EXPECT_EQ(date.year, 1899);
  EXPECT_EQ(date.month, 12);
  EXPECT_EQ(date.day, 29);
  EXPECT_EQ(Time(d).hour, 6);
}

TEST(DateTime, ValuesOutsideTheCalendarDecodeAsZero) {
  const double outside[] = {-693594, 2958466, 1e300, -1e300,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
  for (double d : outside) {
    const Ymd date = Date(d);
    EXPECT_EQ(date.year + date.month + date.day, 0) << d;
    EXPECT_EQ(DayOfWeek(d), 0) << d;
  }
  EXPECT_EQ(Time(std::numeric_limits<double>::quiet_NaN()).hour, 0);
  EXPECT_EQ(Time(1e9 + 0.5).hour, 12);
}

TEST(DateTime, NowIsTheLocalDateAndTime) {
  const time_t before = time(nullptr);
  const TDateTime now = Now();
  const time_t after = time(nullptr);
  tm b{}, a{};
  localtime_r(&before, &b);
  localtime_r(&after, &a);
  const Ymd d = Date(now);
  const Hms t = Time(now);
  const bool matchesBefore = d.year == b.tm_year + 1900 && d.month == b.tm_mon + 1 &&
                             d.day == b.tm_mday && t.hour == b.tm_hour && t.minute == b.tm_min;
  const bool matchesAfter = d.year == a.tm_year + 1900 && d.month == a.tm_mon + 1 &&
                            d.day == a.tm_mday && t.hour == a.tm_hour && t.minute == a.tm_min;
  EXPECT_TRUE(matchesBefore || matchesAfter);
}

}  // namespace
