// display: display-line arithmetic and how printed text reaches the display.
// Display-line arithmetic on the display's text, whose lines end in CR LF:
// text and caret in, text and selection out. The widget only applies them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The display's text with its selection (start, length); caret = selStart
// when nothing is selected.
struct DisplayState {
  std::u16string text;
  int32_t selStart = 0;
  int32_t selLength = 0;
};

// The line at the caret: from behind the last LF before the caret up to and
// including the next LF (or to the end).
std::u16string ReadCurrentLine(std::u16string_view text, int32_t caret);

// Moves the caret onto an empty next line: an inner next line is emptied,
// on the last line CR LF is appended. The result has nothing selected.
DisplayState AdvanceDisplayLine(std::u16string_view text, int32_t caret);

// One step of printing a text: either empty the display, or replace the
// selection by a piece (at most 254 units, or a piece ending in CR LF).
struct PrintStep {
  bool clear = false;
  std::u16string piece;
};

// How a printed text reaches the display: CR dropped, LF written as CR LF,
// ESC "*" empties the display (text still buffered goes in afterwards), any
// other ESC dropped, a NUL ends the text.
std::vector<PrintStep> PrintSteps(std::u16string_view printed);

// Applies the steps to a display as the edit control does: a piece replaces
// the selection and the caret follows it; clearing leaves the caret at 0.
void ApplyPrint(DisplayState& display, const std::vector<PrintStep>& steps);

// The edit widget keeps LF-only text; the display's own text has CR LF.
// These map a text and a position between the two forms.
std::u16string ToWidgetText(std::u16string_view text);
int32_t ToWidgetPos(std::u16string_view text, int32_t pos);
std::u16string FromWidgetText(std::u16string_view widgetText);
int32_t FromWidgetPos(std::u16string_view widgetText, int32_t widgetPos);
