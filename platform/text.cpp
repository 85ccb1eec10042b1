// text: code-page conversion, case mapping and UTF-16 helpers.
// Text conversion for the layer: CP932 through iconv, locale-free case
// mapping, and the wide-character library routines on UTF-16.
#include "platform/text.h"

#include <iconv.h>
#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <limits>
#include <new>
#include <system_error>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// One descriptor per direction and thread, opened on first use; iconv keeps
// no state between our calls because every call starts with a reset.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  iconv_t get() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

private:
  iconv_t cd_;
};

Converter& AnsiToWide() {
  thread_local Converter c("UTF-16LE", "CP932");
  return c;
}

Converter& WideToAnsi() {
  thread_local Converter c("CP932", "UTF-16LE");
  return c;
}

// Decodes n CP932 bytes into out (n units are always enough: no byte yields
// more than one unit). Returns the units written.
size_t DecodeAnsi(const char* src, size_t n, char16_t* out) {
  size_t i = 0;
  size_t written = 0;
  // Plain ASCII needs no iconv round trip; CP932 keeps it unchanged.
  while (i < n && static_cast<unsigned char>(src[i]) < 0x80) out[written++] = static_cast<unsigned char>(src[i++]);
  if (i == n) return written;

  Converter& conv = AnsiToWide();
  if (!conv.ok()) {
    for (; i < n; ++i) {
      unsigned char b = static_cast<unsigned char>(src[i]);
      out[written++] = b < 0x80 ? b : kReplacement;
    }
    return written;
  }
  iconv_t cd = conv.get();
  char* in = const_cast<char*>(src + i);
  size_t inLeft = n - i;
  while (inLeft > 0) {
    char* dst = reinterpret_cast<char*>(out + written);
    size_t dstLeft = (n - written) * sizeof(char16_t);
    size_t before = dstLeft;
    size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    written += (before - dstLeft) / sizeof(char16_t);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) break;
    // A byte that starts no valid character (or a lead byte cut off at the
    // end) stands for one replacement unit; decoding resumes behind it.
    out[written++] = kReplacement;
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return written;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Encodes n units as CP932 into out (2n bytes are always enough). Units (or
// surrogate pairs) without a CP932 form become the default text.
size_t EncodeAnsi(const char16_t* src, size_t n, std::string& out, const char* defaultChar,
                  bool& usedDefault) {
  out.clear();
  out.reserve(n * 2);
  const char* fallback = (defaultChar != nullptr && *defaultChar != 0) ? defaultChar : "?";
  size_t i = 0;
  while (i < n && src[i] < 0x80) out.push_back(static_cast<char>(src[i++]));
  if (i == n) return out.size();

  Converter& conv = WideToAnsi();
  char buffer[256];
  while (i < n) {
    if (!conv.ok()) {
      if (src[i] < 0x80) {
        out.push_back(static_cast<char>(src[i]));
      } else {
        out += fallback;
        usedDefault = true;
      }
      ++i;
      continue;
    }
    iconv_t cd = conv.get();
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(src + i));
    size_t inLeft = (n - i) * sizeof(char16_t);
    bool failed = false;
    while (inLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r == static_cast<size_t>(-1) && errno != E2BIG) {
        failed = true;
        break;
      }
    }
    i = n - inLeft / sizeof(char16_t);
    if (!failed) break;
    // One default text per character: a valid surrogate pair counts once.
    size_t skip = (i + 1 < n && IsHighSurrogate(src[i]) && IsLowSurrogate(src[i + 1])) ? 2 : 1;
    out += fallback;
    usedDefault = true;
    i += skip;
  }
  return out.size();
}

