// layout: the window's geometry from the settings and the measured label.
#include "calculator/layout.h"

#include <algorithm>
#include <vector>

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

// Rectangles in 64 bits: positions and sizes from a file or the window
// system may be anywhere in 32 bits, and their sums must not overflow.
struct Box {
  int64_t left, top, right, bottom;
  explicit Box(const LayoutRect& r)
      : left(r.left), top(r.top), right(int64_t{r.left} + r.width),
        bottom(int64_t{r.top} + r.height) {}
};

int64_t Overlap(const Box& a, const Box& b) {
  const int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

int64_t Distance(const Box& a, const Box& b) {
  const int64_t dx = std::max({int64_t{0}, b.left - a.right, a.left - b.right});
  const int64_t dy = std::max({int64_t{0}, b.top - a.bottom, a.top - b.bottom});
  return dx + dy;
}

LayoutRect TitleStrip(const LayoutRect& window) {
  return LayoutRect{window.left, window.top, std::max(1, window.width), kTitleStripHeight};
}

// Whether the screens together cover the box: every piece of it between
// two screen edges lies on one screen.
bool Covered(const Box& box, const ScreenAreas& screens) {
  std::vector<int64_t> xs{box.left, box.right};
  std::vector<int64_t> ys{box.top, box.bottom};
  for (const LayoutRect& r : screens) {
    const Box s(r);
    for (int64_t x : {s.left, s.right}) {
      if (x > box.left && x < box.right) xs.push_back(x);
    }
    for (int64_t y : {s.top, s.bottom}) {
      if (y > box.top && y < box.bottom) ys.push_back(y);
    }
  }
  std::sort(xs.begin(), xs.end());
  std::sort(ys.begin(), ys.end());
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    if (xs[i] == xs[i + 1]) continue;
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
      if (ys[j] == ys[j + 1]) continue;
      const bool on = std::any_of(screens.begin(), screens.end(), [&](const LayoutRect& r) {
        const Box s(r);
        return s.left <= xs[i] && s.right >= xs[i + 1] && s.top <= ys[j] && s.bottom >= ys[j + 1];
      });
      if (!on) return false;
    }
  }
  return true;
}

int32_t Clamp64(int64_t v, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(v, low, std::max(low, high)));
}

// The layout at a font size. `raise`: the display's raises to what the font
// needs are written back into the setting.
CalcLayout Arrange(wsetting& s, int32_t fontSize, int32_t labelWidth, int32_t labelHeight,
                   const LayoutRect& screen, bool raise) {
  CalcLayout layout;
  layout.fontSize = fontSize;
  labelWidth = std::clamp(labelWidth, 0, kMaxWindowExtent);
  labelHeight = std::clamp(labelHeight, 0, kMaxWindowExtent);
  const int32_t maxWidth = std::clamp(screen.width, 0, kMaxWindowExtent);
  const int32_t maxHeight = std::clamp(screen.height, 0, kMaxWindowExtent);

  int32_t w = labelWidth + 4;
  int32_t minW = ((w + 6) / 5) * 5 + 4;
  const int32_t minH = 2 * labelHeight + 10;
  // The raise to what the font needs is the setting's own, and saved.
  if (raise && s.dispWidth < minW) s.dispWidth = minW;
  if (raise && s.dispHeight < minH) s.dispHeight = minH;
  // What the window shows is fitted to this screen; the setting keeps its
  // size for a larger one. A display wider than the column puts the column
  // beside it: the window is then the display, the column and 15 pixels wide.
  const int32_t width =
      std::min(std::max(s.dispWidth, minW), std::max(minW, maxWidth - minW - 15));
  const int32_t rows = s.buttonDispLine1 + s.buttonDispLine2 + s.buttonDispLine3 +
                       s.buttonDispLine4;
  const int32_t buttonsHeight = rows * (2 * fontSize + 3);
  int32_t maxDispHeight = width == minW ? maxHeight - 30 - buttonsHeight : maxHeight - 26;
  // Buttons that are taller than the screen by themselves: the display at
  // least stays within it.
  if (maxDispHeight < minH) maxDispHeight = maxHeight - 30;
  const int32_t height = std::min(std::max(s.dispHeight, minH), std::max(minH, maxDispHeight));

  layout.display = LayoutRect{5, kTitleStripHeight, width, height};
  int32_t x;
  int32_t y;
  layout.buttonsBeside = width != minW;
  if (!layout.buttonsBeside) {
    x = 6;
    y = height + kTitleStripHeight + 4;
    layout.clientWidth = width + 10;
  } else {
    x = width + 9;
    y = kTitleStripHeight;
    layout.clientWidth = width + minW + 15;
  }

  // The buttons: a short one is a fifth of the column less the gaps.
  int32_t col = (w + 6) / 5;
  int32_t full = 5 * col + 4;
  Grid grid{layout, x, y, fontSize};
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
  } else if (height < bottom - 25) {
    layout.display.height = bottom - 25;  // stretched, the setting kept
    layout.clientHeight = bottom + 4;
  } else {
    layout.clientHeight = height + kTitleStripHeight + 4;
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

// Only the height: a smaller font keeps the window's width.
bool FitsTheHeight(const CalcLayout& layout, const LayoutRect& screen) {
  return layout.clientHeight <= screen.height;
}

}  // namespace

