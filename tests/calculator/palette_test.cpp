#include "calculator/palette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using palette::BuildColors;

std::string Hex(TColor c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(c));
  return buf;
}

TEST(PaletteColors, FirstRowRunsThroughTheHueCircle) {
  const palette::Grid g = BuildColors(0, 0, 25, 50, 75);
  // 0x00BBGGRR: red, the 25/50/75 % steps toward yellow, green, cyan, blue,
  // magenta and back toward red; white at the end.
  const TColor row0[25] = {0x0000FF, 0x0040FF, 0x0080FF, 0x00C0FF, 0x00FFFF, 0x00FFC0, 0x00FF80,
                           0x00FF40, 0x00FF00, 0x40FF00, 0x80FF00, 0xC0FF00, 0xFFFF00, 0xFFC000,
                           0xFF8000, 0xFF4000, 0xFF0000, 0xFF0040, 0xFF0080, 0xFF00C0, 0xFF00FF,
                           0xC000FF, 0x8000FF, 0x4000FF, 0xFFFFFF};
  for (int c = 0; c < 25; ++c) EXPECT_EQ(Hex(g[0][c]), Hex(row0[c])) << "column " << c;
}

TEST(PaletteColors, GrayColumnDarkensDownToBlack) {
  const palette::Grid g = BuildColors(0, 0, 25, 50, 75);
  const TColor col24[8] = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0xA0A0A0,
                           0x808080, 0x606060, 0x404040, 0x000000};
  for (int r = 0; r < 8; ++r) EXPECT_EQ(Hex(g[r][24]), Hex(col24[r])) << "row " << r;
  // Red and the 25 % mix in a lower row follow the row's level (160).
  EXPECT_EQ(Hex(g[3][0]), "0x0000A0");
  EXPECT_EQ(Hex(g[3][1]), "0x0028A0");
}

TEST(PaletteColors, ExactProductAtSeventyPercent) {
  // Row 3 has the level 160; 70 % of it is exactly 112 (0x70), not 113.
  const palette::Grid g = BuildColors(0, 0, 70, 50, 75);
  EXPECT_EQ(Hex(g[3][1]), "0x0070A0");
  EXPECT_EQ(palette::MixPart(160, 70), 112);
  EXPECT_EQ(palette::MixPart(255, 25), 64);   // 63.75 rounds up
  EXPECT_EQ(palette::MixPart(255, 12.5), 32);  // 31.875
  EXPECT_EQ(palette::MixPart(64, 50), 32);
}

struct OffsetCase {
  int white, gray;
  int row, column;
  TColor expected;
};

class PaletteOffsets : public testing::TestWithParam<OffsetCase> {};

