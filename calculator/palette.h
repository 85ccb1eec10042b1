// palette: the colour palette's arithmetic: the 25 x 8 cells computed from
// the white and gray offsets and the three mix percentages, the gray mark
// columns, and which user cell a point falls in. The dialog only paints what
// this gives.
#pragma once

#include <array>
#include <cstdint>

#include "calculator/colors.h"

namespace palette {

constexpr int kColumns = 25;
constexpr int kRows = 8;
constexpr int kCellSize = 20;  // cells stand kCellSize + 1 apart
constexpr TColor kMarkColor = 0xB0B0B0;
constexpr TColor kUserDefault = 0xC0C0C0;

// rows[r][c]
using Grid = std::array<std::array<TColor, kColumns>, kRows>;

}  // namespace palette

// x rounded up to an integer (saturating far outside the 32-bit range).
int32_t CeilInt(double x);
// v bounded to 0..255.
int32_t ClampByte(int64_t v);
// Moves each component toward the truncated average by step without
// crossing it (a negative step moves them away); returns the average.
int64_t PullToGray(int64_t& red, int64_t& green, int64_t& blue, int64_t step);
// white added to each component, pulled to gray, clamped, packed 0x00BBGGRR.
TColor MakeColor(int64_t red, int64_t green, int64_t blue, int64_t white, int64_t gray);
// The colour as 0x00RRGGBB (system colours through their RGB value first).
TColor SwapRB(TColor color);

namespace palette {

// The level of a row: 255, then 224 down to 32.
int32_t RowLevel(int row);
// level × percent / 100 rounded up, exact where the product is whole
// (160 at 70 % is 112).
int32_t MixPart(int32_t level, double percent);
// The computed cells. mix1..mix3 are percentages.
Grid BuildColors(int32_t white, int32_t gray, double mix1, double mix2, double mix3);
// Whether `column` carries the gray mark while mix edit `focusedMix` (1 to
// 3; 0 none) has the focus.
bool MixMarked(int focusedMix, int column);
// The user cell whose span (kCellSize + 1) × i .. + kCellSize holds x, or -1.
int UserCellAt(int x);

}  // namespace palette
