#include "calculator/layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "calculator/wini.h"

// Rectangles in failure messages.
void PrintTo(const LayoutRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

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

// The display's size against the screen: the label at font size 11 as
// above, so the column is 164 wide, the smallest display 164 by 40 and each
// of the default six rows of buttons 25 high. The window shows a display
// that fits the screen; the setting keeps the file's size, raised to the
// smallest the font needs.
struct FitCase {
  const char* name;
  int32_t width, height;   // from the file
  LayoutRect screen;       // its available area
  int32_t shownWidth, shownHeight;
  int32_t keptWidth, keptHeight;
};

class ArrangeLayoutFitTest : public testing::TestWithParam<FitCase> {};

constexpr LayoutRect kScreen{0, 0, 1280, 1024};

TEST_P(ArrangeLayoutFitTest, TheDisplayShownFitsTheScreenAndTheSettingKeepsItsSize) {
  const FitCase& c = GetParam();
  wsetting s = Defaults();
  s.dispWidth = c.width;
  s.dispHeight = c.height;
  const CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH, c.screen);
  EXPECT_EQ(l.display.width, c.shownWidth);
  EXPECT_EQ(l.display.height, c.shownHeight);
  EXPECT_EQ(s.dispWidth, c.keptWidth);
  EXPECT_EQ(s.dispHeight, c.keptHeight);
  EXPECT_LE(l.clientWidth, c.screen.width);
  EXPECT_LE(l.clientHeight, c.screen.height);
  EXPECT_GE(l.clientWidth, 174);
  EXPECT_GE(l.clientHeight, 40 + 30);
  // Laid out again, as every load and the option dialog do, it is the same.
  const CalcLayout again = ArrangeLayout(s, kLabelW, kLabelH, c.screen);
  EXPECT_EQ(again.display, l.display);
  EXPECT_EQ(s.dispWidth, c.keptWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ArrangeLayoutFitTest,
    testing::Values(
        FitCase{"Defaults", 150, 60, kScreen, 164, 60, 164, 60},
        FitCase{"WideAndTall", 700, 900, kScreen, 700, 900, 700, 900},
        // Beside the display the column needs 164 + 15: 1101 is the widest
        // display, and 998 the tallest (26 for the title and the edge).
        FitCase{"JustFitsBeside", 1101, 998, kScreen, 1101, 998, 1101, 998},
        FitCase{"OnePixelTooWide", 1102, 999, kScreen, 1101, 998, 1102, 999},
        FitCase{"LargerThanTheScreen", 1500, 1200, kScreen, 1101, 998, 1500, 1200},
        FitCase{"Huge", 100000, 100000, kScreen, 1101, 998, 100000, 100000},
        FitCase{"Largest", INT32_MAX, INT32_MAX, kScreen, 1101, 998, INT32_MAX, INT32_MAX},
        FitCase{"Negative", -500, -500, kScreen, 164, 40, 164, 40},
        FitCase{"Smallest", INT32_MIN, INT32_MIN, kScreen, 164, 40, 164, 40},
        // Buttons below a display as wide as the column: 6 rows of 25, 30 for
        // the title and the edges.
        FitCase{"TallBelow", 164, 100000, kScreen, 164, 844, 164, 100000},
        FitCase{"JustFitsBelow", 164, 844, kScreen, 164, 844, 164, 844},
        // The screen of a second monitor, its place elsewhere: only its size counts.
        FitCase{"SmallScreen", 5000, 5000, LayoutRect{1280, 300, 640, 480}, 461, 454, 5000, 5000},
        // Too narrow for a column beside the display: the buttons go below.
        FitCase{"TinyScreen", 300, 200, LayoutRect{0, 0, 320, 240}, 164, 60, 300, 200}),
    [](const testing::TestParamInfo<FitCase>& c) { return std::string(c.param.name); });

TEST(ArrangeLayoutTest, ButtonsTallerThanTheScreenKeepTheDisplayAsItIs) {
  // All 22 rows at font size 11 are 550 high: with the display they cannot
  // fit 560 pixels, and shrinking the display would not help.
  wsetting s = Defaults();
  s.buttonDispLine1 = 10;
  s.buttonDispLine2 = s.buttonDispLine3 = s.buttonDispLine4 = 4;
  s.dispHeight = 60;
  EXPECT_EQ(ArrangeLayout(s, kLabelW, kLabelH, LayoutRect{0, 0, 800, 560}).display.height, 60);
  // The display alone still stays within the screen.
  s.dispHeight = 5000;
  EXPECT_EQ(ArrangeLayout(s, kLabelW, kLabelH, LayoutRect{0, 0, 800, 560}).display.height, 530);
  EXPECT_EQ(s.dispHeight, 5000);
}

struct FontCase {
  int32_t size, shown;
};

class ArrangeLayoutFontTest : public testing::TestWithParam<FontCase> {};

// Buttons are 2h + 2 high for font size h: sizes outside the option dialog's
// list would give buttons of no height or a window no screen shows. The
// setting keeps its size.
TEST_P(ArrangeLayoutFontTest, FontShownStaysWithinTheList) {
  wsetting s = Defaults();
  s.dispFontSize = GetParam().size;
  const CalcLayout l = ArrangeLayout(s, kLabelW, kLabelH, kScreen);
  EXPECT_EQ(s.dispFontSize, GetParam().size);
  EXPECT_EQ(Button(l, 11).height, 2 * GetParam().shown + 2);
  EXPECT_EQ(l.buttons[10].fontSize, GetParam().shown - 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ArrangeLayoutFontTest,
                         testing::Values(FontCase{-5, 8}, FontCase{7, 8}, FontCase{8, 8},
                                         FontCase{13, 13}, FontCase{36, 36}, FontCase{37, 36},
                                         FontCase{40, 36}, FontCase{10000, 36},
                                         FontCase{INT32_MAX, 36}, FontCase{INT32_MIN, 8}));

// The label as a fixed font of 14 pixels a point gives it, 4 pixels higher
// than its size: at 11 points 154 by 15, as above.
std::pair<int32_t, int32_t> Label(int32_t points) { return {14 * points, points + 4}; }

// A window the buttons make taller than the screen is shown at the largest
// smaller font at which it fits, down to 8, as wide as at its own font; the
// setting keeps its font and sizes, raised only to what its own font needs.
struct FitFontCase {
  const char* name;
  int32_t rows1, rows2, rows3, rows4;
  int32_t width, height;  // the display, from the file
  LayoutRect screen;
  int32_t shownFont;
  bool beside;
};

class FitLayoutTest : public testing::TestWithParam<FitFontCase> {};

TEST_P(FitLayoutTest, TheFontShownIsTheLargestAtWhichTheWindowFits) {
  const FitFontCase& c = GetParam();
  wsetting s = Defaults();
  s.buttonDispLine1 = c.rows1;
  s.buttonDispLine2 = c.rows2;
  s.buttonDispLine3 = c.rows3;
  s.buttonDispLine4 = c.rows4;
  s.dispWidth = c.width;
  s.dispHeight = c.height;
  wsetting t = s;
  const CalcLayout atAsked = ArrangeLayout(t, kLabelW, kLabelH, c.screen);
  const CalcLayout l = FitLayout(s, Label, c.screen);
  EXPECT_EQ(l.fontSize, c.shownFont);
  EXPECT_EQ(l.buttonsBeside, c.beside);
  // As wide as at the font asked for: every caption keeps its room.
  EXPECT_EQ(l.clientWidth, atAsked.clientWidth);
  EXPECT_EQ(l.display.width, atAsked.display.width);
  const int rows = c.rows1 + c.rows2 + c.rows3 + c.rows4;
  if (rows > 0) {
    // Buttons and captions at the font shown.
    const int first = c.rows1 > 0 ? 1 : c.rows2 > 0 ? 11 : c.rows3 > 0 ? 31 : 51;
    EXPECT_EQ(Button(l, first).height, 2 * c.shownFont + 2);
    EXPECT_EQ(Button(l, first).width, Button(atAsked, first).width);
    EXPECT_EQ(l.buttons[static_cast<size_t>(first - 1)].fontSize, c.shownFont - 1);
  }
  if (c.shownFont > 8) {
    EXPECT_LE(l.clientWidth, c.screen.width);
    EXPECT_LE(l.clientHeight, c.screen.height);
  }
  // The file keeps what it had, its display raised to what font 11 needs.
  EXPECT_EQ(s.dispFontSize, 11);
  EXPECT_EQ(s.dispWidth, std::max(c.width, 164));
  EXPECT_EQ(s.dispHeight, std::max(c.height, 40));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FitLayoutTest,
    testing::Values(
        // The template's twenty rows beside a display 230 wide are 526 high
        // at 11: a screen 512 high (1024 at scale 2) shows them at 10.
        FitFontCase{"TemplateOn512", 10, 2, 4, 4, 230, 60, LayoutRect{0, 0, 640, 512}, 10, true},
        FitFontCase{"TemplateOn682", 10, 2, 4, 4, 230, 60, LayoutRect{0, 0, 853, 682}, 11, true},
        FitFontCase{"TemplateOn526", 10, 2, 4, 4, 230, 60, LayoutRect{0, 0, 640, 526}, 11, true},
        FitFontCase{"TemplateOn525", 10, 2, 4, 4, 230, 60, LayoutRect{0, 0, 640, 525}, 10, true},
        // Below the display they stay below it: six rows and the smallest
        // display are 220 high at 11, 206 at 10 and 192 at 9.
        FitFontCase{"BelowOn200", 0, 2, 0, 4, 150, 60, LayoutRect{0, 0, 400, 200}, 9, false},
        // All 22 rows: at 8 they are 418 high, more than this screen has.
        FitFontCase{"NoRoomEvenAt8", 10, 4, 4, 4, 150, 60, LayoutRect{0, 0, 800, 300}, 8, false},
        FitFontCase{"NoButtons", 0, 0, 0, 0, 150, 60, LayoutRect{0, 0, 800, 90}, 11, false}),
    [](const testing::TestParamInfo<FitFontCase>& c) { return std::string(c.param.name); });

TEST(FitLayoutFitsTest, AWindowThatFitsIsArrangeLayoutsOwn) {
  wsetting a = Defaults();
  wsetting b = Defaults();
  a.dispWidth = b.dispWidth = 700;
  const CalcLayout fitted = FitLayout(a, Label, kScreen);
  const CalcLayout arranged = ArrangeLayout(b, kLabelW, kLabelH, kScreen);
  EXPECT_EQ(fitted.fontSize, 11);
  EXPECT_EQ(fitted.display, arranged.display);
  EXPECT_EQ(fitted.clientWidth, arranged.clientWidth);
  EXPECT_EQ(fitted.clientHeight, arranged.clientHeight);
  EXPECT_EQ(Button(fitted, 70), Button(arranged, 70));
}

TEST(ArrangeLayoutTest, ExtremeLabelAndScreenSizesOverflowNothing) {
  // Checked by the sanitizer build: every sum stays within 32 bits.
  for (int32_t label : {INT32_MIN, -1, 0, INT32_MAX}) {
    for (const LayoutRect& screen :
         {LayoutRect{0, 0, INT32_MAX, INT32_MAX}, LayoutRect{0, 0, INT32_MIN, -1}, kNoScreen}) {
      wsetting s = Defaults();
      s.dispWidth = INT32_MAX;
      s.dispHeight = INT32_MIN;
      s.buttonDispLine1 = INT32_MAX;
      const CalcLayout l = ArrangeLayout(s, label, label, screen);
      EXPECT_GT(l.clientWidth, 0);
      EXPECT_GT(l.clientHeight, 0);
      EXPECT_LE(l.clientWidth, 3 * kMaxWindowExtent);
    }
  }
}

// Where a window of 174 by 240 that the file puts at (left, top) goes: where
// it is when it lies wholly on the screens, else as far in as it must.
struct PlaceCase {
  const char* name;
  int32_t left, top;
  ScreenAreas screens;
  int32_t wantLeft, wantTop;
};

class PlaceWindowTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceWindowTest, TheWindowLiesOnAScreen) {
  const PlaceCase& c = GetParam();
  const LayoutRect placed = PlaceWindow(LayoutRect{c.left, c.top, 174, 240}, c.screens);
  EXPECT_EQ(placed, (LayoutRect{c.wantLeft, c.wantTop, 174, 240}));
}

const ScreenAreas kOne{{0, 0, 1280, 1024}};
// A second monitor to the right, taller and lower down.
const ScreenAreas kTwo{{0, 0, 1280, 1024}, {1280, 100, 1920, 1080}};
// A panel of 30 pixels at the top of the screen.
const ScreenAreas kPanel{{0, 30, 1280, 994}};

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceWindowTest,
    testing::Values(
        PlaceCase{"OnTheScreen", 60, 40, kOne, 60, 40},
        PlaceCase{"TopLeftCorner", 0, 0, kOne, 0, 0},
        PlaceCase{"BottomRightCorner", 1106, 784, kOne, 1106, 784},
        // The whole window counts: none of it hangs below or beside the screen.
        PlaceCase{"OneBelow", 1106, 785, kOne, 1106, 784},
        PlaceCase{"LowDown", 1106, 1002, kOne, 1106, 784},
        PlaceCase{"StripOneBelow", 1106, 1003, kOne, 1106, 784},
        PlaceCase{"StripOneRight", 1107, 40, kOne, 1106, 40},
        PlaceCase{"FarRight", 99999999, 40, kOne, 1106, 40},
        PlaceCase{"Extremes", INT32_MIN, INT32_MAX, kOne, 0, 784},
        PlaceCase{"OtherExtremes", INT32_MAX, INT32_MIN, kOne, 1106, 0},
        PlaceCase{"AboveTheScreen", 60, -100, kOne, 60, 0},
        PlaceCase{"LeftOfTheScreen", -50, 40, kOne, 0, 40},
        // Across both monitors, and on the second one where the first has no room.
        PlaceCase{"AcrossTwoScreens", 1200, 200, kTwo, 1200, 200},
        PlaceCase{"OnTheSecondScreen", 3000, 900, kTwo, 3000, 900},
        PlaceCase{"BelowTheSecondScreen", 3000, 1150, kTwo, 3000, 940},
        // Across both, lower than the first one reaches.
        PlaceCase{"AcrossTwoScreensBelowTheFirst", 1200, 900, kTwo, 1280, 900},
        PlaceCase{"AboveTheSecondScreen", 2000, 50, kTwo, 2000, 100},
        PlaceCase{"StripMostlyOnTheSecond", 1200, 1010, kTwo, 1280, 940},
        PlaceCase{"FarRightOfTwo", 99999999, 500, kTwo, 3026, 500},
        PlaceCase{"UnderThePanel", 60, 0, kPanel, 60, 30},
        PlaceCase{"NoScreen", INT32_MIN, INT32_MAX, ScreenAreas{}, 0, 32527}),
    [](const testing::TestParamInfo<PlaceCase>& c) { return std::string(c.param.name); });