TEST_P(PaletteOffsets, Cell) {
  const OffsetCase& c = GetParam();
  const palette::Grid g = BuildColors(c.white, c.gray, 25, 50, 75);
  EXPECT_EQ(Hex(g[c.row][c.column]), Hex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaletteOffsets,
    testing::Values(
        // A white offset of 255 makes every cell white, -255 black; the
        // black corner then follows the offset too.
        OffsetCase{255, 0, 0, 0, 0xFFFFFF}, OffsetCase{255, 0, 7, 0, 0xFFFFFF},
        OffsetCase{255, 0, 7, 24, 0xFFFFFF}, OffsetCase{255, 0, 4, 13, 0xFFFFFF},
        OffsetCase{-255, 0, 0, 24, 0x000000}, OffsetCase{-255, 0, 0, 4, 0x000000},
        OffsetCase{-255, 0, 5, 9, 0x000000},
        // A white offset of 32 lifts the black corner to the row's gray.
        OffsetCase{32, 0, 7, 24, 0x404040}, OffsetCase{16, 0, 0, 1, 0x1050FF},
        // Gray 255: each cell becomes the gray of its average.
        OffsetCase{0, 255, 0, 0, 0x555555}, OffsetCase{0, 255, 0, 1, 0x6A6A6A},
        OffsetCase{0, 255, 0, 4, 0xAAAAAA}, OffsetCase{0, 255, 0, 24, 0xFFFFFF},
        // Gray 32 moves red (255, 0, 0; average 85) by 32 toward the average.
        OffsetCase{0, 32, 0, 0, 0x2020DF},
        // A negative gray pushes components apart: 64 green drops to 48.
        OffsetCase{0, -16, 0, 1, 0x0030FF}, OffsetCase{0, -16, 0, 0, 0x0000FF},
        // Gray set, white 0: the black corner is computed, not forced.
        OffsetCase{0, 16, 7, 24, 0x202020}));

TEST(PaletteColors, PullToGrayStopsAtTheTruncatedAverage) {
  int64_t r = 200, g = 100, b = 0;  // average 100
  EXPECT_EQ(PullToGray(r, g, b, 150), 100);
  EXPECT_EQ(r, 100);
  EXPECT_EQ(g, 100);
  EXPECT_EQ(b, 100);
  // The average of a negative sum truncates toward zero: -4 / 3 is -1.
  r = -4, g = 0, b = 0;
  EXPECT_EQ(PullToGray(r, g, b, 10), -1);
  EXPECT_EQ(r, -1);
  EXPECT_EQ(g, -1);
  EXPECT_EQ(b, -1);
  r = 10, g = 20, b = 30;
  PullToGray(r, g, b, -5);
  EXPECT_EQ(r, 5);
  EXPECT_EQ(g, 20);
  EXPECT_EQ(b, 35);
}

TEST(PaletteColors, HugeOffsetsClampInsteadOfOverflowing) {
  EXPECT_EQ(Hex(MakeColor(255, 0, 0, 2147483647, 0)), "0xFFFFFF");
  EXPECT_EQ(Hex(MakeColor(255, 0, 0, -2147483647, 0)), "0x000000");
  EXPECT_EQ(Hex(MakeColor(255, 0, 0, 0, -2147483647)), "0x0000FF");
  EXPECT_EQ(ClampByte(-1), 0);
  EXPECT_EQ(ClampByte(256), 255);
  EXPECT_EQ(ClampByte(17), 17);
}

TEST(PaletteColors, CeilIntRoundsUp) {
  EXPECT_EQ(CeilInt(3.0), 3);
  EXPECT_EQ(CeilInt(3.0000001), 4);
  EXPECT_EQ(CeilInt(-0.5), 0);
  EXPECT_EQ(CeilInt(-1.5), -1);
  EXPECT_EQ(CeilInt(1e12), INT32_MAX);
  EXPECT_EQ(CeilInt(-1e12), INT32_MIN);
}

TEST(PaletteColors, MixMarksTheColumnsItShapes) {
  const int marked[3][6] = {{1, 7, 9, 15, 17, 23}, {2, 6, 10, 14, 18, 22}, {3, 5, 11, 13, 19, 21}};
  for (int mix = 1; mix <= 3; ++mix) {
    std::string got;
    for (int c = 0; c < 25; ++c)
      if (palette::MixMarked(mix, c)) got += std::to_string(c) + " ";
    std::string want;
    for (int c : marked[mix - 1]) want += std::to_string(c) + " ";
    EXPECT_EQ(got, want) << "mix " << mix;
  }
  for (int c = 0; c < 25; ++c) EXPECT_FALSE(palette::MixMarked(0, c));
}

TEST(PaletteColors, UserCellSpansIncludeTheRightEdge) {
  struct {
    int x, cell;
  } cases[] = {{0, 0}, {20, 0}, {21, 1}, {41, 1}, {42, 2}, {503, 23}, {504, 24}, {524, 24},
               {525, -1}, {-1, -1}};
  for (auto c : cases) EXPECT_EQ(palette::UserCellAt(c.x), c.cell) << "x " << c.x;
}

TEST(PaletteColors, SwapRBGivesRedFirst) {
  EXPECT_EQ(Hex(SwapRB(0x0040FF)), "0xFF4000");
  EXPECT_EQ(Hex(SwapRB(0x984E00)), "0x004E98");
  // A system colour becomes its RGB value first (button face is silver).
  EXPECT_EQ(Hex(SwapRB(static_cast<TColor>(0x8000000F))), "0xC0C0C0");
  EXPECT_EQ(Hex(SwapRB(static_cast<TColor>(0x8000000D))), "0x000080");
}

}  // namespace
