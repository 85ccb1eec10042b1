// clipbutton: copy, paste and delete of the current button, from the button
// menu and the host commands.
#include "calculator/buttonclip.h"
#include "calculator/wini.h"
#include "formcalc.h"
#include "hooks.h"
#include "loadcalc.h"
#include "wbtn.h"

// A clipboard that cannot be opened (another program holds it) leaves both
// the clipboard and the button as they were.
int CopyButtonToClipboard(int what) {
  if (ButtonTable == nullptr || ButtonSet == nullptr) return 0;
  CopyButtonText(FormCalc->Handle(), *ButtonTable, ButtonSet->current, what);
  return 0;
}

int PasteButtonFromClipboard() {
  if (ButtonTable == nullptr || ButtonSet == nullptr) return 0;
  const int32_t current = ButtonSet->current;
  switch (PasteButtonText(FormCalc->Handle(), *ButtonTable, current)) {
    case PasteResult::kPasted: ShowButton(current); break;
    case PasteResult::kTooLarge: ReportButtonTooLarge(); break;
    case PasteResult::kNoClipboard: break;
  }
  return 0;
}

int ClearButton() {
  if (ButtonTable == nullptr || ButtonSet == nullptr) return 0;
  const int32_t current = ButtonSet->current;
  ClearButtonLine(*ButtonTable, current);
  ShowButton(current);
  return 0;
}
