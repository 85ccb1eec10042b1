// buttonclip: button copy, paste and delete on the clipboard.
// Copying a button to the clipboard, pasting one from it and clearing one,
// on the button table and the platform clipboard. The window side redraws
// the button afterwards (ShowButton) when these say it changed.
#pragma once

#include <cstdint>
#include <string>

#include "calculator/wini.h"
#include "platform/api.h"

// what 0: the stored line verbatim; 1: the program as plain text. An empty
// text leaves the clipboard alone. Returns false when the clipboard could not
// be opened or written (it is then left as it was, or empty).
bool CopyButtonText(HWND owner, wini& buttonTable, int32_t current, int32_t what);
// Replaces the clipboard's contents by `text` in both formats (CF_TEXT as
// CP932); false when the clipboard could not be opened or written.
bool PutClipboardText(HWND owner, const std::u16string& text);

enum class PasteResult {
  kPasted,
  kNoClipboard,  // it could not be opened
  kTooLarge,     // the calculator file would grow past what opens again
};

// The clipboard's text into button current: a button record replaces the
// whole line in canonical form, anything else only the program (no text at
// all empties the program). Unless kPasted, the button is as it was.
PasteResult PasteButtonText(HWND owner, wini& buttonTable, int32_t current);

// The pasted text applied to the line: as PasteButtonText once the text is
// read (the integer 0 when the clipboard held none). False, changing
// nothing, when the file would then be too large (FitsCalcFile).
bool PasteIntoButton(wini& buttonTable, int32_t current, const wvar& text);

void ClearButtonLine(wini& buttonTable, int32_t current);
