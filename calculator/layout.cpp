// layout: the window's geometry from the settings and the measured label.
#include "calculator/layout.h"

#include <algorithm>

#include "calculator/commandtable.h"
#include "calculator/wini.h"

namespace {

// The grid's placement state while it lays out rows.
struct Grid {
  CalcLayout& layout;
  int32_t left;
  int32_t top;
  int32_t fontSize;

  void Place(int32_t element, int32_t x, int32_t width) {
    ButtonPlace& b = layout.buttons[static_cast<size_t>(element)];
    b.visible = true;
    b.rect = LayoutRect{x, top, width, 2 * fontSize + 2};
    b.fontSize = fontSize - 1;
  }
  void Column(int32_t first, int32_t rows, int32_t width) {
    for (int32_t k = 0; k < rows; ++k) {
      Place(first + k, left, width);
      top += 2 * fontSize + 3;
    }
  }
  void Rows(int32_t first, int32_t rows, int32_t col) {
    for (int32_t r = 0; r < rows; ++r) {
      for (int32_t j = 0; j < 5; ++j) Place(first + 5 * r + j, left + j * (col + 1), col);
      top += 2 * fontSize + 3;
    }
  }
};

void KeepRowsInRange(wsetting& s) {
  s.buttonDispLine1 = std::clamp(s.buttonDispLine1, 0, kMaxDispLine1);
  s.buttonDispLine2 = std::clamp(s.buttonDispLine2, 0, kMaxDispLineBlock);
  s.buttonDispLine3 = std::clamp(s.buttonDispLine3, 0, kMaxDispLineBlock);
  s.buttonDispLine4 = std::clamp(s.buttonDispLine4, 0, kMaxDispLineBlock);
}

}  // namespace

CalcLayout ArrangeLayout(wsetting& s, int32_t labelWidth, int32_t labelHeight) {
  CalcLayout layout;
  KeepRowsInRange(s);

  int32_t w = labelWidth + 4;
  int32_t minW = ((w + 6) / 5) * 5 + 4;
  if (s.dispWidth < minW) s.dispWidth = minW;
  if (s.dispHeight < 2 * labelHeight + 10) s.dispHeight = 2 * labelHeight + 10;

  layout.display = LayoutRect{5, 22, s.dispWidth, s.dispHeight};
  int32_t x;
  int32_t y;
  layout.buttonsBeside = s.dispWidth != minW;
  if (!layout.buttonsBeside) {
    x = 6;
    y = s.dispHeight + 26;
    layout.clientWidth = s.dispWidth + 10;
  } else {
    x = s.dispWidth + 9;
    y = 22;
    layout.clientWidth = s.dispWidth + minW + 15;
  }

  // The buttons: a short one is a fifth of the column less the gaps.
  int32_t col = (w + 6) / 5;
  int32_t full = 5 * col + 4;
  Grid grid{layout, x, y, s.dispFontSize};
  grid.Column(0, s.buttonDispLine1, full);
  grid.Rows(10, s.buttonDispLine2, col);
  grid.Rows(30, s.buttonDispLine3, col);
  grid.Rows(50, s.buttonDispLine4, col);
  int32_t bottom = grid.top;
  layout.gridLeft = x;
  layout.gridTop = y;
  layout.gridBottom = bottom;

  if (!layout.buttonsBeside) {
    layout.clientHeight = bottom + 4;
  } else if (s.dispHeight < bottom - 25) {
    layout.display.height = bottom - 25;  // stretched, the setting kept
    layout.clientHeight = bottom + 4;
  } else {
    layout.clientHeight = s.dispHeight + 26;
  }

  const LayoutRect& d = layout.display;
  layout.memoText = LayoutRect{2, 2, std::max(0, d.width - 4), std::max(0, d.height - 4)};
  layout.caption = LayoutRect{6, 3, 0, 0};
  // Designed at 159, 175 and 191 in a window 210 wide; anchored to the right.
  layout.titleButtons = {LayoutRect{layout.clientWidth - 51, 4, 15, 15},
                         LayoutRect{layout.clientWidth - 35, 4, 15, 15},
                         LayoutRect{layout.clientWidth - 19, 4, 15, 15}};
  return layout;
}

ButtonLook LookOfButton(wini& table, int32_t n, const wsetting& s) {
  ButtonLook look;
  wvar text = table.GetField(n, 1);
  if (text.type != vtString || text.Length() == 0) text = table.GetField(n, 5);
  if (text.type == vtString) look.caption = text.FirstLine(50).Chars();
  // GetField parsed the line: the colour fields are still in place.
  look.textColor = ColorOfField(table.textColor, s.textColor);
  look.faceColor = ColorOfField(table.backColor, s.buttonColor);
  return look;
}
