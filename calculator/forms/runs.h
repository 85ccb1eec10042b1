// runs: a button's program, the display line evaluated by Enter, the
// automatic program, and the display-line routines that host commands use.
#pragma once

#include <cstdint>
#include <string>

class wvar;

// Whether a run is under way or held in a STOP pause; the window then
// refuses to close.
bool RunActive();

// A stop (erStop) or a close request (erExit) for every run in progress.
// Every run clears the error code when it starts, so the request is held
// and written again at every per-statement request until the outermost run
// has returned; no new run starts while it is held.
void RequestStop(int32_t code);
// Writes a held request into the block again.
void RenewStop();
bool StopHeld();
// Whether a stop was asked for the runs in progress, also one that a close
// request then outranked (the title strip's close button asks both).
bool StopAsked();
// Drops a held request (a new block).
void ForgetStop();
// The reset request's answer, the prelude of host-command subs. It runs
// whole: a stop that arrives meanwhile waits until it is done.
int32_t RunPrelude();

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
