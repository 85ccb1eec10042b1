#include "platform/lcmap.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

// The mapped text, or "<failed>" when the call returns 0.
std::u16string Map(DWORD flags, const std::u16string& text) {
  char16_t out[64] = {};
  const int n = LCMapStringW(LOCALE_SYSTEM_DEFAULT, flags, text.c_str(),
                             static_cast<int>(text.size()), out, 64);
  if (n == 0) return u"<failed>";
  return std::u16string(out, n);
}

std::string Show(const std::u16string& s) { return platform::ToUtf8(s); }

TEST(LCMapString, MapsCaseWidthAndKana) {
  constexpr DWORD U = LCMAP_UPPERCASE, L = LCMAP_LOWERCASE, F = LCMAP_FULLWIDTH,
                  H = LCMAP_HALFWIDTH, K = LCMAP_KATAKANA, G = LCMAP_HIRAGANA;
  struct Case {
    DWORD flags;
    std::u16string in, out;
  } cases[] = {
      {U, u"abc xyz 1ä", u"ABC XYZ 1Ä"},
      {L, u"ABC XYZ 1Ä", u"abc xyz 1ä"},
      {F, u"A b~!", u"Ａ　ｂ～！"},
      {H, u"Ａ　ｂ～！", u"A b~!"},
      // Voiced and semi-voiced marks combine with the kana before them, where
      // it takes them, and stay separate marks elsewhere.
      {F, u"ｶﾞｷﾞｸﾊﾟﾋﾞｳﾞｱﾞﾞ", u"ガギクパビヴア゛゛"},
      {F, u"ｦｯｰ｡｢｣､･ﾝ", u"ヲッー。「」、・ン"},
      {H, u"ガギクパビヴア゛ヲッー。", u"ｶﾞｷﾞｸﾊﾟﾋﾞｳﾞｱﾞｦｯｰ｡"},
      {H, u"がっこう", u"がっこう"},  // hiragana have no half-width forms
      {K, u"ひらがなゔゝ", u"ヒラガナヴヽ"},
      {G, u"カタカナヴヽ", u"かたかなゔゝ"},
      {G, u"ヷｶ", u"ヷｶ"},
      {H | K, u"がっこう", u"ｶﾞｯｺｳ"},
      {F | G, u"ｶﾞｯｺｳ", u"がっこう"},
      {U | F, u"abc", u"ＡＢＣ"},
      {L | H, u"ＡＢＣ", u"abc"},
      {U, u"漢字", u"漢字"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(Map(c.flags, c.in)), Show(c.out)) << std::hex << c.flags << " " << Show(c.in);
  }
}

TEST(LCMapString, RefusesContradictoryOrUnknownFlags) {
  const DWORD refused[] = {
      0,
      LCMAP_UPPERCASE | LCMAP_LOWERCASE,
      LCMAP_FULLWIDTH | LCMAP_HALFWIDTH,
      LCMAP_KATAKANA | LCMAP_HIRAGANA,
      LCMAP_UPPERCASE | 0x1,
  };
  for (DWORD flags : refused) EXPECT_EQ(Show(Map(flags, u"abc")), "<failed>") << std::hex << flags;
}

TEST(LCMapString, CountsAsWindowsDoes) {
  char16_t out[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
  // -1: the terminator is part of the text and of the count.
  EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, u"ab", -1, out, 8), 3);
  EXPECT_EQ(std::u16string(out), u"AB");
  // Size 0 asks for the size: one full-width kana splits into two units.
  EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_HALFWIDTH, u"ガ", 1, nullptr, 0), 2);
  EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_HALFWIDTH, u"ガ", 1, out, 1), 0);
  EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, u"ab", 0, out, 8), 0);
}

}  // namespace
