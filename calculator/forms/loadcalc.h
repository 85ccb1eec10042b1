// loadcalc: the form side of the calculator file: reading one into the
// button table, the settings and the window, and writing the current state
// to one.
#pragma once

#include <string>

#include "calculator/calcfile.h"

class wvar;

// Reads path (ReadCalcFile) and, when it was loaded, brings the window up
// to date (ShowCalcFile); then true. When makeCurrent, the file becomes the
// current one first, so that its automatic program sees it current. A file
// ReadCalcFile refuses changes nothing and is reported (ReportRefusedFile);
// then false, as for a missing file that `missing` says to leave.
bool LoadCalcFile(const wvar& path, bool makeCurrent = false,
                  IfMissing missing = IfMissing::kLoadEmpty);
// LoadCalcFile that makes the file current.
bool OpenCalcFile(const wvar& path, IfMissing missing = IfMissing::kLoadEmpty);
// Writes the current state to path. "" is no file: nothing is written.
void SaveCalcFile(const wvar& path);

// The warning box that says a change to a button was refused, since the
// calculator file would then be too large to open again.
void ReportButtonTooLarge();
// The warning box that names a refused file and says why; an unreadable
// file raises EFOpenError instead, for the exception box.
void ReportRefusedFile(const CalcFileRead& read);
// Lays out the window for the settings just read, places it at pos, shows
// the buttons and the file's name, and runs its automatic program, or holds
// it for the window's next activation.
void ShowCalcFile(const std::u16string& path, const CalcWindowPos& pos);
