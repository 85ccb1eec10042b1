// s07: the numeric and date-time built-ins.
#include <cmath>
#include <cstdlib>

#include "interpreter/builtin.h"
#include "interpreter/engine.h"
#include "interpreter/handlers.h"
#include "platform/datetime.h"

namespace {

// 0 for 0, else a draw of the generator that WBExec seeds, reduced into
// 0 .. |n| - 1 (the draw is never negative, so % keeps it so).
int32_t RandomBelow(int32_t n) {
  if (n == 0) return 0;
  const int32_t draw = std::rand() & 0x7FFFFFFF;
  return draw % n;
}

// The date routines take their parts as 16-bit numbers.
WORD Low16(int32_t v) { return static_cast<WORD>(v); }

template <double (*F)(double)>
int32_t RealOf(wbsub* context) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(F(call.Real(0)));
}

double Floor(double x) { return std::floor(x); }
double Fabs(double x) { return std::fabs(x); }
double Exp(double x) { return std::exp(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Atan(double x) { return std::atan(x); }

// The parts of a date or a time as integers.
enum Part { pYear, pMonth, pDay, pWeek, pHour, pMinute, pSecond };

template <Part P>
int32_t PartOf(wbsub* context) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const TDateTime d = call.Real(0);
  WORD year, month, day, hour, minute, second, ms;
  DecodeDate(d, year, month, day);
  DecodeTime(d, hour, minute, second, ms);
  WORD part = 0;
  switch (P) {
    case pYear: part = year; break;
    case pMonth: part = month; break;
    case pDay: part = day; break;
    case pWeek: part = DayOfWeek(d); break;
    case pHour: part = hour; break;
    case pMinute: part = minute; break;
    case pSecond: part = second; break;
  }
  return call.Return(static_cast<int32_t>(part));
}

}  // namespace

// INT(x), ABS(x), EXP(x), SIN(x), COS(x), TAN(x), ATAN(x)
VEK_HANDLER(FnInt) { return RealOf<Floor>(context); }
VEK_HANDLER(FnAbs) { return RealOf<Fabs>(context); }
VEK_HANDLER(FnExp) { return RealOf<Exp>(context); }
VEK_HANDLER(FnSin) { return RealOf<Sin>(context); }
VEK_HANDLER(FnCos) { return RealOf<Cos>(context); }
VEK_HANDLER(FnTan) { return RealOf<Tan>(context); }
VEK_HANDLER(FnAtan) { return RealOf<Atan>(context); }

// RND(n)
VEK_HANDLER(FnRnd) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(static_cast<double>(RandomBelow(call.Int(0))));
}

// SGN(x)
VEK_HANDLER(FnSgn) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const double x = call.Real(0);
  return call.Return(int32_t{x > 0 ? 1 : x == 0 ? 0 : -1});
}

// POW(x, y)
VEK_HANDLER(FnPow) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  return call.Return(std::pow(call.Real(0), call.Real(1)));
}

// LOG(x)
VEK_HANDLER(FnLog) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const double x = call.Real(0);
  if (!(x > 0)) return Fail(context, erArithmetic);
  return call.Return(std::log(x));
}

// SQR(x)
VEK_HANDLER(FnSqr) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const double x = call.Real(0);
  if (x < 0) return Fail(context, erArithmetic);
  return call.Return(std::sqrt(x));
}

// MOD(a, b)
VEK_HANDLER(FnMod) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const double a = call.Real(0);
  const double b = call.Real(1);
  double r;
  if (b == 0 || a == 0 || std::isinf(a)) {
    r = 0;
  } else {
    // A zero remainder is +0, so MOD(-6, 3) prints 0, not -0.
    r = std::fmod(a, b) + 0.0;
  }
  return call.Return(r);
}

// ROUND(x, digits)
VEK_HANDLER(FnRound) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const double p = std::pow(10.0, call.Real(1));
  return call.Return(std::floor(call.Real(0) * p + 0.5) / p);
}

// NOW()
VEK_HANDLER(FnNow) {
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  return call.Return(static_cast<double>(Now()));
}

// DATE(year, month, day)
VEK_HANDLER(FnDate) {
  BuiltinCall call(context, 3);
  if (!call.ok()) return stFailed;
  TDateTime d;
  try {
    d = EncodeDate(Low16(call.Int(0)), Low16(call.Int(1)), Low16(call.Int(2)));
  } catch (const EDateTimeError&) {
    return Fail(context, erArithmetic);
  }
  return call.Return(static_cast<double>(d));
}

// TIME(hour, minute, second)
VEK_HANDLER(FnTime) {
  BuiltinCall call(context, 3);
  if (!call.ok()) return stFailed;
  TDateTime t;
  try {
    t = EncodeTime(Low16(call.Int(0)), Low16(call.Int(1)), Low16(call.Int(2)), 0);
  } catch (const EDateTimeError&) {
    return Fail(context, erArithmetic);
  }
  return call.Return(static_cast<double>(t));
}

// YEAR(d), MONTH(d), DAY(d), WEEK(d), HOUR(d), MINUTE(d), SECOND(d)
VEK_HANDLER(FnYear) { return PartOf<pYear>(context); }
VEK_HANDLER(FnMonth) { return PartOf<pMonth>(context); }
VEK_HANDLER(FnDay) { return PartOf<pDay>(context); }
VEK_HANDLER(FnWeek) { return PartOf<pWeek>(context); }
VEK_HANDLER(FnHour) { return PartOf<pHour>(context); }
VEK_HANDLER(FnMinute) { return PartOf<pMinute>(context); }
VEK_HANDLER(FnSecond) { return PartOf<pSecond>(context); }