locale_t CaseLocale() {
  // A locale object of our own: the process locale may be anything.
  static locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

extern "C" {

int MultiByteToWideChar(UINT /*codePage*/, DWORD /*flags*/, const char* src, int srcBytes,
                        char16_t* dst, int dstUnits) {
  if (src == nullptr || srcBytes == 0 || srcBytes < -1 || dstUnits < 0) return 0;
  if (dstUnits > 0 && dst == nullptr) return 0;
  size_t n = srcBytes == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcBytes);
  if (n > static_cast<size_t>(std::numeric_limits<int>::max())) return 0;

  // No byte gives more than one unit: an output of n units takes the text
  // directly. Otherwise it is decoded apart, small texts on the stack.
  if (static_cast<size_t>(dstUnits) >= n) return static_cast<int>(DecodeAnsi(src, n, dst));
  try {
    char16_t local[128];
    std::u16string heap;
    char16_t* out = local;
    if (n > sizeof local / sizeof local[0]) {
      heap.resize(n);
      out = heap.data();
    }
    size_t units = DecodeAnsi(src, n, out);
    if (dstUnits == 0) return static_cast<int>(units);
    if (units > static_cast<size_t>(dstUnits)) return 0;
    std::memcpy(dst, out, units * sizeof(char16_t));
    return static_cast<int>(units);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int WideCharToMultiByte(UINT /*codePage*/, DWORD /*flags*/, const char16_t* src, int srcUnits,
                        char* dst, int dstBytes, const char* defaultChar, BOOL* usedDefault) {
  if (usedDefault != nullptr) *usedDefault = FALSE;
  if (src == nullptr || srcUnits == 0 || srcUnits < -1 || dstBytes < 0) return 0;
  if (dstBytes > 0 && dst == nullptr) return 0;
  size_t n = srcUnits == -1 ? platform::u16len(src) + 1 : static_cast<size_t>(srcUnits);
  std::string out;
  bool used = false;
  size_t bytes = 0;
  try {
    bytes = EncodeAnsi(src, n, out, defaultChar, used);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (bytes > static_cast<size_t>(std::numeric_limits<int>::max())) return 0;
  if (usedDefault != nullptr) *usedDefault = used ? TRUE : FALSE;
  if (dstBytes == 0) return static_cast<int>(bytes);
  if (bytes > static_cast<size_t>(dstBytes)) return 0;
  std::memcpy(dst, out.data(), bytes);
  return static_cast<int>(bytes);
}

char16_t* CharLowerW(char16_t* text) {
  if (text == nullptr) return text;
  for (char16_t* p = text; *p != 0; ++p) *p = platform::ToLowerUnit(*p);
  return text;
}

char16_t* CharUpperW(char16_t* text) {
  if (text == nullptr) return text;
  for (char16_t* p = text; *p != 0; ++p) *p = platform::ToUpperUnit(*p);
  return text;
}

}  // extern "C"

namespace platform {

char16_t ToLowerUnit(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) return c;
  locale_t loc = CaseLocale();
  if (loc == static_cast<locale_t>(0)) return c;
  wint_t m = towlower_l(c, loc);
  return m <= 0xFFFF ? static_cast<char16_t>(m) : c;
}

char16_t ToUpperUnit(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) return c;
  locale_t loc = CaseLocale();
  if (loc == static_cast<locale_t>(0)) return c;
  wint_t m = towupper_l(c, loc);
  return m <= 0xFFFF ? static_cast<char16_t>(m) : c;
}

size_t u16len(const char16_t* s) {
  const char16_t* p = s;
  while (*p != 0) ++p;
  return static_cast<size_t>(p - s);
}

char16_t* u16cpy(char16_t* dst, const char16_t* src) {
  char16_t* d = dst;
  while ((*d++ = *src++) != 0) {
  }
  return dst;
}

int u16cmp(const char16_t* a, const char16_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<int>(*a) - static_cast<int>(*b);
}

bool IsBlankUnit(char16_t c) {
  // The C library's white space, and the ideographic space of Japanese input.
  return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x3000;
}

int32_t u16toi(const char16_t* s) {
  if (s == nullptr) return 0;
  while (IsBlankUnit(*s)) ++s;
  bool negative = false;
  if (*s == u'+' || *s == u'-') negative = *s++ == u'-';
  uint32_t n = 0;  // unsigned, so that long numbers wrap without overflow
  while (*s >= u'0' && *s <= u'9') n = n * 10u + static_cast<uint32_t>(*s++ - u'0');
  if (negative) n = 0u - n;
  return static_cast<int32_t>(n);
}

double u16tod(const char16_t* s, size_t* end) {
  if (end != nullptr) *end = 0;
  if (s == nullptr) return 0.0;
  const char16_t* p = s;
  while (IsBlankUnit(*p)) ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };

  // The number becomes an integer of significant digits and a power of ten,
  // written out as ASCII for from_chars. Beyond 800 digits only whether any
  // further digit is non-zero matters for rounding; it is kept as one
  // trailing 1, so no text needs more than this fixed buffer.
  constexpr size_t kKeep = 800;
  char text[kKeep + 32];
  size_t digits = 0;
  int64_t power = 0;
  bool sticky = false;
  bool anyDigit = false;
  auto take = [&](char16_t d, bool fraction) {
    if (digits == 0 && d == u'0') {
      if (fraction) --power;
      return;
    }
    if (digits < kKeep) {
      text[digits++] = static_cast<char>(d);
      if (fraction) --power;
    } else {
      if (!fraction) ++power;
      if (d != u'0') sticky = true;
    }
  };
  const char16_t* q = p;
  while (isDigit(*q)) {
    anyDigit = true;
    take(*q++, false);
  }
  if (*q == u'.' && (anyDigit || isDigit(q[1]))) {
    ++q;
    while (isDigit(*q)) {
      anyDigit = true;
      take(*q++, true);
    }
  }
  if (!anyDigit) return 0.0;
  if (*q == u'e' || *q == u'E') {
    const char16_t* e = q + 1;
    bool expNegative = false;
    if (*e == u'+' || *e == u'-') expNegative = *e++ == u'-';
    if (isDigit(*e)) {
      int64_t exponent = 0;
      while (isDigit(*e)) {
        if (exponent < 100000000) exponent = exponent * 10 + (*e - u'0');
        ++e;
      }
      power += expNegative ? -exponent : exponent;
      q = e;
    }
  }
  if (end != nullptr) *end = static_cast<size_t>(q - s);
  if (digits == 0) return negative ? -0.0 : 0.0;
  if (sticky) {
    text[digits++] = '1';
    --power;
  }
  // Far beyond the range of doubles either way; keeps the exponent small.
  if (power > 100000) power = 100000;
  if (power < -100000) power = -100000;
  size_t length = digits;
  text[length++] = 'e';
  auto written = std::to_chars(text + length, text + sizeof text, power);
  length = static_cast<size_t>(written.ptr - text);

  double value = 0.0;
  auto [ptr, ec] = std::from_chars(text, text + length, value, std::chars_format::general);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small zero, as the C library does.
    value = static_cast<int64_t>(digits) + power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

int FormatReal15(double value, char* out) {
  // Whole numbers below 10^15 come out as their digits, which are much
  // quicker to make directly (array indexes are such reals). -0 keeps its sign.
  if (value > -1e15 && value < 1e15 && !(value == 0 && std::signbit(value))) {
    const auto whole = static_cast<int64_t>(value);
    if (static_cast<double>(whole) == value) {
      char* end = std::to_chars(out, out + 31, whole).ptr;
      *end = 0;
      return static_cast<int>(end - out);
    }
  }
  auto [ptr, ec] = std::to_chars(out, out + 31, value, std::chars_format::general, 15);
  if (ec != std::errc()) ptr = out;
  *ptr = 0;
  return static_cast<int>(ptr - out);
}

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
      c = kReplacement;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8(out, c);
  }
  return out;
}

