#include "calculator/layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "calculator/errors.h"
#include "calculator/wini.h"

namespace {

// The measuring label's size at font size 11 as a 7-pixel fixed font gives
// it: 22 characters, 15 pixels high.
constexpr int32_t kLabelW = 154;
constexpr int32_t kLabelH = 15;

wsetting Defaults() {
  wsetting s;
  ApplyLoadDefaults(s);
  return s;
}

std::vector<int> Visible(const CalcLayout& l) {
  std::vector<int> shown;
  for (int n = 1; n <= 70; ++n) {
    if (l.buttons[n - 1].visible) shown.push_back(n);
  }
  return shown;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> r;
  for (int n = from; n <= to; ++n) r.push_back(n);
  return r;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

LayoutRect Button(const CalcLayout& l, int n) { return l.buttons[n - 1].rect; }

TEST(ArrangeLayoutTest, DefaultSettings) {
  wsetting s = Defaults();
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  // The column is 5 * 32 + 4 = 164 wide; the display, 150 wide, is raised
  // to it and the buttons go below the display.
  EXPECT_EQ(s.dispWidth, 164);
  EXPECT_EQ(s.dispHeight, 60);
  EXPECT_FALSE(l.buttonsBeside);
  EXPECT_EQ(l.display, (LayoutRect{5, 22, 164, 60}));
  EXPECT_EQ(l.memoText, (LayoutRect{2, 2, 160, 56}));
  EXPECT_EQ(Visible(l), Join(Range(11, 20), Range(51, 70)));
  // Buttons 24 high (2 * 11 + 2), rows 25 apart, 33 between columns.
  EXPECT_EQ(Button(l, 11), (LayoutRect{6, 86, 32, 24}));
  EXPECT_EQ(Button(l, 15), (LayoutRect{138, 86, 32, 24}));
  EXPECT_EQ(Button(l, 16), (LayoutRect{6, 111, 32, 24}));
  EXPECT_EQ(Button(l, 20), (LayoutRect{138, 111, 32, 24}));
  EXPECT_EQ(Button(l, 51), (LayoutRect{6, 136, 32, 24}));
  EXPECT_EQ(Button(l, 68), (LayoutRect{72, 211, 32, 24}));
  EXPECT_EQ(Button(l, 70), (LayoutRect{138, 211, 32, 24}));
  EXPECT_EQ(l.buttons[10].fontSize, 10);
  EXPECT_EQ(l.clientWidth, 174);
  EXPECT_EQ(l.clientHeight, 240);
  EXPECT_EQ(l.titleButtons[0], (LayoutRect{123, 4, 15, 15}));
  EXPECT_EQ(l.titleButtons[1], (LayoutRect{139, 4, 15, 15}));
  EXPECT_EQ(l.titleButtons[2], (LayoutRect{155, 4, 15, 15}));
}

TEST(ArrangeLayoutTest, AllRowsZero) {
  wsetting s = Defaults();
  s.buttonDispLine2 = s.buttonDispLine4 = 0;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_TRUE(Visible(l).empty());
  EXPECT_EQ(l.clientWidth, 174);
  EXPECT_EQ(l.clientHeight, 90);  // dispHeight + 30
}

TEST(ArrangeLayoutTest, LargestRowsShowAllSeventyButtons) {
  wsetting s = Defaults();
  s.buttonDispLine1 = 10;
  s.buttonDispLine2 = s.buttonDispLine3 = s.buttonDispLine4 = 4;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_EQ(Visible(l), Range(1, 70));
  EXPECT_EQ(Button(l, 1), (LayoutRect{6, 86, 164, 24}));
  EXPECT_EQ(Button(l, 10), (LayoutRect{6, 311, 164, 24}));
  EXPECT_EQ(Button(l, 11), (LayoutRect{6, 336, 32, 24}));
  EXPECT_EQ(Button(l, 30), (LayoutRect{138, 411, 32, 24}));
  EXPECT_EQ(Button(l, 31), (LayoutRect{6, 436, 32, 24}));
  EXPECT_EQ(Button(l, 70), (LayoutRect{138, 611, 32, 24}));
  EXPECT_EQ(l.clientHeight, 640);
}

TEST(ArrangeLayoutTest, RowsOutOfRangeNeverReachPastTheirGroup) {
  wsetting s = Defaults();
  s.buttonDispLine1 = 12;
  s.buttonDispLine2 = 0;
  s.buttonDispLine3 = -2;
  s.buttonDispLine4 = 9;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_EQ(Visible(l), Join(Range(1, 10), Range(51, 70)));
  EXPECT_EQ(s.buttonDispLine1, 10);
  EXPECT_EQ(s.buttonDispLine3, 0);
  EXPECT_EQ(s.buttonDispLine4, 4);
}

TEST(ArrangeLayoutTest, WideDisplayPutsTheButtonsBesideIt) {
  wsetting s = Defaults();
  s.dispWidth = 300;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_TRUE(l.buttonsBeside);
  EXPECT_EQ(s.dispWidth, 300);
  EXPECT_EQ(Button(l, 11), (LayoutRect{309, 22, 32, 24}));
  EXPECT_EQ(Button(l, 15), (LayoutRect{441, 22, 32, 24}));
  EXPECT_EQ(Button(l, 70), (LayoutRect{441, 147, 32, 24}));
  // The column (six rows, to 172) is taller than the display: the display
  // is stretched to it, the setting kept.
  EXPECT_EQ(l.display, (LayoutRect{5, 22, 300, 147}));
  EXPECT_EQ(s.dispHeight, 60);
  EXPECT_EQ(l.clientWidth, 479);
  EXPECT_EQ(l.clientHeight, 176);
  EXPECT_EQ(l.titleButtons[2].left, 460);
}

TEST(ArrangeLayoutTest, WideAndTallDisplayKeepsItsHeight) {
  wsetting s = Defaults();
  s.dispWidth = 300;
  s.dispHeight = 400;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_EQ(l.display, (LayoutRect{5, 22, 300, 400}));
  EXPECT_EQ(l.clientHeight, 426);
}

TEST(ArrangeLayoutTest, DisplayExactlyAsWideAsTheColumnKeepsTheButtonsBelow) {
  wsetting s = Defaults();
  s.dispWidth = 164;
  CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH);
  EXPECT_FALSE(l.buttonsBeside);
  s.dispWidth = 165;
  EXPECT_TRUE(ArrangeLayout(s, kLabelW, kLabelH).buttonsBeside);
}

TEST(ArrangeLayoutTest, FontSize36GrowsTheMinimumsWithTheLabel) {
  wsetting s = Defaults();
  s.dispFontSize = 36;
  // The label at 36 points: 396 by 48 pixels.
  CalcLayout l = ArrangeLayout(s, 396, 48);
  EXPECT_EQ(s.dispWidth, 409);   // ((400 + 6) div 5) * 5 + 4
  EXPECT_EQ(s.dispHeight, 106);  // 2 * 48 + 10
  EXPECT_EQ(l.display, (LayoutRect{5, 22, 409, 106}));
  EXPECT_EQ(Button(l, 11), (LayoutRect{6, 132, 81, 74}));
  EXPECT_EQ(Button(l, 12), (LayoutRect{88, 132, 81, 74}));
  EXPECT_EQ(Button(l, 70), (LayoutRect{334, 507, 81, 74}));
  EXPECT_EQ(l.buttons[69].fontSize, 35);
  EXPECT_EQ(l.clientWidth, 419);
  EXPECT_EQ(l.clientHeight, 586);
}

struct LookCase {
  const char16_t* line;
  const char16_t* caption;
  TColor text;
  TColor face;
};

class LookOfButtonTest : public testing::TestWithParam<LookCase> {};

TEST_P(LookOfButtonTest, CaptionAndColours) {
  wini table;
  table.AddLine(wvar(u""));
  table.AddLine(wvar(GetParam().line));
  wsetting s = Defaults();
  s.textColor = 0x111111;
  ButtonLook look = LookOfButton(table, 1, s);
  EXPECT_EQ(look.caption, GetParam().caption);
  EXPECT_EQ(look.textColor, GetParam().text);
  EXPECT_EQ(look.faceColor, GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LookOfButtonTest,
    testing::Values(
        LookCase{u"", u"", 0x111111, 0xC0C0C0},
        LookCase{u"\\1Sin\\20000ff\\3ff8000\\531002b003200", u"Sin", 0x0000FF, 0xFF8000},
        LookCase{u"\\1two\r\nlines", u"two", 0x111111, 0xC0C0C0},
        LookCase{u"\\531002b003200", u"1+2", 0x111111, 0xC0C0C0},  // no label: the program
        LookCase{u"\\'A\\cABCDEF", u"A", 0xABCDEF, 0xC0C0C0},
        // The program's first line, at most 50 units
        LookCase{u"\\5"
                 u"3000310032003300340035003600370038003900300031003200330034003500360037003800"
                 u"3900300031003200330034003500360037003800390030003100320033003400350036003700"
                 u"3800390030003100320033003400350036003700380039007a007a00",
                 u"01234567890123456789012345678901234567890123456789", 0x111111, 0xC0C0C0},
        LookCase{u"\\5610062000d000a006300", u"ab", 0x111111, 0xC0C0C0}));

TEST(LookOfButtonTest, ColourThatIsNoNumberRaises) {
  wini table;
  table.AddLine(wvar(u""));
  table.AddLine(wvar(u"\\1A\\2zz"));
  EXPECT_THROW(LookOfButton(table, 1, Defaults()), EConvertError);
}

}  // namespace
