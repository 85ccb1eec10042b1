// wbtn: the 70 calculator buttons and the window layout (ArrangeForm,
// RefreshButtons, ShowButton, SetMemoMargins, ApplyStayOnTop).
#pragma once

#include <cstdint>

struct CalcLayout;
class QMenu;
class QObject;
class TFormCalc;
class TWButton;

class wbtn {
 public:
  TWButton** buttons;  // one per button, element n - 1 for button n
  int32_t count;
  TFormCalc* owner;
  int32_t left;
  int32_t top;
  int32_t current;  // the button the button menu and host commands act on

  wbtn(int32_t count, TFormCalc* owner, QMenu* popupMenu);
  ~wbtn();
  wbtn(const wbtn&) = delete;
  wbtn& operator=(const wbtn&) = delete;

  // Colours and hides every button, then shows and places those that the
  // layout places; the y below the last row.
  int Arrange(const CalcLayout& layout);
  void ButtonClick(QObject* sender);
  void ButtonMouseDown(QObject* sender);
};

// Pixels of a font size in points, on the 96 dots per inch the forms are
// drawn for.
int PointsToPixels(int points);

// Lays out the window for the settings, sized to fit the screen it stands on.
int ArrangeForm();
// Moves the main window to (left, top), or onto a screen when its title
// strip would not lie on one there.
void PlaceForm(int32_t left, int32_t top);
int RefreshButtons();
int ShowButton(int n);
int SetMemoMargins();
int ApplyStayOnTop();
