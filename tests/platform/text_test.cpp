#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/text.h"

namespace {

using platform::ToUtf8;

// 日本語 and あ in CP932.
const std::string kNihongo = "\x93\xfa\x96\x7b\x8c\xea";

std::u16string Decode(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(n), u'\0');
  if (n > 0) {
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()),
                                  out.data(), n),
              n);
  }
  return out;
}

std::string Encode(const std::u16string& text, BOOL* usedDefault = nullptr) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                              usedDefault);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0) {
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                                  nullptr, usedDefault),
              n);
  }
  return out;
}

TEST(AnsiToWide, DecodesCp932) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"abc", u"abc"},
      {kNihongo, u"日本語"},
      {"x\x82\xa0y", u"xあy"},
      {"\xb1\xdd", u"ｱﾝ"},          // half-width katakana are single bytes
      {"\x5c\x7e", u"\\~"},
      {"\x81\x5f", u"＼"},
      // Bytes that start no character become U+FFFD, one each; the rest
      // of the text survives.
      {"a\xff" "b", u"a\uFFFDb"},
      {"\x81\x20x", u"\uFFFD x"},
      {"ab\x82", u"ab\uFFFD"},       // a lead byte cut off at the end
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), c.text) << ToUtf8(c.text);
}

TEST(AnsiToWide, CountingRules) {
  char16_t out[8];
  // -1: NUL-terminated, and the count includes the terminator.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kNihongo.c_str(), -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kNihongo.c_str(), -1, out, 4), 4);
  EXPECT_EQ(std::u16string(out), u"日本語");
  // Too small an output gives 0.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kNihongo.c_str(), -1, out, 3), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, out, 3), 0);
  // An empty input is refused, an empty NUL-terminated one is the terminator.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, out, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "", -1, out, 8), 1);
  EXPECT_EQ(out[0], u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, out, 8), 0);
}

TEST(WideToAnsi, EncodesCp932AndMarksWhatHasNoForm) {
  struct Case {
    std::u16string text;
    std::string bytes;
    bool usedDefault;
  } cases[] = {
      {u"abc", "abc", false},
      {u"日本語", kNihongo, false},
      {u"ｱ", "\xb1", false},
      {u"a한b", "a?b", true},
      {u"\U0001F600", "?", true},          // one mark for a whole surrogate pair
      {u"x\xD800y", "x?y", true},          // a lone surrogate
      {u"end\xDBFF", "end?", true},
      {u"\uFFFD", "?", true},
  };
  for (const Case& c : cases) {
    BOOL used = -5;
    EXPECT_EQ(Encode(c.text, &used), c.bytes) << ToUtf8(c.text);
    EXPECT_EQ(used, c.usedDefault ? TRUE : FALSE) << ToUtf8(c.text);
  }
}

TEST(WideToAnsi, CountingRules) {
  char out[8];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"日本語", -1, nullptr, 0, nullptr, nullptr), 7);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"日本語", -1, out, 7, nullptr, nullptr), 7);
  EXPECT_EQ(std::string(out), kNihongo);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"日本語", -1, out, 6, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a한", -1, out, 8, "*", nullptr), 3);
  EXPECT_EQ(std::string(out), "a*");
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abc", 0, out, 8, nullptr, nullptr), 0);
}

TEST(CaseMapping, SimpleUnicodeMappingPerUnit) {
  struct Case {
    char16_t upper;
    char16_t lower;
  } pairs[] = {
      {u'A', u'a'}, {u'Z', u'z'}, {u'À', u'à'}, {u'Þ', u'þ'}, {u'Ÿ', u'ÿ'}, {u'Ω', u'ω'},
      {u'Σ', u'σ'}, {u'Д', u'д'}, {u'Ё', u'ё'}, {u'Ａ', u'ａ'}, {u'Ｚ', u'ｚ'},
  };
  for (const Case& c : pairs) {
    EXPECT_EQ(platform::ToLowerUnit(c.upper), c.lower) << ToUtf8(std::u16string(1, c.upper));
    EXPECT_EQ(platform::ToUpperUnit(c.lower), c.upper) << ToUtf8(std::u16string(1, c.lower));
  }
  // Without a one-unit mapping a unit stays as it is.
  for (char16_t c : {u'ß', u'1', u'あ', u'ｱ', u'\xD83D', u'\xDE00', u'_'}) {
    EXPECT_EQ(platform::ToUpperUnit(c), c);
    EXPECT_EQ(platform::ToLowerUnit(c), c);
  }
  EXPECT_EQ(platform::ToUpperUnit(u'ς'), u'Σ');
}

