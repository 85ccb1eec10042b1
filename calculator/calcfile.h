// calcfile: the calculator file, its button lines and settings keys, read and written.
// The calculator file: 71 button lines under B0 to B70 and the settings keys,
// UTF-16LE with a byte-order mark. Reading and writing only; the window side
// (layout, title, automatic program) applies what these give.
#pragma once

#include <cstdint>
#include <string>

#include "calculator/wini.h"
#include "calculator/wsetting.h"

// The default calculator file beside the program, and the template read
// (never written) when it is missing.
inline constexpr char16_t kCalcFileName[] = u"zimro.ini";
inline constexpr char16_t kTemplateFileName[] = u"zimro.si";

// The main window's edges, kept in the file as Top and Left.
struct CalcWindowPos {
  int32_t top = 100;
  int32_t left = 200;
};

// Reads the file at path. A missing file reads as an empty one: 71 empty
// lines and every default. A file that exists but cannot be read raises
// EFOpenError before anything changes. On success buttonTable holds exactly
// 71 lines, the settings fields a load owns are set (rows and font size kept
// within their ranges, KeepSettingsInRange) and pos holds Top and Left as the
// file gives them.
void ReadCalcFile(const std::u16string& path, wsetting& setting, wini& buttonTable,
                  CalcWindowPos& pos);

// Writes the version line, the non-empty button lines and the settings to
// path, replacing the file as a whole. Raises EFCreateError when it cannot be
// written; the old file is then left as it was.
void WriteCalcFile(const std::u16string& path, const wsetting& setting, wini& buttonTable,
                   const CalcWindowPos& pos);

// false for a file of some other kind, which is neither loaded nor made
// current, so that no save replaces it: one with text but no line whose name
// (in any case) is one of the file's keys, B0 to B70, a setting or the
// version. A missing file, one without text (no bytes, only a byte-order
// mark or line breaks) and one that cannot be read (its load reports that)
// give true.
bool IsCalcFile(const std::u16string& path);

// The title strip's text for a file: its name without folder and extension.
std::u16string CalcFileTitle(const std::u16string& path);

// The file the calculator starts with in folder exeDir: zimro.ini when it
// exists, else the template zimro.si. The current path (where saves go) is
// always zimro.ini.
std::u16string CurrentCalcFilePath(const std::u16string& exeDir);
std::u16string StartupCalcFileToRead(const std::u16string& exeDir);
