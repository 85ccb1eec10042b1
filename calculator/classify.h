// classify: the input classifier of button programs and display lines.
// The input classifier: what a button's program or a display line is, so that
// numbers and operators are typed, expressions printed and statements run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum TTextKind : int32_t {
  tkBlank = 0,         // empty, or blanks, tabs, CR and LF only
  tkButtonRecord = 1,  // a backslash and a field marker after the blanks
  tkNumber = 2,
  tkExecLine = 3,      // begins with EXECLINE, any case
  tkStatement = 4,
  tkExpression = 5,
};

// The text ends at its end or at its first NUL.
int32_t ClassifyText(std::u16string_view text);
int32_t IsNumberText(std::u16string_view text);
// upper: the text already upper-cased.
int32_t IsStatementText(std::u16string_view upper);

// The script that types text into the display: PRINT "text", unescaped.
std::u16string TypingScript(std::u16string_view text);

// What Enter runs for a display line of the given kind (not for kinds 0 and
// 2, see NumberLineScript): the line unchanged for a statement, else
// "PRINT " + line.
std::u16string LineScript(int32_t kind, std::u16string_view line);
// A typed number becomes Ans: "Let Ans =" + line.
std::u16string NumberLineScript(std::u16string_view line);
// A printed number read back after a run: "Let Ans = " + line.
std::u16string ResultToAnsScript(std::u16string_view line);
