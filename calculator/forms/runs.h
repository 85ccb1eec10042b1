// runs: a button's program, the display line evaluated by Enter, the
// automatic program, and the display-line routines that host commands use.
#pragma once

#include <string>

class wvar;

int RunButtonProgram(const std::u16string& text);
int ExecCurrentLine();
int RunAutoProgram();
// The display line at the caret, with its CR LF when it has one.
void ReadCurrentLine(wvar& text);
std::u16string ReadCurrentLine();
// Moves the caret to an empty next line.
int AdvanceDisplayLine();
// The host command behind GetCurrentLine: request cell 2 = the current line.
int CmdGetCurrentLine();
