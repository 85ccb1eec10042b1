// loadcalc: the form side of the calculator file: reading one into the
// button table, the settings and the window, and writing the current state
// to one.
#pragma once

class wvar;

void LoadCalcFile(const wvar& path);
void SaveCalcFile(const wvar& path);