TEST(CaseMapping, InPlaceAndIndependentOfTheProcessLocale) {
  for (const char* locale : {"C", "C.UTF-8"}) {
    std::setlocale(LC_ALL, locale);
    std::u16string text = u"ÀbΩдＡ😀x";
    CharLowerW(text.data());
    EXPECT_EQ(text, u"àbωдａ😀x") << locale;
    CharUpperW(text.data());
    EXPECT_EQ(text, u"ÀBΩДＡ😀X") << locale;
  }
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(CharLowerW(nullptr), nullptr);
}

TEST(Utf16Helpers, LengthCopyCompare) {
  char16_t buffer[8];
  EXPECT_EQ(platform::u16len(u""), 0u);
  EXPECT_EQ(platform::u16len(u"日本語"), 3u);
  EXPECT_EQ(std::u16string(platform::u16cpy(buffer, u"abc")), u"abc");
  EXPECT_EQ(platform::u16cmp(u"abc", u"abc"), 0);
  EXPECT_LT(platform::u16cmp(u"ab", u"abc"), 0);
  EXPECT_GT(platform::u16cmp(u"b", u"B"), 0);
  // Units compare unsigned: U+FF21 is above every ASCII unit.
  EXPECT_GT(platform::u16cmp(u"Ａ", u"z"), 0);
}

TEST(Utf16Helpers, TextToInteger) {
  struct Case {
    const char16_t* text;
    int32_t value;
  } cases[] = {
      {u"42", 42},
      {u"  \t\n+17", 17},
      {u"\u300012", 12},             // an ideographic space leads like a blank
      {u"\r\v\f9", 9},               // so do CR, vertical tab and form feed
      {u"-13x", -13},
      {u"12abc", 12},
      {u"abc", 0},
      {u"", 0},
      {u"-", 0},
      {u"- 5", 0},
      {u"2147483647", 2147483647},
      {u"2147483648", -2147483647 - 1},
      {u"-2147483648", -2147483647 - 1},
      {u"4294967297", 1},
      {u"99999999999", 1215752191},
      {u"123456789012345678901234567890", 1312754386},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::u16toi(c.text), c.value) << ToUtf8(c.text);
}

TEST(Utf16Helpers, TextToReal) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char16_t* text;
    double value;
    size_t end;
  } cases[] = {
      {u"1.5", 1.5, 3},
      {u"  -2.5e3", -2500.0, 8},
      {u".5", 0.5, 2},
      {u"\r\v\f2.5", 2.5, 6},
      {u"5.", 5.0, 2},
      {u"+7e-2x", 0.07, 5},
      {u"1e", 1.0, 1},
      {u"1e+", 1.0, 1},
      {u"12abc", 12.0, 2},
      {u"0.000001234", 1.234e-6, 11},
      {u"123456789012345678901234567890", 1.2345678901234568e29, 30},
      {u"1e400", inf, 5},
      {u"-1e400", -inf, 6},
      {u"1e-400", 0.0, 6},
      {u"4.9e-324", 4.9406564584124654e-324, 8},
      {u"0x10", 0.0, 1},            // no hexadecimal numbers
      {u"inf", 0.0, 0},              // nor words
      {u"nan", 0.0, 0},
      {u".", 0.0, 0},
      {u"-", 0.0, 0},
      {u"", 0.0, 0},
  };
  for (const Case& c : cases) {
    size_t end = 99;
    EXPECT_EQ(platform::u16tod(c.text, &end), c.value) << ToUtf8(c.text);
    EXPECT_EQ(end, c.end) << ToUtf8(c.text);
  }
}

