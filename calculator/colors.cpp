// colors: colour texts of the calculator file, read and written.
#include "calculator/colors.h"

#include <cstdint>
#include <string>

#include "calculator/errors.h"
#include "platform/text.h"

namespace {

constexpr TColor Sys(int index) { return static_cast<TColor>(0x80000000u | index); }

struct NamedColor {
  const char* name;
  TColor color;
};

const NamedColor kNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", Sys(0)},
    {"clBackground", Sys(1)},
    {"clActiveCaption", Sys(2)},
    {"clInactiveCaption", Sys(3)},
    {"clMenu", Sys(4)},
    {"clWindow", Sys(5)},
    {"clWindowFrame", Sys(6)},
    {"clMenuText", Sys(7)},
    {"clWindowText", Sys(8)},
    {"clCaptionText", Sys(9)},
    {"clActiveBorder", Sys(10)},
    {"clInactiveBorder", Sys(11)},
    {"clAppWorkSpace", Sys(12)},
    {"clHighlight", Sys(13)},
    {"clHighlightText", Sys(14)},
    {"clBtnFace", Sys(15)},
    {"clBtnShadow", Sys(16)},
    {"clGrayText", Sys(17)},
    {"clBtnText", Sys(18)},
    {"clInactiveCaptionText", Sys(19)},
    {"clBtnHighlight", Sys(20)},
    {"cl3DDkShadow", Sys(21)},
    {"cl3DLight", Sys(22)},
    {"clInfoText", Sys(23)},
    {"clInfoBk", Sys(24)},
    {"clHotLight", Sys(26)},
    {"clGradientActiveCaption", Sys(27)},
    {"clGradientInactiveCaption", Sys(28)},
    {"clMenuHighlight", Sys(29)},
    {"clMenuBar", Sys(30)},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

// The standard desktop scheme, as 0x00BBGGRR, by system colour index.
const TColor kSystemColors[] = {
    0xC0C0C0,  //  0 scroll bar
    0x808000,  //  1 desktop
    0x800000,  //  2 active caption
    0x808080,  //  3 inactive caption
    0xC0C0C0,  //  4 menu
    0xFFFFFF,  //  5 window
    0x000000,  //  6 window frame
    0x000000,  //  7 menu text
    0x000000,  //  8 window text
    0xFFFFFF,  //  9 caption text
    0xC0C0C0,  // 10 active border
    0xC0C0C0,  // 11 inactive border
    0x808080,  // 12 application work space
    0x800000,  // 13 highlight
    0xFFFFFF,  // 14 highlighted text
    0xC0C0C0,  // 15 button face
    0x808080,  // 16 button shadow
    0x808080,  // 17 grey text
    0x000000,  // 18 button text
    0xC0C0C0,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x000000,  // 21 3-D dark shadow
    0xC0C0C0,  // 22 3-D light
    0x000000,  // 23 tooltip text
    0xE1FFFF,  // 24 tooltip background
    0xB5B5B5,  // 25 alternate button face
    0x800000,  // 26 hot-tracked item
    0xD08410,  // 27 active caption gradient
    0xB5B5B5,  // 28 inactive caption gradient
    0x800000,  // 29 highlighted menu item
    0xC0C0C0,  // 30 menu bar
};

bool SameName(std::u16string_view text, const char* name) {
  size_t i = 0;
  for (; name[i] != 0; ++i) {
    if (i >= text.size()) return false;
    char16_t a = text[i];
    char16_t b = static_cast<char16_t>(name[i]);
    if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
    if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b - u'A' + u'a');
    if (a != b) return false;
  }
  return i == text.size();
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// An integer in the class library's reading: hexadecimal may use all 32 bits
// (0xFFFFFFFF is -1), decimal must fit the signed range.
bool ReadInteger(std::u16string_view s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < s.size() && s[i] == u'$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i == s.size()) return false;
  uint64_t value = 0;
  uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  for (; i < s.size(); ++i) {
    int d = hex ? HexValue(s[i]) : (s[i] >= u'0' && s[i] <= u'9' ? s[i] - u'0' : -1);
    if (d < 0) return false;
    value = value * (hex ? 16 : 10) + d;
    if (value > limit) return false;
  }
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  out = static_cast<int32_t>(bits);
  return true;
}

}  // namespace

TColor StringToColor(std::u16string_view text) {
  for (const NamedColor& n : kNames) {
    if (SameName(text, n.name)) return n.color;
  }
  int32_t value = 0;
  if (ReadInteger(text, value)) return value;
  throw EConvertError("'" + platform::ToUtf8(text) + "' is not a valid integer value");
}

TColor ColorToRGB(TColor color) {
  if (color >= 0) return color;
  unsigned index = static_cast<uint32_t>(color) & 0xFF;
  return index < sizeof kSystemColors / sizeof kSystemColors[0] ? kSystemColors[index] : 0;
}
