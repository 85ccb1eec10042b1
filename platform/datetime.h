// datetime: date and time values.
// A double whose whole part counts days from
// 30 December 1899 and whose fraction is the time of day.
#pragma once

#include <exception>

#include "platform/api.h"

using TDateTime = double;

// Raised when a date or a time cannot be encoded.
class PLATFORM_API EDateTimeError : public std::exception {
public:
  const char* what() const noexcept override;
};

// The current local date and time, to the millisecond.
PLATFORM_API TDateTime Now();
// Year 1 to 9999, month 1 to 12, a day of that month (Gregorian leap years);
// anything else raises EDateTimeError.
PLATFORM_API TDateTime EncodeDate(WORD year, WORD month, WORD day);
// Hour 0 to 23, minute and second 0 to 59, millisecond 0 to 999; anything
// else raises EDateTimeError.
PLATFORM_API TDateTime EncodeTime(WORD hour, WORD minute, WORD second, WORD millisecond);
// Values are rounded to the millisecond first, so a time a hair below midnight
// belongs to the next day in both decoders. The day is the whole part rounded
// down and the time the rest, so a date before 1899 plus a time decodes as
// that date and time (-0.75 is 6:00 on 29 December 1899). A value outside
// 1 January 1 to 31 December 9999 (or not finite) decodes as year, month and
// day 0.
PLATFORM_API void DecodeDate(TDateTime value, WORD& year, WORD& month, WORD& day);
// A value that is not finite decodes as 0:00:00.000.
PLATFORM_API void DecodeTime(TDateTime value, WORD& hour, WORD& minute, WORD& second,
                             WORD& millisecond);
// 1 for Sunday to 7 for Saturday; 0 where DecodeDate gives no date.
PLATFORM_API WORD DayOfWeek(TDateTime value);
