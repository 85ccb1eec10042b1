// numformat: number texts for the host commands.
#include "calculator/numformat.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// value = 0.d1 d2 d3 ... * 10^exponent; no digits means zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Every double has a finite decimal expansion of at most 767 significant
// digits, so this precision gives it exactly; rounding is then ours.
constexpr int kExactDigits = 780;

Decimal Exact(double value) {
  Decimal d;
  d.negative = std::signbit(value);
  double a = std::fabs(value);
  if (a == 0.0) return d;
  char buf[kExactDigits + 32];
  auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, kExactDigits);
  std::string text(buf, res.ptr);
  size_t e = text.find('e');
  d.digits.push_back(text[0]);
  if (e > 2) d.digits.append(text, 2, e - 2);
  d.exponent = std::stoi(text.substr(e + 1)) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps `keep` significant digits, halves rounded away from zero (the
// expansion is exact, so a 5 at the cut is at least half a unit).
void Round(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
  } else {
    bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
      int i = keep - 1;
      while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
      if (i >= 0) {
        ++d.digits[i];
      } else {
        d.digits.insert(d.digits.begin(), '1');
        ++d.exponent;
      }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  }
  if (d.digits.empty()) d.exponent = 0;
}

char DigitAt(const Decimal& d, int i) {
  return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
}

int ExponentDigits(int digits) { return digits >= 0 && digits <= 4 ? digits : 0; }

void AppendExponent(std::string& out, int e, bool alwaysSign, int minDigits) {
  out += 'E';
  if (e < 0) {
    out += '-';
  } else if (alwaysSign) {
    out += '+';
  }
  std::string n = std::to_string(e < 0 ? -e : e);
  if (static_cast<int>(n.size()) < minDigits) out.append(minDigits - n.size(), '0');
  out += n;
}

// A zero result carries no sign.
std::string Sign(const Decimal& d) { return d.negative && !d.digits.empty() ? "-" : ""; }

std::string General(Decimal d, int precision, int digits) {
  Round(d, precision);
  if (d.digits.empty()) return "0";
  std::string out = Sign(d);
  int n = static_cast<int>(d.digits.size());
  if (d.exponent > precision || d.exponent < -3) {
    out += d.digits[0];
    if (n > 1) {
      out += '.';
      out.append(d.digits, 1, std::string::npos);
    }
    AppendExponent(out, d.exponent - 1, false, ExponentDigits(digits));
  } else if (d.exponent <= 0) {
    out += "0.";
    out.append(-d.exponent, '0');
    out += d.digits;
  } else {
    for (int i = 0; i < d.exponent; ++i) out += DigitAt(d, i);
    if (n > d.exponent) {
      out += '.';
      out.append(d.digits, d.exponent, std::string::npos);
    }
  }
  return out;
}

std::string Exponent(Decimal d, int precision, int digits) {
  Round(d, precision);
  std::string out = Sign(d);
  out += DigitAt(d, 0);
  if (precision > 1) {
    out += '.';
    for (int i = 1; i < precision; ++i) out += DigitAt(d, i);
  }
  AppendExponent(out, d.digits.empty() ? 0 : d.exponent - 1, true, ExponentDigits(digits));
  return out;
}

std::string Fixed(Decimal d, int precision, int digits) {
  if (digits < 0) digits = 0;
  if (digits > 18) digits = 18;
  Round(d, std::min(precision, d.exponent + digits));
  if (d.exponent > precision) return General(d, precision, digits);
  std::string out = Sign(d);
  if (d.exponent <= 0) {
    out += '0';
  } else {
    for (int i = 0; i < d.exponent; ++i) out += DigitAt(d, i);
  }
  if (digits > 0) {
    out += '.';
    for (int i = 0; i < digits; ++i) out += DigitAt(d, d.exponent + i);
  }
  return out;
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

std::u16string FloatToStrF(double value, TFloatFormat format, int32_t precision, int32_t digits) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  Decimal d = Exact(value);
  switch (format) {
    case ffExponent:
      return Widen(Exponent(d, precision, digits));
    case ffFixed:
      return Widen(Fixed(d, precision, digits));
    case ffGeneral:
    default:
      return Widen(General(d, precision, digits));
  }
}

int32_t FormatFixed(double x, int32_t m, std::u16string& out) {
  std::u16string t = FloatToStrF(x, ffFixed, 15, 15);
  bool point = false;
  for (char16_t c : t) {
    if (c == u'.') point = true;
    if (c == u'E' || c == u'e') {
      point = false;
      break;
    }
  }
  if (!point) {
    out = FloatToStrF(x, ffFixed, 15, m);
    return 0;
  }
  while (!t.empty() && t.back() == u'0') t.pop_back();
  if (!t.empty() && t.back() == u'.') {
    out = FloatToStrF(x, ffGeneral, 15, m);
  } else {
    out = t;
  }
  return 0;
}

std::u16string FormatExponent(double x, int32_t digits) {
  std::u16string t = FloatToStrF(x, ffExponent, 15, digits);
  for (char16_t& c : t) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return t;
}