namespace {

// A well-formed UTF-8 sequence at p (shortest form, no surrogate, at most
// U+10FFFF): its length, with its code point in c; 0 when there is none.
size_t WellFormedAt(const unsigned char* p, size_t n, uint32_t& c) {
  const unsigned char b = p[0];
  size_t len;
  if (b < 0x80) {
    c = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    c = b & 0x1F, len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    c = b & 0x0F, len = 3;
  } else if (b >= 0xF0 && b <= 0xF4) {
    c = b & 0x07, len = 4;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[k] & 0x3F);
  }
  static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return len;
}

// The surrogate that the three bytes at p spell (ED A0-BF 80-BF), or 0.
char16_t SurrogateFormAt(const unsigned char* p, size_t n) {
  if (n < 3 || p[0] != 0xED || p[1] < 0xA0 || p[1] > 0xBF || (p[2] & 0xC0) != 0x80) return 0;
  return static_cast<char16_t>(0xD000 | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
}


void AppendCodePoint(std::u16string& out, uint32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  }
}

}  // namespace

std::u16string FromFileName(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  std::u16string out;
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    uint32_t c;
    if (const size_t len = WellFormedAt(p + i, n - i, c)) {
      AppendCodePoint(out, c);
      i += len;
      continue;
    }
    const char16_t s = SurrogateFormAt(p + i, n - i);
    if (IsHighSurrogate(s)) {
      // A run of high forms keeps its units only when no low unit (a lone
      // byte's or a low form's) follows it, or they would come back as a
      // pair.
      size_t j = i;
      while (IsHighSurrogate(SurrogateFormAt(p + j, n - j))) j += 3;
      const bool lowFollows = j < n && WellFormedAt(p + j, n - j, c) == 0;
      for (size_t k = i; k < j; k += 3) {
        if (lowFollows) {
          for (size_t b = k; b < k + 3; ++b) out.push_back(static_cast<char16_t>(0xDC00 + p[b]));
        } else {
          out.push_back(SurrogateFormAt(p + k, n - k));
        }
      }
      i = j;
    } else if (s >= 0xDC00 && s < 0xDC80 && (out.empty() || !IsHighSurrogate(out.back()))) {
      out.push_back(s);
      i += 3;
    } else {
      out.push_back(static_cast<char16_t>(0xDC00 + p[i]));
      ++i;
    }
  }
  return out;
}

