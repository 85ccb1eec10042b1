// palette: the colour palette's cells, marks and user cells.
#include "calculator/palette.h"

#include <cmath>

int32_t CeilInt(double x) {
  double c = std::ceil(x);
  if (!(c > -2147483648.0)) return INT32_MIN;  // NaN lands here too
  if (c > 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(c);
}

int32_t ClampByte(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int32_t>(v); }

int64_t PullToGray(int64_t& red, int64_t& green, int64_t& blue, int64_t step) {
  const int64_t average = (red + green + blue) / 3;
  for (int64_t* c : {&red, &green, &blue}) {
    if (*c > average) {
      *c -= step;
      if (*c < average) *c = average;
    }
    if (*c < average) {
      *c += step;
      if (*c > average) *c = average;
    }
  }
  return average;
}

TColor MakeColor(int64_t red, int64_t green, int64_t blue, int64_t white, int64_t gray) {
  red += white;
  green += white;
  blue += white;
  PullToGray(red, green, blue, gray);
  return ClampByte(red) + 256 * ClampByte(green) + 65536 * ClampByte(blue);
}

TColor SwapRB(TColor color) {
  uint32_t c = static_cast<uint32_t>(ColorToRGB(color));
  return static_cast<TColor>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

namespace palette {

int32_t RowLevel(int row) { return row == 0 ? 255 : 255 - 31 - 32 * (row - 1); }

int32_t MixPart(int32_t level, double percent) {
  // level × percent is exact for whole and short percentages and one correctly
  // rounded division then keeps a whole quotient whole; percent × 0.01 first
  // would not (0.7 × 160 lands above 112).
  return CeilInt(level * percent / 100.0);
}

Grid BuildColors(int32_t white, int32_t gray, double mix1, double mix2, double mix3) {
  Grid grid{};
  for (int r = 0; r < kRows; ++r) {
    const int32_t L = RowLevel(r);
    const int32_t a = MixPart(L, mix1), b = MixPart(L, mix2), c = MixPart(L, mix3);
    const int32_t up[5] = {0, a, b, c, L};  // the component rising across a group of five
    const int32_t down[3] = {c, b, a};      // and falling across a group of three
    struct Rgb {
      int32_t r, g, b;
    };
    Rgb cells[kColumns];
    for (int i = 0; i < 5; ++i) {
      cells[i] = {L, up[i], 0};
      cells[8 + i] = {0, L, up[i]};
      cells[16 + i] = {up[i], 0, L};
    }
    for (int i = 0; i < 3; ++i) {
      cells[5 + i] = {down[i], L, 0};
      cells[13 + i] = {0, down[i], L};
      cells[21 + i] = {L, 0, down[i]};
    }
    cells[24] = {L, L, L};
    for (int col = 0; col < kColumns; ++col)
      grid[r][col] = MakeColor(cells[col].r, cells[col].g, cells[col].b, white, gray);
    if (r == kRows - 1 && white == 0 && gray == 0) grid[r][24] = 0;
  }
  return grid;
}

bool MixMarked(int focusedMix, int column) {
  static const int kMarked[3][6] = {
      {1, 7, 9, 15, 17, 23}, {2, 6, 10, 14, 18, 22}, {3, 5, 11, 13, 19, 21}};
  if (focusedMix < 1 || focusedMix > 3) return false;
  for (int c : kMarked[focusedMix - 1])
    if (c == column) return true;
  return false;
}

int UserCellAt(int x) {
  for (int i = 0; i < kColumns; ++i) {
    const int left = (kCellSize + 1) * i;
    if (left <= x && x <= left + kCellSize) return i;
  }
  return -1;
}

}  // namespace palette
