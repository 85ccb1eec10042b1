// lcmap: locale text mapping for the Japanese locale.
#include "platform/lcmap.h"

#include <string>

#include "platform/text.h"

namespace {

constexpr char16_t kVoiced = 0xFF9E;      // half-width voiced mark
constexpr char16_t kSemiVoiced = 0xFF9F;  // half-width semi-voiced mark

// Full-width forms of U+FF61 to U+FF9F: punctuation, katakana, the two marks.
const char16_t kHalfKana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3,  // FF61-FF68
    0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC,  // FF69-FF70
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF,  // FF71-FF78
    0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF,  // FF79-FF80
    0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD,  // FF81-FF88
    0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF,  // FF89-FF90
    0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA,  // FF91-FF98
    0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,          // FF99-FF9F
};

bool IsHalfKana(char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// Half-width katakana that take the voiced mark: U (as VU), KA to TO, HA to HO.
bool TakesVoiced(char16_t half) {
  return half == 0xFF73 || (half >= 0xFF76 && half <= 0xFF84) || (half >= 0xFF8A && half <= 0xFF8E);
}
bool TakesSemiVoiced(char16_t half) { return half >= 0xFF8A && half <= 0xFF8E; }

char16_t VoicedOf(char16_t full) { return full == 0x30A6 ? 0x30F4 : full + 1; }

// The half-width unit whose full-width form is `full`, or 0.
char16_t HalfOf(char16_t full) {
  for (int i = 0; i < 63; ++i) {
    if (kHalfKana[i] == full) return static_cast<char16_t>(0xFF61 + i);
  }
  return 0;
}

std::u16string ToFullWidth(const std::u16string& in) {
  std::u16string out;
  for (size_t i = 0; i < in.size(); ++i) {
    const char16_t c = in[i];
    if (c == u' ') {
      out += char16_t(0x3000);
    } else if (c >= 0x21 && c <= 0x7E) {
      out += static_cast<char16_t>(c - 0x21 + 0xFF01);
    } else if (IsHalfKana(c)) {
      const char16_t full = kHalfKana[c - 0xFF61];
      const char16_t mark = i + 1 < in.size() ? in[i + 1] : 0;
      if (mark == kVoiced && TakesVoiced(c)) {
        out += VoicedOf(full);
        ++i;
      } else if (mark == kSemiVoiced && TakesSemiVoiced(c)) {
        out += static_cast<char16_t>(full + 2);
        ++i;
      } else {
        out += full;
      }
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string ToHalfWidth(const std::u16string& in) {
  std::u16string out;
  for (const char16_t c : in) {
    if (c == 0x3000) {
      out += u' ';
    } else if (c >= 0xFF01 && c <= 0xFF5E) {
      out += static_cast<char16_t>(c - 0xFF01 + 0x21);
    } else if (const char16_t half = HalfOf(c)) {
      out += half;
    } else if (c == 0x30F4) {
      out += char16_t(0xFF73);
      out += kVoiced;
    } else if (const char16_t base = HalfOf(static_cast<char16_t>(c - 1));
               base != 0 && TakesVoiced(base) && base != 0xFF73) {
      out += base;
      out += kVoiced;
    } else if (const char16_t base2 = HalfOf(static_cast<char16_t>(c - 2));
               base2 != 0 && TakesSemiVoiced(base2)) {
      out += base2;
      out += kSemiVoiced;
    } else {
      out += c;
    }
  }
  return out;
}

void ToKatakana(std::u16string& s) {
  for (char16_t& c : s) {
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) c += 0x60;
  }
}

void ToHiragana(std::u16string& s) {
  for (char16_t& c : s) {
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) c -= 0x60;
  }
}

constexpr DWORD kKnownFlags = LCMAP_LOWERCASE | LCMAP_UPPERCASE | LCMAP_HIRAGANA |
                              LCMAP_KATAKANA | LCMAP_HALFWIDTH | LCMAP_FULLWIDTH;

bool Both(DWORD flags, DWORD a, DWORD b) { return (flags & a) && (flags & b); }

}  // namespace

int LCMapStringW(DWORD locale, DWORD flags, const char16_t* src, int srcUnits, char16_t* dst,
                 int dstUnits) {
  (void)locale;  // one locale: the Japanese system default
  if (src == nullptr || srcUnits == 0 || srcUnits < -1 || dstUnits < 0) return 0;
  if (dstUnits > 0 && dst == nullptr) return 0;
  if (flags == 0 || (flags & ~kKnownFlags) != 0) return 0;
  if (Both(flags, LCMAP_UPPERCASE, LCMAP_LOWERCASE) || Both(flags, LCMAP_FULLWIDTH, LCMAP_HALFWIDTH) ||
      Both(flags, LCMAP_KATAKANA, LCMAP_HIRAGANA)) {
    return 0;
  }

  // With -1 the terminator is mapped and counted like any other unit.
  const size_t n = srcUnits == -1 ? platform::u16len(src) + 1 : static_cast<size_t>(srcUnits);
  std::u16string text(src, n);
  if (flags & LCMAP_FULLWIDTH) text = ToFullWidth(text);
  if (flags & LCMAP_KATAKANA) ToKatakana(text);
  if (flags & LCMAP_HIRAGANA) ToHiragana(text);
  if (flags & LCMAP_HALFWIDTH) text = ToHalfWidth(text);
  if (flags & LCMAP_UPPERCASE) {
    for (char16_t& c : text) c = platform::ToUpperUnit(c);
  }
  if (flags & LCMAP_LOWERCASE) {
    for (char16_t& c : text) c = platform::ToLowerUnit(c);
  }

  const int needed = static_cast<int>(text.size());
  if (dstUnits == 0) return needed;
  if (needed > dstUnits) return 0;
  text.copy(dst, text.size());
  return needed;
}
