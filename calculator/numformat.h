// numformat: number texts for the host commands.
#pragma once

#include <cstdint>
#include <string>

enum TFloatFormat : int32_t {
  ffGeneral = 0,
  ffExponent = 1,
  ffFixed = 2,
};

// precision: significant digits (1 to 18). digits: for ffExponent and
// ffGeneral the least number of exponent digits (0 to 4, anything else 0);
// for ffFixed the number of decimals (0 to 18). Infinities and not-a-number
// give "INF", "-INF" and "NAN".
std::u16string FloatToStrF(double value, TFloatFormat format, int32_t precision, int32_t digits);

// Command 27 before lower-casing: fixed notation without trailing zeros, or
// the general form with exponent digits m for whole and very large values.
// Always returns 0.
int32_t FormatFixed(double x, int32_t m, std::u16string& out);

// Command 26: 15 significant digits in exponent form, lower case.
std::u16string FormatExponent(double x, int32_t digits);
