// loadcalc: the form side of the calculator file: reading one into the
// button table, the settings and the window, and writing the current state
// to one.
#pragma once

#include <string>

class wvar;

void LoadCalcFile(const wvar& path);
void SaveCalcFile(const wvar& path);

// Makes path the current calculator file and loads it. A file of another
// kind (IsCalcFile) is named in a warning box instead, and the current file
// stays current; then false.
bool OpenCalcFile(const wvar& path);
// The box that names a file of another kind.
void WarnNotCalcFile(const std::u16string& path);
