// convert: number texts typed into the dialogs: whole numbers and reals read
// the way the forms' fields are read, with a conversion error for anything
// else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Optional blanks in front, a sign, then decimal digits, or "$" / "0x"
// followed by hexadecimal digits; the value must fit in 32 bits. Raises
// EConvertError "'text' is not a valid integer value" otherwise.
int32_t StrToInt(std::u16string_view text);

// A decimal number with an optional fraction and exponent, blanks allowed
// around it. Raises EConvertError "'text' is not a valid floating point
// value" otherwise (an empty text included).
double StrToFloat(std::u16string_view text);

// The general float-to-text form (15 significant digits): 25 gives "25",
// 12.5 gives "12.5".
std::u16string FloatToStr(double value);
