// wsetting: the settings record and the defaults a calculator file load gives.
// The settings record: the calculator's options, layout, colours and run
// flags, shared by the main window, the host commands and the dialogs.
#pragma once

#include <cstdint>

#include "calculator/colors.h"
#include "values/wvar.h"

struct wsetting {
  wvar exeDir;            // the program's folder, no trailing separator
  int32_t busy = 0;       // 1 while a button press runs its program
  int32_t inputWait = 0;  // 1 while InputButton waits for a button press
  wvar currentPath;       // where the current calculator file is saved
  int32_t buttonDispLine1 = 0;  // long buttons shown, 0 to 10
  int32_t buttonDispLine2 = 0;  // rows of buttons 11 to 30, 0 to 4
  int32_t buttonDispLine3 = 0;  // rows of buttons 31 to 50, 0 to 4
  int32_t buttonDispLine4 = 0;  // rows of buttons 51 to 70, 0 to 4
  int32_t buttonEditMode = 0;   // nonzero: the button menu can edit
  int32_t stayOnTop = 0;
  int32_t dispWidth = 0;     // pixels; the layout raises it to its minimum
  int32_t dispHeight = 0;
  int32_t dispFontSize = 0;  // points; button captions are one less
  TColor formColor = 0;
  TColor buttonColor = 0;
  TColor titleColor = 0;
  TColor textColor = 0;
  wvar execLineResult;       // ExecLine's answer; stays ""
  int32_t autoPending = 0;   // 1: run the automatic program at the next activation
  int32_t abortNoSave = 0;   // 1: quit without saving
  double mix1 = 0;
  double mix2 = 0;
  double mix3 = 0;

  // Texts empty, everything else 0, as at start-up.
  wsetting();
};

// What a load gives for a key the calculator file lacks.
namespace calcdefaults {
constexpr int32_t kTop = 100;
constexpr int32_t kLeft = 200;
constexpr int32_t kButtonEditMode = 1;
constexpr int32_t kStayOnTop = 0;
constexpr int32_t kButtonDispLine1 = 0;
constexpr int32_t kButtonDispLine2 = 2;
constexpr int32_t kButtonDispLine3 = 0;
constexpr int32_t kButtonDispLine4 = 4;
constexpr int32_t kDispWidth = 150;
constexpr int32_t kDispHeight = 60;
constexpr int32_t kDispFontSize = 11;
constexpr TColor kFormColor = 0x984E00;
constexpr TColor kTitleColor = 0xFFFFFF;
constexpr TColor kTextColor = 0;
constexpr TColor kButtonColor = 0xC0C0C0;
constexpr double kMix1 = 25;
constexpr double kMix2 = 50;
constexpr double kMix3 = 75;
}  // namespace calcdefaults

// Ranges of the button-row settings; a load and SetOption keep them within.
constexpr int32_t kMaxDispLine1 = 10;
constexpr int32_t kMaxDispLineBlock = 4;
// The display's font sizes: the smallest and largest the option dialog offers.
constexpr int32_t kMinDispFontSize = 8;
constexpr int32_t kMaxDispFontSize = 36;

// Brings the row counts and the font size into their ranges (a value within
// stays as it is), so that no layout reaches past the buttons that exist and
// every size computed from them stays small. A calculator file is data from
// anywhere: every load and every layout passes through here.
void KeepSettingsInRange(wsetting& s);

// Sets every field that a load fills to its default (texts and run flags
// are left alone).
void ApplyLoadDefaults(wsetting& s);