TEST(PlaceLargeWindowTest, ItsTopLeftCornerIsOnTheScreen) {
  EXPECT_EQ(PlaceWindow(LayoutRect{300, 200, 1500, 1200}, kOne), (LayoutRect{0, 0, 1500, 1200}));
  EXPECT_EQ(PlaceWindow(LayoutRect{300, 200, 1500, 1200}, kPanel),
            (LayoutRect{0, 30, 1500, 1200}));
}

TEST(ScreenOfWindowTest, TheScreenTheTitleStripIsOnElseTheNearest) {
  EXPECT_EQ(ScreenOfWindow(LayoutRect{1500, 500, 174, 240}, kTwo), kTwo[1]);
  EXPECT_EQ(ScreenOfWindow(LayoutRect{100, 500, 174, 240}, kTwo), kTwo[0]);
  // The strip more on the second screen than on the first.
  EXPECT_EQ(ScreenOfWindow(LayoutRect{1200, 200, 174, 240}, kTwo), kTwo[1]);
  // The strip above the second screen, the window on it.
  EXPECT_EQ(ScreenOfWindow(LayoutRect{2000, 50, 174, 240}, kTwo), kTwo[1]);
  EXPECT_EQ(ScreenOfWindow(LayoutRect{99999999, 500, 174, 240}, kTwo), kTwo[1]);
  EXPECT_EQ(ScreenOfWindow(LayoutRect{-99999999, 500, 174, 240}, kTwo), kTwo[0]);
  EXPECT_EQ(ScreenOfWindow(LayoutRect{0, 0, 174, 240}, ScreenAreas{}), kNoScreen);
}

