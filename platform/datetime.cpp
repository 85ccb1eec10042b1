// datetime: date and time values, encoded, decoded and read from the clock.
#include "platform/datetime.h"

#include <sys/time.h>

#include <cmath>
#include <cstdint>
#include <ctime>

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 1 January 1 (day 1) to 30 December 1899.
constexpr int64_t kEpochOffset = 693594;
// Day numbers (from 30 December 1899) of 1 January 1 and 31 December 9999.
constexpr int64_t kFirstDay = 1 - kEpochOffset;
constexpr int64_t kLastDay = 2958465;

bool IsLeap(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Whole days (rounded down) and milliseconds of the day, the value rounded to
// the millisecond first; false when the value is not finite or lies far
// outside the calendar.
bool Split(TDateTime value, int64_t& days, int64_t& ms) {
  if (!std::isfinite(value) || value < kFirstDay - 1 || value > kLastDay + 1) return false;
  const int64_t total = std::llround(value * kMsPerDay);
  days = total / kMsPerDay;
  ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  return true;
}

}  // namespace

const char* EDateTimeError::what() const noexcept { return "invalid date or time"; }

TDateTime EncodeDate(WORD year, WORD month, WORD day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    throw EDateTimeError();
  }
  const int64_t y = year - 1;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day;
  return static_cast<double>(days - kEpochOffset);
}

TDateTime EncodeTime(WORD hour, WORD minute, WORD second, WORD millisecond) {
  if (hour > 23 || minute > 59 || second > 59 || millisecond > 999) throw EDateTimeError();
  const int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / kMsPerDay;
}

void DecodeDate(TDateTime value, WORD& year, WORD& month, WORD& day) {
  year = month = day = 0;
  int64_t days = 0;
  int64_t ms = 0;
  if (!Split(value, days, ms) || days < kFirstDay || days > kLastDay) return;

  // Days since 1 January 1, counted from 0, cut into 400-, 100-, 4- and 1-year cycles.
  int64_t n = days + kEpochOffset - 1;
  int64_t y = 1 + 400 * (n / 146097);
  n %= 146097;
  int64_t c = n / 36524;
  if (c == 4) c = 3;
  y += 100 * c;
  n -= c * 36524;
  y += 4 * (n / 1461);
  n %= 1461;
  int64_t k = n / 365;
  if (k == 4) k = 3;
  y += k;
  n -= k * 365;

  int m = 1;
  while (n >= DaysInMonth(y, m)) {
    n -= DaysInMonth(y, m);
    ++m;
  }
  year = static_cast<WORD>(y);
  month = static_cast<WORD>(m);
  day = static_cast<WORD>(n + 1);
}

void DecodeTime(TDateTime value, WORD& hour, WORD& minute, WORD& second, WORD& millisecond) {
  hour = minute = second = millisecond = 0;
  int64_t days = 0;
  int64_t ms = 0;
  if (!std::isfinite(value)) return;
  if (!Split(value, days, ms)) {
    // Far outside the calendar only the fraction is meaningful.
    const double fraction = value - std::floor(value);
    ms = std::llround(fraction * kMsPerDay) % kMsPerDay;
  }
  millisecond = static_cast<WORD>(ms % 1000);
  ms /= 1000;
  second = static_cast<WORD>(ms % 60);
  ms /= 60;
  minute = static_cast<WORD>(ms % 60);
  hour = static_cast<WORD>(ms / 60);
}

WORD DayOfWeek(TDateTime value) {
  int64_t days = 0;
  int64_t ms = 0;
  if (!Split(value, days, ms) || days < kFirstDay || days > kLastDay) return 0;
  // Day 1 of year 1 was a Monday.
  const int64_t n = days + kEpochOffset;
  return static_cast<WORD>(n % 7 + 1);
}

TDateTime Now() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm local{};
  const time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &local);
  const TDateTime date = EncodeDate(static_cast<WORD>(local.tm_year + 1900),
                                    static_cast<WORD>(local.tm_mon + 1),
                                    static_cast<WORD>(local.tm_mday));
  // A leap second (tm_sec 60) counts as the last second of its minute.
  const WORD second = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  return date + EncodeTime(static_cast<WORD>(local.tm_hour), static_cast<WORD>(local.tm_min),
                           second, static_cast<WORD>(tv.tv_usec / 1000));
}