TEST(Utf16Helpers, TextToRealRoundsLongDigitStringsCorrectly) {
  const std::u16string zeros(900, u'0');
  struct Case {
    std::u16string text;
    double value;
  } cases[] = {
      // 2^53 + 1 lies halfway between two doubles: it rounds to even, unless
      // a digit far behind says it is above halfway.
      {u"9007199254740993", 9007199254740992.0},
      {u"9007199254740993." + zeros + u"1", 9007199254740994.0},
      {u"9007199254740993" + zeros + u"e-900", 9007199254740992.0},
      {u"9007199254740993" + zeros + u"1e-901", 9007199254740994.0},
      {zeros + u"12", 12.0},
      {u"1" + zeros, std::numeric_limits<double>::infinity()},
      {u"0." + zeros + u"5", 0.0},
      {u"1" + std::u16string(305, u'0') + u".", 1e305},
  };
  for (const Case& c : cases) {
    size_t end = 0;
    EXPECT_EQ(platform::u16tod(c.text.c_str(), &end), c.value) << c.text.size();
    EXPECT_EQ(end, c.text.size());
  }
}

TEST(Utf16Helpers, RealToTextAsPrintfGeneral15) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1.0, "1"},
      {0.1, "0.1"},
      {-2.5, "-2.5"},
      {1.0 / 3.0, "0.333333333333333"},
      {1e20, "1e+20"},
      {1.23456789012345678e17, "1.23456789012346e+17"},
      {1e-5, "1e-05"},
      {0.0001, "0.0001"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1e+15"},
      {999999999999999.0, "999999999999999"},
      {9999999999999999.0, "1e+16"},
      {-0.0, "-0"},
      {1e300 * 1e10, "inf"},
  };
  for (const Case& c : cases) {
    char out[32];
    int n = platform::FormatReal15(c.value, out);
    EXPECT_EQ(std::string(out), c.text);
    EXPECT_EQ(n, static_cast<int>(std::string(c.text).size()));
  }
}

TEST(Utf16Helpers, RealToTextMatchesTheCLibraryAcrossMagnitudes) {
  std::setlocale(LC_ALL, "C");
  double v = 1.0 / 7.0;
  for (int i = 0; i < 400; ++i) {
    for (double x : {v, -v, std::nextafter(v, 0.0)}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.15g", x);
      char out[32];
      platform::FormatReal15(x, out);
      ASSERT_EQ(std::string(out), expected);
    }
    v *= 13.7;
    if (v > 1e290) v = 3.3e-300;
  }
}

TEST(Utf8Edges, RoundTripAndMalformedInput) {
  const std::u16string text = u"aé日😀";
  const std::string utf8 = "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80";
  EXPECT_EQ(ToUtf8(text), utf8);
  EXPECT_EQ(platform::FromUtf8(utf8), text);
  EXPECT_EQ(ToUtf8(u"x\xDC00"), "x\xef\xbf\xbd");
}

// Broken input gives one U+FFFD for each longest start of a sequence that
// could still have been valid, and for each byte that starts none.
TEST(Utf8Edges, OneReplacementPerMaximalInvalidSubpart) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"a\xff" "b", u"a\uFFFDb"},
      {"\xe6\x97" "A", u"\uFFFDA"},                      // cut short, then ASCII
      {"\xe6\x97", u"\uFFFD"},                           // cut short at the end
      {"\xc2" "A", u"\uFFFDA"},
      {"\x80\xbf", u"\uFFFD\uFFFD"},                     // lone continuations
      {"\xc0\xaf", u"\uFFFD\uFFFD"},                     // overlong two-byte lead
      {"\xc1\xbf", u"\uFFFD\uFFFD"},
      {"\xe0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},           // overlong three bytes
      {"\xe0\x9f\xbf", u"\uFFFD\uFFFD\uFFFD"},
      {"\xe0\xa0\x80", u"\u0800"},
      {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},           // encoded surrogate
      {"\xed\x9f\xbf", u"\uD7FF"},
      {"\xf0\x8f\xbf\xbf", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong four bytes
      {"\xf0\x90\x80", u"\uFFFD"},                      // cut short
      {"\xf0\x90\x80" "A", u"\uFFFDA"},
      {"\xf4\x8f\xbf\xbf", u"\U0010FFFF"},
      {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xf5\x80", u"\uFFFD\uFFFD"},
      {"\xe6\x97\xe6\x97\xa5", u"\uFFFD\u65E5"},           // a new lead ends the old
      // The example of the Unicode Standard, chapter 3.
      {"\x61\xf1\x80\x80\xe1\x80\xc2\x62\x80\x63\x80\xbf\x64",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
  };
  for (const Case& c : cases) {
    std::string hex;
    for (unsigned char b : c.bytes) hex += std::to_string(b) + " ";
    EXPECT_EQ(platform::FromUtf8(c.bytes), c.text) << hex;
  }
}

TEST(FileNames, BytesAndUnitsMapOneToOne) {
  const struct {
    std::string bytes;
    std::u16string units;
  } cases[] = {
      {"a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80", u"aé日😀"},
      // Bytes that are no UTF-8 stand alone, each as its own unit.
      {"a\xff", u"a\xDCFF"},
      {"a\xfe", u"a\xDCFE"},
      {"\xe6\x97", u"\xDCE6\xDC97"},
      {"\xc0\xaf", u"\xDCC0\xDCAF"},
      // Lone surrogates in their three-byte forms.
      {"x\xed\xa0\x80", u"x\xD800"},
      {"\xed\xa0\x81y", u"\xD801y"},
      {"\xed\xb0\x80", u"\xDC00"},
      {"\xed\xa0\x80\xed\xa0\x81\xf0\x9f\x98\x80", u"\xD800\xD801😀"},
      // A high form before a low unit would pair with it: its bytes stand alone.
      {"\xed\xa0\x80\xff", u"\xDCED\xDCA0\xDC80\xDCFF"},
      {"\xed\xa0\x80\xed\xb0\x80", u"\xDCED\xDCA0\xDC80\xDC00"},
      // The form of a unit that a lone byte already stands for.
      {"\xed\xb2\x80", u"\xDCED\xDCB2\xDC80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::FromFileName(c.bytes), c.units) << c.bytes;
    std::string back;
    EXPECT_TRUE(platform::ToFileName(c.units, back)) << c.bytes;
    EXPECT_EQ(back, c.bytes);
  }
}

TEST(FileNames, TextsThatWouldNameAnotherFileAreRefused) {
  std::string bytes;
  // Lone byte units that spell "é" would reach the file "é".
  EXPECT_FALSE(platform::ToFileName(u"\xDCC3\xDCA9", bytes));
  // ... and those that spell the form of U+D800 would reach that file.
  EXPECT_FALSE(platform::ToFileName(u"\xDCED\xDCA0\xDC80", bytes));
  EXPECT_FALSE(platform::ToFileName(std::u16string(u"a\0b", 3), bytes));
  EXPECT_FALSE(platform::ToFileName(static_cast<const char16_t*>(nullptr), bytes));
}

// Any bytes come back as they were; any text either comes back as it was or
// is refused, so two names never meet in one file.
TEST(FileNames, RoundTripsOfRandomNames) {
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  };
  const unsigned char pieces[] = {'a', '/', 0x80, 0xBF, 0xC3, 0xA9, 0xED, 0xA0, 0xB0, 0xB2, 0xF0, 0x9F, 0xFF};
  const char16_t units[] = {u'a', u'/', 0xD800, 0xDBFF, 0xDC00, 0xDC7F, 0xDC80, 0xDCC3, 0xDCA9, 0xDCED, 0xDCFF, 0xE9, 0x65E5};
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    std::u16string text;
    const size_t n = 1 + next() % 8;
    for (size_t i = 0; i < n; ++i) {
      bytes.push_back(static_cast<char>(pieces[next() % sizeof pieces]));
      text.push_back(units[next() % (sizeof units / sizeof units[0])]);
    }
    std::string back;
    const std::u16string decoded = platform::FromFileName(bytes);
    ASSERT_TRUE(platform::ToFileName(decoded, back)) << round;
    ASSERT_EQ(back, bytes) << round;
    if (platform::ToFileName(text, back)) {
      ASSERT_EQ(platform::FromFileName(back), text) << round;
    }
  }
}

TEST(AnsiEdges, StringsConvertBothWays) {
  EXPECT_EQ(platform::FromAnsi(kNihongo + "1"), u"日本語1");
  EXPECT_EQ(platform::ToAnsi(u"日本語1"), kNihongo + "1");
  EXPECT_EQ(platform::FromAnsi("\xfe"), u"\uFFFD");
  EXPECT_EQ(platform::ToAnsi(u"한"), "?");
  EXPECT_EQ(platform::FromAnsi(""), u"");
}

}  // namespace