// Where a frame of 642 by 625 goes beside a window (frame) of 424 by 526.
struct BesideCase {
  const char* name;
  int32_t ownerLeft, ownerTop;
  LayoutRect screen;
  LayoutRect placed;
};

class PlaceBesideTest : public testing::TestWithParam<BesideCase> {};

TEST_P(PlaceBesideTest, BesideTheOwnerWhollyOnItsScreen) {
  const BesideCase& c = GetParam();
  EXPECT_EQ(PlaceBeside(LayoutRect{c.ownerLeft, c.ownerTop, 424, 526}, 642, 625, c.screen),
            c.placed);
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceBesideTest,
    testing::Values(
        BesideCase{"RightOfIt", 200, 100, kScreen, {624, 100, 642, 625}},
        BesideCase{"JustRightOfIt", 214, 100, kScreen, {638, 100, 642, 625}},
        BesideCase{"LeftOfIt", 700, 100, kScreen, {58, 100, 642, 625}},
        BesideCase{"NoRoomEitherSide", 300, 100, kScreen, {638, 100, 642, 625}},
        // Level with its top, moved up as far as it must.
        BesideCase{"LowDown", 200, 600, kScreen, {624, 399, 642, 625}},
        BesideCase{"UnderAPanel", 200, 0, LayoutRect{0, 30, 1280, 994}, {624, 30, 642, 625}},
        // A screen smaller than the window: as large as the screen.
        BesideCase{"ScreenAtScale2", 100, 50, LayoutRect{0, 0, 640, 512}, {0, 0, 640, 512}},
        // On a second screen, where the owner is.
        BesideCase{"SecondScreen", 1300, 200, LayoutRect{1280, 100, 1920, 1080},
                   {1724, 200, 642, 625}},
        // An owner off the screen still gives a place on it.
        BesideCase{"OwnerFarOff", 99999999, -99999999, kScreen, {638, 0, 642, 625}}),
    [](const testing::TestParamInfo<BesideCase>& c) { return std::string(c.param.name); });

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
