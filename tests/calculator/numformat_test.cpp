#include "calculator/numformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

struct FloatCase {
  double value;
  TFloatFormat format;
  int precision;
  int digits;
  const char* expected;
  friend void PrintTo(const FloatCase& c, std::ostream* os) {
    *os << c.value << " format " << c.format << " precision " << c.precision << " digits "
        << c.digits;
  }
};

class FloatToStrFTest : public testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrFTest, Text) {
  const FloatCase& c = GetParam();
  EXPECT_EQ(Narrow(FloatToStrF(c.value, c.format, c.precision, c.digits)), c.expected)
      << "value " << c.value << " format " << c.format << " digits " << c.digits;
}

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Formats, FloatToStrFTest,
    testing::Values(
        // Exponent form: sign always written, exponent padded to the digits.
        FloatCase{1234.5, ffExponent, 15, 3, "1.23450000000000E+003"},
        FloatCase{0.001, ffExponent, 15, 2, "1.00000000000000E-03"},
        FloatCase{0.0, ffExponent, 15, 2, "0.00000000000000E+00"},
        FloatCase{-0.0, ffExponent, 15, 0, "0.00000000000000E+0"},
        FloatCase{-2.5e-300, ffExponent, 15, 4, "-2.50000000000000E-0300"},
        FloatCase{1e100, ffExponent, 15, 5, "1.00000000000000E+100"},
        FloatCase{7.0, ffExponent, 15, -1, "7.00000000000000E+0"},
        // 0.1 + 0.2 is 0.30000000000000004440...: rounds down at 15 digits.
        FloatCase{0.1 + 0.2, ffExponent, 15, 0, "3.00000000000000E-1"},
        FloatCase{0.1 + 0.2, ffExponent, 17, 0, "3.0000000000000004E-1"},
        // A carry through every digit moves the exponent.
        FloatCase{9.9999999999999995, ffExponent, 15, 1, "1.00000000000000E+1"},
        // Exact halves round away from zero: 1234567890123445 is a double.
        FloatCase{1234567890123445.0, ffExponent, 15, 2, "1.23456789012345E+15"},
        FloatCase{-1234567890123445.0, ffExponent, 15, 2, "-1.23456789012345E+15"},
        FloatCase{0.125, ffExponent, 2, 0, "1.3E-1"},
        FloatCase{2.5, ffExponent, 1, 0, "3E+0"},
        // Fixed form: decimals padded, at most `precision` significant digits.
        FloatCase{123.456, ffFixed, 15, 15, "123.456000000000000"},
        FloatCase{1.0 / 3.0, ffFixed, 15, 15, "0.333333333333333"},
        FloatCase{2.0 / 3.0, ffFixed, 15, 2, "0.67"},
        FloatCase{-0.25, ffFixed, 15, 15, "-0.250000000000000"},
        FloatCase{4e-16, ffFixed, 15, 15, "0.000000000000000"},
        FloatCase{-4e-16, ffFixed, 15, 3, "0.000"},
        FloatCase{0.0006, ffFixed, 15, 3, "0.001"},
        FloatCase{0.5, ffFixed, 15, 0, "1"},
        FloatCase{-1.5, ffFixed, 15, 0, "-2"},
        FloatCase{1234.5678, ffFixed, 6, 4, "1234.5700"},
        FloatCase{99.96, ffFixed, 15, 1, "100.0"},
        FloatCase{123456789012345.0, ffFixed, 15, 2, "123456789012345.00"},
        // More digits before the point than the precision: general form.
        FloatCase{1234567890123456.0, ffFixed, 15, 2, "1.23456789012346E15"},
        FloatCase{1e16, ffFixed, 15, 15, "1E16"},
        FloatCase{999999999999999.9, ffFixed, 15, 3, "1E015"},
        FloatCase{-1.5e20, ffFixed, 15, 3, "-1.5E020"},
        // General form: shortest text, fixed from 1E-4 up to `precision`
        // digits before the point.
        FloatCase{0.0001, ffGeneral, 15, 0, "0.0001"},
        FloatCase{0.00001, ffGeneral, 15, 0, "1E-5"},
        FloatCase{0.000012, ffGeneral, 15, 3, "1.2E-005"},
        FloatCase{123456789012345.0, ffGeneral, 15, 0, "123456789012345"},
        FloatCase{1e15, ffGeneral, 15, 0, "1E15"},
        FloatCase{1e15, ffGeneral, 15, 2, "1E15"},
        FloatCase{-2.5e21, ffGeneral, 15, 1, "-2.5E21"},
        FloatCase{100.0, ffGeneral, 15, 0, "100"},
        FloatCase{0.0, ffGeneral, 15, 0, "0"},
        FloatCase{1.0 / 3.0, ffGeneral, 15, 0, "0.333333333333333"},
        FloatCase{0.1 + 0.2, ffGeneral, 15, 0, "0.3"},
        // The words for infinities and not-a-number, in every format.
        FloatCase{kInf, ffExponent, 15, 2, "INF"},
        FloatCase{-kInf, ffFixed, 15, 15, "-INF"},
        FloatCase{kNaN, ffGeneral, 15, 0, "NAN"},
        FloatCase{-kNaN, ffExponent, 15, 0, "NAN"}));