bool ToFileName(std::u16string_view text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == 0) return false;
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(bytes, 0x10000 + ((u - 0xD800u) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else if (u >= 0xDC80 && u <= 0xDCFF) {
      bytes.push_back(static_cast<char>(u - 0xDC00));
    } else {
      AppendUtf8(bytes, u);
    }
  }
  // Lone byte units that spell a character would name another file.
  return FromFileName(bytes) == text;
}

bool ToFileName(const char16_t* text, std::string& bytes) {
  if (text == nullptr) {
    bytes.clear();
    return false;
  }
  return ToFileName(std::u16string_view(text), bytes);
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < n) {
    const unsigned char b = byte(i);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    uint32_t c = 0;
    size_t len = 0;
    // The second byte's range excludes overlong forms, surrogates and code
    // points past U+10FFFF, so that a bad sequence is found at its first
    // byte that cannot belong to it.
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      c = b & 0x1F, len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      c = b & 0x0F, len = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      c = b & 0x07, len = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    }
    size_t k = 1;
    for (; k < len && i + k < n; ++k) {
      const unsigned char next = byte(i + k);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) break;
      c = (c << 6) | (next & 0x3F);
    }
    if (len == 0 || k < len) {
      // One replacement for the longest start of a sequence that was read;
      // the byte that broke it is read again as a start of its own.
      out.push_back(kReplacement);
      i += k;
      continue;
    }
    i += len;
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  out.resize(DecodeAnsi(bytes.data(), bytes.size(), out.data()));
  return out;
}

std::string ToAnsi(std::u16string_view text) {
  std::string out;
  bool used = false;
  EncodeAnsi(text.data(), text.size(), out, nullptr, used);
  return out;
}

}  // namespace platform