CalcLayout ArrangeLayout(wsetting& s, int32_t labelWidth, int32_t labelHeight,
                         const LayoutRect& screen) {
  KeepSettingsInRange(s);
  return Arrange(s, ShownFontSize(s), labelWidth, labelHeight, screen, true);
}

CalcLayout FitLayout(wsetting& s, const MeasureLabel& measure, const LayoutRect& screen) {
  KeepSettingsInRange(s);
  const int32_t asked = ShownFontSize(s);
  const auto [width, height] = measure(asked);
  CalcLayout layout = Arrange(s, asked, width, height, screen, true);
  // A smaller font makes lower rows and a lower display; the column keeps
  // the width of the font asked for, so the window keeps its width and
  // every caption its room. The setting keeps its own font.
  for (int32_t size = asked - 1; size >= kMinDispFontSize && !FitsTheHeight(layout, screen); --size)
    layout = Arrange(s, size, width, measure(size).second, screen, false);
  return layout;
}

LayoutRect ScreenOfWindow(const LayoutRect& window, const ScreenAreas& screens) {
  if (screens.empty()) return kNoScreen;
  const Box strip(TitleStrip(window));
  const Box whole(window);
  // The screen that scores highest; the first of equals.
  auto best = [&](auto score) {
    size_t found = 0;
    for (size_t i = 1; i < screens.size(); ++i) {
      if (score(Box(screens[i])) > score(Box(screens[found]))) found = i;
    }
    return found;
  };
  size_t i = best([&](const Box& s) { return Overlap(strip, s); });
  if (Overlap(strip, Box(screens[i])) > 0) return screens[i];
  i = best([&](const Box& s) { return Overlap(whole, s); });
  if (Overlap(whole, Box(screens[i])) > 0) return screens[i];
  return screens[best([&](const Box& s) { return -Distance(whole, s); })];
}

LayoutRect PlaceWindow(const LayoutRect& window, const ScreenAreas& screens) {
  const ScreenAreas none{kNoScreen};
  const ScreenAreas& areas = screens.empty() ? none : screens;
  const LayoutRect outline{window.left, window.top, std::max(1, window.width),
                           std::max(1, window.height)};
  if (Covered(Box(outline), areas)) return window;
  const Box s(ScreenOfWindow(window, areas));
  LayoutRect placed = window;
  placed.left = Clamp64(window.left, s.left, s.right - window.width);
  placed.top = Clamp64(window.top, s.top, s.bottom - window.height);
  return placed;
}

LayoutRect PlaceBeside(const LayoutRect& owner, int32_t width, int32_t height,
                       const LayoutRect& screen) {
  const Box s(screen);
  const Box o(owner);
  const int64_t w = std::clamp<int64_t>(width, 1, std::max<int64_t>(1, s.right - s.left));
  const int64_t h = std::clamp<int64_t>(height, 1, std::max<int64_t>(1, s.bottom - s.top));
  int64_t left;
  if (o.right + w <= s.right && o.right >= s.left) {
    left = o.right;
  } else if (o.left - w >= s.left && o.left <= s.right) {
    left = o.left - w;
  } else {
    left = s.right - w;
  }
  LayoutRect placed;
  placed.left = Clamp64(left, s.left, s.right - w);
  placed.top = Clamp64(o.top, s.top, s.bottom - h);
  placed.width = static_cast<int32_t>(w);
  placed.height = static_cast<int32_t>(h);
  return placed;
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