struct ScriptCase {
  double value;
  int digits;
  const char* expected;
  friend void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << c.value << " digits " << c.digits;
  }
};

class FormatExponentTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(FormatExponentTest, LowerCaseText) {
  const ScriptCase& c = GetParam();
  EXPECT_EQ(Narrow(FormatExponent(c.value, c.digits)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Command26, FormatExponentTest,
                         testing::Values(ScriptCase{1234.5, 3, "1.23450000000000e+003"},
                                         ScriptCase{0.001, 2, "1.00000000000000e-03"},
                                         ScriptCase{0.0, 2, "0.00000000000000e+00"},
                                         ScriptCase{-6.02e23, 4, "-6.02000000000000e+0023"},
                                         ScriptCase{1.0, 5, "1.00000000000000e+0"},
                                         ScriptCase{kInf, 2, "inf"},
                                         ScriptCase{-kInf, 2, "-inf"},
                                         ScriptCase{kNaN, 2, "nan"}));

class FormatFixedTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(FormatFixedTest, Text) {
  const ScriptCase& c = GetParam();
  std::u16string out = u"stale";
  EXPECT_EQ(FormatFixed(c.value, c.digits, out), 0);
  EXPECT_EQ(Narrow(out), c.expected) << "value " << c.value << " m " << c.digits;
}

INSTANTIATE_TEST_SUITE_P(
    Command27, FormatFixedTest,
    testing::Values(
        // A fraction at 15 decimals: trailing zeros dropped, m plays no part.
        ScriptCase{0.5, 0, "0.5"}, ScriptCase{0.5, 4, "0.5"}, ScriptCase{2.5, 5, "2.5"},
        ScriptCase{123.456, 2, "123.456"}, ScriptCase{1.0 / 3.0, 0, "0.333333333333333"},
        ScriptCase{-0.25, 0, "-0.25"}, ScriptCase{1e-15, 0, "0.000000000000001"},
        // Whole at 15 decimals: the general form with m exponent digits.
        ScriptCase{2.0, 5, "2"}, ScriptCase{-7.0, 0, "-7"}, ScriptCase{0.0, 3, "0"},
        ScriptCase{4e-16, 0, "4E-16"}, ScriptCase{4e-16, 3, "4E-016"},
        ScriptCase{-4e-16, 0, "-4E-16"}, ScriptCase{4e-16, 9, "4E-16"},
        ScriptCase{123456789012345.0, 0, "123456789012345"},
        // 16 or more digits before the point: general form throughout.
        ScriptCase{1234567890123456.0, 0, "1.23456789012346E15"},
        ScriptCase{1e16, 2, "1E16"}, ScriptCase{-3.25e40, 3, "-3.25E040"},
        ScriptCase{1e300, -1, "1E300"},
        ScriptCase{kInf, 0, "INF"}, ScriptCase{kNaN, 0, "NAN"}));

}  // namespace
