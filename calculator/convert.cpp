// convert: StrToInt, StrToFloat and FloatToStr.
#include "calculator/convert.h"

#include <cmath>
#include <string>

#include "calculator/errors.h"
#include "calculator/numformat.h"
#include "platform/text.h"

namespace {

[[noreturn]] void Fail(std::u16string_view text, const char* what) {
  throw EConvertError("'" + platform::ToUtf8(text) + "' is not a valid " + what + " value");
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

int32_t StrToInt(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int base = 10;
  if (i < text.size() && text[i] == u'$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) Fail(text, "integer");
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0 || d >= base) Fail(text, "integer");
    value = value * base + d;
    // Hexadecimal may name all 32 bits; decimal must stay in range.
    if (value > (base == 16 ? 0xFFFFFFFFll : 0x80000000ll)) Fail(text, "integer");
  }
  if (base == 16) {
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  if (negative) return static_cast<int32_t>(-value);
  if (value > 0x7FFFFFFF) Fail(text, "integer");
  return static_cast<int32_t>(value);
}

double StrToFloat(std::u16string_view text) {
  std::u16string t(text);
  size_t b = 0, e = t.size();
  while (b < e && IsBlank(t[b])) ++b;
  while (e > b && IsBlank(t[e - 1])) --e;
  std::u16string core = t.substr(b, e - b);
  // A leading blank other than space and tab is no part of the number.
  if (core.empty() || core[0] == u'\r' || core[0] == u'\n') Fail(text, "floating point");
  size_t used = 0;
  double v = platform::u16tod(core.c_str(), &used);
  if (used != core.size() || !std::isfinite(v)) Fail(text, "floating point");
  return v;
}

std::u16string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }
