#include "calculator/colors.h"

#include <gtest/gtest.h>

#include <string>

#include "calculator/errors.h"
#include "testtext.h"

namespace {

struct ColorCase {
  const char16_t* text;
  uint32_t color;
  friend void PrintTo(const ColorCase& c, std::ostream* os) { *os << Show(c.text); }
};

class StringToColorTest : public testing::TestWithParam<ColorCase> {};

TEST_P(StringToColorTest, Reads) {
  const ColorCase& c = GetParam();
  EXPECT_EQ(static_cast<uint32_t>(StringToColor(c.text)), c.color);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StringToColorTest,
    testing::Values(
        // The form the button lines' colour fields are read back in.
        ColorCase{u"0x000000ff", 0x0000FF}, ColorCase{u"0x00984e00", 0x984E00},
        ColorCase{u"0X00FFFFFF", 0xFFFFFF}, ColorCase{u"$C0C0C0", 0xC0C0C0},
        ColorCase{u"0xFFFFFFFF", 0xFFFFFFFF}, ColorCase{u"$8000000F", 0x8000000F},
        ColorCase{u"9981440", 0x984E00}, ColorCase{u"-1", 0xFFFFFFFF},
        ColorCase{u"  255", 255}, ColorCase{u"-2147483648", 0x80000000},
        ColorCase{u"clBlack", 0x000000}, ColorCase{u"clRed", 0x0000FF},
        ColorCase{u"CLBLUE", 0xFF0000}, ColorCase{u"clmoneygreen", 0xC0DCC0},
        ColorCase{u"clBtnFace", 0x8000000F}, ColorCase{u"clWindowText", 0x80000008},
        ColorCase{u"clNone", 0x1FFFFFFF}, ColorCase{u"0x00", 0}));

class StringToColorErrorTest : public testing::TestWithParam<const char16_t*> {};

TEST_P(StringToColorErrorTest, RaisesConversionError) {
  EXPECT_THROW(StringToColor(GetParam()), EConvertError);
}

INSTANTIATE_TEST_SUITE_P(Texts, StringToColorErrorTest,
                         testing::Values(u"", u"0x", u"$", u"-", u"12ab", u"255 ", u"0x1FFFFFFFF",
                                         u"2147483648", u"clBlackish", u"Black", u"0x00ff00g"));

TEST(StringToColorTest, MessageShowsTheText) {
  try {
    StringToColor(u"0x00zz");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'0x00zz' is not a valid integer value");
  }
}

TEST(ColorToRGBTest, SystemColoursTakeTheStandardScheme) {
  EXPECT_EQ(ColorToRGB(StringToColor(u"clBtnFace")), 0xC0C0C0);
  EXPECT_EQ(ColorToRGB(StringToColor(u"clWindow")), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(StringToColor(u"clWindowText")), 0x000000);
  EXPECT_EQ(ColorToRGB(StringToColor(u"clHighlight")), 0x800000);
  EXPECT_EQ(ColorToRGB(StringToColor(u"clInfoBk")), 0xE1FFFF);
  EXPECT_EQ(ColorToRGB(StringToColor(u"clMenuBar")), 0xC0C0C0);
  // An index the scheme does not have gives black.
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x800000FFu)), 0);
}

TEST(ColorToRGBTest, PlainColoursUnchanged) {
  EXPECT_EQ(ColorToRGB(0x984E00), 0x984E00);
  EXPECT_EQ(ColorToRGB(0), 0);
  EXPECT_EQ(ColorToRGB(0x1FFFFFFF), 0x1FFFFFFF);
}

}  // namespace
