// layout: the window's geometry from the settings and the measured label.
// The window's geometry, computed from the settings and the measured size of
// the widest number ("-8.88888888888889e+888") at the display's font size.
// The widgets only apply the rectangles.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <string>
#include <vector>

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
  int32_t fontSize = 0;  // the display's font shown, in points
};

// The top of the window that its title, the title buttons and dragging use.
inline constexpr int32_t kTitleStripHeight = 22;
// No window size or position goes beyond this (the window system's limit).
inline constexpr int32_t kMaxWindowExtent = 32767;
inline constexpr LayoutRect kNoScreen{0, 0, kMaxWindowExtent, kMaxWindowExtent};

// The window's layout. Keeps the row counts within their ranges
// (KeepSettingsInRange) and raises setting.dispWidth and dispHeight to their
// minimum, writing the raise back so that it is saved. The display shown is
// then lowered so that the window fits `screen` (the available area of the
// screen it stands on; only its size counts), and the font shown kept within
// 8 to 36 (ShownFontSize); those the setting does not take, so that a file
// keeps its sizes for another screen. labelWidth and labelHeight: the
// measuring label's size in pixels at ShownFontSize(setting).
CalcLayout ArrangeLayout(wsetting& setting, int32_t labelWidth, int32_t labelHeight,
                         const LayoutRect& screen = kNoScreen);

// The measuring label's width and height in pixels at a font size in points.
using MeasureLabel = std::function<std::pair<int32_t, int32_t>(int32_t points)>;

// ArrangeLayout with the label measured at the font shown; and when the
// buttons still make the window taller than `screen`, the layout at the
// largest smaller font (down to 8) at which it fits, else at 8: lower rows
// and display, the button column as wide as at the font asked for. The
// setting keeps its font size, and its display is raised only to what its
// own font needs; fontSize says the font shown.
CalcLayout FitLayout(wsetting& setting, const MeasureLabel& measure,
                     const LayoutRect& screen);

// The available areas of the screens, the primary one first.
using ScreenAreas = std::vector<LayoutRect>;

// The screen a window (its rectangle) stands on: the one its title strip
// overlaps most, else the one the window overlaps most, else the nearest.
// kNoScreen when there is none.
LayoutRect ScreenOfWindow(const LayoutRect& window, const ScreenAreas& screens);

// Where a window asked for at window.left, window.top goes: unchanged when
// it lies wholly on the screens (across two of them too); otherwise onto
// the screen it belongs to, as far in as it fits, its top-left corner on
// that screen when it is larger. Any position, however far off, gives one
// on a screen.
LayoutRect PlaceWindow(const LayoutRect& window, const ScreenAreas& screens);

// Where a window whose frame is width by height goes beside `owner` (a
// frame too), wholly on `screen` (an available area): right of the owner
// when it fits there, else left of it, else as far right as the screen
// lets it; its top level with the owner's, moved in as far as it must. A
// window larger than the screen is made as large as the screen.
LayoutRect PlaceBeside(const LayoutRect& owner, int32_t width, int32_t height,
                       const LayoutRect& screen);

// A button's face as its line in the table gives it.
struct ButtonLook {
  std::u16string caption;  // first line of the label, else of the program; at most 50 units
  TColor textColor = 0;
  TColor faceColor = 0;
};

// Look of button n (1 to 70). A colour field that is no hexadecimal number
// raises EConvertError.
ButtonLook LookOfButton(wini& buttonTable, int32_t n, const wsetting& setting);
