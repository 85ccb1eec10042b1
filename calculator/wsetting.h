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
  int32_t dispFontSize = 0;  // points, shown within 8 to 36; button captions are one less
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

// Ranges of the button-row settings; a load and SetOption keep them within.
constexpr int32_t kMaxDispLine1 = 10;
constexpr int32_t kMaxDispLineBlock = 4;
// The display's font sizes: the smallest and largest the option dialog
// offers, and the sizes the window shows.
constexpr int32_t kMinDispFontSize = 8;
constexpr int32_t kMaxDispFontSize = 36;
// The smallest display SetOption accepts; the layout raises smaller ones
// further, to what the font needs.
constexpr int32_t kMinOptionDispWidth = 130;
constexpr int32_t kMinOptionDispHeight = 30;

// Brings the row counts into their ranges (a value within stays as it is),
// so that no layout reaches past the buttons that exist. A calculator file
// is data from anywhere: every load and every layout passes through here.
void KeepSettingsInRange(wsetting& s);

// The font size the window shows: dispFontSize within the sizes the option
// dialog offers. The setting itself keeps what the file or the user gave.
int32_t ShownFontSize(const wsetting& s);

// Sets every field that a load fills to its default (texts and run flags
// are left alone).
void ApplyLoadDefaults(wsetting& s);
