// layout: the window's geometry from the settings and the measured label.
// The window's geometry, computed from the settings and the measured size of
// the widest number ("-8.88888888888889e+888") at the display's font size.
// The widgets only apply the rectangles.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "calculator/colors.h"
#include "calculator/wsetting.h"

class wini;

struct LayoutRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const LayoutRect&) const = default;
};

struct ButtonPlace {
  bool visible = false;
  LayoutRect rect;       // meaningful when visible
  int32_t fontSize = 0;  // caption size in points: the display's less one
};

inline constexpr int32_t kButtonCount = 70;

struct CalcLayout {
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  LayoutRect display;     // MemoOut
  LayoutRect memoText;    // the display's text rectangle, 2 pixels inside it
  LayoutRect caption;     // LabelCaption's place (its size follows its text)
  // The title buttons stop-or-resume, minimise and close, kept at the
  // window's top-right corner.
  std::array<LayoutRect, 3> titleButtons;
  // Element n - 1 is button n.
  std::array<ButtonPlace, kButtonCount> buttons;
  int32_t gridLeft = 0;    // x of the buttons' left edge
  int32_t gridTop = 0;     // y of their first row
  int32_t gridBottom = 0;  // y below their last row
  bool buttonsBeside = false;  // the display is wider than the button column
};

// The window's layout. Raises setting.dispWidth and dispHeight to their
// minimum (so that they are saved) and keeps the row counts within their
// ranges. labelWidth and labelHeight: the measuring label's size in pixels at
// setting.dispFontSize.
CalcLayout ArrangeLayout(wsetting& setting, int32_t labelWidth, int32_t labelHeight);

// A button's face as its line in the table gives it.
struct ButtonLook {
  std::u16string caption;  // first line of the label, else of the program; at most 50 units
  TColor textColor = 0;
  TColor faceColor = 0;
};

// Look of button n (1 to 70). A colour field that is no hexadecimal number
// raises EConvertError.
ButtonLook LookOfButton(wini& buttonTable, int32_t n, const wsetting& setting);
